#pragma once

#include "platform/colour.h"

#include <QColor>
#include <QPalette>
#include <QWidget>

// Colours of the logic (Rgb, red in the low byte) on Qt widgets.
namespace displaycolour {

inline QColor toQColor(Rgb c)
{
    return QColor(rgbRed(c), rgbGreen(c), rgbBlue(c));
}

inline void setTextColour(QWidget* w, Rgb c)
{
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, toQColor(c));
    w->setPalette(p);
}

inline void setBackground(QWidget* w, Rgb c)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, toQColor(c));
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

} // namespace displaycolour
