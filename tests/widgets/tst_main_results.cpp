#include "main_window_rig.h"

#include "dialogs/DlgYesNo.h"
#include "displays/FMonitor3.h"
#include "displays/TopTenGrid.h"
#include "protocol/ProtocolCommands.h"
#include "results/SortGrid.h"
#include "results/results_table.h"
#include "widgets/CommandButton.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QToolButton>

namespace {

// One run by keys: phase one and phase two times in milliseconds, then EINTRAGEN and NÄCHSTER.
void enterRun(TFormMain& w, MainRig& rig, const QString& stNr, const QString& driver, int p1, int p2)
{
    if (stNr.isEmpty())
        timeAndEnterByKeys(w, rig, quint32(p1), quint32(p2));
    else
        enterRunByKeys(w, rig, stNr, driver, quint32(p1), quint32(p2));
}

QStringList column(TFormMain& w, int col)
{
    QStringList c;
    for (int r = 1; r < w.resultsTable().rowCount(); ++r)
        c.append(w.resultsTable().cell(col, r));
    return c;
}

void clickHeader(TFormMain& w, int col, Qt::MouseButton button)
{
    QHeaderView* h = w.sortGrid()->horizontalHeader();
    const QPoint centre(h->sectionViewportPosition(col) + h->sectionSize(col) / 2, h->height() / 2);
    QTest::mouseClick(h->viewport(), button, Qt::NoModifier, centre);
}

// The centre of a table cell in the main window's coordinates (scrolled into view).
QPoint cellPos(TFormMain& w, int tableRow, int col)
{
    TSortGrid* g = w.sortGrid();
    const QModelIndex index = g->model()->index(tableRow - 1, col);
    g->scrollTo(index);
    return g->viewport()->mapTo(&w, g->visualRect(index).center());
}

// A click as the platform delivers it (a right press also opens the context menu).
void clickCell(TFormMain& w, int tableRow, int col, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseClick(w.windowHandle(), button, {}, cellPos(w, tableRow, col));
}

// Right-click on a row and choose an item of the menu that opens.
void chooseFromMenu(TFormMain& w, int tableRow, const char* item)
{
    clickCell(w, tableRow, ResultsTable::Marke, Qt::RightButton);
    QMenu* menu = w.sortGrid()->popupMenu();
    QTRY_VERIFY(menu->isVisible());
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(w.sortGrid()->action(item)).center());
    QTRY_VERIFY(!menu->isVisible());
}

int rowOf(TFormMain& w, const char* stNr)
{
    return w.resultsTable().findRow(ResultsTable::StNr, QString::fromLatin1(stNr));
}

// Three entered runs: 2 Bert (ranked 1), 1 Anna (2), 3 Carl (3); Anna entered last.
void enterThree(TFormMain& w, MainRig& rig)
{
    enterRun(w, rig, QStringLiteral("2"), QStringLiteral("Bert"), 30000, 3000);
    QTest::keyClick(&w, Qt::Key_N, Qt::AltModifier);
    enterRun(w, rig, QStringLiteral("3"), QStringLiteral("Carl"), 50000, 3000);
    QTest::keyClick(&w, Qt::Key_N, Qt::AltModifier);
    enterRun(w, rig, QStringLiteral("1"), QStringLiteral("Anna"), 40000, 3000);
}

} // namespace

class TestMainResults : public QObject {
    Q_OBJECT
    IsolatedSettings m_settings;

private Q_SLOTS:
    void init() { clearStoredSettings(); }

    void enteredRunIsRankedAndSelected()
    {
        MainRig rig;
        auto w = rig.make();
        enterRun(*w, rig, QStringLiteral("7"), QStringLiteral("Anna"), 40000, 3000);
        ResultsTable& t = w->resultsTable();
        const int r = t.findRow(ResultsTable::StNr, QStringLiteral("7"));
        QVERIFY(r > 0);
        QCOMPARE(t.cell(ResultsTable::Fahrer, r), QStringLiteral("Anna"));
        QCOMPARE(t.cell(ResultsTable::Platz, r), QStringLiteral("1"));
        QCOMPARE(t.currentRow(), r);
        QVERIFY(w->control<QToolButton>(QStringLiteral("sbSave"))->isEnabled());
    }

