#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class QXmlStreamReader;

// Helpers shared by the Office Open XML writers and the reader: reading parts of a
// zip package and checking a written one.
namespace OfficeOpen {

// A zip package opened for reading. Parts are looked up by their name inside the
// package ("xl/workbook.xml"). A part that unpacks to more than maxPartSize bytes is
// refused before anything is unpacked, and never more than the size the package
// states is unpacked, so a small file cannot unpack to gigabytes. Errors are German.
class ZipPackage {
public:
    static constexpr qint64 maxPartSize = 64 * 1024 * 1024;

    ZipPackage();
    ~ZipPackage();
    ZipPackage(const ZipPackage&) = delete;
    ZipPackage& operator=(const ZipPackage&) = delete;

    bool open(const QString& path, QString* error);
    // Opens a package held in memory (kept by the package while it is open).
    bool openData(const QByteArray& data, QString* error);
    bool contains(const QString& name) const;
    bool read(const QString& name, QByteArray* data, QString* error) const;

private:
    struct Handle;
    std::unique_ptr<Handle> m_handle;
};

// Reads a package just written back in full before it replaces anything: its
// directory, every part (with its checksum) and every XML part to its end. A writer
// that was cut short by a full disk without noticing leaves a package that fails here.
bool checkWrittenPackage(const QString& path, QString* error);

// Resolves a relationship target against the folder of the part that owns the
// relationship ("xl/workbook.xml" + "worksheets/sheet1.xml" -> "xl/worksheets/sheet1.xml";
// "/xl/x.xml" -> "xl/x.xml").
QString resolvePartName(const QString& sourcePart, const QString& target);

// The package's main document part named by its root relationships (_rels/.rels),
// or fallback when they name none.
QString officeDocumentPart(const ZipPackage& pkg, const QString& fallback);

// German texts for a libzip error code, an XML reader's error in a part, and a
// libxlsxwriter error.
QString zipErrorText(int code);
QString xmlErrorText(const QXmlStreamReader& xml, const QString& part);
QString xlsxWriterErrorText(int lxwError);

// Text for an XML element's content (&, <, > escaped; characters XML 1.0 cannot
// hold are dropped).
QString xmlEscape(const QString& text);

void setError(QString* error, const QString& text);

} // namespace OfficeOpen
