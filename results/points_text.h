#pragma once

#include <QLocale>
#include <QString>

// Points as the table writes them: plain decimal notation, at most 15
// significant digits, no trailing zeros, no thousands separator, the locale's
// decimal separator (3 -> "3", 2.5 -> "2,5" under German settings).
// A value that is not finite is written as "0".
QString formatPoints(double v, const QLocale& locale);

// A decimal number: optional sign, digits, optionally the locale's decimal
// separator and digits, optionally an exponent (e/E, optional sign, digits);
// blanks before and after are allowed. At least one digit is needed, so an
// empty text is not a number; neither is a value beyond the double range.
bool parseDecimalNumber(const QString& text, const QLocale& locale, double* out);

// A whole number in decimal (optional sign, blanks around allowed) that fits
// into an int.
bool parseWholeNumber(const QString& text, int* out);
