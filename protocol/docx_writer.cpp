#include "protocol/docx_writer.h"

#include "platform/atomic_write.h"
#include "platform/data_paths.h"
#include "protocol/office_open.h"
#include "results/results_table.h"

#include <QFile>
#include <QXmlStreamReader>

#include <zip.h>

using OfficeOpen::setError;

namespace {

constexpr int defaultTextWidth = 9638; // A4 portrait with 2 cm margins, in twentieths of a point
constexpr int fontHalfPoints = 18;

QString mainDocumentPart(const OfficeOpen::ZipPackage& pkg)
{
    return OfficeOpen::officeDocumentPart(pkg, QStringLiteral("word/document.xml"));
}

// Runs of one cell: tabs and line breaks become their own elements.
QString cellRuns(const QString& text, bool bold)
{
    if (text.isEmpty())
        return QString();
    QString runProps = QStringLiteral("<w:rPr>%1<w:sz w:val=\"%2\"/></w:rPr>")
                           .arg(bold ? QStringLiteral("<w:b/>") : QString())
                           .arg(fontHalfPoints);
    QString out = QStringLiteral("<w:r>") + runProps;
    QString pending;
    auto flush = [&] {
        if (!pending.isEmpty())
            out += QStringLiteral("<w:t xml:space=\"preserve\">") + OfficeOpen::xmlEscape(pending) +
                   QStringLiteral("</w:t>");
        pending.clear();
    };
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\t')) {
            flush();
            out += QStringLiteral("<w:tab/>");
        } else if (c == QLatin1Char('\n')) {
            flush();
            out += QStringLiteral("<w:br/>");
        } else if (c != QLatin1Char('\r')) {
            pending += c;
        }
    }
    flush();
    return out + QStringLiteral("</w:r>");
}

bool rightAligned(int col)
{
    return col != ResultsTable::Fahrer && col != ResultsTable::Beifahrer && col != ResultsTable::Marke;
}

QString tableXml(const ResultsTable& table, int textWidth)
{
    constexpr int cols = ResultsTable::ColumnCount;
    // Column widths in proportion to their longest text (long texts wrap).
    double weights[cols];
    double sum = 0;
    for (int c = 0; c < cols; ++c) {
        double longest = 2;
        for (int r = 0; r < table.rowCount(); ++r)
            longest = qMax(longest, table.cell(c, r).size() * (r == 0 ? 1.1 : 1.0));
        weights[c] = qMin(longest, 40.0) + 1.5;
        sum += weights[c];
    }
    int widths[cols];
    for (int c = 0; c < cols; ++c)
        widths[c] = int(textWidth * weights[c] / sum);

    QString out;
    out += QStringLiteral("<w:tbl><w:tblPr><w:tblW w:w=\"0\" w:type=\"auto\"/><w:tblBorders>");
    for (const char* side : {"top", "left", "bottom", "right", "insideH", "insideV"})
        out += QStringLiteral("<w:%1 w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"000000\"/>")
                   .arg(QLatin1String(side));
    out += QStringLiteral("</w:tblBorders><w:tblLayout w:type=\"fixed\"/><w:tblCellMar>"
                          "<w:left w:w=\"57\" w:type=\"dxa\"/><w:right w:w=\"57\" w:type=\"dxa\"/>"
                          "</w:tblCellMar><w:tblLook w:val=\"04A0\"/></w:tblPr><w:tblGrid>");
    for (int c = 0; c < cols; ++c)
        out += QStringLiteral("<w:gridCol w:w=\"%1\"/>").arg(widths[c]);
    out += QStringLiteral("</w:tblGrid>");
    for (int r = 0; r < table.rowCount(); ++r) {
        const bool header = r == 0;
        out += header ? QStringLiteral("<w:tr><w:trPr><w:cantSplit/><w:tblHeader/></w:trPr>")
                      : QStringLiteral("<w:tr><w:trPr><w:cantSplit/></w:trPr>");
        for (int c = 0; c < cols; ++c) {
            out +=
                QStringLiteral("<w:tc><w:tcPr><w:tcW w:w=\"%1\" w:type=\"dxa\"/></w:tcPr>"
                               "<w:p><w:pPr><w:spacing w:before=\"0\" w:after=\"0\"/>%2</w:pPr>")
                    .arg(widths[c])
                    .arg(!header && rightAligned(c) ? QStringLiteral("<w:jc w:val=\"right\"/>") : QString());
            out += cellRuns(table.cell(c, r), header);
            out += QStringLiteral("</w:p></w:tc>");
        }
        out += QStringLiteral("</w:tr>");
    }
    out += QStringLiteral("</w:tbl>");
    return out;
}

