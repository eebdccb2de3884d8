#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QVector>

class ResultsTable;
struct SortState;

// What EINTRAGEN hands over: the entry fields as typed and the two phase times.
struct EntryFields {
    QString stNrText; // may hold a start-list entry: number, TAB, further text
    QString driver;
    QString coDriver;
    QString brand;
    QString year;
    QString skillPointsText;
    QString penaltyPointsText;
    qint32 phaseOneTime = 0;
    qint32 runTime = 0;
};

// The 11 cell texts of a run. Skill points that are not a whole number and
// penalty points that are not a decimal number count as 0; Platz stays empty.
QStringList buildResultRow(const EntryFields& fields, const QLocale& locale);

// Enters a run: overwrites the first row of its start number, or fills an
// all-empty last row, or appends a row; then ranks the table, all as one
// grouped change.
void EnterResult(ResultsTable& table, SortState& sortState, const EntryFields& fields, const QLocale& locale);

// Column widths for a table client width: fixed widths for the number
// columns, the rest (less one pixel per column for the grid lines) shared
// 45:30:25 by Fahrer, Beifahrer and Marke, rounded down, never negative.
QVector<int> resultColumnWidths(int clientWidth);
