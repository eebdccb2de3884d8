#include "results/enter_result.h"
#include "results/ranking.h"
#include "results/result_editing.h"
#include "results/results_table.h"
#include "results/sort_order.h"
#include "results_test_util.h"

#include <QSignalSpy>
#include <QtTest>

using namespace ResultsTestUtil;

namespace {

EntryFields run(const QString& stNr, const QString& skill, const QString& penalty, qint32 runTime,
                qint32 phaseOne = 0)
{
    EntryFields f;
    f.stNrText = stNr;
    f.driver = QStringLiteral("Fahrer ") + stNr;
    f.coDriver = QStringLiteral("Beifahrer");
    f.brand = QStringLiteral("Marke");
    f.year = QStringLiteral("1955");
    f.skillPointsText = skill;
    f.penaltyPointsText = penalty;
    f.phaseOneTime = phaseOne;
    f.runTime = runTime;
    return f;
}

QStringList column(const ResultsTable& t, int col)
{
    QStringList out;
    for (int r = 1; r < t.rowCount(); ++r)
        out << t.cell(col, r);
    return out;
}

} // namespace

class TestResultEntry : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void buildRow_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("skill");
        QTest::addColumn<QString>("penalty");
        QTest::addColumn<QString>("strafG");
        QTest::addColumn<QString>("strafZ");
        QTest::addColumn<QString>("ges");
        for (const QLocale& l : testLocales()) {
            const QString tag = localeTag(l);
            auto row = [&](const char* name) -> QTestData& {
                return QTest::newRow(qPrintable(name + tag)) << l;
            };
            row("whole skill, decimal penalty")
                << "3" << pts("2,5", l) << "3" << pts("2,5", l) << pts("5,5", l);
            row("skill 2,5 is not whole: 0")
                << pts("2,5", l) << pts("1,5", l) << "0" << pts("1,5", l) << pts("1,5", l);
            row("empty fields count 0") << ""
                                        << ""
                                        << "0"
                                        << "0"
                                        << "0";
            row("penalty not a number counts 0") << "4"
                                                 << "viel"
                                                 << "4"
                                                 << "0"
                                                 << "4";
            row("skill with blanks and leading zero") << " 07 "
                                                      << "0"
                                                      << "7"
                                                      << "0"
                                                      << "7";
            row("penalty with exponent") << "1"
                                         << "1e1"
                                         << "1"
                                         << "10"
                                         << "11";
        }
    }
    void buildRow()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, skill);
        QFETCH(QString, penalty);
        QFETCH(QString, strafG);
        QFETCH(QString, strafZ);
        QFETCH(QString, ges);
        const QStringList r = buildResultRow(run("12", skill, penalty, 83450), locale);
        QCOMPARE(r.size(), ResultsTable::ColumnCount);
        QCOMPARE(r[ResultsTable::StrafG], strafG);
        QCOMPARE(r[ResultsTable::StrafZ], strafZ);
        QCOMPARE(r[ResultsTable::Ges], ges);
        QCOMPARE(r[ResultsTable::Zeit1], QStringLiteral("0,00"));
        QCOMPARE(r[ResultsTable::Zeit2], QStringLiteral("1:23,45"));
        QCOMPARE(r[ResultsTable::Platz], QString());
    }

    void enterIntoEmptyTable()
    {
        const QLocale de(QLocale::German, QLocale::Germany);
        ResultsTable t;
        SortState s;
        QSignalSpy spy(&t, &ResultsTable::changed);
        EnterResult(t, s, run("12", "3", "2,5", 83450), de);
        QCOMPARE(spy.count(), 1); // one grouped change
        QCOMPARE(t.rowCount(), 2);
        QCOMPARE(t.row(1), (QStringList{"12", "Fahrer 12", "Beifahrer", "Marke", "1955", "3", "0,00",
                                        "1:23,45", "2,5", "5,5", "1"}));
        QCOMPARE(t.currentRow(), 1);
        QVERIFY(t.holdsResults());
    }

    void enteringRanksAndSelects_data()
    {
        QTest::addColumn<QLocale>("locale");
        for (const QLocale& l : testLocales())
            QTest::newRow(qPrintable("three runs" + localeTag(l))) << l;
    }
    void enteringRanksAndSelects()
    {
        QFETCH(QLocale, locale);
        ResultsTable t;
        SortState s;
        EnterResult(t, s, run("1", "5", "0", 60000), locale);
        EnterResult(t, s, run("2", "2", pts("0,5", locale), 70000), locale);
        EnterResult(t, s, run("3\tFahrer 3\tBeifahrer", "5", "0", 50000), locale);
        QCOMPARE(stnrAndPlatz(t), (QStringList{"2:1", "3:2", "1:3"}));
        QCOMPARE(t.cell(ResultsTable::StNr, t.currentRow()), QStringLiteral("3"));
    }

    void sameStartNumberTwiceReplacesRowAndMark()
    {
        const QLocale de(QLocale::German, QLocale::Germany);
        ResultsTable t;
        SortState s;
        EnterResult(t, s, run("12", "3", "0", 83450), de);
        EnterResult(t, s, run("7", "1", "0", 83450), de);
        t.setCurrentRow(t.findRow(0, "12"));
        markRetired(t, s, "12", de, 0);
        QCOMPARE(t.cell(ResultsTable::Platz, t.findRow(0, "12")), QStringLiteral("AUS"));
        EnterResult(t, s, run("12", "0", "0", 50000), de);
        QCOMPARE(column(t, ResultsTable::StNr), (QStringList{"12", "7"}));
        QCOMPARE(t.row(1).mid(5), (QStringList{"0", "0,00", "50,00", "0", "0", "1"}));
    }

    void startNumberWithTab()
    {
        const QLocale de(QLocale::German, QLocale::Germany);
        ResultsTable t;
        SortState s;
        EnterResult(t, s, run("12\tHans Huber\tEva", "0", "0", 1000), de);
        QCOMPARE(t.cell(ResultsTable::StNr, 1), QStringLiteral("12"));
        EnterResult(t, s, run("12", "1", "0", 1000), de); // same row, looked up without the tail
        QCOMPARE(t.dataRowCount(), 1);
        QCOMPARE(t.cell(ResultsTable::StrafG, 1), QStringLiteral("1"));
    }

    // Without a start number a run fills the first numberless row without a result; a row that
    // holds one is never overwritten by another numberless run.
    void emptyStartNumber_data()
    {
        QTest::addColumn<QVector<QStringList>>("rows");
        QTest::addColumn<int>("runs");
        QTest::addColumn<QStringList>("drivers");
        const QStringList timed{"", "B", "", "", "", "0", "0,00", "1:00,00", "0", "0", "1"};
        const QStringList cleared{"", "B"}; // names only, results emptied
        QTest::newRow("first of two rows without a result")
            << QVector<QStringList>{{"5", "A"}, {"", "B"}, {"", "C"}} << 1
            << QStringList{"Fahrer ", "A", "C"};
        QTest::newRow("row with a result is skipped")
            << QVector<QStringList>{{"5", "A"}, timed, {"", "C"}} << 1
            << QStringList{"Fahrer ", "B", "A"};
        QTest::newRow("only row with a result: appended")
            << QVector<QStringList>{timed} << 1 << QStringList{"Fahrer ", "B"};
        QTest::newRow("cleared row is filled") << QVector<QStringList>{cleared} << 1
                                               << QStringList{"Fahrer "};
        QTest::newRow("two numberless runs keep both")
            << QVector<QStringList>{{"5", "A"}} << 2 << QStringList{"Fahrer ", "Fahrer ", "A"};
    }
    void emptyStartNumber()
    {
        QFETCH(QVector<QStringList>, rows);
        QFETCH(int, runs);
        QFETCH(QStringList, drivers);
        const QLocale de(QLocale::German, QLocale::Germany);
        ResultsTable t;
        t.setRow(1, rows.first());
        for (int i = 1; i < rows.size(); ++i)
            t.appendRow(rows.at(i));
        SortState s;
        for (int i = 0; i < runs; ++i)
            EnterResult(t, s, run("", "0", "0", 1000 * (i + 1)), de);
        QCOMPARE(column(t, ResultsTable::Fahrer), drivers);
    }

    void emptyLastRowIsFilled()
    {
        const QLocale de(QLocale::German, QLocale::Germany);
        ResultsTable t;
        t.setRow(1, {"5", "A", "", "", "", "0", "0,00", "1:00,00", "0", "0", "1"});
        t.appendRow(ResultsTable::emptyRow());
        SortState s;
        EnterResult(t, s, run("6", "1", "0", 1000), de);
        QCOMPARE(t.dataRowCount(), 2);
        EnterResult(t, s, run("8", "1", "0", 2000), de);
        QCOMPARE(t.dataRowCount(), 3);
    }

    void absageEntersZeroTimes()
    {
        const QLocale de(QLocale::German, QLocale::Germany);
        ResultsTable t;
        SortState s;
        EnterResult(t, s, run("4", "2", "1,5", -1, -1), de);
        QCOMPARE(t.row(1).mid(5), (QStringList{"2", "0,00", "0,00", "1,5", "3,5", "1"}));
    }

    void eliminatingClosesTheGap()
    {
        const QLocale de(QLocale::German, QLocale::Germany);
        ResultsTable t;
        fill(t, {"1|1|0,00|1:00,00|", "2|2|0,00|1:00,00|", "3|3|0,00|1:00,00|"}, de);
        SortState s;
        RankResults(t, s, QString(), de);
        t.setCurrentRow(2);
        Eliminieren(t, s, QString(), de);
        QCOMPARE(stnrAndPlatz(t), (QStringList{"1:1", "3:2", "2:EL"}));
        QCOMPARE(t.row(3), (QStringList{"2", "Fahrer 2", "", "", "", "-", "EL", "EL", "-", "EL", "EL"}));
    }

    void retiredThenGaveUp()
    {
        const QLocale de(QLocale::German, QLocale::Germany);
        ResultsTable t;
        fill(t, {"1|1|0,00|1:00,00|", "2|2|0,00|1:00,00|", "3|3|0,00|1:00,00|"}, de);
        SortState s;
        RankResults(t, s, QString(), de);
        t.setCurrentRow(1);
        markRetired(t, s, QString(), de, 0);
        QCOMPARE(stnrAndPlatz(t), (QStringList{"1:AUS", "2:2", "3:3"}));
        t.setCurrentRow(1);
        markRetired(t, s, QString(), de, 1);
        QCOMPARE(stnrAndPlatz(t), (QStringList{"1:AUF", "2:2", "3:3"}));
        QCOMPARE(t.cell(ResultsTable::Ges, 1), QStringLiteral("1"));
        markRetired(t, s, QString(), de, 5); // unknown tag: nothing
        QCOMPARE(t.cell(ResultsTable::Platz, 1), QStringLiteral("AUF"));
    }

    void clearResultsOfEliminatedRow()
    {
        const QLocale de(QLocale::German, QLocale::Germany);
        ResultsTable t;
        fill(t, {"1|EL|EL|EL|EL", "2|2|0,00|1:00,00|", "3|3|0,00|1:00,00|"}, de);
        SortState s;
        RankResults(t, s, QString(), de);
        QCOMPARE(stnrAndPlatz(t), (QStringList{"2:1", "3:2", "1:EL"}));
        t.setCurrentRow(3);
        clearRowResults(t, s, QString(), de);
        QCOMPARE(stnrAndPlatz(t), (QStringList{"2:1", "3:2", "1:"}));
        QCOMPARE(t.row(3), (QStringList{"1", "Fahrer 1", "", "", "", "", "", "", "", "", ""}));
    }

    void deleteRow_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("current");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("expectedCurrent");
        const QStringList three{"1|1|0,00|1:00,00|1", "2|2|0,00|1:00,00|2", "3|3|0,00|1:00,00|3"};
        QTest::newRow("answer no changes nothing")
            << three << 2 << false << QStringList{"1:1", "2:2", "3:3"} << 2;
        QTest::newRow("middle row removed, ranks close up, row 1 current")
            << three << 2 << true << QStringList{"1:1", "3:2"} << 1;
        QTest::newRow("only row is emptied")
            << QStringList{"1|1|0,00|1:00,00|1"} << 1 << true << QStringList{":"} << 1;
    }
    void deleteRow()
    {
        QFETCH(QStringList, rows);
        QFETCH(int, current);
        QFETCH(bool, answer);
        QFETCH(QStringList, expected);
        QFETCH(int, expectedCurrent);
        const QLocale de(QLocale::German, QLocale::Germany);
        ResultsTable t;
        fill(t, rows, de);
        t.setCurrentRow(current);
        SortState s;
        QStringList asked;
        deleteCurrentRow(t, s, QString(), de, [&](const QString& q) {
            asked << q;
            return answer;
        });
        QCOMPARE(asked, QStringList{QStringLiteral("Zeile löschen ?")});
        QCOMPARE(stnrAndPlatz(t), expected);
        QCOMPARE(t.currentRow(), expectedCurrent);
        if (rows.size() == 1)
            QVERIFY(!t.holdsResults());
    }

    void sortierenRanks()
    {
        const QLocale en(QLocale::English, QLocale::UnitedStates);
        ResultsTable t;
        fill(t, {"1|10|0,00|1:00,00|", "2|2,5|0,00|1:00,00|"}, en);
        SortState s;
        s.direction = SortDirection::Descending;
        Sortieren(t, s, QString(), en);
        QCOMPARE(stnrAndPlatz(t), (QStringList{"2:1", "1:2"}));
    }
};

QTEST_GUILESS_MAIN(TestResultEntry)
#include "tst_result_entry.moc"
