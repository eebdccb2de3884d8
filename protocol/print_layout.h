#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// The arithmetic of the printed protocol, apart from fonts and painters: which
// columns are printed, how wide each is on the page and which rows go on which
// page. Lengths are in any one unit (the painter's device pixels).
namespace PrintLayout {

// The table columns that are printed, in table order: all but those hidden in
// the results view (a negative width). A column the view squeezed to width 0 in a
// narrow window is printed all the same: the paper has room for it.
QVector<int> printedColumns(const QVector<int>& viewWidths, int columnCount);

// Numbers are right-aligned; driver, co-driver and make left-aligned.
bool rightAligned(int column);
// Columns whose texts may wrap onto more lines when the page is too narrow.
bool wraps(int column);

// Widths of the printed columns on a line of the given width. natural: each
// column's widest text plus its padding. Room to spare goes to the wrapping
// columns; when the page is too narrow the wrapping columns give up room
// first (their texts then wrap), the others keep their natural width as long
// as that leaves each wrapping column at least minWrapWidth. The widths add
// up to available.
QVector<double> columnWidths(const QVector<double>& natural, const QVector<bool>& wrapping, double available,
                             double minWrapWidth);

// One page's share of the table's data rows: rows [first, first + count).
struct PageRows {
    int first = 0;
    int count = 0;
};

// Splits rows of the given heights into pages. Each page holds the header
// band (headerHeight) and as many whole rows as fit its body: firstBody on the
// first page (below the title block), otherBody on the rest. A row taller than
// a whole page gets a page of its own. No rows: one page with the header only.
QVector<PageRows> paginate(const QVector<double>& rowHeights, double headerHeight, double firstBody,
                           double otherBody);

// "Seite 2 von 5".
QString pageNumberText(int page, int pageCount);

// Data rows worth printing: every row from 1 on that has a cell with more than blanks.
QVector<int> printedRows(const QVector<QStringList>& tableRows);

} // namespace PrintLayout
