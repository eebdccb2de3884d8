#pragma once

#include <QPoint>
#include <QVector>
#include <QtGlobal>

// Pure geometry and segment table of the seven-segment digit, kept apart from
// the widget so it can be checked without a screen.
namespace digit {

// Bits of a segment pattern.
enum SegmentBit : quint8 {
    Top = 1,
    Middle = 2,
    Bottom = 4,
    UpperLeft = 8,
    UpperRight = 16,
    LowerLeft = 32,
    LowerRight = 64,
    CornerMark = 128,
};

// Pattern painted for the digits 0-9; no digit lights the corner mark.
quint8 patternFor(int value);

// Whether a value can be shown as it is (0-9); other values show 0 and overflow.
constexpr bool inRange(int value)
{
    return value >= 0 && value <= 9;
}

// A bar's thickness is accepted only if the bar (2 t wide) fits the control.
constexpr bool thicknessFits(int thickness, int width, int height)
{
    return thickness <= width / 2 && thickness <= height / 2;
}

struct Segment {
    quint8 bit = 0;
    QVector<QPoint> points;
};

// The eight shapes of a digit of the given size, in paint order: top, middle,
// bottom, upper left, upper right, lower left, lower right bar, corner mark.
QVector<Segment> segments(int width, int height, int thickness, int separation);

} // namespace digit