    void headerClicksSort_data()
    {
        QTest::addColumn<QList<int>>("buttons");
        QTest::addColumn<QStringList>("drivers");
        const QStringList up = {QStringLiteral("Anna"), QStringLiteral("Bert"), QStringLiteral("Carl")};
        const QStringList down = {QStringLiteral("Carl"), QStringLiteral("Bert"), QStringLiteral("Anna")};
        QTest::newRow("left click sorts ascending") << QList<int>{int(Qt::LeftButton)} << up;
        QTest::newRow("second click reverses")
            << QList<int>{int(Qt::LeftButton), int(Qt::LeftButton)} << down;
        QTest::newRow("right click sorts descending") << QList<int>{int(Qt::RightButton)} << down;
    }
    void headerClicksSort()
    {
        QFETCH(QList<int>, buttons);
        QFETCH(QStringList, drivers);
        MainRig rig;
        auto w = rig.make();
        enterRun(*w, rig, QStringLiteral("2"), QStringLiteral("Bert"), 30000, 3000);
        QTest::keyClick(w.get(), Qt::Key_N, Qt::AltModifier);
        enterRun(*w, rig, QStringLiteral("3"), QStringLiteral("Carl"), 50000, 3000);
        QTest::keyClick(w.get(), Qt::Key_N, Qt::AltModifier);
        enterRun(*w, rig, QStringLiteral("1"), QStringLiteral("Anna"), 40000, 3000);
        for (int b : buttons)
            clickHeader(*w, ResultsTable::Fahrer, Qt::MouseButton(b));
        QCOMPARE(column(*w, ResultsTable::Fahrer), drivers);
    }

