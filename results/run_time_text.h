#pragma once

#include <QString>

// A run time in milliseconds as shown in the table and on the displays:
// [h:][m]m:ss,cc with leading zero fields dropped down to s,cc ("1:23,45",
// "12,34", "0,50", "1:02:03,45"). The comma is fixed, whatever the locale.
// Negative durations (the Absage marker -1) read "0,00".
QString FormatRunTime(qint32 ms);
