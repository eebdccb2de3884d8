#include "protocol/xlsx_reader.h"

#include "protocol/office_open.h"
#include "results/results_table.h"

#include <QHash>
#include <QMap>
#include <QRegularExpression>
#include <QXmlStreamReader>

using OfficeOpen::setError;

namespace {

constexpr int maxSheetRows = 1048576;
constexpr int maxSheetColumns = 16384;

struct Relation {
    QString target;
    QString type;
};

bool xmlFailed(const QXmlStreamReader& xml, const QString& part, QString* error)
{
    if (!xml.hasError())
        return false;
    setError(error, QStringLiteral("%1: %2 (Zeile %3)").arg(part, xml.errorString()).arg(xml.lineNumber()));
    return true;
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
            const QString type = xml.attributes().value(QLatin1String("ContentType")).toString();
            if (type.endsWith(QLatin1String(".main+xml")) &&
                (type.contains(QLatin1String("spreadsheetml")) || type.contains(QLatin1String("ms-excel"))))
                return OfficeOpen::resolvePartName(
                    QString(), xml.attributes().value(QLatin1String("PartName")).toString());
        }
    }
    return OfficeOpen::officeDocumentPart(pkg, QStringLiteral("xl/workbook.xml"));
}

// The relationship id of the first sheet listed in the workbook.
bool firstSheetId(const QByteArray& data, const QString& part, QString* id, QString* error)
{
    QXmlStreamReader xml(data);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != QLatin1String("sheet"))
            continue;
        for (const QXmlStreamAttribute& a : xml.attributes()) {
            if (a.name() == QLatin1String("id") && !a.namespaceUri().isEmpty()) {
                *id = a.value().toString();
                return true;
            }
        }
    }
    if (!xmlFailed(xml, part, error))
        setError(error, QStringLiteral("%1: kein Tabellenblatt").arg(part));
    return false;
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
    if (!ok)
        return raw;
    // 15 significant digits, as the spreadsheet shows a general number.
    QString text = QString::number(v, 'g', 15);
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

bool readSheet(const OfficeOpen::ZipPackage& pkg, const QString& part, const QStringList& shared,
               QChar decimalSeparator, QMap<int, QMap<int, QString>>* cells, QString* error)
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
            const auto r = xml.attributes().value(QLatin1String("r"));
            bool ok = false;
            const int n = r.toInt(&ok);
            row = (r.isEmpty() || !ok) ? row + 1 : n;
            col = 0;
            if (row < 1 || row > maxSheetRows) {
                setError(error, QStringLiteral("%1: ungültige Zeile %2").arg(part).arg(row));
                return false;
            }
        } else if (inData && xml.name() == QLatin1String("c")) {
            SheetCell c;
            c.type = xml.attributes().value(QLatin1String("t")).toString();
            const auto ref = xml.attributes().value(QLatin1String("r"));
            int refCol = 0;
            int refRow = 0;
            if (ref.isEmpty()) {
                ++col;
            } else if (parseCellRef(ref, &refCol, &refRow)) {
                col = refCol;
                row = refRow;
            } else {
                setError(error, QStringLiteral("%1: ungültige Zelle %2").arg(part, ref.toString()));
                return false;
            }
            if (row < 1 || col > maxSheetColumns) {
                setError(error, QStringLiteral("%1: Zelle außerhalb des Blatts").arg(part));
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
                setError(error, QStringLiteral("%1: ungültiger Zellwert in Zeile %2").arg(part).arg(row));
                return false;
            }
            if (!text.isEmpty())
                (*cells)[row][col] = text;
        }
    }
    return !xmlFailed(xml, part, error);
}

} // namespace

bool readFirstSheet(const QString& path, QVector<QStringList>* rows, QString* error, QChar decimalSeparator)
{
    OfficeOpen::ZipPackage pkg;
    if (!pkg.open(path, error))
        return false;
    const QString workbook = workbookPartName(pkg);
    QByteArray data;
    if (!pkg.read(workbook, &data, error))
        return false;
    QString sheetId;
    if (!firstSheetId(data, workbook, &sheetId, error))
        return false;
    QHash<QString, Relation> rels;
    if (!readRelations(pkg, workbook, &rels, error))
        return false;
    if (!rels.contains(sheetId)) {
        setError(error, QStringLiteral("%1: Blatt %2 nicht gefunden").arg(workbook, sheetId));
        return false;
    }
    QStringList shared;
    for (const Relation& r : std::as_const(rels)) {
        if (r.type.endsWith(QLatin1String("/sharedStrings")) &&
            !readSharedStrings(pkg, r.target, &shared, error))
            return false;
    }
    QMap<int, QMap<int, QString>> cells;
    if (!readSheet(pkg, rels.value(sheetId).target, shared, decimalSeparator, &cells, error))
        return false;

    QVector<QStringList> result;
    if (!cells.isEmpty())
        result.resize(cells.lastKey());
    for (auto r = cells.cbegin(); r != cells.cend(); ++r) {
        QStringList& line = result[r.key() - 1];
        const int length = r.value().lastKey();
        for (int i = 0; i < length; ++i)
            line.append(QString());
        for (auto c = r.value().cbegin(); c != r.value().cend(); ++c)
            line[c.key() - 1] = c.value();
    }
    *rows = result;
    return true;
}

void applyProtocolSheet(const QVector<QStringList>& sheetRows, ResultsTable& table)
{
    constexpr int sheetColumns = ResultsTable::ColumnCount - 1; // "Platz" is not read
    int n = 0;
    while (n < sheetRows.size() && !sheetRows[n].value(0).isEmpty())
        ++n;

    QVector<QStringList> rows;
    for (int k = 0; k < qMax(n, 1); ++k) {
        QStringList row = table.row(k);
        if (k < n) {
            for (int j = 0; j < sheetColumns; ++j)
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
