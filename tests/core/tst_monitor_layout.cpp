#include "displays/monitor_layout.h"

#include <QTest>

#include <cmath>

class TstMonitorLayout : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void roundsHalvesToEven_data();
    void roundsHalvesToEven();
    void timeDisplay_data();
    void timeDisplay();
    void timeDisplayRowInsideWindow_data();
    void timeDisplayRowInsideWindow();
    void timeDisplaySigns_data();
    void timeDisplaySigns();
    void scaleStableAndSafe();
    void topTen_data();
    void topTen();
};

void TstMonitorLayout::roundsHalvesToEven_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<int>("rounded");
    QTest::addRow("half to even zero") << 0.5 << 0;
    QTest::addRow("one and a half up") << 1.5 << 2;
    QTest::addRow("two and a half down") << 2.5 << 2;
    QTest::addRow("negative half") << -0.5 << 0;
    QTest::addRow("negative one and a half") << -1.5 << -2;
    QTest::addRow("below half") << 2.4999 << 2;
    QTest::addRow("above half") << 96.6 << 97;
    QTest::addRow("negative above half") << -2.6 << -3;
}

void TstMonitorLayout::roundsHalvesToEven()
{
    QFETCH(double, x);
    QFETCH(int, rounded);
    QCOMPARE(roundHalfEven(x), rounded);
}

void TstMonitorLayout::timeDisplay_data()
{
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("labH");
    QTest::addColumn<int>("titleH");
    QTest::addColumn<int>("rowH");
    QTest::addColumn<int>("row1Top");
    QTest::addColumn<int>("row2Top");
    QTest::addColumn<int>("lab2Top");
    QTest::addColumn<QRect>("digit3");
    QTest::addColumn<QRect>("digit8");
    QTest::addColumn<int>("thickness");
    // xs = 1920 / 433: 19 px caption -> 84, title 84 x 1.15 = 96.6 -> 97, rows (1080 - 84 - 97 - 168) div 2.
    QTest::addRow("1920x1080") << 1920 << 1080 << 84 << 97 << 365 << 181 << 673 << 589
                               << QRect(35, 181, 240, 365) << QRect(1632, 181, 239, 365) << 22;
    // xs = 1280 / 433: caption 56, title 64.4 -> 64, rows (1024 - 56 - 64 - 112) div 2.
    QTest::addRow("1280x1024") << 1280 << 1024 << 56 << 64 << 396 << 120 << 600 << 544
                               << QRect(24, 120, 159, 396) << QRect(1088, 120, 159, 396) << 15;
}

void TstMonitorLayout::timeDisplay()
{
    QFETCH(int, w);
    QFETCH(int, h);
    const auto main = referenceMainTimer();
    const auto L = layoutTimeDisplay(main, w, h, timeDisplayScale(w, main));
    QTEST(L.panelLab1.height(), "labH");
    QTEST(L.panelLab2.height(), "labH");
    QTEST(L.panelTitle.height(), "titleH");
    QTEST(L.rowHeight, "rowH");
    QTEST(L.row1[0].y(), "row1Top");
    QTEST(L.row2[0].y(), "row2Top");
    QTEST(L.panelLab2.y(), "lab2Top");
    QTEST(L.row1[0], "digit3");
    QTEST(L.row1[5], "digit8");
    QTEST(L.digitThickness[0], "thickness");
    QFETCH(int, row2Top);
    QFETCH(int, row1Top);
    QCOMPARE(L.row2[5].translated(0, row1Top - row2Top), L.row1[5]);
    // Label strip 1 directly under the title, strip 2 directly above row 2.
    QCOMPARE(L.panelLab1.y(), L.panelTitle.height());
    QCOMPARE(L.panelLab2.bottom() + 1, L.row2[0].y());
    QCOMPARE(L.panelLab1.width(), w);
    // ":" and "," of row 2 keep their offset to the row.
    QCOMPARE(L.labMin2.y() - L.labMin.y(), row2Top - row1Top);
    QCOMPARE(L.labSec.y(), L.labMin.y());
    QCOMPARE(L.labSec2.y(), L.labMin2.y());
}

void TstMonitorLayout::timeDisplayRowInsideWindow_data()
{
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addRow("full HD") << 1920 << 1080;
    QTest::addRow("SXGA") << 1280 << 1024;
    QTest::addRow("XGA") << 1024 << 768;
    QTest::addRow("4K") << 3840 << 2160;
    QTest::addRow("portrait") << 1080 << 1920;
}

void TstMonitorLayout::timeDisplayRowInsideWindow()
{
    QFETCH(int, w);
    QFETCH(int, h);
    const auto main = referenceMainTimer();
    const auto L = layoutTimeDisplay(main, w, h, timeDisplayScale(w, main));
    for (int i = 0; i < 6; ++i) {
        QVERIFY(QRect(0, 0, w, h).contains(L.row1[i]));
        QVERIFY(QRect(0, 0, w, h).contains(L.row2[i]));
        if (i > 0)
            QVERIFY(L.row1[i].x() >= L.row1[i - 1].right());
    }
    QVERIFY(L.row1[5].bottom() < L.panelLab2.y());
}

