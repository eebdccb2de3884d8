#include "ooxml_fixture.h"
#include "protocol/docx_writer.h"
#include "results/results_table.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include <sys/stat.h>

using namespace OoxmlFixture;

namespace {

struct DocTable {
    int tables = 0;
    QVector<QStringList> rows; // cell texts of the (first) table
    bool headerRepeated = false;
    bool headerBold = false;
    bool bordered = false;
    QStringList bodyOrder; // local names of the body's children
    QString textOutsideTables;
};

DocTable parseDocument(const QByteArray& xmlData)
{
    DocTable d;
    QXmlStreamReader xml(xmlData);
    int depthInTable = 0;
    int depth = 0;
    int bodyDepth = -1;
    int rowIndex = -1;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            ++depth;
            const auto n = xml.name();
            if (n == QLatin1String("body"))
                bodyDepth = depth;
            else if (depth == bodyDepth + 1)
                d.bodyOrder.append(n.toString());
            if (n == QLatin1String("tbl")) {
                if (++depthInTable == 1)
                    ++d.tables;
            } else if (n == QLatin1String("tblBorders")) {
                d.bordered = true;
            } else if (n == QLatin1String("tr") && d.tables == 1) {
                d.rows.append(QStringList());
                ++rowIndex;
            } else if (n == QLatin1String("tblHeader") && rowIndex == 0) {
                d.headerRepeated = true;
            } else if (n == QLatin1String("b") && rowIndex == 0 && d.tables == 1) {
                d.headerBold = true;
            } else if (n == QLatin1String("tc") && d.tables == 1 && depthInTable == 1) {
                d.rows.last().append(QString());
            } else if (n == QLatin1String("tab") && depthInTable > 0) {
                d.rows.last().last() += QLatin1Char('\t');
            } else if (n == QLatin1String("t")) {
                const QString text = xml.readElementText();
                --depth;
                if (depthInTable > 0)
                    d.rows.last().last() += text;
                else
                    d.textOutsideTables += text + QLatin1Char('|');
            }
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
            if (xml.name() == QLatin1String("tbl"))
                --depthInTable;
        }
    }
    return d;
}

const char* docStart = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                       "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
                       "<w:body>";

} // namespace

