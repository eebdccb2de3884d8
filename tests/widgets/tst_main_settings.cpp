// The settings command of the main window: what "OK" applies, what "Abbrechen" keeps, when
// the command is refused, the reset to defaults; and the maker's logo in the header.
#include "main_window_rig.h"

#include "barriers/Comms.h"
#include "barriers/light_barriers.h"
#include "dialogs/DlgYesNo.h"
#include "displays/Udigit.h"
#include "results/results_table.h"
#include "settings/Cfg.h"
#include "widgets/CommandButton.h"

#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QEnterEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QToolButton>
#include <QUrl>

#include <functional>

namespace {

constexpr int kPort = 5;

// Answers the settings dialog that opens next: edit its controls, then press the named button.
// A dialog still open after that press is rejected, so a fault cannot hang the test.
void answerSettings(std::function<void(TCfgDialog&)> edit, const char* button, bool* shown)
{
    QTimer::singleShot(0, [edit = std::move(edit), button, shown] {
        auto* d = qobject_cast<TCfgDialog*>(QApplication::activeModalWidget());
        if (!d)
            return;
        *shown = true;
        if (edit)
            edit(*d);
        if (auto* b = d->findChild<QPushButton*>(QString::fromLatin1(button)))
            b->click();
        if (d->isVisible())
            d->reject();
    });
}

template <typename T> T* field(TCfgDialog& d, const char* name)
{
    T* f = d.findChild<T*>(QString::fromLatin1(name));
    if (!f)
        qWarning("no control %s", name);
    return f;
}

QString tableText(const ResultsTable& t)
{
    QStringList lines;
    for (int r = 1; r < t.rowCount(); ++r) {
        QStringList cells = t.row(r);
        for (QString& c : cells)
            c = c.trimmed();
        lines.append(cells.join(QLatin1Char('|')));
    }
    return lines.join(QLatin1Char('\n'));
}

void enterRun(TFormMain& w, MainRig& rig, const QString& stNr, const QString& driver, int p1, int p2)
{
    enterRunByKeys(w, rig, stNr, driver, quint32(p1), quint32(p2));
    QTest::keyClick(&w, Qt::Key_N, Qt::AltModifier);
}

QColor textColour(const QLabel* l)
{
    return l->palette().color(QPalette::WindowText);
}

} // namespace

class TestMainSettings : public QObject {
    Q_OBJECT
    IsolatedSettings m_settings;

private Q_SLOTS:
    void init()
    {
        clearStoredSettings();
        storeSettingsWithBarriersOnCts(kPort, 1); // the start barrier
    }

    void countdownLengthDecidesTimerAndArming_data()
    {
        QTest::addColumn<int>("timer");
        QTest::addColumn<bool>("timerShown");
        QTest::addColumn<int>("startBarrier");
        QTest::newRow("no countdown: TIMER hidden, start barrier armed")
            << 0 << false << int(LightBarriers::Armed);
        QTest::newRow("countdown: TIMER shown, start barrier waits")
            << 30 << true << int(LightBarriers::Disarmed);
    }
    void countdownLengthDecidesTimerAndArming()
    {
        QFETCH(int, timer);
        QFETCH(bool, timerShown);
        QFETCH(int, startBarrier);
        MainRig rig(1000, kPort);
        auto w = rig.make();
        QVERIFY(w->comPort()->Connected());
        bool shown = false;
        answerSettings([timer](TCfgDialog& d) { field<QSpinBox>(d, "seTimer")->setValue(timer); }, "OKBtn",
                       &shown);
        QTest::keyClick(w.get(), Qt::Key_F2);
        QVERIFY(shown);
        QCOMPARE(w->settings().timer, timer);
        QCOMPARE(w->clock().settings().timer, timer);
        QCOMPARE(w->control<CommandButton>(QStringLiteral("bTimer"))->isVisible(), timerShown);
        QCOMPARE(w->menuAction(QStringLiteral("mTimer"))->isEnabled(), timerShown);
        QCOMPARE(w->lightBarriers()->indicatorState(1), startBarrier);
        // The port was closed and reopened on the same line.
        QVERIFY(w->comPort()->Connected());
        QCOMPARE(w->settings().port[0], quint8(kPort));
        QCOMPARE(w->settings().line[0], quint8(1));
    }

