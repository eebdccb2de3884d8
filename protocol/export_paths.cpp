#include "protocol/export_paths.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace ExportPaths {

QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

QString freeFileName(const QString& folder, const QString& base, const QString& extension)
{
    const QDir dir(folder);
    for (int n = 1; n <= 999; ++n) {
        const QString name =
            n == 1 ? base + extension : QStringLiteral("%1-%2%3").arg(base).arg(n).arg(extension);
        const QString path = dir.absoluteFilePath(name);
        const QFileInfo info(path);
        // A dangling link counts as taken: writing through it would create its target.
        if (!info.exists() && !info.isSymLink())
            return path;
    }
    return QString();
}

} // namespace ExportPaths
