#pragma once

#include <QChar>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QVector>

class ResultsTable;

// How writeResultsWorkbook lays out a sheet.
struct WorkbookOptions {
    // Table columns (0 to 10) in sheet order.
    QVector<int> columns;
    // The notation of the numbers in the table's texts ("2,5" under German settings).
    QLocale locale;
    QString sheetName = QStringLiteral("Acker Klassik");
    QString title;
    QString author = QStringLiteral("Ruvanta-Werk Software");
    // The protocol's look: landscape page, thin borders round every cell of the range,
    // bold header row with hairline borders, and the points number format on the fixed
    // sheet columns 6, 9, 10, 11, 14, 15 and 17 (also beyond the range).
    bool protocolLayout = true;
};

// The one workbook writer, for the protocol file and the spreadsheet view. rows[0] is
// the header row and stays text. In the data rows, a Baujahr, StrafG, StrafZ or Ges.
// cell that holds a number in the locale's notation is stored as a number with a
// number format ("0" for Baujahr, "0.00" for points), so a spreadsheet can sum and
// sort it, as long as reading it back gives the same text ("2,50" stays text, for
// example); everything else, times included, is text. Column widths fit the longest
// text. The workbook is written to a temporary file in the target folder that then
// replaces path, so a failure never destroys an existing file. German errors.
bool writeResultsWorkbook(const QString& path, const QVector<QStringList>& rows,
                          const WorkbookOptions& options, QString* error);

// The protocol as a spreadsheet workbook (.xlsx): the table columns 0 to 9 whose
// width is not negative (a hidden column has width -1) followed by "Platz", every
// row including the header, with the protocol layout; author "Ruvanta-Werk Software",
// title eventTitle, sheet "Acker Klassik". With every column shown, "Platz" is the
// eleventh sheet column, where the reader takes it from.
bool SaveProtocolSheet(const QString& path, const ResultsTable& table, const QVector<int>& columnWidths,
                       const QString& eventTitle, const QLocale& locale, QString* error);

// Width of a spreadsheet column (in widths of the digit 0 of the default font) that
// shows text without cutting it off.
double fittedColumnWidth(const QString& text, bool bold);

// The number format for points columns as the file stores it.
QString pointsNumberFormat();

// Whether the cell of a table column is stored as a number, and which: false for
// texts that would not read back as they are.
bool workbookNumber(int tableColumn, const QString& text, const QLocale& locale, double* value);
