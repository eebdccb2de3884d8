#pragma once

#include "app/race_clock.h"
#include "fake_tick_source.h"
#include "app/run_sequence.h"

#include <QHash>
#include <QMap>
#include <QStringList>

#include <functional>

// Records what the clock draws.
class FakeClockDisplay final : public ClockDisplay {
public:
    struct Digit {
        int value = 0;
        Rgb on = rgb(255, 255, 0);
        Rgb off = 0;
        Rgb back = 0;
    };
    Digit digits[3][9];
    QMap<Label, Rgb> labels;
    Rgb panel = 0;
    bool monitor = false;

    void setDigitValue(Row row, int digit, int value) override { digits[int(row)][digit].value = value; }
    void setDigitColorOn(Row row, int digit, Rgb c) override { digits[int(row)][digit].on = c; }
    void setDigitColorOff(Row row, int digit, Rgb c) override { digits[int(row)][digit].off = c; }
    void setDigitBackground(Row row, int digit, Rgb c) override { digits[int(row)][digit].back = c; }
    void setLabelColour(Label label, Rgb c) override { labels[label] = c; }
    void setPanelBackground(Rgb c) override { panel = c; }
    bool monitorExists() const override { return monitor; }

    // "m:ss,cc"-like text of one row from its six digit values.
    QString text(Row row) const
    {
        const auto& d = digits[int(row)];
        return QStringLiteral("%1%2:%3%4,%5%6")
            .arg(d[3].value).arg(d[4].value).arg(d[5].value).arg(d[6].value).arg(d[7].value).arg(d[8].value);
    }
};

// Records the control states the run sequence sets.
class FakeRunControls final : public RunControls {
public:
    std::function<void()> onClickStart;
    QMap<Command, bool> enabled{{Command::Timer, true},     {Command::Start, true},
                                {Command::Stop, false},     {Command::Eintragen, false},
                                {Command::Naechster, false}, {Command::Absage, true}};
    QMap<Command, bool> menu = enabled;
    QMap<Command, Face> face;
    bool timerRed = false;
    bool timerVisible = true;
    QString stopCaption = QStringLiteral("STOPP1");
    Command focus = Command::Timer;
    bool settingsEnabled = true;
    bool punkte1 = true;
    bool armed[4] = {false, false, false, false};
    QList<QPair<qint32, qint32>> entered;
    int protocolUpdates = 0;
    int topTenRefreshes = 0;
    int cleared = 0;
    bool nextEnabled = false;
    int nextClicks = 0;
    int pointsResets = 0;
    int barrierResets = 0;

    // Every row of control states applied, in order.
    QList<RunStateControls> applied;
    bool loadEnabled = true;

    void applyControls(const RunStateControls& c) override
    {
        applied.append(c);
        for (int i = 0; i < kCommandCount; ++i) {
            enabled[Command(i)] = c.buttons[size_t(i)].enabled;
            menu[Command(i)] = c.buttons[size_t(i)].enabled;
            face[Command(i)] = c.buttons[size_t(i)].face;
        }
        timerRed = c.timerTextRed;
        settingsEnabled = c.settings;
        loadEnabled = c.load;
        if (c.punkte1)
            punkte1 = *c.punkte1;
        if (c.stopCaption)
            stopCaption = *c.stopCaption;
        if (c.focus)
            focus = *c.focus;
    }
    bool timerButtonVisible() const override { return timerVisible; }
    void setBarrierArmed(Barrier b, bool on) override { armed[int(b)] = on; }
    void enterResult(qint32 p1, qint32 run) override { entered.append({p1, run}); }
    void updateProtocolButtons() override { ++protocolUpdates; }
    void refreshTopTen() override { ++topTenRefreshes; }
    void clearEntryFields() override { ++cleared; }
    bool nextEntryEnabled() const override { return nextEnabled; }
    void clickNextEntry() override { ++nextClicks; }
    void resetPointsFields() override { ++pointsResets; }
    void resetBarrierMemory() override { ++barrierResets; }
    void processPendingEvents() override {}
};

class FakeGong final : public GongPlayer {
public:
    QStringList played;
    void play(const QString& f) override { played.append(f); }
    void playAndWait(const QString& f) override { played.append(f + QStringLiteral(" (waited)")); }
};

// Clock and sequence wired together as the main window wires them.
struct SequenceRig : public ClockHost {
    FakeTickSource ticks{1000};
    FakeClockDisplay display;
    FakeRunControls controls;
    FakeGong gong;
    QString penaltyText = QStringLiteral("0");
    RaceClock clock{ticks, display, *this};
    RunSequence seq{clock, controls, gong};

    SequenceRig() { clock.setLocale(QLocale(QLocale::German, QLocale::Germany)); }
    void clickStart() override { seq.mStartClick(); }
    void setPenaltyPointsText(const QString& t) override { penaltyText = t; }
    // A tick of the 10 ms clock timer at the given tick count.
    void tickAt(quint32 t)
    {
        ticks.set(t);
        clock.ClockTimer();
    }
};
