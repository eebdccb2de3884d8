#include "ooxml_fixture.h"
#include "protocol/docx_writer.h"
#include "protocol/xlsx_writer.h"
#include "results/results_table.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

// Hands the written files to an office suite, when the machine has one, and checks
// that it turns them into a PDF: the files open in a real application.
class TestOfficeRender : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void officeSuiteConvertsTheFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("document") << QStringLiteral("docx");
        QTest::newRow("workbook") << QStringLiteral("xlsx");
    }
    void officeSuiteConvertsTheFiles()
    {
        QFETCH(QString, kind);
        const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        if (soffice.isEmpty())
            QSKIP("soffice is not installed");
        QTemporaryDir dir;
        ResultsTable t;
        OoxmlFixture::fillSample(t);
        const QString file = dir.filePath(QStringLiteral("protokoll.") + kind);
        QString error;
        const bool written = kind == QLatin1String("docx")
                                 ? ExportToWordFile(wordTemplatePath(), file, t, &error,
                                                    WordHeading{QStringLiteral("Sommerfest <Ost> & West"),
                                                                QStringLiteral("Stand: 01.05.26 14:30")})
                                 : SaveProtocolSheet(file, t, QVector<int>(11, 50), QStringLiteral("Test"),
                                                     QLocale(QLocale::German, QLocale::Germany), &error);
        QVERIFY2(written, qPrintable(error));

        QProcess p;
        p.start(soffice, {QStringLiteral("-env:UserInstallation=") +
                              QUrl::fromLocalFile(dir.filePath(QStringLiteral("profil"))).toString(),
                          QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("pdf"),
                          QStringLiteral("--outdir"), dir.path(), file});
        QVERIFY(p.waitForFinished(180000));
        QFile pdf(dir.filePath(QStringLiteral("protokoll.pdf")));
        QVERIFY2(pdf.open(QIODevice::ReadOnly), p.readAllStandardError().constData());
        QVERIFY(pdf.read(5) == "%PDF-");
        QVERIFY(pdf.size() > 1000);
        // With AK_SCREENSHOT_DIR set, the rendering is kept for a look.
        const QString keep = qEnvironmentVariable("AK_SCREENSHOT_DIR");
        if (!keep.isEmpty()) {
            QFile::remove(keep + QStringLiteral("/office-") + kind + QStringLiteral(".pdf"));
            QFile::copy(pdf.fileName(), keep + QStringLiteral("/office-") + kind + QStringLiteral(".pdf"));
        }
    }
};

QTEST_GUILESS_MAIN(TestOfficeRender)
#include "tst_office_render.moc"
