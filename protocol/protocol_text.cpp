#include "protocol/protocol_text.h"

#include "platform/cp1252.h"
#include "protocol/atomic_write.h"
#include "results/results_table.h"

#include <QFile>
#include <QStringDecoder>

namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF");

// A TAB or line break inside a cell would split it into fields or rows of their
// own when the file is read back, so the writer turns them into spaces.
QString fileCell(const QString& text)
{
    if (text.isEmpty())
        return QStringLiteral(" ");
    QString out = text;
    for (QChar& c : out)
        if (c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            c = QLatin1Char(' ');
    return out;
}

bool hasNonAscii(const QByteArray& bytes)
{
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    return false;
}

// Splits one line into the cells of a table row.
QStringList tableRow(const QString& line)
{
    QStringList cells = ResultsTable::emptyRow();
    const QChar sep = line.contains(QLatin1Char('\t')) ? QLatin1Char('\t') : QLatin1Char(';');
    int col = 0;
    int i = 0;
    const int n = int(line.size());
    auto put = [&](int from, int to) {
        if (col < ResultsTable::ColumnCount)
            cells[col] = to > from ? line.mid(from, to - from) : QStringLiteral(" ");
        ++col;
    };
    int start = 0;
    while (i < n && col < ResultsTable::ColumnCount) {
        if (line[i] == sep) {
            put(start, i);
            // A run of separators counts as one.
            while (i < n && line[i] == sep)
                ++i;
            start = i;
        } else {
            ++i;
        }
    }
    // The text after the last separator is a field unless it is empty.
    if (start < n && col < ResultsTable::ColumnCount)
        put(start, n);
    return cells;
}

bool isHeaderLine(const QString& line)
{
    return line.contains(QLatin1String("Nr.")) || line == QLatin1String("Nr");
}

} // namespace

QByteArray protocolTextBytes(const ResultsTable& table)
{
    QString text;
    text.reserve(table.rowCount() * 64);
    bool singleByte = true;
    for (const QStringList& row : table.rows()) {
        for (int c = 0; c < ResultsTable::ColumnCount; ++c) {
            const QString cell = fileCell(row.value(c));
            if (singleByte && !Cp1252::canEncode(cell))
                singleByte = false;
            text += cell;
            text += QLatin1Char('\t');
        }
        text += QLatin1String("\r\n");
    }
    if (singleByte)
        return Cp1252::encode(text);
    return kUtf8Bom + text.toUtf8();
}

bool SaveProtocolText(const QString& path, const ResultsTable& table, QString* error)
{
    return writeFileAtomically(path, protocolTextBytes(table), error);
}

QString decodeProtocolBytes(const QByteArray& bytes)
{
    if (bytes.startsWith(kUtf8Bom))
        return QString::fromUtf8(bytes.mid(kUtf8Bom.size()));
    if (hasNonAscii(bytes)) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = utf8(bytes);
        if (!utf8.hasError())
            return text;
    }
    return Cp1252::decode(bytes);
}

ProtocolTextContent parseProtocolText(const QByteArray& bytes)
{
    const QString text = decodeProtocolBytes(bytes);
    ProtocolTextContent content;
    const int n = int(text.size());

    // Start list: CR LF, LF and a lone CR each end a line; no entry after a final line end.
    int start = 0;
    bool first = true;
    for (int i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        if (!first)
            content.startList.append(text.mid(start, i - start));
        first = false;
        if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < n && !first)
        content.startList.append(text.mid(start));

    // Table: only LF ends a line; every CR is dropped.
    start = 0;
    while (start < n) {
        int end = int(text.indexOf(QLatin1Char('\n'), start));
        if (end < 0)
            end = n;
        QString line = text.mid(start, end - start);
        line.remove(QLatin1Char('\r'));
        start = end + 1;
        if (isHeaderLine(line))
            continue;
        content.rows.append(tableRow(line));
    }
    return content;
}

bool LoadProtocolText(const QString& path, ProtocolTextContent* out, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return false;
    }
    if (out)
        *out = parseProtocolText(bytes);
    return true;
}

void applyProtocolText(ResultsTable& table, const ProtocolTextContent& content)
{
    table.beginUpdate();
    table.clear();
    table.setRowCount(qMax(2, int(content.rows.size()) + 1));
    for (int i = 0; i < content.rows.size(); ++i)
        table.setRow(i + 1, content.rows[i]);
    table.endUpdate();
}

QString DefaultProtocolName(const QDateTime& now)
{
    return now.toString(QStringLiteral("yyyy-MM-dd-hh-mm")).replace(QLatin1Char(' '), QLatin1Char('0'));
}
