#include "displays/monitor_layout.h"

#include <QtGlobal>

#include <cmath>
#include <cstdlib>

int roundHalfEven(double x)
{
    const double lower = std::floor(x);
    const double diff = x - lower;
    double r = lower;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(lower, 2.0) != 0.0))
        r = lower + 1.0;
    return int(r);
}

MainTimerGeometry referenceMainTimer()
{
    MainTimerGeometry g;
    const int xs[6] = {8, 64, 160, 216, 312, 368};
    for (int i = 0; i < 6; ++i) {
        g.digits[i] = QRect(xs[i], 8, 54, 89);
        g.digitThickness[i] = 5;
    }
    g.labMin = QRect(118, 40, 42, 73);
    g.labSec = QRect(270, 40, 42, 73);
    return g;
}

double timeDisplayScale(int windowWidth, const MainTimerGeometry& main)
{
    if (main.timerPanelWidth <= 0 || windowWidth <= 0)
        return 1.0;
    return double(windowWidth) / main.timerPanelWidth;
}

namespace {

QRect scaled(const QRect& r, double xs, double ys)
{
    const int l = roundHalfEven(r.x() * xs);
    const int t = roundHalfEven(r.y() * ys);
    const int rr = roundHalfEven((r.x() + r.width()) * xs);
    const int b = roundHalfEven((r.y() + r.height()) * ys);
    return QRect(l, t, rr - l, b - t);
}

} // namespace

TimeDisplayLayout layoutTimeDisplay(const MainTimerGeometry& main, int width, int height, double xs,
                                    const FontRatios& colonFont)
{
    TimeDisplayLayout L;
    L.xs = xs;
    L.ys = xs * 1.0;
    const double ys = L.ys;
    const int H = height;

    L.labFontPx = roundHalfEven(main.labSekFontPx * ys);
    const int labH = std::abs(L.labFontPx);
    L.titleFontPx = L.labFontPx;
    const int titleH = std::abs(roundHalfEven(L.titleFontPx * 1.15));
    L.rowHeight = (H - labH - titleH - 2 * labH) / 2;
    const int h = L.rowHeight;

    const int row1Top = titleH + labH;
    const int row2Top = H - h - labH / 2;
    for (int i = 0; i < 6; ++i) {
        L.digitScaled[i] = scaled(main.digits[i], xs, ys);
        L.digitThickness[i] = roundHalfEven(main.digitThickness[i] * xs);
        L.row1[i] = QRect(L.digitScaled[i].x(), row1Top, L.digitScaled[i].width(), h);
        L.row2[i] = QRect(L.digitScaled[i].x(), row2Top, L.digitScaled[i].width(), h);
    }

    L.panelTitle = QRect(0, 0, width, titleH);
    L.panelLab1 = QRect(0, titleH, width, labH);
    L.panelLab2 = QRect(0, H - h - labH / 2 - labH, width, labH);

    // ":" and ",": as wide as scaled from the main window, their font scaled the
    // same way but no taller than a row; the label is the font's line box with
    // its baseline on the row's bottom edge.
    const int maxFontPx = qMax(1, h);
    L.labMinFontPx = qBound(1, roundHalfEven(main.labMinFontPx * xs), maxFontPx);
    L.labSecFontPx = qBound(1, roundHalfEven(main.labSecFontPx * xs), maxFontPx);
    const auto ascentOf = [&](int px) { return int(std::ceil(colonFont.ascent * px)); };
    const auto descentOf = [&](int px) { return int(std::ceil(colonFont.descent * px)); };
    const int descent = qMax(descentOf(L.labMinFontPx), descentOf(L.labSecFontPx));
    const int row2Bottom = row2Top + h;
    const int raise = qMax(0, row2Bottom + descent - H);
    const auto sign = [&](const QRect& mainRect, int fontPx, int rowTop) {
        const QRect r = scaled(mainRect, xs, ys);
        const int baseline = rowTop + h - raise;
        return QRect(r.x(), baseline - ascentOf(fontPx), r.width(), ascentOf(fontPx) + descentOf(fontPx));
    };
    L.labMin = sign(main.labMin, L.labMinFontPx, row1Top);
    L.labSec = sign(main.labSec, L.labSecFontPx, row1Top);
    L.labMin2 = sign(main.labMin, L.labMinFontPx, row2Top);
    L.labSec2 = sign(main.labSec, L.labSecFontPx, row2Top);
    return L;
}

TopTenLayout layoutTopTen(int width, int height)
{
    TopTenLayout L;
    L.titleHeight = height / 14;
    L.windowFontPt = L.titleHeight / 2;
    L.titleFontPt = (L.titleHeight / 3) * 2;
    L.panelHeight = L.titleHeight;
    L.panelFontPt = L.titleFontPt;
    L.gridFontPt = L.windowFontPt;
    L.gridHeight = height - L.titleHeight - L.panelHeight;
    L.rowHeight = L.gridHeight / 10;
    const int W = width;
    auto& c = L.columnWidths;
    // Order as always (total, driver, make, co-driver, time, penalty points); the shares
    // let a driver's full name and a total with two decimals show whole on a 4:3 screen
    // too, where the type is as tall as on a wide one but the columns are narrower.
    c[0] = W * 8 / 100;
    c[1] = W * 23 / 100;
    c[3] = W * 22 / 100;
    c[4] = W * 11 / 100;
    c[5] = W * 8 / 100;
    c[2] = qMax(0, W - (c[0] + c[1] + c[3] + c[4] + c[5]) - 4);
    L.pictureWidth = W / 2;
    L.pictureHeight = L.panelHeight - L.pictureTop;
    return L;
}
