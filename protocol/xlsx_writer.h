#pragma once

#include <QChar>
#include <QString>
#include <QVector>

class ResultsTable;

// The protocol as a spreadsheet workbook (.xlsx): the table columns 0 to 9 whose
// width is not negative (a hidden column has width -1), every row including the
// header, all values as text. Landscape page, bordered range, bold header row, the
// points number format on the fixed sheet columns 6, 9, 10, 11, 14, 15 and 17,
// author "Ruvanta-Werk Software", title eventTitle, sheet "Acker Klassik", column
// widths fitted to the longest text. The workbook is written to a temporary file in
// the target folder that then replaces path, so a failure never destroys an existing
// file. decimalSeparator is the separator the operator's spreadsheet shows; the file
// itself always stores the format code with a full stop ("0.00").
bool SaveProtocolSheet(const QString& path, const ResultsTable& table, const QVector<int>& columnWidths,
                       const QString& eventTitle, QChar decimalSeparator, QString* error);

// Width of a spreadsheet column (in widths of the digit 0 of the default font) that
// shows text without cutting it off.
double fittedColumnWidth(const QString& text, bool bold);

// The number format for points columns as the file stores it.
QString pointsNumberFormat(QChar decimalSeparator);
