#include "platform/data_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace DataPaths {

QString dataDir()
{
    const QString exeDir = QCoreApplication::applicationDirPath();
    const QString beside = exeDir + QStringLiteral("/data");
    if (QFileInfo(beside).isDir())
        return beside;
    return QDir::cleanPath(exeDir + QStringLiteral("/../share/ackerklassik"));
}

QString dataFile(const QString& relative)
{
    return dataDir() + QLatin1Char('/') + relative;
}

QString programBaseName()
{
    const QString base = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return base.isEmpty() ? QStringLiteral("ackerklassik") : base;
}

} // namespace DataPaths
