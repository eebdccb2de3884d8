#include "widgets/pictures.h"

#include "widgets/pictures_draw.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

namespace {

struct Entry {
    Picture id;
    const char* name;
    QSize size;
};

// Names are the controls' objectNames where a control shows the picture.
const Entry entries[] = {
    {Picture::Help, "bHelp", {36, 36}},           {Picture::Settings, "bCFG", {36, 36}},
    {Picture::Info, "bInfo", {36, 36}},           {Picture::Load, "sbLoad", {32, 32}},
    {Picture::Save, "sbSave", {32, 32}},          {Picture::Word, "sbWord", {32, 32}},
    {Picture::Excel, "sbExcel", {32, 32}},        {Picture::Html, "sbHTML", {32, 32}},
    {Picture::Print, "sbPrint", {32, 32}},        {Picture::Clear, "sbCLS", {32, 32}},
    {Picture::Monitor2, "bMon2", {32, 32}},       {Picture::Monitor3, "bMon3", {32, 32}},
    {Picture::Previous, "sb1m", {16, 16}},        {Picture::Next, "sb1p", {16, 16}},
    {Picture::FlagDE, "LabDE", {36, 24}},         {Picture::Logo, "Logo", {240, 60}},
    {Picture::LogoSmall, "LogoSmall", {124, 25}}, {Picture::Question, "Icon", {32, 32}},
    {Picture::AppIcon, "ImageICON", {32, 32}},
};

const Entry& entry(Picture id)
{
    for (const Entry& e : entries) {
        if (e.id == id)
            return e;
    }
    return entries[0];
}

// Draws one of the 32-unit icons scaled into the box (0,0)-(w,h).
void drawIcon(QPainter& p, Picture id, QSizeF box)
{
    p.scale(box.width() / 32.0, box.height() / 32.0);
    switch (id) {
    case Picture::Help:
        PictureDraw::help(p);
        break;
    case Picture::Settings:
        PictureDraw::settings(p);
        break;
    case Picture::Info:
        PictureDraw::info(p);
        break;
    case Picture::Load:
        PictureDraw::load(p);
        break;
    case Picture::Save:
        PictureDraw::save(p);
        break;
    case Picture::Word:
        PictureDraw::word(p);
        break;
    case Picture::Excel:
        PictureDraw::excel(p);
        break;
    case Picture::Html:
        PictureDraw::html(p);
        break;
    case Picture::Print:
        PictureDraw::print(p);
        break;
    case Picture::Clear:
        PictureDraw::clear(p);
        break;
    case Picture::Monitor2:
        PictureDraw::monitorClock(p);
        break;
    case Picture::Monitor3:
        PictureDraw::monitorList(p);
        break;
    case Picture::Previous:
        PictureDraw::arrow(p, false);
        break;
    case Picture::Next:
        PictureDraw::arrow(p, true);
        break;
    case Picture::Question:
        PictureDraw::question(p);
        break;
    case Picture::AppIcon:
        PictureDraw::appIcon(p);
        break;
    case Picture::FlagDE:
    case Picture::Logo:
    case Picture::LogoSmall:
        break;
    }
}

} // namespace

namespace PictureDraw {

void appIcon(QPainter& p)
{
    // A stopwatch with a green rim: timing in the field.
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(QColor(190, 190, 195));
    p.drawRoundedRect(QRectF(13, 0.5, 6, 4), 1, 1);
    p.drawRect(QRectF(15, 4, 2, 3));
    p.save();
    p.translate(16, 18);
    p.rotate(45);
    p.drawRoundedRect(QRectF(-2, -15.5, 4, 3), 1, 1);
    p.restore();
    QRadialGradient rim(QPointF(12, 14), 18);
    rim.setColorAt(0, QColor(90, 190, 90));
    rim.setColorAt(1, QColor(0, 100, 20));
    p.setPen(QPen(QColor(0, 60, 10), 1));
    p.setBrush(rim);
    p.drawEllipse(QPointF(16, 18), 13.5, 13.5);
    p.setPen(QPen(QColor(80, 80, 80), 0.6));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(16, 18), 10.5, 10.5);
    p.setPen(QPen(Qt::black, 1.2));
    for (int i = 0; i < 12; ++i) {
        const qreal a = i * M_PI / 6;
        const qreal inner = (i % 3 == 0) ? 7.5 : 8.8;
        p.drawLine(QPointF(16 + inner * qSin(a), 18 - inner * qCos(a)),
                   QPointF(16 + 10 * qSin(a), 18 - 10 * qCos(a)));
    }
    p.setPen(QPen(QColor(210, 0, 0), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16, 18), QPointF(16 + 7 * qSin(1.1), 18 - 7 * qCos(1.1)));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawEllipse(QPointF(16, 18), 1.5, 1.5);
}

void flag(QPainter& p, const QRectF& r)
{
    const qreal band = r.height() / 3.0;
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawRect(QRectF(r.left(), r.top(), r.width(), band));
    p.setBrush(QColor(221, 0, 0));
    p.drawRect(QRectF(r.left(), r.top() + band, r.width(), band));
    p.setBrush(QColor(255, 206, 0));
    p.drawRect(QRectF(r.left(), r.top() + 2 * band, r.width(), r.height() - 2 * band));
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0.5, 0.5, -0.5, -0.5));
}

