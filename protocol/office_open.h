#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

// Helpers shared by the Office Open XML writers and the reader: reading parts of a
// zip package and replacing a target file only once the new one is complete.
namespace OfficeOpen {

// A zip package opened for reading. Parts are looked up by their name inside the
// package ("xl/workbook.xml"); a part larger than maxPartSize is refused.
class ZipPackage {
public:
    static constexpr qint64 maxPartSize = 256 * 1024 * 1024;

    ZipPackage();
    ~ZipPackage();
    ZipPackage(const ZipPackage&) = delete;
    ZipPackage& operator=(const ZipPackage&) = delete;

    bool open(const QString& path, QString* error);
    bool contains(const QString& name) const;
    bool read(const QString& name, QByteArray* data, QString* error) const;

private:
    struct Handle;
    std::unique_ptr<Handle> m_handle;
};

// A new, empty file with a unique name in the folder of target, for writing the
// new contents before they replace target. Empty on failure.
QString createTempBeside(const QString& target, QString* error);
// Moves temp over target (replacing it); removes temp when that fails.
bool commitTemp(const QString& temp, const QString& target, QString* error);

// Resolves a relationship target against the folder of the part that owns the
// relationship ("xl/workbook.xml" + "worksheets/sheet1.xml" -> "xl/worksheets/sheet1.xml";
// "/xl/x.xml" -> "xl/x.xml").
QString resolvePartName(const QString& sourcePart, const QString& target);

// The package's main document part named by its root relationships (_rels/.rels),
// or fallback when they name none.
QString officeDocumentPart(const ZipPackage& pkg, const QString& fallback);

// Text for an XML element's content (&, <, > escaped; characters XML 1.0 cannot
// hold are dropped).
QString xmlEscape(const QString& text);

void setError(QString* error, const QString& text);

} // namespace OfficeOpen
