#include "barriers/barrier_connection.h"

#include "barriers/Comms.h"
#include "barriers/light_barriers.h"
#include "barriers/probe.h"
#include "platform/serial_presence.h"

BarrierConnection::BarrierConnection(TComPort& port, LightBarriers& barriers, SerialPresence& presence,
                                     QObject* parent)
    : QObject(parent), m_comPort(port), m_barriers(barriers), m_presence(presence)
{
    const auto onLine = [this](TComPort* sender) {
        m_barriers.ComPortDSR(sender->Port(), sender->ModemStatus());
    };
    connect(&m_comPort, &TComPort::OnCTS, this, onLine);
    connect(&m_comPort, &TComPort::OnDSR, this, onLine);
    connect(&m_comPort, &TComPort::OnRLSD, this, onLine);
    // The status at opening is the start level of "Aus" barriers.
    connect(&m_comPort, &TComPort::OnOpen, this,
            [this](TComPort* sender) { m_barriers.ComPortOpen(sender->Port(), sender->ModemStatus()); });
    connect(&m_comPort, &TComPort::OnClose, this,
            [this](TComPort* sender) { m_barriers.ComPortClose(sender->Port()); });
    connect(&m_comPort, &TComPort::OnLost, this, &BarrierConnection::onLost);
    connect(&m_presence, &SerialPresence::devicesChanged, this, &BarrierConnection::checkAwaited);
}

BarrierConnection::~BarrierConnection()
{
    m_presence.setWatching(false);
}

QString BarrierConnection::accessNoticeText()
{
    return QStringLiteral("Keine Berechtigung für die seriellen Schnittstellen. Abhilfe: "
                          "sudo usermod -aG dialout $USER (danach neu anmelden)");
}

quint32 BarrierConnection::heldPorts() const
{
    if (m_state == State::Off || m_console || m_port < 1 || m_port > 16)
        return 0;
    return 1u << (m_port - 1);
}

void BarrierConnection::setProbeResult(const PortProbe& probe)
{
    const bool refused = probe.present > 0 && probe.noAccess == probe.present;
    if (refused == m_probeRefused)
        return;
    m_probeRefused = refused;
    Q_EMIT noticesChanged();
}

BarrierConnection::Target BarrierConnection::resolve() const
{
    Target t;
    t.port = m_port;
    const PortTable& table = m_comPort.portTable();
    if (m_adapterId.isEmpty()) {
        t.path = table.devicePath(m_port);
        t.found = true;
        return t;
    }
    // The adapter wherever it is now; a device outside the port table cannot be chosen by
    // number and counts as not there.
    const QString device = m_presence.deviceOfAdapter(m_adapterId);
    const int n = device.isEmpty() ? 0 : table.portOf(device);
    if (n >= 1 && n <= 255) {
        t.port = quint8(n);
        t.path = device;
        t.found = true;
    }
    return t;
}

QString BarrierConnection::portText(const Target& t) const
{
    QString device = t.path;
    if (device.isEmpty())
        device = m_adapterId.isEmpty() ? m_comPort.portTable().devicePath(t.port)
                                       : SerialPresence::adapterName(m_adapterId);
    return QStringLiteral("COM%1 (%2)").arg(t.port).arg(device);
}

void BarrierConnection::setNotice(const QString& text)
{
    if (text == m_notice)
        return;
    m_notice = text;
    Q_EMIT noticesChanged();
}

void BarrierConnection::await(const QString& notice)
{
    m_state = State::Awaited;
    m_presence.setWatching(true);
    setNotice(notice);
}

bool BarrierConnection::open(quint8 port, const QString& adapterId)
{
    close();
    m_port = port;
    m_adapterId = port ? adapterId : QString();
    if (port == 0)
        return false;
    return tryOpen(false);
}

