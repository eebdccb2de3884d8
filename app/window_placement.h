#pragma once

#include <QList>
#include <QRect>

// Where the main window opens. A stored rectangle is kept when enough of its top
// strip (where the title bar is grabbed) lies on one of the screens attached now;
// otherwise, e.g. after the monitor it was on was unplugged, the window opens
// centred on the primary screen with the stored size, shrunk to fit that screen
// but not below the minimum size.
QRect placeMainWindow(const QRect& stored, const QList<QRect>& screens, const QRect& primary,
                      const QSize& minimum);
