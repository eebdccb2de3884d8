#pragma once

#include "barriers/port_table.h"
#include "barriers/serial_device.h"

// Tries ports 1..16 as the port component would open them and closes each at once.
// Bit n-1 is set for a usable port n; the upper 16 bits hold the highest usable port, 0 if none.
quint32 ProbeSerialPorts(const PortTable& ports, const SerialDeviceFactory& factory);
