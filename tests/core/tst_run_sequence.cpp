#include "fake_clock_parts.h"

#include <QtTest>

using Row = ClockDisplay::Row;

namespace {
struct Expect {
    bool timer, start, stop, eintragen, naechster, absage, settings;
    Command focus;
};

// Drives a fresh rig by its commands into the given state (two phases, a countdown).
void reach(SequenceRig& rig, SequenceState target)
{
    rig.seq.bRESETClick();
    switch (target) {
    case SequenceState::Ready:
        break;
    case SequenceState::CountdownRunning:
        rig.seq.mTimerClick();
        break;
    case SequenceState::CountdownPaused:
        rig.seq.mTimerClick();
        rig.ticks.advance(1000);
        rig.seq.mTimerClick();
        break;
    case SequenceState::RunningPhase1:
        rig.seq.mStartClick();
        break;
    case SequenceState::RunningPhase2:
        rig.seq.mStartClick();
        rig.ticks.advance(40000);
        rig.seq.mStopClick();
        break;
    case SequenceState::Stopped:
        rig.seq.mStartClick();
        rig.ticks.advance(40000);
        rig.seq.mStopClick();
        rig.ticks.advance(3000);
        rig.seq.mStopClick();
        break;
    case SequenceState::Entered:
        rig.seq.bAbsageClick();
        break;
    }
    QCOMPARE(sequenceStateName(rig.seq.state()), sequenceStateName(target));
}

// One run state's row written out: "+" enabled, "-" disabled, then the face letter
// (f face, g green, r red, y yellow, b blue, k black), for TIMER START STOPP
// EINTRAGEN NÄCHSTER Absage.
QString buttonsText(const RunStateControls& c)
{
    static const char faces[] = "fgrybk";
    QString t;
    for (const ButtonState& b : c.buttons)
        t += QString::fromLatin1(b.enabled ? "+" : "-") + QLatin1Char(faces[int(b.face)]) + QLatin1Char(' ');
    return t.trimmed();
}

void checkState(const FakeRunControls& c, const Expect& e)
{
    QCOMPARE(c.enabled.value(Command::Timer), e.timer);
    QCOMPARE(c.enabled.value(Command::Start), e.start);
    QCOMPARE(c.enabled.value(Command::Stop), e.stop);
    QCOMPARE(c.enabled.value(Command::Eintragen), e.eintragen);
    QCOMPARE(c.enabled.value(Command::Naechster), e.naechster);
    QCOMPARE(c.enabled.value(Command::Absage), e.absage);
    QCOMPARE(c.settingsEnabled, e.settings);
    QCOMPARE(int(c.focus), int(e.focus));
}
} // namespace

