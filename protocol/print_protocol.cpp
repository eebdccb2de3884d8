#include "protocol/print_protocol.h"

#include "protocol/print_layout.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextLayout>

namespace {

const QColor headerBand(0x91, 0xB5, 0xFF);
const QColor evenRowShade(0xF0, 0xF5, 0xFF);
const QColor ruleColour(0x80, 0x80, 0x80);
const QColor greyText(0x40, 0x40, 0x40);

QFont arial(double points, bool bold = false)
{
    QFont f(QStringLiteral("Arial"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

// One cell's text broken into lines of at most width, at word boundaries where
// possible. Positions are relative to the cell's text origin.
struct CellText {
    QVector<QPair<QString, double>> lines; // text and its width
    double height = 0;
};

CellText breakText(const QString& text, const QFont& font, double width, QPaintDevice* device)
{
    CellText cell;
    const QFontMetricsF fm(font, device);
    if (text.isEmpty()) {
        cell.height = fm.height();
        return cell;
    }
    QTextLayout layout(text, font, device);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(qMax(1.0, width));
        const QString part = text.mid(line.textStart(), line.textLength()).trimmed();
        cell.lines.append({part, fm.horizontalAdvance(part)});
    }
    layout.endLayout();
    cell.height = qMax<qsizetype>(1, cell.lines.size()) * fm.lineSpacing() - fm.leading();
    return cell;
}

class Printer {
public:
    Printer(QPagedPaintDevice& device, const ProtocolPrint& print) : m_device(device), m_print(print) {}

    PrintOutcome run(int pageFrom, int pageTo)
    {
        PrintOutcome outcome;
        // The device's metrics hold before painting starts, so a range without any of the
        // protocol's pages is known before a page (or an empty file) is begun.
        measure();
        const int pageCount = int(m_pages.size());
        const int from = pageFrom > 0 ? pageFrom : 1;
        const int to = pageTo > 0 ? qMin(pageTo, pageCount) : pageCount;
        outcome.total = pageCount;
        if (from > to) {
            outcome.deviceOk = true;
            return outcome;
        }
        QPainter p;
        if (!p.begin(&m_device))
            return outcome;
        bool first = true;
        for (int page = from; page <= to; ++page) {
            if (!first)
                m_device.newPage();
            first = false;
            paintPage(p, page, pageCount);
            ++outcome.printed;
        }
        outcome.deviceOk = p.end();
        return outcome;
    }

private:
    double mm(double v) const { return v * m_device.logicalDpiY() / 25.4; }
    double pt(double v) const { return v * m_device.logicalDpiY() / 72.0; }

    void measure()
    {
        m_width = m_device.width();
        m_height = m_device.height();
        m_pad = mm(1.5);
        m_padV = mm(0.9);
        m_body = arial(10);
        m_bold = arial(10, true);
        m_columns = PrintLayout::printedColumns(m_print.viewWidths, columnCount());
        m_rows = PrintLayout::printedRows(m_print.rows);

        // Natural widths: the widest text of each column, header included.
        const QFontMetricsF fm(m_body, &m_device);
        const QFontMetricsF fmBold(m_bold, &m_device);
        QVector<double> natural;
        QVector<bool> wrapping;
        for (int c : m_columns) {
            double w = fmBold.horizontalAdvance(cell(0, c));
            for (int r : m_rows)
                w = qMax(w, fm.horizontalAdvance(cell(r, c)));
            natural.append(w + 2 * m_pad + 1);
            wrapping.append(PrintLayout::wraps(c));
        }
        m_widths = PrintLayout::columnWidths(natural, wrapping, m_width, mm(25));

        // Row heights from their wrapped texts.
        m_headerHeight = rowHeight(0, m_bold);
        QVector<double> heights;
        for (int r : m_rows)
            heights.append(rowHeight(r, m_body));

        // Title block of the first page, running head of the others, footer.
        const QFontMetricsF title(arial(18, true), &m_device);
        const QFontMetricsF sub(arial(10), &m_device);
        const QFontMetricsF small(arial(8), &m_device);
        m_titleBlock = title.height() + sub.height() + mm(4);
        m_runningHead = small.height() + mm(3);
        m_footerImageHeight = m_print.footerImage.isNull() ? 0 : mm(18);
        m_footer = mm(3) + qMax(small.height(), m_footerImageHeight);
        const double body = m_height - m_footer;
        m_pages = PrintLayout::paginate(heights, m_headerHeight, body - m_titleBlock, body - m_runningHead);
        m_heights = heights;
    }

    int columnCount() const
    {
        int n = 0;
        for (const QStringList& r : m_print.rows)
            n = qMax(n, int(r.size()));
        return n;
    }

    QString cell(int row, int column) const { return m_print.rows.value(row).value(column); }

    double rowHeight(int row, const QFont& font)
    {
        double h = 0;
        for (int i = 0; i < m_columns.size(); ++i)
            h = qMax(h, breakText(cell(row, m_columns[i]), font, m_widths[i] - 2 * m_pad, &m_device).height);
        return h + 2 * m_padV;
    }

    void paintRow(QPainter& p, int row, const QFont& font, double y)
    {
        p.setFont(font);
        const QFontMetricsF fm(font, &m_device);
        double x = 0;
        for (int i = 0; i < m_columns.size(); ++i) {
            const int c = m_columns[i];
            const double inner = m_widths[i] - 2 * m_pad;
            const CellText text = breakText(cell(row, c), font, inner, &m_device);
            double baseline = y + m_padV + fm.ascent();
            for (const auto& line : text.lines) {
                const double left =
                    PrintLayout::rightAligned(c) ? x + m_pad + inner - line.second : x + m_pad;
                p.drawText(QPointF(left, baseline), line.first);
                baseline += fm.lineSpacing();
            }
            x += m_widths[i];
        }
    }

    void paintRules(QPainter& p, double top, const QVector<double>& rowBottoms)
    {
        QPen pen(ruleColour);
        pen.setWidthF(pt(0.5));
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        const double bottom = rowBottoms.isEmpty() ? top : rowBottoms.last();
        p.drawRect(QRectF(0, top, m_width, bottom - top));
        for (double y : rowBottoms)
            p.drawLine(QPointF(0, y), QPointF(m_width, y));
        double x = 0;
        for (int i = 0; i + 1 < m_widths.size(); ++i) {
            x += m_widths[i];
            p.drawLine(QPointF(x, top), QPointF(x, bottom));
        }
        p.setPen(Qt::black);
    }

    QString titleText() const
    {
        return m_print.eventTitle.trimmed().isEmpty() ? QStringLiteral("Zeitenprotokoll")
                                                      : m_print.eventTitle;
    }

    double paintHead(QPainter& p, int page)
    {
        if (page == 1) {
            const QFont big = arial(18, true);
            const QFontMetricsF fmBig(big, &m_device);
            p.setFont(big);
            p.setPen(Qt::black);
            p.drawText(QPointF(0, fmBig.ascent()), fmBig.elidedText(titleText(), Qt::ElideRight, m_width));
            const QFont sub = arial(10);
            const QFontMetricsF fmSub(sub, &m_device);
            p.setFont(sub);
            p.setPen(greyText);
            const double base = fmBig.height() + fmSub.ascent();
            const QString left =
                m_print.eventTitle.trimmed().isEmpty() ? m_print.appTitle : QStringLiteral("Zeitenprotokoll");
            p.drawText(QPointF(0, base), left);
            p.drawText(QPointF(m_width - fmSub.horizontalAdvance(m_print.dateText), base), m_print.dateText);
            p.setPen(Qt::black);
            return m_titleBlock;
        }
        const QFont small = arial(8);
        const QFontMetricsF fm(small, &m_device);
        p.setFont(small);
        p.setPen(greyText);
        const double room = m_width - fm.horizontalAdvance(m_print.dateText) - mm(5);
        p.drawText(QPointF(0, fm.ascent()),
                   fm.elidedText(titleText() + QStringLiteral(" – Zeitenprotokoll"), Qt::ElideRight, room));
        p.drawText(QPointF(m_width - fm.horizontalAdvance(m_print.dateText), fm.ascent()), m_print.dateText);
        p.setPen(Qt::black);
        return m_runningHead;
    }

    void paintFooter(QPainter& p, int page, int pageCount)
    {
        const QFont small = arial(8);
        const QFontMetricsF fm(small, &m_device);
        const double top = m_height - (m_footer - mm(3));
        const double middle = top + (m_footer - mm(3)) / 2;
        p.setFont(small);
        p.setPen(greyText);
        double x = 0;
        if (!m_print.footerImage.isNull()) {
            const QSizeF size = QSizeF(m_print.footerImage.size())
                                    .scaled(QSizeF(m_width / 2, m_footerImageHeight), Qt::KeepAspectRatio);
            p.drawImage(QRectF(QPointF(0, top), size), m_print.footerImage);
            x = size.width() + mm(3);
            if (!m_print.footerCaption.isEmpty())
                p.drawText(QPointF(x, middle + fm.ascent() - fm.height() / 2),
                           fm.elidedText(m_print.footerCaption, Qt::ElideRight, m_width * 0.6 - x));
        } else {
            p.drawText(QPointF(0, middle + fm.ascent() - fm.height() / 2), m_print.appTitle);
        }
        const QString number = PrintLayout::pageNumberText(page, pageCount);
        p.drawText(QPointF(m_width - fm.horizontalAdvance(number), middle + fm.ascent() - fm.height() / 2),
                   number);
        p.setPen(Qt::black);
    }

    void paintPage(QPainter& p, int page, int pageCount)
    {
        const PrintLayout::PageRows rows = m_pages.at(page - 1);
        const double top = paintHead(p, page);
        // Header band, then the rows of this page with every other row shaded.
        p.fillRect(QRectF(0, top, m_width, m_headerHeight), headerBand);
        QVector<double> bottoms;
        double y = top + m_headerHeight;
        bottoms.append(y);
        for (int i = 0; i < rows.count; ++i) {
            const int k = rows.first + i;
            const double h = m_heights.at(k);
            if (k % 2 == 1)
                p.fillRect(QRectF(0, y, m_width, h), evenRowShade);
            y += h;
            bottoms.append(y);
        }
        p.setPen(Qt::black);
        paintRow(p, 0, m_bold, top);
        y = top + m_headerHeight;
        for (int i = 0; i < rows.count; ++i) {
            const int k = rows.first + i;
            paintRow(p, m_rows.at(k), m_body, y);
            y += m_heights.at(k);
        }
        paintRules(p, top, bottoms);
        paintFooter(p, page, pageCount);
    }

    QPagedPaintDevice& m_device;
    const ProtocolPrint& m_print;
    double m_width = 0;
    double m_height = 0;
    double m_pad = 0;
    double m_padV = 0;
    QFont m_body;
    QFont m_bold;
    QVector<int> m_columns;
    QVector<int> m_rows;
    QVector<double> m_widths;
    QVector<double> m_heights;
    double m_headerHeight = 0;
    double m_titleBlock = 0;
    double m_runningHead = 0;
    double m_footer = 0;
    double m_footerImageHeight = 0;
    QVector<PrintLayout::PageRows> m_pages;
};

} // namespace

PrintOutcome printProtocol(QPagedPaintDevice& device, const ProtocolPrint& print, int pageFrom, int pageTo)
{
    return Printer(device, print).run(pageFrom, pageTo);
}
