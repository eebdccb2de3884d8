#pragma once

#include <QString>

class ResultsTable;

// The whole table as the clipboard gets it: header row first, cells joined by
// TAB, a cell holding ";" enclosed in double quotes (inner quotes are not
// doubled), CR LF after every row including the last.
QString clipboardText(const ResultsTable& table);
