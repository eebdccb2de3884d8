// The protocol toolbar: save, open, clear, web page, print, office exports, recovery.
#include "app/FMain.h"

#include "protocol/Excel.h"
#include "protocol/ProtocolCommands.h"
#include "protocol/docx_writer.h"
#include "protocol/html_print.h"
#include "protocol/protocol_text.h"
#include "protocol/recovery.h"
#include "results/SortGrid.h"
#include "results/results_table.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QStandardPaths>
#include <QToolButton>
#include <QUrl>

namespace {

class MainProtocolHost final : public ProtocolHost {
public:
    explicit MainProtocolHost(TFormMain& w) : m_w(w) {}
    QWidget* hostWindow() override { return &m_w; }
    ResultsTable& resultsTable() override { return m_w.resultsTable(); }
    bool askYesNo(const QString& q) override { return m_w.askYesNo(q); }
    void rankResults() override { m_w.RankResults(); }
    void formResize() override { m_w.FormResize(); }
    void nextCompetitor() override { m_w.sequence().bRESETClick(); }
    void updateProtocolButtons() override { m_w.UpdateProtocolButtons(); }
    void setStartList(const QStringList& entries) override { m_w.setStartList(entries); }
    QString eventTitle() const override { return m_w.eventTitle(); }
    QVector<int> columnWidths() const override { return m_w.resultColumnWidthsShown(); }
    void showError(const QString& text) override { m_w.showError(text); }
    bool openUrl(const QUrl& url) override { return m_w.openUrl(url); }
    bool printHtmlFile(const QString& path) override { return m_w.printHtmlFile(path); }
    void commitPendingEdit() override { m_w.sortGrid()->commitOpenEditor(); }
    bool mayReplaceProtocol() const override
    {
        const SequenceState s = m_w.sequence().state();
        return s == SequenceState::Ready || s == SequenceState::Entered;
    }
    void showNotice(const QString& text) override { m_w.showPassingNotice(text, 10000); }

private:
    TFormMain& m_w;
};

} // namespace

void TFormMain::bindProtocol()
{
    m_protocolHost = std::make_unique<MainProtocolHost>(*this);
    m_protocol = new ProtocolCommands(*m_protocolHost, this);
    m_protocol->setLocale(m_locale);
    // The file dialogs start where protocols were last saved or opened (a setting).
    m_protocol->setProtocolFolderAccess(
        [this] { return m_settings.protocolFolder; },
        [this](const QString& folder) { m_settings.protocolFolder = folder; });
    m_protocol->setSaveWord(
        [this](const QString& path, QString* error) { return ExportToWord(1, path, error); });

    const auto tool = [this](const char* name) { return control<QToolButton>(QString::fromLatin1(name)); };
    connect(tool("sbSave"), &QToolButton::clicked, m_protocol, &ProtocolCommands::sbSaveClick);
    connect(tool("sbLoad"), &QToolButton::clicked, m_protocol, &ProtocolCommands::sbLoadClick);
    connect(tool("sbCLS"), &QToolButton::clicked, m_protocol, &ProtocolCommands::sbCLSClick);
    connect(tool("sbHTML"), &QToolButton::clicked, this, [this] { m_protocol->sbHTMLClick(0); });
    connect(tool("sbWord"), &QToolButton::clicked, this, &TFormMain::sbWordClick);
    connect(tool("sbExcel"), &QToolButton::clicked, this, &TFormMain::sbExcelClick);
    connect(menuAction(QStringLiteral("Drucker1")), &QAction::triggered, this, &TFormMain::Drucker1Click);

    // The recovery copy follows every change of the table.
    m_recovery = std::make_unique<RecoveryStore>(m_deps.recoveryFolder);
    m_protocol->setRecoveryStore(m_recovery.get());
    connect(m_table, &ResultsTable::changed, this, [this] {
        if (m_recovery->active())
            m_recovery->writeCopy(*m_table);
    });
}

void TFormMain::offerRecovery()
{
    m_protocol->offerRecovery(*m_recovery);
}

void TFormMain::endRecoverySession()
{
    // A reset ends the program at once; its results stay for the next start.
    if (!m_recovery)
        return;
    if (m_keepRecoveryCopy)
        m_recovery->keepForNextStart();
    else
        m_recovery->sessionEndedNormally();
}

QString TFormMain::eventTitle() const
{
    return m_eFText1->text();
}

QVector<int> TFormMain::resultColumnWidthsShown() const
{
    QVector<int> widths;
    for (int c = 0; c < ResultsTable::ColumnCount; ++c)
        widths.append(m_grid->isColumnHidden(c) ? -1 : m_grid->columnWidth(c));
    return widths;
}

void TFormMain::showError(const QString& text)
{
    if (m_errorHook) {
        m_errorHook(text);
        return;
    }
    QMessageBox::critical(this, windowTitle(), text);
}
