#include "barriers/probe.h"

quint32 ProbeSerialPorts(const PortTable& ports, const SerialDeviceFactory& factory)
{
    quint32 available = 0;
    if (!factory)
        return 0;
    for (int n = 1; n <= PortTable::ProbedPorts; ++n) {
        const QString path = ports.devicePath(n);
        if (path.isEmpty())
            continue;
        std::unique_ptr<SerialDevice> device = factory();
        if (!device)
            continue;
        if (device->open(path).isEmpty())
            available = (available & 0xFFFF) | (1u << (n - 1)) | (quint32(n) << 16);
        device->close();
    }
    return available;
}
