#include "platform/atomic_write.h"

#include "platform/file_mode.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace AtomicWrite {

namespace {

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

// Whether this process may write the existing file path, judged by the rights it
// acts with (not by the real user, as access() would for root).
bool mayWrite(const QString& path)
{
#ifdef Q_OS_UNIX
    return ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), W_OK, AT_EACCESS) == 0;
#else
    return QFileInfo(path).isWritable();
#endif
}

// Flushes the file's contents to the disk, so that after a power cut the renamed
// file is complete rather than empty.
bool syncToDisk(const QString& path)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
#else
    Q_UNUSED(path);
    return true;
#endif
}

} // namespace

QString resolvedTarget(const QString& path)
{
    QFileInfo info(path);
    // A chain of links is followed to its end; a dangling link names the file it would create.
    for (int depth = 0; depth < 40 && info.isSymLink(); ++depth)
        info = QFileInfo(info.symLinkTarget());
    return info.absoluteFilePath();
}

QString createTempBeside(const QString& target, QString* error)
{
    const QFileInfo info(resolvedTarget(target));
    if (info.isDir()) {
        setError(error,
                 QStringLiteral("Unter diesem Namen gibt es einen Ordner, keine Datei: %1").arg(target));
        return QString();
    }
    if (info.exists() && !mayWrite(info.absoluteFilePath())) {
        setError(error, QStringLiteral("Die Datei ist schreibgeschützt: %1").arg(target));
        return QString();
    }
    if (!info.absoluteDir().exists()) {
        setError(error, QStringLiteral("Den Ordner der Datei gibt es nicht (mehr): %1").arg(target));
        return QString();
    }
    QTemporaryFile tmp(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                       QStringLiteral(".XXXXXX"));
    tmp.setAutoRemove(false);
    if (!tmp.open()) {
        setError(error, QStringLiteral("Im Ordner kann keine Datei angelegt werden: %1").arg(target));
        return QString();
    }
    return tmp.fileName();
}

bool commitTemp(const QString& temp, const QString& target, QString* error)
{
    const QString final = resolvedTarget(target);
    // The temporary file is private to the user; the file it becomes is not.
    if (!QFile::setPermissions(temp, FileMode::forReplacing(final))) {
        QFile::remove(temp);
        setError(error,
                 QStringLiteral("Die Zugriffsrechte der Datei lassen sich nicht setzen: %1").arg(target));
        return false;
    }
    if (!syncToDisk(temp)) {
        QFile::remove(temp);
        setError(error,
                 QStringLiteral("Die Datei lässt sich nicht auf den Datenträger schreiben: %1").arg(target));
        return false;
    }
    std::error_code ec;
    // Replaces an existing file in one step, on Windows as well.
    std::filesystem::rename(QFile::encodeName(temp).toStdString(), QFile::encodeName(final).toStdString(),
                            ec);
    if (ec) {
        QFile::remove(temp);
        setError(error, QStringLiteral("Die Datei kann nicht ersetzt werden: %1").arg(target));
        return false;
    }
    return true;
}

} // namespace AtomicWrite

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error)
{
    const QString temp = AtomicWrite::createTempBeside(path, error);
    if (temp.isEmpty())
        return false;
    bool ok = false;
    {
        QFile file(temp);
        ok = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
        qint64 done = 0;
        while (ok && done < bytes.size()) {
            const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
            if (n <= 0)
                ok = false;
            else
                done += n;
        }
    }
    if (!ok) {
        QFile::remove(temp);
        if (error)
            *error = QStringLiteral("Die Datei konnte nicht vollständig geschrieben werden: ") + path;
        return false;
    }
    return AtomicWrite::commitTemp(temp, path, error);
}
