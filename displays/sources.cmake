# Sources of displays/: logic files go to akcore, windows and controls to akwidgets.
target_sources(akcore PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/digit_geometry.h
    ${CMAKE_CURRENT_LIST_DIR}/digit_geometry.cpp
)
target_sources(akwidgets PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/Udigit.h
    ${CMAKE_CURRENT_LIST_DIR}/Udigit.cpp
)
