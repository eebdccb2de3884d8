#include "results/ranking.h"

#include "results/results_table.h"
#include "results/sort_order.h"

namespace {

bool isStatusMark(const QString& platz)
{
    return platz == QLatin1String("AUS") || platz == QLatin1String("AUF") || platz == QLatin1String("EL");
}

} // namespace

QString startNumberKey(const QString& fieldText)
{
    const qsizetype tab = fieldText.indexOf(QLatin1Char('\t'));
    return tab < 0 ? fieldText : fieldText.left(tab);
}

void RankResults(ResultsTable& table, SortState& sortState, const QString& currentStartNumber,
                 const QLocale& locale)
{
    table.beginUpdate();
    sortState.sortable = true;
    sortState.direction = SortDirection::Ascending;
    // By Zeit2 then Zeit1, then by Ges. then Zeit1: ties in Ges. end up
    // ordered by Zeit1, then Zeit2, then their order before.
    const QString zeit1 = QString::number(ResultsTable::Zeit1);
    sortState.secondaryKeys = zeit1;
    sortInTurn(table, sortState, {{ResultsTable::Zeit2, zeit1}, {ResultsTable::Ges, zeit1}}, locale);

    int rankedRow = 1;   // position of the last row with a rank of its own
    QString rankedTotal; // its Ges. text
    for (int p = 1; p < table.rowCount(); ++p) {
        if (isStatusMark(table.cell(ResultsTable::Platz, p)))
            continue;
        const QString total = table.cell(ResultsTable::Ges, p);
        if (ResultsTable::isBlank(total))
            continue;
        if (total == rankedTotal &&
            table.cell(ResultsTable::Zeit1, p) == table.cell(ResultsTable::Zeit1, rankedRow) &&
            table.cell(ResultsTable::Zeit2, p) == table.cell(ResultsTable::Zeit2, rankedRow)) {
            table.setCell(ResultsTable::Platz, p, QString::number(rankedRow));
        } else {
            table.setCell(ResultsTable::Platz, p, QString::number(p));
            rankedTotal = total;
            rankedRow = p;
        }
    }
    table.endUpdate();

    const int row = table.findRow(ResultsTable::StNr, startNumberKey(currentStartNumber));
    if (row > 0)
        table.setCurrentRow(row);
}
