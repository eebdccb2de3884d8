// "Protokoll drucken" and the printer chosen with Alt+D, printed to PDF through
// the same path as on paper and read back with the PDF tools where they exist.
#include "main_window_rig.h"

#include "results/results_table.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QMap>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>
#include <QToolButton>

namespace {

// Results 1..n with long names now and then, ranked as the program ranks them.
void fillTable(TFormMain& w, int n)
{
    ResultsTable& t = w.resultsTable();
    t.beginUpdate();
    for (int i = 1; i <= n; ++i) {
        const QString s = QString::number(i);
        const QString driver =
            i % 7 == 0 ? QStringLiteral("Hans-Peter Obermüller-Wimmer ") + s : QStringLiteral("Fahrer ") + s;
        const QStringList row{s,
                              driver,
                              QStringLiteral("Beifahrer ") + s,
                              QStringLiteral("Lanz Bulldog D 2806"),
                              QStringLiteral("1952"),
                              QString::number(i % 5),
                              QStringLiteral("1:0%1,50").arg(i % 10),
                              QStringLiteral("1:1%1,25").arg(i % 10),
                              QStringLiteral("0,5"),
                              QStringLiteral("%1,5").arg(i % 5),
                              QString()};
        if (i == 1)
            t.setRow(1, row);
        else
            t.appendRow(row);
    }
    t.endUpdate();
    w.RankResults();
    w.UpdateProtocolButtons();
}

QString tool(const char* name)
{
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000))
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pdfPages(const QString& pdf)
{
    static const QRegularExpression pages(QStringLiteral("Pages:\\s+(\\d+)"));
    return pages.match(run(tool("pdfinfo"), {pdf})).captured(1).toInt();
}

QString pdfPageText(const QString& pdf, int page)
{
    return run(tool("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(page),
                                   QStringLiteral("-l"), QString::number(page), pdf, QStringLiteral("-")});
}

// Keeps the PDF and its pages as PNG in AK_SCREENSHOT_DIR, for a look by eye.
void keepPagesAsPictures(const QString& pdf, const QString& name)
{
    const QString dir = qEnvironmentVariable("AK_SCREENSHOT_DIR");
    if (dir.isEmpty() || tool("pdftoppm").isEmpty())
        return;
    QFile::remove(dir + QLatin1Char('/') + name + QStringLiteral(".pdf"));
    QFile::copy(pdf, dir + QLatin1Char('/') + name + QStringLiteral(".pdf"));
    run(tool("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("70"), QStringLiteral("-png"), pdf,
                           dir + QLatin1Char('/') + name});
}

} // namespace

class TestMainPrint : public QObject {
    Q_OBJECT
    IsolatedSettings m_settings;
    QTemporaryDir m_dir;

private Q_SLOTS:
    void init() { clearStoredSettings(); }

    void withoutAChoiceA4Landscape()
    {
        MainRig rig;
        auto w = rig.make(false, false);
        const QPageLayout page = w->printer()->pageLayout();
        QCOMPARE(page.pageSize().id(), QPageSize::A4);
        QCOMPARE(page.orientation(), QPageLayout::Landscape);
        QCOMPARE(w->printer()->printerName(), QPrinterInfo::defaultPrinterName());
    }