void BarrierConnection::close()
{
    m_presence.setWatching(false);
    const bool wasAwaited = m_state == State::Awaited;
    try {
        m_comPort.Close();
    } catch (const std::exception&) {
        // A port that fails to close is closed as far as the program is concerned.
    }
    if (wasAwaited)
        m_barriers.ComPortClose(m_port); // no more lost picture: nothing is awaited
    m_state = State::Off;
    m_console = false;
    const bool refused = accessRefused();
    m_openRefused = false;
    setNotice(QString());
    if (refused != accessRefused())
        Q_EMIT noticesChanged();
}

bool BarrierConnection::tryOpen(bool reconnect)
{
    const Target t = resolve();
    if (!t.found) {
        if (!reconnect)
            await(QStringLiteral("Lichtschranke getrennt: ") + portText(t));
        return false;
    }
    if (t.port != m_port) {
        m_port = t.port;
        Q_EMIT configChanged(m_port, m_adapterId);
    }
    const SerialNode node = m_presence.node(t.path);
    switch (node.kind) {
    case SerialNode::Kind::Console:
        // Its settings belong to the system; opening it would change them.
        m_presence.setWatching(false);
        m_state = State::Failed;
        m_console = true;
        setNotice(QStringLiteral("Lichtschranke nicht geöffnet: %1: Systemkonsole").arg(portText(t)));
        return false;
    case SerialNode::Kind::NoUart:
        m_presence.setWatching(false);
        m_state = State::Failed;
        setNotice(QStringLiteral("Lichtschranke nicht geöffnet: %1: keine Schnittstelle").arg(portText(t)));
        return false;
    case SerialNode::Kind::Absent:
        if (!reconnect)
            await(QStringLiteral("Lichtschranke getrennt: ") + portText(t));
        return false;
    default:
        break;
    }

    m_comPort.setPort(m_port);
    SerialFailure failure = SerialFailure::None;
    QString message;
    try {
        m_comPort.Open();
    } catch (const EComError& e) {
        failure = e.failure();
        message = e.message();
    } catch (const std::exception& e) {
        failure = SerialFailure::Other;
        message = QString::fromLocal8Bit(e.what());
    }
    const bool refusedBefore = accessRefused();
    if (m_comPort.Connected()) {
        m_openRefused = false;
        m_state = State::Open;
        m_presence.setWatching(false);
        if (m_adapterId.isEmpty() && !node.adapterId.isEmpty()) {
            m_adapterId = node.adapterId;
            Q_EMIT configChanged(m_port, m_adapterId);
        }
        if (reconnect) {
            m_barriers.ComPortReconnected(m_port, m_comPort.ModemStatus());
            Q_EMIT reconnected(QStringLiteral("Lichtschranke wieder verbunden: ") + portText(t));
        }
        setNotice(QString());
        if (refusedBefore != accessRefused())
            Q_EMIT noticesChanged();
        return true;
    }

    m_openRefused = failure == SerialFailure::NoAccess;
    if (!reconnect) {
        // The system's text without the component's English prefix.
        const int colon = message.indexOf(QLatin1String(": "));
        const QString reason = colon >= 0 ? message.mid(colon + 2) : message;
        switch (failure) {
        case SerialFailure::Missing:
        case SerialFailure::Gone:
            await(QStringLiteral("Lichtschranke getrennt: ") + portText(t));
            break;
        case SerialFailure::NoAccess:
            m_state = State::Failed; // the access notice says it
            setNotice(QString());
            break;
        default:
            m_state = State::Failed;
            setNotice(QStringLiteral("Lichtschranke nicht geöffnet: %1: %2").arg(portText(t), reason));
            break;
        }
    }
    if (refusedBefore != accessRefused())
        Q_EMIT noticesChanged();
    return false;
}

void BarrierConnection::onLost()
{
    m_barriers.ComPortLost(m_comPort.Port());
    Target t;
    t.port = m_comPort.Port();
    t.path = m_comPort.portTable().devicePath(t.port);
    await(QStringLiteral("Lichtschranke getrennt: ") + portText(t));
}

void BarrierConnection::checkAwaited()
{
    if (m_state == State::Awaited)
        tryOpen(true);
}
