#pragma once

#include "live/live_snapshot.h"

#include <QByteArray>
#include <QString>

// The pages of the live server, German, from templates compiled into the program. Every text
// from the table is HTML-escaped; the pages load only the server's own style sheet and script.

// "/": the results table in the program's order with all columns.
QByteArray liveResultsPage(const LiveSnapshot& s);
// "/top10": the first ten rows in large type.
QByteArray liveTopTenPage(const LiveSnapshot& s);
// "/uhr": the running time; the script draws the digits from the run state.
QByteArray liveClockPage(const LiveSnapshot& s);

// A fixed asset ("/live.css", "/live.js"): its bytes and content type; false for any other path.
bool liveAsset(const QString& path, QByteArray* body, QByteArray* contentType);

// Text for HTML content and attribute values: & < > " ' escaped.
QString liveHtmlEscape(const QString& text);
