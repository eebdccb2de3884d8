#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QPointer>
#include <optional>

#include "results/results_table.h"

// Item model over a ResultsTable for the results grid: data row r of the table
// is model row r - 1, row 0 supplies the horizontal header texts. Also answers
// the per-cell format (background per column, alignment, header font).
class ResultsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ResultsModel(ResultsTable* table, QObject* parent = nullptr);

    ResultsTable* table() const { return m_table; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Background of a data cell outside the current row; none for columns 0 to 4.
    static std::optional<QColor> columnBackground(int column);
    static Qt::Alignment columnAlignment(int column);
    // The grid's sans-serif families, metric-compatible ones first; and the header font.
    static QStringList sansFamilies();
    static QFont headerFont();
    // Columns 0 to 4 (start number and identity) are edited in place.
    static bool isEditableColumn(int column) { return column >= 0 && column <= 4; }

    // Table row <-> model row.
    static int tableRow(int modelRow) { return modelRow + 1; }
    static int modelRow(int tableRow) { return tableRow - 1; }

private:
    void onTableChanged();
    void onRowChanged(int row);
    void onCurrentRowChanged(int row);
    void emitRowChanged(int tableRow);

    QPointer<ResultsTable> m_table;
    int m_shownCurrentRow = -1;
    // A single-cell edit signals rowChanged() followed by changed(); the row
    // update is enough then, a full reset would close editors and lose the view's state.
    bool m_rowJustChanged = false;
};
