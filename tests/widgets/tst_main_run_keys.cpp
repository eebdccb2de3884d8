#include "app/FMain.h"
#include "barriers/light_barriers.h"
#include "displays/Udigit.h"
#include "fake_clock_parts.h"
#include "key_hold.h"
#include "main_window_rig.h"
#include "results/results_table.h"
#include "test_deps.h"
#include "widgets/CommandButton.h"

#include "dialogs/DlgYesNo.h"
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QToolButton>
#include <QtTest>

namespace {
QString rowText(const TFormMain& w, const QString& suffix)
{
    QString t;
    for (int d = 3; d <= 8; ++d) {
        t += QString::number(w.control<TDigit>(QStringLiteral("Digit%1%2").arg(d).arg(suffix))->value());
        if (d == 4)
            t += QLatin1Char(':');
        if (d == 6)
            t += QLatin1Char(',');
    }
    return t;
}
// The run state as the operator sees it on the command buttons and the clock.
QString shownState(TFormMain& w)
{
    const auto enabled = [&](const char* name) {
        return w.control<CommandButton>(QString::fromLatin1(name))->isEnabled();
    };
    const auto* stop = w.control<CommandButton>(QStringLiteral("bSTOP"));
    const bool running = w.clock().running();
    if (enabled("bSTART")) {
        if (running)
            return QStringLiteral("CountdownRunning");
        const bool paused =
            w.control<CommandButton>(QStringLiteral("bTimer"))->textColour() == QColor(255, 0, 0);
        return paused ? QStringLiteral("CountdownPaused") : QStringLiteral("Ready");
    }
    if (enabled("bSTOP"))
        return stop->text() == QLatin1String("STOPP2") ? QStringLiteral("RunningPhase2")
                                                       : QStringLiteral("RunningPhase1");
    if (enabled("bEINTRAGEN"))
        return QStringLiteral("Stopped");
    if (enabled("bRESET"))
        return QStringLiteral("Entered");
    return QStringLiteral("?");
}

// The keys that lead from Ready to the named state in a two-phase run.
QList<Qt::Key> keysTo(const QString& state)
{
    if (state == QLatin1String("RunningPhase1"))
        return {Qt::Key_F5};
    if (state == QLatin1String("Stopped"))
        return {Qt::Key_F5, Qt::Key_F9, Qt::Key_F9};
    if (state == QLatin1String("Entered"))
        return {Qt::Key_F5, Qt::Key_F9, Qt::Key_F9, Qt::Key_F10};
    return {};
}

// Rows of the results table that hold a run time.
int timedRows(const ResultsTable& t)
{
    int n = 0;
    for (int r = 1; r < t.rowCount(); ++r)
        n += t.cell(ResultsTable::Zeit2, r).trimmed().isEmpty() ? 0 : 1;
    return n;
}
} // namespace

class TestMainRunKeys : public QObject {
    Q_OBJECT
    IsolatedSettings m_settings;

private Q_SLOTS:
    void init()
    {
        clearStoredSettings();
        // A complete stored set, so that a single stored value below is read.
        MainRig rig;
        rig.make(false, false);
    }

