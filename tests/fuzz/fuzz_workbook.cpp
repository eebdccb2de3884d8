// Fuzz target: the workbook (.xlsx) reader. The input is the file, read as the open command
// reads a workbook (readFirstSheet with the German decimal comma) and applied to the results
// table as the open command does; a table read from it is saved and read again.
#include "fuzz_support.h"

#include "protocol/xlsx_reader.h"
#include "protocol/xlsx_writer.h"
#include "results/results_table.h"

#include <QLocale>

namespace {

const QLocale& german()
{
    static const QLocale locale(QLocale::German, QLocale::Germany);
    return locale;
}

QVector<QStringList> sentinel()
{
    return {QStringList{QStringLiteral("unberührt")}};
}

// Characters the workbook cannot hold (XML 1.0 has no place for them) are dropped by the
// writer, and a cell holds at most 32 767 characters: such a table is not expected to come
// back unchanged.
bool writable(const QVector<QStringList>& rows)
{
    for (const QStringList& row : rows) {
        for (const QString& cell : row) {
            if (cell.size() > 32767)
                return false;
            for (qsizetype i = 0; i < cell.size(); ++i) {
                const char16_t u = cell.at(i).unicode();
                if (cell.at(i).isHighSurrogate() && i + 1 < cell.size() && cell.at(i + 1).isLowSurrogate()) {
                    ++i;
                    continue;
                }
                if ((u < 0x20 && u != 0x09 && u != 0x0A && u != 0x0D) || cell.at(i).isSurrogate() ||
                    u == 0xFFFE || u == 0xFFFF)
                    return false;
                // "_x000D_" in a string is the escape of a control character; a cell that
                // holds the text itself reads back as the character.
                if (u == '_' && cell.mid(i, 2) == QLatin1String("_x"))
                    return false;
            }
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    akfuzz::startApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = akfuzz::scratch() + QStringLiteral("/protokoll.xlsx");
    akfuzz::writeFile(path, akfuzz::bytesOf(data, size));

    ResultsTable table;
    table.setRow(1, {"7", "Max Bauer", "", "Lanz", "1955", "2", "0,00", "1:23,45", "0", "2", "1"});
    const QVector<QStringList> before = table.rows();

    QVector<QStringList> rows = sentinel();
    QString error;
    if (!readFirstSheet(path, &rows, &error, QLatin1Char(','))) {
        AK_FUZZ_CHECK(!error.isEmpty());
        AK_FUZZ_CHECK(rows == sentinel());
        AK_FUZZ_CHECK(table.rows() == before);
        return 0;
    }
    // Down to the last row with text; each row as long as its last cell with text.
    AK_FUZZ_CHECK(rows.size() <= 100000);
    for (const QStringList& row : std::as_const(rows)) {
        AK_FUZZ_CHECK(row.size() <= ResultsTable::ColumnCount);
        AK_FUZZ_CHECK(row.isEmpty() || !row.constLast().isEmpty());
    }
    AK_FUZZ_CHECK(rows.isEmpty() || !rows.constLast().isEmpty());

    applyProtocolSheet(rows, table);
    AK_FUZZ_CHECK(table.rowCount() >= 2);
    AK_FUZZ_CHECK(table.rowCount() == qMax<qsizetype>(2, rows.size()));
    for (const QStringList& row : table.rows())
        AK_FUZZ_CHECK(row.size() == ResultsTable::ColumnCount);
    for (const QString& title : table.row(0))
        AK_FUZZ_CHECK(!title.trimmed().isEmpty());

    // What the program saves from this table opens as the same table.
    if (!writable(table.rows()))
        return 0;
    const QString copy = akfuzz::scratch() + QStringLiteral("/kopie.xlsx");
    const QVector<int> widths(ResultsTable::ColumnCount, 64);
    QString saveError;
    AK_FUZZ_CHECK(
        SaveProtocolSheet(copy, table, widths, QStringLiteral("Furchenlauf"), german(), &saveError));
    ResultsTable reopened;
    QString reopenError;
    AK_FUZZ_CHECK(LoadProtocolSheet(copy, reopened, &reopenError, QLatin1Char(',')));
    AK_FUZZ_CHECK(reopened.rows() == table.rows());
    return 0;
}
