# Sources of protocol/: logic files go to akcore, windows and controls to akwidgets.

# Text protocol, web page and crash recovery.
target_sources(akcore PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/atomic_write.h
    ${CMAKE_CURRENT_LIST_DIR}/atomic_write.cpp
    ${CMAKE_CURRENT_LIST_DIR}/protocol_text.h
    ${CMAKE_CURRENT_LIST_DIR}/protocol_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/protocol_html.h
    ${CMAKE_CURRENT_LIST_DIR}/protocol_html.cpp
    ${CMAKE_CURRENT_LIST_DIR}/recovery.h
    ${CMAKE_CURRENT_LIST_DIR}/recovery.cpp
)

# Protocol commands of the main window and printing of the web page.
target_sources(akwidgets PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ProtocolCommands.h
    ${CMAKE_CURRENT_LIST_DIR}/ProtocolCommands.cpp
    ${CMAKE_CURRENT_LIST_DIR}/html_print.h
    ${CMAKE_CURRENT_LIST_DIR}/html_print.cpp
)
