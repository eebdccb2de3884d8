#pragma once

#include <QObject>
#include <QString>

// What the system tells about a serial device node without opening it.
struct SerialNode {
    enum class Kind {
        Unknown, // the system cannot tell; only opening it shows whether it works
        Absent,  // no device node (adapter unplugged)
        Console, // the system console: never offered, never opened
        NoUart,  // a node without a UART behind it (ttyS of a missing port)
        Uart,    // an on-board or plug-in UART
        Usb,     // a USB serial adapter (ttyUSB)
        Acm      // a USB modem-class device (ttyACM)
    };
    Kind kind = Kind::Unknown;
    // The user may read and write it (meaningful for a present node).
    bool accessible = true;
    // The adapter's stable name: its link in /dev/serial/by-id, "" when it has none.
    QString adapterId;

    bool present() const { return kind != Kind::Absent && kind != Kind::NoUart; }
};

// Presence, identity and hot-plug of serial devices: the operating system's view, replaced by
// a fake in tests. devicesChanged is raised while watching when devices come or go; with
// watching off nothing runs.
class SerialPresence : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual SerialNode node(const QString& devicePath) const = 0;
    // The device path an adapter identity currently leads to; "" while it is not plugged in.
    virtual QString deviceOfAdapter(const QString& adapterId) const = 0;
    virtual void setWatching(bool on) = 0;

    // "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0" as "FTDI FT232R USB UART A50285BI".
    static QString adapterName(const QString& adapterId);

Q_SIGNALS:
    void devicesChanged();
};

// Knows nothing: every node is Unknown (opening decides), no identities, no watch.
class UnknownSerialPresence final : public SerialPresence {
public:
    using SerialPresence::SerialPresence;
    SerialNode node(const QString&) const override { return {}; }
    QString deviceOfAdapter(const QString&) const override { return {}; }
    void setWatching(bool) override {}
};
