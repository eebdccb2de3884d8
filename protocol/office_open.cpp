#include "protocol/office_open.h"

#include <QXmlStreamReader>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <filesystem>
#include <system_error>
#include <zip.h>

namespace OfficeOpen {

struct ZipPackage::Handle {
    zip_t* zip = nullptr;
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
        zip_error_t ze;
        zip_error_init_with_code(&ze, code);
        setError(error, QStringLiteral("%1: %2").arg(path, QString::fromUtf8(zip_error_strerror(&ze))));
        zip_error_fini(&ze);
        return false;
    }
    m_handle = std::make_unique<Handle>();
    m_handle->zip = zip;
    return true;
}

bool ZipPackage::contains(const QString& name) const
{
    return m_handle && zip_name_locate(m_handle->zip, name.toUtf8().constData(), ZIP_FL_NOCASE) >= 0;
}

bool ZipPackage::read(const QString& name, QByteArray* data, QString* error) const
{
    if (!m_handle) {
        setError(error, QStringLiteral("Paket nicht geöffnet"));
        return false;
    }
    const zip_int64_t index = zip_name_locate(m_handle->zip, name.toUtf8().constData(), ZIP_FL_NOCASE);
    zip_stat_t st;
    if (index < 0 || zip_stat_index(m_handle->zip, zip_uint64_t(index), 0, &st) != 0 ||
        !(st.valid & ZIP_STAT_SIZE)) {
        setError(error, QStringLiteral("Teil fehlt: %1").arg(name));
        return false;
    }
    if (st.size > zip_uint64_t(maxPartSize)) {
        setError(error, QStringLiteral("Teil zu groß: %1").arg(name));
        return false;
    }
    zip_file_t* file = zip_fopen_index(m_handle->zip, zip_uint64_t(index), 0);
    if (!file) {
        setError(error, QStringLiteral("%1: %2").arg(name, QString::fromUtf8(zip_strerror(m_handle->zip))));
        return false;
    }
    QByteArray bytes(qsizetype(st.size), Qt::Uninitialized);
    zip_int64_t done = 0;
    while (done < zip_int64_t(st.size)) {
        const zip_int64_t n = zip_fread(file, bytes.data() + done, st.size - zip_uint64_t(done));
        if (n <= 0)
            break;
        done += n;
    }
    const bool ok = done == zip_int64_t(st.size);
    if (!ok)
        setError(error, QStringLiteral("%1: %2").arg(name, QString::fromUtf8(zip_file_strerror(file))));
    zip_fclose(file);
    if (ok)
        *data = bytes;
    return ok;
}

QString createTempBeside(const QString& target, QString* error)
{
    const QFileInfo info(target);
    QTemporaryFile tmp(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                       QStringLiteral(".XXXXXX"));
    tmp.setAutoRemove(false);
    if (!tmp.open()) {
        setError(error, QStringLiteral("%1: %2").arg(target, tmp.errorString()));
        return QString();
    }
    return tmp.fileName();
}

bool commitTemp(const QString& temp, const QString& target, QString* error)
{
    std::error_code ec;
    // Replaces an existing target in one step, on Windows as well.
    std::filesystem::rename(QFile::encodeName(temp).toStdString(), QFile::encodeName(target).toStdString(),
                            ec);
    if (ec) {
        setError(error, QStringLiteral("%1: %2").arg(target, QString::fromLocal8Bit(ec.message().c_str())));
        QFile::remove(temp);
        return false;
    }
    return true;
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
