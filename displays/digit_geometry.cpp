#include "displays/digit_geometry.h"

namespace digit {

quint8 patternFor(int value)
{
    static constexpr quint8 table[10] = {125, 80, 55, 87, 90, 79, 111, 81, 127, 95};
    return inRange(value) ? table[value] : table[0];
}

namespace {

QVector<QPoint> horizontalBar(int w1, int y0, int t, int s)
{
    return {{t + s, y0 + t},
            {2 * t + s, y0},
            {w1 - 2 * t - s, y0},
            {w1 - t - s, y0 + t},
            {w1 - 2 * t - s, y0 + 2 * t},
            {2 * t + s, y0 + 2 * t}};
}

QVector<QPoint> verticalBar(int x0, int y0, int hm, int t, int s)
{
    return {{x0, y0 + 2 * t + s},          {x0 + t, y0 + t + s},  {x0 + 2 * t, y0 + 2 * t + s},
            {x0 + 2 * t, y0 + hm - t - s}, {x0 + t, y0 + hm - s}, {x0, y0 + hm - t - s}};
}

} // namespace

QVector<Segment> segments(int width, int height, int thickness, int separation)
{
    const int w1 = width - 1;
    const int h1 = height - 1;
    const int t = thickness;
    const int s = separation;
    const int hm = h1 / 2;
    return {
        {Top, horizontalBar(w1, 0, t, s)},
        {Middle, horizontalBar(w1, hm - t, t, s)},
        {Bottom, horizontalBar(w1, h1 - 2 * t, t, s)},
        {UpperLeft, verticalBar(0, 0, hm, t, s)},
        {UpperRight, verticalBar(w1 - 2 * t, 0, hm, t, s)},
        {LowerLeft, verticalBar(0, hm - t, hm, t, s)},
        {LowerRight, verticalBar(w1 - 2 * t, hm - t, hm, t, s)},
        {CornerMark, {{w1, h1}, {w1 - 2 * t + s, h1}, {w1, h1 - 2 * t + s}}},
    };
}

} // namespace digit
