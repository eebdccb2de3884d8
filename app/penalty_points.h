#pragma once

#include <QLocale>
#include <QString>

// Time-penalty points of a phase 2 that runs over its limit.
//   x: how much longer phase 2 took than phase 1, in ms
//   deviation: allowed deviation in whole seconds ("ELZ1")
//   stepMs: length of one penalty step in ms ("SekPachka")
//   pointsPerStep: points per step in thousandths of a point ("PktSek")
// A step length of 0 or less (only a hand-edited setting gives one) counts as the
// smallest step the settings dialog allows, 100 ms, so no division by zero occurs
// and a run over its limit still gets points.
long double penaltyPoints(qint32 x, qint32 deviation, qint32 stepMs, qint32 pointsPerStep);

// "%1.0f" when the hundredths round to zero, else "%1.1f", with the separator of the given
// locale; independent of the C library's locale.
QString penaltyPointsText(long double points, const QLocale& locale);

// Round to nearest, ties to even.
qint64 roundHalfEvenInt(long double v);
