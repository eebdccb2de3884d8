#pragma once

// Helpers for the tests of the workbook and document files: parts of a package,
// hand-made packages and a results table with awkward cells.

#include "protocol/office_open.h"
#include "results/results_table.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QPair>
#include <QString>

#include <zip.h>

namespace OoxmlFixture {

inline QByteArray readPart(const QString& path, const QString& part)
{
    OfficeOpen::ZipPackage pkg;
    QByteArray data;
    if (!pkg.open(path, nullptr) || !pkg.read(part, &data, nullptr))
        return QByteArray();
    return data;
}

using Parts = QList<QPair<QString, QByteArray>>;

inline bool writePackage(const QString& path, const Parts& parts)
{
    QFile::remove(path);
    int code = 0;
    zip_t* zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!zip)
        return false;
    for (const auto& p : parts) {
        zip_source_t* src = zip_source_buffer(zip, p.second.constData(), zip_uint64_t(p.second.size()), 0);
        if (!src || zip_file_add(zip, p.first.toUtf8().constData(), src, ZIP_FL_OVERWRITE) < 0) {
            zip_source_free(src);
            zip_discard(zip);
            return false;
        }
    }
    return zip_close(zip) == 0;
}

// The package in memory (deflated parts), empty on failure.
inline QByteArray packageBytes(const Parts& parts)
{
    zip_error_t ze;
    zip_error_init(&ze);
    zip_source_t* out = zip_source_buffer_create(nullptr, 0, 0, &ze);
    zip_error_fini(&ze);
    if (!out)
        return QByteArray();
    zip_source_keep(out);
    zip_t* zip = zip_open_from_source(out, ZIP_TRUNCATE, nullptr);
    if (!zip) {
        zip_source_free(out);
        return QByteArray();
    }
    for (const auto& p : parts) {
        zip_source_t* src = zip_source_buffer(zip, p.second.constData(), zip_uint64_t(p.second.size()), 0);
        if (!src || zip_file_add(zip, p.first.toUtf8().constData(), src, ZIP_FL_OVERWRITE) < 0) {
            zip_source_free(src);
            zip_discard(zip);
            zip_source_free(out);
            return QByteArray();
        }
    }
    QByteArray bytes;
    if (zip_close(zip) == 0 && zip_source_open(out) == 0) {
        char buffer[65536];
        zip_int64_t n = 0;
        while ((n = zip_source_read(out, buffer, sizeof buffer)) > 0)
            bytes.append(buffer, qsizetype(n));
        zip_source_close(out);
    } else {
        zip_discard(zip);
    }
    zip_source_free(out);
    return bytes;
}

inline const QByteArray& spreadsheetNs()
{
    static const QByteArray ns = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
    return ns;
}

// The parts of a minimal workbook whose first sheet is sheetData (its <sheetData>
// contents) and whose shared strings are sharedItems (the <si> items; none when empty).
// With chartFirst, a chart sheet is listed before the worksheet.
inline Parts workbookParts(const QByteArray& sheetData, const QByteArray& sharedItems = {},
                           bool chartFirst = false)
{
    const QByteArray& ns = spreadsheetNs();
    const QByteArray rns = "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";
    QByteArray rels =
        "<?xml version=\"1.0\"?><Relationships "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId7\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
        "Target=\"worksheets/blatt.xml\"/>";
    if (chartFirst)
        rels += "<Relationship Id=\"rId2\" "
                "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/chartsheet\" "
                "Target=\"chartsheets/sheet1.xml\"/>";
    if (!sharedItems.isEmpty())
        rels += "<Relationship Id=\"rId9\" "
                "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings\" "
                "Target=\"/xl/strings.xml\"/>";
    rels += "</Relationships>";
    const QByteArray sheets = chartFirst ? "<sheet name=\"Diagramm\" sheetId=\"1\" r:id=\"rId2\"/>"
                                           "<sheet name=\"Eins\" sheetId=\"3\" r:id=\"rId7\"/>"
                                         : "<sheet name=\"Eins\" sheetId=\"3\" r:id=\"rId7\"/>";
    Parts parts = {
        {QStringLiteral("[Content_Types].xml"),
         "<?xml version=\"1.0\"?><Types "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
         "<Override PartName=\"/xl/workbook.xml\" "
         "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/></"
         "Types>"},
        {QStringLiteral("xl/workbook.xml"), "<?xml version=\"1.0\"?><workbook " + ns + " " + rns +
                                                "><sheets>" + sheets + "</sheets></workbook>"},
        {QStringLiteral("xl/_rels/workbook.xml.rels"), rels},
        {QStringLiteral("xl/worksheets/blatt.xml"),
         "<?xml version=\"1.0\"?><worksheet " + ns + "><sheetData>" + sheetData + "</sheetData></worksheet>"},
    };
    if (chartFirst)
        parts.append({QStringLiteral("xl/chartsheets/sheet1.xml"),
                      "<?xml version=\"1.0\"?><chartsheet " + ns + "><sheetPr/></chartsheet>"});
    if (!sharedItems.isEmpty())
        parts.append({QStringLiteral("xl/strings.xml"),
                      "<?xml version=\"1.0\"?><sst " + ns + ">" + sharedItems + "</sst>"});
    return parts;
}

inline bool writeWorkbook(const QString& path, const QByteArray& sheetData,
                          const QByteArray& sharedItems = {}, bool chartFirst = false)
{
    return writePackage(path, workbookParts(sheetData, sharedItems, chartFirst));
}

// Header plus three rows: names with spaces, quotes, markup characters, a semicolon,
// empty cells, a status mark.
inline void fillSample(ResultsTable& t)
{
    t.setRowCount(4);
    t.setRow(1, {QStringLiteral("7"), QStringLiteral("Max Bauer"), QString(), QStringLiteral("Lanz"),
                 QStringLiteral("1955"), QStringLiteral("2"), QStringLiteral("0,00"),
                 QStringLiteral("1:23,45"), QStringLiteral("0"), QStringLiteral("2"), QStringLiteral("1")});
    t.setRow(2,
             {QStringLiteral("12"), QStringLiteral("Hans \"Hansi\" Huber"),
              QStringLiteral("Anna <Sepp> & Co"), QStringLiteral("Fendt; Dieselross"), QStringLiteral("1962"),
              QStringLiteral("3"), QStringLiteral("12,34"), QStringLiteral("1:02:03,45"),
              QStringLiteral("2,5"), QStringLiteral("5,5"), QStringLiteral("2")});
    t.setRow(3, {QStringLiteral("3"), QStringLiteral("  Jürgen Öttl  "), QStringLiteral("Zoë"),
                 QStringLiteral("Hanomag"), QString(), QStringLiteral("-"), QStringLiteral("EL"),
                 QStringLiteral("EL"), QStringLiteral("-"), QStringLiteral("EL"), QStringLiteral("EL")});
}

} // namespace OoxmlFixture
