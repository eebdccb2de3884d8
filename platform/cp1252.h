#pragma once

#include <QByteArray>
#include <QString>

// Windows-1252, the program's single-byte character set.
namespace Cp1252 {
// True when every character of text has a Windows-1252 byte.
bool canEncode(const QString& text);
// Characters without a byte become '?'.
QByteArray encode(const QString& text);
QString decode(const QByteArray& bytes);
// The byte of one character, or -1 when it has none.
int byteOf(QChar c);
} // namespace Cp1252
