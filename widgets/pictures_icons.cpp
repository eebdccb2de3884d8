#include "widgets/pictures_draw.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

namespace {

const QColor outline(40, 40, 40);

// A glossy disc, the base of the help and info buttons.
void disc(QPainter& p, const QColor& c)
{
    QRadialGradient g(QPointF(12, 10), 20);
    g.setColorAt(0, c.lighter(160));
    g.setColorAt(1, c.darker(120));
    p.setPen(QPen(c.darker(170), 1.2));
    p.setBrush(g);
    p.drawEllipse(QRectF(2, 2, 28, 28));
}

void centredText(QPainter& p, const QRectF& r, const QString& text, qreal pixelSize, const QColor& c,
                 bool italic = false)
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(qRound(pixelSize));
    f.setBold(true);
    f.setItalic(italic);
    p.setFont(f);
    p.setPen(c);
    p.drawText(r, Qt::AlignCenter, text);
}

// A white page with a folded corner, shared by the document pictures.
void page(QPainter& p, const QRectF& r)
{
    const qreal fold = 6;
    QPainterPath path;
    path.moveTo(r.topLeft());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.bottomRight());
    path.lineTo(r.bottomLeft());
    path.closeSubpath();
    p.setPen(QPen(outline, 1));
    p.setBrush(Qt::white);
    p.drawPath(path);
    p.setBrush(QColor(210, 210, 210));
    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    corner.closeSubpath();
    p.drawPath(corner);
}

// A coloured square with a white letter, the badge of the office documents.
void badge(QPainter& p, const QRectF& r, const QColor& c, const QString& letter)
{
    p.setPen(QPen(c.darker(150), 1));
    p.setBrush(c);
    p.drawRoundedRect(r, 2, 2);
    centredText(p, r, letter, r.height() * 0.8, Qt::white);
}

void monitor(QPainter& p)
{
    p.setPen(QPen(outline, 1));
    p.setBrush(QColor(90, 90, 95));
    p.drawRect(QRectF(13, 24, 6, 4));
    p.drawRoundedRect(QRectF(8, 27.5, 16, 3), 1, 1);
    p.setBrush(QColor(60, 60, 65));
    p.drawRoundedRect(QRectF(1.5, 3.5, 29, 21), 2, 2);
    QLinearGradient g(0, 6, 0, 22);
    g.setColorAt(0, QColor(40, 60, 110));
    g.setColorAt(1, QColor(10, 20, 50));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRect(QRectF(4, 6, 24, 16));
}

} // namespace

namespace PictureDraw {

void help(QPainter& p)
{
    disc(p, QColor(30, 90, 200));
    centredText(p, QRectF(2, 2, 28, 28), QStringLiteral("?"), 22, Qt::white);
}

void info(QPainter& p)
{
    disc(p, QColor(30, 90, 200));
    centredText(p, QRectF(2, 2, 28, 28), QStringLiteral("i"), 22, Qt::white);
}

void settings(QPainter& p)
{
    const QPointF c(16, 16);
    const int teeth = 8;
    QPainterPath gear;
    for (int i = 0; i < teeth * 4; ++i) {
        const qreal a = (i - 0.5) * M_PI / (teeth * 2);
        const qreal r = (i % 4 < 2) ? 14.5 : 10.5;
        const QPointF pt(c.x() + r * qCos(a), c.y() + r * qSin(a));
        if (i == 0)
            gear.moveTo(pt);
        else
            gear.lineTo(pt);
    }
    gear.closeSubpath();
    gear.addEllipse(c, 4.5, 4.5);
    QLinearGradient g(0, 2, 0, 30);
    g.setColorAt(0, QColor(200, 200, 205));
    g.setColorAt(1, QColor(105, 105, 115));
    p.setPen(QPen(QColor(50, 50, 60), 1));
    p.setBrush(g);
    p.drawPath(gear);
}

void load(QPainter& p)
{
    // Back of the folder with its tab, a sheet sticking out, then the open front.
    p.setPen(QPen(QColor(140, 100, 10), 1));
    p.setBrush(QColor(225, 175, 50));
    QPainterPath back;
    back.moveTo(2, 27);
    back.lineTo(2, 6);
    back.lineTo(11, 6);
    back.lineTo(13, 9);
    back.lineTo(26, 9);
    back.lineTo(26, 27);
    back.closeSubpath();
    p.drawPath(back);
    p.setPen(QPen(outline, 0.8));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(6, 11, 17, 12));
    QPainterPath front;
    front.moveTo(2, 27);
    front.lineTo(7, 15);
    front.lineTo(31, 15);
    front.lineTo(26, 27);
    front.closeSubpath();
    QLinearGradient g(0, 15, 0, 27);
    g.setColorAt(0, QColor(255, 215, 90));
    g.setColorAt(1, QColor(235, 180, 40));
    p.setPen(QPen(QColor(140, 100, 10), 1));
    p.setBrush(g);
    p.drawPath(front);
}

