#include "protocol/print_layout.h"

#include <QTest>

#include <numeric>

using namespace PrintLayout;

namespace {

double sum(const QVector<double>& v)
{
    return std::accumulate(v.begin(), v.end(), 0.0);
}

} // namespace

class TstPrintLayout : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void columnsOfTheView_data();
    void columnsOfTheView();
    void alignment_data();
    void alignment();
    void widths_data();
    void widths();
    void pages_data();
    void pages();
    void pageNumbers();
    void blankRowsAreLeftOut();
};

void TstPrintLayout::columnsOfTheView_data()
{
    QTest::addColumn<QVector<int>>("viewWidths");
    QTest::addColumn<QVector<int>>("printed");
    QTest::addRow("all eleven shown")
        << QVector<int>(11, 50) << QVector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    QTest::addRow("hidden StrafG and Zeit1 (width -1)")
        << QVector<int>{45, 200, 150, 120, 50, -1, -1, 66, 46, 46, 38}
        << QVector<int>{0, 1, 2, 3, 4, 7, 8, 9, 10};
    QTest::addRow("squeezed to width 0 in a narrow window: printed")
        << QVector<int>{45, 0, 0, 0, 50, 43, 66, 66, 46, 46, 38}
        << QVector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    QTest::addRow("first and last hidden")
        << QVector<int>{-1, 1, 50, 50, 50, 50, 50, 50, 50, 50, -1} << QVector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9};
    QTest::addRow("missing widths count as shown")
        << QVector<int>{-1, 10} << QVector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
}

void TstPrintLayout::columnsOfTheView()
{
    QFETCH(QVector<int>, viewWidths);
    QTEST(printedColumns(viewWidths, 11), "printed");
}

void TstPrintLayout::alignment_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("right");
    QTest::addRow("St.Nr. (first column)") << 0 << true;
    QTest::addRow("Fahrer") << 1 << false;
    QTest::addRow("Beifahrer") << 2 << false;
    QTest::addRow("Marke") << 3 << false;
    QTest::addRow("Baujahr") << 4 << true;
    QTest::addRow("Zeit2") << 7 << true;
    QTest::addRow("Platz (last column)") << 10 << true;
}

void TstPrintLayout::alignment()
{
    QFETCH(int, column);
    QTEST(rightAligned(column), "right");
    QCOMPARE(wraps(column), !rightAligned(column));
}

void TstPrintLayout::widths_data()
{
    QTest::addColumn<QVector<double>>("natural");
    QTest::addColumn<QVector<bool>>("wrapping");
    QTest::addColumn<double>("available");
    QTest::addColumn<QVector<double>>("expected");
    QTest::addRow("room to spare goes to the name columns")
        << QVector<double>{20, 100, 50, 20} << QVector<bool>{false, true, true, false} << 290.0
        << QVector<double>{20, 100 + 200.0 / 3, 50 + 100.0 / 3, 20};
    QTest::addRow("exactly fitting stays")
        << QVector<double>{20, 100, 30} << QVector<bool>{false, true, false} << 150.0
        << QVector<double>{20, 100, 30};
    QTest::addRow("no name column: spare shared by all")
        << QVector<double>{10, 30} << QVector<bool>{false, false} << 80.0 << QVector<double>{20, 60};
    QTest::addRow("too narrow: the widest name column gives first")
        << QVector<double>{20, 200, 60, 20} << QVector<bool>{false, true, true, false} << 200.0
        << QVector<double>{20, 100, 60, 20};
    QTest::addRow("too narrow: both name columns shrink to one width")
        << QVector<double>{20, 200, 150, 20} << QVector<bool>{false, true, true, false} << 160.0
        << QVector<double>{20, 60, 60, 20};
    QTest::addRow("name columns keep their minimum, numbers their natural width")
        << QVector<double>{40, 200, 200, 40} << QVector<bool>{false, true, true, false} << 180.0
        << QVector<double>{40, 50, 50, 40};
    QTest::addRow("far too narrow: everything in proportion")
        << QVector<double>{100, 200, 100} << QVector<bool>{false, true, false} << 200.0
        << QVector<double>{50, 100, 50};
    QTest::addRow("one column") << QVector<double>{30} << QVector<bool>{true} << 100.0
                                << QVector<double>{100};
    QTest::addRow("no room") << QVector<double>{30, 30} << QVector<bool>{true, false} << 0.0
                             << QVector<double>{0, 0};
}

