#pragma once

#include "displays/cell_fit.h"

#include <QFont>
#include <QFontMetricsF>
#include <QStringList>
#include <QVector>
#include <QWidget>

#include <array>
#include <map>

// The top ten's grid: a header row of height 0 and ten places, painted in
// alternating blues with vertical lines between the columns. It only shows.
// Every cell shows its whole text: a text too wide for its column at the
// grid's font is drawn smaller (down to half the size), and only a text that
// still does not fit is cut at the right with "…".
class TopTenGrid : public QWidget {
    Q_OBJECT
public:
    static constexpr int columnCount = 6;
    static constexpr int rowCount = 11; // row 0 is the hidden header
    static constexpr int textInset = 4; // blank space at both sides of a cell's text

    explicit TopTenGrid(QWidget* parent = nullptr);

    // Lines for rows 1..10; missing lines or cells show empty.
    void setLines(const QVector<QStringList>& lines);
    QString cellText(int row, int column) const;
    // How a cell's text is drawn: its font size (points) and the text shown.
    CellFit cellFit(int row, int column) const;
    // The font a cell is drawn with.
    QFont cellFont(int row, int column) const;
    // Room for a cell's text in the given column, in pixels.
    int textWidth(int column) const;

    void setColumnWidths(const std::array<int, columnCount>& widths);
    int columnWidth(int column) const { return m_widths.at(column); }
    void setRowHeight(int height);
    int rowHeight(int row) const { return row == 0 ? 0 : m_rowHeight; }

    static Qt::Alignment columnAlignment(int column);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QFont fontOfSize(int size) const;
    void refit();

    QVector<QStringList> m_lines;
    std::array<int, columnCount> m_widths{};
    int m_rowHeight = 24;
    // Fitted cells of rows 1..10, recomputed when text, widths or font change.
    std::array<std::array<CellFit, columnCount>, rowCount - 1> m_fits{};
    // Measuring fonts by size, kept until the grid's font changes.
    std::map<int, QFontMetricsF> m_metrics;
};
