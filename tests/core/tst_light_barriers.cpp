#include "barriers/light_barriers.h"

#include <QSignalSpy>
#include <QtTest>

namespace {
// A run sequence reduced to what the barriers see: START enabled while ready, STOPP while a
// phase runs; a two-phase run goes from phase 1 to phase 2 on STOPP.
class FakeRun final : public BarrierCommands {
public:
    bool startEnabled() const override { return m_phase == 0 && !m_stopped; }
    bool stopEnabled() const override { return m_phase > 0; }
    int currentPhase() const override { return m_phase; }
    void invokeStart() override
    {
        commands << QStringLiteral("START");
        m_phase = 1;
    }
    void invokeStop() override
    {
        commands << QStringLiteral("STOPP");
        if (m_phase == 1 && twoPhase) {
            m_phase = 2;
        } else {
            m_phase = 0;
            m_stopped = true;
        }
    }
    void reset()
    {
        m_phase = 0;
        m_stopped = false;
    }

    bool twoPhase = true;
    QStringList commands;

private:
    int m_phase = 0;
    bool m_stopped = false;
};

// "port:line:mode" per barrier, comma-separated.
void configure(LightBarriers& b, const QString& configs)
{
    const QStringList parts = configs.split(QLatin1Char(','));
    for (int i = 0; i < parts.size() && i < 3; ++i) {
        const QStringList f = parts[i].split(QLatin1Char(':'));
        b.setConfig(i + 1, BarrierConfig{quint8(f[0].toInt()), quint8(f[1].toInt()), f[2].toInt()});
    }
}

// Script words: a hex number is a status event of port 1 ("@2:10" one of port 2), "u" ends
// the lock-out, "aN"/"dN" arm/disarm barrier N, "cN" clicks indicator N, "n" is NÄCHSTER
// (the run starts over too), "oXX" opens port 1 with status XX, "o" without a status (as the
// settings' apply step does), "x" closes port 1, "k" sets barrier 1's configuration again.
void play(LightBarriers& b, FakeRun& run, const QString& script)
{
    const QStringList words = script.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& w : words) {
        if (w == QLatin1String("u")) {
            b.TimerGesperrtTimer();
        } else if (w == QLatin1String("n")) {
            b.resetForNext();
            run.reset();
        } else if (w.startsWith(QLatin1Char('a'))) {
            b.SetBarrierArmed(w.mid(1).toInt(), true);
        } else if (w.startsWith(QLatin1Char('d'))) {
            b.SetBarrierArmed(w.mid(1).toInt(), false);
        } else if (w.startsWith(QLatin1Char('c'))) {
            b.ImageLSClick(w.mid(1).toInt());
        } else if (w == QLatin1String("o")) {
            b.ComPortOpen(1);
        } else if (w.startsWith(QLatin1Char('o'))) {
            b.ComPortOpen(1, w.mid(1).toUInt(nullptr, 16));
        } else if (w == QLatin1String("x")) {
            b.ComPortClose(1);
        } else if (w == QLatin1String("k")) {
            b.setConfig(1, b.config(1));
        } else if (w.startsWith(QLatin1Char('@'))) {
            b.ComPortDSR(quint8(w.mid(1, 1).toInt()), w.mid(3).toUInt(nullptr, 16));
        } else {
            b.ComPortDSR(1, w.toUInt(nullptr, 16));
        }
    }
}
} // namespace

