#include "protocol/xlsx_reader.h"

#include "protocol/office_open.h"
#include "results/points_text.h"
#include "results/results_table.h"

#include <QHash>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <cmath>

using OfficeOpen::setError;

namespace {

constexpr int maxSheetRows = 1048576;
constexpr int maxSheetColumns = 16384;
// Rows with data beyond this are refused, as a text protocol of more lines is.
constexpr int maxDataRows = 100000;

struct Relation {
    QString target;
    QString type;
};

bool xmlFailed(const QXmlStreamReader& xml, const QString& part, QString* error)
{
    if (!xml.hasError())
        return false;
    setError(error, OfficeOpen::xmlErrorText(xml, part));
    return true;
}

QString damaged(const QString& what)
{
    return QStringLiteral("Die Datei ist beschädigt: ") + what;
}

// "_x000D_" in a string stands for the character U+000D (how control characters
// travel in the file); "_x005F_" protects a literal underscore.
QString decodeEscapes(const QString& text)
{
    if (!text.contains(QLatin1String("_x")))
        return text;
    static const QRegularExpression re(QStringLiteral("_x([0-9A-Fa-f]{4})_"));
    QString out;
    qsizetype pos = 0;
    auto it = re.globalMatch(text);
    while (it.hasNext()) {
        const auto m = it.next();
        out += text.mid(pos, m.capturedStart() - pos);
        out += QChar(char16_t(m.captured(1).toUShort(nullptr, 16)));
        pos = m.capturedEnd();
    }
    out += text.mid(pos);
    return out;
}

QString workbookPartName(const OfficeOpen::ZipPackage& pkg)
{
    QByteArray data;
    if (pkg.read(QStringLiteral("[Content_Types].xml"), &data, nullptr)) {
        QXmlStreamReader xml(data);
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != QLatin1String("Override"))
                continue;
            const QXmlStreamAttributes attributes = xml.attributes();
            const QString type = attributes.value(QLatin1String("ContentType")).toString();
            if (type.endsWith(QLatin1String(".main+xml")) &&
                (type.contains(QLatin1String("spreadsheetml")) || type.contains(QLatin1String("ms-excel"))))
                return OfficeOpen::resolvePartName(QString(),
                                                   attributes.value(QLatin1String("PartName")).toString());
        }
    }
    return OfficeOpen::officeDocumentPart(pkg, QStringLiteral("xl/workbook.xml"));
}

// The relationship ids of the sheets listed in the workbook, in their order
// (worksheets, and chart or dialog sheets, which have no cells).
bool sheetIds(const QByteArray& data, const QString& part, QStringList* ids, QString* error)
{
    QXmlStreamReader xml(data);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != QLatin1String("sheet"))
            continue;
        for (const QXmlStreamAttribute& a : xml.attributes()) {
            if (a.name() == QLatin1String("id") && !a.namespaceUri().isEmpty()) {
                ids->append(a.value().toString());
                break;
            }
        }
    }
    return !xmlFailed(xml, part, error);
}

bool readRelations(const OfficeOpen::ZipPackage& pkg, const QString& sourcePart,
                   QHash<QString, Relation>* rels, QString* error)
{
    const int slash = sourcePart.lastIndexOf(QLatin1Char('/'));
    const QString relsPart = sourcePart.left(slash + 1) + QStringLiteral("_rels/") +
                             sourcePart.mid(slash + 1) + QStringLiteral(".rels");
    QByteArray data;
    if (!pkg.read(relsPart, &data, error))
        return false;
    QXmlStreamReader xml(data);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != QLatin1String("Relationship"))
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        if (a.value(QLatin1String("TargetMode")) == QLatin1String("External"))
            continue;
        rels->insert(a.value(QLatin1String("Id")).toString(),
                     {OfficeOpen::resolvePartName(sourcePart, a.value(QLatin1String("Target")).toString()),
                      a.value(QLatin1String("Type")).toString()});
    }
    return !xmlFailed(xml, relsPart, error);
}

// The text of a string item (<si> or <is>) whose start tag was just read: all its
// <t> runs, without phonetic guides.
QString readStringItem(QXmlStreamReader& xml)
{
    QString text;
    int phonetic = 0;
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            ++depth;
            if (xml.name() == QLatin1String("rPh"))
                ++phonetic;
            else if (xml.name() == QLatin1String("t") && phonetic == 0) {
                text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
                --depth;
            }
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            if (xml.name() == QLatin1String("rPh"))
                --phonetic;
            break;
        default:
            break;
        }
    }
    return decodeEscapes(text);
}

bool readSharedStrings(const OfficeOpen::ZipPackage& pkg, const QString& part, QStringList* strings,
                       QString* error)
{
    QByteArray data;
    if (!pkg.read(part, &data, error))
        return false;
    QXmlStreamReader xml(data);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("si"))
            strings->append(readStringItem(xml));
    }
    return !xmlFailed(xml, part, error);
}