    void printsWhereAltDChose()
    {
        MainRig rig;
        auto w = rig.make();
        fillTable(*w, 3);
        const QString pdf = m_dir.filePath(QStringLiteral("gewaehlt.pdf"));
        // Alt+D: choose printing to a file, and confirm.
        bool chosen = false;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
            QVERIFY(printers);
            printers->setCurrentIndex(printers->count() - 1); // "Print to File (PDF)" comes last
            dialog->findChild<QLineEdit*>(QStringLiteral("filename"))->setText(pdf);
            chosen = true;
            dialog->accept();
        });
        QTest::keyClick(w.get(), Qt::Key_D, Qt::AltModifier);
        QVERIFY(chosen);
        QCOMPARE(w->printer()->outputFileName(), pdf);

        // The print command uses that choice without asking again.
        QStringList errors;
        w->setErrorHook([&errors](const QString& e) { errors << e; });
        bool asked = false;
        QTimer::singleShot(0, this, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                asked = true;
                modal->close();
            }
        });
        QTest::mouseClick(w->control<QToolButton>(QStringLiteral("sbPrint")), Qt::LeftButton);
        QVERIFY(!asked);
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join('\n')));
        QFile f(pdf);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.read(5), QByteArray("%PDF-"));
        QCOMPARE(w->statusNoticeText(), QStringLiteral("Protokoll gedruckt in die Datei ") + pdf);
    }

    void noPrinterAndNoChoice()
    {
        if (!QPrinterInfo::availablePrinterNames().isEmpty())
            QSKIP("this machine has a printer");
        MainRig rig;
        auto w = rig.make();
        fillTable(*w, 2);
        QStringList errors;
        w->setErrorHook([&errors](const QString& e) { errors << e; });
        bool offered = false;
        QTimer::singleShot(0, this, [&] {
            if (auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
                offered = true;
                dialog->reject();
            }
        });
        QTest::mouseClick(w->control<QToolButton>(QStringLiteral("sbPrint")), Qt::LeftButton);
        QVERIFY(offered);
        QCOMPARE(errors,
                 QStringList{QStringLiteral("Kein Drucker ausgewählt: Das Protokoll wurde nicht gedruckt.")});
    }

    void pages_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<int>("printedPages");
        QTest::newRow("one result: one page") << 1 << 0 << 0 << 1;
        QTest::newRow("two results") << 2 << 0 << 0 << 1;
        QTest::newRow("120 results: several pages") << 120 << 0 << 0 << -1;
        QTest::newRow("120 results, pages 2 to 3 chosen") << 120 << 2 << 3 << 2;
    }
    void pages()
    {
        QFETCH(int, rows);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(int, printedPages);
        if (tool("pdfinfo").isEmpty() || tool("pdftotext").isEmpty())
            QSKIP("the PDF tools (poppler-utils) are not installed");
        MainRig rig;
        auto w = rig.make();
        w->control<QLineEdit>(QStringLiteral("eFText1"))
            ->setText(QStringLiteral("Oldtimertreffen Sommerfest"));
        w->setExportClock([] { return QDateTime(QDate(2026, 5, 1), QTime(14, 30)); });
        fillTable(*w, rows);
        const QString pdf = m_dir.filePath(QStringLiteral("protokoll-%1-%2.pdf").arg(rows).arg(from));
        w->printer()->setOutputFileName(pdf);
        if (from > 0) {
            w->printer()->setPrintRange(QPrinter::PageRange);
            w->printer()->setFromTo(from, to);
        }
        QTest::mouseClick(w->control<QToolButton>(QStringLiteral("sbPrint")), Qt::LeftButton);
        QVERIFY(QFileInfo::exists(pdf));
        keepPagesAsPictures(pdf, QFileInfo(pdf).completeBaseName());

        const int pages = pdfPages(pdf);
        if (printedPages > 0)
            QCOMPARE(pages, printedPages);
        else
            QVERIFY2(pages >= 3, qPrintable(QString::number(pages)));
        const QString info = run(tool("pdfinfo"), {pdf});
        QVERIFY2(info.contains(QStringLiteral("(A4)")) && info.contains(QStringLiteral("842 x 595 pts")),
                 qPrintable(info));
        const int total = from > 0 ? -1 : pages;
        QMap<QString, int> seen; // start number -> how often printed
        for (int page = 1; page <= pages; ++page) {
            const QString text = pdfPageText(pdf, page);
            // The header band on every page, numbers and names in their columns.
            for (const char* h : {"St.Nr.", "Fahrer", "Beifahrer", "Marke", "Zeit2", "Ges.", "Platz"})
                QVERIFY2(text.contains(QLatin1String(h)),
                         qPrintable(QStringLiteral("page %1: %2").arg(page).arg(h)));
            if (total > 0)
                QVERIFY(text.contains(QStringLiteral("Seite %1 von %2").arg(page).arg(total)));
            QVERIFY(text.contains(QStringLiteral("Oldtimertreffen Sommerfest")));
            QVERIFY(text.contains(QStringLiteral("Stand: ")));
            static const QRegularExpression driver(QStringLiteral("Beifahrer (\\d+)"));
            auto it = driver.globalMatch(text);
            while (it.hasNext())
                ++seen[it.next().captured(1)];
        }
        if (from == 0) {
            // Every result on exactly one page.
            QCOMPARE(seen.size(), rows);
            for (auto it = seen.cbegin(); it != seen.cend(); ++it)
                QCOMPARE(it.value(), 1);
        }
        QCOMPARE(w->statusNoticeText(), QStringLiteral("Protokoll gedruckt in die Datei ") + pdf);
    }

    // Pages chosen in the print dialog that the protocol does not have: nothing is printed,
    // no empty page or file is made, and the operator is told instead of "gedruckt".
    void rangeWithoutAnyPagePrintsNothing_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("error");
        QTest::newRow("page 2 of a one-page protocol")
            << 2 << 2 << "Nichts gedruckt: Die Seiten 2 bis 2 gibt es nicht, das Protokoll hat 1 Seite.";
        QTest::newRow("pages 9 to 99") << 9 << 99
                                       << "Nichts gedruckt: Die Seiten 9 bis 99 gibt es nicht, das Protokoll hat 1 Seite.";
    }
    void rangeWithoutAnyPagePrintsNothing()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, error);
        MainRig rig;
        auto w = rig.make();
        fillTable(*w, 2);
        QStringList errors;
        w->setErrorHook([&errors](const QString& e) { errors << e; });
        const QString pdf = m_dir.filePath(QStringLiteral("leer-%1.pdf").arg(from));
        w->printer()->setOutputFileName(pdf);
        w->printer()->setPrintRange(QPrinter::PageRange);
        w->printer()->setFromTo(from, to);
        QTest::mouseClick(w->control<QToolButton>(QStringLiteral("sbPrint")), Qt::LeftButton);
        QCOMPARE(errors, QStringList{error});
        QVERIFY(!QFileInfo::exists(pdf));
        QVERIFY(!w->statusNoticeText().contains(QStringLiteral("gedruckt in")));
    }

    void longTextsWrapInTheirColumn()
    {
        if (tool("pdftotext").isEmpty())
            QSKIP("the PDF tools (poppler-utils) are not installed");
        MainRig rig;
        auto w = rig.make();
        fillTable(*w, 3);
        const QString make =
            QStringLiteral("Lanz Bulldog D 2806 Allzweckschlepper mit Mähwerk, Seilwinde, "
                           "Frontlader und Anhänger der Baujahre 1952 bis 1956 aus Mannheim");
        const QString driver =
            QStringLiteral("Hans-Peter-Maximilian Obermüller-Wimmer von und zu Niederbayern");
        w->resultsTable().setCell(ResultsTable::Marke, 2, make);
        w->resultsTable().setCell(ResultsTable::Fahrer, 2, driver);
        const QString pdf = m_dir.filePath(QStringLiteral("lang.pdf"));
        w->printer()->setOutputFileName(pdf);
        QTest::mouseClick(w->control<QToolButton>(QStringLiteral("sbPrint")), Qt::LeftButton);
        keepPagesAsPictures(pdf, QStringLiteral("lang"));
        QCOMPARE(pdfPages(pdf), 1);
        const QString text = pdfPageText(pdf, 1);
        // Every word is printed (on more lines than one): nothing is cut off.
        for (const QString& word : (make + QLatin1Char(' ') + driver).split(QLatin1Char(' ')))
            QVERIFY2(text.contains(word), qPrintable(word));
        QVERIFY(!text.contains(make));                     // not on one line
        QVERIFY(text.contains(QStringLiteral("1:12,25"))); // the numbers still whole on the same page
    }

    void footerPicture()
    {
        if (tool("pdftotext").isEmpty() || tool("pdfimages").isEmpty())
            QSKIP("the PDF tools (poppler-utils) are not installed");
        MainRig rig;
        auto w = rig.make();
        fillTable(*w, 40);
        QImage code(64, 64, QImage::Format_RGB32);
        code.fill(Qt::black);
        w->setPrintFooter(code, QStringLiteral("Live-Ergebnisse: http://192.168.1.20:8080/"));
        const QString pdf = m_dir.filePath(QStringLiteral("fuss.pdf"));
        w->printer()->setOutputFileName(pdf);
        QTest::mouseClick(w->control<QToolButton>(QStringLiteral("sbPrint")), Qt::LeftButton);
        const int pages = pdfPages(pdf);
        QVERIFY(pages >= 2);
        keepPagesAsPictures(pdf, QStringLiteral("fuss"));
        for (int page = 1; page <= pages; ++page)
            QVERIFY(pdfPageText(pdf, page).contains(
                QStringLiteral("Live-Ergebnisse: http://192.168.1.20:8080/")));
        // One picture on every page.
        const QStringList images =
            run(tool("pdfimages"), {QStringLiteral("-list"), pdf}).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(images.size() - 2, pages); // two heading lines
    }
};

QTEST_MAIN(TestMainPrint)
#include "tst_main_print.moc"
