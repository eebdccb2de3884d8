#include "results/ranking.h"
#include "results/results_table.h"
#include "results/sort_order.h"
#include "results_test_util.h"

#include <QSignalSpy>
#include <QtTest>

using namespace ResultsTestUtil;

Q_DECLARE_METATYPE(SortDirection)

class TestRanking : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void compare_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("expected");
        struct Case {
            const char* name;
            int column;
            const char* a;
            const char* b;
            int expected;
        };
        const Case cases[] = {
            {"St.Nr. numeric, not textual", 0, "9", "10", -1},
            {"St.Nr. decimals with the locale separator", 0, "1,5", "1,25", 1},
            {"St.Nr. equal numbers in other spelling", 0, "1,0", "1", 0},
            {"St.Nr. not a number falls back to ordinal", 0, "10", "9a", -1},
            {"St.Nr. empty text is ordinal", 0, "", "1", -1},
            {"Platz mark after a rank (ordinal)", 10, "AUS", "2", 1},
            {"Fahrer case-insensitive for A-Z", 1, "Meier", "meier", 0},
            {"Fahrer lowercasing before comparing", 1, "[", "A", -1},
            {"Fahrer umlaut after ASCII letters", 1, "Zeller", "\xc3\x96lmann", -1},
            {"Fahrer umlauts are not lowercased", 1, "\xc3\x84", "\xc3\xa4", -1},
            {"Fahrer euro sign by its byte 0x80", 1, "\xe2\x82\xac", "z", 1},
            {"Fahrer prefix first", 1, "Ab", "Abc", -1},
            {"Baujahr ordinal", 4, "999", "1955", 1},
            {"Ges. numeric", 9, "10", "2,5", 1},
            {"Ges. not a number after every number", 9, "EL", "9999999998", 1},
            {"Ges. two non-numbers equal", 9, "EL", "", 0},
            {"Ges. equal values in other spelling", 9, "3", "3,0", 0},
            {"StrafG dash counts as not a number", 5, "-", "7", 1},
            {"Zeit2 shorter text is the smaller time", 7, "59,99", "1:00,00", -1},
            {"Zeit2 9,99 before 10,00", 7, "9,99", "10,00", -1},
            {"Zeit2 equal length by characters", 7, "1:05,00", "1:10,00", -1},
            {"Zeit2 EL shorter than any time", 7, "EL", "0,00", -1},
            {"Zeit2 dash longer than any time", 7, "-", "96:31:23,64", 1},
            {"Zeit1 blank and dash: same length, then ordinal", 6, "   ", "-", -1},
            {"Zeit1 empty and dash: same length, then ordinal", 6, "", "-", -1},
            {"Zeit1 dash after the longest time", 6, "-", "99:59:59,99", 1},
            {"Zeit1 EL before blank", 6, "EL", "", -1},
        };
        for (const QLocale& l : testLocales())
            for (const Case& c : cases) {
                const bool points = c.column == 0 || c.column == 9;
                const QString a = QString::fromUtf8(c.a);
                const QString b = QString::fromUtf8(c.b);
                QTest::newRow(qPrintable(QString::fromUtf8(c.name) + localeTag(l)))
                    << l << c.column << (points ? pts(a, l) : a) << (points ? pts(b, l) : b) << c.expected;
            }
    }
    void compare()
    {
        QFETCH(QLocale, locale);
        QFETCH(int, column);
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, expected);
        QCOMPARE(compareCells(column, a, b, locale), expected);
        QCOMPARE(compareCells(column, b, a, locale), -expected);
    }

    void styles()
    {
        QCOMPARE(SortGrid1GetSortStyle(0), SortStyle::Numeric);
        QCOMPARE(SortGrid1GetSortStyle(10), SortStyle::Numeric);
        for (int c = 1; c <= 4; ++c)
            QCOMPARE(SortGrid1GetSortStyle(c), SortStyle::Normal);
        for (int c = 5; c <= 9; ++c)
            QCOMPARE(SortGrid1GetSortStyle(c), SortStyle::Custom);
    }

    void keyList()
    {
        QCOMPARE(sortKeyList(9, "6"), (QVector<int>{9, 6}));
        QCOMPARE(sortKeyList(6, "6"), (QVector<int>{6}));
        QCOMPARE(sortKeyList(1, "6, 7,x,99"), (QVector<int>{1, 6, 7}));
    }

    void rank_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QStringList>("rows"); // "stnr|ges|zeit1|zeit2|platz"
        QTest::addColumn<QStringList>("expected");
        for (const QLocale& l : testLocales()) {
            const QString tag = localeTag(l);
            auto row = [&](const char* name) -> QTestData& {
                return QTest::newRow(qPrintable(name + tag)) << l;
            };
            row("example: ties share, marks keep place")
                << QStringList{"7|5|0,00|1:10,00|", "3|4|0,00|1:20,00|", "9|5|0,00|1:05,00|",
                               "4|5|0,00|1:05,00|", "8|EL|EL|EL|EL",     "2|6|0,00|59,00|AUS"}
                << QStringList{"3:1", "9:2", "4:2", "7:4", "2:AUS", "8:EL"};
            row("totals numeric, not textual")
                << QStringList{"1|10|0,00|1:00,00|", "2|3|0,00|1:00,00|", "3|2,5|0,00|1:00,00|"}
                << QStringList{"3:1", "2:2", "1:3"};
            row("tie across an AUF row shares the rank")
                << QStringList{"1|4|0,00|1:00,00|", "2|4|0,00|1:00,00|AUF", "3|4|0,00|1:00,00|",
                               "4|5|0,00|1:00,00|"}
                << QStringList{"1:1", "2:AUF", "3:1", "4:4"};
            row("AUS between totals 3 and 5 uses up its position")
                << QStringList{"5|5|0,00|1:00,00|", "4|4|0,00|1:00,00|AUS", "3|3|0,00|1:00,00|"}
                << QStringList{"3:1", "4:AUS", "5:3"};
            row("two phases: Zeit1 first, then Zeit2")
                << QStringList{"1|5|1:00,00|30,00|", "2|5|59,00|50,00|", "3|5|59,00|40,00|"}
                << QStringList{"3:1", "2:2", "1:3"};
            row("59,99 before 1:00,00")
                << QStringList{"1|5|0,00|1:00,00|", "2|5|0,00|59,99|"} << QStringList{"2:1", "1:2"};
            row("EL before cleared, both after numbers")
                << QStringList{"1|||||", "2|EL|EL|EL|EL", "3|7|0,00|1:00,00|"}
                << QStringList{"3:1", "2:EL", "1:"};
            row("blank total keeps a stale Platz")
                << QStringList{"1| |||9", "2|1|0,00|1:00,00|5"} << QStringList{"2:1", "1:9"};
            row("same total, other time text: own rank")
                << QStringList{"1|5|0,00|1:00,00|", "2|5|0,00|1:00,01|", "3|5|0,00|1:00,01|"}
                << QStringList{"1:1", "2:2", "3:2"};
            row("total that is not a number is still ranked, last")
                << QStringList{"1|abc|0,00|1:00,00|", "2|9|0,00|1:00,00|"} << QStringList{"2:1", "1:2"};
        }
    }
    void rank()
    {
        QFETCH(QLocale, locale);
        QFETCH(QStringList, rows);
        QFETCH(QStringList, expected);
        ResultsTable t;
        fill(t, rows, locale);
        SortState s;
        RankResults(t, s, QString(), locale);
        QCOMPARE(stnrAndPlatz(t), expected);
        QCOMPARE(s.sortColumn, 9);
        QCOMPARE(s.direction, SortDirection::Ascending);
    }

    void rankSelectsStartNumberRow()
    {
        const QLocale l = testLocales().first();
        ResultsTable t;
        fill(t, {"7|5|0,00|1:10,00|", "3|4|0,00|1:20,00|", "9|6|0,00|1:05,00|"}, l);
        SortState s;
        RankResults(t, s, QStringLiteral("7\tFahrer 7\tBeifahrer"), l);
        QCOMPARE(t.cell(ResultsTable::StNr, t.currentRow()), QStringLiteral("7"));
    }

    void rankingAnEmptyTableChangesNothing()
    {
        ResultsTable t;
        SortState s;
        QSignalSpy spy(&t, &ResultsTable::changed);
        RankResults(t, s, QString(), QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(t.rowCount(), 2);
        QVERIFY(!t.holdsResults());
        QCOMPARE(spy.count(), 0);
    }

    void headerSortThenRank_data()
    {
        QTest::addColumn<QLocale>("locale");
        for (const QLocale& l : testLocales())
            QTest::newRow(qPrintable("Ges. descending" + localeTag(l))) << l;
    }
    void headerSortThenRank()
    {
        QFETCH(QLocale, locale);
        ResultsTable t;
        fill(t, {"1|2,5|0,00|1:00,00|", "2|10|0,00|1:00,00|", "3|3|0,00|1:00,00|"}, locale);
        SortState s;
        RankResults(t, s, QString(), locale);
        headerClick(s, ResultsTable::Ges, false); // same column again: descending
        QCOMPARE(s.direction, SortDirection::Descending);
        sortByColumn(t, s, ResultsTable::Ges, locale);
        QCOMPARE(stnrAndPlatz(t), (QStringList{"2:3", "3:2", "1:1"})); // ranks untouched
        RankResults(t, s, QString(), locale);
        QCOMPARE(stnrAndPlatz(t), (QStringList{"1:1", "3:2", "2:3"}));
        QCOMPARE(s.direction, SortDirection::Ascending);
    }

    void descendingKeepsEqualRowsInOrder()
    {
        const QLocale l = testLocales().first();
        ResultsTable t;
        t.setRow(1, {"1", "Meier"});
        t.appendRow({"2", "Bauer"});
        t.appendRow({"3", "meier"});
        t.appendRow({"4", "bach"});
        SortState s;
        s.secondaryKeys.clear();
        s.direction = SortDirection::Descending;
        sortByColumn(t, s, ResultsTable::Fahrer, l);
        QStringList order;
        for (int r = 1; r < t.rowCount(); ++r)
            order << t.cell(0, r);
        QCOMPARE(order, (QStringList{"1", "3", "2", "4"}));
        QCOMPARE(s.sortColumn, int(ResultsTable::Fahrer));
    }

    void secondaryKeyDecidesTies()
    {
        const QLocale l = testLocales().first();
        ResultsTable t;
        t.setRow(1, {"1", "Meier", "", "", "", "", "1:00,00"});
        t.appendRow({"2", "Meier", "", "", "", "", "59,00"});
        t.appendRow({"3", "Adam", "", "", "", "", "2:00,00"});
        SortState s; // secondary key "6": Zeit1
        sortByColumn(t, s, ResultsTable::Fahrer, l);
        QCOMPARE(t.cell(0, 1), QStringLiteral("3"));
        QCOMPARE(t.cell(0, 2), QStringLiteral("2"));
        QCOMPARE(t.cell(0, 3), QStringLiteral("1"));
    }

    void selectedCompetitorStaysCurrentThroughASort_data()
    {
        QTest::addColumn<int>("selected"); // row made current before the sort
        QTest::addColumn<QString>("startNumber");
        QTest::newRow("first row") << 1 << "3";
        QTest::newRow("middle row") << 2 << "1";
        QTest::newRow("last row") << 3 << "2";
    }
    void selectedCompetitorStaysCurrentThroughASort()
    {
        QFETCH(int, selected);
        QFETCH(QString, startNumber);
        const QLocale l = testLocales().first();
        ResultsTable t;
        t.setRow(1, {"3"});
        t.appendRow({"1"});
        t.appendRow({"2"});
        t.setTrackedRow(3);
        // Whoever makes a row current (the operator or the ranking), that row is the
        // one the next command acts on, also after the sort.
        t.setCurrentRow(selected);
        QCOMPARE(t.trackedRow(), selected);
        SortState s;
        sortByColumn(t, s, ResultsTable::StNr, l);
        QCOMPARE(t.cell(0, t.currentRow()), startNumber);
        QCOMPARE(t.trackedRow(), t.currentRow());
    }

    void notSortableDoesNothing()
    {
        const QLocale l = testLocales().first();
        ResultsTable t;
        t.setRow(1, {"2"});
        t.appendRow({"1"});
        SortState s;
        s.sortable = false;
        sortByColumn(t, s, ResultsTable::StNr, l);
        QCOMPARE(t.cell(0, 1), QStringLiteral("2"));
        QCOMPARE(s.sortColumn, 9);
    }

    void sortInTurnMatchesSortsOneByOne_data()
    {
        QTest::addColumn<SortDirection>("direction");
        QTest::newRow("ascending") << SortDirection::Ascending;
        QTest::newRow("descending") << SortDirection::Descending;
    }
    void sortInTurnMatchesSortsOneByOne()
    {
        QFETCH(SortDirection, direction);
        const QLocale l = testLocales().first();
        const QStringList pool[] = {{"1", "2", "10", "x", ""},
                                    {"Meier", "meier", "Adam", "\xc3\x96l"},
                                    {"0,00", "59,99", "1:00,00", "EL", "-", ""},
                                    {"3", "2,5", "10", "EL", ""}};
        const int columnOf[] = {0, 1, 6, 9};
        ResultsTable a;
        ResultsTable b;
        QRandomGenerator rng(42);
        a.setRowCount(201);
        b.setRowCount(201);
        for (int r = 1; r <= 200; ++r) {
            QStringList row = ResultsTable::emptyRow();
            for (int i = 0; i < 4; ++i)
                row[columnOf[i]] = pool[i][int(rng.bounded(int(pool[i].size())))];
            row[7] = pool[2][int(rng.bounded(6))];
            row[10] = QString::number(r);
            a.setRow(r, row);
            b.setRow(r, row);
        }
        SortState sa;
        sa.direction = direction;
        SortState sb = sa;
        sa.secondaryKeys = "6,0";
        sortByColumn(a, sa, 7, l);
        sa.secondaryKeys = "1";
        sortByColumn(a, sa, 9, l);
        sortInTurn(b, sb, {{7, "6,0"}, {9, "1"}}, l);
        QCOMPARE(b.rows(), a.rows());
        QCOMPARE(sb.sortColumn, sa.sortColumn);
    }

    void headerClickDirection_data()
    {
        QTest::addColumn<SortDirection>("before");
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("right");
        QTest::addColumn<SortDirection>("after");
        const auto asc = SortDirection::Ascending;
        const auto desc = SortDirection::Descending;
        QTest::newRow("descending turns ascending") << desc << 9 << false << asc;
        QTest::newRow("descending, other column: ascending") << desc << 1 << false << asc;
        QTest::newRow("ascending, same column: descending") << asc << 9 << false << desc;
        QTest::newRow("ascending, other column: ascending") << asc << 1 << false << asc;
        QTest::newRow("right button: always descending") << desc << 1 << true << desc;
        QTest::newRow("right button on another column") << asc << 1 << true << desc;
    }
    void headerClickDirection()
    {
        QFETCH(SortDirection, before);
        QFETCH(int, column);
        QFETCH(bool, right);
        QFETCH(SortDirection, after);
        SortState s;
        s.direction = before;
        headerClick(s, column, right);
        QCOMPARE(s.direction, after);
    }
};

QTEST_GUILESS_MAIN(TestRanking)
#include "tst_ranking.moc"
