# Sources of widgets/: small controls and the program's pictures.
target_sources(akwidgets PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/CommandButton.h
    ${CMAKE_CURRENT_LIST_DIR}/CommandButton.cpp
)

# Colour picker
target_sources(akwidgets PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ColorPicker.h
    ${CMAKE_CURRENT_LIST_DIR}/ColorPicker.cpp
)
