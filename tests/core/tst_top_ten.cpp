#include "displays/top_ten.h"

#include <QTest>

namespace {

QStringList header()
{
    return {"St.Nr.", "Fahrer", "Beifahrer", "Marke", "Baujahr", "StrafG",
            "Zeit1",  "Zeit2",  "StrafZ",    "Ges.",  "Platz"};
}

QStringList row(int n)
{
    const QString s = QString::number(n);
    return {s,         "Fahrer" + s,      "Beif" + s, "Marke" + s, "1960", "3",
            "1:00,00", "1:0" + s + ",00", "0," + s,   "3," + s,    s};
}

} // namespace

class TstTopTen : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void columnsFromTable();
    void lines_data();
    void lines();
    void shortRowDoesNotCrash();
};

void TstTopTen::columnsFromTable()
{
    const auto lines = topTenLines({header(), row(7)});
    QCOMPARE(lines.at(0), (QStringList{"3,7", "Fahrer7", "Marke7", "Beif7", "1:07,00", "0,7"}));
}

void TstTopTen::lines_data()
{
    QTest::addColumn<QVector<QStringList>>("table");
    QTest::addColumn<QStringList>("firstCells"); // "Ges." of each of the ten lines
    QVector<QStringList> twelve{header()};
    for (int i = 1; i <= 12; ++i)
        twelve << row(i);
    QTest::addRow("first ten of twelve")
        << twelve << QStringList{"3,1", "3,2", "3,3", "3,4", "3,5", "3,6", "3,7", "3,8", "3,9", "3,10"};
    QTest::addRow("fewer than ten leave empty lines")
        << QVector<QStringList>{header(), row(1), row(2)}
        << QStringList{"3,1", "3,2", "", "", "", "", "", "", "", ""};
    QStringList blank = row(2);
    blank[0].clear();
    QTest::addRow("empty St.Nr. is an empty line")
        << QVector<QStringList>{header(), row(1), blank, row(3)}
        << QStringList{"3,1", "", "3,3", "", "", "", "", "", "", ""};
    QTest::addRow("header only") << QVector<QStringList>{header()} << QStringList(10, QString());
    QTest::addRow("nothing at all") << QVector<QStringList>{} << QStringList(10, QString());
}

void TstTopTen::lines()
{
    QFETCH(QVector<QStringList>, table);
    QFETCH(QStringList, firstCells);
    const auto lines = topTenLines(table);
    QCOMPARE(lines.size(), 10);
    for (int i = 0; i < 10; ++i) {
        QCOMPARE(lines.at(i).size(), 6);
        QCOMPARE(lines.at(i).at(0), firstCells.at(i));
        if (firstCells.at(i).isEmpty())
            QCOMPARE(lines.at(i).join(QString()), QString());
    }
}

void TstTopTen::shortRowDoesNotCrash()
{
    const auto lines = topTenLines({header(), {"5", "Anna"}});
    QCOMPARE(lines.at(0), (QStringList{"", "Anna", "", "", "", ""}));
}

QTEST_GUILESS_MAIN(TstTopTen)
#include "tst_top_ten.moc"
