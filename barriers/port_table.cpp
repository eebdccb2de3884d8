#include "barriers/port_table.h"

PortTable PortTable::linuxDefault()
{
    PortTable t;
    for (int i = 0; i < 4; ++i)
        t.setDevicePath(1 + i, QStringLiteral("/dev/ttyS%1").arg(i));
    for (int i = 0; i < 8; ++i)
        t.setDevicePath(5 + i, QStringLiteral("/dev/ttyUSB%1").arg(i));
    for (int i = 0; i < 4; ++i)
        t.setDevicePath(13 + i, QStringLiteral("/dev/ttyACM%1").arg(i));
    return t;
}

void PortTable::setDevicePath(int port, const QString& path)
{
    if (path.isEmpty())
        m_paths.remove(port);
    else
        m_paths.insert(port, path);
}

int PortTable::portOf(const QString& devicePath) const
{
    int found = 0;
    for (auto it = m_paths.cbegin(); it != m_paths.cend(); ++it) {
        if (it.value() == devicePath && (found == 0 || it.key() < found))
            found = it.key();
    }
    return found;
}
