# Sources of barriers/: logic files go to akcore, windows and controls to akwidgets.
target_sources(akcore PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/serial_device.h
    ${CMAKE_CURRENT_LIST_DIR}/port_table.h
    ${CMAKE_CURRENT_LIST_DIR}/port_table.cpp
    ${CMAKE_CURRENT_LIST_DIR}/linux_serial_device.h
    ${CMAKE_CURRENT_LIST_DIR}/linux_serial_device.cpp
    ${CMAKE_CURRENT_LIST_DIR}/linux_custom_baud.h
    ${CMAKE_CURRENT_LIST_DIR}/linux_custom_baud.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Comms.h
    ${CMAKE_CURRENT_LIST_DIR}/Comms.cpp
    ${CMAKE_CURRENT_LIST_DIR}/probe.h
    ${CMAKE_CURRENT_LIST_DIR}/probe.cpp
    ${CMAKE_CURRENT_LIST_DIR}/light_barriers.h
    ${CMAKE_CURRENT_LIST_DIR}/light_barriers.cpp
    ${CMAKE_CURRENT_LIST_DIR}/barrier_connection.h
    ${CMAKE_CURRENT_LIST_DIR}/barrier_connection.cpp
    ${CMAKE_CURRENT_LIST_DIR}/barrier_diagnostics.h
    ${CMAKE_CURRENT_LIST_DIR}/barrier_diagnostics.cpp
)
target_sources(akwidgets PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/BarrierIndicator.h
    ${CMAKE_CURRENT_LIST_DIR}/BarrierIndicator.cpp
)