    // "OK" shows the new countdown length at once and counts it down with the next
    // F4, and the settings are stored right away, not only at exit.
    void okAppliesAndStoresTheCountdownAtOnce_data()
    {
        QTest::addColumn<int>("timer");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("elapsed");
        QTest::addColumn<QString>("remaining");
        QTest::newRow("0: no countdown") << 0 << "00:00,00" << 0 << "";
        QTest::newRow("1: a tenth of a second") << 1 << "00:00,10" << 50 << "00:00,05";
        QTest::newRow("100: ten seconds") << 100 << "00:10,00" << 1000 << "00:09,00";
        QTest::newRow("9999: the longest") << 9999 << "16:39,90" << 1000 << "16:38,90";
    }
    void okAppliesAndStoresTheCountdownAtOnce()
    {
        QFETCH(int, timer);
        QFETCH(QString, shown);
        QFETCH(int, elapsed);
        QFETCH(QString, remaining);
        MainRig rig(1000, kPort);
        auto w = rig.make();
        const auto row1 = [&w] {
            QString t;
            for (int d = 3; d <= 8; ++d)
                t += QString::number(w->control<TDigit>(QStringLiteral("Digit%1").arg(d))->value()) +
                     QString::fromLatin1(d == 4   ? ":"
                                         : d == 6 ? ","
                                                  : "");
            return t;
        };
        QCOMPARE(row1(), QStringLiteral("00:06,00"));
        bool shownDialog = false;
        answerSettings(
            [timer](TCfgDialog& d) {
                field<QSpinBox>(d, "seTimer")->setValue(timer);
                field<QSpinBox>(d, "seELZ1")->setValue(30);
            },
            "OKBtn", &shownDialog);
        QTest::keyClick(w.get(), Qt::Key_F2);
        QVERIFY(shownDialog);
        QCOMPARE(row1(), shown);
        QCOMPARE(storedSetting("Timer").toInt(), timer);
        QCOMPARE(storedSetting("ELZ1").toInt(), 30);
        QCOMPARE(w->clock().state().CountdownMode, timer > 0);
        if (timer > 0) {
            // F4's command (the offscreen platform leaves the closed dialog the active window).
            w->menuAction(QStringLiteral("mTimer"))->trigger();
            QVERIFY(w->clock().running());
            rig.ticks.advance(quint32(elapsed));
            w->clock().ClockTimer();
            QCOMPARE(row1(), remaining);
        }
    }

    // A run started by the start barrier while the dialog is open is not disturbed by
    // its "OK": nothing is applied, and the status bar says so.
    void okDuringARunStartedMeanwhileAppliesNothing()
    {
        storeSetting("Timer", 0); // no countdown: the start barrier is armed
        MainRig rig(1000, kPort);
        auto w = rig.make();
        QVERIFY(w->comPort()->Connected());
        const int closes = rig.line->closes;
        bool shown = false;
        answerSettings(
            [&](TCfgDialog& d) {
                field<QSpinBox>(d, "seTimer")->setValue(100);
                field<QSpinBox>(d, "seELZ1")->setValue(30);
                w->menuAction(QStringLiteral("mStart"))->trigger(); // what the start barrier invokes
            },
            "OKBtn", &shown);
        QTest::keyClick(w.get(), Qt::Key_F2);
        QVERIFY(shown);
        QVERIFY(w->clock().running());
        QCOMPARE(w->clock().state().ColourState, quint8(3));
        QCOMPARE(w->settings().timer, 0);
        QCOMPARE(w->settings().elz1, 45);
        QCOMPARE(w->clock().settings().elz1, 45);
        QCOMPARE(rig.line->closes, closes); // the port was not reopened under the run
        QVERIFY(w->statusNoticeText().contains(QStringLiteral("nicht übernommen")));
    }

