#include "app/main_clock_display.h"

#include "displays/Udigit.h"
#include "displays/qt_colour.h"

#include <QLabel>

using displaycolour::toQColor;

void MainClockDisplay::setDigit(Row row, int digit, TDigit* widget)
{
    if (digit >= 3 && digit <= 8)
        m_digits[size_t(row)][size_t(digit)] = widget;
}

void MainClockDisplay::setLabel(Label label, QLabel* widget)
{
    m_labels[int(label)] = widget;
}

TDigit* MainClockDisplay::digit(Row row, int digit) const
{
    if (digit < 3 || digit > 8)
        return nullptr;
    return m_digits[size_t(row)][size_t(digit)];
}

void MainClockDisplay::setDigitValue(Row row, int d, int value)
{
    if (TDigit* w = digit(row, d))
        w->setValue(value);
}

void MainClockDisplay::setDigitColorOn(Row row, int d, Rgb colour)
{
    if (TDigit* w = digit(row, d))
        w->setColorOn(colour);
}

void MainClockDisplay::setDigitColorOff(Row row, int d, Rgb colour)
{
    if (TDigit* w = digit(row, d))
        w->setColorOff(colour);
}

void MainClockDisplay::setDigitBackground(Row row, int d, Rgb colour)
{
    if (TDigit* w = digit(row, d))
        w->setColor(colour);
}

void MainClockDisplay::setLabelColour(Label label, Rgb colour)
{
    QLabel* l = m_labels.value(int(label));
    if (!l)
        return;
    const QColor c = toQColor(colour);
    QPalette p = l->palette();
    if (p.color(QPalette::WindowText) == c)
        return;
    p.setColor(QPalette::WindowText, c);
    l->setPalette(p);
}

void MainClockDisplay::setPanelBackground(Rgb colour)
{
    if (!m_panel)
        return;
    QPalette p = m_panel->palette();
    p.setColor(QPalette::Window, toQColor(colour));
    m_panel->setPalette(p);
    m_panel->setAutoFillBackground(true);
}
