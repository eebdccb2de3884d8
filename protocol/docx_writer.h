#pragma once

#include <QString>

class ResultsTable;

// The lines above the table: the event title (left out when empty) and the
// date of the export (as the operator reads dates).
struct WordHeading {
    QString eventTitle;
    QString dateText;
};

// The text of the template paragraph that marks where the table goes.
QString wordTableMarker();
// The document template in the data folder.
QString wordTemplatePath();

// Writes a word-processor document (.docx) made from the template: the template's
// paragraph holding the marker text is replaced by a table of all rows of the
// results table, header row first (bold, repeated on every page), all 11 columns,
// cells as plain text, with borders; the heading's lines go right above it.
// Without a marker both go to the end of the document. The document is written
// to a temporary file beside outPath that then replaces it; on failure an
// existing outPath is left as it was. A new file gets the usual rights of a new
// file (readable by others unless the user's mask forbids it); a replaced file
// keeps the rights it had.
bool ExportToWordFile(const QString& templatePath, const QString& outPath, const ResultsTable& table,
                      QString* error, const WordHeading& heading = {});

// The document part with the heading and the table inserted (exposed for tests).
bool insertTableIntoDocument(const QByteArray& documentXml, const ResultsTable& table, QByteArray* result,
                             QString* error, const WordHeading& heading = {});
