#include "protocol/Excel.h"

#include "protocol/c_numeric_locale.h"
#include "protocol/office_open.h"
#include "protocol/xlsx_writer.h"
#include "results/results_table.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>

#include <xlsxwriter.h>

namespace {
constexpr int maxRows = 1048576;
constexpr int maxColumns = 16384;
} // namespace

TExcel::TExcel(Opener opener, QObject* parent) : QObject(parent), m_opener(std::move(opener)) {}

TExcel::~TExcel()
{
    discardWorkbook();
}

bool TExcel::fail(const QString& text)
{
    m_error = text;
    return false;
}

void TExcel::discardWorkbook()
{
    if (!m_book)
        return;
    lxw_workbook_free(m_book);
    m_book = nullptr;
    m_sheet = nullptr;
    QFile::remove(m_fileName);
}

bool TExcel::Connect()
{
    if (!m_opener)
        return fail(QStringLiteral("Keine Tabellenkalkulation vorhanden"));
    return true;
}

bool TExcel::NewWorkbook()
{
    discardWorkbook();
    m_line = 1;
    m_widths.clear();
    QTemporaryFile tmp(QDir::tempPath() + QStringLiteral("/Acker-Klassik-XXXXXX.xlsx"));
    tmp.setAutoRemove(false);
    if (!tmp.open())
        return fail(QStringLiteral("Keine temporäre Datei für die Arbeitsmappe möglich"));
    m_fileName = tmp.fileName();
    tmp.close();
    m_book = workbook_new(QFile::encodeName(m_fileName).constData());
    if (m_book)
        m_sheet = workbook_add_worksheet(m_book, "Tabelle1");
    if (!m_book || !m_sheet) {
        discardWorkbook();
        QFile::remove(m_fileName);
        return fail(QStringLiteral("Arbeitsmappe nicht angelegt"));
    }
    return true;
}

bool TExcel::PutLine()
{
    if (!m_sheet)
        return fail(QStringLiteral("Keine Arbeitsmappe"));
    const int lineLimit = m_horizontal ? maxRows : maxColumns;
    const int cellLimit = m_horizontal ? maxColumns : maxRows;
    if (m_line < 1 || m_line > lineLimit || m_cells.size() > cellLimit)
        return fail(QStringLiteral("Zeile %1 liegt außerhalb des Tabellenblatts").arg(m_line));
    for (int i = 0; i < m_cells.size(); ++i) {
        const int row = m_horizontal ? m_line - 1 : i;
        const int col = m_horizontal ? i : m_line - 1;
        const QString& text = m_cells.at(i);
        const lxw_error e = worksheet_write_string(m_sheet, lxw_row_t(row), lxw_col_t(col),
                                                   text.toUtf8().constData(), nullptr);
        if (e != LXW_NO_ERROR)
            return fail(OfficeOpen::xlsxWriterErrorText(e));
        if (m_widths.size() <= col)
            m_widths.resize(col + 1);
        m_widths[col] = qMax(m_widths[col], fittedColumnWidth(text, false));
    }
    ++m_line;
    return true;
}

bool TExcel::FitColumns()
{
    if (!m_book)
        return fail(QStringLiteral("Keine Arbeitsmappe"));
    // libxlsxwriter writes the widths with printf, which follows the regional settings.
    const CNumericLocale cNumbers;
    for (int c = 0; c < m_widths.size(); ++c)
        if (m_widths[c] > 0)
            worksheet_set_column(m_sheet, lxw_col_t(c), lxw_col_t(c), m_widths[c], nullptr);
    const lxw_error e = workbook_close(m_book);
    m_book = nullptr;
    m_sheet = nullptr;
    if (e != LXW_NO_ERROR) {
        QFile::remove(m_fileName);
        return fail(OfficeOpen::xlsxWriterErrorText(e));
    }
    if (!m_opener || !m_opener(m_fileName))
        return fail(QStringLiteral("%1 lässt sich nicht öffnen").arg(m_fileName));
    return true;
}

QStringList excelLineCells(const QStringList& row)
{
    QStringList out;
    out.reserve(row.size());
    for (QString cell : row) {
        const int comma = cell.indexOf(QLatin1Char(','));
        if (comma >= 0)
            cell[comma] = QLatin1Char('.');
        out.append(cell);
    }
    return out;
}

bool exportTableToExcel(TExcel& excel, const ResultsTable& table)
{
    if (!excel.Connect() || !excel.NewWorkbook())
        return false;
    for (int r = 0; r < table.rowCount(); ++r) {
        excel.setCells(excelLineCells(table.row(r)));
        if (!excel.PutLine())
            return false;
    }
    return excel.FitColumns();
}
