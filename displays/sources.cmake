# Sources of displays/: logic files go to akcore, windows and controls to akwidgets.
target_sources(akcore PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/digit_geometry.h
    ${CMAKE_CURRENT_LIST_DIR}/digit_geometry.cpp
    ${CMAKE_CURRENT_LIST_DIR}/monitor_layout.h
    ${CMAKE_CURRENT_LIST_DIR}/monitor_layout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/top_ten.h
    ${CMAKE_CURRENT_LIST_DIR}/top_ten.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cell_fit.h
    ${CMAKE_CURRENT_LIST_DIR}/cell_fit.cpp
)
target_sources(akwidgets PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/Udigit.h
    ${CMAKE_CURRENT_LIST_DIR}/Udigit.cpp
)
target_sources(akwidgets PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/qt_colour.h
    ${CMAKE_CURRENT_LIST_DIR}/FMonitor2.h
    ${CMAKE_CURRENT_LIST_DIR}/FMonitor2.cpp
)
target_sources(akwidgets PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/TopTenGrid.h
    ${CMAKE_CURRENT_LIST_DIR}/TopTenGrid.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FMonitor3.h
    ${CMAKE_CURRENT_LIST_DIR}/FMonitor3.cpp
)
