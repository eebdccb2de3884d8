// Fuzz target: the text protocol reader. The input is the content of a protocol file, read
// through the entry the open command uses (LoadProtocolText: size limits, decoding, parsing)
// and applied to the results table as the open command does.
#include "fuzz_support.h"

#include "protocol/protocol_text.h"
#include "results/results_table.h"

#include <QHash>
#include <QLocale>

namespace {

const QLocale& german()
{
    static const QLocale locale(QLocale::German, QLocale::Germany);
    return locale;
}

bool holdsLineBreakOrTab(const QString& s)
{
    return s.contains(QLatin1Char('\t')) || s.contains(QLatin1Char('\r')) || s.contains(QLatin1Char('\n'));
}

// What a cell is on the file: the writer puts a single space for an empty cell.
QStringList asWritten(QStringList row)
{
    for (QString& c : row)
        if (c.isEmpty())
            c = QStringLiteral(" ");
    return row;
}

ProtocolTextContent sentinel()
{
    ProtocolTextContent c;
    c.rows.append(QStringList(ResultsTable::ColumnCount, QStringLiteral("unberührt")));
    c.startList.append(QStringLiteral("unberührt"));
    return c;
}

bool sameContent(const ProtocolTextContent& a, const ProtocolTextContent& b)
{
    return a.rows == b.rows && a.startList == b.startList;
}

void checkRefusal(bool ok, const ProtocolTextContent& content, const QString& error)
{
    AK_FUZZ_CHECK(!ok);
    AK_FUZZ_CHECK(!error.isEmpty());
    AK_FUZZ_CHECK(sameContent(content, sentinel()));
}

// The line limit: the same bytes followed by more line ends than a protocol may have are
// refused as a whole (UTF-16 files are left out: a single LF byte is no line end there).
// Checked for one input in 32, chosen by its content: the long file costs 30 inputs' time.
void checkLineLimit(const QByteArray& bytes)
{
    if (qHash(bytes) % 32 != 0 || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return;
    const QByteArray longer = bytes + QByteArray(ProtocolTextLimits::maxLines + 1, '\n');
    ProtocolTextContent content = sentinel();
    QString error;
    const bool ok = readProtocolText(longer, &content, &error, german());
    checkRefusal(ok, content, error);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    akfuzz::startApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = akfuzz::bytesOf(data, size);
    const QString path = akfuzz::scratch() + QStringLiteral("/protokoll.txt");
    akfuzz::writeFile(path, bytes);

    ResultsTable table;
    table.setRow(1, {"7", "Max Bauer", "", "Lanz", "1955", "2", "0,00", "1:23,45", "0", "2", "1"});
    const QVector<QStringList> before = table.rows();

    // Read first; the table changes only when the file was read (as the open command does).
    ProtocolTextContent content = sentinel();
    QString error;
    const bool ok = LoadProtocolText(path, &content, &error, german());
    if (!ok) {
        checkRefusal(ok, content, error);
        AK_FUZZ_CHECK(error.contains(path));
        AK_FUZZ_CHECK(table.rows() == before);
        return 0;
    }
    AK_FUZZ_CHECK(error.isEmpty());
    checkLineLimit(bytes);

    for (const QStringList& row : std::as_const(content.rows)) {
        AK_FUZZ_CHECK(row.size() == ResultsTable::ColumnCount);
        for (const QString& cell : row)
            AK_FUZZ_CHECK(!holdsLineBreakOrTab(cell));
        // Header lines never become rows.
        const QString& first = row.at(ResultsTable::StNr);
        AK_FUZZ_CHECK(!first.contains(QLatin1String("Nr.")) && first != QLatin1String("Nr"));
    }
    for (const QString& entry : std::as_const(content.startList))
        AK_FUZZ_CHECK(!entry.contains(QLatin1Char('\r')) && !entry.contains(QLatin1Char('\n')));

    applyProtocolText(table, content);
    AK_FUZZ_CHECK(table.rowCount() >= 2);
    AK_FUZZ_CHECK(table.dataRowCount() == qMax<qsizetype>(1, content.rows.size()));
    AK_FUZZ_CHECK(table.row(0) == before.at(0)); // the header keeps its titles
    for (const QStringList& row : table.rows())
        AK_FUZZ_CHECK(row.size() == ResultsTable::ColumnCount);

    // What the program saves from this table reads back as the same table.
    const QByteArray saved = protocolTextBytes(table);
    ProtocolTextContent again;
    QString againError;
    AK_FUZZ_CHECK(readProtocolText(saved, &again, &againError, german()));
    AK_FUZZ_CHECK(again.rows.size() == table.dataRowCount());
    for (int r = 1; r < table.rowCount(); ++r)
        AK_FUZZ_CHECK(again.rows.at(r - 1) == asWritten(table.row(r)));
    return 0;
}
