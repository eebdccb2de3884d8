#include "displays/TopTenGrid.h"

#include <QPainter>

namespace {

const QColor oddRow(210, 231, 255);
const QColor evenRow(153, 204, 255);
const QColor gridLine(128, 128, 128);
constexpr int textInset = 4;

} // namespace

TopTenGrid::TopTenGrid(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    m_widths.fill(64);
}

void TopTenGrid::setLines(const QVector<QStringList>& lines)
{
    m_lines = lines;
    update();
}

QString TopTenGrid::cellText(int row, int column) const
{
    if (row < 1 || row >= rowCount || column < 0 || column >= columnCount)
        return {};
    return m_lines.value(row - 1).value(column);
}

void TopTenGrid::setColumnWidths(const std::array<int, columnCount>& widths)
{
    m_widths = widths;
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
            const QRect cell(x + textInset, y, m_widths[col] - 2 * textInset, m_rowHeight);
            p.drawText(cell, int(columnAlignment(col) | Qt::AlignVCenter), cellText(row, col));
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