    // F5, F9 held down (its repeats must not end phase 2), F9, Return on EINTRAGEN,
    // Return on NÄCHSTER: a whole two-phase run by keys.
    void twoPhaseRunByKeys()
    {
        FakeTickSource ticks(50000);
        FakeGong gong;
        TFormMain w(testDeps(&ticks, &gong));
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto* start = w.control<CommandButton>(QStringLiteral("bSTART"));
        auto* stop = w.control<CommandButton>(QStringLiteral("bSTOP"));
        auto* enter = w.control<CommandButton>(QStringLiteral("bEINTRAGEN"));
        auto* next = w.control<CommandButton>(QStringLiteral("bRESET"));
        QCOMPARE(rowText(w, QString()), QStringLiteral("00:06,00"));

        QTest::keyClick(&w, Qt::Key_F5);
        QVERIFY(w.clock().running());
        QVERIFY(!start->isEnabled());
        QVERIFY(stop->isEnabled());
        QCOMPARE(stop->face(), QColor(255, 0, 0));
        ticks.advance(61230);
        w.clock().ClockTimer();
        QCOMPARE(rowText(w, QString()), QStringLiteral("01:01,23"));

        // Held for well over a second: phase 1 ends at the press, the repeats do nothing.
        holdKey(
            &w, Qt::Key_F9, Qt::NoModifier, 20, [&](int ms) { ticks.advance(quint32(ms)); },
            RepeatStyle::X11Pairs);
        QCOMPARE(stop->text(), QStringLiteral("STOPP2"));
        QVERIFY(w.clock().running());
        QCOMPARE(shownState(w), QStringLiteral("RunningPhase2"));
        QCOMPARE(rowText(w, QString()), QStringLiteral("01:01,23"));
        ticks.advance(5670 - (500 + 19 * 33));
        w.clock().ClockTimer();
        QCOMPARE(rowText(w, QStringLiteral("a")), QStringLiteral("00:05,67"));

        QTest::keyClick(&w, Qt::Key_F9);
        QVERIFY(!w.clock().running());
        QVERIFY(!stop->isEnabled());
        QVERIFY(enter->isEnabled());
        QCOMPARE(enter->face(), QColor(0, 128, 255));
        QVERIFY(enter->hasFocus());

        QTest::keyClick(keyTarget(&w), Qt::Key_Return);
        QVERIFY(!enter->isEnabled());
        QCOMPARE(w.resultsTable().cell(ResultsTable::Zeit1, 1), QStringLiteral("1:01,23"));
        QCOMPARE(w.resultsTable().cell(ResultsTable::Zeit2, 1), QStringLiteral("5,67"));
        QVERIFY(next->isEnabled());
        QVERIFY(next->hasFocus());

        QTest::keyClick(keyTarget(&w), Qt::Key_Return);
        QVERIFY(start->isEnabled());
        QVERIFY(!next->isEnabled());
        QCOMPARE(stop->text(), QStringLiteral("STOPP1"));
        QCOMPARE(rowText(w, QString()), QStringLiteral("00:06,00"));
        QCOMPARE(rowText(w, QStringLiteral("a")), QStringLiteral("00:00,00"));
        QCOMPARE(shownState(w), QStringLiteral("Ready"));
    }

    // A key held past the repeat delay runs its run command once; Alt+P keeps counting.
    void heldKeysRunTheirCommandOnce_data()
    {
        QTest::addColumn<QString>("from"); // the run state reached by keys first
        QTest::addColumn<bool>("timer");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("mods");
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("points");
        const int alt = int(Qt::AltModifier);
        const int flagged = int(RepeatStyle::Flagged), pairs = int(RepeatStyle::X11Pairs),
                  presses = int(RepeatStyle::PressesOnly);
        QTest::newRow("F4 starts the countdown, no pause")
            << "Ready" << true << int(Qt::Key_F4) << 0 << pairs << "CountdownRunning"
            << "0";
        QTest::newRow("F5 starts once")
            << "Ready" << true << int(Qt::Key_F5) << 0 << flagged << "RunningPhase1"
            << "0";
        QTest::newRow("F9 ends phase 1 only, flagged repeats")
            << "RunningPhase1" << true << int(Qt::Key_F9) << 0 << flagged << "RunningPhase2"
            << "0";
        QTest::newRow("F9 ends phase 1 only, X11 release and press pairs")
            << "RunningPhase1" << true << int(Qt::Key_F9) << 0 << pairs << "RunningPhase2"
            << "0";
        QTest::newRow("F9 ends phase 1 only, presses without releases")
            << "RunningPhase1" << true << int(Qt::Key_F9) << 0 << presses << "RunningPhase2"
            << "0";
        QTest::newRow("F10 enters, no more")
            << "Stopped" << true << int(Qt::Key_F10) << 0 << pairs << "Entered"
            << "0";
        QTest::newRow("Alt+N prepares one competitor")
            << "Entered" << true << int(Qt::Key_N) << alt << pairs << "Ready"
            << "0";
        QTest::newRow("Return on EINTRAGEN does not go on to NÄCHSTER")
            << "Stopped" << true << int(Qt::Key_Return) << 0 << flagged << "Entered"
            << "0";
        QTest::newRow("Return on EINTRAGEN, X11 pairs")
            << "Stopped" << true << int(Qt::Key_Return) << 0 << pairs << "Entered"
            << "0";
        QTest::newRow("Return on NÄCHSTER does not start without TIMER")
            << "Entered" << false << int(Qt::Key_Return) << 0 << flagged << "Ready"
            << "0";
        QTest::newRow("Return on NÄCHSTER without TIMER, presses without releases")
            << "Entered" << false << int(Qt::Key_Return) << 0 << presses << "Ready"
            << "0";
        QTest::newRow("Alt+P repeats")
            << "RunningPhase1" << true << int(Qt::Key_P) << alt << pairs << "RunningPhase1"
            << "6";
    }
    void heldKeysRunTheirCommandOnce()
    {
        QFETCH(QString, from);
        QFETCH(bool, timer);
        QFETCH(int, key);
        QFETCH(int, mods);
        QFETCH(int, style);
        QFETCH(QString, state);
        QFETCH(QString, points);
        storeSetting("Timer", timer ? 60 : 0);
        MainRig rig(70000);
        auto w = rig.make(false);
        const auto step = [&](Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
            rig.ticks.advance(20000);
            QTest::keyClick(w.get(), k, m);
        };
        QCOMPARE(!w->control<CommandButton>(QStringLiteral("bTimer"))->isHidden(), timer);
        for (Qt::Key k : keysTo(from))
            step(k);
        QCOMPARE(shownState(*w), from);
        const int entered = timedRows(w->resultsTable());
        holdKey(
            w.get(), Qt::Key(key), Qt::KeyboardModifiers(mods), 5,
            [&](int ms) { rig.ticks.advance(quint32(ms)); }, RepeatStyle(style));
        QCOMPARE(shownState(*w), state);
        QCOMPARE(w->control<QLineEdit>(QStringLiteral("ePunkte1"))->text(), points);
        QCOMPARE(timedRows(w->resultsTable()), entered + (from == QLatin1String("Stopped") ? 1 : 0));
        if (state == QLatin1String("CountdownRunning"))
            QCOMPARE(rig.gong.played.size(), 1);
    }

