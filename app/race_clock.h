#pragma once

#include "platform/colour.h"
#include "platform/tick_source.h"

#include <QLocale>
#include <QObject>
#include <QTimer>

// Where the clock draws: the two rows of digits of the main window and the first
// row of the spectators' time display window. Digits are numbered 3..8 (tens of
// minutes .. hundredths).
class ClockDisplay {
public:
    enum class Row { Main1, Main2, Monitor };
    enum class Label { LabMin, Lab_Min, LabSec, LabMin2, LabSec2, Lab_sek, Lab_100, MonLabMin, MonLabSec };

    virtual ~ClockDisplay() = default;
    virtual void setDigitValue(Row row, int digit, int value) = 0;
    virtual void setDigitColorOn(Row row, int digit, Rgb colour) = 0;
    virtual void setDigitColorOff(Row row, int digit, Rgb colour) = 0;
    virtual void setDigitBackground(Row row, int digit, Rgb colour) = 0;
    virtual void setLabelColour(Label label, Rgb colour) = 0;
    virtual void setPanelBackground(Rgb colour) = 0;
    // The time display window exists (shown or hidden).
    virtual bool monitorExists() const = 0;
};

// What the clock needs from the window beyond the digits.
class ClockHost {
public:
    virtual ~ClockHost() = default;
    // The START button's click, performed when the countdown runs out.
    virtual void clickStart() = 0;
    // The text of the time-penalty points field ePunkte2.
    virtual void setPenaltyPointsText(const QString& text) = 0;
};

struct RaceSettings {
    qint32 timer = 60;       // countdown length, tenths of a second
    qint32 elz1 = 45;        // allowed deviation of phase 2 over phase 1, whole seconds
    qint32 sekPachka = 100;  // length of one penalty step, ms
    qint32 pktSek = 100;     // points per penalty step, thousandths
    qint32 phases = 2;       // more than 1: two timing phases
    bool autoFrei = false;   // arm the next light barrier automatically
    bool sound = true;
    QString sound0;          // the timer gong
    Rgb palette[5] = {rgb(0, 0, 0), rgb(64, 64, 64), rgb(255, 255, 0), rgb(0, 255, 0), rgb(255, 0, 0)};
};

// The countdown's length and the allowed deviation of phase 2 in ms. Settings edited by hand
// may hold any 32-bit number; the milliseconds are held at the largest (smallest) 32-bit value
// instead of wrapping round into a countdown that has already run out.
qint32 countdownLengthMs(const RaceSettings& s);
qint32 allowedDeviationMs(const RaceSettings& s);

struct RowColourPair {
    Rgb dim;
    Rgb lit;
};

// The run state of the current competitor.
struct RunState {
    quint32 StartTick = 0;
    qint32 PhaseOneTime = 0;
    quint32 StopTick = 0;
    qint32 PauseTick = -1;
    bool CountdownMode = false;
    int CurrentPhase = 1;
    quint8 ColourState = 2;
    RowColourPair RowColours[2] = {{rgb(64, 64, 64), rgb(255, 0, 0)}, {rgb(64, 64, 64), rgb(255, 0, 0)}};
};

// The race clock: measures runs with the tick counter and shows them. The time is
// recomputed from the tick counter at every display, never accumulated from timer
// ticks, so a late or skipped tick does not make the clock drift.
class RaceClock : public QObject {
    Q_OBJECT
public:
    RaceClock(const TickSource& ticks, ClockDisplay& display, ClockHost& host, QObject* parent = nullptr);

    RunState& state() { return m_state; }
    const RunState& state() const { return m_state; }
    RaceSettings& settings() { return m_settings; }
    const RaceSettings& settings() const { return m_settings; }
    void setLocale(const QLocale& locale) { m_locale = locale; }

    quint32 now() const { return m_ticks.now(); }

    // The clock runs exactly while the 10 ms timer Clock is active.
    bool running() const { return m_clock.isActive(); }
    void setRunning(bool run);
    QTimer& clockTimer() { return m_clock; }

    void ClockTimer();
    void ShowTime(int row, qint32 a);
    void ShowDigits(int row, int m, int s, int c);
    void RecolourDigits();
    // Start-up display, also used after settings are applied: colours of both rows,
    // row 2 zero, row 1 the countdown length or zero.
    void startupDisplay();
    // Row 2 zero, row 1 the countdown length or zero.
    void showIdleTimes();
    // Tens of minutes, minutes, tens of seconds and the comma of row 2 in the dim colour C1.
    void dimSecondRowLeading();

private:
    Rgb palette(int index) const { return m_settings.palette[qBound(0, index, 4)]; }

    const TickSource& m_ticks;
    ClockDisplay& m_display;
    ClockHost& m_host;
    RunState m_state;
    RaceSettings m_settings;
    QLocale m_locale;
    QTimer m_clock;
};
