#include "displays/top_ten.h"

QVector<QStringList> topTenLines(const QVector<QStringList>& tableRows)
{
    static constexpr int sources[topTenColumnCount] = {9, 1, 3, 2, 7, 8};
    QVector<QStringList> lines;
    for (int place = 1; place <= topTenPlaces; ++place) {
        QStringList line;
        const bool shown = place < tableRows.size() && !tableRows.at(place).value(0).isEmpty();
        for (int src : sources)
            line << (shown ? tableRows.at(place).value(src) : QString());
        lines << line;
    }
    return lines;
}
