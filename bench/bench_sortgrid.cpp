// Time of the results grid's update after a change of the table: the model
// reset, the view's layout and one paint, with the grid shown offscreen.
// Run: QT_QPA_PLATFORM=offscreen build/bin/bench_sortgrid -median 9
#include "results/SortGrid.h"
#include "results/results_model.h"
#include "results/results_table.h"

#include <QApplication>
#include <QtTest>
#include <algorithm>

namespace {

void fill(ResultsTable& table, int rows)
{
    table.beginUpdate();
    table.setRowCount(rows + 1);
    for (int r = 1; r <= rows; ++r)
        table.setRow(r,
                     {QString::number(r), QStringLiteral("Fahrer %1").arg(r), QStringLiteral("Beifahrer"),
                      QStringLiteral("Marke"), QStringLiteral("1960"), QString::number(r % 7),
                      QStringLiteral("0,00"), QStringLiteral("1:%1,00").arg(r % 60, 2, 10, QLatin1Char('0')),
                      QStringLiteral("0"), QString::number(r % 7), QString::number(r)});
    table.endUpdate();
}

void settle(TSortGrid& grid)
{
    QCoreApplication::processEvents();
    grid.viewport()->repaint();
}

} // namespace

class BenchSortGrid : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void reorderedTable_data()
    {
        QTest::addColumn<int>("rows");
        QTest::newRow("2000 rows") << 2000;
        QTest::newRow("10000 rows") << 10000;
    }
    // A sort: the rows reversed in one group, the tracked row made current.
    void reorderedTable()
    {
        QFETCH(int, rows);
        ResultsTable table;
        fill(table, rows);
        TSortGrid grid;
        grid.setResultsTable(&table);
        grid.resize(800, 500);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        settle(grid);
        QVector<int> order(rows);
        for (int i = 0; i < rows; ++i)
            order[i] = rows - i;
        QBENCHMARK
        {
            table.beginUpdate();
            table.reorder(order);
            table.setCurrentRow(table.trackedRow());
            table.endUpdate();
            settle(grid);
        }
        QCOMPARE(grid.resultsModel()->rowCount(), rows);
    }
    void appendedRow_data() { reorderedTable_data(); }
    // An entry: one row appended (the row count changes).
    void appendedRow()
    {
        QFETCH(int, rows);
        ResultsTable table;
        fill(table, rows);
        TSortGrid grid;
        grid.setResultsTable(&table);
        grid.resize(800, 500);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        settle(grid);
        QBENCHMARK
        {
            table.appendRow({QStringLiteral("999")});
            table.deleteRow(table.rowCount() - 1);
            settle(grid);
        }
    }
    void editedCell_data() { reorderedTable_data(); }
    // An in-place edit: one row repainted, no reset.
    void editedCell()
    {
        QFETCH(int, rows);
        ResultsTable table;
        fill(table, rows);
        TSortGrid grid;
        grid.setResultsTable(&table);
        grid.resize(800, 500);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        settle(grid);
        int n = 0;
        QBENCHMARK
        {
            table.setCell(ResultsTable::Fahrer, 3, QString::number(++n));
            settle(grid);
        }
    }
};

QTEST_MAIN(BenchSortGrid)
#include "bench_sortgrid.moc"
