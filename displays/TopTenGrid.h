#pragma once

#include <QStringList>
#include <QVector>
#include <QWidget>

#include <array>

// The top ten's grid: a header row of height 0 and ten places, painted in
// alternating blues with vertical lines between the columns. It only shows.
class TopTenGrid : public QWidget {
    Q_OBJECT
public:
    static constexpr int columnCount = 6;
    static constexpr int rowCount = 11; // row 0 is the hidden header

    explicit TopTenGrid(QWidget* parent = nullptr);

    // Lines for rows 1..10; missing lines or cells show empty.
    void setLines(const QVector<QStringList>& lines);
    QString cellText(int row, int column) const;

    void setColumnWidths(const std::array<int, columnCount>& widths);
    int columnWidth(int column) const { return m_widths.at(column); }
    void setRowHeight(int height);
    int rowHeight(int row) const { return row == 0 ? 0 : m_rowHeight; }

    static Qt::Alignment columnAlignment(int column);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QVector<QStringList> m_lines;
    std::array<int, columnCount> m_widths{};
    int m_rowHeight = 24;
};