void TstPrintLayout::widths()
{
    QFETCH(QVector<double>, natural);
    QFETCH(QVector<bool>, wrapping);
    QFETCH(double, available);
    QFETCH(QVector<double>, expected);
    const QVector<double> got = columnWidths(natural, wrapping, available, 50.0);
    QCOMPARE(got.size(), expected.size());
    for (int i = 0; i < got.size(); ++i)
        QVERIFY2(
            qAbs(got[i] - expected[i]) < 0.01,
            qPrintable(QStringLiteral("column %1: %2, expected %3").arg(i).arg(got[i]).arg(expected[i])));
    QVERIFY(qAbs(sum(got) - available) < 0.01);
}

void TstPrintLayout::pages_data()
{
    QTest::addColumn<QVector<double>>("rows");
    QTest::addColumn<double>("firstBody");
    QTest::addColumn<double>("otherBody");
    QTest::addColumn<QVector<int>>("counts"); // rows on each page
    // Header band 10 high on every page.
    QTest::addRow("no rows: one page with the header")
        << QVector<double>{} << 100.0 << 100.0 << QVector<int>{0};
    QTest::addRow("one row") << QVector<double>{10} << 100.0 << 100.0 << QVector<int>{1};
    QTest::addRow("two rows") << QVector<double>{10, 10} << 100.0 << 100.0 << QVector<int>{2};
    QTest::addRow("rows filling the first page exactly")
        << QVector<double>(9, 10) << 100.0 << 100.0 << QVector<int>{9};
    QTest::addRow("one row more goes to page two")
        << QVector<double>(10, 10) << 100.0 << 100.0 << QVector<int>{9, 1};
    QTest::addRow("first page shorter by the title block")
        << QVector<double>(20, 10) << 60.0 << 100.0 << QVector<int>{5, 9, 6};
    QTest::addRow("a wrapped row moves whole to the next page")
        << QVector<double>{10, 10, 10, 30} << 50.0 << 100.0 << QVector<int>{3, 1};
    QTest::addRow("a row taller than a page gets a page of its own")
        << QVector<double>{10, 500, 10} << 100.0 << 100.0 << QVector<int>{1, 1, 1};
    QTest::addRow("120 rows") << QVector<double>(120, 10) << 300.0 << 400.0 << QVector<int>{29, 39, 39, 13};
}

void TstPrintLayout::pages()
{
    QFETCH(QVector<double>, rows);
    QFETCH(double, firstBody);
    QFETCH(double, otherBody);
    QFETCH(QVector<int>, counts);
    const QVector<PageRows> pages = paginate(rows, 10.0, firstBody, otherBody);
    QVector<int> got;
    int next = 0;
    for (const PageRows& p : pages) {
        QCOMPARE(p.first, next); // every row once, in order
        next += p.count;
        got.append(p.count);
    }
    QCOMPARE(got, counts);
    QCOMPARE(next, int(rows.size()));
}

void TstPrintLayout::pageNumbers()
{
    QCOMPARE(pageNumberText(1, 1), QStringLiteral("Seite 1 von 1"));
    QCOMPARE(pageNumberText(12, 12), QStringLiteral("Seite 12 von 12"));
}

void TstPrintLayout::blankRowsAreLeftOut()
{
    const QVector<QStringList> table{{"St.Nr.", "Fahrer"}, {"7", "Max"}, {"", " "}, {}, {"", "Eva"}};
    QCOMPARE(printedRows(table), (QVector<int>{1, 4}));
    QCOMPARE(printedRows({{"St.Nr."}}), QVector<int>{});
}

QTEST_GUILESS_MAIN(TstPrintLayout)
#include "tst_print_layout.moc"
