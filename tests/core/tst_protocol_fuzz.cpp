#include "ooxml_fixture.h"
#include "protocol/protocol_text.h"
#include "protocol/xlsx_reader.h"
#include "protocol/xlsx_writer.h"
#include "results/results_table.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace OoxmlFixture;

namespace {

const QLocale kGerman(QLocale::German, QLocale::Germany);

// Bytes that matter to the text reader, and some that do not.
const char kAlphabetBytes[] = "\t\t;;\r\n\n Nr.Nr a7,.\xFC\x80\xC3\xBC\xEF\xBB\xBF\xC5\x81\xFF\xFE";
const QByteArray kAlphabet(kAlphabetBytes, sizeof kAlphabetBytes - 1); // no terminating NUL

QByteArray randomFile(QRandomGenerator& rng)
{
    QByteArray bytes;
    const int n = rng.bounded(0, 400);
    for (int i = 0; i < n; ++i)
        bytes.append(rng.bounded(4) == 0 ? char(rng.bounded(256))
                                         : kAlphabet[rng.bounded(int(kAlphabet.size()))]);
    return bytes;
}

QByteArray mutated(QByteArray bytes, QRandomGenerator& rng, const QByteArray& alphabet)
{
    const int edits = rng.bounded(1, 8);
    for (int e = 0; e < edits && !bytes.isEmpty(); ++e) {
        const int at = rng.bounded(int(bytes.size()));
        const char c = alphabet[rng.bounded(int(alphabet.size()))];
        switch (rng.bounded(4)) {
        case 0:
            bytes[at] = c;
            break;
        case 1:
            bytes.insert(at, c);
            break;
        case 2:
            bytes.remove(at, rng.bounded(1, 6));
            break;
        default:
            bytes[at] = char(rng.bounded(256));
        }
    }
    return bytes;
}

void fillSampleTable(ResultsTable& t)
{
    t.setRow(1, {"7", "Max Bauer", "", "Lanz", "1955", "2", "0,00", "1:23,45", "0", "2", "1"});
    t.appendRow({"12", QStringLiteral("Jürgen"), "Anna", "Hanomag", "1950", "3", "0,00", "1:30,00", "2,5",
                 "5,5", "2"});
    t.appendRow({"3", "Eva", "Tom", "Deutz", "1949", "-", "EL", "EL", "-", "EL", "EL"});
    t.appendRow({"", QStringLiteral("Łukasz Nr. 5"), "", "", "", "", "", "", "", "", "AUS"});
}

QByteArray sampleProtocol()
{
    ResultsTable t;
    fillSampleTable(t);
    return protocolTextBytes(t);
}

// A text in error that is German, not one of the libraries' English ones.
bool germanError(const QString& error)
{
    static const QRegularExpression english(
        QStringLiteral("\\b(the|not|error|invalid|unexpected|archive|file|mismatch|expected)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    return !error.isEmpty() && !english.match(error).hasMatch();
}

// Pieces of sheet XML the workbook mutations insert.
const QList<QByteArray> kXmlPieces = {"<",
                                      ">",
                                      "/",
                                      "\"",
                                      "=",
                                      " ",
                                      "&",
                                      ";",
                                      "&amp;",
                                      "&#0;",
                                      "&#x10FFFF;",
                                      "<c r=\"A1\">",
                                      "<c>",
                                      "<v>",
                                      "</v>",
                                      "</c>",
                                      "<row>",
                                      "</row>",
                                      "<row r=\"100001\">",
                                      "<row r=\"0\">",
                                      "<row r=\"x\">",
                                      "t=\"s\"",
                                      "t=\"inlineStr\"",
                                      "t=\"str\"",
                                      "t=\"b\"",
                                      "<is><t>",
                                      "</t></is>",
                                      "r=\"XFD1\"",
                                      "r=\"K3\"",
                                      "r=\"XFE1\"",
                                      "r=\"A1048577\"",
                                      "1048576",
                                      "-1",
                                      "99999999999999999999",
                                      "1e308",
                                      "1e999",
                                      "NaN",
                                      "_x0041_",
                                      "_x",
                                      "<si>",
                                      "</si>",
                                      "<t>",
                                      "</t>",
                                      "<rPh>",
                                      "</rPh>",
                                      "<![CDATA[",
                                      "]]>",
                                      "<!DOCTYPE x [<!ENTITY a \"aaaa\">]>",
                                      "&a;",
                                      "<sheetData>",
                                      "</sheetData>",
                                      "r:id=\"rId7\"",
                                      "r:id=\"rId2\"",
                                      "Target=\"../../x.xml\"",
                                      "Target=\"/xl/strings.xml\"",
                                      "Id=\"rId7\"",
                                      "7",
                                      "0",
                                      "Zoë"};

QByteArray xmlMutated(QByteArray xml, QRandomGenerator& rng)
{
    const int edits = rng.bounded(1, 6);
    for (int e = 0; e < edits; ++e) {
        const int at = xml.isEmpty() ? 0 : rng.bounded(int(xml.size()) + 1);
        switch (rng.bounded(3)) {
        case 0:
            xml.insert(at, kXmlPieces[rng.bounded(int(kXmlPieces.size()))]);
            break;
        case 1:
            if (!xml.isEmpty())
                xml.remove(qMin(at, int(xml.size()) - 1), rng.bounded(1, 12));
            break;
        default:
            if (!xml.isEmpty())
                xml[qMin(at, int(xml.size()) - 1)] = char(rng.bounded(32, 127));
        }
    }
    return xml;
}

const QByteArray kSheetData =
    "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c>"
    "<c r=\"K1\" t=\"inlineStr\"><is><t>Platz</t></is></c></row>"
    "<row r=\"2\"><c r=\"A2\"><v>12</v></c><c r=\"B2\" t=\"s\"><v>2</v></c><c r=\"E2\"><v>1955</v></c>"
    "<c r=\"I2\"><v>2.5</v></c><c r=\"K2\" t=\"str\"><f>A1</f><v>AUS</v></c></row>"
    "<row r=\"4\"><c><v>7</v></c><c t=\"s\"><v>3</v></c></row>";
const QByteArray kSharedItems = "<si><t>St.Nr.</t></si><si><r><t>Fah</t></r><r><t>rer</t></r></si>"
                                "<si><t>a_x000D_b</t></si><si><t xml:space=\"preserve\"> Nr. 5 </t></si>";

// Reads one workbook and applies it; false on a refusal. What is wrong goes to problem.
bool checkSheet(const QByteArray& data, ResultsTable& table, QString* problem)
{
    QVector<QStringList> rows;
    QString error;
    if (!readFirstSheetData(data, &rows, &error, QLatin1Char(','))) {
        if (!germanError(error))
            *problem = QStringLiteral("not a German error: ") + error;
        return false;
    }
    if (rows.size() > 100000)
        *problem = QStringLiteral("too many rows: %1").arg(rows.size());
    for (const QStringList& r : rows)
        if (r.size() > ResultsTable::ColumnCount)
            *problem = QStringLiteral("a row keeps %1 columns").arg(r.size());
    applyProtocolSheet(rows, table);
    return true;
}

} // namespace

class TestProtocolFuzz : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void textReader()
    {
        QRandomGenerator rng(20070607);
        const QByteArray sample = sampleProtocol();
        ResultsTable table;
        const QStringList header = table.row(0);
        QTemporaryDir dir;
        int refused = 0;
        constexpr int rounds = 12000;
        for (int round = 0; round < rounds; ++round) {
            QByteArray bytes;
            switch (round % 4) {
            case 0:
                bytes = randomFile(rng);
                break;
            case 1:
                bytes = mutated(sample, rng, kAlphabet);
                break;
            case 2: // UTF-16 with a byte-order mark, either order
                bytes = (rng.bounded(2) ? QByteArray("\xFF\xFE") : QByteArray("\xFE\xFF")) + randomFile(rng);
                break;
            default: // CR-only line ends
                bytes = mutated(sample, rng, kAlphabet).replace("\r\n", "\r");
                break;
            }
            // Now and then a file at or beyond the line limit.
            if (round % 1000 == 999) {
                const QByteArray line = rng.bounded(2) ? QByteArray("\n") : QByteArray("\r");
                bytes = line.repeated(99999 + rng.bounded(3)) + bytes.left(3);
            }

            ProtocolTextContent content;
            content.startList = QStringList{QStringLiteral("vorher")};
            QString error;
            if (!readProtocolText(bytes, &content, &error, kGerman)) {
                ++refused;
                QVERIFY(germanError(error));
                QCOMPARE(content.startList, QStringList{QStringLiteral("vorher")});
                continue;
            }
            QVERIFY(content.startList.size() <= 100000);
            for (const QStringList& row : content.rows) {
                QCOMPARE(row.size(), ResultsTable::ColumnCount);
                for (const QString& cell : row)
                    QVERIFY(!cell.contains(QLatin1Char('\n')) && !cell.contains(QLatin1Char('\r')));
            }
            for (const QString& entry : content.startList)
                QVERIFY(!entry.contains(QLatin1Char('\n')) && !entry.contains(QLatin1Char('\r')));

            applyProtocolText(table, content);
            QCOMPARE(table.rowCount(), qMax(2, int(content.rows.size()) + 1));
            QCOMPARE(table.row(0), header);

            // Writing what was read and reading it again keeps every row whose start
            // number is no header ("Nr" or holding "Nr."); empty cells come back as spaces.
            const ProtocolTextContent again = parseProtocolText(protocolTextBytes(table), kGerman);
            QVector<QStringList> expected;
            for (int r = 1; r < table.rowCount(); ++r) {
                QStringList cells = table.row(r);
                for (QString& c : cells)
                    if (c.isEmpty())
                        c = QStringLiteral(" ");
                if (!cells[0].contains(QLatin1String("Nr.")) && cells[0] != QLatin1String("Nr"))
                    expected.append(cells);
            }
            QCOMPARE(again.rows, expected);

            // Every 500th input also goes through the file loader.
            if (round % 500 == 0) {
                const QString path = dir.filePath(QStringLiteral("f.txt"));
                QFile f(path);
                QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
                f.write(bytes);
                f.close();
                ProtocolTextContent loaded;
                QVERIFY(LoadProtocolText(path, &loaded, nullptr, kGerman));
                QCOMPARE(loaded.rows, content.rows);
            }
        }
        QVERIFY2(refused >= 5, "the line limit was reached");

        // The size limit: one byte too many is refused, by the loader without reading.
        ResultsTable kept;
        fillSampleTable(kept);
        const auto before = kept.rows();
        const QByteArray big(ProtocolTextLimits::maxBytes + 1, ';');
        QString error;
        QVERIFY(!readProtocolText(big, nullptr, &error));
        QVERIFY(germanError(error));
        const QString path = dir.filePath(QStringLiteral("gross.txt"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(big);
        f.close();
        ProtocolTextContent content;
        if (LoadProtocolText(path, &content, &error))
            applyProtocolText(kept, content);
        QCOMPARE(kept.rows(), before);
    }

    void workbookReader()
    {
        QRandomGenerator rng(19550607);
        QTemporaryDir dir;
        // A workbook the program wrote, for byte-level mutations.
        const QString savedPath = dir.filePath(QStringLiteral("lauf.xlsx"));
        {
            ResultsTable t;
            fillSampleTable(t);
            QVERIFY(SaveProtocolSheet(savedPath, t, QVector<int>(11, 50), QStringLiteral("Lauf"), kGerman,
                                      nullptr));
        }
        QFile saved(savedPath);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray written = saved.readAll();
        saved.close();
        const Parts parts = workbookParts(kSheetData, kSharedItems);
        QByteArray zipAlphabet;
        for (int c = 0; c < 256; ++c)
            zipAlphabet.append(char(c));

        ResultsTable table;
        int accepted = 0;
        constexpr int rounds = 10000;
        for (int round = 0; round < rounds; ++round) {
            QByteArray data;
            if (round % 2 == 0) {
                // One or two parts with mutated XML, packed again.
                Parts p = parts;
                const int edits = rng.bounded(1, 3);
                for (int e = 0; e < edits; ++e) {
                    auto& part = p[rng.bounded(int(p.size()))];
                    part.second = xmlMutated(part.second, rng);
                }
                if (rng.bounded(20) == 0)
                    p.removeAt(rng.bounded(int(p.size())));
                data = packageBytes(p);
            } else {
                // The program's own file with damaged bytes or cut short.
                data = mutated(written, rng, zipAlphabet);
                if (rng.bounded(10) == 0)
                    data.truncate(rng.bounded(int(data.size()) + 1));
            }
            QString problem;
            const bool read = checkSheet(data, table, &problem);
            QVERIFY2(problem.isEmpty(), qPrintable(problem));
            if (read) {
                ++accepted;
                QVERIFY(table.rowCount() >= 2);
                for (const QStringList& r : table.rows())
                    QCOMPARE(r.size(), ResultsTable::ColumnCount);
                for (const QString& title : table.row(0))
                    QVERIFY(!title.trimmed().isEmpty());
            }
            // Every 250th input goes through the loader: a refusal leaves the table as it was.
            if (round % 250 == 0) {
                const QString path = dir.filePath(QStringLiteral("f.xlsx"));
                QFile f(path);
                QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
                f.write(data);
                f.close();
                ResultsTable kept;
                fillSampleTable(kept);
                const auto before = kept.rows();
                QString error;
                if (!LoadProtocolSheet(path, kept, &error, QLatin1Char(','))) {
                    QVERIFY2(germanError(error), qPrintable(error));
                    QCOMPARE(kept.rows(), before);
                }
            }
        }
        QVERIFY2(accepted > rounds / 20, "enough inputs were read to mean something");
        QVERIFY2(accepted < rounds, "enough inputs were refused to mean something");
    }

    void workbookLimits_data()
    {
        QTest::addColumn<QByteArray>("kind");
        QTest::newRow("sheet bomb, 64 MiB + 1 of blanks") << QByteArray("sheet");
        QTest::newRow("strings bomb, 64 MiB + 1 of blanks") << QByteArray("strings");
        QTest::newRow("text in row 100 001") << QByteArray("rows");
        QTest::newRow("a cell in every column up to XFD") << QByteArray("wide");
    }
    void workbookLimits()
    {
        QFETCH(QByteArray, kind);
        Parts p = workbookParts(kSheetData, kSharedItems);
        bool refused = true;
        if (kind == "sheet" || kind == "strings") {
            const QString name = kind == "sheet" ? QStringLiteral("xl/worksheets/blatt.xml")
                                                 : QStringLiteral("xl/strings.xml");
            for (auto& part : p) {
                if (part.first != name)
                    continue;
                const qsizetype close = part.second.lastIndexOf('<');
                part.second.insert(
                    close, QByteArray(OfficeOpen::ZipPackage::maxPartSize + 1 - part.second.size(), ' '));
            }
        } else if (kind == "rows") {
            p[3].second.replace("</sheetData>",
                                "<row r=\"100001\"><c r=\"A100001\"><v>1</v></c></row></sheetData>");
        } else {
            QByteArray row = "<row r=\"5\">";
            for (int i = 0; i < 16384; ++i)
                row += "<c><v>1</v></c>";
            p[3].second.replace("</sheetData>", row + "</row></sheetData>");
            refused = false;
        }
        const QByteArray data = packageBytes(p);
        QVERIFY(data.size() < 1024 * 1024);
        ResultsTable table;
        fillSampleTable(table);
        const auto before = table.rows();
        QString problem;
        QCOMPARE(checkSheet(data, table, &problem), !refused);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        if (refused)
            QCOMPARE(table.rows(), before);
        else
            QCOMPARE(table.row(4).size(), ResultsTable::ColumnCount);
    }
};

QTEST_GUILESS_MAIN(TestProtocolFuzz)
#include "tst_protocol_fuzz.moc"
