# Sources of app/: race clock and run sequence (logic); the main window (widgets).
target_sources(akcore PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/penalty_points.h
    ${CMAKE_CURRENT_LIST_DIR}/penalty_points.cpp
    ${CMAKE_CURRENT_LIST_DIR}/race_clock.h
    ${CMAKE_CURRENT_LIST_DIR}/race_clock.cpp
    ${CMAKE_CURRENT_LIST_DIR}/run_sequence.h
    ${CMAKE_CURRENT_LIST_DIR}/run_sequence.cpp
)
