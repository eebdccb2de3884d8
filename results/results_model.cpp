#include "results/results_model.h"

#include "results/results_table.h"

namespace {
constexpr int headerPointSize = 10;
}

ResultsModel::ResultsModel(ResultsTable* table, QObject* parent) : QAbstractTableModel(parent), m_table(table)
{
    if (!m_table)
        return;
    m_shownCurrentRow = m_table->currentRow();
    connect(m_table, &ResultsTable::changed, this, &ResultsModel::onTableChanged);
    connect(m_table, &ResultsTable::rowChanged, this, &ResultsModel::onRowChanged);
    connect(m_table, &ResultsTable::currentRowChanged, this, &ResultsModel::onCurrentRowChanged);
    connect(m_table, &QObject::destroyed, this, [this] {
        beginResetModel();
        endResetModel();
    });
}

int ResultsModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !m_table)
        return 0;
    return m_table->dataRowCount();
}

int ResultsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ResultsTable::ColumnCount;
}

std::optional<QColor> ResultsModel::columnBackground(int column)
{
    switch (column) {
    case ResultsTable::StrafG:
    case ResultsTable::StrafZ:
    case ResultsTable::Ges:
        return QColor(255, 255, 192);
    case ResultsTable::Zeit1:
    case ResultsTable::Zeit2:
        return QColor(255, 224, 224);
    case ResultsTable::Platz:
        return QColor(224, 255, 224);
    default:
        return std::nullopt;
    }
}

Qt::Alignment ResultsModel::columnAlignment(int column)
{
    switch (column) {
    case ResultsTable::Fahrer:
    case ResultsTable::Beifahrer:
    case ResultsTable::Marke:
        return Qt::AlignLeft | Qt::AlignVCenter;
    default:
        return Qt::AlignRight | Qt::AlignVCenter;
    }
}

QStringList ResultsModel::sansFamilies()
{
    return {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")};
}

QFont ResultsModel::headerFont()
{
    QFont font;
    font.setFamilies(sansFamilies());
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(headerPointSize);
    return font;
}

QVariant ResultsModel::data(const QModelIndex& index, int role) const
{
    if (!m_table || !index.isValid() || index.row() >= rowCount())
        return {};
    const int row = tableRow(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return m_table->cell(index.column(), row);
    case Qt::BackgroundRole:
        // The current row is drawn without column colours.
        if (row == m_table->currentRow())
            return {};
        if (const auto colour = columnBackground(index.column()))
            return *colour;
        return {};
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(columnAlignment(index.column()));
    default:
        return {};
    }
}

bool ResultsModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!m_table || role != Qt::EditRole || !index.isValid() || !isEditableColumn(index.column()) ||
        index.row() >= rowCount())
        return false;
    // The table reports the change itself (rowChanged), which updates the view.
    m_table->setCell(index.column(), tableRow(index.row()), value.toString());
    return true;
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (role) {
    case Qt::DisplayRole:
        return m_table ? m_table->cell(section, 0) : QVariant();
    case Qt::FontRole:
        return headerFont();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    default:
        return {};
    }
}

Qt::ItemFlags ResultsModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (isEditableColumn(index.column()))
        f |= Qt::ItemIsEditable;
    return f;
}

void ResultsModel::onTableChanged()
{
    if (m_rowJustChanged) {
        m_rowJustChanged = false;
        return;
    }
    beginResetModel();
    m_shownCurrentRow = m_table ? m_table->currentRow() : -1;
    endResetModel();
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, ResultsTable::ColumnCount - 1);
}

void ResultsModel::onRowChanged(int row)
{
    // Changing the header row changes only the header texts; the table follows
    // with changed(), which must then not reset the whole model either.
    m_rowJustChanged = true;
    if (row == 0) {
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, ResultsTable::ColumnCount - 1);
        return;
    }
    emitRowChanged(row);
}

void ResultsModel::onCurrentRowChanged(int row)
{
    const int previous = m_shownCurrentRow;
    m_shownCurrentRow = row;
    emitRowChanged(previous);
    emitRowChanged(row);
}

void ResultsModel::emitRowChanged(int tableRow)
{
    const int r = modelRow(tableRow);
    if (r < 0 || r >= rowCount())
        return;
    Q_EMIT dataChanged(index(r, 0), index(r, ResultsTable::ColumnCount - 1));
}
