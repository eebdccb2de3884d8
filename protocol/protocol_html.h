#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

class ResultsTable;

// The web-page protocol: a title block and the results table, for viewing and printing.
// columnWidths holds the display width of each column; a width of 0 or less hides the
// column's data cells (a missing entry counts as shown). The page is Windows-1252,
// declared as iso-8859-1, or UTF-8 declared as such when some text has no
// Windows-1252 byte.
QByteArray protocolHtmlBytes(const ResultsTable& table, const QVector<int>& columnWidths,
                             const QString& appTitle, const QString& eventTitle);

// Writes the page atomically; a failed write leaves an existing file as it was.
bool SaveProtocolHtml(const QString& path, const ResultsTable& table, const QVector<int>& columnWidths,
                      const QString& appTitle, const QString& eventTitle, QString* error);

// The maker's addresses and brand line written into the page.
namespace ProtocolHtmlMaker {
inline constexpr const char* webAddress = "https://www.ruvanta-werk.example/";
inline constexpr const char* designerAddress = "https://www.ruvanta-werk.example/webdesign/";
inline constexpr const char* softwarePage = "https://www.ruvanta-werk.example/software/";
inline constexpr const char* brandLine = "Software mit Pfiff";
} // namespace ProtocolHtmlMaker
