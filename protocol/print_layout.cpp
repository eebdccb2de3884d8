#include "protocol/print_layout.h"

#include <QtGlobal>

#include <algorithm>

namespace PrintLayout {

QVector<int> printedColumns(const QVector<int>& viewWidths, int columnCount)
{
    QVector<int> columns;
    for (int c = 0; c < columnCount; ++c)
        if (c >= viewWidths.size() || viewWidths.at(c) >= 0)
            columns.append(c);
    return columns;
}

bool rightAligned(int column)
{
    return !wraps(column);
}

bool wraps(int column)
{
    return column == 1 || column == 2 || column == 3; // Fahrer, Beifahrer, Marke
}

QVector<double> columnWidths(const QVector<double>& natural, const QVector<bool>& wrapping, double available,
                             double minWrapWidth)
{
    const int n = int(natural.size());
    QVector<double> widths = natural;
    if (n == 0 || available <= 0)
        return QVector<double>(n, n ? qMax(0.0, available) / n : 0.0);
    double fixed = 0;
    double flexible = 0;
    int flexibleCount = 0;
    for (int i = 0; i < n; ++i) {
        if (wrapping.value(i)) {
            flexible += natural[i];
            ++flexibleCount;
        } else {
            fixed += natural[i];
        }
    }
    const double total = fixed + flexible;
    const auto scaleAll = [&](double factor) {
        for (double& w : widths)
            w *= factor;
    };
    if (total <= 0) {
        widths.fill(available / n);
        return widths;
    }
    if (total <= available) {
        // Room to spare: to the wrapping columns in proportion, else to all.
        const double spare = available - total;
        if (flexible > 0) {
            for (int i = 0; i < n; ++i)
                if (wrapping.value(i))
                    widths[i] += spare * natural[i] / flexible;
        } else {
            scaleAll(available / total);
        }
        return widths;
    }
    // Too narrow: the wrapping columns share what the others leave, if that
    // leaves each at least its minimum (or its natural width, if smaller).
    double minimumFlexible = 0;
    for (int i = 0; i < n; ++i)
        if (wrapping.value(i))
            minimumFlexible += qMin(natural[i], minWrapWidth);
    if (flexibleCount > 0 && fixed + minimumFlexible <= available) {
        // Shrink the widest wrapping columns first: find the cap c with
        // sum(min(natural, c)) = available - fixed.
        const double room = available - fixed;
        double lo = 0;
        double hi = flexible;
        for (int step = 0; step < 60; ++step) {
            const double cap = (lo + hi) / 2;
            double used = 0;
            for (int i = 0; i < n; ++i)
                if (wrapping.value(i))
                    used += qMin(natural[i], qMax(cap, qMin(natural[i], minWrapWidth)));
            (used > room ? hi : lo) = cap;
        }
        double used = fixed;
        for (int i = 0; i < n; ++i) {
            if (wrapping.value(i)) {
                widths[i] = qMin(natural[i], qMax(lo, qMin(natural[i], minWrapWidth)));
                used += widths[i];
            }
        }
        // Rounding rest to the widest wrapping column.
        int widest = -1;
        for (int i = 0; i < n; ++i)
            if (wrapping.value(i) && (widest < 0 || widths[i] > widths[widest]))
                widest = i;
        widths[widest] += available - used;
        return widths;
    }
    // Far too narrow: everything in proportion.
    scaleAll(available / total);
    return widths;
}

QVector<PageRows> paginate(const QVector<double>& rowHeights, double headerHeight, double firstBody,
                           double otherBody)
{
    QVector<PageRows> pages;
    PageRows page;
    double room = firstBody - headerHeight;
    for (int r = 0; r < rowHeights.size(); ++r) {
        const double h = rowHeights.at(r);
        if (page.count > 0 && h > room) {
            pages.append(page);
            page = PageRows{r, 0};
            room = otherBody - headerHeight;
        }
        ++page.count;
        room -= h;
    }
    pages.append(page);
    return pages;
}

QString pageNumberText(int page, int pageCount)
{
    return QStringLiteral("Seite %1 von %2").arg(page).arg(pageCount);
}

QVector<int> printedRows(const QVector<QStringList>& tableRows)
{
    QVector<int> rows;
    for (int r = 1; r < tableRows.size(); ++r) {
        const QStringList& cells = tableRows.at(r);
        const bool blank =
            std::all_of(cells.begin(), cells.end(), [](const QString& c) { return c.trimmed().isEmpty(); });
        if (!blank)
            rows.append(r);
    }
    return rows;
}

} // namespace PrintLayout
