#include "results/sort_order.h"

#include "platform/cp1252.h"
#include "results/points_text.h"
#include "results/results_table.h"

#include <QVector>
#include <algorithm>
#include <map>
#include <numeric>
#include <string>
#include <string_view>

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

// The cells of one column parsed once, so the comparator only compares.
// Ordinal texts (lowercased A-Z, Windows-1252 codes) share one buffer.
struct Key {
    double number = 0.0;
    quint32 offset = 0; // of the ordinal text in ColumnKeys::codes
    quint32 size = 0;
    int length = 0; // effective length of a time text
    bool isNumber = false;
};

struct ColumnKeys {
    Rule rule = Rule::Ordinal;
    std::vector<Key> keys;
    std::vector<char32_t> codes;

    std::u32string_view text(const Key& k) const { return {codes.data() + k.offset, k.size}; }
};

// Windows-1252 byte values; a character without a byte sorts after all bytes.
void appendOrdinal(std::vector<char32_t>& codes, const QString& s)
{
    for (const QChar c : s) {
        const char16_t u = c.unicode();
        if (u >= u'A' && u <= u'Z')
            codes.push_back(char32_t(u + 32));
        else if (u < 0x80)
            codes.push_back(u);
        else {
            const int b = Cp1252::byteOf(c);
            codes.push_back(b >= 0 ? char32_t(b) : char32_t(0x100 + u));
        }
    }
}

bool isBlankTime(const QString& s)
{
    for (const QChar c : s)
        if (c != QLatin1Char(' '))
            return false;
    return true;
}

Key makeKey(Rule rule, const QString& s, const QLocale& locale, std::vector<char32_t>& codes)
{
    Key k;
    bool ordinal = true;
    switch (rule) {
    case Rule::Ordinal:
        break;
    case Rule::Numeric:
        k.isNumber = parseDecimalNumber(s, locale, &k.number);
        break;
    case Rule::Points:
        if (!parseDecimalNumber(s, locale, &k.number))
            k.number = kNotANumber;
        ordinal = false;
        break;
    case Rule::Time:
        k.length = (s == QLatin1String("-") || isBlankTime(s)) ? kNoTimeLength
                                                               : int(qMin<qsizetype>(s.size(), 1 << 30));
        break;
    }
    if (ordinal) {
        k.offset = quint32(codes.size());
        appendOrdinal(codes, s);
        k.size = quint32(codes.size()) - k.offset;
    }
    return k;
}

int compareNumbers(double a, double b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

int compareOrdinal(std::u32string_view a, std::u32string_view b)
{
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int compareKeys(const ColumnKeys& ck, const Key& a, const Key& b)
{
    switch (ck.rule) {
    case Rule::Ordinal:
        return compareOrdinal(ck.text(a), ck.text(b));
    case Rule::Numeric:
        if (a.isNumber && b.isNumber)
            return compareNumbers(a.number, b.number);
        return compareOrdinal(ck.text(a), ck.text(b));
    case Rule::Points:
        return compareNumbers(a.number, b.number);
    case Rule::Time:
        if (a.length != b.length)
            return a.length < b.length ? -1 : 1;
        return compareOrdinal(ck.text(a), ck.text(b));
    }
    return 0;
}

// Keys of a column for the data rows, indexed by row number (index 0 unused).
ColumnKeys columnKeys(const QVector<QStringList>& rows, int column, const QLocale& locale)
{
    ColumnKeys ck;
    ck.rule = ruleOf(column);
    ck.keys.resize(std::size_t(rows.size()));
    ck.codes.reserve(std::size_t(rows.size()) * 8);
    for (int r = 1; r < rows.size(); ++r)
        ck.keys[std::size_t(r)] = makeKey(ck.rule, rows[r][column], locale, ck.codes);
    return ck;
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
    ColumnKeys ck;
    ck.rule = ruleOf(column);
    const Key ka = makeKey(ck.rule, a, locale, ck.codes);
    const Key kb = makeKey(ck.rule, b, locale, ck.codes);
    return compareKeys(ck, ka, kb);
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

void sortInTurn(ResultsTable& table, SortState& state, const QVector<QPair<int, QString>>& sorts,
                const QLocale& locale)
{
    if (!state.sortable)
        return;
    const QVector<QStringList>& rows = table.rows();
    const int n = table.dataRowCount();
    // order[i]: the row that ends up at data position i. All passes work on
    // this permutation; the table is re-ordered once at the end.
    std::vector<int> order(static_cast<std::size_t>(n));
    std::iota(order.begin(), order.end(), 1);
    const bool descending = state.direction == SortDirection::Descending;
    // Keys belong to rows, not positions, so a column is parsed only once.
    std::map<int, ColumnKeys> cache;
    bool sorted = false;

    for (const auto& sort : sorts) {
        const int column = sort.first;
        if (column < 0 || column >= ResultsTable::ColumnCount)
            continue;
        sorted = true;
        state.sortColumn = column;
        const QVector<int> keys = sortKeyList(column, sort.second);
        for (int k = int(keys.size()) - 1; k >= 0; --k) {
            const int col = keys[k];
            auto it = cache.find(col);
            if (it == cache.end())
                it = cache.emplace(col, columnKeys(rows, col, locale)).first;
            const ColumnKeys& ck = it->second;
            std::stable_sort(order.begin(), order.end(), [&](int x, int y) {
                const int c = compareKeys(ck, ck.keys[std::size_t(x)], ck.keys[std::size_t(y)]);
                return descending ? c > 0 : c < 0;
            });
        }
    }
    if (!sorted)
        return;

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

void sortByColumn(ResultsTable& table, SortState& state, int column, const QLocale& locale)
{
    sortInTurn(table, state, {{column, state.secondaryKeys}}, locale);
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