    void penaltyRuleReachesTheClock_data()
    {
        QTest::addColumn<double>("points");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<int>("pktSek");
        QTest::addColumn<int>("sekPachka");
        QTest::newRow("half a point a second") << 0.5 << 1.0 << 500 << 1000;
        QTest::newRow("tenths round to whole thousandths") << 12.3 << 0.1 << 12300 << 100;
    }
    void penaltyRuleReachesTheClock()
    {
        QFETCH(double, points);
        QFETCH(double, seconds);
        QFETCH(int, pktSek);
        QFETCH(int, sekPachka);
        MainRig rig(1000, kPort);
        auto w = rig.make();
        bool shown = false;
        answerSettings(
            [=](TCfgDialog& d) {
                field<QDoubleSpinBox>(d, "sePktSek")->setValue(points);
                field<QDoubleSpinBox>(d, "seSekInPachka")->setValue(seconds);
            },
            "OKBtn", &shown);
        QTest::keyClick(w.get(), Qt::Key_F2);
        QVERIFY(shown);
        QCOMPARE(w->settings().pktSek, pktSek);
        QCOMPARE(w->settings().sekPachka, sekPachka);
        QCOMPARE(w->clock().settings().pktSek, pktSek);
        QCOMPARE(w->clock().settings().sekPachka, sekPachka);
    }

    void cancelChangesNothing()
    {
        MainRig rig(1000, kPort);
        auto w = rig.make();
        const AppSettings before = w->settings();
        const int armedBefore = w->lightBarriers()->indicatorState(1);
        bool shown = false;
        answerSettings(
            [](TCfgDialog& d) {
                field<QSpinBox>(d, "seTimer")->setValue(0);
                field<QDoubleSpinBox>(d, "sePktSek")->setValue(7.5);
                field<QSpinBox>(d, "seELZ1")->setValue(3);
                field<QComboBox>(d, "cbPort1")->setCurrentIndex(0);
            },
            "CancelBtn", &shown);
        QTest::keyClick(w.get(), Qt::Key_F2);
        QVERIFY(shown);
        QCOMPARE(w->settings().timer, before.timer);
        QCOMPARE(w->settings().pktSek, before.pktSek);
        QCOMPARE(w->settings().elz1, before.elz1);
        QCOMPARE(w->settings().port[0], before.port[0]);
        QCOMPARE(w->clock().settings().pktSek, before.pktSek);
        QVERIFY(w->control<CommandButton>(QStringLiteral("bTimer"))->isVisible());
        QVERIFY(w->comPort()->Connected());
        QCOMPARE(w->lightBarriers()->indicatorState(1), armedBefore);
    }

    void settingsRefusedDuringARun()
    {
        MainRig rig(1000, kPort);
        auto w = rig.make();
        QVERIFY(w->menuAction(QStringLiteral("EinstellunGen1"))->isEnabled());
        QTest::keyClick(w.get(), Qt::Key_F5);
        QVERIFY(w->clock().running());
        QVERIFY(!w->menuAction(QStringLiteral("EinstellunGen1"))->isEnabled());
        QVERIFY(!w->control<QToolButton>(QStringLiteral("bCFG"))->isEnabled());
        bool shown = false;
        answerSettings({}, "CancelBtn", &shown);
        QTest::keyClick(w.get(), Qt::Key_F2);
        QCoreApplication::processEvents();
        QVERIFY(!shown);
    }

