#include "app/competitor_entry.h"

#include <limits>

namespace CompetitorEntry {

QString startNumberOf(const QString& text)
{
    const int tab = text.indexOf(QLatin1Char('\t'));
    return tab < 0 ? text : text.left(tab);
}

QStringList entryFields(const QString& line)
{
    QStringList fields = line.split(QLatin1Char('\t'));
    for (QString& f : fields) {
        int i = 0;
        while (i < f.size() && f.at(i) == QLatin1Char(' '))
            ++i;
        f.remove(0, i);
    }
    return fields;
}

QStringList yearList(int currentYear)
{
    QStringList years;
    for (int y = currentYear; y >= 1900; --y)
        years.append(QString::number(y));
    return years;
}

StartListPosition startListPosition(int index, int count)
{
    StartListPosition p;
    if (count <= 0) {
        p.label = QStringLiteral("0 von 0");
        return p;
    }
    const int i = qBound(-1, index, count - 1);
    p.back = i > 0;
    p.forward = i < count - 1;
    p.label = QStringLiteral("%1 von %2").arg(i + 1).arg(count);
    return p;
}

QString addOnePoint(const QString& points)
{
    bool ok = false;
    const int v = points.toInt(&ok);
    if (!ok || v == std::numeric_limits<int>::max())
        return QStringLiteral("0");
    return QString::number(v + 1);
}

bool acceptsPointsKey(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QChar(8);
}

} // namespace CompetitorEntry
