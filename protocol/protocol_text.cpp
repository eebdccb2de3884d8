#include "protocol/protocol_text.h"

#include "platform/cp1252.h"
#include "platform/atomic_write.h"
#include "results/results_table.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <limits>

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

bool isValidUtf8WithNonAscii(const QByteArray& bytes)
{
    if (!hasNonAscii(bytes))
        return false;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    return !utf8.hasError();
}

// Splits one line into the cells of a table row.
QStringList tableRow(const QString& line)
{
    QStringList cells = ResultsTable::emptyRow();
    const QChar sep = line.contains(QLatin1Char('\t')) ? QLatin1Char('\t') : QLatin1Char(';');
    int col = 0;
    qsizetype i = 0;
    const qsizetype n = line.size();
    auto put = [&](qsizetype from, qsizetype to) {
        if (col < ResultsTable::ColumnCount)
            cells[col] = to > from ? line.mid(from, to - from) : QStringLiteral(" ");
        ++col;
    };
    qsizetype start = 0;
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

// A header line names its first column "St.Nr." or "Nr": only the first field
// counts, so a driver "Team Nr. 5" or a make "Lanz Bulldog Nr.2" stays a row.
bool isHeaderLine(const QString& line)
{
    const QChar sep = line.contains(QLatin1Char('\t')) ? QLatin1Char('\t') : QLatin1Char(';');
    const qsizetype end = line.indexOf(sep);
    const QStringView first = QStringView(line).left(end < 0 ? line.size() : end);
    return first.contains(QLatin1String("Nr.")) || first == QLatin1String("Nr");
}

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// A points number written with the other decimal separator ("2.5" where the locale
// writes "2,5") gets the locale's separator. Points never carry a thousands
// separator, so the other mark between digits can only be a decimal point.
void useLocaleSeparator(QString& cell, QChar own, QChar other)
{
    const qsizetype at = cell.indexOf(other);
    if (at < 0 || cell.indexOf(other, at + 1) >= 0 || cell.contains(own))
        return;
    qsizetype i = 0;
    const qsizetype n = cell.size();
    while (i < n && cell[i] == QLatin1Char(' '))
        ++i;
    if (i < n && (cell[i] == QLatin1Char('-') || cell[i] == QLatin1Char('+')))
        ++i;
    const qsizetype intStart = i;
    while (i < n && isAsciiDigit(cell[i]))
        ++i;
    if (i == intStart || i != at)
        return;
    ++i;
    const qsizetype fracStart = i;
    while (i < n && isAsciiDigit(cell[i]))
        ++i;
    if (i == fracStart)
        return;
    while (i < n && cell[i] == QLatin1Char(' '))
        ++i;
    if (i == n)
        cell[at] = own;
}

// The number of lines as the start list counts them: CR LF, LF and a lone CR each
// end a line; text after the last line end is one more.
qint64 countLines(const QString& text)
{
    qint64 lines = 0;
    const qsizetype n = text.size();
    const QChar* d = text.constData();
    for (qsizetype i = 0; i < n; ++i) {
        if (d[i] == QLatin1Char('\n')) {
            ++lines;
        } else if (d[i] == QLatin1Char('\r')) {
            ++lines;
            if (i + 1 < n && d[i + 1] == QLatin1Char('\n'))
                ++i;
        }
    }
    if (n > 0 && d[n - 1] != QLatin1Char('\n') && d[n - 1] != QLatin1Char('\r'))
        ++lines;
    return lines;
}

QString tooLargeText()
{
    return QStringLiteral("Die Datei ist größer als 16 MiB");
}

QString tooManyLinesText()
{
    return QStringLiteral("Die Datei hat mehr als 100 000 Zeilen");
}

QString withPath(const QString& reason, const QString& path)
{
    return reason + QStringLiteral(": ") + path;
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
    if (singleByte) {
        // Windows-1252 bytes that happen to form valid UTF-8 ("Ã¼") would be read back
        // as UTF-8 ("ü"); such a table is written as UTF-8 with a byte-order mark.
        QByteArray bytes = Cp1252::encode(text);
        if (!isValidUtf8WithNonAscii(bytes))
            return bytes;
    }
    return kUtf8Bom + text.toUtf8();
}

bool SaveProtocolText(const QString& path, const ResultsTable& table, QString* error)
{
    return writeFileAtomically(path, protocolTextBytes(table), error);
}

QString decodeProtocolBytes(const QByteArray& bytes)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                             QStringDecoder::Flag::Stateless);
        QString text = utf16(bytes.mid(2));
        // A surrogate without its partner is no character; it could not be written back.
        const qsizetype n = text.size();
        for (qsizetype i = 0; i < n; ++i) {
            if (text[i].isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate())
                ++i;
            else if (text[i].isSurrogate())
                text[i] = QChar::ReplacementCharacter;
        }
        return text;
    }
    if (bytes.startsWith(kUtf8Bom))
        return QString::fromUtf8(bytes.mid(kUtf8Bom.size()));
    if (hasNonAscii(bytes)) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = utf8(bytes);
        if (!utf8.hasError())
            return text;
    }
    return Cp1252::decode(bytes);
}

