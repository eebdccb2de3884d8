// The snapshot rules of the live results: the run state named from the main window's facts,
// and the version numbers that tell the server what changed.
#include "live/live_snapshot.h"

#include <QtTest>

Q_DECLARE_METATYPE(LiveRunPhase)

namespace {
LiveSnapshot withRows(const QVector<QStringList>& rows, const QString& title = QStringLiteral("Furchenlauf"))
{
    LiveSnapshot s;
    s.title = title;
    s.rows = rows;
    return s;
}
const QStringList kHeader = {QStringLiteral("St.Nr."), QStringLiteral("Fahrer")};
} // namespace

class TestLiveSnapshot : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void runPhaseFromFacts_data()
    {
        QTest::addColumn<bool>("running");
        QTest::addColumn<bool>("countdown");
        QTest::addColumn<int>("phase");
        QTest::addColumn<qint32>("pauseTick");
        QTest::addColumn<bool>("eintragen");
        QTest::addColumn<bool>("naechster");
        QTest::addColumn<LiveRunPhase>("expected");
        QTest::newRow("start-up and after NÄCHSTER: Ready")
            << false << true << 1 << -1 << false << false << LiveRunPhase::Ready;
        QTest::newRow("TIMER: countdown running")
            << true << true << 1 << -1 << false << false << LiveRunPhase::CountdownRunning;
        QTest::newRow("countdown resumed after a pause")
            << true << true << 1 << 5000 << false << false << LiveRunPhase::CountdownRunning;
        QTest::newRow("F4 without countdown: counts up, not yet START")
            << true << false << 1 << 123 << false << false << LiveRunPhase::CountdownRunning;
        QTest::newRow("TIMER again: countdown paused")
            << false << true << 1 << 5000 << false << false << LiveRunPhase::CountdownPaused;
        QTest::newRow("START: phase 1")
            << true << false << 1 << 0 << false << false << LiveRunPhase::RunningPhase1;
        QTest::newRow("STOPP1: phase 2")
            << true << false << 2 << 0 << false << false << LiveRunPhase::RunningPhase2;
        QTest::newRow("final STOPP: stopped")
            << false << false << 2 << 0 << true << false << LiveRunPhase::Stopped;
        QTest::newRow("one phase stopped")
            << false << false << 1 << 0 << true << false << LiveRunPhase::Stopped;
        QTest::newRow("EINTRAGEN: entered")
            << false << false << 2 << 0 << false << true << LiveRunPhase::Entered;
        QTest::newRow("Absage from Ready: entered")
            << false << true << 1 << -1 << false << true << LiveRunPhase::Entered;
    }

    void runPhaseFromFacts()
    {
        QFETCH(bool, running);
        QFETCH(bool, countdown);
        QFETCH(int, phase);
        QFETCH(qint32, pauseTick);
        QFETCH(bool, eintragen);
        QFETCH(bool, naechster);
        QFETCH(LiveRunPhase, expected);
        LiveRunFacts f;
        f.clockRunning = running;
        f.countdownMode = countdown;
        f.currentPhase = phase;
        f.pauseTick = pauseTick;
        f.eintragenEnabled = eintragen;
        f.naechsterEnabled = naechster;
        QCOMPARE(deriveRunPhase(f), expected);
    }

    void phaseNames()
    {
        QCOMPARE(liveRunPhaseName(LiveRunPhase::Ready), QStringLiteral("Ready"));
        QCOMPARE(liveRunPhaseName(LiveRunPhase::Entered), QStringLiteral("Entered"));
    }

    // Each snapshot gets the next version; the table and state versions move only with their part.
    void versionsFollowWhatChanged_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("table");
        QTest::addColumn<int>("state");
        QTest::newRow("nothing") << "none" << 1 << 1;
        QTest::newRow("a cell") << "cell" << 2 << 1;
        QTest::newRow("a row more") << "row" << 2 << 1;
        QTest::newRow("the title") << "title" << 2 << 1;
        QTest::newRow("the run state") << "phase" << 1 << 2;
        QTest::newRow("the competitor's name") << "driver" << 1 << 2;
        QTest::newRow("a palette colour") << "colour" << 1 << 2;
    }

    void versionsFollowWhatChanged()
    {
        QFETCH(QString, change);
        QFETCH(int, table);
        QFETCH(int, state);
        const QVector<QStringList> rows = {kHeader, {QStringLiteral("12"), QStringLiteral("Huber")}};
        const QDateTime t0(QDate(2024, 6, 1), QTime(14, 0, 0));
        const QDateTime t1 = t0.addSecs(30);
        const auto first = nextLiveSnapshot(nullptr, withRows(rows), t0);
        QCOMPARE(first->version, quint64(1));

        LiveSnapshot next = withRows(rows);
        if (change == QLatin1String("cell"))
            next.rows[1][1] = QStringLiteral("Maier");
        else if (change == QLatin1String("row"))
            next.rows.append({QStringLiteral("13"), QStringLiteral("Gruber")});
        else if (change == QLatin1String("title"))
            next.title = QStringLiteral("Geschicklichkeit");
        else if (change == QLatin1String("phase"))
            next.run.phase = LiveRunPhase::RunningPhase1;
        else if (change == QLatin1String("driver"))
            next.run.competitor.driver = QStringLiteral("Huber");
        else if (change == QLatin1String("colour"))
            next.run.palette[3] = rgb(1, 2, 3);
        const auto second = nextLiveSnapshot(first.get(), next, t1);
        QCOMPARE(second->version, quint64(2));
        QCOMPARE(second->tableVersion, quint64(table));
        QCOMPARE(second->stateVersion, quint64(state));
        QCOMPARE(second->tableChangedAt, table == 2 ? t1 : t0);
        QCOMPARE(second->stateChangedAt, state == 2 ? t1 : t0);
    }

    // Versions count within one run of the program; the pages tell runs apart by the session.
    void sessionLastsOneRun()
    {
        const QDateTime t(QDate(2024, 6, 1), QTime(14, 0, 0));
        const auto first = nextLiveSnapshot(nullptr, LiveSnapshot(), t);
        QVERIFY(first->session != 0);
        const auto second = nextLiveSnapshot(first.get(), LiveSnapshot(), t);
        QCOMPARE(second->session, first->session);
        const auto nextRun = nextLiveSnapshot(nullptr, LiveSnapshot(), t);
        QVERIFY(nextRun->session != first->session);
        QCOMPARE(nextRun->version, quint64(1));
    }

    // The tick of an answer follows the monotonic clock from the snapshot's pair, across the wrap.
    void tickAtAnswer_data()
    {
        QTest::addColumn<quint32>("tick");
        QTest::addColumn<qint64>("later");
        QTest::addColumn<quint32>("expected");
        QTest::newRow("same moment") << 1000u << qint64(0) << 1000u;
        QTest::newRow("2.5 s later") << 1000u << qint64(2500) << 3500u;
        QTest::newRow("just before the wrap") << 0xFFFFFFF0u << qint64(15) << 0xFFFFFFFFu;
        QTest::newRow("across the wrap") << 0xFFFFFFF0u << qint64(32) << 16u;
    }

    void tickAtAnswer()
    {
        QFETCH(quint32, tick);
        QFETCH(qint64, later);
        QFETCH(quint32, expected);
        LiveSnapshot s;
        s.tickAtCapture = tick;
        s.capturedAtMs = 777000;
        QCOMPARE(liveTickAt(s, 777000 + later), expected);
    }
};

QTEST_GUILESS_MAIN(TestLiveSnapshot)
#include "tst_live_snapshot.moc"
