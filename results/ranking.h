#pragma once

#include <QLocale>
#include <QString>

class ResultsTable;
struct SortState;

// Sorts the table into ranking order (total points, then Zeit1, then Zeit2,
// then the order before) and writes competition ranks (1, 2, 2, 4) into
// Platz. Rows marked "AUS", "AUF" or "EL" keep their mark and use up their
// position; rows with a blank total are left alone. Afterwards the row of
// currentStartNumber (the text before its first TAB) is the current row.
void RankResults(ResultsTable& table, SortState& sortState, const QString& currentStartNumber,
                 const QLocale& locale);

// The start number part of a start-number field: the text before its first TAB.
QString startNumberKey(const QString& fieldText);
