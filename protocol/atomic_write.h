#pragma once

#include <QByteArray>
#include <QString>

// Writes bytes to a temporary file beside path and renames it over path only when
// every byte was written; otherwise the old file stays as it was. Writes unbuffered,
// because a buffered QSaveFile commits a file cut short by a full disk or a file
// size limit as if it were complete.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error);
