#pragma once

#include <QLocale>
#include <QString>
#include <functional>

class ResultsTable;
struct SortState;

// The table's context-menu commands. Each acts on the table's current row,
// catches its own errors and re-ranks the table; currentStartNumber is the
// start-number field, whose row the ranking selects.

// "Eliminieren": StrafG and StrafZ "-", Zeit1, Zeit2, Ges. and Platz "EL".
void Eliminieren(ResultsTable& table, SortState& sortState, const QString& currentStartNumber,
                 const QLocale& locale);

// "Ausgeschieden" (tag 0, "AUS") and "Aufgegeben" (tag 1, "AUF"): only Platz changes.
void markRetired(ResultsTable& table, SortState& sortState, const QString& currentStartNumber,
                 const QLocale& locale, int tag);

// "Ergebnisse loschen": empties StrafG to Platz.
void clearRowResults(ResultsTable& table, SortState& sortState, const QString& currentStartNumber,
                     const QLocale& locale);

// "Zeile entfernen": asks "Zeile löschen ?" and goes on only on yes. The only
// data row is emptied instead of deleted; when a row is really removed, row 1
// becomes the current and tracked row.
void deleteCurrentRow(ResultsTable& table, SortState& sortState, const QString& currentStartNumber,
                      const QLocale& locale, const std::function<bool(const QString&)>& ask);

// "Sortieren": the ranking and nothing else.
void Sortieren(ResultsTable& table, SortState& sortState, const QString& currentStartNumber,
               const QLocale& locale);

// The question "Zeile entfernen" asks.
QString deleteRowQuestion();
