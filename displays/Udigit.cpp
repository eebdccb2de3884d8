#include "displays/Udigit.h"

#include "displays/digit_geometry.h"
#include "displays/qt_colour.h"

#include <QPainter>

using displaycolour::toQColor;

TDigit::TDigit(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(16, 32);
}

void TDigit::setValue(int value)
{
    if (value == m_value)
        return;
    const bool overflow = !digit::inRange(value);
    const int shown = overflow ? 0 : value;
    const quint8 pattern = digit::patternFor(shown);
    const bool changed = shown != m_value || pattern != m_valueBinary;
    m_value = shown;
    m_valueBinary = pattern;
    if (overflow)
        Q_EMIT OnOverflow(this);
    if (changed)
        repaint();
}

void TDigit::setValueBinary(quint8 pattern)
{
    if (pattern == m_valueBinary)
        return;
    m_valueBinary = pattern;
    repaint();
}

void TDigit::setColorOn(Rgb colour)
{
    if (colour == m_colorOn)
        return;
    m_colorOn = colour;
    repaint();
}

void TDigit::setColorOff(Rgb colour)
{
    if (colour == m_colorOff)
        return;
    m_colorOff = colour;
    repaint();
}

void TDigit::setColor(Rgb colour)
{
    if (colour == m_color)
        return;
    m_color = colour;
    repaint();
}

void TDigit::setSeparation(int separation)
{
    m_separation = separation;
    update();
}

void TDigit::setThickness(int thickness)
{
    if (!digit::thicknessFits(thickness, width(), height()))
        return;
    m_thickness = thickness;
    update();
}

void TDigit::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QColor background = toQColor(m_color);
    p.fillRect(rect(), background);
    p.setPen(QPen(background, 0));
    const QBrush on(toQColor(m_colorOn));
    const QBrush off(toQColor(m_colorOff));
    const auto shapes = digit::segments(width(), height(), m_thickness, m_separation);
    for (const auto& shape : shapes) {
        p.setBrush((m_valueBinary & shape.bit) == shape.bit ? on : off);
        p.drawPolygon(shape.points.constData(), int(shape.points.size()));
    }
}