// "C12" -> column 3, row 12 (both 1-based); false if not a cell reference.
bool parseCellRef(QStringView ref, int* col, int* row)
{
    int c = 0;
    int i = 0;
    while (i < ref.size() && ref[i].isLetter()) {
        const char16_t u = ref[i].toUpper().unicode();
        if (u < 'A' || u > 'Z')
            return false;
        c = c * 26 + (u - 'A' + 1);
        if (c > maxSheetColumns)
            return false;
        ++i;
    }
    bool ok = false;
    const int r = ref.mid(i).toInt(&ok);
    if (c == 0 || !ok || r < 1 || r > maxSheetRows)
        return false;
    *col = c;
    *row = r;
    return true;
}

QString numberText(const QString& raw, QChar decimalSeparator)
{
    bool ok = false;
    const double v = raw.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return raw;
    // 15 significant digits, as the spreadsheet shows a general number, in plain
    // notation as the table writes points.
    QString text = formatPoints(v, QLocale::c());
    text.replace(QLatin1Char('.'), decimalSeparator);
    return text;
}

struct SheetCell {
    QString type;
    QString value;
    QString inlineText;
    bool hasInline = false;
};

bool cellText(const SheetCell& c, const QStringList& shared, QChar decimalSeparator, QString* text)
{
    if (c.type == QLatin1String("s")) {
        bool ok = false;
        const int index = c.value.trimmed().toInt(&ok);
        if (!ok || index < 0 || index >= shared.size())
            return false;
        *text = shared.at(index);
    } else if (c.type == QLatin1String("inlineStr")) {
        *text = c.hasInline ? c.inlineText : c.value;
    } else if (c.type.isEmpty() || c.type == QLatin1String("n")) {
        *text = c.value.isEmpty() ? QString() : numberText(c.value.trimmed(), decimalSeparator);
    } else if (c.type == QLatin1String("str")) {
        *text = decodeEscapes(c.value);
    } else {
        *text = c.value; // booleans, errors, dates: as written
    }
    return true;
}

// The cells of sheet columns 1 to columns; rows[k][j] is row k + 1, column j + 1.
class SheetRows {
public:
    explicit SheetRows(int columns) : m_columns(columns) {}

    // False when a cell with text lies beyond the rows the program reads.
    bool put(int row, int col, const QString& text)
    {
        if (col > m_columns || text.isEmpty())
            return true; // columns the table does not use are not kept
        if (row > maxDataRows)
            return false;
        if (m_rows.size() < row)
            m_rows.resize(row);
        QStringList& line = m_rows[row - 1];
        while (line.size() < col)
            line.append(QString());
        line[col - 1] = text;
        return true;
    }
    QVector<QStringList> take() { return std::move(m_rows); }

private:
    int m_columns;
    QVector<QStringList> m_rows;
};

bool readSheet(const OfficeOpen::ZipPackage& pkg, const QString& part, const QStringList& shared,
               QChar decimalSeparator, SheetRows* cells, QString* error)
{
    QByteArray data;
    if (!pkg.read(part, &data, error))
        return false;
    QXmlStreamReader xml(data);
    int row = 0;
    int col = 0;
    bool inData = false;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::EndElement && xml.name() == QLatin1String("sheetData"))
            inData = false;
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("sheetData")) {
            inData = true;
        } else if (inData && xml.name() == QLatin1String("row")) {
            const QXmlStreamAttributes attributes = xml.attributes();
            const QStringView r = attributes.value(QLatin1String("r"));
            bool ok = false;
            const int n = r.toInt(&ok);
            if (r.isEmpty())
                row = row + 1;
            else if (ok)
                row = n;
            else
                row = 0;
            col = 0;
            if (row < 1 || row > maxSheetRows) {
                setError(error,
                         damaged(QStringLiteral("%1 nennt die ungültige Zeile %2").arg(part, r.toString())));
                return false;
            }
        } else if (inData && xml.name() == QLatin1String("c")) {
            SheetCell c;
            const QXmlStreamAttributes attributes = xml.attributes();
            c.type = attributes.value(QLatin1String("t")).toString();
            const QStringView ref = attributes.value(QLatin1String("r"));
            int refCol = 0;
            int refRow = 0;
            if (ref.isEmpty()) {
                ++col;
            } else if (parseCellRef(ref, &refCol, &refRow)) {
                col = refCol;
                row = refRow;
            } else {
                setError(
                    error,
                    damaged(QStringLiteral("%1 nennt die ungültige Zelle %2").arg(part, ref.toString())));
                return false;
            }
            if (row < 1 || col > maxSheetColumns) {
                setError(error, damaged(QStringLiteral("%1 hat eine Zelle außerhalb des Blatts").arg(part)));
                return false;
            }
            while (xml.readNextStartElement()) {
                if (xml.name() == QLatin1String("v")) {
                    c.value = xml.readElementText(QXmlStreamReader::IncludeChildElements);
                } else if (xml.name() == QLatin1String("is")) {
                    c.inlineText = readStringItem(xml);
                    c.hasInline = true;
                } else {
                    xml.skipCurrentElement();
                }
            }
            QString text;
            if (!cellText(c, shared, decimalSeparator, &text)) {
                setError(
                    error,
                    damaged(
                        QStringLiteral("%1 hat einen ungültigen Zellwert in Zeile %2").arg(part).arg(row)));
                return false;
            }
            if (!cells->put(row, col, text)) {
                setError(error, QStringLiteral("Das Tabellenblatt hat mehr als 100 000 Zeilen"));
                return false;
            }
        }
    }
    return !xmlFailed(xml, part, error);
}

