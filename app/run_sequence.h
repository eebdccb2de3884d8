#pragma once

#include "app/race_clock.h"
#include "platform/gong.h"

#include <QString>

// The commands of the run sequence and their buttons.
enum class Command { Timer, Start, Stop, Eintragen, Naechster, Absage };

// Button faces used by the sequence.
enum class Face { Face, Green, Red, Yellow, Blue, Black };

// Barriers armed and disarmed by the sequence.
enum class Barrier { Start = 1, Stop = 2, Finish = 3 };

// What the sequence drives on the main window.
class RunControls {
public:
    virtual ~RunControls() = default;
    // Enables a command's button and paints its face; the command's menu item follows.
    virtual void setButton(Command cmd, bool enabled, Face face) = 0;
    // Only the menu item (used where it must differ from its button).
    virtual void setMenuEnabled(Command cmd, bool enabled) = 0;
    virtual bool buttonEnabled(Command cmd) const = 0;
    virtual void setTimerTextRed(bool red) = 0;
    virtual bool timerButtonVisible() const = 0;
    virtual void setStopCaption(const QString& caption) = 0;
    virtual void focusButton(Command cmd) = 0;
    virtual void enableSettings(bool on) = 0;
    virtual void setPunkte1Enabled(bool on) = 0;
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

// The operator's commands for timing one competitor after another. Every command
// sets the clock state and all control states explicitly.
class RunSequence {
public:
    RunSequence(RaceClock& clock, RunControls& controls, GongPlayer& gong);

    void mTimerClick();
    void mStartClick();
    void mStopClick();
    void mEintragenClick();
    void bRESETClick();
    void bAbsageClick();

    // Plays the file count - 1 times to completion, then once without waiting.
    void PlayGong(const QString& file, int count);

private:
    RaceClock& m_clock;
    RunControls& m_controls;
    GongPlayer& m_gong;
};
