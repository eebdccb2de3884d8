#include "barriers/barrier_diagnostics.h"

#include "barriers/Comms.h"
#include "barriers/barrier_connection.h"
#include "barriers/light_barriers.h"
#include "platform/serial_presence.h"

BarrierDiagnostics::BarrierDiagnostics(TComPort& heldPort, BarrierConnection& connection,
                                       LightBarriers& barriers, SerialPresence& presence,
                                       SerialDeviceFactory factory, QObject* parent)
    : QObject(parent), m_held(heldPort), m_connection(connection), m_barriers(barriers), m_presence(presence),
      m_factory(std::move(factory))
{
    const auto heldChanged = [this] {
        if (watchingHeldPort())
            publishLines();
    };
    connect(&m_held, &TComPort::OnCTS, this, heldChanged);
    connect(&m_held, &TComPort::OnDSR, this, heldChanged);
    connect(&m_held, &TComPort::OnRLSD, this, heldChanged);
    connect(&m_held, &TComPort::OnOpen, this, heldChanged);
    connect(&m_held, &TComPort::OnClose, this, heldChanged);
    connect(&m_held, &TComPort::OnLost, this, heldChanged);
    connect(&m_barriers, &LightBarriers::signalLogChanged, this, &BarrierDiagnostics::signalLogChanged);
    connect(&m_connection, &BarrierConnection::noticesChanged, this, &BarrierDiagnostics::accessNoteChanged);
}

BarrierDiagnostics::~BarrierDiagnostics() = default;

void BarrierDiagnostics::setProbe(const PortProbe& probe)
{
    m_adapterIds = probe.adapterIds;
}

QString BarrierDiagnostics::adapterId(int port) const
{
    return m_adapterIds.value(port);
}

QString BarrierDiagnostics::portNote(int port) const
{
    QStringList parts;
    const QString id = m_adapterIds.value(port);
    if (!id.isEmpty())
        parts << SerialPresence::adapterName(id);
    if (port == m_connection.port() && m_connection.state() == BarrierConnection::State::Awaited)
        parts << QStringLiteral("getrennt");
    return parts.join(QStringLiteral(", "));
}

QString BarrierDiagnostics::deviceText(int port) const
{
    QString text = m_held.portTable().devicePath(port);
    if (port == m_held.Port() && m_held.Connected() && m_held.pollsLines())
        text += QStringLiteral("  (Abfrage jede ms)");
    return text;
}

QString BarrierDiagnostics::accessNote() const
{
    return m_connection.accessRefused() ? BarrierConnection::accessNoticeText() : QString();
}

QStringList BarrierDiagnostics::signalLog() const
{
    return m_barriers.signalLogTexts();
}

bool BarrierDiagnostics::watchingHeldPort() const
{
    return m_watched != 0 && m_watched == m_connection.port() &&
           m_connection.state() != BarrierConnection::State::Off;
}

bool BarrierDiagnostics::linesKnown() const
{
    if (watchingHeldPort())
        return m_held.Connected();
    return m_monitor && m_monitor->Connected();
}

quint32 BarrierDiagnostics::lines() const
{
    if (!linesKnown())
        return 0;
    TComPort& port = watchingHeldPort() ? m_held : *m_monitor;
    return port.ModemStatus() & (ModemLine::Cts | ModemLine::Dsr | ModemLine::Rlsd);
}

void BarrierDiagnostics::publishLines()
{
    Q_EMIT linesChanged(linesKnown(), lines());
}

void BarrierDiagnostics::watchLines(quint8 port)
{
    if (port != m_watched || (m_monitor && !m_monitor->Connected()))
        m_monitor.reset(); // closes a port opened for watching
    m_watched = port;
    if (port == 0 || watchingHeldPort() || m_monitor) {
        publishLines();
        return;
    }
    // Another port: open it as the barrier port is opened, unless it is the console or gone.
    const SerialNode node = m_presence.node(m_held.portTable().devicePath(port));
    if (node.kind == SerialNode::Kind::Console || !node.present()) {
        publishLines();
        return;
    }
    auto monitor = std::make_unique<TComPort>(m_factory, m_held.portTable());
    for (const char* name : {"BaudRate", "BaudRateUser", "Parity", "StopBits", "FlowControl", "DataBits",
                             "Events", "EnableDTR", "WriteBufSize", "ReadBufSize"})
        monitor->setProperty(name, m_held.property(name));
    monitor->setPort(port);
    const auto changed = [this] { publishLines(); };
    connect(monitor.get(), &TComPort::OnCTS, this, changed);
    connect(monitor.get(), &TComPort::OnDSR, this, changed);
    connect(monitor.get(), &TComPort::OnRLSD, this, changed);
    connect(monitor.get(), &TComPort::OnLost, this, changed);
    try {
        monitor->Open();
        m_monitor = std::move(monitor);
    } catch (const std::exception&) {
        // Not available (held by another program, no permission): the lamps show unknown.
    }
    publishLines();
}
