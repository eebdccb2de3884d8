#include "results/SortGrid.h"
#include "results/ranking.h"
#include "results/results_model.h"
#include "results/results_table.h"
#include "results/sort_order.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QMenu>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

namespace {

QStringList sampleRow(int n)
{
    return {QString::number(n),
            QStringLiteral("Fahrer %1").arg(n),
            QStringLiteral("Beifahrer %1").arg(n),
            QStringLiteral("Marke"),
            QStringLiteral("1955"),
            QStringLiteral("3"),
            QStringLiteral("0,00"),
            QStringLiteral("1:23,45"),
            QStringLiteral("2,5"),
            QStringLiteral("5,5"),
            QString::number(n)};
}

void fill(ResultsTable& table, int rows)
{
    table.beginUpdate();
    table.setRow(1, sampleRow(1));
    for (int i = 2; i <= rows; ++i)
        table.appendRow(sampleRow(i));
    table.endUpdate();
}

// Records context-menu requests instead of opening the menu.
class RecordingGrid : public TSortGrid {
public:
    int popups = 0;

protected:
    void showPopupMenu(const QPoint&) override { ++popups; }
};

struct Fixture {
    explicit Fixture(int rows)
    {
        fill(table, rows);
        grid.setObjectName(QStringLiteral("SortGrid1"));
        grid.setResultsTable(&table);
        grid.resize(760, 300);
        grid.applyColumnWidths({45, 150, 110, 90, 50, 43, 66, 66, 46, 46, 38});
    }
    bool showActive()
    {
        grid.show();
        grid.activateWindow();
        return QTest::qWaitForWindowActive(&grid);
    }
    QPoint cellCentre(int tableRow, int column)
    {
        grid.scrollTo(grid.resultsModel()->index(ResultsModel::modelRow(tableRow), column));
        return grid.visualRect(grid.resultsModel()->index(ResultsModel::modelRow(tableRow), column)).center();
    }
    // Clicks through the window, as the platform delivers it (a right press there
    // also produces the context-menu event).
    void click(int tableRow, int column, Qt::MouseButton button = Qt::LeftButton)
    {
        const QPoint pos = grid.viewport()->mapTo(&grid, cellCentre(tableRow, column));
        QTest::mouseClick(grid.windowHandle(), button, {}, pos);
    }
    // Types into whatever has the focus: the grid first, then its in-place editor.
    static void type(const QString& keys)
    {
        for (const QChar c : keys) {
            if (c == QLatin1Char('\b'))
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
            else
                QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        // The delegate commits the editor's text on the next pass of the event loop.
        QCoreApplication::processEvents();
    }
    QModelIndexList selectedRows() const { return grid.selectionModel()->selectedRows(); }

    ResultsTable table;
    RecordingGrid grid;
};

} // namespace

class TestSortGrid : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cellFormat_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QColor>("background");
        QTest::addColumn<int>("alignment");
        const QColor none;
        const QColor yellow(255, 255, 192), red(255, 224, 224), green(224, 255, 224);
        const int left = Qt::AlignLeft | Qt::AlignVCenter, right = Qt::AlignRight | Qt::AlignVCenter;
        QTest::newRow("St.Nr. plain, right") << 0 << none << right;
        QTest::newRow("Fahrer plain, left") << 1 << none << left;
        QTest::newRow("Beifahrer plain, left") << 2 << none << left;
        QTest::newRow("Marke plain, left") << 3 << none << left;
        QTest::newRow("Baujahr plain, right") << 4 << none << right;
        QTest::newRow("StrafG yellow") << 5 << yellow << right;
        QTest::newRow("Zeit1 red") << 6 << red << right;
        QTest::newRow("Zeit2 red") << 7 << red << right;
        QTest::newRow("StrafZ yellow") << 8 << yellow << right;
        QTest::newRow("Ges. yellow") << 9 << yellow << right;
        QTest::newRow("Platz green") << 10 << green << right;
    }
    void cellFormat()
    {
        QFETCH(int, column);
        QFETCH(QColor, background);
        QFETCH(int, alignment);
        ResultsTable table;
        fill(table, 3);
        table.setCurrentRow(2);
        ResultsModel model(&table);
        const QModelIndex other = model.index(ResultsModel::modelRow(3), column);
        const QModelIndex current = model.index(ResultsModel::modelRow(2), column);
        QCOMPARE(model.data(other, Qt::BackgroundRole).value<QColor>(), background);
        QVERIFY2(!model.data(current, Qt::BackgroundRole).isValid(), "the current row has no column colours");
        QCOMPARE(model.data(other, Qt::TextAlignmentRole).toInt(), alignment);
        QCOMPARE(model.data(current, Qt::TextAlignmentRole).toInt(), alignment);
    }
    void headerRowFormat()
    {
        ResultsTable table;
        ResultsModel model(&table);
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.headerData(9, Qt::Horizontal).toString(), QStringLiteral("Ges."));
        QCOMPARE(model.headerData(9, Qt::Horizontal, Qt::FontRole).value<QFont>().pointSize(), 10);
        QCOMPARE(model.headerData(9, Qt::Horizontal, Qt::TextAlignmentRole).toInt(),
                 int(Qt::AlignLeft | Qt::AlignVCenter));
    }
    void currentRowChangeRepaintsBothRows()
    {
        ResultsTable table;
        fill(table, 5);
        ResultsModel model(&table);
        QSignalSpy spy(&model, &QAbstractItemModel::dataChanged);
        table.setCurrentRow(4);
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(0).at(0).toModelIndex().row(), ResultsModel::modelRow(1));
        QCOMPARE(spy.at(1).at(0).toModelIndex().row(), ResultsModel::modelRow(4));
        QVERIFY(model.data(model.index(0, 6), Qt::BackgroundRole).isValid());
    }
    void cellEditUpdatesOneRowWithoutReset()
    {
        ResultsTable table;
        fill(table, 5);
        ResultsModel model(&table);
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        QSignalSpy rows(&model, &QAbstractItemModel::dataChanged);
        QVERIFY(model.setData(model.index(2, 1), QStringLiteral("Huber")));
        QCOMPARE(table.cell(1, 3), QStringLiteral("Huber"));
        QCOMPARE(resets.count(), 0);
        QCOMPARE(rows.count(), 1);
        QVERIFY2(!model.setData(model.index(2, 6), QStringLiteral("1,00")), "result cells are not edited");
        QCOMPARE(table.cell(6, 3), QStringLiteral("0,00"));
        table.appendRow(sampleRow(6));
        QCOMPARE(resets.count(), 1);
        QCOMPARE(model.rowCount(), 6);
    }

    void headerClick_data()
    {
        QTest::addColumn<int>("pressX");
        QTest::addColumn<int>("releaseX");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<int>("column"); // -1: no click
        // Columns: St.Nr. 0..44, Fahrer 45..194, Beifahrer 195..304.
        QTest::newRow("left click inside Fahrer") << 120 << 120 << Qt::LeftButton << 1;
        QTest::newRow("right click inside Fahrer sorts descending") << 120 << 120 << Qt::RightButton << 1;
        QTest::newRow("press and release apart in one column") << 60 << 180 << Qt::LeftButton << 1;
        QTest::newRow("3 px right of a border") << 48 << 48 << Qt::LeftButton << -1;
        QTest::newRow("3 px left of a border") << 192 << 192 << Qt::LeftButton << -1;
        QTest::newRow("released over another column") << 120 << 250 << Qt::LeftButton << -1;
        QTest::newRow("6 px from the border counts") << 51 << 51 << Qt::LeftButton << 1;
    }
    void headerClick()
    {
        QFETCH(int, pressX);
        QFETCH(int, releaseX);
        QFETCH(Qt::MouseButton, button);
        QFETCH(int, column);
        Fixture f(3);
        QVERIFY(f.showActive());
        QSignalSpy spy(&f.grid, &TSortGrid::headerClicked);
        // Through the window, so a right press would also open a context menu.
        QWidget* header = f.grid.horizontalHeader()->viewport();
        const int y = header->height() / 2;
        QTest::mousePress(f.grid.windowHandle(), button, {}, header->mapTo(&f.grid, QPoint(pressX, y)));
        QTest::mouseRelease(f.grid.windowHandle(), button, {}, header->mapTo(&f.grid, QPoint(releaseX, y)));
        if (column < 0) {
            QCOMPARE(spy.count(), 0);
            return;
        }
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), column);
        QCOMPARE(spy.at(0).at(1).toBool(), button == Qt::RightButton);
        QCOMPARE(f.grid.popups, 0);
        QCOMPARE(f.grid.columnWidth(1), 150);
    }
    void rightClickOnRowKeepsCurrentRowAndOpensMenu()
    {
        Fixture f(6);
        QVERIFY(f.showActive());
        f.click(2, 6);
        QCOMPARE(f.table.currentRow(), 2);
        f.click(5, 1, Qt::RightButton);
        QCOMPARE(f.table.currentRow(), 2);
        QCOMPARE(f.selectedRows().size(), 1);
        QCOMPARE(f.selectedRows().first().row(), ResultsModel::modelRow(2));
        QCOMPARE(f.grid.popups, 1);
    }
    void popupMenuOpensWithoutBlocking()
    {
        ResultsTable table;
        TSortGrid grid;
        grid.setResultsTable(&table);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 40), grid.mapToGlobal(QPoint(10, 40)));
        QApplication::sendEvent(grid.viewport(), &event);
        QTRY_VERIFY(grid.popupMenu()->isVisible());
        grid.popupMenu()->close();
    }
    void popupMenuItems()
    {
        TSortGrid grid;
        QCOMPARE(grid.popupMenu()->objectName(), QStringLiteral("PopupMenu1"));
        QStringList names, captions;
        for (QAction* a : grid.popupMenu()->actions()) {
            names << a->objectName();
            captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
        }
        QCOMPARE(names, QStringList({"Eliminieren1", "Copy1", "Strokadelete", "Zeitentfernen1", "Sortieren1",
                                     "N1", "Ausgeschieden2", "Aufgegeben1"}));
        QCOMPARE(captions,
                 QStringList({"Eliminieren", "Alles kopieren", "Zeile entfernen", "Ergebnisse loschen",
                              "Sortieren", "-", "Ausgeschieden", "Aufgegeben"}));
        QCOMPARE(grid.action("Ausgeschieden2")->data().toInt(), 0);
        QCOMPARE(grid.action("Aufgegeben1")->data().toInt(), 1);
        QVERIFY(!grid.action("NoSuchItem"));
    }

    void clickSelectsByColumn_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("wholeRow");
        QTest::newRow("Zeit1 selects the whole row") << 6 << true;
        QTest::newRow("Platz selects the whole row") << 10 << true;
        QTest::newRow("Fahrer selects the cell") << 1 << false;
        QTest::newRow("St.Nr. selects the cell") << 0 << false;
    }
    void clickSelectsByColumn()
    {
        QFETCH(int, column);
        QFETCH(bool, wholeRow);
        Fixture f(9);
        QVERIFY(f.showActive());
        QSignalSpy status(&f.grid, &TSortGrid::statusText);
        f.click(5, column);
        QCOMPARE(status.count(), 1);
        QCOMPARE(status.at(0).at(0).toString(), QStringLiteral("5:9"));
        QCOMPARE(f.table.currentRow(), 5);
        QCOMPARE(f.table.trackedRow(), 5); // also a whole-row selection is what a sort keeps
        const QModelIndexList selected = f.grid.selectionModel()->selectedIndexes();
        QCOMPARE(selected.size(), wholeRow ? ResultsTable::ColumnCount : 1);
        for (const QModelIndex& i : selected)
            QCOMPARE(i.row(), ResultsModel::modelRow(5));
    }
    void resultCellsAreNotEdited()
    {
        Fixture f(9);
        QVERIFY(f.showActive());
        f.click(5, 6);
        Fixture::type(QStringLiteral("12"));
        QCOMPARE(f.table.cell(6, 5), QStringLiteral("0,00"));
        // A row the program makes current is selected whole, so its identity cells
        // are not edited either, though the current cell stays in Fahrer.
        f.click(5, 1);
        f.table.setCurrentRow(3);
        QCOMPARE(f.grid.currentIndex().column(), 1);
        Fixture::type(QStringLiteral("x"));
        QCOMPARE(f.table.row(3), sampleRow(3));
        QCOMPARE(f.selectedRows().size(), 1);
    }
    void clickOnFahrerAllowsEditing()
    {
        Fixture f(9);
        QVERIFY(f.showActive());
        f.click(5, 6);
        f.click(5, 1);
        Fixture::type(QStringLiteral("Huber"));
        QCOMPARE(f.table.cell(1, 5), QStringLiteral("Huber"));
        QCOMPARE(f.table.cell(1, 4), QStringLiteral("Fahrer 4"));
        QCOMPARE(f.table.currentRow(), 5);
    }
    void keyboardSwitchesSelectionMode()
    {
        Fixture f(9);
        QVERIFY(f.showActive());
        f.click(5, 6);
        QSignalSpy status(&f.grid, &TSortGrid::statusText);
        QTest::keyClick(&f.grid, Qt::Key_Down);
        QCOMPARE(status.last().at(0).toString(), QStringLiteral("6:9"));
        QCOMPARE(f.selectedRows().size(), 1);
        QCOMPARE(f.table.trackedRow(), 6);
        QTest::keyClick(&f.grid, Qt::Key_Left);
        QTest::keyClick(&f.grid, Qt::Key_Left);
        QCOMPARE(f.grid.currentIndex().column(), int(ResultsTable::Baujahr));
        QCOMPARE(f.grid.selectionModel()->selectedIndexes().size(), 1);
        QCOMPARE(f.table.trackedRow(), 6);
        Fixture::type(QStringLiteral("1949"));
        QCOMPARE(f.table.cell(ResultsTable::Baujahr, 6), QStringLiteral("1949"));
    }
    void keyFilter_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Baujahr drops letters") << 4 << "19a5x6"
                                               << "1956";
        QTest::newRow("Baujahr takes comma and full stop") << 4 << "1,5.0"
                                                           << "1,5.0";
        QTest::newRow("Baujahr drops Backspace") << 4 << "19\b7"
                                                 << "197";
        QTest::newRow("Baujahr drops a leading letter") << 4 << "a12"
                                                        << "12";
        QTest::newRow("Fahrer is not filtered") << 1 << "Ab\bc"
                                                << "Ac";
    }
    void keyFilter()
    {
        QFETCH(int, column);
        QFETCH(QString, keys);
        QFETCH(QString, expected);
        Fixture f(4);
        QVERIFY(f.showActive());
        f.click(3, column);
        Fixture::type(keys);
        QCOMPARE(f.table.cell(column, 3), expected);
    }

    void programMoveSelectsWholeRowAndScrolls()
    {
        Fixture f(200);
        QVERIFY(f.showActive());
        f.click(2, 1);
        QSignalSpy status(&f.grid, &TSortGrid::statusText);
        f.table.setCurrentRow(150);
        QCOMPARE(f.grid.currentIndex().row(), ResultsModel::modelRow(150));
        QCOMPARE(f.selectedRows().size(), 1);
        QCOMPARE(f.selectedRows().first().row(), ResultsModel::modelRow(150));
        QVERIFY(f.grid.viewport()->rect().contains(
            f.grid.visualRect(f.grid.resultsModel()->index(ResultsModel::modelRow(150), 0))));
        QCOMPARE(status.last().at(0).toString(), QStringLiteral("150:200"));
        QCOMPARE(f.table.trackedRow(), 150); // a program move is tracked too
    }
    void resetKeepsTheTablesCurrentRowSelected()
    {
        Fixture f(5);
        QVERIFY(f.showActive());
        f.click(4, 7);
        f.table.beginUpdate();
        f.table.reorder({5, 4, 3, 2, 1});
        f.table.setCurrentRow(f.table.trackedRow());
        f.table.endUpdate();
        // Start number 4, clicked in row 4, now stands in row 2 and is still selected.
        QCOMPARE(f.table.currentRow(), 2);
        QCOMPARE(f.selectedRows().size(), 1);
        QCOMPARE(f.selectedRows().first().row(), ResultsModel::modelRow(2));
        QCOMPARE(f.table.cell(ResultsTable::StNr, 2), QStringLiteral("4"));
        QCOMPARE(f.grid.resultsModel()->data(f.grid.resultsModel()->index(0, 0)).toString(),
                 QStringLiteral("5"));
    }
    void openEditIsCommittedBeforeATableChange_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("a sort by the program") << "sort";
        QTest::newRow("the ranking") << "rank";
        QTest::newRow("a row appended") << "append";
        QTest::newRow("a cell of another row set") << "cell";
        QTest::newRow("a grouped change") << "group";
    }
    void openEditIsCommittedBeforeATableChange()
    {
        QFETCH(QString, change);
        Fixture f(5);
        QVERIFY(f.showActive());
        f.click(3, 6);
        f.click(3, ResultsTable::Fahrer);
        for (const char c : QByteArray("Huber"))
            QTest::keyClick(QApplication::focusWidget(), c);
        QVERIFY(f.grid.editorOpen());
        QCOMPARE(f.table.cell(ResultsTable::Fahrer, 3), QStringLiteral("Fahrer 3")); // not yet in the table
        SortState state;
        const QLocale l(QLocale::German, QLocale::Germany);
        if (change == QLatin1String("sort")) {
            state.direction = SortDirection::Descending;
            sortByColumn(f.table, state, ResultsTable::StNr, l);
        } else if (change == QLatin1String("rank")) {
            RankResults(f.table, state, QString(), l);
        } else if (change == QLatin1String("append")) {
            f.table.appendRow(sampleRow(6));
        } else if (change == QLatin1String("cell")) {
            f.table.setCell(ResultsTable::Platz, 1, QStringLiteral("AUS"));
        } else {
            f.table.beginUpdate();
            f.table.setCell(ResultsTable::Platz, 1, QStringLiteral("AUF"));
            f.table.endUpdate();
        }
        QVERIFY(!f.grid.editorOpen());
        const int row = f.table.findRow(ResultsTable::StNr, QStringLiteral("3"));
        QCOMPARE(f.table.cell(ResultsTable::Fahrer, row), QStringLiteral("Huber"));
    }
    void escapeStillDiscardsTheEdit()
    {
        Fixture f(3);
        QVERIFY(f.showActive());
        f.click(2, 6);
        f.click(2, ResultsTable::Fahrer);
        QTest::keyClick(QApplication::focusWidget(), 'x');
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        f.table.appendRow(sampleRow(4));
        QCOMPARE(f.table.cell(ResultsTable::Fahrer, 2), QStringLiteral("Fahrer 2"));
    }

    void typedKeysDoNotMoveTheCurrentRow_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("keys");
        // Platz holds 1 to 9; a keyboard search would jump to the row of that rank.
        QTest::newRow("Platz, the first rank") << 10 << "1";
        QTest::newRow("Platz, the last rank") << 10 << "9";
        QTest::newRow("Platz, letters and digits") << 10 << "a7";
        QTest::newRow("Zeit2, digits") << 7 << "1:";
        QTest::newRow("StrafG, a digit") << 5 << "3";
    }
    void typedKeysDoNotMoveTheCurrentRow()
    {
        QFETCH(int, column);
        QFETCH(QString, keys);
        Fixture f(9);
        QVERIFY(f.showActive());
        f.click(4, column);
        const auto before = f.table.rows();
        for (const QChar c : keys)
            QTest::keyClick(&f.grid, c.toLatin1());
        QCOMPARE(f.table.currentRow(), 4);
        QCOMPARE(f.grid.currentIndex().row(), ResultsModel::modelRow(4));
        QCOMPARE(f.table.rows(), before);
    }

    void doubleClickEmits()
    {
        Fixture f(3);
        QVERIFY(f.showActive());
        QSignalSpy spy(&f.grid, &TSortGrid::SortGrid1DblClick);
        QTest::mouseDClick(f.grid.viewport(), Qt::LeftButton, {}, f.cellCentre(2, 7));
        QCOMPARE(spy.count(), 1);
    }
    void layoutAndColumnWidths()
    {
        Fixture f(3);
        f.grid.applyColumnWidths({45, 200, 120, 100, 50, 43, 66, 66, 46, 46, 38, 999});
        const QVector<int> expected{45, 200, 120, 100, 50, 43, 66, 66, 46, 46, 38};
        for (int c = 0; c < expected.size(); ++c)
            QCOMPARE(f.grid.columnWidth(c), expected[c]);
        f.grid.applyColumnWidths({60});
        QCOMPARE(f.grid.columnWidth(0), 60);
        QCOMPARE(f.grid.columnWidth(1), 200);
        QCOMPARE(f.grid.rowHeight(0), TSortGrid::RowHeight);
        QCOMPARE(f.grid.font().pixelSize(), TSortGrid::DataFontPixels);
        QVERIFY(!f.grid.verticalHeader()->isVisibleTo(&f.grid));
        QCOMPARE(f.grid.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(f.grid.horizontalHeader()->sectionResizeMode(1), QHeaderView::Interactive);
    }
    void sortMarker()
    {
        Fixture f(3);
        f.grid.setSortMarker(9, false);
        QVERIFY(f.grid.horizontalHeader()->isSortIndicatorShown());
        QCOMPARE(f.grid.horizontalHeader()->sortIndicatorSection(), 9);
        QCOMPARE(f.grid.horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
        f.grid.setSortMarker(1, true);
        QCOMPARE(f.grid.horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
        QCOMPARE(f.table.row(1), sampleRow(1)); // the marker alone sorts nothing
    }
};

QTEST_MAIN(TestSortGrid)
#include "tst_sort_grid.moc"