void logo(QPainter& p, const QRectF& r)
{
    const qreal h = r.height();
    // Sky over a ploughed field whose furrows run to the horizon.
    QPainterPath frame;
    frame.addRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), h * 0.15, h * 0.15);
    p.save();
    p.setClipPath(frame);
    const qreal horizon = r.top() + h * 0.62;
    QLinearGradient sky(0, r.top(), 0, horizon);
    sky.setColorAt(0, QColor(150, 200, 250));
    sky.setColorAt(1, QColor(235, 245, 255));
    p.fillRect(QRectF(r.left(), r.top(), r.width(), horizon - r.top()), sky);
    QLinearGradient field(0, horizon, 0, r.bottom());
    field.setColorAt(0, QColor(120, 160, 60));
    field.setColorAt(1, QColor(130, 85, 40));
    p.fillRect(QRectF(r.left(), horizon, r.width(), r.bottom() - horizon), field);
    p.setPen(QPen(QColor(90, 55, 20, 180), qMax(1.0, h / 40)));
    const QPointF vanish(r.center().x(), horizon - h * 0.4);
    for (int i = -12; i <= 12; ++i) {
        const qreal x = r.center().x() + i * r.width() / 10;
        const qreal t = (horizon - vanish.y()) / (r.bottom() - vanish.y());
        p.drawLine(QPointF(vanish.x() + (x - vanish.x()) * t, horizon), QPointF(x, r.bottom()));
    }
    p.restore();
    p.setPen(QPen(QColor(60, 90, 40), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(frame);

    // Stopwatch at the left, then the name.
    const qreal watch = h * 0.86;
    p.save();
    p.translate(r.left() + h * 0.12, r.top() + (h - watch) / 2);
    p.scale(watch / 32.0, watch / 32.0);
    appIcon(p);
    p.restore();

    const QRectF textBox(r.left() + h * 0.12 + watch + h * 0.08, r.top(), 0, h);
    const qreal textWidth = r.right() - textBox.left() - h * 0.1;
    QFont f(QStringLiteral("Arial"));
    f.setBold(true);
    f.setItalic(true);
    f.setPixelSize(qMax(6, qRound(h * 0.5)));
    const QString first = QStringLiteral("Acker");
    const QString second = QStringLiteral("Klassik");
    QFontMetricsF fm(f);
    const qreal space = fm.horizontalAdvance(QLatin1Char(' '));
    qreal total = fm.horizontalAdvance(first) + space + fm.horizontalAdvance(second);
    if (total > textWidth) {
        f.setPixelSize(qMax(6, int(f.pixelSize() * textWidth / total)));
        fm = QFontMetricsF(f);
        total = fm.horizontalAdvance(first) + space + fm.horizontalAdvance(second);
    }
    const qreal baseline = r.top() + h * 0.55 + fm.ascent() / 2 - fm.descent() / 2;
    QPainterPath text;
    text.addText(QPointF(textBox.left() + (textWidth - total) / 2, baseline), f, first);
    const QPainterPath firstPath = text;
    QPainterPath secondPath;
    secondPath.addText(
        QPointF(textBox.left() + (textWidth - total) / 2 + fm.horizontalAdvance(first) + space, baseline), f,
        second);
    // White halo, then the coloured words.
    const qreal halo = qMax(1.5, h / 20);
    p.setPen(QPen(QColor(255, 255, 255, 230), halo * 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(firstPath);
    p.drawPath(secondPath);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 60, 10));
    p.drawPath(firstPath);
    p.setBrush(QColor(0, 110, 30));
    p.drawPath(secondPath);
}

} // namespace PictureDraw

namespace Pictures {

QList<Picture> all()
{
    QList<Picture> list;
    for (const Entry& e : entries)
        list.append(e.id);
    return list;
}

QString name(Picture id)
{
    return QString::fromLatin1(entry(id).name);
}

QSize size(Picture id)
{
    return entry(id).size;
}

QPixmap picture(Picture id, qreal devicePixelRatio)
{
    return picture(id, size(id), devicePixelRatio);
}

QPixmap picture(Picture id, QSize logicalSize, qreal devicePixelRatio)
{
    if (logicalSize.isEmpty())
        return {};
    const qreal dpr = devicePixelRatio > 0 ? devicePixelRatio : 1;
    QPixmap pm(logicalSize * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF box(QPointF(0, 0), QSizeF(logicalSize));
    switch (id) {
    case Picture::FlagDE:
        PictureDraw::flag(p, box);
        break;
    case Picture::Logo:
    case Picture::LogoSmall:
        PictureDraw::logo(p, box);
        break;
    default:
        drawIcon(p, id, box.size());
        break;
    }
    return pm;
}

QIcon applicationIcon()
{
    QIcon icon;
    for (int s : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(picture(Picture::AppIcon, QSize(s, s)));
    return icon;
}

} // namespace Pictures
