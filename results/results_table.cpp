#include "results/results_table.h"

ResultsTable::ResultsTable(QObject* parent) : QObject(parent)
{
    m_rows = {defaultHeaders(), emptyRow()};
}

QStringList ResultsTable::defaultHeaders()
{
    return {QStringLiteral("St.Nr."), QStringLiteral("Fahrer"),  QStringLiteral("Beifahrer"),
            QStringLiteral("Marke"),  QStringLiteral("Baujahr"), QStringLiteral("StrafG"),
            QStringLiteral("Zeit1"),  QStringLiteral("Zeit2"),   QStringLiteral("StrafZ"),
            QStringLiteral("Ges."),   QStringLiteral("Platz")};
}

QStringList ResultsTable::emptyRow()
{
    QStringList r;
    r.reserve(ColumnCount);
    for (int i = 0; i < ColumnCount; ++i)
        r.append(QString());
    return r;
}

QString ResultsTable::cell(int col, int row) const
{
    if (row < 0 || row >= rowCount() || col < 0 || col >= ColumnCount)
        return QString();
    return m_rows[row][col];
}

void ResultsTable::setCell(int col, int row, const QString& text)
{
    if (row < 0 || row >= rowCount() || col < 0 || col >= ColumnCount)
        return;
    if (m_rows[row][col] == text)
        return;
    aboutToTouch();
    m_rows[row][col] = text;
    if (m_updateDepth == 0)
        Q_EMIT rowChanged(row);
    touched();
}

QStringList ResultsTable::row(int r) const
{
    if (r < 0 || r >= rowCount())
        return emptyRow();
    return m_rows[r];
}

void ResultsTable::setRow(int r, const QStringList& cells)
{
    if (r < 0 || r >= rowCount())
        return;
    aboutToTouch();
    QStringList fixed = cells.mid(0, ColumnCount);
    while (fixed.size() < ColumnCount)
        fixed.append(QString());
    m_rows[r] = fixed;
    if (m_updateDepth == 0)
        Q_EMIT rowChanged(r);
    touched();
}

int ResultsTable::findRow(int col, const QString& text) const
{
    if (col < 0 || col >= ColumnCount)
        return -1;
    for (int r = 1; r < rowCount(); ++r)
        if (m_rows[r][col] == text)
            return r;
    return -1;
}

int ResultsTable::appendRow(const QStringList& cells)
{
    aboutToTouch();
    m_rows.append(emptyRow());
    const int r = rowCount() - 1;
    QStringList fixed = cells.mid(0, ColumnCount);
    while (fixed.size() < ColumnCount)
        fixed.append(QString());
    m_rows[r] = fixed;
    touched();
    return r;
}

void ResultsTable::deleteRow(int r)
{
    if (r < 1 || r >= rowCount())
        return;
    aboutToTouch();
    if (dataRowCount() == 1) {
        m_rows[1] = emptyRow();
    } else {
        m_rows.removeAt(r);
        if (m_trackedRow >= rowCount())
            m_trackedRow = rowCount() - 1;
        if (m_currentRow >= rowCount())
            m_currentRow = rowCount() - 1;
    }
    touched();
}

void ResultsTable::clear()
{
    aboutToTouch();
    const QStringList header = m_rows.value(0, defaultHeaders());
    m_rows = {header, emptyRow()};
    m_trackedRow = 1;
    touched();
    setCurrentRow(1);
}

void ResultsTable::setRowCount(int n)
{
    n = qMax(2, n);
    aboutToTouch();
    while (rowCount() > n)
        m_rows.removeLast();
    while (rowCount() < n)
        m_rows.append(emptyRow());
    if (m_trackedRow >= n)
        m_trackedRow = n - 1;
    if (m_currentRow >= n)
        m_currentRow = n - 1;
    touched();
}

void ResultsTable::reorder(const QVector<int>& newOrder)
{
    if (newOrder.size() != dataRowCount())
        return;
    aboutToTouch();
    QVector<QStringList> rows;
    rows.reserve(rowCount());
    rows.append(m_rows[0]);
    int tracked = m_trackedRow;
    int current = m_currentRow;
    for (int i = 0; i < newOrder.size(); ++i) {
        const int old = newOrder[i];
        if (old < 1 || old >= rowCount())
            return;
        rows.append(m_rows[old]);
        if (old == m_trackedRow)
            tracked = i + 1;
        if (old == m_currentRow)
            current = i + 1;
    }
    m_rows.swap(rows);
    // Both follow their competitor, so a view restoring the current row after the
    // change finds the same competitor there.
    m_trackedRow = tracked;
    m_currentRow = current;
    touched();
}

bool ResultsTable::isBlank(const QString& text)
{
    for (const QChar c : text)
        if (c.unicode() > 0x20)
            return false;
    return true;
}

bool ResultsTable::holdsResults() const
{
    if (dataRowCount() > 1)
        return true;
    for (const QString& c : m_rows[1])
        if (!isBlank(c))
            return true;
    return false;
}

void ResultsTable::setCurrentRow(int r)
{
    if (r < 1 || r >= rowCount())
        return;
    m_trackedRow = r;
    if (r == m_currentRow)
        return;
    m_currentRow = r;
    Q_EMIT currentRowChanged(r);
}

void ResultsTable::setTrackedRow(int r)
{
    if (r >= 1 && r < rowCount())
        m_trackedRow = r;
}

void ResultsTable::beginUpdate()
{
    aboutToTouch();
    ++m_updateDepth;
}

void ResultsTable::endUpdate()
{
    if (m_updateDepth == 0)
        return;
    if (--m_updateDepth == 0 && m_pendingChange) {
        m_pendingChange = false;
        Q_EMIT changed();
    }
}

void ResultsTable::aboutToTouch()
{
    if (m_updateDepth > 0 || m_announcing)
        return;
    m_announcing = true;
    Q_EMIT aboutToChange();
    m_announcing = false;
}

void ResultsTable::touched()
{
    if (m_updateDepth > 0) {
        m_pendingChange = true;
        return;
    }
    Q_EMIT changed();
}