class TestWordExport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void documentHoldsTheWholeTable()
    {
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("2024-05-01-10-00.docx"));
        ResultsTable t;
        fillSample(t);
        t.setCell(ResultsTable::Marke, 1, QStringLiteral("Lanz\tBulldog"));
        QString error;
        QVERIFY2(ExportToWordFile(wordTemplatePath(), out, t, &error), qPrintable(error));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);

        const QByteArray xml = readPart(out, QStringLiteral("word/document.xml"));
        const DocTable d = parseDocument(xml);
        QCOMPARE(d.tables, 1);
        QCOMPARE(d.rows.size(), t.rowCount());
        for (int r = 0; r < t.rowCount(); ++r) {
            QCOMPARE(d.rows[r].size(), ResultsTable::ColumnCount);
            QCOMPARE(d.rows[r], t.row(r)); // no quoting, nothing dropped or merged
        }
        QVERIFY(d.headerRepeated);
        QVERIFY(d.headerBold);
        QVERIFY(d.bordered);
        QVERIFY(xml.contains("Anna &lt;Sepp&gt; &amp; Co"));
        // The marker paragraph is replaced; the heading stays above the table.
        QVERIFY(!xml.contains("[[TABELLE]]"));
        QCOMPARE(d.textOutsideTables, QStringLiteral("Zeitenprotokoll|Acker Klassik|"));
        QCOMPARE(d.bodyOrder, (QStringList{"p", "p", "tbl", "p", "sectPr"}));
        // The other parts of the template are carried over.
        QCOMPARE(readPart(out, QStringLiteral("word/styles.xml")),
                 readPart(wordTemplatePath(), QStringLiteral("word/styles.xml")));
    }

    void markerPlacement_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QStringList>("order");
        QTest::addColumn<QString>("outside");
        QTest::newRow("marker split over runs")
            << QByteArray(
                   "<w:p><w:r><w:t>[[TAB</w:t></w:r><w:r><w:t>ELLE]]</w:t></w:r></w:p><w:p/><w:sectPr/>")
            << QStringList{"tbl", "p", "sectPr"} << QString();
        QTest::newRow("marker as last paragraph gets one after the table")
            << QByteArray("<w:p><w:r><w:t>Kopf</w:t></w:r></w:p><w:p><w:r><w:t>[[TABELLE]]</w:t></w:r></w:p>"
                          "<w:sectPr/>")
            << QStringList{"p", "tbl", "p", "sectPr"} << QStringLiteral("Kopf|");
        QTest::newRow("indented with line breaks")
            << QByteArray("\r\n  <w:p>\r\n    <w:r><w:t>[[TABELLE]]</w:t></w:r>\r\n  </w:p>\r\n  <w:p/>\r\n")
            << QStringList{"tbl", "p"} << QString();
        QTest::newRow("no marker: table at the end")
            << QByteArray("<w:p><w:r><w:t>Kopf</w:t></w:r></w:p><w:sectPr/>")
            << QStringList{"p", "tbl", "p", "sectPr"} << QStringLiteral("Kopf|");
        QTest::newRow("no marker, no section")
            << QByteArray("<w:p/>") << QStringList{"p", "tbl", "p"} << QString();
        QTest::newRow("text before the marker beyond Latin-1")
            << QByteArray("<w:p><w:r><w:t>Grüße \xF0\x9F\x9A\x9C Übersicht</w:t></w:r></w:p>"
                          "<w:p><w:r><w:t>[[TABELLE]]</w:t></w:r></w:p><w:p/>")
            << QStringList{"p", "tbl", "p"} << QStringLiteral("Grüße \U0001F69C Übersicht|");
        QTest::newRow("only the first marker is replaced")
            << QByteArray("<w:p><w:r><w:t>[[TABELLE]]</w:t></w:r></w:p><w:p><w:r><w:t>[[TABELLE]]</w:t></w:r>"
                          "</w:p>")
            << QStringList{"tbl", "p"} << QStringLiteral("[[TABELLE]]|");
    }
    void markerPlacement()
    {
        QFETCH(QByteArray, body);
        QFETCH(QStringList, order);
        QFETCH(QString, outside);
        ResultsTable t;
        fillSample(t);
        QByteArray result;
        QString error;
        QVERIFY2(insertTableIntoDocument(docStart + body + "</w:body></w:document>", t, &result, &error),
                 qPrintable(error));
        const DocTable d = parseDocument(result);
        QCOMPARE(d.bodyOrder, order);
        QCOMPARE(d.textOutsideTables, outside);
        QCOMPARE(d.rows.size(), t.rowCount());
    }

    void headingAboveTheTable_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("outside");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("title and date") << "Sommerfest <Ost> & West"
                                        << "Kopf|Sommerfest <Ost> & West|Stand: 01.05.26 14:30|"
                                        << QStringList{"p", "p", "p", "tbl", "p"};
        QTest::newRow("empty title: only the date")
            << "  "
            << "Kopf|Stand: 01.05.26 14:30|" << QStringList{"p", "p", "tbl", "p"};
    }
    void headingAboveTheTable()
    {
        QFETCH(QString, title);
        ResultsTable t;
        fillSample(t);
        QByteArray result;
        QString error;
        const QByteArray body =
            "<w:p><w:r><w:t>Kopf</w:t></w:r></w:p><w:p><w:r><w:t>[[TABELLE]]</w:t></w:r></w:p>";
        QVERIFY2(insertTableIntoDocument(docStart + body + "</w:body></w:document>", t, &result, &error,
                                         WordHeading{title, QStringLiteral("Stand: 01.05.26 14:30")}),
                 qPrintable(error));
        const DocTable d = parseDocument(result);
        QTEST(d.textOutsideTables, "outside");
        QTEST(d.bodyOrder, "order");
        QCOMPARE(d.rows.size(), t.rowCount());
    }

    void documentIsReadableByOthers_data()
    {
        QTest::addColumn<int>("mask");
        QTest::addColumn<bool>("existing");
        QTest::addColumn<int>("mode");
        QTest::newRow("usual mask 022: 0644") << 022 << false << 0644;
        QTest::newRow("group-writable mask 002: 0664") << 002 << false << 0664;
        QTest::newRow("private mask 077: 0600") << 077 << false << 0600;
        QTest::newRow("replaced file keeps its 0640") << 022 << true << 0640;
    }
    void documentIsReadableByOthers()
    {
        QFETCH(int, mask);
        QFETCH(bool, existing);
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("protokoll.docx"));
        if (existing) {
            QFile old(out);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.close();
            QVERIFY(::chmod(QFile::encodeName(out).constData(), 0640) == 0);
        }
        ResultsTable t;
        fillSample(t);
        const mode_t before = ::umask(mode_t(mask));
        QString error;
        const bool ok = ExportToWordFile(wordTemplatePath(), out, t, &error);
        ::umask(before);
        QVERIFY2(ok, qPrintable(error));
        struct stat st {};
        QVERIFY(::stat(QFile::encodeName(out).constData(), &st) == 0);
        QTEST(int(st.st_mode & 0777), "mode");
    }

    void unsafeCellTextStaysWellFormed()
    {
        ResultsTable t;
        t.setCell(1, 1,
                  QStringLiteral("a\x01"
                                 "b\nc]]>&amp;"));
        t.setCell(2, 1, QString(QChar(0xD800)) + QStringLiteral("x"));
        QByteArray result;
        QVERIFY(insertTableIntoDocument(QByteArray(docStart) + "<w:p/></w:body></w:document>", t, &result,
                                        nullptr));
        const DocTable d = parseDocument(result); // a parse error would leave the rows short
        QCOMPARE(d.rows.size(), 2);
        QCOMPARE(d.rows[1][1], QStringLiteral("abc]]>&amp;"));
        QVERIFY(result.contains("<w:br/>"));
        QCOMPARE(d.rows[1][2], QStringLiteral("x"));
    }

    void failuresLeaveTheTargetAlone_data()
    {
        QTest::addColumn<QByteArray>("templateKind");
        QTest::newRow("template missing") << QByteArray("missing");
        QTest::newRow("template not a package") << QByteArray("text");
        QTest::newRow("template without document part") << QByteArray("nodoc");
        QTest::newRow("broken document xml") << QByteArray("badxml");
    }
    void failuresLeaveTheTargetAlone()
    {
        QFETCH(QByteArray, templateKind);
        QTemporaryDir dir;
        const QString tpl = dir.filePath(QStringLiteral("vorlage.docx"));
        if (templateKind == "text") {
            QFile f(tpl);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("keine Vorlage");
        } else if (templateKind == "nodoc") {
            QVERIFY(writePackage(tpl, {{QStringLiteral("word/styles.xml"), "<w:styles/>"}}));
        } else if (templateKind == "badxml") {
            QVERIFY(
                writePackage(tpl, {{QStringLiteral("word/document.xml"), QByteArray(docStart) + "<w:p>"}}));
        }
        const QString out = dir.filePath(QStringLiteral("alt.docx"));
        QFile old(out);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("vorher");
        old.close();
        ResultsTable t;
        fillSample(t);
        QString error;
        QVERIFY(!ExportToWordFile(tpl, out, t, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("vorher"));
        QVERIFY(!QDir(dir.path())
                     .entryList(QDir::Files | QDir::Hidden)
                     .join(QLatin1Char(' '))
                     .contains(QStringLiteral("alt.docx.")));
    }
};

QTEST_GUILESS_MAIN(TestWordExport)
#include "tst_word_export.moc"
