#include "results/points_text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The range [begin, end) of text without surrounding blanks.
void trimBlanks(const QString& text, qsizetype* begin, qsizetype* end)
{
    *begin = 0;
    *end = text.size();
    while (*begin < *end && text.at(*begin) == QLatin1Char(' '))
        ++*begin;
    while (*end > *begin && text.at(*end - 1) == QLatin1Char(' '))
        --*end;
}

} // namespace

QString formatPoints(double v, const QLocale& locale)
{
    if (!std::isfinite(v) || v == 0.0)
        return QStringLiteral("0");
    // Round to 15 significant digits through the exponent form, then place the
    // decimal point by hand so the result never uses exponent notation.
    const QString e = QString::number(v, 'e', 14); // [-]d.dddddddddddddde[+-]xx
    const bool negative = e.startsWith(QLatin1Char('-'));
    const int ePos = int(e.indexOf(QLatin1Char('e')));
    QString digits = e.mid(negative ? 1 : 0, ePos - (negative ? 1 : 0));
    digits.remove(QLatin1Char('.'));
    const int exponent = e.mid(ePos + 1).toInt();
    while (digits.size() > 1 && digits.endsWith(QLatin1Char('0')))
        digits.chop(1);

    QString intPart;
    QString fracPart;
    const int pointAfter = exponent + 1; // digits before the decimal point
    if (pointAfter <= 0) {
        intPart = QStringLiteral("0");
        fracPart = QString(-pointAfter, QLatin1Char('0')) + digits;
    } else if (pointAfter >= digits.size()) {
        intPart = digits + QString(pointAfter - digits.size(), QLatin1Char('0'));
    } else {
        intPart = digits.left(pointAfter);
        fracPart = digits.mid(pointAfter);
    }
    QString out = negative ? QStringLiteral("-") : QString();
    out += intPart;
    if (!fracPart.isEmpty())
        out += locale.decimalPoint() + fracPart;
    return out;
}

bool parseDecimalNumber(const QString& text, const QLocale& locale, double* out)
{
    qsizetype i = 0;
    qsizetype end = 0;
    trimBlanks(text, &i, &end);
    const QString sep = locale.decimalPoint();

    std::string c; // the number in C notation, independent of the C library's locale
    c.reserve(std::size_t(end - i) + 1);
    if (i < end && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) {
        if (text.at(i) == QLatin1Char('-'))
            c.push_back('-');
        ++i;
    }
    int mantissaDigits = 0;
    while (i < end && isAsciiDigit(text.at(i))) {
        c.push_back(char(text.at(i++).unicode()));
        ++mantissaDigits;
    }
    if (!sep.isEmpty() && i < end && QStringView(text).mid(i).startsWith(sep)) {
        i += sep.size();
        c.push_back('.');
        while (i < end && isAsciiDigit(text.at(i))) {
            c.push_back(char(text.at(i++).unicode()));
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return false;
    if (i < end && (text.at(i) == QLatin1Char('e') || text.at(i) == QLatin1Char('E'))) {
        c.push_back('e');
        ++i;
        if (i < end && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
            c.push_back(char(text.at(i++).unicode()));
        int expDigits = 0;
        while (i < end && isAsciiDigit(text.at(i))) {
            c.push_back(char(text.at(i++).unicode()));
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
    }
    if (i != end)
        return false;
    double v = 0.0;
    const auto res = std::from_chars(c.data(), c.data() + c.size(), v);
    if (res.ec != std::errc() || res.ptr != c.data() + c.size() || !std::isfinite(v))
        return false;
    if (out)
        *out = v;
    return true;
}

bool parseWholeNumber(const QString& text, int* out)
{
    qsizetype i = 0;
    qsizetype end = 0;
    trimBlanks(text, &i, &end);
    bool negative = false;
    if (i < end && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
        negative = text.at(i++) == QLatin1Char('-');
    if (i == end)
        return false;
    qint64 v = 0;
    for (; i < end; ++i) {
        if (!isAsciiDigit(text.at(i)))
            return false;
        v = v * 10 + (text.at(i).unicode() - '0');
        if (v > qint64(1) << 31)
            return false;
    }
    if (negative)
        v = -v;
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        return false;
    if (out)
        *out = int(v);
    return true;
}
