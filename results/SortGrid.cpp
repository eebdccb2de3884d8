#include "results/SortGrid.h"

#include "results/results_model.h"
#include "results/results_table.h"
#include "widgets/DigitsValidator.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

namespace {

// Draws the cells with a narrow text margin (the fixed column widths leave
// little room) and hands every in-place editor to the grid's event filter, so
// typed characters pass the same key filter as on the grid itself.
class GridDelegate : public QStyledItemDelegate {
public:
    static constexpr int TextMargin = 2;

    GridDelegate(QObject* keyFilter, QObject* parent) : QStyledItemDelegate(parent), m_keyFilter(keyFilter) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override
    {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (editor)
            editor->installEventFilter(m_keyFilter);
        m_editor = editor;
        // A paste keeps what typing could have produced in the number columns.
        auto* line = qobject_cast<QLineEdit*>(editor);
        if (line && !TSortGrid::acceptsTypedText(index.column(), QStringLiteral("x"), 0))
            line->setValidator(new DigitsValidator(line, QStringLiteral(",.")));
        return editor;
    }

    // The in-place editor last opened, while it exists (the grid opens one at a time).
    QWidget* openEditor() const { return m_editor; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString text = opt.text;
        opt.text.clear();
        const QWidget* widget = opt.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
        const bool selected = opt.state & QStyle::State_Selected;
        const QPalette::ColorGroup group =
            (opt.state & QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
        painter->save();
        painter->setFont(opt.font);
        painter->setPen(opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        // Clipped to the cell, not elided: a cut time is still recognisable as one.
        painter->drawText(opt.rect.adjusted(TextMargin, 0, -TextMargin, 0), int(opt.displayAlignment), text);
        painter->restore();
    }

private:
    QObject* m_keyFilter;
    mutable QPointer<QWidget> m_editor;
};

bool isResultColumn(int column)
{
    return column >= ResultsTable::StrafG;
}

} // namespace

TSortGrid::TSortGrid(QWidget* parent) : QTableView(parent)
{
    QFont dataFont;
    dataFont.setFamilies(ResultsModel::sansFamilies());
    dataFont.setStyleHint(QFont::SansSerif);
    dataFont.setPixelSize(DataFontPixels);
    setFont(dataFont);

    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // The minimum first: the default size is bounded by it, and the computed
    // minimum for a 16 px font is above 22.
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(RowHeight);
    verticalHeader()->hide();

    QHeaderView* header = horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setSectionsClickable(false);
    header->setSectionsMovable(false);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setSortIndicatorShown(false);
    // A right press on the header sorts; it must reach the header, not open a menu.
    header->setContextMenuPolicy(Qt::PreventContextMenu);
    header->viewport()->installEventFilter(this);

    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setShowGrid(true);
    setWordWrap(false);
    setSortingEnabled(false);
    setCornerButtonEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    // Only the identity columns are editable (model flags); these triggers apply there.
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::SelectedClicked);
    m_delegate = new GridDelegate(this, this);
    setItemDelegate(m_delegate);
    setContextMenuPolicy(Qt::DefaultContextMenu);

