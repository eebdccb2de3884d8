#include "results/run_time_text.h"

QString FormatRunTime(qint32 ms)
{
    // Only -1 occurs as a negative duration; any negative one reads as no time
    // rather than producing minus signs inside the fields.
    if (ms < 0)
        ms = 0;
    const int hundredths = (ms / 10) % 100;
    const int seconds = (ms / 1000) % 60;
    const int minutes = (ms / 60000) % 60;
    const int hours = (ms / 3600000) % 100;
    const QString full = QStringLiteral("%1:%2:%3,%4")
                             .arg(hours, 2, 10, QLatin1Char('0'))
                             .arg(minutes, 2, 10, QLatin1Char('0'))
                             .arg(seconds, 2, 10, QLatin1Char('0'))
                             .arg(hundredths, 2, 10, QLatin1Char('0'));
    // Drop everything before the first significant digit, but keep at least
    // the units digit of the seconds (index 7 of "hh:mm:ss,cc").
    int first = 7;
    for (int i = 0; i < 7; ++i) {
        const QChar c = full.at(i);
        if (c >= QLatin1Char('1') && c <= QLatin1Char('9')) {
            first = i;
            break;
        }
    }
    return full.mid(first);
}