// A paragraph of one run: bold at 16 pt for the title, 10 pt for the date line.
QString headingParagraph(const QString& text, bool title)
{
    return QStringLiteral("<w:p><w:pPr><w:spacing w:before=\"0\" w:after=\"%1\"/></w:pPr><w:r><w:rPr>%2"
                          "<w:sz w:val=\"%3\"/><w:szCs w:val=\"%3\"/></w:rPr>"
                          "<w:t xml:space=\"preserve\">%4</w:t></w:r></w:p>")
        .arg(title ? 60 : 160)
        .arg(title ? QStringLiteral("<w:b/>") : QString())
        .arg(title ? 32 : 20)
        .arg(OfficeOpen::xmlEscape(text));
}

QString headingXml(const WordHeading& heading)
{
    QString out;
    if (!heading.eventTitle.trimmed().isEmpty())
        out += headingParagraph(heading.eventTitle, true);
    if (!heading.dateText.isEmpty())
        out += headingParagraph(heading.dateText, false);
    return out;
}

int twips(const QXmlStreamAttributes& a, const char* name, int fallback)
{
    for (const QXmlStreamAttribute& at : a)
        if (at.name() == QLatin1String(name)) {
            bool ok = false;
            const int v = at.value().toInt(&ok);
            return ok ? v : fallback;
        }
    return fallback;
}

} // namespace

QString wordTableMarker()
{
    return QStringLiteral("[[TABELLE]]");
}

QString wordTemplatePath()
{
    return DataPaths::dataFile(QStringLiteral("template/protokoll.docx"));
}

bool insertTableIntoDocument(const QByteArray& documentXml, const ResultsTable& table, QByteArray* result,
                             QString* error, const WordHeading& heading)
{
    QByteArray bytes = documentXml;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        setError(error, QStringLiteral("Vorlage: nur UTF-8 wird unterstützt"));
        return false;
    }
    // Offsets below are positions in this text, which is spliced and written back.
    const QString doc = QString::fromUtf8(bytes);
    QXmlStreamReader xml(doc);
    QStringList open; // local names of the open elements
    qint64 candidateStart = -1;
    QString paragraphText;
    qint64 markerStart = -1;
    qint64 markerEnd = -1;
    qint64 bodyEnd = -1;
    bool siblingChecked = false;
    bool paragraphAfter = false;
    int pageWidth = 11906;
    int marginLeft = 1134;
    int marginRight = 1134;

    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        // Where the current tag begins: the reader may already have looked past the
        // "<" of this tag, and no "<" can occur inside a tag.
        const qint64 before = doc.lastIndexOf(QLatin1Char('<'), xml.characterOffset() - 1);
        if (token == QXmlStreamReader::StartElement) {
            const QString name = xml.name().toString();
            const bool inBody = !open.isEmpty() && open.last() == QLatin1String("body");
            open.append(name);
            if (inBody && markerStart >= 0 && !siblingChecked) {
                siblingChecked = true;
                paragraphAfter = name == QLatin1String("p");
            }
            if (inBody && name == QLatin1String("p") && markerStart < 0) {
                candidateStart = before;
                paragraphText.clear();
            } else if (inBody && name == QLatin1String("sectPr") && bodyEnd < 0) {
                bodyEnd = before;
            } else if (name == QLatin1String("pgSz")) {
                pageWidth = twips(xml.attributes(), "w", pageWidth);
            } else if (name == QLatin1String("pgMar")) {
                marginLeft = twips(xml.attributes(), "left", marginLeft);
                marginRight = twips(xml.attributes(), "right", marginRight);
            } else if (name == QLatin1String("t") && candidateStart >= 0) {
                paragraphText += xml.readElementText(QXmlStreamReader::IncludeChildElements);
                open.removeLast();
            }
        } else if (token == QXmlStreamReader::EndElement) {
            const QString name = xml.name().toString();
            if (!open.isEmpty())
                open.removeLast();
            const bool inBody = !open.isEmpty() && open.last() == QLatin1String("body");
            if (inBody && name == QLatin1String("p") && candidateStart >= 0) {
                if (paragraphText.contains(wordTableMarker())) {
                    markerStart = candidateStart;
                    markerEnd = xml.characterOffset();
                }
                candidateStart = -1;
            } else if (name == QLatin1String("body") && bodyEnd < 0) {
                bodyEnd = before;
            }
        }
    }
    if (xml.hasError()) {
        setError(error, OfficeOpen::xmlErrorText(xml, QStringLiteral("Vorlage")));
        return false;
    }
    if (markerStart < 0) {
        // No marker: the table ends the document.
        if (bodyEnd < 0) {
            setError(error, QStringLiteral("Vorlage: kein Dokumentkörper"));
            return false;
        }
        markerStart = markerEnd = bodyEnd;
        paragraphAfter = false;
    }
    const int textWidth =
        pageWidth - marginLeft - marginRight > 1000 ? pageWidth - marginLeft - marginRight : defaultTextWidth;
    QString insert = headingXml(heading) + tableXml(table, textWidth);
    if (!paragraphAfter)
        insert += QStringLiteral("<w:p/>"); // a document or cell must not end with a table
    const QString out = doc.left(markerStart) + insert + doc.mid(markerEnd);
    *result = out.toUtf8();
    return true;
}