void TstMonitorLayout::timeDisplaySigns_data()
{
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("fontPx");
    QTest::addColumn<int>("raise"); // how far the signs stand above the rows' bottom edge
    // 64 px x 1920 / 433 = 283.8; the second row ends 42 px above the window's bottom edge,
    // the descent of a 284 px face is 62 px: both rows' signs go up by 20 px.
    QTest::addRow("1920x1080") << 1920 << 1080 << 284 << 20;
    QTest::addRow("1280x1024") << 1280 << 1024 << 189 << 14;
    QTest::addRow("1366x768") << 1366 << 768 << 202 << 14;
    QTest::addRow("3840x2160") << 3840 << 2160 << 568 << 40;
    // Tall window: rows of 862 px, the second 23 px above the bottom edge; descent 35 px.
    QTest::addRow("portrait") << 1080 << 1920 << 160 << 12;
    // Wide and low: rows of 127 px, so the face (378 px by the width) is limited to 127 px.
    QTest::addRow("wide and low") << 2560 << 720 << 127 << 0;
}

void TstMonitorLayout::timeDisplaySigns()
{
    QFETCH(int, w);
    QFETCH(int, h);
    const auto main = referenceMainTimer();
    const FontRatios face; // ascent 0.891, descent 0.217
    const auto L = layoutTimeDisplay(main, w, h, timeDisplayScale(w, main), face);
    QTEST(L.labMinFontPx, "fontPx");
    QTEST(L.labSecFontPx, "fontPx");
    QFETCH(int, fontPx);
    QFETCH(int, raise);
    const int ascent = int(std::ceil(face.ascent * fontPx));
    const int descent = int(std::ceil(face.descent * fontPx));
    QVERIFY(fontPx <= L.rowHeight);
    for (const QRect& r : {L.labMin, L.labSec, L.labMin2, L.labSec2}) {
        QVERIFY(QRect(0, 0, w, h).contains(r));
        QCOMPARE(r.height(), ascent + descent);
    }
    // Baselines: on each row's bottom edge, less the common raise.
    QCOMPARE(L.labMin.y() + ascent, L.row1[0].y() + L.rowHeight - raise);
    QCOMPARE(L.labSec2.y() + ascent, L.row2[0].y() + L.rowHeight - raise);
    QCOMPARE(L.labSec2.bottom() + 1 <= h, true);
    if (raise > 0)
        QCOMPARE(L.labSec2.bottom() + 1, h);
    // Horizontally as scaled from the main window: ":" between the minutes and the seconds.
    QVERIFY(L.labMin.left() >= L.row1[1].right() && L.labMin.right() <= L.row1[2].left());
    QVERIFY(L.labSec.left() >= L.row1[3].right() && L.labSec.right() <= L.row1[4].left());
}

void TstMonitorLayout::scaleStableAndSafe()
{
    const auto main = referenceMainTimer();
    QCOMPARE(timeDisplayScale(1920, main), timeDisplayScale(1920, main));
    QCOMPARE(timeDisplayScale(433, main), 1.0);
    MainTimerGeometry broken = main;
    broken.timerPanelWidth = 0;
    QCOMPARE(timeDisplayScale(1920, broken), 1.0);
}

void TstMonitorLayout::topTen_data()
{
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("title");
    QTest::addColumn<int>("font");
    QTest::addColumn<int>("titleFont");
    QTest::addColumn<int>("row");
    QTest::addColumn<QList<int>>("cols");
    // Shares 8 / 23 / rest / 22 / 11 / 8 % (total, driver, make, co-driver, time, penalty).
    QTest::addRow("height 700") << 1000 << 700 << 50 << 25 << 32 << 60
                                << QList<int>{80, 230, 276, 220, 110, 80};
    QTest::addRow("1920x1080") << 1920 << 1080 << 77 << 38 << 50 << 92
                               << QList<int>{153, 441, 536, 422, 211, 153};
    QTest::addRow("1280x1024") << 1280 << 1024 << 73 << 36 << 48 << 87
                               << QList<int>{102, 294, 357, 281, 140, 102};
    QTest::addRow("tiny") << 10 << 13 << 0 << 0 << 0 << 1 << QList<int>{0, 2, 1, 2, 1, 0};
    QTest::addRow("width 0: no negative make column")
        << 0 << 13 << 0 << 0 << 0 << 1 << QList<int>{0, 0, 0, 0, 0, 0};
}

void TstMonitorLayout::topTen()
{
    QFETCH(int, w);
    QFETCH(int, h);
    const auto L = layoutTopTen(w, h);
    QTEST(L.titleHeight, "title");
    QTEST(L.windowFontPt, "font");
    QTEST(L.gridFontPt, "font");
    QTEST(L.titleFontPt, "titleFont");
    QTEST(L.panelFontPt, "titleFont");
    QTEST(L.panelHeight, "title");
    QTEST(L.rowHeight, "row");
    QFETCH(QList<int>, cols);
    for (int i = 0; i < 6; ++i)
        QCOMPARE(L.columnWidths[i], cols[i]);
    QCOMPARE(L.pictureWidth, w / 2);
    QCOMPARE(L.pictureHeight, L.panelHeight - 2);
}

QTEST_GUILESS_MAIN(TstMonitorLayout)
#include "tst_monitor_layout.moc"
