#include "app/penalty_points.h"

#include <cfenv>
#include <charconv>
#include <cmath>

namespace {
constexpr qint32 kSmallestStep = 100;
}

qint64 roundHalfEvenInt(long double v)
{
    // nearbyint honours the current rounding mode, which is to-nearest-even by default.
    const int saved = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const long double r = std::nearbyintl(v);
    std::fesetround(saved);
    return qint64(r);
}

long double penaltyPoints(qint32 x, qint32 deviation, qint32 stepMs, qint32 pointsPerStep)
{
    const qint64 s = stepMs > 0 ? stepMs : kSmallestStep;
    if (s >= 1000) {
        const qint64 k = roundHalfEvenInt((long double)s / 1000.0L);
        const qint64 n = ((qint64(x) + s - 1) / 1000 - deviation) / k;
        return (long double)n * ((long double)pointsPerStep / 1000.0L);
    }
    const qint64 g = (qint64(x) + s - 1) / s;
    // Extended precision, evaluated in the order (g - D * (1000 / S)) * P / 1000.
    long double v = (long double)g - (long double)deviation * (1000.0L / (long double)s);
    v = v * (long double)pointsPerStep;
    v = v / 1000.0L;
    return v;
}

QString penaltyPointsText(long double points, const QLocale& locale)
{
    const long double r = std::fmod((long double)roundHalfEvenInt(points * 100.0L), 100.0L);
    // std::to_chars writes the extended value exactly as "%1.0Lf"/"%1.1Lf" would in the
    // C locale, whatever LC_NUMERIC the process runs under; going through double first
    // would round some values differently (0.15 gives 0,2 here, 0,1 as a double).
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, points, std::chars_format::fixed, r == 0 ? 0 : 1);
    if (res.ec != std::errc())
        return QStringLiteral("0");
    QString text = QString::fromLatin1(buf, int(res.ptr - buf));
    text.replace(QLatin1Char('.'), locale.decimalPoint());
    return text;
}
