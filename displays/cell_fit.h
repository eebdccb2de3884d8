#pragma once

#include <QString>

#include <functional>

// How a text is fitted into a cell of fixed width on the spectator screens:
// at the given font size if it fits; else at the largest smaller size that
// fits, but never below half the given size; only then cut at the right with
// "…". Sizes are whole font sizes (points or pixels, whatever the caller uses).
struct CellFit {
    int size = 0;
    QString text;
    bool elided = false;
};

// Width of text at a font size, in the unit of the available width.
using TextMeasure = std::function<double(const QString& text, int size)>;

// The smallest size a cell may shrink to: half of size, rounded up.
int smallestCellSize(int size);

CellFit fitCellText(const QString& text, double available, int size, const TextMeasure& measure);
