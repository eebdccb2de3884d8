#include "app/window_placement.h"

namespace {
// How much of the window's top strip must be on one screen to reach it with the mouse.
constexpr int kGrabWidth = 100;
constexpr int kGrabHeight = 20;
// Far beyond any desktop, far within int.
constexpr qint32 kFarOut = 1 << 24;
} // namespace

QRect storedWindowRect(qint32 left, qint32 top, qint32 width, qint32 height)
{
    return QRect(qBound(-kFarOut, left, kFarOut), qBound(-kFarOut, top, kFarOut), qBound(0, width, kFarOut),
                 qBound(0, height, kFarOut));
}

QRect placeMainWindow(const QRect& stored, const QList<QRect>& screens, const QRect& primary,
                      const QSize& minimum)
{
    const QRect top(stored.left(), stored.top(), stored.width(), qMin(stored.height(), kGrabHeight));
    for (const QRect& s : screens) {
        const QRect on = top.intersected(s);
        if (on.width() >= qMin(kGrabWidth, stored.width()) &&
            on.height() >= qMin(kGrabHeight, stored.height()) && !on.isEmpty())
            return stored;
    }
    if (primary.isEmpty())
        return stored;
    const QSize size(qMax(minimum.width(), qMin(stored.width(), primary.width())),
                     qMax(minimum.height(), qMin(stored.height(), primary.height())));
    QRect r(QPoint(0, 0), size);
    r.moveCenter(primary.center());
    return r;
}