    // F11 held down toggles the start barrier's arming once, not back and forth.
    void heldBarrierKeyTogglesOnce()
    {
        {
            MainRig rig;
            rig.make(false, false); // a complete stored set
        }
        storeSetting("Port1", 1 * 256 + 5);
        MainRig rig(1000, 5);
        auto w = rig.make(false);
        const int before = w->lightBarriers()->indicatorState(1);
        holdKey(
            w.get(), Qt::Key_F11, Qt::NoModifier, 5, [&](int ms) { rig.ticks.advance(quint32(ms)); },
            RepeatStyle::X11Pairs);
        const int held = w->lightBarriers()->indicatorState(1);
        QVERIFY(held != before);
        QTest::keyClick(w.get(), Qt::Key_F11);
        QCOMPARE(w->lightBarriers()->indicatorState(1), before);
    }

    // A second STOPP right after STOPP1 is a double click or a bouncing key.
    void quickSecondStoppKeepsPhaseTwo_data()
    {
        QTest::addColumn<bool>("doubleClick");
        QTest::addColumn<int>("after");
        QTest::addColumn<bool>("ends");
        QTest::newRow("double click on STOPP1") << true << 0 << false;
        QTest::newRow("F9 bouncing 120 ms later") << false << 120 << false;
        QTest::newRow("F9 299 ms later") << false << 299 << false;
        QTest::newRow("F9 300 ms later ends the run") << false << 300 << true;
    }
    void quickSecondStoppKeepsPhaseTwo()
    {
        QFETCH(bool, doubleClick);
        QFETCH(int, after);
        QFETCH(bool, ends);
        FakeTickSource ticks(1000);
        FakeGong gong;
        TFormMain w(testDeps(&ticks, &gong));
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto* stop = w.control<CommandButton>(QStringLiteral("bSTOP"));
        QTest::keyClick(&w, Qt::Key_F5);
        ticks.advance(42000);
        if (doubleClick) {
            // A double click arrives as press, release, double click, release.
            QTest::mouseClick(stop, Qt::LeftButton);
            QTest::mouseDClick(stop, Qt::LeftButton);
            QTest::mouseRelease(stop, Qt::LeftButton);
        } else {
            QTest::keyClick(&w, Qt::Key_F9);
            ticks.advance(quint32(after));
            QTest::keyClick(&w, Qt::Key_F9);
        }
        QCOMPARE(w.clock().running(), !ends);
        QCOMPARE(stop->isEnabled(), !ends);
        QCOMPARE(stop->text(), QStringLiteral("STOPP2"));
        QCOMPARE(w.clock().state().PhaseOneTime, 42000);
    }

