# Sources of widgets/: logic files go to akcore, windows and controls to akwidgets.

# Colour picker
target_sources(akwidgets PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ColorPicker.h
    ${CMAKE_CURRENT_LIST_DIR}/ColorPicker.cpp
)