    void startListNavigation_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<int>("nextClicks");
        QTest::addColumn<QString>("position");
        QTest::addColumn<bool>("backEnabled");
        QTest::addColumn<bool>("forwardEnabled");
        QTest::addColumn<QString>("driver");
        const QStringList three = {QStringLiteral("11\tAnna\tOtto\tLanz\t1950"),
                                   QStringLiteral("12\tBert\tPaul\tFendt\t1960"),
                                   QStringLiteral("13\tCarl\tQuirin\tDeutz\t1970")};
        QTest::newRow("single entry")
            << QStringList{three.first()} << 0 << "1 von 1" << false << false << "Anna";
        QTest::newRow("first of three") << three << 0 << "1 von 3" << false << true << "Anna";
        QTest::newRow("second of three") << three << 1 << "2 von 3" << true << true << "Bert";
        QTest::newRow("last of three") << three << 2 << "3 von 3" << true << false << "Carl";
        QTest::newRow("beyond the last") << three << 3 << "3 von 3" << true << false << "Carl";
    }
    void startListNavigation()
    {
        QFETCH(QStringList, entries);
        QFETCH(int, nextClicks);
        QFETCH(QString, position);
        QFETCH(bool, backEnabled);
        QFETCH(bool, forwardEnabled);
        QFETCH(QString, driver);
        MainRig rig;
        auto w = rig.make();
        w->setStartList(entries);
        auto* next = w->control<QToolButton>(QStringLiteral("sb1p"));
        for (int i = 0; i < nextClicks; ++i)
            QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(w->control<QLabel>(QStringLiteral("LabelBase"))->text(), position);
        QCOMPARE(w->control<QToolButton>(QStringLiteral("sb1m"))->isEnabled(), backEnabled);
        QCOMPARE(next->isEnabled(), forwardEnabled);
        QCOMPARE(w->control<QLineEdit>(QStringLiteral("Reiter"))->text(), driver);
    }

    void naechsterMovesToTheNextEntry()
    {
        MainRig rig;
        auto w = rig.make();
        w->setStartList(
            {QStringLiteral("11\tAnna\tOtto\tLanz\t1950"), QStringLiteral("12\tBert\tPaul\tFendt\t1960")});
        enterRun(*w, rig, QString(), QString(), 40000, 3000);
        QCOMPARE(w->resultsTable().cell(ResultsTable::Fahrer, 1), QStringLiteral("Anna"));
        QTest::keyClick(w.get(), Qt::Key_N, Qt::AltModifier);
        QCOMPARE(w->control<QLabel>(QStringLiteral("LabelBase"))->text(), QStringLiteral("2 von 2"));
        QCOMPARE(w->control<QLineEdit>(QStringLiteral("Reiter"))->text(), QStringLiteral("Bert"));
        QCOMPARE(w->control<QLineEdit>(QStringLiteral("eName2"))->text(), QStringLiteral("Paul"));
        QCOMPARE(w->control<QLineEdit>(QStringLiteral("eMarke"))->text(), QStringLiteral("Fendt"));
    }

    void naechsterOnTheLastEntryLeavesTheFieldsEmpty()
    {
        MainRig rig;
        auto w = rig.make();
        w->setStartList({QStringLiteral("11\tAnna\tOtto\tLanz\t1950")});
        enterRun(*w, rig, QString(), QString(), 40000, 3000);
        QTest::keyClick(w.get(), Qt::Key_N, Qt::AltModifier);
        QCOMPARE(w->startNumberText(), QString());
        for (const char* name : {"Reiter", "eName2", "eMarke"})
            QVERIFY2(w->control<QLineEdit>(QString::fromLatin1(name))->text().isEmpty(), name);
        // A run entered now does not replace Anna's row.
        enterRun(*w, rig, QString(), QString(), 41000, 3000);
        QCOMPARE(w->resultsTable().cell(ResultsTable::Fahrer,
                                        w->resultsTable().findRow(ResultsTable::StNr, QStringLiteral("11"))),
                 QStringLiteral("Anna"));
    }

    void absageEntersZeroTimes()
    {
        MainRig rig;
        auto w = rig.make();
        w->control<QComboBox>(QStringLiteral("cbStNr"))->setEditText(QStringLiteral("4"));
        QTest::mouseClick(w->control<CommandButton>(QStringLiteral("bAbsage")), Qt::LeftButton);
        ResultsTable& t = w->resultsTable();
        const int r = t.findRow(ResultsTable::StNr, QStringLiteral("4"));
        QVERIFY(r > 0);
        QCOMPARE(t.cell(ResultsTable::Zeit1, r), QStringLiteral("0,00"));
        QCOMPARE(t.cell(ResultsTable::Zeit2, r), QStringLiteral("0,00"));
    }

    void eliminierenMarksTheSelectedRow()
    {
        MainRig rig;
        auto w = rig.make();
        enterRun(*w, rig, QStringLiteral("5"), QStringLiteral("Anna"), 40000, 3000);
        const int r = w->resultsTable().findRow(ResultsTable::StNr, QStringLiteral("5"));
        w->resultsTable().setCurrentRow(r);
        QAction* el = w->sortGrid()->action("Eliminieren1");
        QVERIFY(el);
        QCOMPARE(el->text(), QStringLiteral("Eliminieren"));
        el->trigger();
        const QStringList row =
            w->resultsTable().row(w->resultsTable().findRow(ResultsTable::StNr, QStringLiteral("5")));
        QVERIFY2(row.contains(QStringLiteral("EL")), qPrintable(row.join(QLatin1Char('|'))));
    }

    void openCellEditIsKeptBy_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("a header click") << "header";
        QTest::newRow("EINTRAGEN by F10") << "eintragen";
        QTest::newRow("the context menu's Sortieren") << "menu";
        QTest::newRow("sbLoad, question answered Nein") << "load";
        QTest::newRow("sbSave") << "save";
        QTest::newRow("sbPrint") << "print";
        QTest::newRow("closing the window, Beenden answered Nein") << "close";
    }
    void openCellEditIsKeptBy()
    {
        QFETCH(QString, command);
        MainRig rig;
        auto w = rig.make();
        QTemporaryDir dir;
        w->protocolCommands()->setFileDialogHook([&dir](const FileDialogRequest&) {
            return FileDialogAnswer{dir.filePath(QStringLiteral("lauf")), 0};
        });
        enterThree(*w, rig);
        if (command == QLatin1String("eintragen")) {
            // A fourth run is timed and waits for EINTRAGEN while the name is edited.
            QTest::keyClick(w.get(), Qt::Key_N, Qt::AltModifier);
            w->control<QComboBox>(QStringLiteral("cbStNr"))->setEditText(QStringLiteral("4"));
            QTest::keyClick(w.get(), Qt::Key_F5);
            rig.ticks.advance(45000);
            QTest::keyClick(w.get(), Qt::Key_F9);
            rig.ticks.advance(3000);
            QTest::keyClick(w.get(), Qt::Key_F9);
        }
        // Select Carl's driver cell and type a new name without finishing it.
        clickCell(*w, rowOf(*w, "3"), ResultsTable::Fahrer);
        for (const char c : QByteArray("Huber"))
            QTest::keyClick(QApplication::focusWidget(), c);
        QVERIFY(w->sortGrid()->editorOpen());

        if (command == QLatin1String("header")) {
            clickHeader(*w, ResultsTable::Marke, Qt::LeftButton);
        } else if (command == QLatin1String("eintragen")) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F10);
            QVERIFY(rowOf(*w, "4") > 0);
        } else if (command == QLatin1String("menu")) {
            chooseFromMenu(*w, rowOf(*w, "2"), "Sortieren1");
        } else if (command == QLatin1String("close")) {
            w->yesNoDialog()->setNextAnswers({false});
            QVERIFY(!w->close());
            QCOMPARE(w->yesNoDialog()->question(), QStringLiteral("Beenden?"));
        } else if (command == QLatin1String("load")) {
            w->yesNoDialog()->setNextAnswers({false});
            QTest::mouseClick(w->control<QToolButton>(QStringLiteral("sbLoad")), Qt::LeftButton);
            QCOMPARE(w->yesNoDialog()->question(), QStringLiteral("Ungespeicherte Ergebnisse verwerfen?"));
        } else if (command == QLatin1String("print")) {
            w->printer()->setOutputFileName(dir.filePath(QStringLiteral("druck.pdf")));
            QTest::mouseClick(w->control<QToolButton>(QStringLiteral("sbPrint")), Qt::LeftButton);
            QVERIFY(QFileInfo(dir.filePath(QStringLiteral("druck.pdf"))).size() > 0);
        } else {
            QTest::mouseClick(w->control<QToolButton>(QStringLiteral("sbSave")), Qt::LeftButton);
            QFile f(dir.filePath(QStringLiteral("lauf.txt")));
            QVERIFY(f.open(QIODevice::ReadOnly));
            QVERIFY(f.readAll().contains("3\tHuber\t"));
        }
        QCOMPARE(w->resultsTable().cell(ResultsTable::Fahrer, rowOf(*w, "3")), QStringLiteral("Huber"));
    }

    // The first thing typed into an empty table is a result: closing asks, and a window
    // destroyed with the editor still open keeps the edit instead of crashing.
    void closingWithAnOpenCellEdit()
    {
        MainRig rig;
        auto w = rig.make();
        clickCell(*w, 1, ResultsTable::Fahrer);
        for (const char c : QByteArray("Zed"))
            QTest::keyClick(QApplication::focusWidget(), c);
        QVERIFY(w->sortGrid()->editorOpen());
        w->yesNoDialog()->setNextAnswers({false});
        QVERIFY(!w->close());
        QCOMPARE(w->yesNoDialog()->question(), QStringLiteral("Beenden?"));
        QCOMPARE(w->resultsTable().cell(ResultsTable::Fahrer, 1), QStringLiteral("Zed"));
        QTest::keyClick(QApplication::focusWidget(), 'A');
        QVERIFY(w->sortGrid()->editorOpen());
        w.reset();
    }

    void commandsActOnTheRowSeenSelected_data()
    {
        QTest::addColumn<QString>("selection");
        QTest::addColumn<QString>("expected"); // start number eliminated
        // After EINTRAGEN the ranking selects the entered row (1, Anna).
        QTest::newRow("entered row, then a header sort") << "entered"
                                                         << "1";
        QTest::newRow("a result cell clicked, then a header sort") << "result"
                                                                   << "3";
        QTest::newRow("a name cell clicked, then a header sort") << "name"
                                                                 << "2";
    }
    void commandsActOnTheRowSeenSelected()
    {
        QFETCH(QString, selection);
        QFETCH(QString, expected);
        MainRig rig;
        auto w = rig.make();
        enterThree(*w, rig);
        ResultsTable& t = w->resultsTable();
        QCOMPARE(t.cell(ResultsTable::StNr, t.currentRow()), QStringLiteral("1"));
        if (selection == QLatin1String("result"))
            clickCell(*w, rowOf(*w, "3"), ResultsTable::Zeit2);
        else if (selection == QLatin1String("name"))
            clickCell(*w, rowOf(*w, "2"), ResultsTable::Beifahrer);
        QCOMPARE(t.cell(ResultsTable::StNr, t.currentRow()), expected);

        // A sort by driver, descending, moves every row.
        clickHeader(*w, ResultsTable::Fahrer, Qt::RightButton);
        QCOMPARE(column(*w, ResultsTable::Fahrer), QStringList({"Carl", "Bert", "Anna"}));
        QCOMPARE(t.cell(ResultsTable::StNr, t.currentRow()), expected);
        const QModelIndexList selected = w->sortGrid()->selectionModel()->selectedRows();
        QCOMPARE(selected.size(), 1);
        QCOMPARE(t.cell(ResultsTable::StNr, selected.first().row() + 1), expected);

        // The menu opens over another row; the command hits the selected competitor.
        const int other = expected == QLatin1String("2") ? rowOf(*w, "3") : rowOf(*w, "2");
        chooseFromMenu(*w, other, "Eliminieren1");
        QCOMPARE(t.cell(ResultsTable::Platz, rowOf(*w, expected.toLatin1().constData())),
                 QStringLiteral("EL"));
        int eliminated = 0;
        for (int r = 1; r < t.rowCount(); ++r)
            eliminated += t.cell(ResultsTable::Platz, r) == QLatin1String("EL");
        QCOMPARE(eliminated, 1);
    }

    void correctionsReachTheTopTenAtOnce()
    {
        MainRig rig;
        auto w = rig.make();
        enterThree(*w, rig);
        chooseFromMenu(*w, rowOf(*w, "2"), "Zeitentfernen1");
        // Bert's results are gone from the table, and so from the spectators' top ten.
        const QStringList table = column(*w, ResultsTable::Ges);
        QStringList shown;
        for (int r = 0; r < 3; ++r)
            shown << w->topTen()->grid()->cellText(r + 1, 0);
        QCOMPARE(shown, table);
    }

    void doubleClickWithoutStartListDoesNothing()
    {
        MainRig rig;
        auto w = rig.make();
        enterRun(*w, rig, QStringLiteral("5"), QStringLiteral("Anna"), 40000, 3000);
        QTest::keyClick(w.get(), Qt::Key_N, Qt::AltModifier);
        auto* cb = w->control<QComboBox>(QStringLiteral("cbStNr"));
        auto* reiter = w->control<QLineEdit>(QStringLiteral("Reiter"));
        const QString stNr = cb->currentText();
        QTableView* grid = w->sortGrid();
        const QRect cell = grid->visualRect(grid->model()->index(1, ResultsTable::Fahrer));
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
        QCOMPARE(cb->currentText(), stNr);
        QCOMPARE(reiter->text(), QString());
    }
};

QTEST_MAIN(TestMainResults)
#include "tst_main_results.moc"