void save(QPainter& p)
{
    const QColor body(40, 80, 170);
    QPainterPath disk;
    disk.moveTo(3, 3);
    disk.lineTo(26, 3);
    disk.lineTo(29, 6);
    disk.lineTo(29, 29);
    disk.lineTo(3, 29);
    disk.closeSubpath();
    p.setPen(QPen(body.darker(160), 1));
    p.setBrush(body);
    p.drawPath(disk);
    // Label and metal shutter.
    p.setPen(QPen(outline, 0.6));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(7, 3.5, 18, 10));
    p.setPen(QPen(QColor(150, 170, 220), 1));
    for (qreal y = 6.5; y < 13; y += 2.5)
        p.drawLine(QPointF(9, y), QPointF(23, y));
    p.setPen(QPen(outline, 0.6));
    p.setBrush(QColor(190, 190, 200));
    p.drawRect(QRectF(9, 19, 14, 10));
    p.setBrush(body.darker(130));
    p.drawRect(QRectF(18, 21, 3, 6));
}

void word(QPainter& p)
{
    page(p, QRectF(8, 2, 21, 28));
    p.setPen(QPen(QColor(120, 120, 120), 1));
    for (qreal y = 9; y < 28; y += 3)
        p.drawLine(QPointF(19, y), QPointF(26, y));
    badge(p, QRectF(2, 8, 16, 16), QColor(30, 80, 170), QStringLiteral("W"));
}

void excel(QPainter& p)
{
    page(p, QRectF(8, 2, 21, 28));
    p.setPen(QPen(QColor(60, 140, 80), 0.8));
    for (qreal y = 9; y <= 27; y += 3.6)
        p.drawLine(QPointF(11, y), QPointF(27, y));
    for (qreal x = 19; x <= 27; x += 4)
        p.drawLine(QPointF(x, 9), QPointF(x, 27));
    badge(p, QRectF(2, 8, 16, 16), QColor(20, 120, 60), QStringLiteral("X"));
}

void html(QPainter& p)
{
    const QRectF r(3, 3, 26, 26);
    QRadialGradient g(QPointF(12, 11), 18);
    g.setColorAt(0, QColor(140, 200, 255));
    g.setColorAt(1, QColor(20, 90, 190));
    p.setPen(QPen(QColor(10, 50, 120), 1.2));
    p.setBrush(g);
    p.drawEllipse(r);
    // Continents as green blobs, then meridians and parallels.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 170, 70));
    QPainterPath land;
    land.moveTo(8, 9);
    land.cubicTo(12, 6, 16, 8, 15, 12);
    land.cubicTo(14, 16, 11, 15, 10, 19);
    land.cubicTo(8, 18, 6, 13, 8, 9);
    land.moveTo(18, 15);
    land.cubicTo(22, 13, 26, 16, 25, 20);
    land.cubicTo(23, 25, 19, 25, 18, 21);
    land.closeSubpath();
    p.drawPath(land);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(230, 240, 255, 200), 0.8));
    p.drawEllipse(QRectF(10, 3, 12, 26));
    p.drawLine(QPointF(16, 3), QPointF(16, 29));
    p.drawLine(QPointF(3, 16), QPointF(29, 16));
    p.drawLine(QPointF(5, 10), QPointF(27, 10));
    p.drawLine(QPointF(5, 22), QPointF(27, 22));
}

