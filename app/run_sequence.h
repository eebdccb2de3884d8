#pragma once

#include "app/race_clock.h"
#include "app/run_sequence_states.h"
#include "platform/gong.h"

#include <QString>

// Barriers armed and disarmed by the sequence.
enum class Barrier { Start = 1, Stop = 2, Finish = 3 };

// What the sequence drives on the main window.
class RunControls {
public:
    virtual ~RunControls() = default;
    // Sets every command button, its menu item, the settings and load commands, Alt+P,
    // the STOPP caption and the focus as the row says; "unchanged" entries stay.
    virtual void applyControls(const RunStateControls& controls) = 0;
    virtual bool timerButtonVisible() const = 0;
    virtual void setBarrierArmed(Barrier barrier, bool armed) = 0;
    // Enters the current competitor from the entry fields with both phase times.
    virtual void enterResult(qint32 phaseOneTime, qint32 runTime) = 0;
    virtual void updateProtocolButtons() = 0;
    virtual void refreshTopTen() = 0;
    // Clears start number, driver, co-driver and brand.
    virtual void clearEntryFields() = 0;
    virtual bool nextEntryEnabled() const = 0;
    virtual void clickNextEntry() = 0;
    // Both points fields := "0".
    virtual void resetPointsFields() = 0;
    // Barrier line memory, signal counts and the reserve list.
    virtual void resetBarrierMemory() = 0;
    // Let the window repaint before a handler returns.
    virtual void processPendingEvents() = 0;
};

// The operator's commands for timing one competitor after another. Each command
// moves to its run state and applies that state's whole row of control states, so
// no command can leave a button behind in the state before.
class RunSequence {
public:
    // A STOPP this soon after the one that started phase 2 is a double click or a
    // bouncing key, not the end of the run.
    static constexpr qint32 kStopRepeatMs = 300;

    RunSequence(RaceClock& clock, RunControls& controls, GongPlayer& gong);

    SequenceState state() const { return m_state; }
    // The control states of the current run state.
    RunStateControls currentControls() const;
    // Applies the current state's controls again (start-up).
    void applyCurrentControls();

    // Each command does nothing in a run state where it is not offered.
    void mTimerClick();
    void mStartClick();
    void mStopClick();
    void mEintragenClick();
    // Any state (clearing the protocol uses it to return to Ready).
    void bRESETClick();
    void bAbsageClick();

    // Plays the file count - 1 times to completion, then once without waiting.
    void PlayGong(const QString& file, int count);

private:
    void enterState(SequenceState state);
    void enterResultAndFinish();

    RaceClock& m_clock;
    RunControls& m_controls;
    GongPlayer& m_gong;
    SequenceState m_state = SequenceState::Ready;
};
