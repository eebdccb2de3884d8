#include "protocol/xlsx_writer.h"

#include "protocol/office_open.h"
#include "results/results_table.h"

#include <QFile>

#include <xlsxwriter.h>

#include <array>

namespace {

constexpr int maxExportedColumn = 9; // "Platz" is never part of the workbook
// Sheet columns (1-based) whose cells get the points format, whatever is exported.
constexpr std::array<int, 7> pointsColumns = {6, 9, 10, 11, 14, 15, 17};

bool isPointsColumn(int sheetCol1)
{
    for (int c : pointsColumns)
        if (c == sheetCol1)
            return true;
    return false;
}

QString xlsxError(lxw_error e)
{
    return QString::fromUtf8(lxw_strerror(e));
}

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

QString pointsNumberFormat(QChar decimalSeparator)
{
    // A format code in the file is written in the neutral notation, where "." is the
    // decimal point and "," groups thousands; the spreadsheet shows "0.00" as "0,00"
    // to a German operator. Writing "0,00" would mean "no decimals, grouped".
    Q_UNUSED(decimalSeparator);
    return QStringLiteral("0.00");
}

bool SaveProtocolSheet(const QString& path, const ResultsTable& table, const QVector<int>& columnWidths,
                       const QString& eventTitle, QChar decimalSeparator, QString* error)
{
    QVector<int> columns;
    for (int c = 0; c <= maxExportedColumn; ++c)
        if (columnWidths.value(c, 0) >= 0)
            columns.append(c);
    const int w = int(columns.size());
    const int rows = table.rowCount();

    const QString temp = OfficeOpen::createTempBeside(path, error);
    if (temp.isEmpty())
        return false;

    lxw_workbook* book = workbook_new(QFile::encodeName(temp).constData());
    if (!book) {
        QFile::remove(temp);
        OfficeOpen::setError(error, QStringLiteral("%1: Arbeitsmappe nicht angelegt").arg(path));
        return false;
    }
    auto fail = [&](const QString& text) {
        lxw_workbook_free(book);
        QFile::remove(temp);
        OfficeOpen::setError(error, QStringLiteral("%1: %2").arg(path, text));
        return false;
    };

    lxw_worksheet* sheet = workbook_add_worksheet(book, "Acker Klassik");
    if (!sheet)
        return fail(QStringLiteral("Tabellenblatt nicht angelegt"));
    worksheet_set_landscape(sheet);

    const QByteArray numFormat = pointsNumberFormat(decimalSeparator).toUtf8();
    // [header][points]: borders for the whole range, hairline and bold in row 1.
    lxw_format* rangeFormat[2][2];
    for (int header = 0; header < 2; ++header) {
        for (int points = 0; points < 2; ++points) {
            lxw_format* f = workbook_add_format(book);
            format_set_border(f, header ? LXW_BORDER_HAIR : LXW_BORDER_THIN);
            if (header)
                format_set_bold(f);
            if (points)
                format_set_num_format(f, numFormat.constData());
            rangeFormat[header][points] = f;
        }
    }
    lxw_format* pointsOnly = workbook_add_format(book);
    format_set_num_format(pointsOnly, numFormat.constData());

    QVector<double> widths(w, 0.0);
    for (int r = 0; r < rows; ++r) {
        const bool header = r == 0;
        for (int j = 0; j < w; ++j) {
            const QString text = table.cell(columns[j], r);
            lxw_format* f = rangeFormat[header][isPointsColumn(j + 1)];
            const lxw_error e =
                worksheet_write_string(sheet, lxw_row_t(r), lxw_col_t(j), text.toUtf8().constData(), f);
            if (e != LXW_NO_ERROR)
                return fail(xlsxError(e));
            widths[j] = qMax(widths[j], fittedColumnWidth(text, header));
        }
        for (int c : pointsColumns) {
            if (c > w) {
                const lxw_error e = worksheet_write_blank(sheet, lxw_row_t(r), lxw_col_t(c - 1), pointsOnly);
                if (e != LXW_NO_ERROR)
                    return fail(xlsxError(e));
            }
        }
    }
    for (int j = 0; j < w; ++j)
        worksheet_set_column(sheet, lxw_col_t(j), lxw_col_t(j), widths[j], nullptr);

    const QByteArray title = eventTitle.toUtf8();
    QByteArray author("Ruvanta-Werk Software");
    lxw_doc_properties props = {};
    props.title = const_cast<char*>(title.constData());
    props.author = author.data();
    workbook_set_properties(book, &props);

    const lxw_error closed = workbook_close(book); // writes the file and frees the workbook
    if (closed != LXW_NO_ERROR) {
        QFile::remove(temp);
        OfficeOpen::setError(error, QStringLiteral("%1: %2").arg(path, xlsxError(closed)));
        return false;
    }
    return OfficeOpen::commitTemp(temp, path, error);
}
