#pragma once

#include <QObject>
#include <QStringList>
#include <QVector>

// The race's record: a grid of text cells, 11 columns, row 0 the header row,
// rows 1..n data rows. There is always at least one data row; an empty table is
// the header plus one data row whose cells are all empty.
class ResultsTable : public QObject {
    Q_OBJECT
public:
    static constexpr int ColumnCount = 11;
    enum Column { StNr = 0, Fahrer, Beifahrer, Marke, Baujahr, StrafG, Zeit1, Zeit2, StrafZ, Ges, Platz };

    explicit ResultsTable(QObject* parent = nullptr);

    static QStringList defaultHeaders();
    static QStringList emptyRow();

    // Header row included.
    int rowCount() const { return int(m_rows.size()); }
    int dataRowCount() const { return rowCount() - 1; }

    // Out-of-range reads give an empty text; out-of-range writes are ignored.
    QString cell(int col, int row) const;
    void setCell(int col, int row, const QString& text);
    QStringList row(int r) const;
    // Sets a whole row; missing cells become empty, extra cells are dropped.
    void setRow(int r, const QStringList& cells);
    const QVector<QStringList>& rows() const { return m_rows; }

    // First data row (from row 1 down) whose cell in col equals text exactly; -1 if none.
    int findRow(int col, const QString& text) const;
    // Appends a data row; returns its row number.
    int appendRow(const QStringList& cells);
    // Deletes data row r; the only data row is emptied instead.
    void deleteRow(int r);
    // Back to the header row plus one empty data row (the header texts stay).
    void clear();
    // Sets the number of rows, header included, at least 2; new rows are empty.
    void setRowCount(int n);
    // Re-orders the data rows: newOrder[i] is the old row number of the row that
    // becomes row i + 1. The current and the tracked row follow their rows.
    void reorder(const QVector<int>& newOrder);

    // True when the table holds a result: more than one data row, or a data row
    // with a character other than blanks and control characters.
    bool holdsResults() const;
    static bool isBlank(const QString& text);

    // The current row (never the header row); -1 only transiently. Making a row
    // current, by the operator or the program, also tracks it.
    int currentRow() const { return m_currentRow; }
    void setCurrentRow(int r);
    // The row the operator sees selected; it follows its competitor when rows are
    // re-ordered, and a sort makes it the current row again.
    int trackedRow() const { return m_trackedRow; }
    void setTrackedRow(int r);

    // Groups changes: one changed() signal when the outermost group ends.
    void beginUpdate();
    void endUpdate();
    bool updating() const { return m_updateDepth > 0; }

Q_SIGNALS:
    // Emitted before a change starts (before the outermost group begins, or before a
    // change outside a group), while the table still is as it was; an open cell editor
    // commits its text here so the change does not discard it.
    void aboutToChange();
    // The cells or the row count changed (emitted once per group).
    void changed();
    // Only the cells of one row changed (not emitted inside a group).
    void rowChanged(int row);
    void currentRowChanged(int row);

private:
    void touched();
    // Announces a change that is about to start outside a group.
    void aboutToTouch();

    QVector<QStringList> m_rows;
    int m_currentRow = 1;
    int m_trackedRow = 1;
    int m_updateDepth = 0;
    bool m_pendingChange = false;
    bool m_announcing = false;
};
