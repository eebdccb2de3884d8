#pragma once

#include "live/live_snapshot.h"

#include <QByteArray>
#include <QJsonObject>

// The API's documents (UTF-8 JSON). Every text of the table goes through the JSON writer, and
// '<', '>' and '&' are written as \u escapes, so no answer can be read as markup.

// /api/results.json: title, time of the last change and the rows in the table's order.
QByteArray liveResultsJson(const LiveSnapshot& s);
// /api/state.json: the run state, with times as differences of the tick counter at `tickNow`.
QByteArray liveStateJson(const LiveSnapshot& s, quint32 tickNow);

// Compact JSON with the markup characters escaped.
QByteArray liveJsonBytes(const QJsonObject& object);

// "#rrggbb" of a colour held with red in the low byte.
QString liveColourName(Rgb colour);

// The keys of the eleven results columns in the API, in column order.
const char* const* liveColumnKeys();
// The status mark of a Platz cell ("EL", "AUS", "AUF"), or "" for a rank or nothing.
QString liveStatusMark(const QString& platz);
// A data row that holds nothing but blanks (the single row of an empty table).
bool liveRowIsBlank(const QStringList& row);
