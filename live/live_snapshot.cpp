#include "live/live_snapshot.h"

#include <QRandomGenerator>

#include <chrono>

QString liveRunPhaseName(LiveRunPhase phase)
{
    switch (phase) {
    case LiveRunPhase::Ready:
        return QStringLiteral("Ready");
    case LiveRunPhase::CountdownRunning:
        return QStringLiteral("CountdownRunning");
    case LiveRunPhase::CountdownPaused:
        return QStringLiteral("CountdownPaused");
    case LiveRunPhase::RunningPhase1:
        return QStringLiteral("RunningPhase1");
    case LiveRunPhase::RunningPhase2:
        return QStringLiteral("RunningPhase2");
    case LiveRunPhase::Stopped:
        return QStringLiteral("Stopped");
    case LiveRunPhase::Entered:
        return QStringLiteral("Entered");
    }
    return QString();
}

LiveRunPhase deriveRunPhase(const LiveRunFacts& f)
{
    // The enabled entry commands tell the two states after a run apart from the idle one.
    if (f.naechsterEnabled)
        return LiveRunPhase::Entered;
    if (f.eintragenEnabled)
        return LiveRunPhase::Stopped;
    if (f.clockRunning) {
        // START sets PauseTick to 0; a clock started by TIMER (also without a countdown) keeps another value.
        if (f.pauseTick != 0)
            return LiveRunPhase::CountdownRunning;
        return f.currentPhase == 2 ? LiveRunPhase::RunningPhase2 : LiveRunPhase::RunningPhase1;
    }
    if (f.pauseTick != -1 && f.pauseTick != 0)
        return LiveRunPhase::CountdownPaused;
    return LiveRunPhase::Ready;
}

bool LiveClock::operator==(const LiveClock& o) const
{
    return background == o.background && rows[0] == o.rows[0] && rows[1] == o.rows[1] &&
           runningRow == o.runningRow && countsDown == o.countsDown && dim == o.dim && lit == o.lit &&
           penaltyFromMs == o.penaltyFromMs && penalty == o.penalty;
}

bool LiveRun::operator==(const LiveRun& o) const
{
    return phase == o.phase && clockRunning == o.clockRunning && phases == o.phases &&
           currentPhase == o.currentPhase && countdownMode == o.countdownMode &&
           countdownMs == o.countdownMs && startTick == o.startTick && stopTick == o.stopTick &&
           pauseTick == o.pauseTick && phaseOneTime == o.phaseOneTime &&
           allowedDeviationMs == o.allowedDeviationMs && penaltyPoints == o.penaltyPoints &&
           palette == o.palette && clock == o.clock && competitor == o.competitor;
}

qint64 liveSteadyMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

quint32 liveTickAt(const LiveSnapshot& s, qint64 steadyMs)
{
    return s.tickAtCapture + quint32(steadyMs - s.capturedAtMs);
}

std::shared_ptr<const LiveSnapshot> nextLiveSnapshot(const LiveSnapshot* previous, LiveSnapshot next,
                                                     const QDateTime& now)
{
    if (!previous) {
        next.session = QRandomGenerator::global()->generate64() | 1;
        next.version = 1;
        next.tableVersion = 1;
        next.stateVersion = 1;
        next.tableChangedAt = now;
        next.stateChangedAt = now;
        return std::make_shared<const LiveSnapshot>(std::move(next));
    }
    next.session = previous->session;
    next.version = previous->version + 1;
    // Equal lists that share their data compare at once; a changed table compares row by row.
    const bool tableChanged = next.title != previous->title || next.rows != previous->rows;
    next.tableVersion = previous->tableVersion + (tableChanged ? 1 : 0);
    next.tableChangedAt = tableChanged ? now : previous->tableChangedAt;
    const bool stateChanged = next.run != previous->run;
    next.stateVersion = previous->stateVersion + (stateChanged ? 1 : 0);
    next.stateChangedAt = stateChanged ? now : previous->stateChangedAt;
    return std::make_shared<const LiveSnapshot>(std::move(next));
}
