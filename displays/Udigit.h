#pragma once

#include "platform/colour.h"

#include <QWidget>

// One decimal digit painted as seven bar segments, in the manner of an LED
// display, plus an optional triangular mark in the lower right corner.
// Value and colour setters repaint at once (the race clock drives many digits
// every 10 ms and wants them on screen now), and only when something changed.
class TDigit : public QWidget {
    Q_OBJECT
public:
    explicit TDigit(QWidget* parent = nullptr);

    int value() const { return m_value; }
    void setValue(int value);
    quint8 valueBinary() const { return m_valueBinary; }
    void setValueBinary(quint8 pattern);

    Rgb colorOn() const { return m_colorOn; }
    void setColorOn(Rgb colour);
    Rgb colorOff() const { return m_colorOff; }
    void setColorOff(Rgb colour);
    // Background, also the outline of every segment.
    Rgb color() const { return m_color; }
    void setColor(Rgb colour);

    int separation() const { return m_separation; }
    void setSeparation(int separation);
    int thickness() const { return m_thickness; }
    // Ignored unless 2 x thickness fits both width and height.
    void setThickness(int thickness);

    QSize sizeHint() const override { return {16, 32}; }

Q_SIGNALS:
    // A value outside 0-9 was set; the digit shows 0.
    void OnOverflow(TDigit* sender);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_value = 0;
    quint8 m_valueBinary = 125;
    Rgb m_colorOff = rgb(0, 0, 0);
    Rgb m_colorOn = rgb(255, 255, 0);
    Rgb m_color = rgb(0, 0, 0);
    int m_separation = 1;
    int m_thickness = 2;
};
