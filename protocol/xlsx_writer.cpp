#include "protocol/xlsx_writer.h"

#include "platform/atomic_write.h"
#include "protocol/c_numeric_locale.h"
#include "protocol/office_open.h"
#include "results/points_text.h"
#include "results/results_table.h"

#include <QFile>

#include <xlsxwriter.h>

#include <array>

namespace {

// Sheet columns (1-based) whose cells get the points format, whatever is exported.
constexpr std::array<int, 7> pointsColumns = {6, 9, 10, 11, 14, 15, 17};

bool isPointsColumn(int sheetCol1)
{
    for (int c : pointsColumns)
        if (c == sheetCol1)
            return true;
    return false;
}

bool isNumberColumn(int tableColumn)
{
    return tableColumn == ResultsTable::Baujahr || tableColumn == ResultsTable::StrafG ||
           tableColumn == ResultsTable::StrafZ || tableColumn == ResultsTable::Ges;
}

// The cell formats of one workbook: [header][points format][whole-number format].
class Formats {
public:
    Formats(lxw_workbook* book, bool protocolLayout)
    {
        const QByteArray points = pointsNumberFormat().toUtf8();
        for (int header = 0; header < 2; ++header) {
            for (int kind = 0; kind < 3; ++kind) {
                lxw_format* f = workbook_add_format(book);
                if (protocolLayout)
                    format_set_border(f, header ? LXW_BORDER_HAIR : LXW_BORDER_THIN);
                if (protocolLayout && header)
                    format_set_bold(f);
                if (kind == 1)
                    format_set_num_format(f, points.constData());
                else if (kind == 2)
                    format_set_num_format(f, "0");
                m_formats[header][kind] = f;
            }
        }
        m_pointsOnly = workbook_add_format(book);
        format_set_num_format(m_pointsOnly, points.constData());
    }
    // Format of a cell: the points format on the fixed columns (protocol layout), the
    // whole-number format for a year stored as a number elsewhere.
    lxw_format* cell(bool header, bool pointsColumn, bool wholeNumber) const
    {
        return m_formats[header][pointsColumn ? 1 : (wholeNumber ? 2 : 0)];
    }
    lxw_format* pointsOnly() const { return m_pointsOnly; }

private:
    lxw_format* m_formats[2][3] = {};
    lxw_format* m_pointsOnly = nullptr;
};

} // namespace

double fittedColumnWidth(const QString& text, bool bold)
{
    // Average glyphs of the default font are a little narrower than the digit 0,
    // capitals and bold text wider; one unit of padding for the cell margins.
    double units = 0;
    for (const QChar c : text)
        units += (c.isUpper() || c == QLatin1Char('m') || c == QLatin1Char('w')) ? 1.15 : 0.95;
    if (bold)
        units *= 1.1;
    return qBound(4.0, units + 1.0, 255.0);
}

QString pointsNumberFormat()
{
    // A format code in the file is written in the neutral notation, where "." is the
    // decimal point and "," groups thousands; the spreadsheet shows "0.00" as "0,00"
    // to a German operator. Writing "0,00" would mean "no decimals, grouped".
    return QStringLiteral("0.00");
}

bool workbookNumber(int tableColumn, const QString& text, const QLocale& locale, double* value)
{
    if (!isNumberColumn(tableColumn) || text.isEmpty())
        return false;
    if (tableColumn == ResultsTable::Baujahr || tableColumn == ResultsTable::StrafG) {
        int whole = 0;
        if (!parseWholeNumber(text, &whole) || QString::number(whole) != text)
            return false;
        *value = whole;
        return true;
    }
    double v = 0;
    if (!parseDecimalNumber(text, locale, &v) || formatPoints(v, locale) != text)
        return false;
    *value = v;
    return true;
}

