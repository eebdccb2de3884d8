#pragma once

#include <QPoint>
#include <QPointer>
#include <QTableView>
#include <QVector>

class QAction;
class QMenu;
class QStyledItemDelegate;
class ResultsModel;
#include "results/results_table.h"

// The results grid: shows a ResultsTable, selects whole rows in the result
// columns and single editable cells in the identity columns, reports header
// clicks for sorting and offers the editing commands in its context menu.
// It changes no results itself: the main window connects the signals and the
// menu's actions to the logic.
class TSortGrid : public QTableView {
    Q_OBJECT
public:
    static constexpr int RowHeight = 22;
    static constexpr int DataFontPixels = 16;
    // Presses this close to a column border resize the column instead of sorting.
    static constexpr int BorderMargin = 5;

    explicit TSortGrid(QWidget* parent = nullptr);
    ~TSortGrid() override;

    // Shows the table (not owned); the model adapting it is owned by the grid.
    void setResultsTable(ResultsTable* table);
    ResultsTable* resultsTable() const;
    ResultsModel* resultsModel() const { return m_model; }

    // Widths of columns 0.. in pixels; extra entries are ignored.
    void applyColumnWidths(const QVector<int>& widths);
    // The direction arrow in the header of the sort column.
    void setSortMarker(int column, bool descending);

    QMenu* popupMenu() const { return m_popupMenu; }
    QAction* action(const char* objectName) const;

    // Whether a character typed while the given column is current gets through.
    static bool acceptsTypedText(int column, const QString& text, int key);

    // Writes the text of an open in-place editor into the table and closes the
    // editor; nothing when no editor is open. Runs by itself before every change
    // of the table; commands that only read the table call it first.
    void commitOpenEditor();
    bool editorOpen() const;

    // Off: typed characters never move the current row.
    void keyboardSearch(const QString& search) override;

Q_SIGNALS:
    // A header cell was clicked (pressed and released over the same column).
    void headerClicked(int column, bool rightButton);
    // "row:rows" whenever a cell becomes current.
    void statusText(const QString& text);
    void SortGrid1DblClick();

protected:
    // Opens the context menu without blocking; tests may override it.
    virtual void showPopupMenu(const QPoint& globalPos);

    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event = nullptr) const override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void commitData(QWidget* editor) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void buildPopupMenu();
    void useSelectionModeFor(int column);
    void followCurrentRow(int tableRow);
    void restoreCurrentAfterReset();
    void selectWholeRow(int tableRow);
    bool filterHeaderMouse(QEvent* event);
    // Column under x (header viewport coordinates), -1 near a border or outside.
    int headerColumnAt(int x) const;

    QPointer<ResultsTable> m_table;
    ResultsModel* m_model = nullptr;
    QStyledItemDelegate* m_delegate = nullptr;
    QMenu* m_popupMenu = nullptr;
    int m_pressedHeaderColumn = -1;
    Qt::MouseButton m_pressedHeaderButton = Qt::NoButton;
    int m_lastColumn = 0;
    // Whether the cell under the last left press was already the current cell.
    bool m_pressedOnCurrent = false;
    bool m_committing = false;
};