class TestRunSequence : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void twoPhaseRunStatesAndTimes()
    {
        SequenceRig rig;
        rig.clock.startupDisplay();
        rig.seq.bRESETClick();
        checkState(rig.controls, {true, true, false, false, false, true, true, Command::Timer});

        rig.ticks.set(5000);
        rig.seq.mStartClick();
        checkState(rig.controls, {false, false, true, false, false, false, false, Command::Stop});
        QCOMPARE(rig.controls.face.value(Command::Stop), Face::Red);
        QVERIFY(rig.clock.running());

        rig.ticks.set(5000 + 61234);
        rig.seq.mStopClick();
        QVERIFY(rig.clock.running());
        QCOMPARE(rig.controls.stopCaption, QStringLiteral("STOPP2"));
        QCOMPARE(rig.display.text(Row::Main1), QStringLiteral("01:01,23"));
        QCOMPARE(rig.display.text(Row::Main2), QStringLiteral("00:00,00"));
        checkState(rig.controls, {false, false, true, false, false, false, false, Command::Stop});

        rig.ticks.set(5000 + 61234 + 30001);
        rig.seq.mStopClick();
        QVERIFY(!rig.clock.running());
        QCOMPARE(rig.controls.face.value(Command::Eintragen), Face::Blue);
        checkState(rig.controls, {false, false, false, true, false, false, false, Command::Eintragen});

        rig.seq.mEintragenClick();
        QCOMPARE(rig.controls.entered.size(), 1);
        const auto times = rig.controls.entered.first();
        QCOMPARE(times.first, 61234);
        QCOMPARE(times.second, 30001);
        // The two phases add up to START -> STOPP2.
        QCOMPARE(times.first + times.second, 61234 + 30001);
        checkState(rig.controls, {false, false, false, false, true, false, true, Command::Naechster});
        QCOMPARE(rig.controls.face.value(Command::Naechster), Face::Black);
    }

    void onePhaseRun()
    {
        SequenceRig rig;
        rig.clock.settings().phases = 1;
        rig.seq.bRESETClick();
        rig.ticks.set(100);
        rig.seq.mStartClick();
        rig.ticks.set(100 + 83450);
        rig.seq.mStopClick();
        QVERIFY(!rig.clock.running());
        QCOMPARE(rig.controls.stopCaption, QStringLiteral("STOPP1"));
        rig.seq.mEintragenClick();
        QCOMPARE(rig.controls.entered.first(), qMakePair(0, 83450));
        QCOMPARE(rig.penaltyText, QStringLiteral("0"));
    }

    void runAcrossTheTickWrap_data()
    {
        QTest::addColumn<quint32>("start");
        QTest::addColumn<int>("duration");
        QTest::newRow("start 1 s before the wrap") << quint32(0xFFFFFFFFu - 1000) << 75000;
        QTest::newRow("start 1 ms before the wrap") << quint32(0xFFFFFFFFu) << 12345;
    }
    void runAcrossTheTickWrap()
    {
        QFETCH(quint32, start);
        QFETCH(int, duration);
        SequenceRig rig;
        rig.clock.settings().phases = 1;
        rig.seq.bRESETClick();
        rig.ticks.set(start);
        rig.seq.mStartClick();
        rig.ticks.set(start + quint32(duration));
        rig.seq.mStopClick();
        rig.seq.mEintragenClick();
        QCOMPARE(rig.controls.entered.first().second, duration);
    }

    void countdownPausesResumesAndStartsTheRun()
    {
        SequenceRig rig; // "Timer" 60: a 6.0 s countdown
        rig.clock.settings().sound0 = QStringLiteral("gong.wav");
        rig.clock.startupDisplay();
        rig.seq.bRESETClick();
        QCOMPARE(rig.display.text(Row::Main1), QStringLiteral("00:06,00"));

        rig.ticks.set(10000);
        rig.seq.mTimerClick();
        QVERIFY(rig.clock.running());
        QCOMPARE(rig.gong.played, QStringList{QStringLiteral("gong.wav")});
        checkState(rig.controls, {true, true, false, false, false, true, false, Command::Start});
        rig.tickAt(12000);
        QCOMPARE(rig.display.text(Row::Main1), QStringLiteral("00:04,00"));

        rig.seq.mTimerClick(); // pause
        QVERIFY(!rig.clock.running());
        QVERIFY(rig.controls.timerRed);
        rig.ticks.set(20000); // 8 s paused
        rig.seq.mTimerClick(); // resume
        QVERIFY(!rig.controls.timerRed);
        QCOMPARE(rig.gong.played.size(), 2);
        rig.tickAt(20000);
        QCOMPARE(rig.display.text(Row::Main1), QStringLiteral("00:04,00"));
        rig.tickAt(23999);
        QCOMPARE(rig.display.text(Row::Main1), QStringLiteral("00:00,00"));
        QVERIFY(rig.clock.state().CountdownMode);
        // The first tick with less than 1 ms remaining starts the run at that tick.
        rig.tickAt(24000);
        QVERIFY(!rig.clock.state().CountdownMode);
        QCOMPARE(rig.clock.state().StartTick, quint32(24000));
        QCOMPARE(rig.controls.enabled.value(Command::Stop), true);
        rig.tickAt(25500);
        QCOMPARE(rig.display.text(Row::Main1), QStringLiteral("00:01,50"));
    }

    void startDuringCountdownDropsIt_data()
    {
        QTest::addColumn<bool>("paused");
        QTest::newRow("running countdown") << false;
        QTest::newRow("paused countdown") << true;
    }
    void startDuringCountdownDropsIt()
    {
        QFETCH(bool, paused);
        SequenceRig rig;
        rig.seq.bRESETClick();
        rig.ticks.set(1000);
        rig.seq.mTimerClick();
        rig.ticks.set(3000);
        if (paused)
            rig.seq.mTimerClick();
        rig.ticks.set(4000);
        rig.seq.mStartClick();
        QVERIFY(rig.clock.running());
        QCOMPARE(rig.clock.state().StartTick, quint32(4000));
        rig.tickAt(4750);
        QCOMPARE(rig.display.text(Row::Main1), QStringLiteral("00:00,75"));
    }

    void timerZeroCountsUpAfterNext()
    {
        SequenceRig rig;
        rig.clock.settings().timer = 0;
        rig.controls.timerVisible = false;
        rig.seq.bRESETClick();
        // F4 stays available through its menu item although TIMER is hidden.
        QVERIFY(rig.controls.menu.value(Command::Timer));
        QCOMPARE(int(rig.controls.focus), int(Command::Start));
        QVERIFY(rig.controls.armed[int(Barrier::Start)]);
        rig.ticks.set(500);
        rig.seq.mTimerClick();
        rig.tickAt(3500);
        QCOMPARE(rig.display.text(Row::Main1), QStringLiteral("00:03,00"));
        QVERIFY(rig.controls.enabled.value(Command::Start));
        QCOMPARE(rig.display.digits[int(Row::Main1)][6].on, rgb(255, 255, 0));
    }

    void absageEntersZeroTimes()
    {
        SequenceRig rig;
        rig.seq.bRESETClick();
        rig.seq.bAbsageClick();
        QCOMPARE(rig.controls.entered.first(), qMakePair(-1, -1));
        checkState(rig.controls, {false, false, false, false, true, false, true, Command::Naechster});
        QVERIFY(!rig.controls.menu.value(Command::Timer));
        QVERIFY(!rig.controls.menu.value(Command::Start));
    }

    void armingByCommand_data()
    {
        QTest::addColumn<bool>("autoFrei");
        QTest::newRow("AutoFrei on") << true;
        QTest::newRow("AutoFrei off") << false;
    }
    void armingByCommand()
    {
        QFETCH(bool, autoFrei);
        SequenceRig rig;
        rig.clock.settings().autoFrei = autoFrei;
        rig.seq.bRESETClick();
        QVERIFY(!rig.controls.armed[1]); // TIMER visible
        rig.seq.mTimerClick();
        QCOMPARE(rig.controls.armed[1], autoFrei);
        rig.seq.mStartClick();
        QVERIFY(!rig.controls.armed[1]);
        QCOMPARE(rig.controls.armed[2], autoFrei);
        rig.seq.mStopClick();
        QCOMPARE(rig.controls.armed[3], autoFrei);
        rig.ticks.advance(RunSequence::kStopRepeatMs);
        rig.seq.mStopClick();
        QVERIFY(!rig.controls.armed[1] && !rig.controls.armed[2] && !rig.controls.armed[3]);
    }

    void nextMovesThroughTheStartList()
    {
        SequenceRig rig;
        rig.controls.nextEnabled = true;
        rig.seq.bRESETClick();
        QCOMPARE(rig.controls.cleared, 1);
        QCOMPARE(rig.controls.nextClicks, 1);
        rig.controls.nextEnabled = false;
        rig.seq.bRESETClick();
        QCOMPARE(rig.controls.nextClicks, 1);
        QCOMPARE(rig.controls.barrierResets, 2);
    }

    // The one table, state -> controls, row by row as the operator sees each state.
    void controlTable_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("timerShown");
        QTest::addColumn<QString>("buttons");
        QTest::addColumn<bool>("timerRed");
        QTest::addColumn<bool>("settingsAndLoad");
        QTest::addColumn<int>("punkte1");     // -1 unchanged
        QTest::addColumn<QString>("caption"); // "" unchanged
        QTest::addColumn<int>("focus");       // -1 unchanged
        QTest::newRow("Ready") << int(SequenceState::Ready) << true << "+y +g -f -f -f +f" << false << true
                               << -1 << "STOPP1" << int(Command::Timer);
        QTest::newRow("Ready without TIMER focuses START")
            << int(SequenceState::Ready) << false << "+y +g -f -f -f +f" << false << true << -1 << "STOPP1"
            << int(Command::Start);
        QTest::newRow("CountdownRunning")
            << int(SequenceState::CountdownRunning) << true << "+y +g -f -f -f +f" << false << false << -1
            << "STOPP1" << int(Command::Start);
        QTest::newRow("CountdownPaused") << int(SequenceState::CountdownPaused) << true << "+y +g -f -f -f +f"
                                         << true << false << -1 << "STOPP1" << -1;
        QTest::newRow("RunningPhase1") << int(SequenceState::RunningPhase1) << true << "-f -f +r -f -f -f"
                                       << false << false << 1 << "STOPP1" << int(Command::Stop);
        QTest::newRow("RunningPhase2") << int(SequenceState::RunningPhase2) << true << "-f -f +r -f -f -f"
                                       << false << false << 1 << "STOPP2" << -1;
        QTest::newRow("Stopped") << int(SequenceState::Stopped) << true << "-f -f -f +b -f -f" << false
                                 << false << 1 << "" << int(Command::Eintragen);
        QTest::newRow("Entered") << int(SequenceState::Entered) << true << "-f -f -f -f +k -f" << false
                                 << true << 0 << "" << int(Command::Naechster);
    }
    void controlTable()
    {
        QFETCH(int, state);
        QFETCH(bool, timerShown);
        QFETCH(QString, buttons);
        QFETCH(bool, timerRed);
        QFETCH(bool, settingsAndLoad);
        QFETCH(int, punkte1);
        QFETCH(QString, caption);
        QFETCH(int, focus);
        const RunStateControls c = runStateControls(SequenceState(state), timerShown);
        QCOMPARE(buttonsText(c), buttons);
        QCOMPARE(c.timerTextRed, timerRed);
        QCOMPARE(c.settings, settingsAndLoad);
        QCOMPARE(c.load, settingsAndLoad);
        QCOMPARE(c.punkte1 ? int(*c.punkte1) : -1, punkte1);
        QCOMPARE(c.stopCaption.value_or(QString()), caption);
        QCOMPARE(c.focus ? int(*c.focus) : -1, focus);
    }

    // Every command that changes the state applies the new state's row whole.
    void everyTransitionAppliesItsWholeRow_data()
    {
        QTest::addColumn<int>("state");
        for (int s = 0; s < kSequenceStateCount; ++s)
            QTest::newRow(sequenceStateName(SequenceState(s))) << s;
    }
    void everyTransitionAppliesItsWholeRow()
    {
        QFETCH(int, state);
        SequenceRig rig;
        reach(rig, SequenceState(state));
        QVERIFY(!rig.controls.applied.isEmpty());
        QVERIFY(rig.controls.applied.last() == runStateControls(SequenceState(state), true));
    }

    // Clearing the protocol performs NÄCHSTER in whatever state the run is: the
    // window returns to Ready exactly, and STOPP and EINTRAGEN are no longer offered.
    void naechsterReturnsToReadyFromEveryState_data() { everyTransitionAppliesItsWholeRow_data(); }
    void naechsterReturnsToReadyFromEveryState()
    {
        QFETCH(int, state);
        SequenceRig rig;
        rig.clock.startupDisplay();
        reach(rig, SequenceState(state));
        const int entered = rig.controls.entered.size();
        rig.ticks.advance(5000);
        rig.seq.bRESETClick();
        QCOMPARE(sequenceStateName(rig.seq.state()), "Ready");
        QVERIFY(rig.controls.applied.last() == runStateControls(SequenceState::Ready, true));
        QCOMPARE(rig.controls.face.value(Command::Stop), Face::Face);
        QVERIFY(!rig.clock.running());
        QCOMPARE(rig.display.text(Row::Main1), QStringLiteral("00:06,00"));
        QCOMPARE(rig.display.text(Row::Main2), QStringLiteral("00:00,00"));
        // F9 and F10 reaching their handlers anyway change nothing.
        const int applied = rig.controls.applied.size();
        rig.ticks.advance(5000);
        rig.seq.mStopClick();
        rig.seq.mEintragenClick();
        QCOMPARE(sequenceStateName(rig.seq.state()), "Ready");
        QCOMPARE(rig.controls.applied.size(), applied);
        QCOMPARE(rig.controls.entered.size(), entered);
        QVERIFY(!rig.clock.running());
    }

    // A command that its state does not offer does nothing, whoever invokes it.
    void commandsOutsideTheirStatesDoNothing_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("command");
        QTest::newRow("STOPP in Ready") << int(SequenceState::Ready) << int(Command::Stop);
        QTest::newRow("EINTRAGEN in Ready") << int(SequenceState::Ready) << int(Command::Eintragen);
        QTest::newRow("EINTRAGEN during phase 1")
            << int(SequenceState::RunningPhase1) << int(Command::Eintragen);
        QTest::newRow("TIMER during phase 2") << int(SequenceState::RunningPhase2) << int(Command::Timer);
        QTest::newRow("START when stopped") << int(SequenceState::Stopped) << int(Command::Start);
        QTest::newRow("Absage when stopped") << int(SequenceState::Stopped) << int(Command::Absage);
        QTest::newRow("START after EINTRAGEN") << int(SequenceState::Entered) << int(Command::Start);
        QTest::newRow("EINTRAGEN twice") << int(SequenceState::Entered) << int(Command::Eintragen);
    }
    void commandsOutsideTheirStatesDoNothing()
    {
        QFETCH(int, state);
        QFETCH(int, command);
        SequenceRig rig;
        reach(rig, SequenceState(state));
        const bool running = rig.clock.running();
        const RunState before = rig.clock.state();
        const int applied = rig.controls.applied.size();
        const int entered = rig.controls.entered.size();
        rig.ticks.advance(5000);
        switch (Command(command)) {
        case Command::Timer:
            rig.seq.mTimerClick();
            break;
        case Command::Start:
            rig.seq.mStartClick();
            break;
        case Command::Stop:
            rig.seq.mStopClick();
            break;
        case Command::Eintragen:
            rig.seq.mEintragenClick();
            break;
        case Command::Naechster:
            rig.seq.bRESETClick();
            break;
        case Command::Absage:
            rig.seq.bAbsageClick();
            break;
        }
        QCOMPARE(sequenceStateName(rig.seq.state()), sequenceStateName(SequenceState(state)));
        QCOMPARE(rig.clock.running(), running);
        QCOMPARE(rig.clock.state().StartTick, before.StartTick);
        QCOMPARE(rig.clock.state().StopTick, before.StopTick);
        QCOMPARE(rig.controls.applied.size(), applied);
        QCOMPARE(rig.controls.entered.size(), entered);
    }

    // A second STOPP right after the one that ended phase 1 (a double click on
    // STOPP1, a bouncing key) does not end phase 2.
    void secondStopRightAfterPhaseOneIsIgnored_data()
    {
        QTest::addColumn<quint32>("phaseOneStop");
        QTest::addColumn<int>("after");
        QTest::addColumn<bool>("ends");
        QTest::newRow("same millisecond") << quint32(70000) << 0 << false;
        QTest::newRow("1 ms later") << quint32(70000) << 1 << false;
        QTest::newRow("299 ms later") << quint32(70000) << 299 << false;
        QTest::newRow("300 ms later ends phase 2") << quint32(70000) << 300 << true;
        QTest::newRow("299 ms across the tick wrap") << quint32(0xFFFFFF00u) << 299 << false;
        QTest::newRow("300 ms across the tick wrap") << quint32(0xFFFFFF00u) << 300 << true;
    }
    void secondStopRightAfterPhaseOneIsIgnored()
    {
        QFETCH(quint32, phaseOneStop);
        QFETCH(int, after);
        QFETCH(bool, ends);
        SequenceRig rig;
        rig.seq.bRESETClick();
        rig.ticks.set(phaseOneStop - 60000);
        rig.seq.mStartClick();
        rig.ticks.set(phaseOneStop);
        rig.seq.mStopClick();
        QCOMPARE(sequenceStateName(rig.seq.state()), "RunningPhase2");
        rig.ticks.set(phaseOneStop + quint32(after));
        rig.seq.mStopClick();
        QCOMPARE(rig.clock.running(), !ends);
        QCOMPARE(sequenceStateName(rig.seq.state()), ends ? "Stopped" : "RunningPhase2");
        if (ends) {
            rig.seq.mEintragenClick();
            QCOMPARE(rig.controls.entered.first(), qMakePair(60000, after));
        }
    }

    void penaltyColourDuringPhaseTwo()
    {
        SequenceRig rig;
        rig.clock.startupDisplay();
        rig.seq.bRESETClick();
        rig.ticks.set(0);
        rig.seq.mStartClick();
        rig.ticks.set(60000);
        rig.seq.mStopClick();
        rig.tickAt(60000 + 105000);
        QCOMPARE(rig.clock.state().ColourState, quint8(3));
        rig.tickAt(60000 + 105001);
        QCOMPARE(rig.clock.state().ColourState, quint8(4));
        QCOMPARE(rig.display.digits[int(Row::Main2)][8].on, rgb(255, 0, 0));
        QCOMPARE(rig.penaltyText, QStringLiteral("0,1"));
        rig.ticks.set(60000 + 106000);
        rig.seq.mStopClick();
        QCOMPARE(rig.penaltyText, QStringLiteral("1"));
        // The phase-1 time stays on row 1.
        QCOMPARE(rig.display.text(Row::Main1), QStringLiteral("01:00,00"));
    }
};

QTEST_GUILESS_MAIN(TestRunSequence)
#include "tst_run_sequence.moc"
