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
    const int i = barrier - 1;
    const BarrierConfig& old = m_configs[i];
    const bool same = old.Port == config.Port && old.Line == config.Line && old.Mode == config.Mode;
    m_configs[i] = config;
    if (!same)
        m_level[i] = -1; // the start level read at opening belongs to the old line
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
    const QTime now = m_wallClock();
    m_reserve.append(QStringLiteral("%1. %2").arg(b).arg(signalTimeText(now)));
    m_reserveSelected = int(m_reserve.size()) - 1;
    m_reserveEnabled = true;
    publishReserve();

    if (m_timerGesperrt.isActive()) {
        logSignal(b, now, Outcome::LockedOut);
        return; // listed only
    }
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

    Outcome outcome = m_state[target - 1] == Armed ? Outcome::NoEffect : Outcome::NotArmed;
    if (m_commands && m_state[target - 1] == Armed) {
        if (target == 1 && m_commands->startEnabled()) {
            m_commands->invokeStart();
            outcome = Outcome::Started;
        } else if (target > 1 && m_commands->stopEnabled() && m_commands->currentPhase() == target - 1) {
            m_commands->invokeStop();
            outcome = Outcome::Stopped;
        }
    }
    if (outcome != Outcome::Started && outcome != Outcome::Stopped)
        --m_signalCount[i];
    m_timerGesperrt.start();
    logSignal(b, now, outcome);
}

void LightBarriers::logSignal(int barrier, const QTime& time, Outcome outcome)
{
    m_log.push_back({barrier, time, m_tickClock ? m_tickClock() : 0u, outcome});
    while (m_log.size() > size_t(SignalLogSize))
        m_log.pop_front();
    Q_EMIT signalLogChanged();
}

QVector<LightBarriers::SignalRecord> LightBarriers::signalLog() const
{
    return QVector<SignalRecord>(m_log.begin(), m_log.end());
}

QStringList LightBarriers::signalLogTexts() const
{
    QStringList texts;
    for (const SignalRecord& r : m_log)
        texts << signalLogText(r);
    return texts;
}

QString LightBarriers::signalLogText(const SignalRecord& r)
{
    static const char* const names[3] = {"LS Start", "LS Stopp", "LS Ziel"};
    QString what;
    switch (r.outcome) {
    case Outcome::Started:
        what = QStringLiteral("START");
        break;
    case Outcome::Stopped:
        what = QStringLiteral("STOPP");
        break;
    case Outcome::LockedOut:
        what = QStringLiteral("gesperrt");
        break;
    case Outcome::NotArmed:
        what = QStringLiteral("nicht frei");
        break;
    case Outcome::NoEffect:
        what = QStringLiteral("ohne Wirkung");
        break;
    }
    const QString name = valid(r.barrier) ? QLatin1String(names[r.barrier - 1]) : QStringLiteral("LS");
    return QStringLiteral("%1  Tick %2  %3: %4").arg(signalTimeText(r.time)).arg(r.tick).arg(name, what);
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
        m_lost[i] = false;
        setState(i, Disarmed);
        if (m_configs[i].Line <= 2 && status != UnknownStatus)
            m_level[i] = (status & LineMask[m_configs[i].Line]) ? 1 : 0;
    }
}

void LightBarriers::ComPortClose(quint8 port)
{
    for (int i = 0; i < 3; ++i) {
        if (m_configs[i].Port != port)
            continue;
        m_portOpen[i] = false;
        m_lost[i] = false;
        m_wanted[i] = false;
        setState(i, Closed);
        m_level[i] = -1;
    }
}

void LightBarriers::ComPortLost(quint8 port)
{
    for (int i = 0; i < 3; ++i) {
        if (m_configs[i].Port != port)
            continue;
        m_portOpen[i] = false;
        m_lost[i] = true;
        setState(i, Lost);
        m_level[i] = -1;
    }
}

void LightBarriers::ComPortReconnected(quint8 port, quint32 status)
{
    for (int i = 0; i < 3; ++i) {
        if (m_configs[i].Port != port)
            continue;
        m_portOpen[i] = true;
        m_lost[i] = false;
        setState(i, m_enabled[i] ? (m_wanted[i] ? Armed : Disarmed) : Closed);
        if (m_configs[i].Line <= 2 && status != UnknownStatus)
            m_level[i] = (status & LineMask[m_configs[i].Line]) ? 1 : 0;
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
    m_wanted[i] = armed;
    if (m_lost[i] && m_enabled[i])
        return; // shown when the port is back
    setState(i, m_enabled[i] && m_portOpen[i] ? (armed ? Armed : Disarmed) : Closed);
}

void LightBarriers::ImageLSClick(int barrier)
{
    if (!valid(barrier))
        return;
    const int i = barrier - 1;
    if (m_state[i] == Armed) {
        m_wanted[i] = false;
        setState(i, Disarmed);
    } else if (m_state[i] == Disarmed) {
        m_wanted[i] = true;
        setState(i, Armed);
    }
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
