#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>
#include <QVector>

class ResultsTable;

// Reads the cell texts of the first worksheet of an .xlsx workbook (chart sheets
// listed before it are skipped). Only the sheet columns 1 to columns are kept:
// rows[k][j] is the cell in sheet row k + 1, column j + 1; the rows go down to the
// last one with text in those columns, missing rows and cells are empty texts, and
// each row is as long as its last cell with text. Shared strings, inline strings,
// formula results and numbers are read; a number is written in plain notation with
// decimalSeparator. A part that unpacks to more than 64 MiB, or text below sheet row
// 100 000, is refused. Returns false (rows untouched, a German text in error) on any
// error.
bool readFirstSheet(const QString& path, QVector<QStringList>* rows, QString* error,
                    QChar decimalSeparator = QLatin1Char('.'), int columns = 11);
// The same for a workbook held in memory.
bool readFirstSheetData(const QByteArray& data, QVector<QStringList>* rows, QString* error,
                        QChar decimalSeparator = QLatin1Char('.'), int columns = 11);

// Loads a protocol workbook into the table: every sheet row down to the last one with
// text, also those after a row without a start number. Sheet row 1 replaces the
// header row, the sheet columns 1 to 11 become the table columns 0 to 10 ("Platz"
// from column 11, empty where that cell is). Header titles that are empty (or blank)
// are restored to the defaults. With fewer than two rows the table becomes its empty
// state: the header (from sheet row 1 when there is one) and one empty data row. On
// any error the table is left unchanged.
bool LoadProtocolSheet(const QString& path, ResultsTable& table, QString* error,
                       QChar decimalSeparator = QLatin1Char('.'));

// The sheet rows applied to a table as LoadProtocolSheet does (exposed for tests).
void applyProtocolSheet(const QVector<QStringList>& sheetRows, ResultsTable& table);
