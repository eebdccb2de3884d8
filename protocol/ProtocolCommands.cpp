#include "protocol/ProtocolCommands.h"

#include "platform/data_paths.h"
#include "protocol/protocol_html.h"
#include "protocol/protocol_text.h"
#include "protocol/recovery.h"
#include "protocol/xlsx_reader.h"
#include "protocol/xlsx_writer.h"
#include "results/results_table.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace {

QVector<QStringList> sortedDataRows(const ResultsTable& table)
{
    QVector<QStringList> rows = table.rows().mid(1);
    std::sort(rows.begin(), rows.end());
    return rows;
}

QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir())
        return documents;
    return QDir::homePath();
}

QChar decimalSeparatorOf(const QLocale& locale)
{
    const QString point = locale.decimalPoint();
    return point.isEmpty() ? QLatin1Char(',') : point.at(0);
}

} // namespace

ProtocolCommands::ProtocolCommands(ProtocolHost& host, QObject* parent)
    : QObject(parent), m_host(host), m_now([] { return QDateTime::currentDateTime(); })
{
}

void ProtocolCommands::setFiltInd(int index)
{
    m_filtInd = (index >= 1 && index <= int(saveFilters().size())) ? index : 1;
}

QString ProtocolCommands::protocolFolder() const
{
    return m_getFolder ? m_getFolder() : m_folder;
}

void ProtocolCommands::setProtocolFolder(const QString& folder)
{
    if (m_setFolder)
        m_setFolder(folder);
    else
        m_folder = folder;
}

void ProtocolCommands::setProtocolFolderAccess(std::function<QString()> get,
                                               std::function<void(const QString&)> set)
{
    m_getFolder = std::move(get);
    m_setFolder = std::move(set);
}

QString ProtocolCommands::startFolder() const
{
    const QString folder = protocolFolder();
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        return folder;
    return documentsFolder();
}

bool ProtocolCommands::hasUnsavedResults() const
{
    const ResultsTable& table = m_host.resultsTable();
    return table.holdsResults() && sortedDataRows(table) != m_savedRows;
}

void ProtocolCommands::markSaved()
{
    m_savedRows = sortedDataRows(m_host.resultsTable());
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

bool ProtocolCommands::kindOfName(const QString& path, ProtocolKind* kind)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    ProtocolKind k;
    if (suffix == QLatin1String("txt"))
        k = ProtocolKind::Text;
    else if (suffix == QLatin1String("xlsx"))
        k = ProtocolKind::Sheet;
    else if (suffix == QLatin1String("docx"))
        k = ProtocolKind::Word;
    else if (suffix == QLatin1String("html") || suffix == QLatin1String("htm"))
        k = ProtocolKind::Html;
    else
        return false;
    if (kind)
        *kind = k;
    return true;
}

QString ProtocolCommands::savePath(const QString& typed, ProtocolKind filterKind, ProtocolKind* kind)
{
    ProtocolKind named;
    if (kindOfName(typed, &named)) {
        *kind = named;
        return typed;
    }
    *kind = filterKind;
    return typed + extensionOf(filterKind);
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
        ok = m_saveSheet ? m_saveSheet(path, &error)
                         : SaveProtocolSheet(path, table, m_host.columnWidths(), m_host.eventTitle(),
                                             m_locale, &error);
        break;
    case ProtocolKind::Word:
        ok = m_saveWord && m_saveWord(path, &error);
        break;
    }
    if (!ok) {
        // The text protocol and the web page report the path; the office writers their own text.
        const bool own = (kind == ProtocolKind::Sheet || kind == ProtocolKind::Word) && !error.isEmpty();
        m_host.showError(own ? error : writeErrorText(path));
        return false;
    }
    Q_EMIT fileWritten(path, kind);
    return true;
}

void ProtocolCommands::sbSaveClick()
{
    m_host.commitPendingEdit();
    FileDialogRequest request;
    request.save = true;
    request.folder = startFolder();
    request.fileName = DefaultProtocolName(m_now());
    request.filters = saveFilters();
    request.filterIndex = m_filtInd - 1;
    const FileDialogAnswer answer = runFileDialog(request);
    if (answer.path.isEmpty())
        return;
    const int index = qBound(0, answer.filterIndex, int(request.filters.size()) - 1);
    ProtocolKind kind;
    const QString path = savePath(answer.path, static_cast<ProtocolKind>(index), &kind);
    m_filtInd = int(kind) + 1; // the next save proposes the kind written now
    if (!saveAs(kind, path))
        return;
    setProtocolFolder(QFileInfo(path).absolutePath());
    // Only a file the open command reads back holds the results as saved.
    if (kind == ProtocolKind::Text || kind == ProtocolKind::Sheet)
        markSaved();
    Q_EMIT protocolSaved(path, kind);
}

bool ProtocolCommands::readText(const QString& path, ProtocolTextContent* content)
{
    QString error;
    if (!LoadProtocolText(path, content, &error, m_locale)) {
        m_host.showError(error);
        return false;
    }
    return true;
}

