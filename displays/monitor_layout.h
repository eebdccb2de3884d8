#pragma once

#include <QRect>

#include <array>

// Layout arithmetic of the two spectator windows, apart from the widgets.

// x rounded to the nearest integer, halves to the even neighbour.
int roundHalfEven(double x);

// The main window's first clock row, in its timer panel's coordinates, which
// the time display copies at full-screen scale. Font sizes are in pixels
// throughout (a label's height in pixels is its font's pixel size).
struct MainTimerGeometry {
    int timerPanelWidth = 433;
    int labSekFontPx = 19;               // caption "Sek." under the row
    std::array<QRect, 6> digits;         // Digit3 .. Digit8
    std::array<int, 6> digitThickness{}; // Thickness of Digit3 .. Digit8
    QRect labMin;                        // ":" between Digit4 and Digit5
    int labMinFontPx = 64;
    QRect labSec; // "," between Digit6 and Digit7
    int labSecFontPx = 64;
};

// The main window's first row as it is built: digits 54 x 89, Thickness 5,
// spanning x = 8 to 422 in a panel 433 wide.
MainTimerGeometry referenceMainTimer();

// Horizontal scale of the time display: the window's width over the main
// timer panel's width. It maps the main panel onto the whole window, so the
// row (which ends inside that panel) stays inside the window, and it depends
// only on the window's width, so repeated shows on one monitor give one factor.
double timeDisplayScale(int windowWidth, const MainTimerGeometry& main);

// Ascent and descent of a font as fractions of its pixel size (the line box
// above and below the baseline). The defaults are those of a bold Times face.
struct FontRatios {
    double ascent = 0.891;
    double descent = 0.217;
};

struct TimeDisplayLayout {
    double xs = 1.0;
    double ys = 1.0;
    int labFontPx = 0;   // PanelLab1, PanelLab2 (and Label1, Label2)
    int titleFontPx = 0; // PanelTitle
    int rowHeight = 0;
    QRect panelTitle;
    QRect panelLab1;
    QRect panelLab2;
    // Digit bounds scaled from the main window before the row height is
    // applied: a new thickness is checked against this size.
    std::array<QRect, 6> digitScaled;
    std::array<int, 6> digitThickness{};
    std::array<QRect, 6> row1; // Digit3 .. Digit8
    std::array<QRect, 6> row2; // Digit3a .. Digit8a
    QRect labMin;
    QRect labSec;
    QRect labMin2;
    QRect labSec2;
    int labMinFontPx = 0;
    int labSecFontPx = 0;
};

// Time display of the given size at the horizontal scale xs (ys = xs).
// colonFont: the face of ":" and ",". Those labels are as tall as their
// font's line box and stand on the bottom edge of their digit row; where the
// descent of the second row's "," would run past the window's bottom edge,
// both rows' signs are raised by the same amount, and their font is never
// taller than a digit row.
TimeDisplayLayout layoutTimeDisplay(const MainTimerGeometry& main, int width, int height, double xs,
                                    const FontRatios& colonFont = {});

struct TopTenLayout {
    int titleHeight = 0;
    int windowFontPt = 0;
    int titleFontPt = 0;
    int panelHeight = 0;
    int panelFontPt = 0;
    int gridFontPt = 0;
    int gridHeight = 0;
    int rowHeight = 0;
    std::array<int, 6> columnWidths{};
    int pictureTop = 2;
    int pictureWidth = 0;
    int pictureHeight = 0;
};

TopTenLayout layoutTopTen(int width, int height);
