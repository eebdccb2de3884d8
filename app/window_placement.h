#pragma once

#include <QList>
#include <QRect>
#include <QtGlobal>

// The stored window bounds as a rectangle. Settings edited by hand may hold any 32-bit
// numbers; positions and sizes beyond any screen are held to a range where the rectangle's
// arithmetic cannot overflow (such a window is then on no screen and opens centred).
QRect storedWindowRect(qint32 left, qint32 top, qint32 width, qint32 height);

// Where the main window opens. A stored rectangle is kept when enough of its top
// strip (where the title bar is grabbed) lies on one of the screens attached now;
// otherwise, e.g. after the monitor it was on was unplugged, the window opens
// centred on the primary screen with the stored size, shrunk to fit that screen
// but not below the minimum size.
QRect placeMainWindow(const QRect& stored, const QList<QRect>& screens, const QRect& primary,
                      const QSize& minimum);
