# Sources of platform/: the operating-system layer.
target_sources(akcore PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/tick_source.h
    ${CMAKE_CURRENT_LIST_DIR}/tick_source.cpp
    ${CMAKE_CURRENT_LIST_DIR}/colour.h
    ${CMAKE_CURRENT_LIST_DIR}/data_paths.h
    ${CMAKE_CURRENT_LIST_DIR}/data_paths.cpp
    ${CMAKE_CURRENT_LIST_DIR}/gong.h
    ${CMAKE_CURRENT_LIST_DIR}/cp1252.h
    ${CMAKE_CURRENT_LIST_DIR}/cp1252.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_mode.h
    ${CMAKE_CURRENT_LIST_DIR}/file_mode.cpp
    ${CMAKE_CURRENT_LIST_DIR}/atomic_write.h
    ${CMAKE_CURRENT_LIST_DIR}/atomic_write.cpp
    ${CMAKE_CURRENT_LIST_DIR}/serial_presence.h
    ${CMAKE_CURRENT_LIST_DIR}/serial_presence.cpp
    ${CMAKE_CURRENT_LIST_DIR}/linux_serial_presence.h
    ${CMAKE_CURRENT_LIST_DIR}/linux_serial_presence.cpp
    ${CMAKE_CURRENT_LIST_DIR}/thread_priority.h
    ${CMAKE_CURRENT_LIST_DIR}/thread_priority.cpp
    ${CMAKE_CURRENT_LIST_DIR}/queued_call.h
    ${CMAKE_CURRENT_LIST_DIR}/platform_choice.h
    ${CMAKE_CURRENT_LIST_DIR}/platform_choice.cpp
)
target_sources(akwidgets PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/qt_gong.h
    ${CMAKE_CURRENT_LIST_DIR}/qt_gong.cpp
)

# The installed program finds its data folder from where it was installed:
# relative to its own folder first (a moved prefix still works), then absolute.
include(GNUInstallDirs)
file(RELATIVE_PATH AK_BIN_TO_DATA ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_DATADIR}/ackerklassik)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/data_paths.cpp PROPERTIES COMPILE_DEFINITIONS
    "AK_BIN_TO_DATA=\"${AK_BIN_TO_DATA}\";AK_INSTALLED_DATA_DIR=\"${CMAKE_INSTALL_FULL_DATADIR}/ackerklassik\"")