    buildPopupMenu();
}

TSortGrid::~TSortGrid() = default;

void TSortGrid::buildPopupMenu()
{
    m_popupMenu = new QMenu(this);
    m_popupMenu->setObjectName(QStringLiteral("PopupMenu1"));
    const auto add = [this](const char* name, const QString& caption) {
        QAction* a = m_popupMenu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        return a;
    };
    add("Eliminieren1", QStringLiteral("Eliminieren"));
    add("Copy1", QStringLiteral("Alles kopieren"));
    add("Strokadelete", QStringLiteral("Zeile entfernen"));
    add("Zeitentfernen1", QStringLiteral("Ergebnisse loschen"));
    add("Sortieren1", QStringLiteral("Sortieren"));
    m_popupMenu->addSeparator()->setObjectName(QStringLiteral("N1"));
    add("Ausgeschieden2", QStringLiteral("Ausgeschieden"))->setData(0);
    add("Aufgegeben1", QStringLiteral("Aufgegeben"))->setData(1);
}

QAction* TSortGrid::action(const char* objectName) const
{
    return m_popupMenu->findChild<QAction*>(QLatin1String(objectName), Qt::FindDirectChildrenOnly);
}

void TSortGrid::setResultsTable(ResultsTable* table)
{
    if (m_table)
        disconnect(m_table, nullptr, this, nullptr);
    ResultsModel* old = m_model;
    m_table = table;
    m_model = new ResultsModel(table, this);
    setModel(m_model);
    delete old;
    if (!table)
        return;
    connect(table, &ResultsTable::currentRowChanged, this, &TSortGrid::followCurrentRow);
    // Whatever changes the table next (a sort, EINTRAGEN, a menu command, a load)
    // would close an open editor with the model reset; its text goes in first.
    connect(table, &ResultsTable::aboutToChange, this, &TSortGrid::commitOpenEditor);
    // Connected after the view's own reset handling, so the view is up to date here.
    connect(m_model, &QAbstractItemModel::modelReset, this, &TSortGrid::restoreCurrentAfterReset);
    restoreCurrentAfterReset();
}

ResultsTable* TSortGrid::resultsTable() const
{
    return m_table;
}

void TSortGrid::applyColumnWidths(const QVector<int>& widths)
{
    const int n = int(qMin<qsizetype>(widths.size(), ResultsTable::ColumnCount));
    for (int c = 0; c < n; ++c)
        horizontalHeader()->resizeSection(c, qMax(0, widths[c]));
}

void TSortGrid::setSortMarker(int column, bool descending)
{
    QHeaderView* header = horizontalHeader();
    if (column < 0 || column >= ResultsTable::ColumnCount) {
        header->setSortIndicatorShown(false);
        return;
    }
    header->setSortIndicator(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    header->setSortIndicatorShown(true);
}

bool TSortGrid::acceptsTypedText(int column, const QString& text, int key)
{
    if (column < ResultsTable::Baujahr || column > ResultsTable::StrafZ)
        return true;
    if (key == Qt::Key_Backspace)
        return false;
    if (text.isEmpty() || !text.at(0).isPrint())
        return true; // navigation, Enter, Escape and shortcuts are not typed characters
    for (const QChar c : text)
        if (!(c.isDigit() && c.unicode() < 0x80) && c != QLatin1Char(',') && c != QLatin1Char('.'))
            return false;
    return true;
}

void TSortGrid::useSelectionModeFor(int column)
{
    setSelectionBehavior(isResultColumn(column) ? QAbstractItemView::SelectRows
                                                : QAbstractItemView::SelectItems);
}

QItemSelectionModel::SelectionFlags TSortGrid::selectionCommand(const QModelIndex& index,
                                                                const QEvent* event) const
{
    QItemSelectionModel::SelectionFlags flags = QTableView::selectionCommand(index, event);
    if (!index.isValid() || flags == QItemSelectionModel::NoUpdate)
        return flags;
    // The mode follows the cell that becomes current, not the one before.
    flags &= ~(QItemSelectionModel::Rows | QItemSelectionModel::Columns);
    if (isResultColumn(index.column()))
        flags |= QItemSelectionModel::Rows;
    return flags;
}

void TSortGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (!current.isValid() || !m_table)
        return;
    useSelectionModeFor(current.column());
    m_lastColumn = current.column();
    // Whoever moved there, the row now selected is the one the commands act on and
    // the one a sort keeps selected.
    const int row = ResultsModel::tableRow(current.row());
    m_table->setCurrentRow(row);
    Q_EMIT statusText(QStringLiteral("%1:%2").arg(row).arg(m_table->dataRowCount()));
}

bool TSortGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    // A click on a cell of the selected row only makes it current; a second
    // click on the then selected cell starts editing.
    if (trigger == QAbstractItemView::SelectedClicked && !m_pressedOnCurrent)
        return false;
    // Whole-row selection has in-place editing off, also when the program left the
    // current cell in an identity column.
    if (selectionBehavior() == QAbstractItemView::SelectRows && trigger != QAbstractItemView::AllEditTriggers)
        return false;
    return QTableView::edit(index, trigger, event);
}