namespace {

ProtocolTextContent parseText(const QString& text, const QLocale& locale)
{
    ProtocolTextContent content;
    const qsizetype n = text.size();

    // Start list: CR LF, LF and a lone CR each end a line; no entry after a final line end.
    qsizetype start = 0;
    bool first = true;
    for (qsizetype i = 0; i < n; ++i) {
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

    // Table: LF ends a line and every CR is dropped; in a file without any LF (old
    // Macintosh line ends) the CR ends the line.
    const QChar lineEnd = !text.contains(QLatin1Char('\n')) && text.contains(QLatin1Char('\r'))
                              ? QLatin1Char('\r')
                              : QLatin1Char('\n');
    const QString own = locale.decimalPoint();
    const QChar ownSep = own.size() == 1 ? own.at(0) : QChar();
    const QChar otherSep = ownSep == QLatin1Char('.') ? QLatin1Char(',') : QLatin1Char('.');
    start = 0;
    while (start < n) {
        qsizetype end = text.indexOf(lineEnd, start);
        if (end < 0)
            end = n;
        QString line = text.mid(start, end - start);
        line.remove(QLatin1Char('\r'));
        start = end + 1;
        if (isHeaderLine(line))
            continue;
        QStringList row = tableRow(line);
        if (!ownSep.isNull()) {
            useLocaleSeparator(row[ResultsTable::StrafZ], ownSep, otherSep);
            useLocaleSeparator(row[ResultsTable::Ges], ownSep, otherSep);
        }
        content.rows.append(row);
    }
    return content;
}

} // namespace

ProtocolTextContent parseProtocolText(const QByteArray& bytes, const QLocale& locale)
{
    return parseText(decodeProtocolBytes(bytes), locale);
}

bool readProtocolText(const QByteArray& bytes, ProtocolTextContent* out, QString* error,
                      const QLocale& locale)
{
    if (bytes.size() > ProtocolTextLimits::maxBytes) {
        if (error)
            *error = tooLargeText();
        return false;
    }
    const QString text = decodeProtocolBytes(bytes);
    if (countLines(text) > ProtocolTextLimits::maxLines) {
        if (error)
            *error = tooManyLinesText();
        return false;
    }
    ProtocolTextContent content = parseText(text, locale);
    if (out)
        *out = std::move(content);
    return true;
}

bool LoadProtocolText(const QString& path, ProtocolTextContent* out, QString* error, const QLocale& locale)
{
    auto fail = [&](const QString& reason) {
        if (error)
            *error = withPath(reason, path);
        return false;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return fail(QFileInfo::exists(path) ? QStringLiteral("Die Datei kann nicht geöffnet werden")
                                            : QStringLiteral("Die Datei gibt es nicht"));
    }
    // A file that says it is too large is not read at all; a device without a size
    // is read in pieces up to one byte past the limit.
    if (file.size() > ProtocolTextLimits::maxBytes)
        return fail(tooLargeText());
    QByteArray bytes;
    if (!file.isSequential()) {
        bytes = file.readAll();
    } else {
        while (bytes.size() <= ProtocolTextLimits::maxBytes) {
            const QByteArray piece =
                file.read(qMin<qint64>(1 << 20, ProtocolTextLimits::maxBytes + 1 - bytes.size()));
            if (piece.isEmpty())
                break;
            bytes += piece;
        }
    }
    if (file.error() != QFileDevice::NoError)
        return fail(QStringLiteral("Die Datei kann nicht gelesen werden"));
    QString reason;
    if (!readProtocolText(bytes, out, &reason, locale))
        return fail(reason);
    return true;
}

void applyProtocolText(ResultsTable& table, const ProtocolTextContent& content)
{
    table.beginUpdate();
    table.clear();
    // The table counts rows in int; the readers stay far below that.
    const int rows = int(qMin<qsizetype>(content.rows.size(), std::numeric_limits<int>::max() - 1));
    table.setRowCount(qMax(2, rows + 1));
    for (int i = 0; i < rows; ++i)
        table.setRow(i + 1, content.rows[i]);
    table.endUpdate();
}

QString DefaultProtocolName(const QDateTime& now)
{
    return now.toString(QStringLiteral("yyyy-MM-dd-hh-mm")).replace(QLatin1Char(' '), QLatin1Char('0'));
}
