#pragma once

#include <QString>

class ResultsTable;

// The text of the template paragraph that marks where the table goes.
QString wordTableMarker();
// The document template in the data folder.
QString wordTemplatePath();

// Writes a word-processor document (.docx) made from the template: the template's
// paragraph holding the marker text is replaced by a table of all rows of the
// results table, header row first (bold, repeated on every page), all 11 columns,
// cells as plain text, with borders. Without a marker the table goes to the end of
// the document. The document is written to a temporary file beside outPath that
// then replaces it; on failure an existing outPath is left as it was.
bool ExportToWordFile(const QString& templatePath, const QString& outPath, const ResultsTable& table,
                      QString* error);

// The document part with the table inserted (exposed for tests).
bool insertTableIntoDocument(const QByteArray& documentXml, const ResultsTable& table, QByteArray* result,
                             QString* error);
