#include "ooxml_fixture.h"
#include "protocol/xlsx_reader.h"
#include "protocol/xlsx_writer.h"
#include "results/results_table.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>
#include <clocale>
#include <cstdio>

using namespace OoxmlFixture;

namespace {

const QVector<int> allVisible(11, 50);
const QLocale kGerman(QLocale::German, QLocale::Germany);
const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);

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
        QTest::newRow("all columns, Platz eleventh")
            << allVisible << QVector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
        QVector<int> hidden = allVisible;
        hidden[2] = -1;
        hidden[7] = -1;
        QTest::newRow("hidden columns left out, Platz last")
            << hidden << QVector<int>{0, 1, 3, 4, 5, 6, 8, 9, 10};
        QTest::newRow("missing widths count as shown")
            << QVector<int>{50, -1} << QVector<int>{0, 2, 3, 4, 5, 6, 7, 8, 9, 10};
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
        QVERIFY2(SaveProtocolSheet(path, t, widths, QStringLiteral("Oldtimertreffen"), kGerman, &error),
                 qPrintable(error));
        QVector<QStringList> rows;
        QVERIFY2(readFirstSheet(path, &rows, &error, QLatin1Char(',')), qPrintable(error));
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
        QVERIFY(SaveProtocolSheet(path, t, allVisible, QStringLiteral("Treffen <2024> & mehr"), kGerman,
                                  nullptr));
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
        for (const char* ref : {"A2", "E4", "G2", "H2"})
            QVERIFY2(styles.value(QLatin1String(ref)).numFmt.isEmpty(), ref);
        // A year stored as a number shows as a whole number.
        QCOMPARE(styles.value(QStringLiteral("E2")).numFmt, QStringLiteral("0"));
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
        QVERIFY(SaveProtocolSheet(path, t, allVisible, QString(), kGerman, nullptr));
        QXmlStreamReader xml(readPart(path, QStringLiteral("xl/worksheets/sheet1.xml")));
        QMap<int, double> widths;
        while (!xml.atEnd())
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("col"))
                widths[xml.attributes().value(QLatin1String("min")).toInt()] =
                    xml.attributes().value(QLatin1String("width")).toDouble();
        QCOMPARE(widths.size(), 11); // St.Nr. to Platz
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
        QVERIFY(!SaveProtocolSheet(path, t, allVisible, QString(), kGerman, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("vorher"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
        QVERIFY(!SaveProtocolSheet(dir.filePath(QStringLiteral("fehlt/p.xlsx")), t, allVisible, QString(),
                                   kGerman, &error));
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
        QTest::addColumn<QString>("message"); // a part of the German message
        QTest::newRow("not a zip file") << QByteArray("text") << "keine Office-Datei (kein ZIP-Archiv)";
        QTest::newRow("file missing") << QByteArray("missing") << "gibt es nicht";
        QTest::newRow("missing sheet part") << QByteArray("nosheet") << "es fehlt der Teil";
        QTest::newRow("broken sheet xml") << QByteArray("badxml") << "beschädigt";
        QTest::newRow("shared string out of range") << QByteArray("badindex") << "ungültigen Zellwert";
        QTest::newRow("only a chart sheet") << QByteArray("chartonly") << "kein Tabellenblatt";
        QTest::newRow("zip bomb: sheet unpacks to 64 MiB + 1")
            << QByteArray("sheetbomb") << "größer als 64 MiB";
        QTest::newRow("zip bomb: strings unpack to 64 MiB + 1")
            << QByteArray("stringbomb") << "größer als 64 MiB";
        QTest::newRow("text in row 100 001") << QByteArray("toolong") << "mehr als 100 000 Zeilen";
    }
    void unreadableWorkbookLeavesTableUnchanged()
    {
        QFETCH(QByteArray, kind);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("x.xlsx"));
        constexpr qsizetype limit = OfficeOpen::ZipPackage::maxPartSize;
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
        } else if (kind == "chartonly") {
            Parts parts = workbookParts("<row><c><v>1</v></c></row>", {}, true);
            // The workbook lists only the chart sheet.
            parts[1].second.replace("<sheet name=\"Eins\" sheetId=\"3\" r:id=\"rId7\"/>", "");
            QVERIFY(writePackage(path, parts));
        } else if (kind == "sheetbomb" || kind == "stringbomb") {
            // Valid XML that unpacks to one byte more than allowed: blanks between the
            // elements, which deflate to almost nothing.
            const QByteArray head =
                kind == "sheetbomb" ? "<?xml version=\"1.0\"?><worksheet " + spreadsheetNs() + "><sheetData>"
                                    : "<?xml version=\"1.0\"?><sst " + spreadsheetNs() + ">";
            const QByteArray tail = kind == "sheetbomb" ? "</sheetData></worksheet>" : "</sst>";
            QByteArray big = head;
            big.append(QByteArray(limit + 1 - head.size() - tail.size(), ' '));
            big.append(tail);
            QCOMPARE(big.size(), limit + 1);
            Parts parts = workbookParts("<row><c t=\"s\"><v>0</v></c></row>", "<si><t>a</t></si>");
            for (auto& p : parts)
                if (p.first == (kind == "sheetbomb" ? QStringLiteral("xl/worksheets/blatt.xml")
                                                    : QStringLiteral("xl/strings.xml")))
                    p.second = big;
            QVERIFY(writePackage(path, parts));
            QVERIFY2(QFileInfo(path).size() < 1024 * 1024, "the bomb is a small file");
        } else if (kind == "toolong") {
            QVERIFY(writeWorkbook(path, "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>"
                                        "<row r=\"100001\"><c r=\"B100001\"><v>2</v></c></row>"));
        }
        ResultsTable t;
        fillSample(t);
        const auto before = t.rows();
        QString error;
        QVERIFY(!LoadProtocolSheet(path, t, &error));
        QVERIFY2(error.contains(message), qPrintable(error));
        QCOMPARE(t.rows(), before);
    }

    void readerLimits_data()
    {
        QTest::addColumn<QByteArray>("sheet");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("lastRowLength");
        QTest::newRow("text in row 100 000 is read")
            << QByteArray("<row r=\"100000\"><c r=\"A100000\"><v>1</v></c></row>") << 100000 << 1;
        QTest::newRow("an empty cell in the last sheet row is no data")
            << QByteArray("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>"
                          "<row r=\"1048576\"><c r=\"A1048576\" s=\"1\"/></row>")
            << 1 << 1;
        QTest::newRow("text below row 100 000 in an unused column is ignored")
            << QByteArray("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>"
                          "<row r=\"200000\"><c r=\"L200000\"><v>1</v></c></row>")
            << 1 << 1;
        QTest::newRow("a cell in column XFD keeps the row short")
            << QByteArray("<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"XFD1\"><v>2</v></c></row>") << 1 << 1;
        QTest::newRow("column K is the last kept")
            << QByteArray("<row r=\"1\"><c r=\"K1\"><v>1</v></c><c r=\"L1\"><v>2</v></c></row>") << 1 << 11;
    }
    void readerLimits()
    {
        QFETCH(QByteArray, sheet);
        QFETCH(int, rows);
        QFETCH(int, lastRowLength);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("x.xlsx"));
        QVERIFY(writeWorkbook(path, sheet));
        QVector<QStringList> read;
        QString error;
        QVERIFY2(readFirstSheet(path, &read, &error), qPrintable(error));
        QCOMPARE(read.size(), rows);
        QCOMPARE(read.last().size(), lastRowLength);
    }

    void chartSheetListedFirstIsSkipped()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("diagramm.xlsx"));
        QVERIFY(writeWorkbook(
            path, "<row><c t=\"inlineStr\"><is><t>St.Nr.</t></is></c></row><row><c><v>7</v></c></row>", {},
            true));
        ResultsTable t;
        QString error;
        QVERIFY2(LoadProtocolSheet(path, t, &error), qPrintable(error));
        QCOMPARE(t.rowCount(), 2);
        QCOMPARE(t.cell(ResultsTable::StNr, 1), QStringLiteral("7"));
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
        // The table before loading holds the sample: Platz 1, 2, EL in rows 1 to 3; none
        // of it may land on the rows loaded.
        QTest::newRow("without an eleventh column Platz is empty")
            << QVector<QStringList>{h.mid(0, 10), {"5", "Eva"}, {"6", "Udo"}}
            << QVector<QStringList>{h, row("5", "Eva", ""), row("6", "Udo", "")};
        QTest::newRow("Platz from the eleventh column, marks on their rows")
            << QVector<QStringList>{h,
                                    {"1", "", "", "", "", "", "", "", "", "", "AUS"},
                                    {"2"},
                                    {"3", "", "", "", "", "", "", "", "", "", "EL"}}
            << QVector<QStringList>{h, row("1", "", "AUS"), row("2", "", ""), row("3", "", "EL")};
        QTest::newRow("header Platz from the sheet")
            << QVector<QStringList>{{"St.Nr.", "", "", "", "", "", "", "", "", "", "Rang"}, {"5"}}
            << QVector<QStringList>{[&] {
                                        QStringList x = h;
                                        x[10] = QStringLiteral("Rang");
                                        return x;
                                    }(),
                                    row("5", "", "")};
        QStringList custom = h;
        custom[1] = QStringLiteral("Lenker");
        custom[2] = QString();
        custom[3] = QStringLiteral("  ");
        QStringList restored = h;
        restored[1] = QStringLiteral("Lenker");
        QTest::newRow("empty and blank titles restored") << QVector<QStringList>{custom.mid(0, 10), {"5"}}
                                                         << QVector<QStringList>{restored, row("5", "", "")};
        QTest::newRow("rows after an empty start number stay")
            << QVector<QStringList>{h, {"5"}, {"6"}, {"", "Lücke"}, {"8"}}
            << QVector<QStringList>{h, row("5", "", ""), row("6", "", ""), row("", "Lücke", ""),
                                    row("8", "", "")};
        QTest::newRow("an empty row between rows stays")
            << QVector<QStringList>{h, {"5"}, {}, {"8"}}
            << QVector<QStringList>{h, row("5", "", ""), e, row("8", "", "")};
        QTest::newRow("a blank first cell is not empty")
            << QVector<QStringList>{h, {" ", "Anna"}} << QVector<QStringList>{h, row(" ", "Anna", "")};
        QTest::newRow("exactly one data row")
            << QVector<QStringList>{h, {"9"}} << QVector<QStringList>{h, row("9", "", "")};
        QTest::newRow("header only gives the empty table under that header")
            << QVector<QStringList>{restored.mid(0, 10)} << QVector<QStringList>{restored, e};
        QTest::newRow("empty sheet gives the empty table")
            << QVector<QStringList>{} << QVector<QStringList>{h, e};
        QStringList titled = h;
        titled[1] = QStringLiteral("x");
        QTest::newRow("empty first cell in row 1: header restored, rows read")
            << QVector<QStringList>{{"", "x"}, {"5"}} << QVector<QStringList>{titled, row("5", "", "")};
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
        QVERIFY(SaveProtocolSheet(path, saved, allVisible, QString(), kGerman, nullptr));
        ResultsTable loaded;
        QString error;
        QVERIFY2(LoadProtocolSheet(path, loaded, &error, QLatin1Char(',')), qPrintable(error));
        QCOMPARE(loaded.rows(), saved.rows());
    }

    void numberCells_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("english");
        QTest::addColumn<bool>("number");
        QTest::addColumn<double>("value");
        QTest::newRow("Baujahr 1955") << 4 << "1955" << false << true << 1955.0;
        QTest::newRow("Baujahr 0") << 4 << "0" << false << true << 0.0;
        QTest::newRow("Baujahr 9") << 4 << "9" << false << true << 9.0;
        QTest::newRow("Baujahr with a leading zero stays text") << 4 << "01955" << false << false << 0.0;
        QTest::newRow("Baujahr 19,5 stays text") << 4 << "19,5" << false << false << 0.0;
        QTest::newRow("StrafG 0") << 5 << "0" << false << true << 0.0;
        QTest::newRow("StrafG dash stays text") << 5 << "-" << false << false << 0.0;
        QTest::newRow("StrafG +3 stays text") << 5 << "+3" << false << false << 0.0;
        QTest::newRow("StrafZ 2,5 German") << 8 << "2,5" << false << true << 2.5;
        QTest::newRow("StrafZ 2.5 English") << 8 << "2.5" << true << true << 2.5;
        QTest::newRow("StrafZ 2.5 German stays text") << 8 << "2.5" << false << false << 0.0;
        QTest::newRow("Ges. 2,50 stays text") << 9 << "2,50" << false << false << 0.0;
        QTest::newRow("Ges. with a blank stays text") << 9 << " 3" << false << false << 0.0;
        QTest::newRow("Ges. EL stays text") << 9 << "EL" << false << false << 0.0;
        QTest::newRow("Ges. empty stays blank") << 9 << "" << false << false << 0.0;
        QTest::newRow("Ges. 15 digits") << 9 << "123456789012345" << false << true << 123456789012345.0;
        QTest::newRow("Ges. 16 digits stay text") << 9 << "1234567890123456" << false << false << 0.0;
        QTest::newRow("times stay text") << 7 << "59" << false << false << 0.0;
        QTest::newRow("St.Nr. stays text") << 0 << "7" << false << false << 0.0;
        QTest::newRow("Platz stays text") << 10 << "1" << false << false << 0.0;
    }
    void numberCells()
    {
        QFETCH(int, column);
        QFETCH(QString, text);
        QFETCH(bool, english);
        QFETCH(bool, number);
        QFETCH(double, value);
        double v = -1;
        QCOMPARE(workbookNumber(column, text, english ? kEnglish : kGerman, &v), number);
        if (number)
            QCOMPARE(v, value);
    }

    void numberCellsInTheFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.xlsx"));
        ResultsTable t;
        fillSample(t);
        QVERIFY(SaveProtocolSheet(path, t, allVisible, QString(), kGerman, nullptr));
        // Cell reference -> (type attribute, value) as the file stores them.
        QMap<QString, QPair<QString, QString>> cells;
        QXmlStreamReader xml(readPart(path, QStringLiteral("xl/worksheets/sheet1.xml")));
        QString ref;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == QLatin1String("c")) {
                ref = xml.attributes().value(QLatin1String("r")).toString();
                cells[ref].first = xml.attributes().value(QLatin1String("t")).toString();
            } else if (xml.name() == QLatin1String("v")) {
                cells[ref].second = xml.readElementText();
            }
        }
        using Cell = QPair<QString, QString>;
        // Numbers: year, skill points, penalty points and total of the data rows.
        QCOMPARE(cells.value("E2"), Cell("", "1955"));
        QCOMPARE(cells.value("F2"), Cell("", "2"));
        QCOMPARE(cells.value("I3"), Cell("", "2.5"));
        QCOMPARE(cells.value("J3"), Cell("", "5.5"));
        // Text: header, times, marks, start numbers and ranks.
        for (const char* r : {"E1", "F1", "G2", "H3", "F4", "J4", "A2", "K2", "K4"})
            QVERIFY2(cells.value(QLatin1String(r)).first == QLatin1String("s"), r);
    }

    void writerIgnoresTheProcessLocale()
    {
        // Under German regional settings printf writes "2,5"; the file must say 2.5.
        const QByteArray old = setlocale(LC_NUMERIC, nullptr);
        if (!setlocale(LC_NUMERIC, "de_DE.UTF-8"))
            QSKIP("the German locale is not installed");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.xlsx"));
        ResultsTable t;
        fillSample(t);
        const bool ok = SaveProtocolSheet(path, t, allVisible, QString(), kGerman, nullptr);
        char probe[16];
        std::snprintf(probe, sizeof probe, "%.1f", 2.5);
        setlocale(LC_NUMERIC, old.constData());
        QVERIFY(ok);
        QCOMPARE(QByteArray(probe), QByteArray("2,5")); // the guard ended with the writer
        const QByteArray sheet = readPart(path, QStringLiteral("xl/worksheets/sheet1.xml"));
        QVERIFY(sheet.contains("<v>2.5</v>"));
        QVERIFY(sheet.contains("left=\"0.7\""));
        QVERIFY(!sheet.contains("width=\"") || !QRegularExpression(QStringLiteral("width=\"[0-9]+,"))
                                                    .match(QString::fromUtf8(sheet))
                                                    .hasMatch());
    }
};

QTEST_GUILESS_MAIN(TestProtocolSheet)
#include "tst_protocol_sheet.moc"