class TestLightBarriers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void barrierSignals_data()
    {
        QTest::addColumn<QString>("configs");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("commands");
        QTest::addColumn<int>("listed");
        QTest::addColumn<int>("count1");

        const QString ctsOnly = QStringLiteral("1:1:0,0:0:0,0:0:0");
        QTest::newRow("contact starts the run once") << ctsOnly << "a1 10" << QStringList{"START"} << 1 << 1;
        QTest::newRow("line staying active gives no second signal")
            << ctsOnly << "a1 10 u 10 10" << QStringList{"START"} << 1 << 1;
        QTest::newRow("drop and rise within the lock-out is only listed")
            << ctsOnly << "a1 10 00 10" << QStringList{"START"} << 2 << 1;
        QTest::newRow("other line changing while active is a new signal")
            << ctsOnly << "a1 10 u 30" << QStringList{"START"} << 2 << 1;
        QTest::newRow("disarmed indicator: listed, not counted")
            << ctsOnly << "10" << QStringList{} << 1 << 0;
        QTest::newRow("start signal while timing does not count")
            << ctsOnly << "a1 10 00 u 10" << QStringList{"START"} << 2 << 1;
        QTest::newRow("barrier on a different port never signals")
            << "1:1:0,2:0:0,0:0:0"
            << "a1 a2 10 00 u 20" << QStringList{"START"} << 1 << 1;
        QTest::newRow("lower-numbered barrier wins") << "1:0:0,1:1:0,0:0:0"
                                                     << "a1 a2 30" << QStringList{"START"} << 1 << 1;
        QTest::newRow("stop barrier before START does not count") << "1:1:0,1:0:0,0:0:0"
                                                                  << "a2 20" << QStringList{} << 1 << 0;
        QTest::newRow("one contact as barriers 1 and 2")
            << "1:1:0,1:1:0,0:0:0"
            << "a1 10 00 u a2 10" << QStringList{"START", "STOPP"} << 2 << 2;
        QTest::newRow("one contact as barriers 1, 2 and 3")
            << "1:1:0,1:1:0,1:1:0"
            << "a1 10 00 u a2 10 00 u a3 10" << QStringList{"START", "STOPP", "STOPP"} << 3 << 3;
        QTest::newRow("one contact as 1 and 3: second signal in phase 1 does not count")
            << "1:1:0,0:0:0,1:1:0"
            << "a1 10 00 u a3 10" << QStringList{"START"} << 2 << 1;
        QTest::newRow("NÄCHSTER makes the next contact fresh")
            << ctsOnly << "a1 10 n u a1 10" << QStringList{"START", "START"} << 1 << 1;
        QTest::newRow("without NÄCHSTER the remembered line holds")
            << ctsOnly << "a1 10 u c1 10" << QStringList{"START"} << 1 << 1;
        QTest::newRow("line outside 0..2 never matches") << "1:3:0,0:0:0,0:0:0"
                                                         << "a1 ff" << QStringList{} << 0 << 0;
        QTest::newRow("mode 1 signals when the line drops") << "1:1:1,0:0:0,0:0:0"
                                                            << "a1 10 00" << QStringList{"START"} << 1 << 1;
        QTest::newRow("mode 1 ignores the rising line") << "1:1:1,0:0:0,0:0:0"
                                                        << "a1 10" << QStringList{} << 0 << 0;
        QTest::newRow("mode 1 needs a known level before the drop") << "1:1:1,0:0:0,0:0:0"
                                                                    << "a1 00" << QStringList{} << 0 << 0;
        QTest::newRow("mode 1 level known from the port's opening")
            << "1:1:1,0:0:0,0:0:0"
            << "o10 a1 00" << QStringList{"START"} << 1 << 1;
        QTest::newRow("mode 1 drop on another line's event counts once")
            << "1:1:1,0:0:0,0:0:0"
            << "a1 30 20 00" << QStringList{"START"} << 1 << 1;
        QTest::newRow("mode 1 line active does not hide a mode 0 barrier")
            << "1:1:1,1:0:0,0:0:0"
            << "a1 10 00 u a2 30" << QStringList{"START", "STOPP"} << 2 << 1;
        // The start level read at opening stays the reference through the apply step of the
        // settings, which sets the same configuration again and reports the opening once more.
        QTest::newRow("mode 1 start level survives the same configuration set again")
            << "1:1:1,0:0:0,0:0:0"
            << "o10 k o a1 00" << QStringList{"START"} << 1 << 1;
        QTest::newRow("mode 1 start level read again after close and reopen")
            << "1:1:1,0:0:0,0:0:0"
            << "o00 x o10 k o a1 00" << QStringList{"START"} << 1 << 1;
        QTest::newRow("mode 1 first drop after reopening with the line idle-inactive gives nothing")
            << "1:1:1,0:0:0,0:0:0"
            << "o10 x o00 k o a1 00" << QStringList{} << 0 << 0;
        QTest::newRow("mode 1 contact as barriers 1 and 2")
            << "1:1:1,1:1:1,0:0:0"
            << "a1 10 00 u a2 10 00" << QStringList{"START", "STOPP"} << 2 << 2;
    }
    void barrierSignals()
    {
        QFETCH(QString, configs);
        QFETCH(QString, script);
        QFETCH(QStringList, commands);
        QFETCH(int, listed);
        QFETCH(int, count1);
        LightBarriers b;
        FakeRun run;
        b.setCommands(&run);
        b.setWallClock([] { return QTime(10, 0); });
        configure(b, configs);
        b.EnableBarrierIndicators();
        b.ComPortOpen(1);
        play(b, run, script);
        QCOMPARE(run.commands, commands);
        QCOMPARE(b.reserveList().size(), listed);
        QCOMPARE(b.signalCount(1), count1);
    }

    void everySignalStartsTheLockout()
    {
        LightBarriers b;
        FakeRun run;
        b.setCommands(&run);
        configure(b, QStringLiteral("1:1:0,0:0:0,0:0:0"));
        b.EnableBarrierIndicators();
        b.ComPortOpen(1);
        QVERIFY(!b.lockoutRunning());
        b.ComPortDSR(1, 0x10); // disarmed: no command, still locked out
        QVERIFY(b.lockoutRunning());
        QCOMPARE(b.signalCount(1), 0);
        QCOMPARE(b.lineMemory(1), 0x10u);
        b.ComPortDSR(1, 0x00); // nothing active: every remembered line forgotten
        QCOMPARE(b.lineMemory(1), LightBarriers::LineMemoryReset);
        b.TimerGesperrtTimer();
        QVERIFY(!b.lockoutRunning());
    }

    void listEntryText_data()
    {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("text");
        QTest::newRow("afternoon") << QTime(14, 3, 27, 459) << "14:03.27,45";
        QTest::newRow("hour keeps no leading zero") << QTime(9, 5, 7, 34) << "9:05.07,03";
        QTest::newRow("midnight") << QTime(0, 0, 0, 0) << "0:00.00,00";
        QTest::newRow("last hundredth of the day") << QTime(23, 59, 59, 999) << "23:59.59,99";
    }
    void listEntryText()
    {
        QFETCH(QTime, time);
        QFETCH(QString, text);
        QCOMPARE(LightBarriers::signalTimeText(time), text);
    }

    void listEntryAndReset()
    {
        LightBarriers b;
        b.setWallClock([] { return QTime(14, 3, 27, 459); });
        configure(b, QStringLiteral("1:1:0,1:0:0,0:0:0"));
        QSignalSpy spy(&b, &LightBarriers::reserveListChanged);
        b.ComPortDSR(1, 0x10);
        b.ComPortDSR(1, 0x00);
        b.ComPortDSR(1, 0x20);
        QCOMPARE(b.reserveList(), (QStringList{"1. 14:03.27,45", "2. 14:03.27,45"}));
        QCOMPARE(b.reserveSelected(), 1);
        QVERIFY(b.reserveEnabled());
        QCOMPARE(spy.last().at(1).toInt(), 1);
        b.resetForNext();
        QVERIFY(b.reserveList().isEmpty());
        QVERIFY(!b.reserveEnabled());
        QCOMPARE(spy.last().at(0).toStringList(), QStringList{});
        QCOMPARE(spy.last().at(2).toBool(), false);
        QCOMPARE(b.lineMemory(2), LightBarriers::LineMemoryReset);
    }

    void indicators_data()
    {
        QTest::addColumn<int>("port1");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QList<int>>("indices");
        // Barriers on port 1 except barrier 3 on port 2 where port1 is nonzero.
        QTest::newRow("all closed at start") << 1 << "" << QList<int>{0, 4, 8};
        QTest::newRow("opening disarms the barriers of that port") << 1 << "open" << QList<int>{1, 5, 8};
        QTest::newRow("click on a closed indicator changes nothing") << 1 << "c1 c3" << QList<int>{0, 4, 8};
        QTest::newRow("click arms a disarmed one") << 1 << "open c1" << QList<int>{2, 5, 8};
        QTest::newRow("second click disarms it again") << 1 << "open c1 c1" << QList<int>{1, 5, 8};
        QTest::newRow("arming works on an enabled indicator of the open port")
            << 1 << "open a1 a2 d3" << QList<int>{2, 6, 8};
        QTest::newRow("port that failed to open: arming shows closed") << 1 << "a1 a2" << QList<int>{0, 4, 8};
        QTest::newRow("closing shows closed") << 1 << "open a2 close" << QList<int>{0, 4, 8};
        QTest::newRow("no start port: arming shows closed") << 0 << "a1 a2 a3" << QList<int>{0, 4, 8};
        QTest::newRow("lost port shows the lost picture") << 1 << "open a1 lost" << QList<int>{3, 7, 8};
        QTest::newRow("armed before the loss is armed again when back")
            << 1 << "open a1 lost back" << QList<int>{2, 5, 8};
        QTest::newRow("arming while lost is kept and shown when back")
            << 1 << "open lost a1 a2" << QList<int>{3, 7, 8};
        QTest::newRow("arming while lost is shown when back")
            << 1 << "open lost a1 a2 back" << QList<int>{2, 6, 8};
        QTest::newRow("disarmed while lost stays disarmed when back")
            << 1 << "open a1 lost d1 back" << QList<int>{1, 5, 8};
        QTest::newRow("click on a lost indicator changes nothing")
            << 1 << "open lost c1" << QList<int>{3, 7, 8};
        QTest::newRow("closing a lost port shows closed") << 1 << "open a1 lost close" << QList<int>{0, 4, 8};
        QTest::newRow("port missing at opening: armed as asked once it appears")
            << 1 << "a1 back" << QList<int>{2, 5, 8};
        QTest::newRow("closed since the last arming: disarmed when it appears")
            << 1 << "open a1 close back" << QList<int>{1, 5, 8};
    }
    void indicators()
    {
        QFETCH(int, port1);
        QFETCH(QString, script);
        QFETCH(QList<int>, indices);
        LightBarriers b;
        b.setConfig(1, {quint8(port1), 1, 0});
        b.setConfig(2, {quint8(port1), 0, 0});
        b.setConfig(3, {2, 2, 0});
        b.EnableBarrierIndicators();
        QCOMPARE(b.indicatorEnabled(3), port1 != 0);
        for (const QString& w : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (w == QLatin1String("open"))
                b.ComPortOpen(1);
            else if (w == QLatin1String("close"))
                b.ComPortClose(1);
            else if (w == QLatin1String("lost"))
                b.ComPortLost(1);
            else if (w == QLatin1String("back"))
                b.ComPortReconnected(1, 0);
            else if (w.startsWith(QLatin1Char('c')))
                b.ImageLSClick(w.mid(1).toInt());
            else
                b.SetBarrierArmed(w.mid(1).toInt(), w.startsWith(QLatin1Char('a')));
        }
        QCOMPARE((QList<int>{b.indicatorIndex(1), b.indicatorIndex(2), b.indicatorIndex(3)}), indices);
    }

    void signalLogTellsWhatEachSignalDid()
    {
        LightBarriers b;
        FakeRun run;
        run.twoPhase = false;
        b.setCommands(&run);
        b.setWallClock([] { return QTime(9, 5, 7, 34); });
        quint32 tick = 0xFFFFFFF0u; // the log shows the tick as it is, also across the wrap
        b.setTickClock([&tick] { return tick += 8; });
        configure(b, QStringLiteral("1:1:0,1:0:0,0:0:0"));
        b.EnableBarrierIndicators();
        b.ComPortOpen(1);
        QSignalSpy changed(&b, &LightBarriers::signalLogChanged);
        // not armed; START; locked out; armed start barrier while timing; stop barrier; STOPP
        play(b, run, QStringLiteral("10 u 00 a1 10 00 10 u 00 a1 10 u 00 20 u 00 a2 20"));
        QCOMPARE(b.signalLogTexts(),
                 (QStringList{"9:05.07,03  Tick 4294967288  LS Start: nicht frei",
                              "9:05.07,03  Tick 0  LS Start: START", "9:05.07,03  Tick 8  LS Start: gesperrt",
                              "9:05.07,03  Tick 16  LS Start: ohne Wirkung",
                              "9:05.07,03  Tick 24  LS Stopp: nicht frei",
                              "9:05.07,03  Tick 32  LS Stopp: STOPP"}));
        QCOMPARE(changed.count(), 6);
        QCOMPARE(run.commands, (QStringList{"START", "STOPP"}));
    }

    void signalLogKeepsTheLastFiftyAcrossNaechster()
    {
        LightBarriers b;
        quint32 tick = 0;
        b.setTickClock([&tick] { return ++tick; });
        configure(b, QStringLiteral("1:1:0,0:0:0,0:0:0"));
        for (int i = 0; i < 51; ++i) {
            b.ComPortDSR(1, 0x10);
            b.ComPortDSR(1, 0x00);
            b.TimerGesperrtTimer();
        }
        const QVector<LightBarriers::SignalRecord> log = b.signalLog();
        QCOMPARE(log.size(), LightBarriers::SignalLogSize);
        QCOMPARE(log.first().tick, 2u); // the first of 51 went
        QCOMPARE(log.last().tick, 51u);
        b.resetForNext();
        QVERIFY(b.reserveList().isEmpty());
        QCOMPARE(b.signalLog().size(), LightBarriers::SignalLogSize);
    }

    void signalLogText_data()
    {
        QTest::addColumn<int>("barrier");
        QTest::addColumn<uint>("tick");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("text");
        using O = LightBarriers::Outcome;
        QTest::newRow("start barrier, tick 0")
            << 1 << 0u << int(O::Started) << "0:00.00,00  Tick 0  LS Start: START";
        QTest::newRow("finish barrier, last tick")
            << 3 << 4294967295u << int(O::Stopped) << "0:00.00,00  Tick 4294967295  LS Ziel: STOPP";
        QTest::newRow("stop barrier locked out")
            << 2 << 10u << int(O::LockedOut) << "0:00.00,00  Tick 10  LS Stopp: gesperrt";
    }
    void signalLogText()
    {
        QFETCH(int, barrier);
        QFETCH(uint, tick);
        QFETCH(int, outcome);
        QFETCH(QString, text);
        LightBarriers::SignalRecord r;
        r.barrier = barrier;
        r.time = QTime(0, 0);
        r.tick = tick;
        r.outcome = LightBarriers::Outcome(outcome);
        QCOMPARE(LightBarriers::signalLogText(r), text);
    }

    void indicatorSignalCarriesIndexAndEnabled()
    {
        LightBarriers b;
        b.setConfig(1, {4, 1, 0});
        b.setConfig(3, {4, 0, 0});
        QSignalSpy spy(&b, &LightBarriers::indicatorChanged);
        b.EnableBarrierIndicators();
        QCOMPARE(spy.count(), 3);
        b.ComPortOpen(4);
        QCOMPARE(spy.last(), (QList<QVariant>{3, 9, true}));
        b.SetBarrierArmed(3, true);
        QCOMPARE(spy.last(), (QList<QVariant>{3, 10, true}));
    }
};

QTEST_GUILESS_MAIN(TestLightBarriers)
#include "tst_light_barriers.moc"
