#include "app/competitor_entry.h"

#include <QtTest>

class TestCompetitorEntry : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void entryFields_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("a full protocol line")
            << "7\tMax Bauer\tEva Bauer\tLanz\t1955\t2\t" << QStringList{"7", "Max Bauer", "Eva Bauer", "Lanz", "1955", "2", ""};
        QTest::newRow("no tab: the whole line is the start number") << "12" << QStringList{"12"};
        QTest::newRow("the writer's single blank keeps the empty co-driver in its column")
            << "3\tHans Huber\t \tFendt\t1960" << QStringList{"3", "Hans Huber", "", "Fendt", "1960"};
        QTest::newRow("two adjacent tabs keep the column too")
            << "3\tHans\t\tFendt" << QStringList{"3", "Hans", "", "Fendt"};
        QTest::newRow("leading blanks dropped, trailing kept")
            << "  5\t  Anna  \tB" << QStringList{"5", "Anna  ", "B"};
    }
    void entryFields()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, fields);
        QCOMPARE(CompetitorEntry::entryFields(line), fields);
    }

    void startNumberIsTheTextBeforeTheFirstTab_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("number");
        QTest::newRow("typed") << "12" << "12";
        QTest::newRow("start-list entry") << "12\tMax\tEva" << "12";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("leading tab") << "\tMax" << "";
    }
    void startNumberIsTheTextBeforeTheFirstTab()
    {
        QFETCH(QString, text);
        QFETCH(QString, number);
        QCOMPARE(CompetitorEntry::startNumberOf(text), number);
    }

    void addOnePoint_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("empty gives 0") << "" << "0";
        QTest::newRow("7 gives 8") << "7" << "8";
        QTest::newRow("not a number gives 0") << "2,5" << "0";
        QTest::newRow("largest number does not overflow") << "2147483647" << "0";
    }
    void addOnePoint()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QCOMPARE(CompetitorEntry::addOnePoint(before), after);
    }

    void yearListRunsFromThisYearTo1900()
    {
        const QStringList years = CompetitorEntry::yearList(2026);
        QCOMPARE(years.first(), QStringLiteral("2026"));
        QCOMPARE(years.last(), QStringLiteral("1900"));
        QCOMPARE(years.size(), 127);
    }

    // The arrows and the position label always follow the selected index.
    void startListPositionFollowsTheIndex_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("back");
        QTest::addColumn<bool>("forward");
        QTest::addColumn<QString>("label");
        QTest::newRow("no list") << -1 << 0 << false << false << "0 von 0";
        QTest::newRow("one entry") << 0 << 1 << false << false << "1 von 1";
        QTest::newRow("first of two") << 0 << 2 << false << true << "1 von 2";
        QTest::newRow("last of two") << 1 << 2 << true << false << "2 von 2";
        QTest::newRow("none selected after the last of three") << -1 << 3 << false << true << "0 von 3";
        QTest::newRow("none selected in a list of one leads to it") << -1 << 1 << false << true << "0 von 1";
        QTest::newRow("index past the end counts as the last") << 7 << 3 << true << false << "3 von 3";
    }
    void startListPositionFollowsTheIndex()
    {
        QFETCH(int, index);
        QFETCH(int, count);
        QFETCH(bool, back);
        QFETCH(bool, forward);
        QFETCH(QString, label);
        const CompetitorEntry::StartListPosition p = CompetitorEntry::startListPosition(index, count);
        QCOMPARE(p.back, back);
        QCOMPARE(p.forward, forward);
        QCOMPARE(p.label, label);
    }

    void pointsKeys_data()
    {
        QTest::addColumn<QChar>("key");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("digit") << QChar('5') << true;
        QTest::newRow("backspace") << QChar(8) << true;
        QTest::newRow("letter") << QChar('a') << false;
        QTest::newRow("comma") << QChar(',') << false;
        QTest::newRow("minus") << QChar('-') << false;
    }
    void pointsKeys()
    {
        QFETCH(QChar, key);
        QFETCH(bool, accepted);
        QCOMPARE(CompetitorEntry::acceptsPointsKey(key), accepted);
    }
};

QTEST_GUILESS_MAIN(TestCompetitorEntry)
#include "tst_competitor_entry.moc"
