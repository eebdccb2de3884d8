#pragma once

#include "barriers/serial_device.h"

#include <QObject>
#include <QString>

class LightBarriers;
class SerialPresence;
class TComPort;
struct PortProbe;

// Keeps the start barrier's port open and says when it is not:
//  - opens the configured port by its adapter identity (the /dev/serial/by-id name) where one
//    is stored, so that a second adapter or a replug in another socket cannot move the barrier
//    to another device; the COM number then follows the adapter. Without an identity it opens
//    by COM number and learns the identity of the device it found;
//  - never opens the system console;
//  - a port whose wait fails (adapter unplugged) is lost: its barriers show the lost picture, the
//    status text says "Lichtschranke getrennt: COMn (device)", and the device is awaited;
//  - a configured port whose device is missing when it is opened is awaited the same way, its
//    barriers shown closed;
//  - while awaited, every report of the presence layer (hot-plug, or its one-second timer)
//    tries the device again; once it opens, the barriers get back their arming;
//  - a port refused for lack of permission, or a probe that found devices but none the user may
//    open, raises the access notice with the command that fixes it.
class BarrierConnection : public QObject {
    Q_OBJECT
public:
    enum class State {
        Off,    // no port configured
        Open,   // the port is open and watched
        Failed, // it could not be opened (held by another program, no permission, ...)
        Awaited // its device is missing or was lost; it is opened when it is back
    };

    BarrierConnection(TComPort& port, LightBarriers& barriers, SerialPresence& presence,
                      QObject* parent = nullptr);
    ~BarrierConnection() override;

    // Closes the port, then opens the configured one (0 = none). True when it is open.
    bool open(quint8 port, const QString& adapterId);
    // Closes the port; nothing is awaited any more.
    void close();

    State state() const { return m_state; }
    quint8 port() const { return m_port; }
    QString adapterId() const { return m_adapterId; }
    // The ports to offer although a probe would not look at them: the open and the awaited one.
    quint32 heldPorts() const;

    // Lasting status texts: the barrier's trouble ("" while open or off), and whether the user
    // lacks the permission to open serial devices.
    QString barrierNotice() const { return m_notice; }
    bool accessRefused() const { return m_openRefused || m_probeRefused; }
    // A probe found devices, but none the user may open.
    void setProbeResult(const PortProbe& probe);

    // The one access notice, with the command that fixes it.
    static QString accessNoticeText();

    // Tries the awaited device again (called on every report of the presence layer).
    void checkAwaited();

Q_SIGNALS:
    // barrierNotice() or accessRefused() changed.
    void noticesChanged();
    // The awaited port opened again; text for a passing notice.
    void reconnected(const QString& text);
    // The configured port moved with its adapter or its identity was learned; the caller keeps
    // its settings and barrier configuration in step. Raised before the port is opened.
    void configChanged(quint8 port, const QString& adapterId);

private:
    struct Target {
        quint8 port = 0;
        QString path;
        bool found = false; // the identity led to a device (or no identity is stored)
    };
    Target resolve() const;
    bool tryOpen(bool reconnect);
    void await(const QString& notice);
    void setNotice(const QString& text);
    void onLost();
    QString portText(const Target& t) const;

    TComPort& m_comPort;
    LightBarriers& m_barriers;
    SerialPresence& m_presence;
    State m_state = State::Off;
    quint8 m_port = 0;
    QString m_adapterId;
    QString m_notice;
    bool m_openRefused = false;
    bool m_probeRefused = false;
    bool m_console = false; // the configured port is the system console
};
