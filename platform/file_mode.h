#pragma once

#include <QFileDevice>
#include <QString>

// Access rights of the files the program writes through a temporary file
// (which is created private to the user) before it takes the target's place.
namespace FileMode {

// What a newly created file gets: read and write for everybody, less what the
// user's file-creation mask takes away (0644 with the usual mask 022).
QFileDevice::Permissions forNewFile();

// The rights target has now, or those of a new file if there is none: a file
// that replaces target keeps the rights target had.
QFileDevice::Permissions forReplacing(const QString& target);

} // namespace FileMode
