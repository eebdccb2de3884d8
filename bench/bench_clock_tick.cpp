// One clock tick: ClockTimer with the repaint of the changed digits, main window
// shown offscreen. Run: scripts/bench.sh, or build-release/bin/bench_clock_tick.
#include "app/FMain.h"
#include "fake_clock_parts.h"
#include "test_deps.h"

#include <QtTest>

class BenchClockTick : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void tickWhileRunning()
    {
        FakeTickSource ticks(1000);
        FakeGong gong;
        TFormMain w(testDeps(&ticks, &gong));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.sequence().mStartClick();
        QBENCHMARK {
            ticks.advance(10); // hundredths change every tick, tenths every tenth tick
            w.clock().ClockTimer();
        }
    }

    // The same with the full-screen time display shown (its six digits follow row 1).
    void tickWithTimeDisplayShown()
    {
        FakeTickSource ticks(1000);
        FakeGong gong;
        TFormMain w(testDeps(&ticks, &gong));
        w.createCompanionWindows();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.bMon2Click();
        w.sequence().mStartClick();
        QBENCHMARK {
            ticks.advance(10);
            w.clock().ClockTimer();
        }
    }
};

QTEST_MAIN(BenchClockTick)
#include "bench_clock_tick.moc"
