#include "ooxml_fixture.h"
#include "protocol/xlsx_reader.h"
#include "protocol/xlsx_writer.h"
#include "results/results_table.h"

#include <QDir>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

using namespace OoxmlFixture;

namespace {

const QVector<int> allVisible(11, 50);

struct CellStyle {
    bool bold = false;
    QString numFmt;
    QString border;
};

// Cell reference -> its font weight, number format and left border style.
QMap<QString, CellStyle> cellStyles(const QString& path)
{
    QMap<QString, QString> formats;
    QVector<bool> fontBold;
    QVector<QString> borders;
    QVector<CellStyle> xfs;
    QXmlStreamReader st(readPart(path, QStringLiteral("xl/styles.xml")));
    QString section;
    while (!st.atEnd()) {
        if (st.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto n = st.name();
        const auto a = st.attributes();
        if (n == QLatin1String("fonts") || n == QLatin1String("borders") || n == QLatin1String("cellXfs") ||
            n == QLatin1String("cellStyleXfs"))
            section = n.toString();
        else if (n == QLatin1String("numFmt"))
            formats[a.value(QLatin1String("numFmtId")).toString()] =
                a.value(QLatin1String("formatCode")).toString();
        else if (n == QLatin1String("font"))
            fontBold.append(false);
        else if (n == QLatin1String("b") && section == QLatin1String("fonts"))
            fontBold.last() = true;
        else if (n == QLatin1String("border"))
            borders.append(QString());
        else if (n == QLatin1String("left") && section == QLatin1String("borders"))
            borders.last() = a.value(QLatin1String("style")).toString();
        else if (n == QLatin1String("xf") && section == QLatin1String("cellXfs"))
            xfs.append({fontBold.value(a.value(QLatin1String("fontId")).toInt()),
                        formats.value(a.value(QLatin1String("numFmtId")).toString()),
                        borders.value(a.value(QLatin1String("borderId")).toInt())});
    }
    QMap<QString, CellStyle> cells;
    QXmlStreamReader sh(readPart(path, QStringLiteral("xl/worksheets/sheet1.xml")));
    while (!sh.atEnd())
        if (sh.readNext() == QXmlStreamReader::StartElement && sh.name() == QLatin1String("c"))
            cells[sh.attributes().value(QLatin1String("r")).toString()] =
                xfs.value(sh.attributes().value(QLatin1String("s")).toInt());
    return cells;
}

QStringList firstCells(const QStringList& row, int n)
{
    QStringList out = row.mid(0, n);
    while (out.size() < n)
        out.append(QString());
    return out;
}

} // namespace

class TestProtocolSheet : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void savedWorkbookReadsBackCellForCell_data()
    {
        QTest::addColumn<QVector<int>>("widths");
        QTest::addColumn<QVector<int>>("exported");
        QTest::newRow("all columns, Platz never") << allVisible << QVector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
        QVector<int> hidden = allVisible;
        hidden[2] = -1;
        hidden[7] = -1;
        QTest::newRow("hidden columns left out") << hidden << QVector<int>{0, 1, 3, 4, 5, 6, 8, 9};
        QTest::newRow("missing widths count as shown")
            << QVector<int>{50, -1} << QVector<int>{0, 2, 3, 4, 5, 6, 7, 8, 9};
    }
    void savedWorkbookReadsBackCellForCell()
    {
        QFETCH(QVector<int>, widths);
        QFETCH(QVector<int>, exported);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("protokoll.xlsx"));
        ResultsTable t;
        fillSample(t);
        QString error;
        QVERIFY2(
            SaveProtocolSheet(path, t, widths, QStringLiteral("Oldtimertreffen"), QLatin1Char(','), &error),
            qPrintable(error));
        QVector<QStringList> rows;
        QVERIFY2(readFirstSheet(path, &rows, &error), qPrintable(error));
        QCOMPARE(rows.size(), t.rowCount());
        for (int r = 0; r < t.rowCount(); ++r) {
            QStringList expected;
            for (int c : exported)
                expected.append(t.cell(c, r));
            QCOMPARE(firstCells(rows[r], int(exported.size())), expected);
            QVERIFY(rows[r].size() <= int(exported.size()));
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("protokoll.xlsx")});
    }

    void workbookCarriesLayoutAndProperties()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.xlsx"));
        ResultsTable t;
        fillSample(t);
        QVERIFY(SaveProtocolSheet(path, t, allVisible, QStringLiteral("Treffen <2024> & mehr"),
                                  QLatin1Char(','), nullptr));
        QVERIFY(readPart(path, QStringLiteral("xl/workbook.xml")).contains("name=\"Acker Klassik\""));
        QVERIFY(
            readPart(path, QStringLiteral("xl/worksheets/sheet1.xml")).contains("orientation=\"landscape\""));
        const QByteArray core = readPart(path, QStringLiteral("docProps/core.xml"));
        QVERIFY(core.contains("<dc:creator>Ruvanta-Werk Software</dc:creator>"));
        QVERIFY(core.contains("<dc:title>Treffen &lt;2024&gt; &amp; mehr</dc:title>"));

        const auto styles = cellStyles(path);
        // Row 1 bold with hairline borders, data rows plain with thin borders.
        QVERIFY(styles.value(QStringLiteral("A1")).bold);
        QCOMPARE(styles.value(QStringLiteral("A1")).border, QStringLiteral("hair"));
        QVERIFY(!styles.value(QStringLiteral("A2")).bold);
        QCOMPARE(styles.value(QStringLiteral("B4")).border, QStringLiteral("thin"));
        // Points format on the fixed sheet columns 6, 9, 10 (in the range) and 11..17 (beyond it).
        for (const char* ref : {"F1", "F4", "I2", "J4", "K1", "N3", "O4", "Q2"})
            QCOMPARE(styles.value(QLatin1String(ref)).numFmt, QStringLiteral("0.00"));
        for (const char* ref : {"A2", "E2", "G2", "H2"})
            QVERIFY2(styles.value(QLatin1String(ref)).numFmt.isEmpty(), ref);
        QVERIFY(!styles.contains(QStringLiteral("L1")));
        QVERIFY(!styles.contains(QStringLiteral("A5")));
    }

    void columnWidthsFollowTheLongestText()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.xlsx"));
        ResultsTable t;
        fillSample(t);
        t.setCell(1, 2, QString(60, QLatin1Char('x')));
        QVERIFY(SaveProtocolSheet(path, t, allVisible, QString(), QLatin1Char(','), nullptr));
        QXmlStreamReader xml(readPart(path, QStringLiteral("xl/worksheets/sheet1.xml")));
        QMap<int, double> widths;
        while (!xml.atEnd())
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("col"))
                widths[xml.attributes().value(QLatin1String("min")).toInt()] =
                    xml.attributes().value(QLatin1String("width")).toDouble();
        QCOMPARE(widths.size(), 10);
        QVERIFY(widths[2] >= fittedColumnWidth(QString(60, QLatin1Char('x')), false));
        QVERIFY(widths[2] > 4 * widths[1]);
        QVERIFY(widths[1] < 12);
        QVERIFY(widths[1] >= fittedColumnWidth(QStringLiteral("St.Nr."), true) - 1);
    }

    void failedSaveKeepsTheExistingFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("alt.xlsx"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("vorher");
        old.close();
        ResultsTable t;
        t.setCell(1, 1, QString(40000, QLatin1Char('a'))); // beyond what a cell can hold
        QString error;
        QVERIFY(!SaveProtocolSheet(path, t, allVisible, QString(), QLatin1Char(','), &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("vorher"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
        QVERIFY(!SaveProtocolSheet(dir.filePath(QStringLiteral("fehlt/p.xlsx")), t, allVisible, QString(),
                                   QLatin1Char(','), &error));
    }

    void readerHandlesForeignWorkbooks()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("fremd.xlsx"));
        // Shared strings with rich-text runs and a phonetic guide, inline strings,
        // numbers, a formula result, gaps between cells and rows, escaped control characters.
        const QByteArray shared =
            "<si><t>St.Nr.</t></si>"
            "<si><r><t>Fah</t></r><r><rPr><b/></rPr><t>rer</t></r><rPh><t>x</t></rPh></si>"
            "<si><t>a_x000D_b</t></si>";
        const QByteArray sheet =
            "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c>"
            "<c r=\"D1\" t=\"inlineStr\"><is><t xml:space=\"preserve\"> Marke </t></is></c></row>"
            "<row r=\"2\"><c r=\"A2\"><v>12</v></c><c r=\"B2\" t=\"s\"><v>2</v></c>"
            "<c r=\"F2\"><v>2.5</v></c><c r=\"G2\" t=\"str\"><f>A1</f><v>x&amp;y</v></c></row>"
            "<row r=\"4\"><c><v>7</v></c><c><v>0.1</v></c></row>";
        QVERIFY(writeWorkbook(path, sheet, shared));
        QVector<QStringList> rows;
        QString error;
        QVERIFY2(readFirstSheet(path, &rows, &error, QLatin1Char(',')), qPrintable(error));
        QCOMPARE(rows.size(), 4);
        QCOMPARE(rows[0], (QStringList{"St.Nr.", "Fahrer", "", " Marke "}));
        QCOMPARE(rows[1], (QStringList{"12", "a\rb", "", "", "", "2,5", "x&y"}));
        QCOMPARE(rows[2], QStringList());
        QCOMPARE(rows[3], (QStringList{"7", "0,1"}));
    }

    void unreadableWorkbookLeavesTableUnchanged_data()
    {
        QTest::addColumn<QByteArray>("kind");
        QTest::newRow("not a zip file") << QByteArray("text");
        QTest::newRow("missing sheet part") << QByteArray("nosheet");
        QTest::newRow("broken sheet xml") << QByteArray("badxml");
        QTest::newRow("shared string out of range") << QByteArray("badindex");
        QTest::newRow("file missing") << QByteArray("missing");
    }
    void unreadableWorkbookLeavesTableUnchanged()
    {
        QFETCH(QByteArray, kind);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("x.xlsx"));
        if (kind == "text") {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("St.Nr.\tFahrer\r\n");
        } else if (kind == "nosheet") {
            QVERIFY(writePackage(path, {{QStringLiteral("xl/workbook.xml"), "<workbook/>"}}));
        } else if (kind == "badxml") {
            QVERIFY(writeWorkbook(path, "<row r=\"1\"><c r=\"A1\"><v>1</v></row>"));
        } else if (kind == "badindex") {
            QVERIFY(writeWorkbook(path, "<row><c t=\"s\"><v>5</v></c></row>", "<si><t>a</t></si>"));
        }
        ResultsTable t;
        fillSample(t);
        const auto before = t.rows();
        QString error;
        QVERIFY(!LoadProtocolSheet(path, t, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(t.rows(), before);
    }

    void loadRules_data()
    {
        QTest::addColumn<QVector<QStringList>>("sheet");
        QTest::addColumn<QVector<QStringList>>("expected");
        const QStringList h = ResultsTable::defaultHeaders();
        const QStringList e = ResultsTable::emptyRow();
        auto row = [](const QString& a, const QString& b, const QString& platz) {
            QStringList r = ResultsTable::emptyRow();
            r[0] = a;
            r[1] = b;
            r[10] = platz;
            return r;
        };
        // The table before loading holds the sample: Platz 1, 2, EL in rows 1 to 3.
        QTest::newRow("Platz keeps what the row held")
            << QVector<QStringList>{h.mid(0, 10), {"5", "Eva"}, {"6", "Udo"}}
            << QVector<QStringList>{h, row("5", "Eva", "1"), row("6", "Udo", "2")};
        QTest::newRow("rows beyond the old table get an empty Platz")
            << QVector<QStringList>{h, {"1"}, {"2"}, {"3"}, {"4"}, {"5"}}
            << QVector<QStringList>{h,
                                    row("1", "", "1"),
                                    row("2", "", "2"),
                                    row("3", "", "EL"),
                                    row("4", "", ""),
                                    row("5", "", "")};
        QTest::newRow("an eleventh sheet column is not read")
            << QVector<QStringList>{h, {"5", "Eva", "", "", "", "", "", "", "", "", "99"}}
            << QVector<QStringList>{h, row("5", "Eva", "1")};
        QStringList custom = h;
        custom[1] = QStringLiteral("Lenker");
        custom[2] = QString();
        custom[3] = QStringLiteral("  ");
        QStringList restored = h;
        restored[1] = QStringLiteral("Lenker");
        QTest::newRow("empty and blank titles restored") << QVector<QStringList>{custom.mid(0, 10), {"5"}}
                                                         << QVector<QStringList>{restored, row("5", "", "1")};
        QTest::newRow("stops at the first empty first cell")
            << QVector<QStringList>{h, {"5"}, {"6"}, {"", "Lücke"}, {"8"}}
            << QVector<QStringList>{h, row("5", "", "1"), row("6", "", "2")};
        QTest::newRow("a blank first cell is not empty")
            << QVector<QStringList>{h, {" ", "Anna"}} << QVector<QStringList>{h, row(" ", "Anna", "1")};
        QTest::newRow("header only gives the empty table under that header")
            << QVector<QStringList>{restored.mid(0, 10)} << QVector<QStringList>{restored, e};
        QTest::newRow("empty sheet gives the empty table")
            << QVector<QStringList>{} << QVector<QStringList>{h, e};
        QTest::newRow("empty first cell in row 1 gives the empty table")
            << QVector<QStringList>{{"", "x"}, {"5"}} << QVector<QStringList>{h, e};
    }
    void loadRules()
    {
        QFETCH(QVector<QStringList>, sheet);
        QFETCH(QVector<QStringList>, expected);
        ResultsTable t;
        fillSample(t);
        QSignalSpy changed(&t, &ResultsTable::changed);
        applyProtocolSheet(sheet, t);
        QCOMPARE(t.rows(), expected);
        QCOMPARE(changed.size(), 1);
    }

    void loadAfterSaveRestoresTheProtocol()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.xlsx"));
        ResultsTable saved;
        fillSample(saved);
        QVERIFY(SaveProtocolSheet(path, saved, allVisible, QString(), QLatin1Char(','), nullptr));
        ResultsTable loaded;
        QString error;
        QVERIFY2(LoadProtocolSheet(path, loaded, &error), qPrintable(error));
        QCOMPARE(loaded.rowCount(), saved.rowCount());
        for (int r = 0; r < saved.rowCount(); ++r)
            QCOMPARE(loaded.row(r).mid(0, 10), saved.row(r).mid(0, 10));
        QCOMPARE(loaded.cell(ResultsTable::Platz, 0), QStringLiteral("Platz"));
    }
};

QTEST_GUILESS_MAIN(TestProtocolSheet)
#include "tst_protocol_sheet.moc"
