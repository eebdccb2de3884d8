#pragma once

#include <QByteArray>
#include <QDateTime>
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

// Reads a protocol or a hand-made start list (TAB or ";" separated, CR LF or LF).
ProtocolTextContent parseProtocolText(const QByteArray& bytes);

// Reads the file; a file that cannot be read gives the system's message in error
// and leaves out untouched.
bool LoadProtocolText(const QString& path, ProtocolTextContent* out, QString* error);

// Resets the table to the header plus one empty row and fills the data rows; the
// header row keeps its texts.
void applyProtocolText(ResultsTable& table, const ProtocolTextContent& content);

// "yyyy-mm-dd-hh-mm" of the given local time.
QString DefaultProtocolName(const QDateTime& now);

// The text of a file: UTF-8 when it starts with a UTF-8 byte-order mark or is
// valid UTF-8 holding non-ASCII bytes, otherwise Windows-1252.
QString decodeProtocolBytes(const QByteArray& bytes);
