#include "displays/cell_fit.h"

namespace {

const QString kEllipsis = QStringLiteral("…");

// Length of the longest prefix of text not longer than n that does not split
// a surrogate pair.
int safePrefix(const QString& text, int n)
{
    if (n > 0 && n < text.size() && text.at(n - 1).isHighSurrogate() && text.at(n).isLowSurrogate())
        --n;
    return n;
}

} // namespace

int smallestCellSize(int size)
{
    return (size + 1) / 2;
}

CellFit fitCellText(const QString& text, double available, int size, const TextMeasure& measure)
{
    CellFit fit;
    fit.size = size;
    fit.text = text;
    if (text.isEmpty() || size <= 0)
        return fit;
    const int smallest = qMax(1, smallestCellSize(size));
    const double full = measure(text, size);
    if (full <= available)
        return fit;
    if (size > smallest) {
        // Widths grow about in proportion to the size: start from that guess, then
        // step to the largest size that fits (a couple of measurements, not one per size).
        int s = qBound(smallest, int(size * qMax(0.0, available) / full), size - 1);
        while (s + 1 < size && measure(text, s + 1) <= available)
            ++s;
        while (s >= smallest && measure(text, s) > available)
            --s;
        if (s >= smallest) {
            fit.size = s;
            return fit;
        }
    }
    // Cut at the smallest size: the longest prefix that fits together with "…".
    fit.size = smallest;
    fit.elided = true;
    int lo = 0; // fits (an empty prefix is assumed to)
    int hi = int(text.size());
    while (hi - lo > 1) {
        const int mid = (lo + hi) / 2;
        if (measure(text.left(safePrefix(text, mid)) + kEllipsis, smallest) <= available)
            lo = mid;
        else
            hi = mid;
    }
    QString head = text.left(safePrefix(text, lo));
    while (!head.isEmpty() && head.back().isSpace())
        head.chop(1);
    // Not even "…" fits: the cell stays empty rather than showing a clipped glyph.
    fit.text = (!head.isEmpty() || measure(kEllipsis, smallest) <= available) ? head + kEllipsis : QString();
    return fit;
}
