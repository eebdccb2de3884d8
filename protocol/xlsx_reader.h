#pragma once

#include <QChar>
#include <QString>
#include <QStringList>
#include <QVector>

class ResultsTable;

// Reads the cell texts of the first worksheet of an .xlsx workbook. rows[k][j] is
// the cell in sheet row k + 1, column j + 1; missing rows and cells inside the used
// area are empty texts, each row is as long as its last cell. Shared strings, inline
// strings, formula results and numbers are read; a number is written in plain
// notation with decimalSeparator. Returns false (rows untouched) on any error.
bool readFirstSheet(const QString& path, QVector<QStringList>* rows, QString* error,
                    QChar decimalSeparator = QLatin1Char('.'));

// Loads a protocol workbook into the table. The leading sheet rows whose first cell
// is not empty are taken: sheet row 1 replaces the header row, the sheet columns 1
// to 10 become the table columns 0 to 9, and the table's "Platz" column keeps what
// it held in each row. Header titles that are empty (or blank) are restored to the
// defaults. With fewer than two such rows the table becomes its empty state: the
// header (from sheet row 1 when that row is taken) and one empty data row. On any
// error the table is left unchanged.
bool LoadProtocolSheet(const QString& path, ResultsTable& table, QString* error,
                       QChar decimalSeparator = QLatin1Char('.'));

// The sheet rows applied to a table as LoadProtocolSheet does (exposed for tests).
void applyProtocolSheet(const QVector<QStringList>& sheetRows, ResultsTable& table);
