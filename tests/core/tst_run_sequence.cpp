#include "fake_clock_parts.h"

#include <QtTest>

using Row = ClockDisplay::Row;

namespace {
struct Expect {
    bool timer, start, stop, eintragen, naechster, absage, settings;
    Command focus;
};

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
