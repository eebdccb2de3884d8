#include "platform/data_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

// Set by the build from the install layout; these defaults are the usual /usr one.
#ifndef AK_BIN_TO_DATA
#define AK_BIN_TO_DATA "../share/ackerklassik"
#endif
#ifndef AK_INSTALLED_DATA_DIR
#define AK_INSTALLED_DATA_DIR "/usr/share/ackerklassik"
#endif

namespace DataPaths {

QString dataDirFor(const QString& exeDir, const QString& binToData, const QString& installedDir)
{
    const QString beside = exeDir + QStringLiteral("/data");
    if (QFileInfo(beside).isDir())
        return beside;
    const QString relative = QDir::cleanPath(exeDir + QLatin1Char('/') + binToData);
    if (QFileInfo(relative).isDir())
        return relative;
    if (!installedDir.isEmpty() && QFileInfo(installedDir).isDir())
        return QDir::cleanPath(installedDir);
    return relative;
}

QString dataDir()
{
    return dataDirFor(QCoreApplication::applicationDirPath(), QStringLiteral(AK_BIN_TO_DATA),
                      QStringLiteral(AK_INSTALLED_DATA_DIR));
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
