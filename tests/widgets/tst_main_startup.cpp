#include "main_window_rig.h"

#include "dialogs/DlgYesNo.h"
#include "displays/FMonitor2.h"
#include "displays/FMonitor3.h"
#include "protocol/ProtocolCommands.h"
#include "results/SortGrid.h"
#include "results/results_table.h"
#include "widgets/CommandButton.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QToolButton>
#include <QUrl>

namespace {

// Rejects the modal dialog that is open when the event loop next runs; records its name.
void rejectNextModal(QString* seen)
{
    QTimer::singleShot(0, [seen] {
        if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            *seen = d->objectName();
            d->reject();
        }
    });
}

void runOneTimedResult(TFormMain& w, MainRig& rig)
{
    timeAndEnterByKeys(w, rig);
}

} // namespace

class TestMainStartup : public QObject {
    Q_OBJECT
    IsolatedSettings m_settings;

private Q_SLOTS:
    void init() { clearStoredSettings(); }

    void firstStartShowsTheDefaults()
    {
        MainRig rig;
        auto w = rig.make();
        QVERIFY(w->started());
        QVERIFY(w->control<CommandButton>(QStringLiteral("bTimer"))->isVisible());
        QCOMPARE(w->control<QLineEdit>(QStringLiteral("eFText1"))->text(), QStringLiteral("Furchenlauf"));
        for (const char* name : {"mStop", "mEintragen", "mReset"})
            QVERIFY2(!w->menuAction(QString::fromLatin1(name))->isEnabled(), name);
        for (const char* name : {"mTimer", "mStart"})
            QVERIFY2(w->menuAction(QString::fromLatin1(name))->isEnabled(), name);
        for (const char* name : {"sbSave", "sbCLS", "sbPrint"})
            QVERIFY2(!w->control<QToolButton>(QString::fromLatin1(name))->isEnabled(), name);
        QVERIFY(!w->control<QLabel>(QStringLiteral("PanelDate"))->text().trimmed().isEmpty());
        // The start-up probe asked for the fake port only, never a real tty.
        for (const QString& p : rig.line->openedPaths)
            QCOMPARE(p, rig.path);
    }

