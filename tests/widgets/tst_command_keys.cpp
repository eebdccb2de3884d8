// Alt keys of the hidden menu in the main window's text fields: an enabled command acts, a
// disabled one does nothing at all (it never types its letter into a name); plain typing and
// AltGr characters are typed as ever.
#include "key_hold.h"
#include "main_window_rig.h"

#include "results/SortGrid.h"
#include "results/results_table.h"
#include "widgets/CommandKeyGuard.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

namespace {

void enterOneRun(TFormMain& w, MainRig& rig)
{
    enterRunByKeys(w, rig, QStringLiteral("7"), QString(), 30000, 2000);
}

} // namespace

class TestCommandKeys : public QObject {
    Q_OBJECT
    IsolatedSettings m_settings;

private Q_SLOTS:
    void init() { clearStoredSettings(); }

    void keyInAField_data()
    {
        QTest::addColumn<QString>("state"); // "Ready", "Timing" or "Entered"
        QTest::addColumn<QString>("field"); // object name, or "cell" for an edited table cell
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("mods");
        QTest::addColumn<QString>("text");     // what the key event carries
        QTest::addColumn<QString>("expected"); // the field afterwards ("" Lanz typed before)
        QTest::addColumn<QString>("points");   // ePunkte1 afterwards
        const int alt = int(Qt::AltModifier);
        QTest::newRow("Alt+N in Marke while NÄCHSTER is off") << "Ready"
                                                              << "eMarke" << int(Qt::Key_N) << alt << "n"
                                                              << "Lanz"
                                                              << "0";
        QTest::newRow("Alt+N in Fahrer while timing") << "Timing"
                                                      << "Reiter" << int(Qt::Key_N) << alt << "n"
                                                      << "Lanz"
                                                      << "0";
        QTest::newRow("Alt+P in Beifahrer after EINTRAGEN") << "Entered"
                                                            << "eName2" << int(Qt::Key_P) << alt << "p"
                                                            << "Lanz"
                                                            << "0";
        QTest::newRow("Alt+N in the title while timing") << "Timing"
                                                         << "eFText1" << int(Qt::Key_N) << alt << "n"
                                                         << "Lanz"
                                                         << "0";
        QTest::newRow("Alt+N in an edited table cell") << "Timing"
                                                       << "cell" << int(Qt::Key_N) << alt << "n"
                                                       << "Lanz"
                                                       << "0";
        QTest::newRow("Alt+A, no command at all") << "Ready"
                                                  << "Reiter" << int(Qt::Key_A) << alt << "a"
                                                  << "Lanz"
                                                  << "0";
        QTest::newRow("Alt+P while timing counts a point") << "Timing"
                                                           << "eMarke" << int(Qt::Key_P) << alt << "p"
                                                           << "Lanz"
                                                           << "1";
        QTest::newRow("plain n is typed") << "Ready"
                                          << "Reiter" << int(Qt::Key_N) << 0 << "n"
                                          << "Lanzn"
                                          << "0";
        QTest::newRow("AltGr as Ctrl+Alt types @")
            << "Ready"
            << "eMarke" << int(Qt::Key_Q) << int(Qt::AltModifier | Qt::ControlModifier) << "@"
            << "Lanz@"
            << "0";
    }
    void keyInAField()
    {
        QFETCH(QString, state);
        QFETCH(QString, field);
        QFETCH(int, key);
        QFETCH(int, mods);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QFETCH(QString, points);
        MainRig rig;
        auto w = rig.make();
        if (state == QLatin1String("Entered"))
            enterOneRun(*w, rig);
        else if (state == QLatin1String("Timing"))
            QTest::keyClick(w.get(), Qt::Key_F5);
        const SequenceState before = w->sequence().state();

        QWidget* target = nullptr;
        if (field == QLatin1String("cell")) {
            // The only row's Fahrer cell, edited in place: "Lanz" typed, the editor open.
            w->resultsTable().setRow(1, {"3", "x"});
            TSortGrid* grid = w->sortGrid();
            const QRect cell = grid->visualRect(grid->model()->index(0, ResultsTable::Fahrer));
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
            for (const char c : QByteArray("Lanz"))
                QTest::keyClick(QApplication::focusWidget(), c);
            QVERIFY(grid->editorOpen());
            target = QApplication::focusWidget();
        } else {
            auto* edit = w->control<QLineEdit>(field);
            QVERIFY(edit);
            edit->setText(QStringLiteral("Lanz"));
            edit->setFocus();
            target = edit;
        }
        QVERIFY(qobject_cast<QLineEdit*>(target));
        QTest::sendKeyEvent(QTest::Click, target, Qt::Key(key), text, Qt::KeyboardModifiers(mods));

        QCOMPARE(qobject_cast<QLineEdit*>(target)->text(), expected);
        QCOMPARE(w->control<QLineEdit>(QStringLiteral("ePunkte1"))->text(), points);
        QCOMPARE(w->sequence().state(), before);
    }

    // Where the command is on, its key runs it from any field.
    void enabledAltNRunsNaechsterFromAField()
    {
        MainRig rig;
        auto w = rig.make();
        enterOneRun(*w, rig);
        auto* driver = w->control<QLineEdit>(QStringLiteral("Reiter"));
        driver->setFocus();
        QTest::sendKeyEvent(QTest::Click, driver, Qt::Key_N, QStringLiteral("n"), Qt::AltModifier);
        QCOMPARE(w->sequence().state(), SequenceState::Ready);
        QCOMPARE(driver->text(), QString());
    }
};

QTEST_MAIN(TestCommandKeys)
#include "tst_command_keys.moc"
