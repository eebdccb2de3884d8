#include "protocol/office_open.h"

#include <QXmlStreamReader>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <xlsxwriter.h>
#include <zip.h>

namespace OfficeOpen {

struct ZipPackage::Handle {
    zip_t* zip = nullptr;
    QByteArray data; // the package itself when it was opened from memory
    ~Handle()
    {
        if (zip)
            zip_discard(zip);
    }
};

ZipPackage::ZipPackage() = default;
ZipPackage::~ZipPackage() = default;

bool ZipPackage::open(const QString& path, QString* error)
{
    m_handle.reset();
    int code = 0;
    zip_t* zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
    if (!zip) {
        setError(error, QStringLiteral("%1: %2").arg(path, zipErrorText(code)));
        return false;
    }
    m_handle = std::make_unique<Handle>();
    m_handle->zip = zip;
    return true;
}

bool ZipPackage::openData(const QByteArray& data, QString* error)
{
    m_handle.reset();
    auto handle = std::make_unique<Handle>();
    handle->data = data;
    zip_error_t ze;
    zip_error_init(&ze);
    zip_source_t* src =
        zip_source_buffer_create(handle->data.constData(), zip_uint64_t(handle->data.size()), 0, &ze);
    zip_t* zip = src ? zip_open_from_source(src, ZIP_RDONLY, &ze) : nullptr;
    if (!zip) {
        if (src)
            zip_source_free(src);
        setError(error, zipErrorText(zip_error_code_zip(&ze)));
        zip_error_fini(&ze);
        return false;
    }
    zip_error_fini(&ze);
    handle->zip = zip;
    m_handle = std::move(handle);
    return true;
}

bool ZipPackage::contains(const QString& name) const
{
    return m_handle && zip_name_locate(m_handle->zip, name.toUtf8().constData(), ZIP_FL_NOCASE) >= 0;
}

bool ZipPackage::read(const QString& name, QByteArray* data, QString* error) const
{
    if (!m_handle) {
        setError(error, QStringLiteral("Die Datei ist nicht geöffnet"));
        return false;
    }
    const zip_int64_t index = zip_name_locate(m_handle->zip, name.toUtf8().constData(), ZIP_FL_NOCASE);
    zip_stat_t st;
    if (index < 0 || zip_stat_index(m_handle->zip, zip_uint64_t(index), 0, &st) != 0 ||
        !(st.valid & ZIP_STAT_SIZE)) {
        setError(error, QStringLiteral("Die Datei ist unvollständig, es fehlt der Teil %1").arg(name));
        return false;
    }
    if (st.size > zip_uint64_t(maxPartSize)) {
        setError(error,
                 QStringLiteral("Die Datei wird nicht geöffnet: der Teil %1 ist entpackt größer als 64 MiB")
                     .arg(name));
        return false;
    }
    zip_file_t* file = zip_fopen_index(m_handle->zip, zip_uint64_t(index), 0);
    if (!file) {
        setError(error, QStringLiteral("%1: %2").arg(
                            name, zipErrorText(zip_error_code_zip(zip_get_error(m_handle->zip)))));
        return false;
    }
    // Never more than the stated size: a part whose data unpacks to more is cut
    // there (and then fails its XML), it cannot fill the memory.
    const qsizetype size = qsizetype(st.size);
    QByteArray bytes(size, Qt::Uninitialized);
    qsizetype done = 0;
    while (done < size) {
        const zip_int64_t n = zip_fread(file, bytes.data() + done, zip_uint64_t(size - done));
        if (n <= 0)
            break;
        done += qsizetype(n);
    }
    const bool ok = done == size;
    if (!ok)
        setError(error, QStringLiteral("%1: %2").arg(
                            name, zipErrorText(zip_error_code_zip(zip_file_get_error(file)))));
    zip_fclose(file);
    if (ok)
        *data = bytes;
    return ok;
}

bool checkWrittenPackage(const QString& path, QString* error)
{
    int code = 0;
    zip_t* zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!zip) {
        setError(error, zipErrorText(code));
        return false;
    }
    bool ok = true;
    const zip_int64_t count = zip_get_num_entries(zip, 0);
    QByteArray chunk(64 * 1024, Qt::Uninitialized);
    for (zip_int64_t i = 0; ok && i < count; ++i) {
        const QString name = QString::fromUtf8(zip_get_name(zip, zip_uint64_t(i), 0));
        zip_file_t* file = zip_fopen_index(zip, zip_uint64_t(i), 0);
        if (!file) {
            setError(error, zipErrorText(zip_error_code_zip(zip_get_error(zip))));
            ok = false;
            break;
        }
        // Reading to the end makes libzip compare the checksum.
        QByteArray data;
        const bool xmlPart = name.endsWith(QLatin1String(".xml")) || name.endsWith(QLatin1String(".rels"));
        zip_int64_t n = 0;
        while ((n = zip_fread(file, chunk.data(), zip_uint64_t(chunk.size()))) > 0) {
            if (xmlPart)
                data.append(chunk.constData(), qsizetype(n));
        }
        if (n < 0) {
            setError(error, zipErrorText(zip_error_code_zip(zip_file_get_error(file))));
            ok = false;
        }
        zip_fclose(file);
        if (ok && xmlPart) {
            QXmlStreamReader xml(data);
            while (!xml.atEnd())
                xml.readNext();
            if (xml.hasError()) {
                setError(error, xmlErrorText(xml, name));
                ok = false;
            }
        }
    }
    zip_discard(zip);
    return ok;
}

