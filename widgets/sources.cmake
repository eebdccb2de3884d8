# Sources of widgets/: small controls and the program's pictures.
target_sources(akwidgets PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/CommandButton.h
    ${CMAKE_CURRENT_LIST_DIR}/CommandButton.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DigitsValidator.h
    ${CMAKE_CURRENT_LIST_DIR}/DigitsValidator.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ElidedLabel.h
    ${CMAKE_CURRENT_LIST_DIR}/ElidedLabel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KeyRepeatGuard.h
    ${CMAKE_CURRENT_LIST_DIR}/KeyRepeatGuard.cpp
)

# Colour picker
target_sources(akwidgets PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ColorPicker.h
    ${CMAKE_CURRENT_LIST_DIR}/ColorPicker.cpp
)

# The program's pictures, drawn in code.
target_sources(akwidgets PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/pictures.h
    ${CMAKE_CURRENT_LIST_DIR}/pictures.cpp
    ${CMAKE_CURRENT_LIST_DIR}/pictures_draw.h
    ${CMAKE_CURRENT_LIST_DIR}/pictures_icons.cpp
)

# QR code pictures (live results address)
target_sources(akwidgets PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/qr_image.h
    ${CMAKE_CURRENT_LIST_DIR}/qr_image.cpp
)
