// The competitor entry of the main window: the start list around NÄCHSTER and a
// double click in the table, digits-only fields under paste and the mouse wheel,
// and the time-penalty points on their way from the clock into the table.
#include "main_window_rig.h"

#include "results/SortGrid.h"
#include "results/results_table.h"
#include "widgets/CommandButton.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QToolButton>
#include <QWheelEvent>

#include <clocale>

namespace {

const QStringList kThree = {QStringLiteral("11\tAnna\tOtto\tLanz\t1950"),
                            QStringLiteral("12\tBert\tPaul\tFendt\t1960"),
                            QStringLiteral("13\tCarl\tQuirin\tDeutz\t1970")};

void timeAndEnter(TFormMain& w, MainRig& rig)
{
    rig.ticks.advance(1000);
    timeAndEnterByKeys(w, rig);
}

QString text(const TFormMain& w, const char* name)
{
    return w.control<QLineEdit>(QString::fromLatin1(name))->text();
}

QString position(const TFormMain& w)
{
    return w.control<QLabel>(QStringLiteral("LabelBase"))->text();
}

void doubleClickRowOf(TFormMain& w, const QString& startNumber)
{
    const int row = w.resultsTable().findRow(ResultsTable::StNr, startNumber);
    QTableView* grid = w.sortGrid();
    const QRect cell = grid->visualRect(grid->model()->index(row - 1, ResultsTable::Fahrer));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
}

// A wheel step as the window system delivers it (spontaneous, so focus rules apply).
void wheelDown(QWidget* target)
{
    const QPoint pos = target->rect().center();
    QWheelEvent e(pos, target->mapToGlobal(pos), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QSpontaneKeyEvent::setSpontaneous(&e);
    qApp->notify(target, &e);
}

} // namespace

class TestMainEntry : public QObject {
    Q_OBJECT
    IsolatedSettings m_settings;

private Q_SLOTS:
    void init() { clearStoredSettings(); }

    // The last entry chosen by a double click in the table, timed again: NÄCHSTER
    // must not keep its start number, or the next run would overwrite its row.
    void naechsterAfterADoubleClickOnTheLastEntry()
    {
        MainRig rig;
        auto w = rig.make();
        w->setStartList(kThree);
        auto* back = w->control<QToolButton>(QStringLiteral("sb1m"));
        auto* forward = w->control<QToolButton>(QStringLiteral("sb1p"));
        QTest::mouseClick(forward, Qt::LeftButton);
        QTest::mouseClick(forward, Qt::LeftButton);
        QCOMPARE(text(*w, "Reiter"), QStringLiteral("Carl"));
        timeAndEnter(*w, rig);
        QTest::keyClick(w.get(), Qt::Key_N, Qt::AltModifier);
        // Past the last entry: no start number, and the position says so.
        QCOMPARE(w->startNumberText(), QString());
        QCOMPARE(position(*w), QStringLiteral("0 von 3"));
        QVERIFY(!back->isEnabled());

        // The arrow leads to the first entry again.
        QTest::mouseClick(forward, Qt::LeftButton);
        QCOMPARE(position(*w), QStringLiteral("1 von 3"));
        QCOMPARE(text(*w, "Reiter"), QStringLiteral("Anna"));

        doubleClickRowOf(*w, QStringLiteral("13"));
        QCOMPARE(text(*w, "Reiter"), QStringLiteral("Carl"));
        QCOMPARE(position(*w), QStringLiteral("3 von 3"));
        QVERIFY(back->isEnabled());
        QVERIFY(!forward->isEnabled());

        timeAndEnter(*w, rig);
        QTest::keyClick(w.get(), Qt::Key_N, Qt::AltModifier);
        QCOMPARE(w->startNumberText(), QString());
        for (const char* name : {"Reiter", "eName2", "eMarke"})
            QVERIFY2(text(*w, name).isEmpty(), name);
        QCOMPARE(position(*w), QStringLiteral("0 von 3"));

        timeAndEnter(*w, rig);
        const int carl = w->resultsTable().findRow(ResultsTable::StNr, QStringLiteral("13"));
        QCOMPARE(w->resultsTable().cell(ResultsTable::Fahrer, carl), QStringLiteral("Carl"));
        QCOMPARE(w->resultsTable().cell(ResultsTable::Beifahrer, carl), QStringLiteral("Quirin"));
    }

