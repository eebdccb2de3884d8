#pragma once

#include <QString>

// The program's data folder (gongs, document template, manual, pictures):
// "data" next to the executable in a build tree, else <prefix>/share/ackerklassik.
namespace DataPaths {
QString dataDir();
QString dataFile(const QString& relative);
// The executable's file name without folder ("ackerklassik").
QString programBaseName();
} // namespace DataPaths