    // Return and keypad Enter act on the focused START, EINTRAGEN or NÄCHSTER only.
    void returnActivatesTheFocusedButtonOnly_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("state");
        const int ret = int(Qt::Key_Return), enter = int(Qt::Key_Enter);
        QTest::newRow("Return on START") << "Ready"
                                         << "bSTART" << ret << "RunningPhase1";
        QTest::newRow("keypad Enter on START") << "Ready"
                                               << "bSTART" << enter << "RunningPhase1";
        QTest::newRow("Return on EINTRAGEN") << "Stopped"
                                             << "bEINTRAGEN" << ret << "Entered";
        QTest::newRow("keypad Enter on EINTRAGEN") << "Stopped"
                                                   << "bEINTRAGEN" << enter << "Entered";
        QTest::newRow("Return on NÄCHSTER") << "Entered"
                                            << "bRESET" << ret << "Ready";
        QTest::newRow("keypad Enter on NÄCHSTER") << "Entered"
                                                  << "bRESET" << enter << "Ready";
        QTest::newRow("Return on TIMER does nothing") << "Ready"
                                                      << "bTimer" << ret << "Ready";
        QTest::newRow("Return on STOPP does nothing") << "RunningPhase1"
                                                      << "bSTOP" << ret << "RunningPhase1";
        QTest::newRow("Return in the skill points does not enter") << "Stopped"
                                                                   << "ePunkte1" << ret << "Stopped";
        QTest::newRow("Return in the start number does not start") << "Ready"
                                                                   << "cbStNr" << ret << "Ready";
        QTest::newRow("Return on Absage does not enter") << "Ready"
                                                         << "bAbsage" << ret << "Ready";
    }
    void returnActivatesTheFocusedButtonOnly()
    {
        QFETCH(QString, from);
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(QString, state);
        FakeTickSource ticks(1000);
        FakeGong gong;
        TFormMain w(testDeps(&ticks, &gong));
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        for (Qt::Key k : keysTo(from)) {
            ticks.advance(10000);
            QTest::keyClick(&w, k);
        }
        w.control<QWidget>(focus)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(keyTarget(&w), Qt::Key(key),
                        key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        QCOMPARE(shownState(w), state);
    }

    // Clearing the protocol while a run is timed returns to Ready exactly: STOPP is
    // off with its plain face, F9 does nothing, and the next run is timed normally.
    void clearingTheProtocolMidRunReturnsToReady_data()
    {
        QTest::addColumn<QList<int>>("keys");
        QTest::newRow("countdown running") << QList<int>{Qt::Key_F4};
        QTest::newRow("phase 1") << QList<int>{Qt::Key_F5};
        QTest::newRow("phase 2") << QList<int>{Qt::Key_F5, Qt::Key_F9};
        QTest::newRow("stopped, not entered") << QList<int>{Qt::Key_F5, Qt::Key_F9, Qt::Key_F9};
    }
    void clearingTheProtocolMidRunReturnsToReady()
    {
        QFETCH(QList<int>, keys);
        MainRig rig(5000);
        auto w = rig.make();
        auto* stop = w->control<CommandButton>(QStringLiteral("bSTOP"));
        // One result, so that the protocol can be cleared.
        w->control<QComboBox>(QStringLiteral("cbStNr"))->setEditText(QStringLiteral("1"));
        QTest::mouseClick(w->control<CommandButton>(QStringLiteral("bAbsage")), Qt::LeftButton);
        QTest::keyClick(w.get(), Qt::Key_N, Qt::AltModifier);
        for (int k : keys) {
            rig.ticks.advance(30000);
            QTest::keyClick(w.get(), Qt::Key(k));
        }
        QVERIFY(shownState(*w) != QLatin1String("Ready"));

        w->yesNoDialog()->setNextAnswers({true});
        QTest::mouseClick(w->control<QToolButton>(QStringLiteral("sbCLS")), Qt::LeftButton);
        QCOMPARE(w->resultsTable().holdsResults(), false);
        QCOMPARE(shownState(*w), QStringLiteral("Ready"));
        QVERIFY(!w->clock().running());
        QVERIFY(!stop->isEnabled());
        QVERIFY(!w->menuAction(QStringLiteral("mStop"))->isEnabled());
        QCOMPARE(stop->face(), QColor());
        QCOMPARE(stop->text(), QStringLiteral("STOPP1"));
        QCOMPARE(rowText(*w, QString()), QStringLiteral("00:06,00"));
        QCOMPARE(rowText(*w, QStringLiteral("a")), QStringLiteral("00:00,00"));

        rig.ticks.advance(30000);
        QTest::keyClick(w.get(), Qt::Key_F9);
        QTest::keyClick(w.get(), Qt::Key_F10);
        QCOMPARE(shownState(*w), QStringLiteral("Ready"));
        QVERIFY(!w->clock().running());
        QCOMPARE(timedRows(w->resultsTable()), 0);

        // The next run is timed from its own START.
        QTest::keyClick(w.get(), Qt::Key_F5);
        rig.ticks.advance(41000);
        QTest::keyClick(w.get(), Qt::Key_F9);
        rig.ticks.advance(2500);
        QTest::keyClick(w.get(), Qt::Key_F9);
        QTest::keyClick(w.get(), Qt::Key_F10);
        QCOMPARE(timedRows(w->resultsTable()), 1);
        QCOMPARE(w->resultsTable().cell(ResultsTable::Zeit1, 1), QStringLiteral("41,00"));
        QCOMPARE(w->resultsTable().cell(ResultsTable::Zeit2, 1), QStringLiteral("2,50"));
    }

    // Opening a protocol and the settings wait while a countdown or run is timed,
    // until the run is entered: they could swap the competitor or re-arm barriers.
    void loadAndSettingsWaitForTheRunToBeEntered_data()
    {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<bool>("offered");
        QTest::newRow("ready") << QList<int>{} << true;
        QTest::newRow("countdown running") << QList<int>{Qt::Key_F4} << false;
        QTest::newRow("countdown paused") << QList<int>{Qt::Key_F4, Qt::Key_F4} << false;
        QTest::newRow("phase 1") << QList<int>{Qt::Key_F5} << false;
        QTest::newRow("phase 2") << QList<int>{Qt::Key_F5, Qt::Key_F9} << false;
        QTest::newRow("stopped, not entered") << QList<int>{Qt::Key_F5, Qt::Key_F9, Qt::Key_F9} << false;
        QTest::newRow("entered") << QList<int>{Qt::Key_F5, Qt::Key_F9, Qt::Key_F9, Qt::Key_F10} << true;
    }
    void loadAndSettingsWaitForTheRunToBeEntered()
    {
        QFETCH(QList<int>, keys);
        QFETCH(bool, offered);
        MainRig rig(5000);
        auto w = rig.make();
        for (int k : keys) {
            rig.ticks.advance(30000);
            QTest::keyClick(w.get(), Qt::Key(k));
        }
        QCOMPARE(w->control<QToolButton>(QStringLiteral("sbLoad"))->isEnabled(), offered);
        QCOMPARE(w->control<QToolButton>(QStringLiteral("bCFG"))->isEnabled(), offered);
        QCOMPARE(w->menuAction(QStringLiteral("EinstellunGen1"))->isEnabled(), offered);
        QString opened;
        QTimer::singleShot(0, [&opened] {
            if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                opened = d->objectName();
                d->reject();
            }
        });
        QTest::keyClick(w.get(), Qt::Key_F2);
        QCoreApplication::processEvents();
        QCOMPARE(opened.isEmpty(), !offered);
    }

    void disabledCommandsIgnoreTheirKeys()
    {
        FakeTickSource ticks;
        FakeGong gong;
        TFormMain w(testDeps(&ticks, &gong));
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(&w, Qt::Key_F9);
        QTest::keyClick(&w, Qt::Key_F10);
        QVERIFY(!w.clock().running());
        QVERIFY(w.control<CommandButton>(QStringLiteral("bSTART"))->isEnabled());
    }

    void timingButtonsActOnMousePress()
    {
        FakeTickSource ticks;
        FakeGong gong;
        TFormMain w(testDeps(&ticks, &gong));
        w.show();
        auto* start = w.control<CommandButton>(QStringLiteral("bSTART"));
        QTest::mousePress(start, Qt::RightButton);
        QVERIFY(w.clock().running());
    }
};

QTEST_MAIN(TestMainRunKeys)
#include "tst_main_run_keys.moc"
