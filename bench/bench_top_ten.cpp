#include "displays/FMonitor3.h"
#include "displays/TopTenGrid.h"

#include <QApplication>
#include <QTest>

namespace {

// Ten results whose names, makes and totals need smaller type in their columns.
QVector<QStringList> longNamedTable(int variant)
{
    QVector<QStringList> rows{{"St.Nr.", "Fahrer", "Beifahrer", "Marke", "Baujahr", "StrafG", "Zeit1",
                               "Zeit2", "StrafZ", "Ges.", "Platz"}};
    for (int i = 1; i <= 10; ++i) {
        const QString n = QString::number(i + variant);
        rows << QStringList{n,
                            QStringLiteral("Hans-Peter Obermüller ") + n,
                            QStringLiteral("Franziska Brandl-Huber ") + n,
                            QStringLiteral("Lanz Bulldog D 2806 Allzweck ") + n,
                            QStringLiteral("1952"),
                            QStringLiteral("12"),
                            QStringLiteral("1:01,00"),
                            QStringLiteral("1:44,4") + QString::number(i % 10),
                            QStringLiteral("1,3"),
                            QStringLiteral("12,") + QString::number(i % 10) + QStringLiteral("5"),
                            n};
    }
    return rows;
}

} // namespace

// The top ten's refresh (TIMER, START, EINTRAGEN, NÄCHSTER) with every cell fitted
// to its column, and its repaint, on a full-HD screen.
class BenchTopTen : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void refreshLongNames();
    void refreshAndPaint();
};

void BenchTopTen::refreshLongNames()
{
    TFormMonitor3 w;
    w.place(QRect(0, 0, 1920, 1080));
    int n = 0;
    const QVector<QStringList> tables[2] = {longNamedTable(0), longNamedTable(100)};
    QBENCHMARK
    {
        w.RefreshTopTen(QStringLiteral("Oldtimertreffen Sommerfest"), tables[++n % 2]);
    }
}

void BenchTopTen::refreshAndPaint()
{
    TFormMonitor3 w;
    w.place(QRect(0, 0, 1920, 1080));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    int n = 0;
    const QVector<QStringList> tables[2] = {longNamedTable(0), longNamedTable(100)};
    QBENCHMARK
    {
        w.RefreshTopTen(QStringLiteral("Oldtimertreffen Sommerfest"), tables[++n % 2]);
        w.grid()->repaint();
    }
}

QTEST_MAIN(BenchTopTen)
#include "bench_top_ten.moc"