    void storedValuesShapeTheStart_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<int>("stored");
        QTest::addColumn<bool>("timerShown");
        QTest::addColumn<int>("monitor");
        QTest::newRow("no countdown hides TIMER") << QByteArray("Timer") << 0 << false << 0;
        QTest::newRow("countdown shows TIMER") << QByteArray("Timer") << 30 << true << 0;
        QTest::newRow("missing screen falls back to the first") << QByteArray("Monitor") << 3 << true << 0;
        QTest::newRow("negative screen falls back to the first") << QByteArray("Monitor") << -1 << true << 0;
    }
    void storedValuesShapeTheStart()
    {
        QFETCH(QByteArray, key);
        QFETCH(int, stored);
        QFETCH(bool, timerShown);
        QFETCH(int, monitor);
        // A stored set needs the values before the key, or the reading stops early.
        {
            MainRig rig;
            auto w = rig.make(false, false);
        }
        storeSetting(key.constData(), stored);
        MainRig rig;
        auto w = rig.make();
        QCOMPARE(w->control<CommandButton>(QStringLiteral("bTimer"))->isVisible(), timerShown);
        QCOMPARE(w->menuAction(QStringLiteral("mTimer"))->isEnabled(), timerShown);
        QCOMPARE(w->settings().monitor, monitor);
        if (!timerShown) {
            QTest::keyClick(w.get(), Qt::Key_F4);
            QVERIFY(!w->clock().running());
        }
    }

    void settingsAreWrittenBackAtExit()
    {
        {
            MainRig rig;
            auto w = rig.make();
            QLineEdit* title = w->control<QLineEdit>(QStringLiteral("eFText1"));
            title->setText(QStringLiteral("Pflügen 2024"));
            w->settings().port[0] = 3;
            w->settings().line[0] = 1;
            QCOMPARE(w->protocolCommands()->filtInd(), 3); // the default save kind preselected
            w->protocolCommands()->setFiltInd(4);
        }
        QCOMPARE(storedSetting("Zeile1").toString(), QStringLiteral("Pflügen 2024"));
        QCOMPARE(storedSetting("Port1").toInt(), 259);
        QCOMPARE(storedSetting("Timer").toInt(), 60);
        QCOMPARE(storedSetting("Phases").toInt(), 2);
        QVERIFY(storedSetting("AutoFrei").isValid());
        QVERIFY(storedSetting("Monitor").isValid());
        QCOMPARE(storedSetting("FiltInd").toInt(), 4);

        MainRig rig;
        auto w = rig.make(false, false);
        QCOMPARE(w->settings().port[0], quint8(3));
        QCOMPARE(w->settings().line[0], quint8(1));
        QCOMPARE(w->control<QLineEdit>(QStringLiteral("eFText1"))->text(), QStringLiteral("Pflügen 2024"));
        QCOMPARE(w->protocolCommands()->filtInd(), 4);
    }

    void hiddenMenuShortcutsReachTheirCommands_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("effect");
        QTest::newRow("F4 runs the countdown") << int(Qt::Key_F4) << 0 << "clock running";
        QTest::newRow("F5 starts the clock") << int(Qt::Key_F5) << 0 << "clock running";
        QTest::newRow("Alt+P adds a point after START")
            << int(Qt::Key_P) << int(Qt::AltModifier) << "one point";
        QTest::newRow("F1 opens the help page") << int(Qt::Key_F1) << 0 << "help opened";
        QTest::newRow("F2 opens the settings") << int(Qt::Key_F2) << 0 << "modal CfgDialog";
        QTest::newRow("F3 opens the information") << int(Qt::Key_F3) << 0 << "modal FormInfo";
        QTest::newRow("Alt+1 shows the top ten") << int(Qt::Key_1) << int(Qt::AltModifier) << "top ten";
        QTest::newRow("Alt+2 shows the time display")
            << int(Qt::Key_2) << int(Qt::AltModifier) << "time display";
        QTest::newRow("Alt+0 hides both") << int(Qt::Key_0) << int(Qt::AltModifier) << "no spectator window";
        QTest::newRow("Alt+B closes") << int(Qt::Key_B) << int(Qt::AltModifier) << "closed";
    }
    void hiddenMenuShortcutsReachTheirCommands()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, effect);
        MainRig rig;
        auto w = rig.make();
        QList<QUrl> opened;
        w->setUrlOpener([&opened](const QUrl& u) {
            opened.append(u);
            return true;
        });
        if (effect == QLatin1String("one point"))
            QTest::keyClick(w.get(), Qt::Key_F5);
        if (effect == QLatin1String("no spectator window")) {
            w->bMon2Click();
            QVERIFY(w->timeDisplay()->isVisible());
        }
        QString modal;
        if (effect.startsWith(QLatin1String("modal")))
            rejectNextModal(&modal);

        QTest::keyClick(w.get(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));

        if (effect == QLatin1String("clock running"))
            QVERIFY(w->clock().running());
        else if (effect == QLatin1String("one point"))
            QCOMPARE(w->control<QLineEdit>(QStringLiteral("ePunkte1"))->text(), QStringLiteral("1"));
        else if (effect == QLatin1String("help opened"))
            QVERIFY(opened.size() == 1 &&
                    opened.first().toLocalFile().endsWith(QLatin1String("help/index.html")));
        else if (effect.startsWith(QLatin1String("modal")))
            QCOMPARE(modal, effect.mid(6));
        else if (effect == QLatin1String("top ten"))
            QVERIFY(w->topTen()->isVisible() && !w->timeDisplay()->isVisible());
        else if (effect == QLatin1String("time display"))
            QVERIFY(w->timeDisplay()->isVisible() && !w->topTen()->isVisible());
        else if (effect == QLatin1String("no spectator window"))
            QVERIFY(!w->timeDisplay()->isVisible() && !w->topTen()->isVisible());
        else if (effect == QLatin1String("closed"))
            QVERIFY(!w->isVisible());
        else
            QFAIL("unknown effect");
    }

    void closingAsksOnlyWhenSomethingIsAtStake_data()
    {
        QTest::addColumn<bool>("withResult");
        QTest::addColumn<bool>("clockRunning");
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("staysOpen");
        QTest::newRow("empty idle window closes at once")
            << false << false << QList<bool>{false} << false << false;
        QTest::newRow("result kept by Nein") << true << false << QList<bool>{false} << true << true;
        QTest::newRow("result given up by Ja") << true << false << QList<bool>{true} << true << false;
        QTest::newRow("running clock kept by Nein") << false << true << QList<bool>{false} << true << true;
    }
    void closingAsksOnlyWhenSomethingIsAtStake()
    {
        QFETCH(bool, withResult);
        QFETCH(bool, clockRunning);
        QFETCH(QList<bool>, answers);
        QFETCH(bool, asked);
        QFETCH(bool, staysOpen);
        MainRig rig;
        auto w = rig.make();
        if (withResult)
            runOneTimedResult(*w, rig);
        if (clockRunning)
            QTest::keyClick(w.get(), Qt::Key_F5);
        QSignalSpy questions(w->yesNoDialog(), &TFDlgYesNo::questionAsked);
        w->yesNoDialog()->setNextAnswers(answers);
        QTest::keyClick(w.get(), Qt::Key_B, Qt::AltModifier);
        QCOMPARE(questions.count(), asked ? 1 : 0);
        if (asked)
            QCOMPARE(questions.first().first().toString(), QStringLiteral("Beenden?"));
        QCOMPARE(w->isVisible(), staysOpen);
    }

    void resizingStretchesOnlyTheNameFieldsAndColumns()
    {
        MainRig rig;
        auto w = rig.make();
        w->resize(900, 600);
        QCoreApplication::processEvents();
        const auto fieldWidths = [&w] {
            QMap<QString, int> m;
            for (QWidget* e : w->findChildren<QWidget*>()) {
                if ((qobject_cast<QLineEdit*>(e) || qobject_cast<QComboBox*>(e)) && e->window() == w.get() &&
                    !e->objectName().isEmpty())
                    m.insert(e->objectName(), e->width());
            }
            return m;
        };
        const auto columns = [&w] {
            QVector<int> c;
            for (int i = 0; i < ResultsTable::ColumnCount; ++i)
                c.append(w->sortGrid()->columnWidth(i));
            return c;
        };
        const QMap<QString, int> before = fieldWidths();
        const QVector<int> colsBefore = columns();
        w->resize(1200, 650);
        QCoreApplication::processEvents();
        const QMap<QString, int> after = fieldWidths();
        const QVector<int> colsAfter = columns();
        const QStringList names = {QStringLiteral("Reiter"), QStringLiteral("eName2"),
                                   QStringLiteral("eMarke")};
        for (const QString& n : names) {
            QVERIFY2(before.contains(n), qPrintable(n));
            QVERIFY2(after.value(n) > before.value(n), qPrintable(n));
        }
        for (auto it = before.cbegin(); it != before.cend(); ++it)
            if (!names.contains(it.key()))
                QVERIFY2(after.value(it.key()) == it.value(), qPrintable(it.key()));
        for (int c = 0; c < ResultsTable::ColumnCount; ++c) {
            const bool stretches =
                c == ResultsTable::Fahrer || c == ResultsTable::Beifahrer || c == ResultsTable::Marke;
            if (stretches)
                QVERIFY2(colsAfter[c] > colsBefore[c], qPrintable(QString::number(c)));
            else
                QVERIFY2(colsAfter[c] == colsBefore[c], qPrintable(QString::number(c)));
        }
    }
};

QTEST_MAIN(TestMainStartup)
#include "tst_main_startup.moc"
