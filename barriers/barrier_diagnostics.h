#pragma once

#include "barriers/probe.h"
#include "barriers/serial_device.h"

#include <QHash>
#include <QObject>
#include <QStringList>

#include <memory>

class BarrierConnection;
class LightBarriers;
class SerialPresence;
class TComPort;

// What the settings dialog shows of the barriers while it is open: the adapters' names beside
// the port entries, the live level of CTS, DSR and DCD of the chosen port (for checking the
// wiring by closing a contact by hand), the signal log and the access notice.
//
// The lines of the port the program holds are read from its watcher as they are; nothing is
// reopened or disarmed. Any other chosen port is opened on its own (as the barrier port would
// be, so that DTR and RTS feed its contacts) for as long as it is watched; watchLines(0) closes
// it, before the dialog's OK opens the barrier port.
class BarrierDiagnostics : public QObject {
    Q_OBJECT
public:
    BarrierDiagnostics(TComPort& heldPort, BarrierConnection& connection, LightBarriers& barriers,
                       SerialPresence& presence, SerialDeviceFactory factory, QObject* parent = nullptr);
    ~BarrierDiagnostics() override;

    void setProbe(const PortProbe& probe);
    // Text after a port's entries: the adapter's name, "getrennt" for the awaited port, or "".
    QString portNote(int port) const;
    QString adapterId(int port) const;
    // The device behind a port, and whether its lines are read every millisecond.
    QString deviceText(int port) const;
    // The access notice while the user may not open serial devices, else "".
    QString accessNote() const;
    QStringList signalLog() const;

    // The lamps follow this port's lines; 0 stops (and closes a port opened for watching).
    void watchLines(quint8 port);
    quint8 watchedPort() const { return m_watched; }
    bool linesKnown() const;
    quint32 lines() const; // ModemLine bits

Q_SIGNALS:
    void linesChanged(bool known, quint32 status);
    void signalLogChanged();
    void accessNoteChanged();

private:
    bool watchingHeldPort() const;
    void publishLines();

    TComPort& m_held;
    BarrierConnection& m_connection;
    LightBarriers& m_barriers;
    SerialPresence& m_presence;
    SerialDeviceFactory m_factory;
    QHash<int, QString> m_adapterIds;
    quint8 m_watched = 0;
    std::unique_ptr<TComPort> m_monitor;
};
