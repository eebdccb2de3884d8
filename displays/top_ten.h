#pragma once

#include <QStringList>
#include <QVector>

// Which results-table cells the top-ten window shows, column by column:
// Ges., Fahrer, Marke, Beifahrer, Zeit2, StrafZ.
constexpr int topTenColumnCount = 6;
constexpr int topTenPlaces = 10;

// The ten lines of the top ten from the results table's rows (row 0 the
// header). A missing row, or one whose St.Nr. is empty, gives an empty line;
// missing cells are empty.
QVector<QStringList> topTenLines(const QVector<QStringList>& tableRows);
