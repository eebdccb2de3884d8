#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A look at the data files the program ships with (gongs, document template,
// manual): where it looks for each one and whether it can read it there. Shown
// on standard error when the environment variable ACKERKLASSIK_CHECK_DATA is
// set, so an installation can be checked without touching the settings.
struct DataItem {
    QString what; // "Gong TIMER", "Vorlage", ...
    QString path;
    bool folder = false;
};

// The data folder and every shipped file at the place the program uses it.
QList<DataItem> shippedDataItems();

// One line per item, "<what>: <path>: <state>"; *allFound is true when every
// folder exists and every file can be opened for reading.
QStringList dataCheckReport(const QList<DataItem>& items, bool* allFound);

// The environment variable that asks for the report.
inline const char* dataCheckVariable()
{
    return "ACKERKLASSIK_CHECK_DATA";
}