    void logoHoverLightensOnlyTheShadow_data()
    {
        QTest::addColumn<QString>("half");
        QTest::addColumn<QString>("shadow");
        QTest::addColumn<QColor>("light");
        QTest::addColumn<QColor>("own");
        QTest::newRow("red half") << "Label8"
                                  << "Label7" << QColor(255, 160, 160) << QColor(255, 0, 0);
        QTest::newRow("green half") << "Label5"
                                    << "Label4" << QColor(160, 255, 160) << QColor(0, 128, 0);
    }
    void logoHoverLightensOnlyTheShadow()
    {
        QFETCH(QString, half);
        QFETCH(QString, shadow);
        QFETCH(QColor, light);
        QFETCH(QColor, own);
        MainRig rig;
        auto w = rig.make();
        auto* h = w->control<QLabel>(half);
        auto* s = w->control<QLabel>(shadow);
        QVERIFY(h && s);
        QCOMPARE(textColour(s), QColor(Qt::black));
        QCOMPARE(textColour(h), own);
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QCoreApplication::sendEvent(h, &enter);
        QCOMPARE(textColour(s), light);
        QCOMPARE(textColour(h), own);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(h, &leave);
        QCOMPARE(textColour(s), QColor(Qt::black));
        QCOMPARE(textColour(h), own);
    }

    void logoClickOpensTheMakersPage_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("red half") << "Label8";
        QTest::newRow("green half") << "Label5";
        QTest::newRow("flag") << "LabDE";
    }
    void logoClickOpensTheMakersPage()
    {
        QFETCH(QString, name);
        MainRig rig;
        auto w = rig.make();
        QList<QUrl> opened;
        w->setUrlOpener([&opened](const QUrl& u) {
            opened.append(u);
            return true;
        });
        auto* l = w->control<QLabel>(name);
        QVERIFY(l);
        QTest::mouseClick(l, Qt::LeftButton);
        QCOMPARE(opened.size(), 1);
        QVERIFY(opened.first().scheme().startsWith(QLatin1String("http")));
    }

    void resetQuitsAndKeepsTheResultsForTheNextStart()
    {
        MainRig rig(1000, kPort);
        auto w = rig.make();
        w->offerRecovery();
        enterRun(*w, rig, QStringLiteral("4"), QStringLiteral("Dora"), 45000, 4000);
        enterRun(*w, rig, QStringLiteral("5"), QStringLiteral("Emil"), 38000, 3500);
        QVERIFY(w->resultsTable().holdsResults());
        const QString results = tableText(w->resultsTable());
        QVERIFY(results.contains(QStringLiteral("Emil")));

        QSignalSpy questions(w->yesNoDialog(), &TFDlgYesNo::questionAsked);
        // A second question ("Beenden?") would be answered no and keep the window open.
        w->yesNoDialog()->setNextAnswers({true, false});
        bool shown = false;
        answerSettings({}, "bDefault", &shown);
        QTest::keyClick(w.get(), Qt::Key_F2);
        QVERIFY(shown);
        QCoreApplication::processEvents();
        QCOMPARE(questions.count(), 1);
        QCOMPARE(questions.first().first().toString(),
                 QStringLiteral("Möchten Sie Standard Einstellungen verwenden?"));
        QVERIFY(!w->isVisible());
        QVERIFY(!storedSetting("Port1").isValid());
        w.reset();
        // The ended program did not write its settings back.
        QVERIFY(!storedSetting("Port1").isValid());
        QVERIFY(!storedSetting("Timer").isValid());

        MainRig next;
        next.deps.recoveryFolder = rig.recovery.path();
        auto w2 = next.make();
        QSignalSpy offered(w2->yesNoDialog(), &TFDlgYesNo::questionAsked);
        w2->yesNoDialog()->setNextAnswers({true});
        w2->offerRecovery();
        QCOMPARE(offered.count(), 1);
        QCOMPARE(tableText(w2->resultsTable()), results);
    }

    void resetWithoutStoredSettingsKeepsRunning()
    {
        clearStoredSettings();
        MainRig rig;
        auto w = rig.make();
        w->yesNoDialog()->setNextAnswers({true});
        bool shown = false;
        answerSettings({}, "bDefault", &shown);
        QTest::keyClick(w.get(), Qt::Key_F2);
        QVERIFY(shown);
        QCoreApplication::processEvents();
        QVERIFY(w->isVisible());
        QCOMPARE(w->yesNoDialog()->pendingAnswers(), 0);
    }
};

QTEST_MAIN(TestMainSettings)
#include "tst_main_settings.moc"
