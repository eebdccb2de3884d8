#pragma once

#include <QtGlobal>

// A colour as stored in the settings and used by the logic: red in bits 0-7,
// green in 8-15, blue in 16-23.
using Rgb = quint32;

constexpr Rgb rgb(int r, int g, int b)
{
    return Rgb(r & 0xFF) | (Rgb(g & 0xFF) << 8) | (Rgb(b & 0xFF) << 16);
}
constexpr int rgbRed(Rgb c) { return int(c & 0xFF); }
constexpr int rgbGreen(Rgb c) { return int((c >> 8) & 0xFF); }
constexpr int rgbBlue(Rgb c) { return int((c >> 16) & 0xFF); }
