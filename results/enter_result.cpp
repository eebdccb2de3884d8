#include "results/enter_result.h"

#include "results/points_text.h"
#include "results/ranking.h"
#include "results/results_table.h"
#include "results/run_time_text.h"
#include "results/sort_order.h"
#include "results/update_group.h"

QStringList buildResultRow(const EntryFields& fields, const QLocale& locale)
{
    int skill = 0;
    if (!parseWholeNumber(fields.skillPointsText, &skill))
        skill = 0;
    double penalty = 0.0;
    if (!parseDecimalNumber(fields.penaltyPointsText, locale, &penalty))
        penalty = 0.0;
    return {startNumberKey(fields.stNrText),
            fields.driver,
            fields.coDriver,
            fields.brand,
            fields.year,
            QString::number(skill),
            FormatRunTime(fields.phaseOneTime),
            FormatRunTime(fields.runTime),
            formatPoints(penalty, locale),
            formatPoints(double(skill) + penalty, locale),
            QString()};
}

namespace {

bool holdsResult(const QStringList& row)
{
    for (int c = ResultsTable::StrafG; c <= ResultsTable::Platz; ++c)
        if (!ResultsTable::isBlank(row.value(c)))
            return true;
    return false;
}

// The row a run of this start number replaces, or -1. A start number replaces its own row.
// Without a start number the run fills the first numberless row that holds no result yet:
// two runs entered without a number must not overwrite each other.
int rowToReplace(const ResultsTable& table, const QString& stNr)
{
    if (!stNr.isEmpty())
        return table.findRow(ResultsTable::StNr, stNr);
    for (int r = 1; r < table.rowCount(); ++r) {
        const QStringList& row = table.rows().at(r);
        if (row.value(ResultsTable::StNr).isEmpty() && !holdsResult(row))
            return r;
    }
    return -1;
}

} // namespace

void EnterResult(ResultsTable& table, SortState& sortState, const EntryFields& fields, const QLocale& locale)
{
    const QStringList cells = buildResultRow(fields, locale);
    UpdateGroup group(table);
    const int found = rowToReplace(table, cells.at(ResultsTable::StNr));
    if (found > 0) {
        table.setRow(found, cells);
    } else {
        const int last = table.rowCount() - 1;
        bool lastEmpty = true;
        for (const QString& c : table.rows().at(last))
            lastEmpty = lastEmpty && c.isEmpty();
        if (lastEmpty)
            table.setRow(last, cells);
        else
            table.appendRow(cells);
    }
    RankResults(table, sortState, fields.stNrText, locale);
}

QVector<int> resultColumnWidths(int clientWidth)
{
    QVector<int> w = {45, 0, 0, 0, 50, 43, 66, 66, 46, 46, 38};
    int fixed = 0;
    for (const int x : w)
        fixed += x;
    const qint64 rest = qMax<qint64>(0, qint64(clientWidth) - fixed - ResultsTable::ColumnCount);
    w[ResultsTable::Fahrer] = int(rest * 45 / 100);
    w[ResultsTable::Beifahrer] = int(rest * 30 / 100);
    w[ResultsTable::Marke] = int(rest * 25 / 100);
    return w;
}