    void pasteKeepsWhatTypingCouldProduce_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("kept");
        QTest::newRow("start number: letters and blanks dropped") << "cbStNr"
                                                                  << "12a 3"
                                                                  << "123";
        QTest::newRow("start number: 0 and 9 kept") << "cbStNr"
                                                    << "0-9"
                                                    << "09";
        QTest::newRow("start number: a line with tabs") << "cbStNr"
                                                        << "7\tAnna\n"
                                                        << "7";
        QTest::newRow("skill points: no sign, no separator") << "ePunkte1"
                                                             << "-2,5"
                                                             << "25";
        QTest::newRow("skill points: nothing typable") << "ePunkte1"
                                                       << "zwei"
                                                       << "";
        QTest::newRow("skill points: plain number") << "ePunkte1"
                                                    << "14"
                                                    << "14";
    }
    void pasteKeepsWhatTypingCouldProduce()
    {
        QFETCH(QString, field);
        QFETCH(QString, pasted);
        QFETCH(QString, kept);
        MainRig rig;
        auto w = rig.make();
        QWidget* f = w->control<QWidget>(field);
        QLineEdit* edit = qobject_cast<QLineEdit*>(f);
        if (!edit)
            edit = qobject_cast<QComboBox*>(f)->lineEdit();
        edit->setFocus(Qt::MouseFocusReason);
        edit->clear();
        QGuiApplication::clipboard()->setText(pasted);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit->text(), kept);
    }

    void pasteIntoTheYearOfMakeCell()
    {
        MainRig rig;
        auto w = rig.make();
        w->control<QComboBox>(QStringLiteral("cbStNr"))->setEditText(QStringLiteral("5"));
        timeAndEnter(*w, rig);
        TSortGrid* grid = w->sortGrid();
        const QModelIndex cell = grid->model()->index(0, ResultsTable::Baujahr);
        grid->setCurrentIndex(cell);
        static_cast<QAbstractItemView*>(grid)->edit(cell);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor);
        QGuiApplication::clipboard()->setText(QStringLiteral("ca 1957!"));
        // As the editor's context menu pastes.
        editor->selectAll();
        editor->paste();
        QCOMPARE(editor->text(), QStringLiteral("1957"));
    }

    // The wheel changes the start list or the year of make only in the focused field.
    void wheelNeedsTheFocus_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("focused");
        QTest::newRow("start list, not focused") << "cbStNr" << false;
        QTest::newRow("start list, focused") << "cbStNr" << true;
        QTest::newRow("year of make, not focused") << "eGOD" << false;
        QTest::newRow("year of make, focused") << "eGOD" << true;
    }
    void wheelNeedsTheFocus()
    {
        QFETCH(QString, field);
        QFETCH(bool, focused);
        MainRig rig;
        auto w = rig.make();
        w->setStartList(kThree);
        auto* box = w->control<QComboBox>(field);
        if (focused)
            box->setFocus(Qt::MouseFocusReason);
        else
            w->control<QWidget>(QStringLiteral("bTimer"))->setFocus(Qt::OtherFocusReason);
        const int before = box->currentIndex();
        wheelDown(box);
        QCOMPARE(box->currentIndex(), focused ? before + 1 : before);
        QCOMPARE(box->hasFocus(), focused);
    }

    // Time-penalty points from the clock through ePunkte2 into StrafZ and Ges., with
    // the separator of the program's locale whatever the C library's locale is.
    void penaltyPointsReachTheRow_data()
    {
        QTest::addColumn<bool>("german");
        QTest::addColumn<QByteArray>("cLocale");
        QTest::addColumn<QString>("penalty");
        QTest::addColumn<QString>("total");
        QTest::newRow("German, C library German") << true << QByteArray("de_DE.UTF-8") << "0,1"
                                                  << "5,1";
        QTest::newRow("German, C library neutral") << true << QByteArray("C.UTF-8") << "0,1"
                                                   << "5,1";
        QTest::newRow("neutral, C library German") << false << QByteArray("de_DE.UTF-8") << "0.1"
                                                   << "5.1";
        QTest::newRow("neutral, C library neutral") << false << QByteArray("C.UTF-8") << "0.1"
                                                    << "5.1";
    }
    void penaltyPointsReachTheRow()
    {
        QFETCH(bool, german);
        QFETCH(QByteArray, cLocale);
        QFETCH(QString, penalty);
        QFETCH(QString, total);
        const QByteArray savedC = std::setlocale(LC_NUMERIC, nullptr);
        if (!std::setlocale(LC_NUMERIC, cLocale.constData()))
            QSKIP("locale not generated on this machine");
        const QLocale savedQt;
        const auto restore = qScopeGuard([&] {
            QLocale::setDefault(savedQt);
            std::setlocale(LC_NUMERIC, savedC.constData());
        });
        QLocale::setDefault(german ? QLocale(QLocale::German, QLocale::Germany) : QLocale::c());
        {
            MainRig rig;
            auto w = rig.make();
            w->control<QComboBox>(QStringLiteral("cbStNr"))->setEditText(QStringLiteral("8"));
            QTest::keyClick(w.get(), Qt::Key_F5);
            rig.ticks.advance(60000);
            QTest::keyClick(w.get(), Qt::Key_F9);
            // Phase 2 one penalty step over phase 1 plus the allowed 45 s.
            rig.ticks.advance(105001);
            w->clock().ClockTimer();
            QCOMPARE(text(*w, "ePunkte2"), penalty);
            QTest::keyClick(w.get(), Qt::Key_F9);
            QCOMPARE(text(*w, "ePunkte2"), penalty);
            w->control<QLineEdit>(QStringLiteral("ePunkte1"))->setText(QStringLiteral("5"));
            QTest::keyClick(w.get(), Qt::Key_F10);
            const int r = w->resultsTable().findRow(ResultsTable::StNr, QStringLiteral("8"));
            QCOMPARE(w->resultsTable().cell(ResultsTable::StrafZ, r), penalty);
            QCOMPARE(w->resultsTable().cell(ResultsTable::Ges, r), total);
        }
    }
};

QTEST_MAIN(TestMainEntry)
#include "tst_main_entry.moc"
