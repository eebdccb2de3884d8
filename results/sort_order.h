#pragma once

#include <QLocale>
#include <QPair>
#include <QString>
#include <QVector>

class ResultsTable;

// Comparison styles a column can ask for; the table uses Normal, Numeric and
// Custom (the points and time rules, chosen by column).
enum class SortStyle { Automatic, Normal, Numeric, NumericExtended, DateTime, Time, Custom };
enum class SortDirection { Ascending, Descending };

// The table's sort settings, kept for the life of the program and not saved.
struct SortState {
    bool sortable = true;
    int sortColumn = 9;
    // Comma-separated column numbers used as further keys after the sort column.
    QString secondaryKeys = QStringLiteral("6");
    SortDirection direction = SortDirection::Ascending;
};

// Style of a column: St.Nr. and Platz numeric, the names and year ordinal,
// points and times by their own rules (Custom).
SortStyle SortGrid1GetSortStyle(int column);

// Compares two cell texts of a column by that column's rule (ascending):
// negative, zero or positive.
int compareCells(int column, const QString& a, const QString& b, const QLocale& locale);

// The sort keys in processing order: column first, then the secondary keys
// without column; entries that are not column numbers are skipped.
QVector<int> sortKeyList(int column, const QString& secondaryKeys);

// Sorts the data rows by column, then by the secondary keys: one stable pass
// per key from the last key back to column. Descending reverses only unequal
// comparisons. Afterwards the tracked row is the current row.
void sortByColumn(ResultsTable& table, SortState& state, int column, const QLocale& locale);

// Several sorts one after the other, each by a column with its own secondary
// keys, with the same result as sorting by each in turn; the rows are parsed
// once per column and re-ordered once.
void sortInTurn(ResultsTable& table, SortState& state, const QVector<QPair<int, QString>>& sorts,
                const QLocale& locale);

// Direction after a click on a column's header: a descending table turns
// ascending; an ascending one turns descending when its sort column is
// clicked again; the right button always gives descending.
void headerClick(SortState& state, int column, bool rightButton);