bool writeResultsWorkbook(const QString& path, const QVector<QStringList>& rows,
                          const WorkbookOptions& options, QString* error)
{
    constexpr qsizetype maxRows = 1048576;
    constexpr qsizetype maxColumns = 16384;
    const QVector<int>& columns = options.columns;
    const qsizetype w = columns.size();
    if (rows.size() > maxRows || w > maxColumns) {
        OfficeOpen::setError(error,
                             QStringLiteral("%1: Die Tabelle ist zu groß für ein Tabellenblatt").arg(path));
        return false;
    }
    // libxlsxwriter writes its numbers with printf.
    const CNumericLocale cNumbers;

    const QString temp = AtomicWrite::createTempBeside(path, error);
    if (temp.isEmpty())
        return false;
    lxw_workbook* book = workbook_new(QFile::encodeName(temp).constData());
    if (!book) {
        QFile::remove(temp);
        OfficeOpen::setError(error,
                             QStringLiteral("%1: Die Arbeitsmappe kann nicht angelegt werden").arg(path));
        return false;
    }
    auto fail = [&](const QString& text) {
        lxw_workbook_free(book);
        QFile::remove(temp);
        OfficeOpen::setError(error, QStringLiteral("%1: %2").arg(path, text));
        return false;
    };

    const QByteArray sheetName = options.sheetName.toUtf8();
    lxw_worksheet* sheet = workbook_add_worksheet(book, sheetName.constData());
    if (!sheet)
        return fail(QStringLiteral("Das Tabellenblatt kann nicht angelegt werden"));
    if (options.protocolLayout)
        worksheet_set_landscape(sheet);
    const Formats formats(book, options.protocolLayout);

    QVector<double> widths(w, 0.0);
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const bool header = r == 0;
        const QStringList& row = rows[r];
        for (qsizetype j = 0; j < w; ++j) {
            const int column = columns[j];
            const QString text = row.value(column);
            const bool points = options.protocolLayout && isPointsColumn(int(j) + 1);
            double number = 0;
            const bool asNumber = !header && workbookNumber(column, text, options.locale, &number);
            lxw_format* f = formats.cell(header, points, asNumber);
            const lxw_error e =
                asNumber
                    ? worksheet_write_number(sheet, lxw_row_t(r), lxw_col_t(j), number, f)
                    : worksheet_write_string(sheet, lxw_row_t(r), lxw_col_t(j), text.toUtf8().constData(), f);
            if (e != LXW_NO_ERROR)
                return fail(OfficeOpen::xlsxWriterErrorText(e));
            widths[j] = qMax(widths[j], fittedColumnWidth(text, header && options.protocolLayout));
        }
        if (!options.protocolLayout)
            continue;
        for (int c : pointsColumns) {
            if (c > w) {
                const lxw_error e =
                    worksheet_write_blank(sheet, lxw_row_t(r), lxw_col_t(c - 1), formats.pointsOnly());
                if (e != LXW_NO_ERROR)
                    return fail(OfficeOpen::xlsxWriterErrorText(e));
            }
        }
    }
    for (qsizetype j = 0; j < w; ++j)
        worksheet_set_column(sheet, lxw_col_t(j), lxw_col_t(j), widths[j], nullptr);

    const QByteArray title = options.title.toUtf8();
    QByteArray author = options.author.toUtf8();
    lxw_doc_properties props = {};
    props.title = const_cast<char*>(title.constData());
    props.author = author.data();
    workbook_set_properties(book, &props);

    const lxw_error closed = workbook_close(book); // writes the file and frees the workbook
    if (closed != LXW_NO_ERROR) {
        QFile::remove(temp);
        OfficeOpen::setError(error,
                             QStringLiteral("%1: %2").arg(path, OfficeOpen::xlsxWriterErrorText(closed)));
        return false;
    }
    // libxlsxwriter does not notice every write cut short by a full disk.
    QString damage;
    if (!OfficeOpen::checkWrittenPackage(temp, &damage)) {
        QFile::remove(temp);
        OfficeOpen::setError(
            error,
            QStringLiteral("%1: Die Arbeitsmappe wurde nicht vollständig geschrieben (Datenträger voll?): %2")
                .arg(path, damage));
        return false;
    }
    return AtomicWrite::commitTemp(temp, path, error);
}

bool SaveProtocolSheet(const QString& path, const ResultsTable& table, const QVector<int>& columnWidths,
                       const QString& eventTitle, const QLocale& locale, QString* error)
{
    WorkbookOptions options;
    for (int c = 0; c < ResultsTable::Platz; ++c)
        if (columnWidths.value(c, 0) >= 0)
            options.columns.append(c);
    options.columns.append(ResultsTable::Platz);
    options.locale = locale;
    options.title = eventTitle;
    return writeResultsWorkbook(path, table.rows(), options, error);
}
