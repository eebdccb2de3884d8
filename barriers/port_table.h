#pragma once

#include <QHash>
#include <QString>

// Port number n ("COM" + n) to device path. The default table: COM1-COM4 = /dev/ttyS0-3,
// COM5-COM12 = /dev/ttyUSB0-7, COM13-COM16 = /dev/ttyACM0-3. A number without an entry
// maps to an empty path, which no device opens.
class PortTable {
public:
    static constexpr int ProbedPorts = 16;

    PortTable() = default;
    static PortTable linuxDefault();

    QString devicePath(int port) const { return m_paths.value(port); }
    // The lowest port number of a device path, 0 when the table has none.
    int portOf(const QString& devicePath) const;
    void setDevicePath(int port, const QString& path);
    void clear() { m_paths.clear(); }

private:
    QHash<int, QString> m_paths;
};
