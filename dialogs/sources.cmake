# Sources of dialogs/: logic files go to akcore, windows and controls to akwidgets.
target_sources(akwidgets PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/dialog_placement.h
    ${CMAKE_CURRENT_LIST_DIR}/dialog_placement.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FInfo.h
    ${CMAKE_CURRENT_LIST_DIR}/FInfo.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DlgYesNo.h
    ${CMAKE_CURRENT_LIST_DIR}/DlgYesNo.cpp
)
