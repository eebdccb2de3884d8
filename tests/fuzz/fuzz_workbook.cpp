// Fuzz target: the workbook (.xlsx) reader. The input is the file, read as the open command
// reads a workbook (readFirstSheet with the German decimal comma) and applied to the results
// table as the open command does; a table read from it is saved and read again.
#include "fuzz_support.h"
#include "ooxml_fixture.h"

#include "protocol/xlsx_reader.h"
#include "protocol/xlsx_writer.h"
#include "results/results_table.h"

#include <QLocale>

#include <vector>
#include <zip.h>

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

namespace {

// The parts of a zip package, or false when the bytes are none.
bool unpack(const uint8_t* data, size_t size, OoxmlFixture::Parts* parts)
{
    zip_error_t ze;
    zip_error_init(&ze);
    zip_source_t* src = zip_source_buffer_create(data, size, 0, &ze);
    zip_t* zip = src ? zip_open_from_source(src, ZIP_RDONLY, &ze) : nullptr;
    zip_error_fini(&ze);
    if (!zip) {
        if (src)
            zip_source_free(src);
        return false;
    }
    bool ok = true;
    const zip_int64_t n = zip_get_num_entries(zip, 0);
    for (zip_int64_t i = 0; ok && i < n && i < 64; ++i) {
        zip_stat_t st;
        zip_file_t* f = nullptr;
        ok = zip_stat_index(zip, zip_uint64_t(i), 0, &st) == 0 && (st.valid & ZIP_STAT_SIZE) &&
             (st.valid & ZIP_STAT_NAME) && st.size <= (1u << 20) &&
             (f = zip_fopen_index(zip, zip_uint64_t(i), 0)) != nullptr;
        if (!ok)
            break;
        QByteArray bytes(qsizetype(st.size), Qt::Uninitialized);
        ok = zip_fread(f, bytes.data(), st.size) == zip_int64_t(st.size);
        zip_fclose(f);
        parts->append({QString::fromUtf8(st.name), bytes});
    }
    zip_discard(zip);
    return ok && !parts->empty();
}

} // namespace

// Mutations mostly inside the package: one part is unpacked, changed by libFuzzer's own
// mutator and packed again, so that the XML readers see more than broken checksums. Every
// fourth mutation (and every input that is no package) changes the file's bytes themselves.
extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize, unsigned int seed)
{
    OoxmlFixture::Parts parts;
    if (seed % 4 == 0 || !unpack(data, size, &parts))
        return LLVMFuzzerMutate(data, size, maxSize);
    QByteArray& part = parts[(seed / 4) % parts.size()].second;
    const size_t room = size_t(part.size()) * 2 + 256;
    std::vector<uint8_t> buf(room);
    std::copy(part.cbegin(), part.cend(), buf.begin());
    const size_t n = LLVMFuzzerMutate(buf.data(), size_t(part.size()), room);
    part = QByteArray(reinterpret_cast<const char*>(buf.data()), qsizetype(n));
    const QByteArray packed = OoxmlFixture::packageBytes(parts);
    if (packed.isEmpty() || size_t(packed.size()) > maxSize)
        return LLVMFuzzerMutate(data, size, maxSize);
    std::copy(packed.cbegin(), packed.cend(), data);
    return size_t(packed.size());
}

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
