#include "platform/file_mode.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <sys/types.h>
#endif

namespace FileMode {

namespace {

// The user's file-creation mask. Read from the process status where the
// system offers it, since setting and restoring the mask is not safe while
// another thread creates a file.
unsigned creationMask()
{
#ifdef Q_OS_UNIX
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        while (!status.atEnd()) {
            const QByteArray line = status.readLine();
            if (line.startsWith("Umask:")) {
                bool ok = false;
                const unsigned mask = line.mid(6).trimmed().toUInt(&ok, 8);
                if (ok)
                    return mask & 0777u;
            }
        }
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return unsigned(mask) & 0777u;
#else
    return 0;
#endif
}

// The Qt rights for the permission bits of a mode.
QFileDevice::Permissions fromMode(unsigned mode)
{
    QFileDevice::Permissions p;
    if (mode & 0400u)
        p |= QFileDevice::ReadOwner | QFileDevice::ReadUser;
    if (mode & 0200u)
        p |= QFileDevice::WriteOwner | QFileDevice::WriteUser;
    if (mode & 0100u)
        p |= QFileDevice::ExeOwner | QFileDevice::ExeUser;
    if (mode & 0040u)
        p |= QFileDevice::ReadGroup;
    if (mode & 0020u)
        p |= QFileDevice::WriteGroup;
    if (mode & 0010u)
        p |= QFileDevice::ExeGroup;
    if (mode & 0004u)
        p |= QFileDevice::ReadOther;
    if (mode & 0002u)
        p |= QFileDevice::WriteOther;
    if (mode & 0001u)
        p |= QFileDevice::ExeOther;
    return p;
}

} // namespace

QFileDevice::Permissions forNewFile()
{
    return fromMode(0666u & ~creationMask());
}

QFileDevice::Permissions forReplacing(const QString& target)
{
#ifdef Q_OS_UNIX
    // The bits as stored: QFileInfo's rights mix in what this user may do, which
    // would give a read-only file of root's write access for the owner.
    struct stat st {};
    if (::stat(QFile::encodeName(target).constData(), &st) == 0)
        return fromMode(unsigned(st.st_mode) & 0777u);
    return forNewFile();
#else
    const QFileInfo info(target);
    return info.exists() ? info.permissions() : forNewFile();
#endif
}

} // namespace FileMode
