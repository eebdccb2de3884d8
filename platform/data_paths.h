#pragma once

#include <QString>

// The program's data folder (gongs, document template, manual, pictures):
// "data" next to the executable in a build tree, else the installed share
// folder, <prefix>/share/ackerklassik.
namespace DataPaths {
QString dataDir();
QString dataFile(const QString& relative);
// The executable's file name without folder ("ackerklassik").
QString programBaseName();

// The data folder for an executable in exeDir. binToData is the installed data
// folder relative to the installed program's folder ("../share/ackerklassik"),
// installedDir the same folder as an absolute path; the first existing one of
// <exeDir>/data, <exeDir>/<binToData> and installedDir wins. With none there the
// answer is <exeDir>/<binToData>, where an install would have put it.
QString dataDirFor(const QString& exeDir, const QString& binToData, const QString& installedDir);
} // namespace DataPaths