bool ExportToWordFile(const QString& templatePath, const QString& outPath, const ResultsTable& table,
                      QString* error, const WordHeading& heading)
{
    OfficeOpen::ZipPackage pkg;
    if (!pkg.open(templatePath, error))
        return false;
    const QString part = mainDocumentPart(pkg);
    QByteArray document;
    if (!pkg.read(part, &document, error))
        return false;
    QByteArray newDocument;
    if (!insertTableIntoDocument(document, table, &newDocument, error, heading))
        return false;

    QFile source(templatePath);
    if (!source.open(QIODevice::ReadOnly)) {
        setError(error, QStringLiteral("Die Vorlage kann nicht gelesen werden: %1").arg(templatePath));
        return false;
    }
    const QByteArray templateBytes = source.readAll();
    const QString temp = AtomicWrite::createTempBeside(outPath, error);
    if (temp.isEmpty())
        return false;
    auto fail = [&](const QString& text) {
        QFile::remove(temp);
        setError(error, QStringLiteral("%1: %2").arg(outPath, text));
        return false;
    };
    {
        QFile copy(temp);
        if (!copy.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            copy.write(templateBytes) != templateBytes.size() || !copy.flush())
            return fail(QStringLiteral("Die Datei kann nicht geschrieben werden"));
    }

    // The other parts of the template stay byte for byte as they are.
    int code = 0;
    zip_t* zip = zip_open(QFile::encodeName(temp).constData(), 0, &code);
    if (!zip)
        return fail(OfficeOpen::zipErrorText(code));
    const zip_int64_t index = zip_name_locate(zip, part.toUtf8().constData(), ZIP_FL_NOCASE);
    zip_source_t* src = zip_source_buffer(zip, newDocument.constData(), zip_uint64_t(newDocument.size()), 0);
    if (index < 0 || !src || zip_file_replace(zip, zip_uint64_t(index), src, 0) != 0) {
        const QString text = OfficeOpen::zipErrorText(zip_error_code_zip(zip_get_error(zip)));
        if (src)
            zip_source_free(src);
        zip_discard(zip);
        return fail(text);
    }
    if (zip_close(zip) != 0) {
        const QString text = OfficeOpen::zipErrorText(zip_error_code_zip(zip_get_error(zip)));
        zip_discard(zip);
        return fail(text);
    }
    QString damage;
    if (!OfficeOpen::checkWrittenPackage(temp, &damage))
        return fail(QStringLiteral("Das Dokument wurde nicht vollständig geschrieben (Datenträger voll?): ") +
                    damage);
    return AtomicWrite::commitTemp(temp, outPath, error);
}