QString resolvePartName(const QString& sourcePart, const QString& target)
{
    QString path;
    if (target.startsWith(QLatin1Char('/'))) {
        path = target;
    } else {
        const int slash = sourcePart.lastIndexOf(QLatin1Char('/'));
        path = (slash >= 0 ? sourcePart.left(slash + 1) : QString()) + target;
    }
    path = QDir::cleanPath(QLatin1Char('/') + path);
    return path.mid(1);
}

QString xmlEscape(const QString& text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const char16_t u = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out += c;
            out += text.at(++i);
            continue;
        }
        if (c.isSurrogate() || u == 0xFFFE || u == 0xFFFF)
            continue;
        if (u < 0x20 && u != 0x09 && u != 0x0A && u != 0x0D)
            continue;
        if (u == '&')
            out += QStringLiteral("&amp;");
        else if (u == '<')
            out += QStringLiteral("&lt;");
        else if (u == '>')
            out += QStringLiteral("&gt;");
        else
            out += c;
    }
    return out;
}

QString zipErrorText(int code)
{
    switch (code) {
    case ZIP_ER_NOZIP:
        return QStringLiteral("Die Datei ist keine Office-Datei (kein ZIP-Archiv)");
    case ZIP_ER_NOENT:
        return QStringLiteral("Die Datei gibt es nicht");
    case ZIP_ER_OPEN:
        return QStringLiteral("Die Datei kann nicht geöffnet werden");
    case ZIP_ER_READ:
    case ZIP_ER_SEEK:
    case ZIP_ER_TELL:
        return QStringLiteral("Lesefehler");
    case ZIP_ER_INCONS:
    case ZIP_ER_EOF:
        return QStringLiteral("Die Datei ist beschädigt oder unvollständig");
    case ZIP_ER_CRC:
    case ZIP_ER_ZLIB:
    case ZIP_ER_COMPRESSED_DATA:
        return QStringLiteral("Die gepackten Daten sind beschädigt");
    case ZIP_ER_COMPNOTSUPP:
        return QStringLiteral("Das Packverfahren wird nicht unterstützt");
    case ZIP_ER_ENCRNOTSUPP:
    case ZIP_ER_NOPASSWD:
    case ZIP_ER_WRONGPASSWD:
        return QStringLiteral("Die Datei ist verschlüsselt");
    case ZIP_ER_MULTIDISK:
        return QStringLiteral("Mehrteilige ZIP-Dateien werden nicht unterstützt");
    case ZIP_ER_MEMORY:
        return QStringLiteral("Zu wenig Arbeitsspeicher");
    case ZIP_ER_WRITE:
    case ZIP_ER_CLOSE:
        return QStringLiteral("Schreibfehler beim Anlegen der Datei (Datenträger voll?)");
    case ZIP_ER_TMPOPEN:
        return QStringLiteral("Im Ordner der Datei kann keine temporäre Datei angelegt werden");
    case ZIP_ER_RENAME:
        return QStringLiteral("Die temporäre Datei kann nicht umbenannt werden");
    case ZIP_ER_RDONLY:
        return QStringLiteral("Die Datei ist schreibgeschützt");
    default:
        return QStringLiteral("Fehler %1 beim Lesen des ZIP-Archivs").arg(code);
    }
}

QString xmlErrorText(const QXmlStreamReader& xml, const QString& part)
{
    QString what;
    switch (xml.error()) {
    case QXmlStreamReader::PrematureEndOfDocumentError:
        what = QStringLiteral("bricht vorzeitig ab");
        break;
    case QXmlStreamReader::NotWellFormedError:
        what = QStringLiteral("ist kein gültiges XML");
        break;
    default:
        what = QStringLiteral("ist fehlerhaft");
        break;
    }
    return QStringLiteral("Die Datei ist beschädigt: %1 %2 (Zeile %3)").arg(part, what).arg(xml.lineNumber());
}

QString xlsxWriterErrorText(int lxwError)
{
    switch (lxwError) {
    case LXW_ERROR_MEMORY_MALLOC_FAILED:
        return QStringLiteral("Zu wenig Arbeitsspeicher");
    case LXW_ERROR_CREATING_XLSX_FILE:
        return QStringLiteral("Die Datei kann nicht angelegt werden (keine Schreibrechte?)");
    case LXW_ERROR_CREATING_TMPFILE:
    case LXW_ERROR_READING_TMPFILE:
        return QStringLiteral("Eine temporäre Datei kann nicht angelegt oder gelesen werden");
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_PARAMETER_ERROR:
    case LXW_ERROR_ZIP_BAD_ZIP_FILE:
    case LXW_ERROR_ZIP_INTERNAL_ERROR:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE:
        return QStringLiteral("Die Arbeitsmappe kann nicht geschrieben werden (Datenträger voll?)");
    case LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED:
        return QStringLiteral("Ein Zellentext ist länger als 32 767 Zeichen");
    case LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE:
        return QStringLiteral("Eine Zelle liegt außerhalb des Tabellenblatts");
    default:
        return QStringLiteral("Fehler %1 beim Schreiben der Arbeitsmappe").arg(lxwError);
    }
}

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

QString officeDocumentPart(const ZipPackage& pkg, const QString& fallback)
{
    QByteArray data;
    if (pkg.read(QStringLiteral("_rels/.rels"), &data, nullptr)) {
        QXmlStreamReader xml(data);
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement &&
                xml.name() == QLatin1String("Relationship") &&
                xml.attributes().value(QLatin1String("Type")).endsWith(QLatin1String("/officeDocument")))
                return resolvePartName(QString(), xml.attributes().value(QLatin1String("Target")).toString());
        }
    }
    return fallback;
}

} // namespace OfficeOpen
