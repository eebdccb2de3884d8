#pragma once

#include <QString>

// Where the view exports (the document and the workbook opened for the
// operator) are written: the user's documents folder, under the protocol's
// default name, never over a file that is already there.
namespace ExportPaths {

// The user's documents folder ("Dokumente"), or the home folder if the system names none.
QString documentsFolder();

// folder/base + extension if no such file exists; else the first free one of
// base-2, base-3, ... (a second export within the same minute gets its own
// name). Empty only when even base-999 is taken.
QString freeFileName(const QString& folder, const QString& base, const QString& extension);

} // namespace ExportPaths
