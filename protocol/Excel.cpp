#include "protocol/Excel.h"

#include "protocol/export_paths.h"

#include <QDir>

TExcel::TExcel(Writer writer, Opener opener) : m_writer(std::move(writer)), m_opener(std::move(opener)) {}

bool TExcel::fail(const QString& text)
{
    m_error = text;
    return false;
}

bool TExcel::Connect()
{
    if (!m_writer || !m_opener)
        return fail(QStringLiteral("Keine Tabellenkalkulation vorhanden"));
    return true;
}

bool TExcel::ShowWorkbook(const QString& folder, const QString& baseName)
{
    m_error.clear();
    m_fileName.clear();
    if (!Connect())
        return false;
    if (!QDir().mkpath(folder))
        return fail(QStringLiteral("Der Ordner %1 kann nicht angelegt werden.")
                        .arg(QDir::toNativeSeparators(folder)));
    m_fileName = ExportPaths::freeFileName(folder, baseName, QStringLiteral(".xlsx"));
    if (m_fileName.isEmpty())
        return fail(QStringLiteral("Im Ordner %1 ist kein freier Dateiname für %2.xlsx.")
                        .arg(QDir::toNativeSeparators(folder), baseName));
    if (!m_writer(m_fileName))
        return false;
    if (!m_opener(m_fileName))
        return fail(QStringLiteral("%1 lässt sich nicht öffnen: Keine Anwendung für Arbeitsmappen gefunden.")
                        .arg(QDir::toNativeSeparators(m_fileName)));
    return true;
}
