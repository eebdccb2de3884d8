# Sources of protocol/: logic files go to akcore, windows and controls to akwidgets.

# Office Open XML: workbook writer and reader, document writer, spreadsheet view export.
target_sources(akcore PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/office_open.h
    ${CMAKE_CURRENT_LIST_DIR}/office_open.cpp
    ${CMAKE_CURRENT_LIST_DIR}/c_numeric_locale.h
    ${CMAKE_CURRENT_LIST_DIR}/c_numeric_locale.cpp
    ${CMAKE_CURRENT_LIST_DIR}/xlsx_writer.h
    ${CMAKE_CURRENT_LIST_DIR}/xlsx_writer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/xlsx_reader.h
    ${CMAKE_CURRENT_LIST_DIR}/xlsx_reader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/docx_writer.h
    ${CMAKE_CURRENT_LIST_DIR}/docx_writer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Excel.h
    ${CMAKE_CURRENT_LIST_DIR}/Excel.cpp
)

# Text protocol, web page and crash recovery.
target_sources(akcore PRIVATE
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

# The printed protocol (its layout in the logic, its painting in the widgets) and
# where the view exports are written.
target_sources(akcore PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/print_layout.h
    ${CMAKE_CURRENT_LIST_DIR}/print_layout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/export_paths.h
    ${CMAKE_CURRENT_LIST_DIR}/export_paths.cpp
)
target_sources(akwidgets PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/print_protocol.h
    ${CMAKE_CURRENT_LIST_DIR}/print_protocol.cpp
)
