#pragma once

#include "platform/colour.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

#include <array>
#include <memory>

// What the live pages show, taken on the GUI thread after a change and never changed
// afterwards: the server thread only reads it.

// The run states of the run sequence, as the pages and the API name them.
enum class LiveRunPhase {
    Ready,
    CountdownRunning,
    CountdownPaused,
    RunningPhase1,
    RunningPhase2,
    Stopped,
    Entered
};
QString liveRunPhaseName(LiveRunPhase phase);

// What the main window knows of the run, from which the run state follows.
struct LiveRunFacts {
    bool clockRunning = false;
    bool countdownMode = false;
    int currentPhase = 1;
    qint32 pauseTick = -1; // -1 no countdown since NÄCHSTER, 0 after START, else the pause tick
    bool eintragenEnabled = false;
    bool naechsterEnabled = false;
};
LiveRunPhase deriveRunPhase(const LiveRunFacts& facts);

// One row of clock digits as the main window shows it: tens of minutes, minutes, tens of
// seconds, seconds, tenths, hundredths, each with the colour it is lit in.
struct LiveDigitRow {
    std::array<int, 6> digits{};
    std::array<Rgb, 6> colours{};
    bool operator==(const LiveDigitRow& o) const { return digits == o.digits && colours == o.colours; }
};

// The clock of both rows. A row that runs is computed by the browser from the start tick;
// the other row shows its digits as they stand.
struct LiveClock {
    Rgb background = 0;
    LiveDigitRow rows[2];
    int runningRow = 0;        // 0 none, else 1 or 2
    bool countsDown = false;   // the running row shows the countdown length less the time since start
    Rgb dim = 0;               // the running row's colours: leading zeros ...
    Rgb lit = 0;               // ... and significant digits
    qint64 penaltyFromMs = -1; // beyond this time since start the running row turns to `penalty`
    Rgb penalty = 0;
    bool operator==(const LiveClock& o) const;
};

struct LiveCompetitor {
    QString startNumber, driver, coDriver, make, year;
    bool operator==(const LiveCompetitor& o) const
    {
        return startNumber == o.startNumber && driver == o.driver && coDriver == o.coDriver &&
               make == o.make && year == o.year;
    }
};

struct LiveRun {
    LiveRunPhase phase = LiveRunPhase::Ready;
    bool clockRunning = false;
    int phases = 2;
    int currentPhase = 1;
    bool countdownMode = false;
    qint32 countdownMs = 6000;
    quint32 startTick = 0;
    quint32 stopTick = 0;
    qint32 pauseTick = -1;
    qint32 phaseOneTime = 0;
    qint32 allowedDeviationMs = 45000; // phase 2 may take this much longer than phase 1
    QString penaltyPoints;             // the time-penalty points as the operator sees them
    std::array<Rgb, 5> palette{};
    LiveClock clock;
    LiveCompetitor competitor;
    bool operator==(const LiveRun& o) const;
    bool operator!=(const LiveRun& o) const { return !(*this == o); }
};

struct LiveSnapshot {
    quint64 session = 0;      // one program run: versions count anew in the next one
    quint64 version = 0;      // every published snapshot
    quint64 tableVersion = 0; // the table or the title changed
    quint64 stateVersion = 0; // the run state or the competitor changed
    QString title;
    QVector<QStringList> rows; // row 0 the header row, as in the results table
    QDateTime tableChangedAt;
    QDateTime stateChangedAt;
    LiveRun run;
    quint32 tickAtCapture = 0; // the program's tick counter when the snapshot was taken ...
    qint64 capturedAtMs = 0;   // ... and the monotonic clock then (liveSteadyMs)
};

// The monotonic clock (ms) that relates a snapshot's tick to the time of an answer.
qint64 liveSteadyMs();
// The program's tick counter at a moment of the monotonic clock, from the snapshot's pair.
quint32 liveTickAt(const LiveSnapshot& s, qint64 steadyMs);

// The next snapshot after `previous` (null: the first): numbers the versions and stamps the
// change times of what differs.
std::shared_ptr<const LiveSnapshot> nextLiveSnapshot(const LiveSnapshot* previous, LiveSnapshot next,
                                                     const QDateTime& now);
