// Every run state as the main window shows it, compared with the one table of
// control states: buttons, faces, menu items, settings, focus.
#include "main_window_rig.h"
#include "run_state_check.h"

#include "dialogs/DlgYesNo.h"
#include "results/results_table.h"

#include <QComboBox>
#include <QToolButton>

namespace {

struct Step {
    const char* what; // a key name, "Absage" or "clear"
    const char* state;
};

} // namespace

class TestMainRunStates : public QObject {
    Q_OBJECT
    IsolatedSettings m_settings;

private Q_SLOTS:
    void init() { clearStoredSettings(); }

    void everyStateMatchesTheTable_data()
    {
        QTest::addColumn<int>("timer");
        QTest::addColumn<int>("phases");
        QTest::newRow("countdown, two phases") << 60 << 2;
        QTest::newRow("no countdown, two phases") << 0 << 2;
        QTest::newRow("countdown, one phase") << 60 << 1;
    }
    void everyStateMatchesTheTable()
    {
        QFETCH(int, timer);
        QFETCH(int, phases);
        {
            // A complete stored set first: the reading stops at the first missing value.
            MainRig rig;
            rig.make(false, false);
        }
        storeSetting("Timer", timer);
        storeSetting("Phases", phases);
        MainRig rig(5000);
        auto w = rig.make();
        QList<Step> steps = {
            {"start", "Ready"},         {"F4", "CountdownRunning"}, {"F4", "CountdownPaused"},
            {"F4", "CountdownRunning"}, {"F5", "RunningPhase1"},    {"F9", "RunningPhase2"},
            {"F9", "Stopped"},          {"F10", "Entered"},         {"Alt+N", "Ready"},
            {"Absage", "Entered"},      {"Return", "Ready"},        {"F5", "RunningPhase1"},
            {"F9", "RunningPhase2"},    {"clear", "Ready"},         {"F5", "RunningPhase1"},
        };
        if (phases == 1) {
            // The first F9 ends the run.
            steps.removeAt(5);
            steps[5] = {"F9", "Stopped"};
            steps.removeAt(11);
        }
        if (timer == 0) {
            // Without TIMER, F4 is offered only after the first NÄCHSTER (counting up).
            steps.insert(1, {"Absage", "Entered"});
            steps.insert(2, {"Alt+N", "Ready"});
        }
        for (const Step& step : steps) {
            const QString what = QString::fromLatin1(step.what);
            rig.ticks.advance(20000);
            if (what == QLatin1String("F4"))
                QTest::keyClick(w.get(), Qt::Key_F4);
            else if (what == QLatin1String("F5"))
                QTest::keyClick(w.get(), Qt::Key_F5);
            else if (what == QLatin1String("F9"))
                QTest::keyClick(w.get(), Qt::Key_F9);
            else if (what == QLatin1String("F10"))
                QTest::keyClick(w.get(), Qt::Key_F10);
            else if (what == QLatin1String("Alt+N"))
                QTest::keyClick(w.get(), Qt::Key_N, Qt::AltModifier);
            else if (what == QLatin1String("Return"))
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            else if (what == QLatin1String("Absage"))
                QTest::mouseClick(w->control<CommandButton>(QStringLiteral("bAbsage")), Qt::LeftButton);
            else if (what == QLatin1String("clear")) {
                w->yesNoDialog()->setNextAnswers({true});
                QTest::mouseClick(w->control<QToolButton>(QStringLiteral("sbCLS")), Qt::LeftButton);
            }
            const QString at = what + QStringLiteral(" -> ") + QString::fromLatin1(step.state);
            QCOMPARE(QString::fromLatin1(sequenceStateName(w->sequence().state())),
                     QString::fromLatin1(step.state));
            const QString diff = controlsDifferFromTable(*w);
            QVERIFY2(diff.isEmpty(), qPrintable(at + QStringLiteral(": ") + diff));
        }
    }

    // START is taken from the table at start-up as well: F4 then exists only with TIMER.
    void startUpIsTheReadyRow_data()
    {
        QTest::addColumn<int>("timer");
        QTest::newRow("with TIMER") << 60;
        QTest::newRow("without TIMER") << 0;
    }
    void startUpIsTheReadyRow()
    {
        QFETCH(int, timer);
        {
            MainRig rig;
            rig.make(false, false);
        }
        storeSetting("Timer", timer);
        MainRig rig;
        auto w = rig.make();
        QVERIFY2(controlsDifferFromTable(*w).isEmpty(), qPrintable(controlsDifferFromTable(*w)));
        QCOMPARE(w->menuAction(QStringLiteral("mTimer"))->isEnabled(), timer > 0);
        QVERIFY(w->menuAction(QStringLiteral("Punkte1"))->isEnabled());
    }
};

QTEST_MAIN(TestMainRunStates)
#include "tst_main_run_states.moc"
