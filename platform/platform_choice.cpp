#include "platform/platform_choice.h"

#include <QtGlobal>

#include <cstring>

namespace PlatformChoice {

Session currentSession(int argc, const char* const* argv)
{
    Session s;
    s.qpaPlatform = qgetenv("QT_QPA_PLATFORM");
    s.waylandDisplay = qgetenv("WAYLAND_DISPLAY");
    s.display = qgetenv("DISPLAY");
    s.sessionType = qgetenv("XDG_SESSION_TYPE");
    for (int i = 1; i < argc; ++i) {
        if (argv[i] && (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0))
            s.platformArgument = true;
    }
    return s;
}

QByteArray preferredPlatform(const Session& session)
{
    // Qt ignores an empty QT_QPA_PLATFORM, so an empty value is no choice either.
    if (!session.qpaPlatform.trimmed().isEmpty() || session.platformArgument)
        return {};
    const bool wayland = !session.waylandDisplay.isEmpty() ||
                         session.sessionType.trimmed().toLower() == QByteArrayLiteral("wayland");
    if (wayland && !session.display.isEmpty())
        return QByteArrayLiteral("xcb;wayland");
    return {};
}

} // namespace PlatformChoice
