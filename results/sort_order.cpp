#include "results/sort_order.h"

#include "platform/cp1252.h"
#include "results/points_text.h"
#include "results/results_table.h"

#include <QVector>
#include <algorithm>
#include <numeric>
#include <string>

namespace {

// Texts that are not numbers sort after every points value.
constexpr double kNotANumber = 9999999999.0;
// Effective length of "-" and blank times: longer than any time text.
constexpr int kNoTimeLength = 19;

enum class Rule { Ordinal, Numeric, Points, Time };

Rule ruleOf(int column)
{
    switch (column) {
    case ResultsTable::StNr:
    case ResultsTable::Platz:
        return Rule::Numeric;
    case ResultsTable::StrafG:
    case ResultsTable::StrafZ:
    case ResultsTable::Ges:
        return Rule::Points;
    case ResultsTable::Zeit1:
    case ResultsTable::Zeit2:
        return Rule::Time;
    default:
        return Rule::Ordinal;
    }
}

// A cell parsed once per pass, so the comparator only compares.
struct Key {
    std::u32string text; // lowercased (A-Z only) Windows-1252 codes
    double number = 0.0;
    int length = 0;
    bool isNumber = false;
};

// Windows-1252 byte values; a character without a byte sorts after all bytes.
std::u32string ordinalText(const QString& s)
{
    std::u32string out;
    out.reserve(std::size_t(s.size()));
    for (const QChar c : s) {
        const char16_t u = c.unicode();
        if (u >= u'A' && u <= u'Z') {
            out.push_back(char32_t(u + 32));
            continue;
        }
        if (u < 0x80) {
            out.push_back(u);
            continue;
        }
        const int b = Cp1252::byteOf(c);
        out.push_back(b >= 0 ? char32_t(b) : char32_t(0x100 + u));
    }
    return out;
}

bool isBlankTime(const QString& s)
{
    for (const QChar c : s)
        if (c != QLatin1Char(' '))
            return false;
    return true;
}

Key makeKey(Rule rule, const QString& s, const QLocale& locale)
{
    Key k;
    switch (rule) {
    case Rule::Ordinal:
        k.text = ordinalText(s);
        break;
    case Rule::Numeric:
        k.isNumber = parseDecimalNumber(s, locale, &k.number);
        k.text = ordinalText(s);
        break;
    case Rule::Points:
        if (!parseDecimalNumber(s, locale, &k.number))
            k.number = kNotANumber;
        break;
    case Rule::Time:
        k.length = (s == QLatin1String("-") || isBlankTime(s)) ? kNoTimeLength : int(s.size());
        k.text = ordinalText(s);
        break;
    }
    return k;
}

int compareNumbers(double a, double b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

int compareOrdinal(const std::u32string& a, const std::u32string& b)
{
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int compareKeys(Rule rule, const Key& a, const Key& b)
{
    switch (rule) {
    case Rule::Ordinal:
        return compareOrdinal(a.text, b.text);
    case Rule::Numeric:
        if (a.isNumber && b.isNumber)
            return compareNumbers(a.number, b.number);
        return compareOrdinal(a.text, b.text);
    case Rule::Points:
        return compareNumbers(a.number, b.number);
    case Rule::Time:
        if (a.length != b.length)
            return a.length < b.length ? -1 : 1;
        return compareOrdinal(a.text, b.text);
    }
    return 0;
}

} // namespace

SortStyle SortGrid1GetSortStyle(int column)
{
    switch (ruleOf(column)) {
    case Rule::Numeric:
        return SortStyle::Numeric;
    case Rule::Points:
    case Rule::Time:
        return SortStyle::Custom;
    case Rule::Ordinal:
        break;
    }
    return SortStyle::Normal;
}

int compareCells(int column, const QString& a, const QString& b, const QLocale& locale)
{
    const Rule rule = ruleOf(column);
    return compareKeys(rule, makeKey(rule, a, locale), makeKey(rule, b, locale));
}

QVector<int> sortKeyList(int column, const QString& secondaryKeys)
{
    QVector<int> keys{column};
    const QStringList parts = secondaryKeys.split(QLatin1Char(','));
    for (const QString& part : parts) {
        bool ok = false;
        const int k = part.trimmed().toInt(&ok);
        if (ok && k >= 0 && k < ResultsTable::ColumnCount && k != column)
            keys.append(k);
    }
    return keys;
}

void sortByColumn(ResultsTable& table, SortState& state, int column, const QLocale& locale)
{
    if (!state.sortable || column < 0 || column >= ResultsTable::ColumnCount)
        return;
    state.sortColumn = column;

    const QVector<QStringList>& rows = table.rows();
    const int n = table.dataRowCount();
    // order[i]: the row (1-based) that ends up at data position i. All passes
    // work on this permutation; the table is re-ordered once at the end.
    std::vector<int> order(static_cast<std::size_t>(n));
    std::iota(order.begin(), order.end(), 1);
    const bool descending = state.direction == SortDirection::Descending;

    const QVector<int> keys = sortKeyList(column, state.secondaryKeys);
    std::vector<Key> cellKeys(static_cast<std::size_t>(n) + 1);
    for (int k = int(keys.size()) - 1; k >= 0; --k) {
        const int col = keys[k];
        const Rule rule = ruleOf(col);
        for (int r = 1; r <= n; ++r)
            cellKeys[std::size_t(r)] = makeKey(rule, rows[r][col], locale);
        std::stable_sort(order.begin(), order.end(), [&](int x, int y) {
            const int c = compareKeys(rule, cellKeys[std::size_t(x)], cellKeys[std::size_t(y)]);
            return descending ? c > 0 : c < 0;
        });
    }

    bool moved = false;
    for (int i = 0; i < n && !moved; ++i)
        moved = order[std::size_t(i)] != i + 1;
    if (moved) {
        table.beginUpdate();
        table.reorder(QVector<int>(order.begin(), order.end()));
        table.endUpdate();
    }
    table.setCurrentRow(table.trackedRow());
}

void headerClick(SortState& state, int column, bool rightButton)
{
    if (state.direction == SortDirection::Descending)
        state.direction = SortDirection::Ascending;
    else if (column == state.sortColumn)
        state.direction = SortDirection::Descending;
    else
        state.direction = SortDirection::Ascending;
    if (rightButton)
        state.direction = SortDirection::Descending;
}
