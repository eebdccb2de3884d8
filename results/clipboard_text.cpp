#include "results/clipboard_text.h"

#include "results/results_table.h"

QString clipboardText(const ResultsTable& table)
{
    QString out;
    const QLatin1Char quote('"');
    for (const QStringList& row : table.rows()) {
        for (int c = 0; c < ResultsTable::ColumnCount; ++c) {
            if (c > 0)
                out += QLatin1Char('\t');
            const QString cell = row.value(c);
            if (cell.contains(QLatin1Char(';')))
                out += quote + cell + quote;
            else
                out += cell;
        }
        out += QLatin1String("\r\n");
    }
    return out;
}
