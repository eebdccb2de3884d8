#include "app/penalty_points.h"

#include <cfenv>
#include <cmath>
#include <cstdio>

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
    char buf[64];
    std::snprintf(buf, sizeof buf, r == 0 ? "%1.0Lf" : "%1.1Lf", points);
    QString text = QString::fromLatin1(buf);
    text.replace(QLatin1Char('.'), locale.decimalPoint());
    return text;
}
