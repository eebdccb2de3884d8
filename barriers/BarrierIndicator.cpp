#include "barriers/BarrierIndicator.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>

BarrierIndicator::BarrierIndicator(QWidget* parent) : QWidget(parent)
{
    setFixedSize(PictureSize, PictureSize);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_TranslucentBackground);
}

void BarrierIndicator::setIndex(int index)
{
    index = qBound(0, index, PictureCount - 1);
    if (index == m_index)
        return;
    m_index = index;
    update();
}

QImage BarrierIndicator::picture(int index)
{
    index = qBound(0, index, PictureCount - 1);
    const int digit = index / 4 + 1;
    const int state = index % 4;
    QColor face, rim, text;
    switch (state) {
    case 0: // closed
        face = QColor(0x50, 0x50, 0x50);
        rim = QColor(0x28, 0x28, 0x28);
        text = Qt::white;
        break;
    case 2: // armed
        face = QColor(0x1E, 0xB4, 0x32);
        rim = QColor(0x0A, 0x64, 0x14);
        text = Qt::white;
        break;
    case 3: // lost: amber, struck through, so it cannot pass for a working barrier
        face = QColor(0xF2, 0xA8, 0x10);
        rim = QColor(0x80, 0x50, 0x00);
        text = QColor(0x30, 0x20, 0x00);
        break;
    default: // disarmed: a red digit on red, darker so that it stays readable
        face = QColor(0xE8, 0x30, 0x28);
        rim = QColor(0x8C, 0x10, 0x0C);
        text = QColor(0x7A, 0x08, 0x04);
        break;
    }
    QImage img(PictureSize, PictureSize, QImage::Format_ARGB32_Premultiplied);
    img.fill(QColor(0xEC, 0xE9, 0xD8));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(2.5, 2.5, PictureSize - 5, PictureSize - 5);
    QRadialGradient g(r.center() - QPointF(4, 4), r.width() * 0.75);
    g.setColorAt(0, face.lighter(150));
    g.setColorAt(0.6, face);
    g.setColorAt(1, face.darker(130));
    p.setPen(QPen(rim, 1.5));
    p.setBrush(g);
    p.drawEllipse(r);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(15);
    p.setFont(f);
    p.setPen(text);
    p.drawText(r, Qt::AlignCenter, QString::number(digit));
    if (state == 3) {
        p.setPen(QPen(QColor(0xB0, 0x10, 0x08), 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(r.left() + 4, r.bottom() - 4), QPointF(r.right() - 4, r.top() + 4));
    }
    return img;
}

void BarrierIndicator::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, picture(m_index));
}

void BarrierIndicator::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
}

void BarrierIndicator::mouseReleaseEvent(QMouseEvent* event)
{
    const bool wasPressed = m_pressed;
    m_pressed = false;
    if (wasPressed && event->button() == Qt::LeftButton && isEnabled() && rect().contains(event->pos()))
        Q_EMIT clicked();
}