bool readPackage(const OfficeOpen::ZipPackage& pkg, const QString& path, QVector<QStringList>* rows,
                 QString* error, QChar decimalSeparator, int columns)
{
    const QString workbook = workbookPartName(pkg);
    QByteArray data;
    if (!pkg.read(workbook, &data, error))
        return false;
    QStringList ids;
    if (!sheetIds(data, workbook, &ids, error))
        return false;
    QHash<QString, Relation> rels;
    if (!readRelations(pkg, workbook, &rels, error))
        return false;
    // The first worksheet; chart sheets and dialog sheets listed before it have no cells.
    QString sheetPart;
    for (const QString& id : std::as_const(ids)) {
        const auto rel = rels.constFind(id);
        if (rel != rels.cend() && rel->type.endsWith(QLatin1String("/worksheet"))) {
            sheetPart = rel->target;
            break;
        }
    }
    if (sheetPart.isEmpty()) {
        setError(error, QStringLiteral("Die Arbeitsmappe enthält kein Tabellenblatt: %1").arg(path));
        return false;
    }
    QStringList shared;
    for (const Relation& r : std::as_const(rels)) {
        if (r.type.endsWith(QLatin1String("/sharedStrings")) &&
            !readSharedStrings(pkg, r.target, &shared, error))
            return false;
    }
    SheetRows cells(qBound(1, columns, maxSheetColumns));
    if (!readSheet(pkg, sheetPart, shared, decimalSeparator, &cells, error))
        return false;
    *rows = cells.take();
    return true;
}

} // namespace

bool readFirstSheet(const QString& path, QVector<QStringList>* rows, QString* error, QChar decimalSeparator,
                    int columns)
{
    OfficeOpen::ZipPackage pkg;
    if (!pkg.open(path, error))
        return false;
    return readPackage(pkg, path, rows, error, decimalSeparator, columns);
}

bool readFirstSheetData(const QByteArray& data, QVector<QStringList>* rows, QString* error,
                        QChar decimalSeparator, int columns)
{
    OfficeOpen::ZipPackage pkg;
    if (!pkg.openData(data, error))
        return false;
    return readPackage(pkg, QStringLiteral("Arbeitsmappe"), rows, error, decimalSeparator, columns);
}

void applyProtocolSheet(const QVector<QStringList>& sheetRows, ResultsTable& table)
{
    // Every sheet row down to the last one with text, empty start numbers included;
    // the table counts rows in int, the reader stops far below that.
    const int n = int(qMin<qsizetype>(sheetRows.size(), maxDataRows));
    QVector<QStringList> rows;
    rows.reserve(qMax(n, 1));
    for (int k = 0; k < qMax(n, 1); ++k) {
        QStringList row = ResultsTable::emptyRow();
        if (k < n) {
            for (int j = 0; j < ResultsTable::ColumnCount; ++j)
                row[j] = sheetRows[k].value(j);
        }
        rows.append(row);
    }
    const QStringList defaults = ResultsTable::defaultHeaders();
    for (int c = 0; c < ResultsTable::ColumnCount; ++c)
        if (rows[0][c].trimmed().isEmpty())
            rows[0][c] = defaults[c];

    table.beginUpdate();
    if (n < 2) {
        // No data row in the sheet: the empty table under the sheet's header.
        table.clear();
        table.setRow(0, rows[0]);
    } else {
        table.setRowCount(n);
        for (int k = 0; k < n; ++k)
            table.setRow(k, rows[k]);
    }
    table.endUpdate();
}

bool LoadProtocolSheet(const QString& path, ResultsTable& table, QString* error, QChar decimalSeparator)
{
    QVector<QStringList> rows;
    if (!readFirstSheet(path, &rows, error, decimalSeparator))
        return false;
    applyProtocolSheet(rows, table);
    return true;
}