bool ProtocolCommands::readSheet(const QString& path, QVector<QStringList>* rows)
{
    QString error;
    if (!readFirstSheet(path, rows, &error, decimalSeparatorOf(m_locale))) {
        m_host.showError(error.isEmpty() ? QStringLiteral("Die Datei kann nicht gelesen werden: ") + path
                                         : error);
        return false;
    }
    return true;
}

bool ProtocolCommands::keepDatedCopy()
{
    if (!m_recovery || !m_recovery->keepDatedCopy(m_host.resultsTable(), m_now()).isEmpty())
        return true;
    // The copy is what makes a wrong Ja undoable: without it the operator decides once more.
    m_host.showNotice(QStringLiteral("Sicherungskopie kann nicht geschrieben werden: %1")
                          .arg(QDir::toNativeSeparators(m_recovery->folder())));
    return m_host.askYesNo(QStringLiteral("Keine Sicherungskopie möglich. Trotzdem öffnen?"));
}

void ProtocolCommands::sbLoadClick()
{
    m_host.commitPendingEdit();
    const bool discarding = hasUnsavedResults();
    if (discarding && !m_host.askYesNo(QStringLiteral("Ungespeicherte Ergebnisse verwerfen?")))
        return;
    FileDialogRequest request;
    request.save = false;
    request.folder = startFolder();
    request.filters = openFilters();
    request.filterIndex = m_openIndex - 1;
    const FileDialogAnswer answer = runFileDialog(request);
    if (answer.path.isEmpty())
        return;
    if (!m_host.mayReplaceProtocol()) {
        m_host.showNotice(QStringLiteral("Während ein Lauf gemessen wird, wird kein Protokoll geöffnet: %1")
                              .arg(QDir::toNativeSeparators(answer.path)));
        return;
    }
    const int index = qBound(0, answer.filterIndex, int(request.filters.size()) - 1);
    // The kind follows the file's name; a name without a known one goes by the filter.
    ProtocolKind kind = static_cast<ProtocolKind>(index);
    ProtocolKind named;
    if (kindOfName(answer.path, &named) && (named == ProtocolKind::Text || named == ProtocolKind::Sheet))
        kind = named;
    m_openIndex = index + 1;
    m_filtInd = int(kind) + 1; // saving afterwards proposes the kind that was opened

    // Read first: a file that cannot be read leaves the table as it is.
    ProtocolTextContent content;
    QVector<QStringList> sheetRows;
    if (kind == ProtocolKind::Sheet ? !readSheet(answer.path, &sheetRows) : !readText(answer.path, &content))
        return;
    if (discarding && !keepDatedCopy())
        return;
    if (kind == ProtocolKind::Sheet) {
        applyProtocolSheet(sheetRows, m_host.resultsTable());
    } else {
        applyProtocolText(m_host.resultsTable(), content);
        m_host.setStartList(content.startList);
    }
    m_host.updateProtocolButtons();
    m_host.rankResults();
    m_host.formResize();
    setProtocolFolder(QFileInfo(answer.path).absolutePath());
    markSaved();
    Q_EMIT protocolOpened(answer.path);
}

void ProtocolCommands::sbCLSClick()
{
    m_host.commitPendingEdit();
    if (!m_host.askYesNo(QStringLiteral("Zeitenprotokoll  löschen ?")))
        return;
    m_host.resultsTable().clear();
    m_host.formResize();
    m_host.nextCompetitor();
    m_host.updateProtocolButtons();
}

void ProtocolCommands::sbHTMLClick(int tag)
{
    m_host.commitPendingEdit();
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
    if (!m_recovery)
        m_recovery = &store;
    const bool offer = store.previousSessionEndedAbnormally() && store.hasRecoveryCopy();
    if (!store.sessionStarted())
        return; // another instance owns the store and its copy
    if (!offer) {
        store.discardCopy(); // a leftover of a session that ended normally is never offered later
        return;
    }
    ProtocolTextContent content;
    const RecoveryCopyState state = store.readCopy(&content);
    if (state != RecoveryCopyState::Complete) {
        // The copy as found stays aside for a look; nothing garbled reaches the table.
        const QString aside = store.setCopyAside(m_now());
        const QString where = aside.isEmpty() ? store.copyPath() : aside;
        if (state == RecoveryCopyState::Damaged) {
            m_host.showError(
                QStringLiteral("Die Sicherungskopie der letzten Sitzung ist beschädigt oder nicht "
                               "lesbar; es wird nichts wiederhergestellt. Sie liegt unter: ") +
                QDir::toNativeSeparators(where));
            return;
        }
        m_host.showError(
            QStringLiteral("Die Sicherungskopie der letzten Sitzung ist unvollständig: ihre letzte, "
                           "abgeschnittene Zeile wird nicht wiederhergestellt. Sie liegt unter: ") +
            QDir::toNativeSeparators(where));
    }
    if (m_host.askYesNo(QStringLiteral("Ergebnisse der letzten Sitzung wiederherstellen?"))) {
        applyProtocolText(m_host.resultsTable(), content);
        m_host.rankResults();
        m_host.formResize();
        m_host.updateProtocolButtons();
        store.writeCopy(m_host.resultsTable());
    } else {
        store.discardCopy();
    }
}
