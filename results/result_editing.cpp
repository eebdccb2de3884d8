#include "results/result_editing.h"

#include "results/ranking.h"
#include "results/results_table.h"
#include "results/sort_order.h"
#include "results/update_group.h"

namespace {

bool isDataRow(const ResultsTable& table, int row)
{
    return row >= 1 && row < table.rowCount();
}

// Runs one command; an error leaves what was changed before it and is not reported.
template <typename F> void guarded(F&& command)
{
    try {
        command();
    } catch (...) {
    }
}

} // namespace

QString deleteRowQuestion()
{
    return QStringLiteral("Zeile löschen ?");
}

void Eliminieren(ResultsTable& table, SortState& sortState, const QString& currentStartNumber,
                 const QLocale& locale)
{
    guarded([&] {
        const int row = table.currentRow();
        if (!isDataRow(table, row))
            return;
        UpdateGroup group(table);
        const QString dash = QStringLiteral("-");
        const QString el = QStringLiteral("EL");
        table.setCell(ResultsTable::StrafG, row, dash);
        table.setCell(ResultsTable::Zeit1, row, el);
        table.setCell(ResultsTable::Zeit2, row, el);
        table.setCell(ResultsTable::StrafZ, row, dash);
        table.setCell(ResultsTable::Ges, row, el);
        table.setCell(ResultsTable::Platz, row, el);
        RankResults(table, sortState, currentStartNumber, locale);
    });
}

void markRetired(ResultsTable& table, SortState& sortState, const QString& currentStartNumber,
                 const QLocale& locale, int tag)
{
    guarded([&] {
        const int row = table.currentRow();
        if (!isDataRow(table, row) || (tag != 0 && tag != 1))
            return;
        UpdateGroup group(table);
        table.setCell(ResultsTable::Platz, row, tag == 0 ? QStringLiteral("AUS") : QStringLiteral("AUF"));
        RankResults(table, sortState, currentStartNumber, locale);
    });
}

void clearRowResults(ResultsTable& table, SortState& sortState, const QString& currentStartNumber,
                     const QLocale& locale)
{
    guarded([&] {
        UpdateGroup group(table);
        const int row = table.currentRow();
        if (isDataRow(table, row))
            for (int c = ResultsTable::StrafG; c <= ResultsTable::Platz; ++c)
                table.setCell(c, row, QString());
        RankResults(table, sortState, currentStartNumber, locale);
    });
}

void deleteCurrentRow(ResultsTable& table, SortState& sortState, const QString& currentStartNumber,
                      const QLocale& locale, const std::function<bool(const QString&)>& ask)
{
    guarded([&] {
        if (!ask || !ask(deleteRowQuestion()))
            return;
        const int row = table.currentRow();
        if (isDataRow(table, row)) {
            const int before = table.rowCount();
            table.deleteRow(row);
            if (table.rowCount() != before) {
                // The St.Nr. cell of row 1 becomes current, which also tracks row 1.
                table.setTrackedRow(1);
                table.setCurrentRow(1);
            }
        }
        RankResults(table, sortState, currentStartNumber, locale);
    });
}

void Sortieren(ResultsTable& table, SortState& sortState, const QString& currentStartNumber,
               const QLocale& locale)
{
    guarded([&] { RankResults(table, sortState, currentStartNumber, locale); });
}
