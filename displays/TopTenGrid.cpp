#include "displays/TopTenGrid.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>

namespace {

const QColor oddRow(210, 231, 255);
const QColor evenRow(153, 204, 255);
const QColor gridLine(128, 128, 128);

} // namespace

TopTenGrid::TopTenGrid(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    m_widths.fill(64);
    refit();
}

void TopTenGrid::setLines(const QVector<QStringList>& lines)
{
    // START refreshes twice with the same lines: nothing to fit or paint again.
    if (lines == m_lines)
        return;
    m_lines = lines;
    refit();
    update();
}

QString TopTenGrid::cellText(int row, int column) const
{
    if (row < 1 || row >= rowCount || column < 0 || column >= columnCount)
        return {};
    return m_lines.value(row - 1).value(column);
}

CellFit TopTenGrid::cellFit(int row, int column) const
{
    if (row < 1 || row >= rowCount || column < 0 || column >= columnCount)
        return {};
    return m_fits[size_t(row - 1)][size_t(column)];
}

QFont TopTenGrid::cellFont(int row, int column) const
{
    return fontOfSize(cellFit(row, column).size);
}

int TopTenGrid::textWidth(int column) const
{
    return qMax(0, m_widths.at(column) - 2 * textInset);
}

void TopTenGrid::setColumnWidths(const std::array<int, columnCount>& widths)
{
    m_widths = widths;
    refit();
    update();
}

void TopTenGrid::setRowHeight(int height)
{
    m_rowHeight = qMax(0, height);
    update();
}

Qt::Alignment TopTenGrid::columnAlignment(int column)
{
    switch (column) {
    case 0:
        return Qt::AlignHCenter;
    case 2:
    case 3:
        return Qt::AlignLeft;
    default:
        return Qt::AlignRight;
    }
}

QFont TopTenGrid::fontOfSize(int size) const
{
    QFont f = font();
    if (size > 0)
        f.setPointSize(size);
    return f;
}

void TopTenGrid::refit()
{
    const int base = font().pointSize() > 0 ? font().pointSize() : qRound(font().pointSizeF());
    const TextMeasure measure = [this](const QString& text, int size) {
        auto it = m_metrics.find(size);
        if (it == m_metrics.end())
            it = m_metrics.emplace(size, QFontMetricsF(fontOfSize(size), this)).first;
        return it->second.horizontalAdvance(text);
    };
    for (int row = 1; row < rowCount; ++row)
        for (int col = 0; col < columnCount; ++col)
            m_fits[size_t(row - 1)][size_t(col)] =
                fitCellText(cellText(row, col), textWidth(col), base, measure);
}

void TopTenGrid::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        m_metrics.clear();
        refit();
        update();
    }
}

void TopTenGrid::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), evenRow);
    p.setPen(Qt::black);
    for (int row = 1; row < rowCount; ++row) {
        const int y = (row - 1) * m_rowHeight;
        p.fillRect(QRect(0, y, width(), m_rowHeight), row % 2 ? oddRow : evenRow);
        int x = 0;
        for (int col = 0; col < columnCount; ++col) {
            const CellFit& fit = m_fits[size_t(row - 1)][size_t(col)];
            if (!fit.text.isEmpty()) {
                const QRect cell(x + textInset, y, textWidth(col), m_rowHeight);
                p.setFont(fontOfSize(fit.size));
                p.drawText(cell, int(columnAlignment(col) | Qt::AlignVCenter | Qt::TextSingleLine), fit.text);
            }
            x += m_widths[col] + 1;
        }
    }
    // Vertical lines only, one pixel right of each column.
    p.setPen(gridLine);
    int x = 0;
    for (int col = 0; col < columnCount - 1; ++col) {
        x += m_widths[col];
        p.drawLine(x, 0, x, height());
        x += 1;
    }
}
