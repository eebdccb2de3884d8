#pragma once

#include <QString>
#include <QStringList>

// Rules of the competitor entry fields.
namespace CompetitorEntry {

// The start number of a start-number text: everything before the first TAB.
QString startNumberOf(const QString& text);

// The fields of a start-list entry (one protocol line), split at every TAB; each
// field loses its leading blanks and keeps its trailing ones. Splitting strictly at
// each TAB keeps an empty field (the protocol writes a single blank for it) in its
// column, so an entry without a co-driver does not show the brand as co-driver.
QStringList entryFields(const QString& line);

// Years of make from the current year down to 1900, newest first.
QStringList yearList(int currentYear);

// The start list's arrows and position label for the selected index (-1: none
// selected, e.g. after the last entry was timed) in a list of count entries.
struct StartListPosition {
    bool back = false;    // sb1m
    bool forward = false; // sb1p
    QString label;        // LabelBase, "3 von 20"; "0 von 20" with no entry selected
};
StartListPosition startListPosition(int index, int count);

// Alt+P: one more skill point; a text that is not a whole number gives "0".
QString addOnePoint(const QString& points);

// Keys accepted by the start-number and points fields: digits and Backspace.
bool acceptsPointsKey(QChar c);

} // namespace CompetitorEntry
