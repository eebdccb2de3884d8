#include "protocol/ProtocolCommands.h"

#include "platform/data_paths.h"
#include "protocol/protocol_html.h"
#include "protocol/protocol_text.h"
#include "protocol/recovery.h"
#include "results/results_table.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// The program's folder, as long as the operator may write there; an installed
// program's folder is read-only, so the documents folder stands in.
QString defaultStartFolder()
{
    const QFileInfo data(DataPaths::dataDir());
    if (data.isDir() && data.isWritable())
        return data.absoluteFilePath();
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

} // namespace

ProtocolCommands::ProtocolCommands(ProtocolHost& host, QObject* parent)
    : QObject(parent), m_host(host), m_now([] { return QDateTime::currentDateTime(); }),
      m_startFolder(defaultStartFolder())
{
}

void ProtocolCommands::setFiltInd(int index)
{
    m_filtInd = (index >= 1 && index <= int(saveFilters().size())) ? index : 1;
}

QStringList ProtocolCommands::saveFilters()
{
    return {QStringLiteral("Textdatei (*.txt)"), QStringLiteral("MS Excel (*.xlsx)"),
            QStringLiteral("MS Word (*.docx)"), QStringLiteral("Webseite (*.html)")};
}

QStringList ProtocolCommands::openFilters()
{
    return saveFilters().mid(0, 2);
}

QString ProtocolCommands::extensionOf(ProtocolKind kind)
{
    switch (kind) {
    case ProtocolKind::Text:
        return QStringLiteral(".txt");
    case ProtocolKind::Sheet:
        return QStringLiteral(".xlsx");
    case ProtocolKind::Word:
        return QStringLiteral(".docx");
    case ProtocolKind::Html:
        return QStringLiteral(".html");
    }
    return QString();
}

QString ProtocolCommands::writeErrorText(const QString& path)
{
    return QStringLiteral("Der Schreibfehler der Datei: ") + path;
}

QString ProtocolCommands::htmlFileName()
{
    return DataPaths::programBaseName() + QStringLiteral(".html");
}

FileDialogAnswer ProtocolCommands::runFileDialog(const FileDialogRequest& request)
{
    if (m_fileDialog)
        return m_fileDialog(request);
    QFileDialog dialog(m_host.hostWindow(), QString(), request.folder);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setNameFilters(request.filters);
    dialog.selectNameFilter(request.filters.value(request.filterIndex));
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    FileDialogAnswer answer;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return answer;
    answer.path = dialog.selectedFiles().constFirst();
    answer.filterIndex = qMax(0, int(request.filters.indexOf(dialog.selectedNameFilter())));
    return answer;
}

bool ProtocolCommands::saveAs(ProtocolKind kind, const QString& givenPath)
{
    // Messages name the full path, also of the web page written to the working folder.
    const QString path = QFileInfo(givenPath).absoluteFilePath();
    ResultsTable& table = m_host.resultsTable();
    QString error;
    bool ok = false;
    switch (kind) {
    case ProtocolKind::Text:
        ok = SaveProtocolText(path, table, &error);
        break;
    case ProtocolKind::Html:
        ok = SaveProtocolHtml(path, table, m_host.columnWidths(), m_appTitle, m_host.eventTitle(), &error);
        break;
    case ProtocolKind::Sheet:
        ok = m_saveSheet && m_saveSheet(path, &error);
        break;
    case ProtocolKind::Word:
        ok = m_saveWord && m_saveWord(path, &error);
        break;
    }
    if (!ok) {
        // The text protocol and the web page report the path; the office writers their own text.
        const bool own = (kind == ProtocolKind::Sheet || kind == ProtocolKind::Word) && !error.isEmpty();
        m_host.showError(own ? error : writeErrorText(path));
    } else {
        Q_EMIT fileWritten(path);
    }
    return ok;
}

