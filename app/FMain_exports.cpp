// The view exports (document and workbook opened for the operator) and the
// status bar notice that says where a written file went.
#include "app/FMain.h"

#include "protocol/Excel.h"
#include "protocol/ProtocolCommands.h"
#include "protocol/docx_writer.h"
#include "protocol/export_paths.h"
#include "protocol/protocol_text.h"
#include "results/SortGrid.h"
#include "results/results_table.h"

#include <QDir>
#include <QGuiApplication>
#include <QLocale>
#include <QToolButton>
#include <QUrl>

void TFormMain::bindExports()
{
    connect(m_protocol, &ProtocolCommands::fileWritten, this, &TFormMain::fileWrittenNotice);
    connect(control<QToolButton>(QStringLiteral("sbPrint")), &QToolButton::clicked, this,
            &TFormMain::sbPrintClick);
}

void TFormMain::fileWrittenNotice(const QString& path)
{
    showPassingNotice(QStringLiteral("Gespeichert: ") + QDir::toNativeSeparators(path));
}

QDateTime TFormMain::exportTime() const
{
    return m_exportClock ? m_exportClock() : QDateTime::currentDateTime();
}

QString TFormMain::exportDateText() const
{
    // As the date panel shows date and time: in the operator's regional format.
    const QLocale loc;
    const QDateTime now = exportTime();
    return QStringLiteral("Stand: ") + loc.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           loc.toString(now.time(), QLocale::ShortFormat);
}

QString TFormMain::exportFolder() const
{
    return m_exportFolder.isEmpty() ? ExportPaths::documentsFolder() : m_exportFolder;
}

bool TFormMain::ExportToWord(int mode, const QString& path, QString* error)
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QString err;
    bool ok = ExportToWordFile(wordTemplatePath(), path, *m_table, &err,
                               WordHeading{eventTitle(), exportDateText()});
    if (ok && mode == 0) {
        // The save command tells where its file went itself.
        fileWrittenNotice(path);
        ok = openUrl(QUrl::fromLocalFile(path));
        if (!ok)
            err = QStringLiteral("%1 lässt sich nicht öffnen: Keine Anwendung für Dokumente gefunden.")
                      .arg(QDir::toNativeSeparators(path));
    }
    if (!ok)
        control<QToolButton>(QStringLiteral("sbWord"))->setEnabled(false);
    QGuiApplication::restoreOverrideCursor();
    if (error)
        *error = err;
    return ok;
}

void TFormMain::sbWordClick()
{
    m_grid->commitOpenEditor();
    const QString folder = exportFolder();
    if (!QDir().mkpath(folder)) {
        showError(QStringLiteral("Der Ordner %1 kann nicht angelegt werden.")
                      .arg(QDir::toNativeSeparators(folder)));
        return;
    }
    const QString base = DefaultProtocolName(exportTime());
    const QString path = ExportPaths::freeFileName(folder, base, QStringLiteral(".docx"));
    if (path.isEmpty()) {
        showError(QStringLiteral("Im Ordner %1 ist kein freier Dateiname für %2.docx.")
                      .arg(QDir::toNativeSeparators(folder), base));
        return;
    }
    QString error;
    if (!ExportToWord(0, path, &error))
        showError(error.isEmpty() ? ProtocolCommands::writeErrorText(path) : error);
}

void TFormMain::sbExcelClick()
{
    m_grid->commitOpenEditor();
    // The same workbook as the save command writes, through the same writer.
    TExcel excel([this](const QString& path) { return m_protocol->saveAs(ProtocolKind::Sheet, path); },
                 [this](const QString& file) { return openUrl(QUrl::fromLocalFile(file)); });
    if (!excel.Connect())
        return;
    if (!excel.ShowWorkbook(exportFolder(), DefaultProtocolName(exportTime())) &&
        !excel.errorString().isEmpty())
        showError(excel.errorString());
}
