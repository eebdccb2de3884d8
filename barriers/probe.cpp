#include "barriers/probe.h"

#include "platform/serial_presence.h"

PortProbe probePorts(const PortTable& ports, const SerialDeviceFactory& factory,
                     const SerialPresence* presence, quint32 heldPorts)
{
    PortProbe probe;
    for (int n = 1; n <= PortTable::ProbedPorts; ++n) {
        const QString path = ports.devicePath(n);
        if (path.isEmpty())
            continue;
        const SerialNode node = presence ? presence->node(path) : SerialNode();
        if (!node.adapterId.isEmpty())
            probe.adapterIds.insert(n, node.adapterId);
        if (node.kind == SerialNode::Kind::Console)
            continue; // never offered, whatever asks for it
        if (heldPorts & (1u << (n - 1))) {
            probe.offer(n);
            if (node.present()) // a lost port awaited by the program counts as absent
                ++probe.present;
            continue;
        }
        switch (node.kind) {
        case SerialNode::Kind::Absent:
        case SerialNode::Kind::NoUart:
        case SerialNode::Kind::Console:
            continue;
        case SerialNode::Kind::Uart:
        case SerialNode::Kind::Usb:
        case SerialNode::Kind::Acm:
            probe.offer(n);
            ++probe.present;
            if (!node.accessible)
                ++probe.noAccess;
            continue;
        case SerialNode::Kind::Unknown:
            break;
        }
        std::unique_ptr<SerialDevice> device = factory ? factory() : nullptr;
        if (!device)
            continue;
        if (device->open(path).isEmpty()) {
            probe.offer(n);
            ++probe.present;
        } else if (device->lastFailure() == SerialFailure::NoAccess) {
            // Offered all the same: it works once the user may open it.
            probe.offer(n);
            ++probe.present;
            ++probe.noAccess;
        }
        device->close();
    }
    return probe;
}

quint32 withPortsOffered(quint32 available, quint32 ports)
{
    PortProbe p;
    p.available = available;
    for (int n = 1; n <= PortTable::ProbedPorts; ++n) {
        if ((available & (1u << (n - 1))) || (ports & (1u << (n - 1))))
            p.offer(n);
    }
    return p.available;
}

quint32 ProbeSerialPorts(const PortTable& ports, const SerialDeviceFactory& factory)
{
    return probePorts(ports, factory, nullptr, 0).available;
}
