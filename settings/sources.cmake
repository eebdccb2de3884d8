# Sources of settings/: the settings store and the apply rules (logic), the settings dialog (widgets).
target_sources(akcore PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/settings_store.h
    ${CMAKE_CURRENT_LIST_DIR}/settings_store.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settings_apply.h
    ${CMAKE_CURRENT_LIST_DIR}/settings_apply.cpp
)
target_sources(akwidgets PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/Cfg.h
    ${CMAKE_CURRENT_LIST_DIR}/Cfg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CfgBarrierPanel.h
    ${CMAKE_CURRENT_LIST_DIR}/CfgBarrierPanel.cpp
)
# The settings dialog's group for the live results server.
target_sources(akwidgets PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/CfgLive.h
    ${CMAKE_CURRENT_LIST_DIR}/CfgLive.cpp
)
