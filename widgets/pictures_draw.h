#pragma once

#include <QRectF>

class QPainter;

// Drawing routines behind Pictures::picture(). The icon routines draw into a
// 32 x 32 unit box (the caller scales); the others fill the rectangle given.
namespace PictureDraw {
void help(QPainter& p);
void settings(QPainter& p);
void info(QPainter& p);
void load(QPainter& p);
void save(QPainter& p);
void word(QPainter& p);
void excel(QPainter& p);
void html(QPainter& p);
void print(QPainter& p);
void clear(QPainter& p);
void monitorClock(QPainter& p);
void monitorList(QPainter& p);
void arrow(QPainter& p, bool right);
void question(QPainter& p);
void appIcon(QPainter& p);

void flag(QPainter& p, const QRectF& r);
void logo(QPainter& p, const QRectF& r);
} // namespace PictureDraw
