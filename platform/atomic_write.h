#pragma once

#include <QByteArray>
#include <QString>

// Replacing a file only once its new contents are complete: the new contents go to
// a temporary file beside the target, which then takes the target's place in one
// step. Every file the program writes goes this way, so all of them behave alike:
// - a write that fails (a full disk, a file-size limit, a folder that is read-only
//   or gone) leaves the old file as it was and no temporary file behind;
// - a target that is a folder, or a file this user may not write, is refused;
// - a target reached through a symbolic link is the file the link names (the link
//   stays);
// - a new file gets read and write for everybody less the user's file-creation mask,
//   a replaced one keeps the rights it had.
// Error texts are German and name the target.
namespace AtomicWrite {

// The file a write to path replaces: path itself, or the file a symbolic link at
// path names.
QString resolvedTarget(const QString& path);

// Creates a new, empty file with a unique hidden name beside target, readable and
// writable by the user only. Empty on failure (also when target is a folder or a
// file that may not be written).
QString createTempBeside(const QString& target, QString* error);

// Gives temp the rights of the file it replaces, flushes it to the disk and renames
// it over target. temp is removed when that fails.
bool commitTemp(const QString& temp, const QString& target, QString* error);

} // namespace AtomicWrite

// Writes bytes to target through a temporary file (see above). Writes unbuffered:
// a buffered file reports a write cut short by a full disk only when it is closed.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error);
