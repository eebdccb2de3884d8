#include "displays/digit_geometry.h"

#include <QTest>

class TstDigitGeometry : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void digitTable_data();
    void digitTable();
    void outOfRangeShowsZero();
    void firstRowDigitTopBar();
    void shapesInPaintOrder();
    void allShapesInsideControl_data();
    void allShapesInsideControl();
    void thicknessFits_data();
    void thicknessFits();
};

void TstDigitGeometry::digitTable_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("pattern");
    const int patterns[10] = {125, 80, 55, 87, 90, 79, 111, 81, 127, 95};
    for (int v = 0; v < 10; ++v)
        QTest::addRow("digit %d", v) << v << patterns[v];
}

void TstDigitGeometry::digitTable()
{
    QFETCH(int, value);
    QFETCH(int, pattern);
    QCOMPARE(int(digit::patternFor(value)), pattern);
    QVERIFY((digit::patternFor(value) & digit::CornerMark) == 0);
}

void TstDigitGeometry::outOfRangeShowsZero()
{
    QVERIFY(!digit::inRange(10));
    QVERIFY(!digit::inRange(-1));
    QCOMPARE(int(digit::patternFor(10)), 125);
    QCOMPARE(int(digit::patternFor(-1)), 125);
}

void TstDigitGeometry::firstRowDigitTopBar()
{
    const auto shapes = digit::segments(54, 89, 5, 1);
    const QVector<QPoint> top{{6, 5}, {11, 0}, {42, 0}, {47, 5}, {42, 10}, {11, 10}};
    QCOMPARE(shapes.at(0).points, top);
    // W1 = 53, H1 = 88, hm = 44: middle bar from y0 = 39, bottom bar from 78.
    QCOMPARE(shapes.at(1).points.at(1), QPoint(11, 39));
    QCOMPARE(shapes.at(2).points.at(4), QPoint(42, 88));
    // Lower right bar: x0 = 43, y0 = 39.
    const QVector<QPoint> lowerRight{{43, 50}, {48, 45}, {53, 50}, {53, 77}, {48, 82}, {43, 77}};
    QCOMPARE(shapes.at(6).points, lowerRight);
    const QVector<QPoint> mark{{53, 88}, {44, 88}, {53, 79}};
    QCOMPARE(shapes.at(7).points, mark);
}

void TstDigitGeometry::shapesInPaintOrder()
{
    const auto shapes = digit::segments(16, 32, 2, 1);
    QCOMPARE(shapes.size(), 8);
    const quint8 order[8] = {digit::Top,        digit::Middle,    digit::Bottom,     digit::UpperLeft,
                             digit::UpperRight, digit::LowerLeft, digit::LowerRight, digit::CornerMark};
    for (int i = 0; i < 8; ++i)
        QCOMPARE(shapes.at(i).bit, order[i]);
    // Default digit: bars 2 t = 4 pixels wide.
    QCOMPARE(shapes.at(0).points.at(5).y() - shapes.at(0).points.at(1).y(), 4);
    QCOMPARE(shapes.at(3).points.at(2).x() - shapes.at(3).points.at(0).x(), 4);
}

void TstDigitGeometry::allShapesInsideControl_data()
{
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("t");
    QTest::addRow("default") << 16 << 32 << 2;
    QTest::addRow("main window first row") << 54 << 89 << 5;
    QTest::addRow("full HD display") << 239 << 365 << 22;
}

void TstDigitGeometry::allShapesInsideControl()
{
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(int, t);
    for (const auto& shape : digit::segments(w, h, t, 1))
        for (const QPoint& pt : shape.points)
            QVERIFY2(pt.x() >= 0 && pt.x() < w && pt.y() >= 0 && pt.y() < h,
                     qPrintable(QStringLiteral("bit %1 point %2,%3").arg(shape.bit).arg(pt.x()).arg(pt.y())));
}

void TstDigitGeometry::thicknessFits_data()
{
    QTest::addColumn<int>("t");
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<bool>("fits");
    QTest::addRow("9 on 16 wide rejected") << 9 << 16 << 32 << false;
    QTest::addRow("9 on 18x32 accepted") << 9 << 18 << 32 << true;
    QTest::addRow("half of odd width truncates") << 9 << 19 << 32 << true;
    QTest::addRow("too thick for height") << 9 << 40 << 17 << false;
    QTest::addRow("8 on 16x32 accepted") << 8 << 16 << 32 << true;
}

void TstDigitGeometry::thicknessFits()
{
    QFETCH(int, t);
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(bool, fits);
    QCOMPARE(digit::thicknessFits(t, w, h), fits);
}

QTEST_GUILESS_MAIN(TstDigitGeometry)
#include "tst_digit_geometry.moc"