void TSortGrid::selectWholeRow(int tableRow)
{
    if (!m_model)
        return;
    const int r = ResultsModel::modelRow(tableRow);
    if (r < 0 || r >= m_model->rowCount())
        return;
    const int column = qBound(0, m_lastColumn, ResultsTable::ColumnCount - 1);
    const QModelIndex index = m_model->index(r, column);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    // The current cell may already have been this one (a reset keeps no current cell
    // only when the model changed); make sure the whole row is selected.
    selectionModel()->select(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    scrollTo(index);
}

void TSortGrid::followCurrentRow(int tableRow)
{
    const QModelIndex current = currentIndex();
    if (current.isValid() && ResultsModel::tableRow(current.row()) == tableRow)
        return; // the grid itself made that row current
    selectWholeRow(tableRow);
}

void TSortGrid::restoreCurrentAfterReset()
{
    if (m_table)
        selectWholeRow(m_table->currentRow());
}

void TSortGrid::commitOpenEditor()
{
    // Committing changes the table, which announces the change and lands here again.
    if (m_committing || state() != QAbstractItemView::EditingState)
        return;
    QWidget* editor = static_cast<GridDelegate*>(m_delegate)->openEditor();
    if (!editor)
        return;
    commitData(editor);
    m_committing = true;
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    m_committing = false;
}

void TSortGrid::commitData(QWidget* editor)
{
    // The editor's own commit (Return, a move to another cell) changes the table,
    // which announces it; the editor then closes the way it started, not from here.
    const bool wasCommitting = m_committing;
    m_committing = true;
    QTableView::commitData(editor);
    m_committing = wasCommitting;
}

bool TSortGrid::editorOpen() const
{
    return state() == QAbstractItemView::EditingState;
}

void TSortGrid::keyboardSearch(const QString& search)
{
    // Typed characters never move the current row: in a result column they would
    // jump to another competitor, whom the next command would then hit.
    Q_UNUSED(search);
}

void TSortGrid::keyPressEvent(QKeyEvent* event)
{
    if (!acceptsTypedText(currentIndex().column(), event->text(), event->key())) {
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

bool TSortGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == horizontalHeader()->viewport())
        return filterHeaderMouse(event);
    if (event->type() == QEvent::KeyPress && watched != this) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!acceptsTypedText(currentIndex().column(), key->text(), key->key()))
            return true; // swallowed by the in-place editor's filter
    }
    return QTableView::eventFilter(watched, event);
}

int TSortGrid::headerColumnAt(int x) const
{
    const QHeaderView* header = horizontalHeader();
    const int column = header->logicalIndexAt(x);
    if (column < 0)
        return -1;
    const int left = header->sectionViewportPosition(column);
    const int right = left + header->sectionSize(column);
    if (x - left <= BorderMargin || right - x <= BorderMargin)
        return -1;
    return column;
}

bool TSortGrid::filterHeaderMouse(QEvent* event)
{
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonRelease)
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton && mouse->button() != Qt::RightButton)
        return false;
    const int column = headerColumnAt(mouse->position().toPoint().x());
    if (event->type() == QEvent::MouseButtonPress) {
        m_pressedHeaderColumn = column;
        m_pressedHeaderButton = mouse->button();
        return false; // the header still handles resizing
    }
    const bool click =
        column >= 0 && column == m_pressedHeaderColumn && mouse->button() == m_pressedHeaderButton;
    m_pressedHeaderColumn = -1;
    m_pressedHeaderButton = Qt::NoButton;
    if (click)
        Q_EMIT headerClicked(column, mouse->button() == Qt::RightButton);
    return false;
}

void TSortGrid::mousePressEvent(QMouseEvent* event)
{
    // Only the left button moves the current cell.
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    m_pressedOnCurrent = indexAt(event->position().toPoint()) == currentIndex() &&
                         selectionBehavior() == QAbstractItemView::SelectItems;
    QTableView::mousePressEvent(event);
    // A press on the cell that already was current changes no current cell but
    // still selects by the rule of its column.
    if (currentIndex().isValid())
        useSelectionModeFor(currentIndex().column());
}

void TSortGrid::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    QTableView::mouseReleaseEvent(event);
}

void TSortGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
    Q_EMIT SortGrid1DblClick();
}

void TSortGrid::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
    showPopupMenu(event->globalPos());
}

void TSortGrid::showPopupMenu(const QPoint& globalPos)
{
    m_popupMenu->popup(globalPos);
}
