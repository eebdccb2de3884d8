#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QVector>

class ResultsTable;

// The text protocol: one line per table row, every cell followed by a TAB, every
// row by CR LF. The same file doubles as the start list.

// The file's bytes: Windows-1252, or UTF-8 with a byte-order mark when some cell
// holds a character Windows-1252 has no byte for.
QByteArray protocolTextBytes(const ResultsTable& table);

// Writes atomically (a temporary file in the same folder replaces the old one),
// so a failed write leaves an existing file as it was.
bool SaveProtocolText(const QString& path, const ResultsTable& table, QString* error);

// What a protocol file holds for the program.
struct ProtocolTextContent {
    QVector<QStringList> rows; // data rows, 11 cells each
    QStringList startList;     // every line of the file but the first
};

// What a protocol file may hold at most; a larger one is refused as a whole.
struct ProtocolTextLimits {
    static constexpr qint64 maxBytes = 16 * 1024 * 1024;
    static constexpr qint64 maxLines = 100000;
};

// Reads a protocol or a hand-made start list (TAB or ";" separated; CR LF, LF, or CR
// alone in a file without LF). A line is a header, and no table row, when its first
// field contains "Nr." or is "Nr". StrafZ and Ges. written with the other decimal
// separator ("2.5" under German settings) get the locale's separator. No limits.
ProtocolTextContent parseProtocolText(const QByteArray& bytes, const QLocale& locale = QLocale());

// The same within the limits: bytes beyond maxBytes or more than maxLines lines (any
// line end counted) give false with a German reason in error and out untouched.
bool readProtocolText(const QByteArray& bytes, ProtocolTextContent* out, QString* error,
                      const QLocale& locale = QLocale());

// Reads the file. A file that cannot be read or is beyond the limits gives false, a
// German message with the path in error, and leaves out untouched; a file beyond
// the size limit is not even read.
bool LoadProtocolText(const QString& path, ProtocolTextContent* out, QString* error,
                      const QLocale& locale = QLocale());

// Resets the table to the header plus one empty row and fills the data rows; the
// header row keeps its texts.
void applyProtocolText(ResultsTable& table, const ProtocolTextContent& content);

// "yyyy-mm-dd-hh-mm" of the given local time.
QString DefaultProtocolName(const QDateTime& now);

// The text of a file: UTF-16 when it starts with a UTF-16 byte-order mark, UTF-8
// when it starts with a UTF-8 byte-order mark or is valid UTF-8 holding non-ASCII
// bytes, otherwise Windows-1252.
QString decodeProtocolBytes(const QByteArray& bytes);
