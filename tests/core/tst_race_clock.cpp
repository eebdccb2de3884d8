#include "app/penalty_points.h"
#include "fake_clock_parts.h"

#include <QtTest>

#include <clocale>

using Row = ClockDisplay::Row;

class TestRaceClock : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void penaltyPoints_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("deviation");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("perStep");
        QTest::addColumn<QString>("german");
        QTest::addColumn<QString>("english");
        QTest::newRow("defaults, 1 ms over gives one started step") << 45001 << 45 << 100 << 100 << "0,1" << "0.1";
        QTest::newRow("defaults, one full second over") << 46000 << 45 << 100 << 100 << "1" << "1";
        QTest::newRow("defaults, 1.05 s over") << 46050 << 45 << 100 << 100 << "1,1" << "1.1";
        QTest::newRow("whole-second steps give 20 points") << 21500 << 20 << 1000 << 10000 << "20" << "20";
        QTest::newRow("2500 ms steps round k to 2") << 24500 << 20 << 2500 << 1000 << "3" << "3";
        QTest::newRow("3500 ms steps round k to 4") << 28500 << 20 << 3500 << 1000 << "2" << "2";
        QTest::newRow("half points per step") << 45150 << 45 << 100 << 500 << "1" << "1";
        QTest::newRow("step 0 counts as 100 ms") << 45001 << 45 << 0 << 100 << "0,1" << "0.1";
        QTest::newRow("negative step counts as 100 ms") << 45001 << 45 << -5 << 100 << "0,1" << "0.1";
    }
    void penaltyPoints()
    {
        QFETCH(int, x);
        QFETCH(int, deviation);
        QFETCH(int, step);
        QFETCH(int, perStep);
        QFETCH(QString, german);
        QFETCH(QString, english);
        const long double p = ::penaltyPoints(x, deviation, step, perStep);
        QCOMPARE(penaltyPointsText(p, QLocale(QLocale::German, QLocale::Germany)), german);
        QCOMPARE(penaltyPointsText(p, QLocale(QLocale::English, QLocale::UnitedStates)), english);
    }

    // The text never takes the separator from the C library's locale (which the
    // application object sets from the environment), only from the locale given.
    void penaltyTextIgnoresTheCLibraryLocale_data()
    {
        QTest::addColumn<QByteArray>("cLocale");
        QTest::addColumn<bool>("german");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("perStep");
        QTest::addColumn<QString>("text");
        QTest::newRow("German C library, neutral text")
            << QByteArray("de_DE.UTF-8") << false << 45001 << 100 << "0.1";
        QTest::newRow("neutral C library, German text")
            << QByteArray("C.UTF-8") << true << 45001 << 100 << "0,1";
        QTest::newRow("German both") << QByteArray("de_DE.UTF-8") << true << 45001 << 100 << "0,1";
        QTest::newRow("German C library, whole points")
            << QByteArray("de_DE.UTF-8") << false << 46000 << 100 << "1";
        // 0.15 in extended precision lies just above the tie: one decimal gives 0.2.
        QTest::newRow("extended value kept, not rounded through double")
            << QByteArray("de_DE.UTF-8") << false << 45001 << 150 << "0.2";
    }
    void penaltyTextIgnoresTheCLibraryLocale()
    {
        QFETCH(QByteArray, cLocale);
        QFETCH(bool, german);
        QFETCH(int, x);
        QFETCH(int, perStep);
        QFETCH(QString, text);
        const QByteArray saved = std::setlocale(LC_NUMERIC, nullptr);
        if (!std::setlocale(LC_NUMERIC, cLocale.constData()))
            QSKIP("locale not generated on this machine");
        const QString got =
            penaltyPointsText(::penaltyPoints(x, 45, 100, perStep),
                              german ? QLocale(QLocale::German, QLocale::Germany) : QLocale::c());
        std::setlocale(LC_NUMERIC, saved.constData());
        QCOMPARE(got, text);
    }

    void roundsTiesToEven_data()
    {
        QTest::addColumn<double>("v");
        QTest::addColumn<qint64>("r");
        QTest::newRow("2.5 -> 2") << 2.5 << qint64(2);
        QTest::newRow("3.5 -> 4") << 3.5 << qint64(4);
        QTest::newRow("-0.5 -> 0") << -0.5 << qint64(0);
        QTest::newRow("2.6 -> 3") << 2.6 << qint64(3);
    }
    void roundsTiesToEven()
    {
        QFETCH(double, v);
        QFETCH(qint64, r);
        QCOMPARE(roundHalfEvenInt(v), r);
    }

    // Phase 2 against its limit: ELZ1 seconds longer than phase 1 gives none, 1 ms more gives points.
    void phaseTwoLimit_data()
    {
        QTest::addColumn<int>("phaseTwo");
        QTest::addColumn<bool>("penalty");
        QTest::addColumn<QString>("text");
        QTest::newRow("exactly the deviation") << 105000 << false << "0";
        QTest::newRow("1 ms over the deviation") << 105001 << true << "0,1";
        QTest::newRow("phase 2 much faster") << 1000 << false << "0";
    }
    void phaseTwoLimit()
    {
        QFETCH(int, phaseTwo);
        QFETCH(bool, penalty);
        QFETCH(QString, text);
        SequenceRig rig;
        RunState& st = rig.clock.state();
        st.CurrentPhase = 2;
        st.PhaseOneTime = 60000;
        st.ColourState = 3;
        st.RowColours[1] = {rgb(64, 64, 64), rgb(0, 255, 0)};
        rig.clock.ShowTime(2, phaseTwo);
        QCOMPARE(rig.penaltyText, text);
        QCOMPARE(st.ColourState == 4, penalty);
        QCOMPARE(st.RowColours[1].lit == rgb(255, 0, 0), penalty);
    }

    void startupDisplayColours()
    {
        SequenceRig rig;
        rig.clock.startupDisplay();
        const auto& r1 = rig.display.digits[int(Row::Main1)];
        const auto& r2 = rig.display.digits[int(Row::Main2)];
        // Row 1 shows the 6.0 s countdown, seconds and hundredths lit in the timer colour.
        QCOMPARE(rig.display.text(Row::Main1), QStringLiteral("00:06,00"));
        QCOMPARE(r1[3].on, rgb(64, 64, 64));
        QCOMPARE(r1[4].on, rgb(64, 64, 64));
        QCOMPARE(r1[5].on, rgb(64, 64, 64));
        QCOMPARE(r1[6].on, rgb(255, 255, 0));
        QCOMPARE(r1[8].on, rgb(255, 255, 0));
        // A zero time on row 2 is entirely dim.
        QCOMPARE(rig.display.text(Row::Main2), QStringLiteral("00:00,00"));
        for (int d = 3; d <= 8; ++d)
            QCOMPARE(r2[d].on, rgb(64, 64, 64));
        QCOMPARE(rig.display.labels.value(ClockDisplay::Label::LabSec2), rgb(64, 64, 64));
    }

    void leadingZeroDimming_data()
    {
        QTest::addColumn<int>("ms");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("litMask"); // digits 3..5 lit (L) or dim (d)
        QTest::newRow("9 s") << 9000 << "00:09,00" << "ddd";
        QTest::newRow("12 s") << 12000 << "00:12,00" << "ddL";
        QTest::newRow("1 min 5 s") << 65000 << "01:05,00" << "dLL";
        QTest::newRow("12 min") << 720000 << "12:00,00" << "LLL";
        QTest::newRow("wraps at 60 minutes") << 3600000 + 61000 << "01:01,00" << "dLL";
    }
    void leadingZeroDimming()
    {
        QFETCH(int, ms);
        QFETCH(QString, text);
        QFETCH(QString, litMask);
        SequenceRig rig;
        rig.clock.settings().timer = 0;
        rig.clock.startupDisplay();
        rig.seq.mStartClick();
        rig.tickAt(rig.ticks.now() + ms);
        QCOMPARE(rig.display.text(Row::Main1), text);
        for (int i = 0; i < 3; ++i) {
            const Rgb c = rig.display.digits[int(Row::Main1)][3 + i].on;
            QCOMPARE(c == rgb(0, 255, 0), litMask[i] == QLatin1Char('L'));
        }
    }

    // Countdown lengths from a settings file edited by hand: the idle display shows them and
    // never starts a run by itself (a length beyond 32 bits of ms used to wrap into a countdown
    // that had already run out).
    void countdownOfAnyLength_data()
    {
        QTest::addColumn<int>("timer");
        QTest::addColumn<int>("lengthMs");
        QTest::addColumn<QString>("text");
        QTest::newRow("the default 6 s") << 60 << 6000 << "00:06,00";
        QTest::newRow("one tenth") << 1 << 100 << "00:00,10";
        QTest::newRow("largest length within 32 bits")
            << 21474836 << 2147483600 << "31:23,60"; // 596 h 31 min 23.6 s; hours are not shown
        QTest::newRow("one tenth beyond 32 bits") << 21474837 << INT_MAX << "31:23,64";
        QTest::newRow("largest int") << INT_MAX << INT_MAX << "31:23,64";
    }
    void countdownOfAnyLength()
    {
        QFETCH(int, timer);
        QFETCH(int, lengthMs);
        QFETCH(QString, text);
        SequenceRig rig;
        rig.clock.settings().timer = timer;
        QCOMPARE(countdownLengthMs(rig.clock.settings()), lengthMs);
        rig.clock.startupDisplay();
        QVERIFY(!rig.clock.running());
        QCOMPARE(rig.display.text(Row::Main1), text);
    }

    void allowedDeviationOfAnyLength_data()
    {
        QTest::addColumn<int>("elz1");
        QTest::addColumn<int>("ms");
        QTest::newRow("default 45 s") << 45 << 45000;
        QTest::newRow("largest within 32 bits") << 2147483 << 2147483000;
        QTest::newRow("one beyond") << 2147484 << INT_MAX;
        QTest::newRow("largest int") << INT_MAX << INT_MAX;
        QTest::newRow("smallest int") << INT_MIN << INT_MIN;
    }
    void allowedDeviationOfAnyLength()
    {
        QFETCH(int, elz1);
        QFETCH(int, ms);
        RaceSettings s;
        s.elz1 = elz1;
        QCOMPARE(allowedDeviationMs(s), ms);
    }

    void monitorShowsWholeHundredthsOnlyWhenStopped()
    {
        SequenceRig rig;
        rig.display.monitor = true;
        rig.clock.settings().timer = 0;
        rig.clock.settings().phases = 1;
        rig.clock.startupDisplay();
        rig.seq.mStartClick();
        rig.tickAt(rig.ticks.now() + 12345);
        QCOMPARE(rig.display.text(Row::Monitor), QStringLiteral("00:12,00"));
        QCOMPARE(rig.display.text(Row::Main1), QStringLiteral("00:12,34"));
        rig.ticks.advance(10);
        rig.seq.mStopClick();
        QCOMPARE(rig.display.text(Row::Monitor), QStringLiteral("00:12,35"));
    }
};

QTEST_GUILESS_MAIN(TestRaceClock)
#include "tst_race_clock.moc"
