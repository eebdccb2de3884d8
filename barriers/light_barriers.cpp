#include "barriers/light_barriers.h"

const char* const LineSuffix[3] = {" /4,6", " /7,8", " /1,4"};

LightBarriers::LightBarriers(QObject* parent)
    : QObject(parent), m_wallClock([] { return QTime::currentTime(); })
{
    m_timerGesperrt.setObjectName(QStringLiteral("TimerGesperrt"));
    m_timerGesperrt.setSingleShot(true);
    m_timerGesperrt.setInterval(1000);
    connect(&m_timerGesperrt, &QTimer::timeout, this, &LightBarriers::TimerGesperrtTimer);
}

BarrierConfig LightBarriers::config(int barrier) const
{
    return valid(barrier) ? m_configs[barrier - 1] : BarrierConfig{};
}

void LightBarriers::setConfig(int barrier, const BarrierConfig& config)
{
    if (!valid(barrier))
        return;
    m_configs[barrier - 1] = config;
    m_level[barrier - 1] = -1;
}

quint32 LightBarriers::lineMemory(int barrier) const
{
    return valid(barrier) ? m_lineMemory[barrier - 1] : LineMemoryReset;
}

qint32 LightBarriers::signalCount(int barrier) const
{
    return valid(barrier) ? m_signalCount[barrier - 1] : 0;
}

int LightBarriers::indicatorState(int barrier) const
{
    return valid(barrier) ? m_state[barrier - 1] : Closed;
}

int LightBarriers::indicatorIndex(int barrier) const
{
    return valid(barrier) ? 4 * (barrier - 1) + m_state[barrier - 1] : 0;
}

bool LightBarriers::indicatorEnabled(int barrier) const
{
    return valid(barrier) && m_enabled[barrier - 1];
}

bool LightBarriers::lineConfigured(int i, quint8 port) const
{
    return m_configs[i].Port == port && m_configs[i].Line <= 2;
}

bool LightBarriers::sameContact(int a, int b) const
{
    return m_configs[a].Port == m_configs[b].Port && m_configs[a].Line == m_configs[b].Line;
}

void LightBarriers::ComPortDSR(quint8 senderPort, quint32 status)
{
    risingRule(senderPort, status);
    fallingRule(senderPort, status);
}

void LightBarriers::risingRule(quint8 senderPort, quint32 status)
{
    int found = -1;
    for (int i = 0; i < 3 && found < 0; ++i) {
        if (m_configs[i].Mode != 1 && lineConfigured(i, senderPort) && (status & LineMask[m_configs[i].Line]))
            found = i;
    }
    if (found < 0) {
        m_lineMemory.fill(LineMemoryReset);
        return;
    }
    // The whole status word is compared with the remembered line bit on purpose: an event on
    // another line while this one stays active counts as a new signal.
    if (status == m_lineMemory[found])
        return;
    m_lineMemory[found] = status & LineMask[m_configs[found].Line];
    if (m_configs[found].Mode == 0)
        BarrierSignal(found + 1);
}

void LightBarriers::fallingRule(quint8 senderPort, quint32 status)
{
    int dropped = 0;
    for (int i = 0; i < 3; ++i) {
        if (m_configs[i].Mode != 1 || !lineConfigured(i, senderPort))
            continue;
        const int level = (status & LineMask[m_configs[i].Line]) ? 1 : 0;
        if (m_level[i] == 1 && level == 0 && dropped == 0)
            dropped = i + 1;
        m_level[i] = level;
    }
    if (dropped)
        BarrierSignal(dropped);
}

QString LightBarriers::signalTimeText(const QTime& time)
{
    const QTime t = time.isValid() ? time : QTime(0, 0);
    return QString::asprintf("%d:%2d.%2d,%2d", t.hour(), t.minute(), t.second(), t.msec() / 10)
        .replace(QLatin1Char(' '), QLatin1Char('0'));
}

void LightBarriers::BarrierSignal(int b)
{
    m_reserve.append(QStringLiteral("%1. %2").arg(b).arg(signalTimeText(m_wallClock())));
    m_reserveSelected = int(m_reserve.size()) - 1;
    m_reserveEnabled = true;
    publishReserve();

    if (m_timerGesperrt.isActive())
        return; // listed only
    const int i = b - 1;
    ++m_signalCount[i];

    // One contact may serve several barriers: its later signals go to the next barrier.
    int target = b;
    if (b == 1) {
        if (m_signalCount[0] == 2 && sameContact(0, 1))
            target = 2;
        else if (m_signalCount[0] == 2 && sameContact(0, 2))
            target = 3;
        else if (m_signalCount[0] == 3 && sameContact(0, 2))
            target = 3;
    } else if (b == 2) {
        if (m_signalCount[1] == 2 && sameContact(1, 2))
            target = 3;
    }

    bool acted = false;
    if (m_commands && m_state[target - 1] == Armed) {
        if (target == 1 && m_commands->startEnabled()) {
            m_commands->invokeStart();
            acted = true;
        } else if (target > 1 && m_commands->stopEnabled() && m_commands->currentPhase() == target - 1) {
            m_commands->invokeStop();
            acted = true;
        }
    }
    if (!acted)
        --m_signalCount[i];
    m_timerGesperrt.start();
}

void LightBarriers::TimerGesperrtTimer()
{
    m_timerGesperrt.stop();
}

void LightBarriers::setState(int i, int state)
{
    m_state[i] = state;
    Q_EMIT indicatorChanged(i + 1, 4 * i + state, m_enabled[i]);
}

void LightBarriers::ComPortOpen(quint8 port, quint32 status)
{
    for (int i = 0; i < 3; ++i) {
        if (m_configs[i].Port != port)
            continue;
        m_portOpen[i] = true;
        setState(i, Disarmed);
        if (m_configs[i].Line <= 2)
            m_level[i] = status == UnknownStatus ? -1 : ((status & LineMask[m_configs[i].Line]) ? 1 : 0);
    }
}

void LightBarriers::ComPortClose(quint8 port)
{
    for (int i = 0; i < 3; ++i) {
        if (m_configs[i].Port != port)
            continue;
        m_portOpen[i] = false;
        setState(i, Closed);
        m_level[i] = -1;
    }
}

void LightBarriers::EnableBarrierIndicators()
{
    const bool enabled = m_configs[0].Port != 0;
    for (int i = 0; i < 3; ++i) {
        m_enabled[i] = enabled;
        Q_EMIT indicatorChanged(i + 1, 4 * i + m_state[i], enabled);
    }
}

void LightBarriers::SetBarrierArmed(int barrier, bool armed)
{
    if (!valid(barrier))
        return;
    const int i = barrier - 1;
    setState(i, m_enabled[i] && m_portOpen[i] ? (armed ? Armed : Disarmed) : Closed);
}

void LightBarriers::ImageLSClick(int barrier)
{
    if (!valid(barrier))
        return;
    const int i = barrier - 1;
    if (m_state[i] == Armed)
        setState(i, Disarmed);
    else if (m_state[i] == Disarmed)
        setState(i, Armed);
}

void LightBarriers::resetForNext()
{
    m_lineMemory.fill(LineMemoryReset);
    m_signalCount.fill(0);
    m_reserve.clear();
    m_reserveSelected = -1;
    m_reserveEnabled = false;
    publishReserve();
}

void LightBarriers::publishReserve()
{
    Q_EMIT reserveListChanged(m_reserve, m_reserveSelected, m_reserveEnabled);
}
