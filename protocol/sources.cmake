# Sources of protocol/: logic files go to akcore, windows and controls to akwidgets.

# Office Open XML: workbook writer and reader, document writer, spreadsheet view export.
target_sources(akcore PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/office_open.h
    ${CMAKE_CURRENT_LIST_DIR}/office_open.cpp
    ${CMAKE_CURRENT_LIST_DIR}/xlsx_writer.h
    ${CMAKE_CURRENT_LIST_DIR}/xlsx_writer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/xlsx_reader.h
    ${CMAKE_CURRENT_LIST_DIR}/xlsx_reader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/docx_writer.h
    ${CMAKE_CURRENT_LIST_DIR}/docx_writer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Excel.h
    ${CMAKE_CURRENT_LIST_DIR}/Excel.cpp
)
