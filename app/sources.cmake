# Sources of app/: race clock, run sequence and entry rules (logic); the main window (widgets).
target_sources(akcore PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/penalty_points.h
    ${CMAKE_CURRENT_LIST_DIR}/penalty_points.cpp
    ${CMAKE_CURRENT_LIST_DIR}/race_clock.h
    ${CMAKE_CURRENT_LIST_DIR}/race_clock.cpp
    ${CMAKE_CURRENT_LIST_DIR}/run_sequence.h
    ${CMAKE_CURRENT_LIST_DIR}/run_sequence.cpp
    ${CMAKE_CURRENT_LIST_DIR}/run_sequence_states.h
    ${CMAKE_CURRENT_LIST_DIR}/run_sequence_states.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window_placement.h
    ${CMAKE_CURRENT_LIST_DIR}/window_placement.cpp
    ${CMAKE_CURRENT_LIST_DIR}/competitor_entry.h
    ${CMAKE_CURRENT_LIST_DIR}/competitor_entry.cpp
    ${CMAKE_CURRENT_LIST_DIR}/status_notices.h
    ${CMAKE_CURRENT_LIST_DIR}/status_notices.cpp
    ${CMAKE_CURRENT_LIST_DIR}/data_check.h
    ${CMAKE_CURRENT_LIST_DIR}/data_check.cpp
)
target_sources(akwidgets PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/FMain.h
    ${CMAKE_CURRENT_LIST_DIR}/FMain.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FMain_build.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FMain_entry.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FMain_settings.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FMain_results.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FMain_barriers.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FMain_windows.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FMain_protocol.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FMain_live.cpp
    ${CMAKE_CURRENT_LIST_DIR}/main_clock_display.h
    ${CMAKE_CURRENT_LIST_DIR}/main_clock_display.cpp
)
# Printing and the view exports of the main window.
target_sources(akwidgets PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/FMain_print.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FMain_exports.cpp
)
