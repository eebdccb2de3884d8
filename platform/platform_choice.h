#pragma once

#include <QByteArray>

// Which Qt platform plugin the program asks for, decided before the application
// object exists. The spectator windows must land on a chosen monitor and hand the
// keyboard back to the main window; a Wayland client can do neither (it cannot
// position its windows, and focus is the compositor's), so in a Wayland session
// the program runs through XWayland instead. A platform the user chose
// (QT_QPA_PLATFORM or Qt's -platform argument) is always kept.
namespace PlatformChoice {

struct Session {
    QByteArray qpaPlatform;        // QT_QPA_PLATFORM
    QByteArray waylandDisplay;     // WAYLAND_DISPLAY
    QByteArray display;            // DISPLAY (XWayland or an X server)
    QByteArray sessionType;        // XDG_SESSION_TYPE
    bool platformArgument = false; // "-platform" among the arguments
};

// The process's own environment and arguments.
Session currentSession(int argc, const char* const* argv);

// The value to put into QT_QPA_PLATFORM, or empty to leave Qt's own choice.
// "xcb;wayland": XWayland first, native Wayland should the X connection fail.
QByteArray preferredPlatform(const Session& session);

} // namespace PlatformChoice
