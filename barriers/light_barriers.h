#pragma once

#include <QObject>
#include <QStringList>
#include <QTime>
#include <QTimer>

#include <array>
#include <deque>
#include <functional>

// One light barrier: the port it is wired to, the status line and the trigger mode.
struct BarrierConfig {
    quint8 Port = 0; // port number n, 0 = no port
    quint8 Line = 0; // 0 DSR, 1 CTS, 2 RLSD (index into LineMask and LineSuffix)
    qint32 Mode = 0; // 0 "Ein": signals when the line becomes active; 1 "Aus": when it drops
};

// Status bit tested per Line, and the connector pins the contact is wired between.
constexpr quint32 LineMask[3] = {0x20, 0x10, 0x80};
extern const char* const LineSuffix[3];

// What the barriers act on; the main window implements it with its START and STOPP commands.
class BarrierCommands {
public:
    virtual ~BarrierCommands() = default;
    virtual bool startEnabled() const = 0;
    virtual bool stopEnabled() const = 0;
    virtual int currentPhase() const = 0;
    virtual void invokeStart() = 0;
    virtual void invokeStop() = 0;
};

// Turns modem-status events of the start barrier's port into START and STOPP, keeps the
// arming state of the three indicators, the one-second lock-out and the reserve list of every
// signal with its wall-clock time. Barriers are numbered 1..3.
//
// Trigger mode 0 ("Ein") follows the rule of the program: on each event the first barrier of
// the port whose line is active is found; a status word equal to its remembered value gives no
// new signal; an event with no active line forgets all remembered values.
//
// Trigger mode 1 ("Aus") signals when the barrier's line drops. The level of every mode-1 line
// is tracked from event to event; the status read when the port opens is the start level, and
// it stays the reference until the port closes or the barrier's configuration changes (setting
// the same configuration again keeps it); a change from active to inactive is the signal. Of several mode-1
// barriers whose line dropped in one event the lowest-numbered signals, as with mode 0. Mode-1 barriers take
// no part in the search for an active line, so a mode-1 line that is idle-active does not hide the mode-0
// barriers behind it. With only mode-0 barriers configured the behaviour is exactly the original rule.
//
// Arming shows an indicator armed or disarmed only while its barrier's port is open; a barrier
// whose port failed to open, or that is not on the opened port, stays shown as closed, since
// no signal of it can arrive. A barrier whose port was lost (adapter unplugged) shows the lost
// picture; arming requests meanwhile are remembered and shown when the port is back.
//
// Every signal is also kept in a log of the last 50 with its wall-clock time, its tick and what
// it did (START, STOPP, locked out, ignored), for the settings dialog's wiring check; unlike the
// reserve list, NÄCHSTER does not empty it.
class LightBarriers : public QObject {
    Q_OBJECT
public:
    static constexpr quint32 LineMemoryReset = 0x55555555;
    static constexpr quint32 UnknownStatus = 0xFFFFFFFF;
    static constexpr int SignalLogSize = 50;
    enum IndicatorState { Closed = 0, Disarmed = 1, Armed = 2, Lost = 3 };
    enum class Outcome { Started, Stopped, LockedOut, NotArmed, NoEffect };
    struct SignalRecord {
        int barrier = 0;
        QTime time;
        quint32 tick = 0;
        Outcome outcome = Outcome::NoEffect;
    };

    explicit LightBarriers(QObject* parent = nullptr);

    void setCommands(BarrierCommands* commands) { m_commands = commands; }
    void setWallClock(std::function<QTime()> clock) { m_wallClock = std::move(clock); }
    // The millisecond tick counter recorded with each signal in the log.
    void setTickClock(std::function<quint32()> clock) { m_tickClock = std::move(clock); }

    BarrierConfig config(int barrier) const;
    void setConfig(int barrier, const BarrierConfig& config);

    // Handler of the port's OnCTS, OnDSR and OnRLSD: one call per changed line.
    void ComPortDSR(quint8 senderPort, quint32 status);
    // Handler of OnOpen; status is the port's modem status at opening (start level of mode-1
    // lines), UnknownStatus when not known.
    // Without a status the start level of mode-1 lines stays as it was.
    void ComPortOpen(quint8 port, quint32 status = UnknownStatus);
    void ComPortClose(quint8 port);
    // The port's device stopped working: its barriers show the lost picture.
    void ComPortLost(quint8 port);
    // The awaited port is open again (its device came back): its barriers show the arming last
    // asked for, also while they could not show it.
    void ComPortReconnected(quint8 port, quint32 status);
    void EnableBarrierIndicators();
    void SetBarrierArmed(int barrier, bool armed);
    void ImageLSClick(int barrier);
    void TimerGesperrtTimer();
    // NÄCHSTER: forget the remembered lines and counts, empty and disable the reserve list.
    void resetForNext();

    quint32 lineMemory(int barrier) const;
    qint32 signalCount(int barrier) const;
    int indicatorIndex(int barrier) const; // 4 * (barrier - 1) + state
    int indicatorState(int barrier) const;
    bool indicatorEnabled(int barrier) const;
    bool lockoutRunning() const { return m_timerGesperrt.isActive(); }
    QStringList reserveList() const { return m_reserve; }
    int reserveSelected() const { return m_reserveSelected; }
    bool reserveEnabled() const { return m_reserveEnabled; }
    // The last signals, oldest first.
    QVector<SignalRecord> signalLog() const;
    QStringList signalLogTexts() const;
    // "14:03.27,45  Tick 5700  LS Start: START"
    static QString signalLogText(const SignalRecord& record);

    // "9:05.07,03": hours without, minutes and seconds with a leading zero, hundredths.
    static QString signalTimeText(const QTime& time);

Q_SIGNALS:
    void indicatorChanged(int barrier, int index, bool enabled);
    void reserveListChanged(const QStringList& entries, int selected, bool enabled);
    void signalLogChanged();

private:
    static bool valid(int barrier) { return barrier >= 1 && barrier <= 3; }
    bool lineConfigured(int i, quint8 port) const;
    bool sameContact(int a, int b) const;
    void risingRule(quint8 senderPort, quint32 status);
    void fallingRule(quint8 senderPort, quint32 status);
    void BarrierSignal(int barrier);
    void logSignal(int barrier, const QTime& time, Outcome outcome);
    void setState(int i, int state);
    void publishReserve();

    std::array<BarrierConfig, 3> m_configs{};
    std::array<quint32, 3> m_lineMemory{LineMemoryReset, LineMemoryReset, LineMemoryReset};
    std::array<qint32, 3> m_signalCount{};
    std::array<int, 3> m_level{-1, -1, -1}; // mode-1 lines: -1 unknown, 0 inactive, 1 active
    std::array<int, 3> m_state{};
    std::array<bool, 3> m_enabled{};
    std::array<bool, 3> m_portOpen{}; // the barrier's port is open (OnOpen seen, no OnClose since)
    std::array<bool, 3> m_lost{};     // the barrier's port was lost and is not open again
    std::array<bool, 3> m_wanted{};   // armed as last asked (also while closed or lost); reset by a close
    QTimer m_timerGesperrt;
    QStringList m_reserve;
    int m_reserveSelected = -1;
    bool m_reserveEnabled = false;
    BarrierCommands* m_commands = nullptr;
    std::function<QTime()> m_wallClock;
    std::function<quint32()> m_tickClock;
    std::deque<SignalRecord> m_log;
};
