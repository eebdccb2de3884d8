#pragma once

#include <QImage>
#include <QString>
#include <QStringList>
#include <QVector>

class QPagedPaintDevice;

// What the printed protocol shows.
struct ProtocolPrint {
    QVector<QStringList> rows; // the results table, header row 0 first
    QVector<int> viewWidths;   // column widths of the results view; negative: hidden, not printed
    QString eventTitle;        // empty: the sheet is headed "Zeitenprotokoll" only
    QString dateText;          // when it was printed, in the operator's date format
    QString appTitle;          // the program's name and version, in the footer
    // An optional picture at the left of every page's footer (for instance a code
    // that leads to the live results), with a caption beside it. A null image
    // leaves the footer to the program's name and the page number.
    QImage footerImage;
    QString footerCaption;
};

// Paints the protocol onto a paged device (a printer or a PDF writer), page
// after page, in the device's page size and orientation: a title block with
// the event title and date, the table with its header band repeated at the top
// of every page, numbers right-aligned, long names wrapped, and a footer with
// the page number. With pageFrom/pageTo (1-based, 0: no limit) only those pages
// are painted; a range that holds none of the protocol's pages paints nothing
// (no empty page either).
struct PrintOutcome {
    bool deviceOk = false; // false: the device could not be painted on
    int printed = 0;       // pages painted
    int total = 0;         // pages the protocol has
};
PrintOutcome printProtocol(QPagedPaintDevice& device, const ProtocolPrint& print, int pageFrom = 0,
                           int pageTo = 0);
