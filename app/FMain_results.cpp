// The results table on the main window: entering, ranking, sorting, editing.
#include "app/FMain.h"

#include "app/competitor_entry.h"
#include "results/SortGrid.h"
#include "results/clipboard_text.h"
#include "results/enter_result.h"
#include "results/ranking.h"
#include "results/result_editing.h"
#include "results/results_table.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QToolButton>

void TFormMain::buildResultsGrid()
{
    m_table = new ResultsTable(this);
    m_grid = new TSortGrid(m_gridArea);
    m_grid->setObjectName(QStringLiteral("SortGrid1"));
    m_grid->setResultsTable(m_table);
    m_grid->setSortMarker(m_sortState.sortColumn, m_sortState.direction == SortDirection::Descending);

    connect(m_grid, &TSortGrid::headerClicked, this, [this](int column, bool right) {
        m_grid->commitOpenEditor();
        headerClick(m_sortState, column, right);
        sortByColumn(*m_table, m_sortState, column, m_locale);
        m_grid->setSortMarker(m_sortState.sortColumn, m_sortState.direction == SortDirection::Descending);
    });
    connect(m_grid, &TSortGrid::statusText, this,
            [this](const QString& t) { m_statusPanels[0]->setText(t); });
    connect(m_grid, &TSortGrid::SortGrid1DblClick, this, &TFormMain::SortGrid1DblClick);
    // The spectators never see a result the table no longer holds: every change (a
    // correction, a sort, a load, an edited name) refreshes the top ten.
    connect(m_table, &ResultsTable::changed, this, &TFormMain::refreshTopTen);
    bindResultsMenu();
}

void TFormMain::bindResultsMenu()
{
    const auto bind = [this](const char* name, auto&& f) {
        if (QAction* a = m_grid->action(name))
            connect(a, &QAction::triggered, this, [this, f] {
                m_grid->commitOpenEditor();
                f();
                m_grid->setSortMarker(m_sortState.sortColumn,
                                      m_sortState.direction == SortDirection::Descending);
            });
    };
    bind("Eliminieren1", [this] { Eliminieren(*m_table, m_sortState, currentStartNumber(), m_locale); });
    bind("Copy1", [this] { QGuiApplication::clipboard()->setText(clipboardText(*m_table)); });
    bind("Strokadelete", [this] {
        deleteCurrentRow(*m_table, m_sortState, currentStartNumber(), m_locale,
                         [this](const QString& q) { return askYesNo(q); });
    });
    bind("Zeitentfernen1",
         [this] { clearRowResults(*m_table, m_sortState, currentStartNumber(), m_locale); });
    bind("Sortieren1", [this] { Sortieren(*m_table, m_sortState, currentStartNumber(), m_locale); });
    bind("Ausgeschieden2", [this] { markRetired(*m_table, m_sortState, currentStartNumber(), m_locale, 0); });
    bind("Aufgegeben1", [this] { markRetired(*m_table, m_sortState, currentStartNumber(), m_locale, 1); });
}

QString TFormMain::currentStartNumber() const
{
    return CompetitorEntry::startNumberOf(m_cbStNr->currentText());
}

void TFormMain::RankResults()
{
    ::RankResults(*m_table, m_sortState, currentStartNumber(), m_locale);
    m_grid->setSortMarker(m_sortState.sortColumn, m_sortState.direction == SortDirection::Descending);
}

void TFormMain::enterResult(qint32 phaseOneTime, qint32 runTime)
{
    EntryFields f;
    f.stNrText = m_cbStNr->currentText();
    f.driver = m_reiter->text();
    f.coDriver = m_eName2->text();
    f.brand = m_eMarke->text();
    f.year = m_eGOD->currentIndex() >= 0 ? m_eGOD->currentText() : QString();
    f.skillPointsText = m_ePunkte1->text();
    f.penaltyPointsText = m_ePunkte2->text();
    f.phaseOneTime = phaseOneTime;
    f.runTime = runTime;
    EnterResult(*m_table, m_sortState, f, m_locale);
    m_grid->setSortMarker(m_sortState.sortColumn, m_sortState.direction == SortDirection::Descending);
    FormResize();
}

void TFormMain::updateProtocolButtons()
{
    const bool holds = m_table && m_table->holdsResults();
    for (const char* name : {"sbCLS", "sbWord", "sbExcel", "bMon3", "sbSave", "sbPrint", "sbHTML"})
        if (QWidget* b = control<QWidget>(QString::fromLatin1(name)))
            b->setEnabled(holds);
}

void TFormMain::selectCompetitorRow(const QString& startNumber)
{
    const int r = m_table->findRow(ResultsTable::StNr, startNumber);
    if (r > 0)
        m_table->setCurrentRow(r);
}

void TFormMain::SortGrid1DblClick()
{
    if (m_cbStNr->isEditable() || m_cbStNr->count() == 0)
        return;
    const int r = m_table->currentRow();
    const QString key = m_table->cell(ResultsTable::StNr, r) + QLatin1Char('\t') +
                        m_table->cell(ResultsTable::Fahrer, r) + QLatin1Char('\t') +
                        m_table->cell(ResultsTable::Beifahrer, r);
    for (int i = 0; i < m_cbStNr->count(); ++i) {
        if (m_cbStNr->itemText(i).startsWith(key)) {
            // Chosen without the change handling: position label and arrows stay.
            const QSignalBlocker block(m_cbStNr);
            m_cbStNr->setCurrentIndex(i);
            break;
        }
    }
    fillFromSelectedEntry();
}

void TFormMain::applyResultColumnWidths()
{
    if (!m_grid)
        return;
    m_grid->setGeometry(0, 0, m_gridArea->width(), m_gridArea->height());
    int client = m_grid->viewport()->width();
    if (m_grid->verticalScrollBar()->isVisible())
        client = m_grid->width() - m_grid->verticalScrollBar()->width() - 2 * m_grid->frameWidth();
    m_grid->applyColumnWidths(resultColumnWidths(client));
}
