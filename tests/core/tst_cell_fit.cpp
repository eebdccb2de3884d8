#include "displays/cell_fit.h"

#include <QTest>

namespace {

// Every character is as wide as the font size, "…" too.
double monospaced(const QString& text, int size)
{
    return double(text.size()) * size;
}

} // namespace

class TstCellFit : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void smallestSize_data();
    void smallestSize();
    void fit_data();
    void fit();
    void largestFittingSizeWithUnevenWidths();
    void keepsSurrogatePairsWhole();
};

void TstCellFit::smallestSize_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("smallest");
    QTest::addRow("even size halves") << 38 << 19;
    QTest::addRow("odd size rounds up, never below half") << 37 << 19;
    QTest::addRow("size 2") << 2 << 1;
    QTest::addRow("size 1 stays") << 1 << 1;
}

void TstCellFit::smallestSize()
{
    QFETCH(int, size);
    QTEST(smallestCellSize(size), "smallest");
}

void TstCellFit::fit_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("available");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("fittedSize");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("elided");
    // "12,5" is 4 characters: 4 x size wide.
    QTest::addRow("fits at the window's size") << "12,5" << 200.0 << 38 << 38 << "12,5" << false;
    QTest::addRow("exactly as wide as the cell fits") << "12,5" << 152.0 << 38 << 38 << "12,5" << false;
    QTest::addRow("one pixel too wide: one size smaller") << "12,5" << 151.0 << 38 << 37 << "12,5" << false;
    QTest::addRow("fits exactly at half the size") << "12,5" << 76.0 << 38 << 19 << "12,5" << false;
    QTest::addRow("too wide at half: cut at half the size")
        << "Obermüller" << 75.0 << 38 << 19 << "Ob…" << true;
    QTest::addRow("odd size: cut at the rounded-up half")
        << "Obermüller" << 60.0 << 37 << 19 << "Ob…" << true;
    QTest::addRow("a blank before the cut is dropped")
        << "Hans Huber" << 114.0 << 38 << 19 << "Hans…" << true;
    QTest::addRow("room for the ellipsis only") << "Obermüller" << 19.0 << 38 << 19 << "…" << true;
    QTest::addRow("no room at all: nothing shown") << "Obermüller" << 0.0 << 38 << 19 << "" << true;
    QTest::addRow("negative room: nothing shown") << "A" << -8.0 << 38 << 19 << "" << true;
    QTest::addRow("empty text stays empty") << "" << 0.0 << 38 << 38 << "" << false;
    QTest::addRow("one character, size 1") << "Z" << 1.0 << 1 << 1 << "Z" << false;
    QTest::addRow("two characters, size 1, room for one") << "AZ" << 1.0 << 1 << 1 << "…" << true;
}

void TstCellFit::fit()
{
    QFETCH(QString, text);
    QFETCH(double, available);
    QFETCH(int, size);
    const CellFit f = fitCellText(text, available, size, monospaced);
    QTEST(f.size, "fittedSize");
    QTEST(f.text, "shown");
    QTEST(f.elided, "elided");
    if (!f.text.isEmpty())
        QVERIFY(monospaced(f.text, f.size) <= available);
}

void TstCellFit::largestFittingSizeWithUnevenWidths()
{
    // Real faces do not scale exactly: some sizes are wider than their neighbours.
    const QVector<double> widthAt = {0, 10, 20, 31, 40, 52, 60, 69, 80, 95, 100, 108, 118};
    const auto uneven = [&](const QString&, int size) { return widthAt.value(size, 1e9); };
    for (int room = 0; room <= 120; ++room) {
        const CellFit f = fitCellText(QStringLiteral("x"), room, 12, uneven);
        int expected = 0;
        for (int s = 12; s >= 6 && expected == 0; --s)
            if (widthAt[s] <= room)
                expected = s;
        if (expected > 0) {
            QCOMPARE(f.size, expected);
            QVERIFY(!f.elided);
        } else {
            QCOMPARE(f.size, 6);
            QVERIFY(f.elided);
        }
    }
}

void TstCellFit::keepsSurrogatePairsWhole()
{
    // "A" + one character outside the basic plane (two UTF-16 units) + "Z".
    const QString text = QStringLiteral("A") + QString::fromUcs4(U"\U0001F69C") + QStringLiteral("Z");
    QCOMPARE(text.size(), 4);
    // Room for three units at size 1: "A", then the pair would need units 2 and 3 plus "…".
    const CellFit f = fitCellText(text, 3.0, 2, monospaced);
    QVERIFY(f.elided);
    QCOMPARE(f.text, QStringLiteral("A…"));
}

QTEST_GUILESS_MAIN(TstCellFit)
#include "tst_cell_fit.moc"