void ProtocolCommands::sbSaveClick()
{
    FileDialogRequest request;
    request.save = true;
    request.folder = m_startFolder;
    request.fileName = DefaultProtocolName(m_now());
    request.filters = saveFilters();
    request.filterIndex = m_filtInd - 1;
    const FileDialogAnswer answer = runFileDialog(request);
    if (answer.path.isEmpty())
        return;
    const int index = qBound(0, answer.filterIndex, int(request.filters.size()) - 1);
    m_filtInd = index + 1;
    const auto kind = static_cast<ProtocolKind>(index);
    QString path = answer.path;
    if (QFileInfo(path).suffix().isEmpty())
        path += extensionOf(kind);
    m_startFolder = QFileInfo(path).absolutePath();
    saveAs(kind, path);
}

bool ProtocolCommands::loadText(const QString& path)
{
    ProtocolTextContent content;
    QString error;
    if (!LoadProtocolText(path, &content, &error)) {
        m_host.showError(error);
        return false;
    }
    applyProtocolText(m_host.resultsTable(), content);
    m_host.setStartList(content.startList);
    m_host.updateProtocolButtons();
    return true;
}

void ProtocolCommands::sbLoadClick()
{
    FileDialogRequest request;
    request.save = false;
    request.folder = m_startFolder;
    request.filters = openFilters();
    request.filterIndex = m_openIndex - 1;
    const FileDialogAnswer answer = runFileDialog(request);
    if (answer.path.isEmpty())
        return;
    const int index = qBound(0, answer.filterIndex, int(request.filters.size()) - 1);
    m_openIndex = index + 1;
    m_filtInd = index + 1; // saving afterwards proposes the kind that was opened
    m_startFolder = QFileInfo(answer.path).absolutePath();

    const bool sheet =
        static_cast<ProtocolKind>(index) == ProtocolKind::Sheet ||
        QFileInfo(answer.path).suffix().compare(QLatin1String("xlsx"), Qt::CaseInsensitive) == 0;
    if (sheet) {
        QString error;
        if (!m_loadSheet || !m_loadSheet(answer.path, &error)) {
            m_host.showError(error.isEmpty()
                                 ? QStringLiteral("Die Datei kann nicht gelesen werden: ") + answer.path
                                 : error);
            return;
        }
        m_host.updateProtocolButtons();
    } else if (!loadText(answer.path)) {
        return;
    }
    m_host.rankResults();
    m_host.formResize();
}

void ProtocolCommands::sbCLSClick()
{
    if (!m_host.askYesNo(QStringLiteral("Zeitenprotokoll  löschen ?")))
        return;
    m_host.resultsTable().clear();
    m_host.formResize();
    m_host.nextCompetitor();
    m_host.updateProtocolButtons();
}

void ProtocolCommands::sbHTMLClick(int tag)
{
    const QString path = htmlFileName();
    // Only a page written now is shown or printed, never one left by an earlier click.
    if (!saveAs(ProtocolKind::Html, path) || !QFileInfo::exists(path))
        return;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (tag == 0)
        m_host.openUrl(QUrl::fromLocalFile(absolute));
    else
        m_host.printHtmlFile(absolute);
}

void ProtocolCommands::offerRecovery(RecoveryStore& store)
{
    const bool offer = store.previousSessionEndedAbnormally() && store.hasRecoveryCopy();
    if (!store.sessionStarted())
        return; // another instance owns the store and its copy
    if (!offer) {
        store.discardCopy(); // a leftover of a session that ended normally is never offered later
        return;
    }
    ProtocolTextContent content;
    if (store.readCopy(&content) &&
        m_host.askYesNo(QStringLiteral("Ergebnisse der letzten Sitzung wiederherstellen?"))) {
        applyProtocolText(m_host.resultsTable(), content);
        m_host.rankResults();
        m_host.formResize();
        m_host.updateProtocolButtons();
        store.writeCopy(m_host.resultsTable());
    } else {
        store.discardCopy();
    }
}
