// Printing the protocol: the printer chosen with Alt+D and the print command.
#include "app/FMain.h"

#include "protocol/html_print.h"
#include "protocol/print_protocol.h"
#include "results/SortGrid.h"
#include "results/results_table.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

namespace {

// A printer whose output can actually go somewhere: a named printer, or a file.
bool canPrint(const QPrinter& printer)
{
    if (printer.outputFormat() == QPrinter::PdfFormat)
        return !printer.outputFileName().isEmpty();
    return printer.isValid() && !printer.printerName().isEmpty();
}

} // namespace

QPrinter* TFormMain::printer()
{
    if (!m_printer) {
        // The system's default printer, with the protocol's page: A4 landscape.
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_printer->setPageSize(QPageSize(QPageSize::A4));
        m_printer->setPageOrientation(QPageLayout::Landscape);
        m_printer->setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
        m_printer->setDocName(QStringLiteral("Zeitenprotokoll"));
    }
    return m_printer.get();
}

void TFormMain::Drucker1Click()
{
    // The choice (printer, paper, orientation, copies, or a file) is kept for every
    // later print until the program ends.
    QPrintDialog dialog(printer(), this);
    dialog.setWindowTitle(QStringLiteral("Drucker"));
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    // This only chooses; printing is "Protokoll drucken".
    if (auto* box = dialog.findChild<QDialogButtonBox*>())
        if (QPushButton* ok = box->button(QDialogButtonBox::Ok))
            ok->setText(QStringLiteral("OK"));
    dialog.exec();
}

void TFormMain::setPrintFooter(const QImage& image, const QString& caption)
{
    m_printFooterImage = image;
    m_printFooterCaption = caption;
}

void TFormMain::sbPrintClick()
{
    m_grid->commitOpenEditor(); // the printout shows what the operator has typed
    if (!m_table->holdsResults())
        return;
    QPrinter* p = printer();
    if (!canPrint(*p)) {
        // No printer on this system and none chosen: let the operator choose one (or a file).
        Drucker1Click();
        if (!canPrint(*p)) {
            showError(QStringLiteral("Kein Drucker ausgewählt: Das Protokoll wurde nicht gedruckt."));
            return;
        }
    }
    ProtocolPrint print;
    print.rows = m_table->rows();
    print.viewWidths = resultColumnWidthsShown();
    print.eventTitle = eventTitle();
    print.dateText = exportDateText();
    print.appTitle = windowTitle();
    print.footerImage = m_printFooterImage;
    print.footerCaption = m_printFooterCaption;
    const bool range = p->printRange() == QPrinter::PageRange;
    const PrintOutcome out = printProtocol(*p, print, range ? p->fromPage() : 0, range ? p->toPage() : 0);
    const bool toFile = p->outputFormat() == QPrinter::PdfFormat;
    const QString target = toFile ? QFileInfo(p->outputFileName()).absoluteFilePath() : p->printerName();
    if (!out.deviceOk) {
        showError(toFile ? QStringLiteral("Der Schreibfehler der Datei: ") + target
                         : QStringLiteral("Der Drucker „%1“ kann nicht drucken.").arg(target));
        return;
    }
    const auto pagesText = [](int n) {
        return QStringLiteral("%1 %2").arg(n).arg(n == 1 ? QStringLiteral("Seite") : QStringLiteral("Seiten"));
    };
    if (out.printed == 0) {
        showError(QStringLiteral("Nichts gedruckt: Die Seiten %1 bis %2 gibt es nicht, das Protokoll hat %3.")
                      .arg(p->fromPage())
                      .arg(p->toPage())
                      .arg(pagesText(out.total)));
        return;
    }
    const QString count = out.printed == out.total ? pagesText(out.total)
                                                   : QStringLiteral("%1 von %2").arg(out.printed).arg(pagesText(out.total));
    showPassingNotice(toFile ? QStringLiteral("Protokoll gedruckt in die Datei %1").arg(target)
                             : QStringLiteral("Protokoll gedruckt auf „%1“ (%2)").arg(target, count));
}

bool TFormMain::printHtmlFile(const QString& path)
{
    if (m_printHook)
        return m_printHook(path);
    QPrinter* p = printer();
    return canPrint(*p) && ::printHtmlFile(*p, path);
}