void print(QPainter& p)
{
    p.setPen(QPen(outline, 0.8));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 2, 14, 12)); // paper going in
    QLinearGradient g(0, 11, 0, 24);
    g.setColorAt(0, QColor(215, 215, 220));
    g.setColorAt(1, QColor(140, 140, 150));
    p.setPen(QPen(QColor(60, 60, 70), 1));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(2, 11, 28, 13), 2, 2);
    p.setBrush(QColor(70, 70, 80));
    p.drawRect(QRectF(7, 20, 18, 2));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 200, 0));
    p.drawEllipse(QRectF(24, 14, 3, 3));
    p.setPen(QPen(outline, 0.8));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(8, 21, 16, 9)); // printed page
    p.setPen(QPen(QColor(100, 100, 100), 0.8));
    for (qreal y = 24; y < 30; y += 2.5)
        p.drawLine(QPointF(10, y), QPointF(22, y));
}

void clear(QPainter& p)
{
    page(p, QRectF(5, 2, 21, 28));
    p.setPen(QPen(QColor(120, 120, 120), 1));
    for (qreal y = 9; y < 28; y += 3)
        p.drawLine(QPointF(8, y), QPointF(23, y));
    QPen cross(QColor(220, 20, 20), 4.5, Qt::SolidLine, Qt::RoundCap);
    p.setPen(cross);
    p.drawLine(QPointF(8, 8), QPointF(28, 28));
    p.drawLine(QPointF(28, 8), QPointF(8, 28));
}

void monitorClock(QPainter& p)
{
    monitor(p);
    p.setPen(QPen(Qt::white, 1));
    p.setBrush(QColor(250, 250, 250));
    p.drawEllipse(QPointF(16, 14), 6.5, 6.5);
    p.setPen(QPen(QColor(200, 0, 0), 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16, 14), QPointF(16, 9));
    p.setPen(QPen(Qt::black, 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16, 14), QPointF(19.5, 15.5));
}

void monitorList(QPainter& p)
{
    monitor(p);
    for (int i = 0; i < 5; ++i) {
        const qreal y = 8 + i * 2.9;
        p.setPen(QPen(i == 0 ? QColor(255, 215, 0) : QColor(230, 230, 230), 1.6));
        p.drawLine(QPointF(6, y), QPointF(8, y));
        p.drawLine(QPointF(10, y), QPointF(26 - (i % 3) * 3, y));
    }
}

void arrow(QPainter& p, bool right)
{
    QPainterPath path;
    path.moveTo(4, 12);
    path.lineTo(16, 12);
    path.lineTo(16, 4);
    path.lineTo(29, 16);
    path.lineTo(16, 28);
    path.lineTo(16, 20);
    path.lineTo(4, 20);
    path.closeSubpath();
    if (!right) {
        p.translate(32, 0);
        p.scale(-1, 1);
    }
    QLinearGradient g(0, 4, 0, 28);
    g.setColorAt(0, QColor(90, 200, 90));
    g.setColorAt(1, QColor(0, 110, 0));
    p.setPen(QPen(QColor(0, 70, 0), 1.2));
    p.setBrush(g);
    p.drawPath(path);
}

void question(QPainter& p)
{
    // A speech bubble with a blue question mark.
    QPainterPath bubble;
    bubble.addEllipse(QRectF(2, 2, 28, 23));
    QPainterPath tail;
    tail.moveTo(8, 20);
    tail.lineTo(5, 30);
    tail.lineTo(15, 23);
    tail.closeSubpath();
    bubble = bubble.united(tail);
    QLinearGradient g(0, 2, 0, 30);
    g.setColorAt(0, Qt::white);
    g.setColorAt(1, QColor(205, 220, 245));
    p.setPen(QPen(QColor(60, 90, 150), 1.2));
    p.setBrush(g);
    p.drawPath(bubble);
    centredText(p, QRectF(2, 1, 28, 25), QStringLiteral("?"), 20, QColor(20, 70, 190));
}

} // namespace PictureDraw
