#pragma once

#include "platform/serial_presence.h"

#include <QTimer>

#include <memory>

class QFileSystemWatcher;

// Serial devices as Linux shows them, without opening any:
//  - a missing node is Absent; the system console (/sys/class/tty/console/active,
//    /proc/consoles) is Console;
//  - ttyS: /sys/class/tty/ttySn/type 0 (no UART behind the node) is NoUart, else Uart;
//    ttyUSB and ttyACM are present whenever their node exists;
//  - other names are Unknown: only opening them tells;
//  - the adapter identity is the device's link name in /dev/serial/by-id.
// Hot-plug: while watching, an inotify watch on /dev (and /dev/serial/by-id) reports new and
// removed nodes at once, and a one-second timer catches what inotify does not report (a
// permission set by udev after the node appeared).
class LinuxSerialPresence final : public SerialPresence {
public:
    // Roots of the file systems read; tests point them at a folder of their own.
    struct Roots {
        QString sys = QStringLiteral("/sys");
        QString dev = QStringLiteral("/dev");
        QString consoles = QStringLiteral("/proc/consoles");
    };

    explicit LinuxSerialPresence(QObject* parent = nullptr);
    LinuxSerialPresence(Roots roots, QObject* parent = nullptr);
    ~LinuxSerialPresence() override;

    SerialNode node(const QString& devicePath) const override;
    QString deviceOfAdapter(const QString& adapterId) const override;
    void setWatching(bool on) override;
    bool watching() const { return m_watcher != nullptr; }

private:
    bool isConsole(const QString& name) const;
    QString byIdFolder() const;
    void watchFolders();

    Roots m_roots;
    std::unique_ptr<QFileSystemWatcher> m_watcher;
    QTimer m_timer;
};
