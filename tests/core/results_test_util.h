#pragma once

#include "results/results_table.h"

#include <QLocale>
#include <QStringList>
#include <QVector>

// Helpers shared by the results tests. Points texts are written German style
// ("2,5") and converted to the locale under test; time texts keep their comma.
namespace ResultsTestUtil {

inline QVector<QLocale> testLocales()
{
    return {QLocale(QLocale::German, QLocale::Germany), QLocale(QLocale::English, QLocale::UnitedStates)};
}

inline QString localeTag(const QLocale& l)
{
    return l.language() == QLocale::German ? QStringLiteral(" [de]") : QStringLiteral(" [en]");
}

inline QString pts(const QString& germanText, const QLocale& l)
{
    QString s = germanText;
    return s.replace(QLatin1Char(','), l.decimalPoint());
}

// A row from "stnr|ges|zeit1|zeit2|platz"; StrafG and StrafZ follow Ges., "-" for "EL".
inline QStringList rankRow(const QString& cells, const QLocale& l)
{
    const QStringList p = cells.split(QLatin1Char('|'));
    QStringList r = ResultsTable::emptyRow();
    const QString ges = p.value(1);
    const bool el = ges == QLatin1String("EL");
    r[ResultsTable::StNr] = p.value(0);
    r[ResultsTable::Fahrer] = QStringLiteral("Fahrer ") + p.value(0);
    r[ResultsTable::StrafG] = el ? QStringLiteral("-") : QStringLiteral("0");
    r[ResultsTable::StrafZ] = el ? QStringLiteral("-") : pts(ges, l);
    r[ResultsTable::Ges] = pts(ges, l);
    r[ResultsTable::Zeit1] = p.value(2);
    r[ResultsTable::Zeit2] = p.value(3);
    r[ResultsTable::Platz] = p.value(4);
    return r;
}

inline void fill(ResultsTable& t, const QStringList& specs, const QLocale& l)
{
    t.clear();
    for (int i = 0; i < specs.size(); ++i) {
        if (i == 0)
            t.setRow(1, rankRow(specs[i], l));
        else
            t.appendRow(rankRow(specs[i], l));
    }
}

// "stnr:platz" for every data row, top to bottom.
inline QStringList stnrAndPlatz(const ResultsTable& t)
{
    QStringList out;
    for (int r = 1; r < t.rowCount(); ++r)
        out << t.cell(ResultsTable::StNr, r) + QLatin1Char(':') + t.cell(ResultsTable::Platz, r);
    return out;
}

} // namespace ResultsTestUtil
