#pragma once

#include "barriers/port_table.h"
#include "barriers/serial_device.h"

#include <QHash>

class SerialPresence;

// What a look at ports 1..16 found.
struct PortProbe {
    // Bit n-1 set for an offered port n; the upper 16 bits hold the highest one, 0 if none.
    quint32 available = 0;
    int present = 0;                // ports with a device behind them
    int noAccess = 0;               // of those, ports the user may not open
    QHash<int, QString> adapterIds; // port -> adapter identity (/dev/serial/by-id name)

    void offer(int port) { available = (available & 0xFFFF) | (1u << (port - 1)) | (quint32(port) << 16); }
};

// Finds the ports to offer. Ports in heldPorts (bit n-1: the program holds port n open or waits
// for its device) are always offered and never touched. Where the presence layer can tell, a
// port is judged without opening it, so no other equipment sees its DTR and RTS move: the
// console and nodes without a device are left out, UARTs and USB adapters are offered. Only
// ports the presence layer cannot judge (or all, without one) are opened and closed at once.
PortProbe probePorts(const PortTable& ports, const SerialDeviceFactory& factory,
                     const SerialPresence* presence, quint32 heldPorts);

// The port word with the ports of a mask (bit n-1 = port n) offered too.
quint32 withPortsOffered(quint32 available, quint32 ports);

// Opens ports 1..16 as the port component would and closes each at once; the port word.
quint32 ProbeSerialPorts(const PortTable& ports, const SerialDeviceFactory& factory);
