#include "protocol/protocol_text.h"
#include "results/results_table.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

using Rows = QList<QStringList>;

namespace {

const QLocale kGerman(QLocale::German, QLocale::Germany);
const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);

QByteArray utf16(const char16_t* text, bool bigEndian)
{
    QByteArray out;
    for (; *text; ++text) {
        const char hi = char(*text >> 8);
        const char lo = char(*text & 0xFF);
        out.append(bigEndian ? hi : lo);
        out.append(bigEndian ? lo : hi);
    }
    return out;
}

// A table row from its leading cells; the rest are empty.
QStringList row(const QStringList& leading)
{
    QStringList r = leading;
    while (r.size() < ResultsTable::ColumnCount)
        r.append(QString());
    return r;
}

QStringList rankedRow(const QStringList& cells)
{
    return row(cells);
}

// A ranked table with status marks and empty cells.
void fillRanked(ResultsTable& t)
{
    t.setRow(1, rankedRow({"7", "Max Bauer", "", "Lanz", "1955", "2", "0,00", "1:23,45", "0", "2", "1"}));
    t.appendRow(rankedRow(
        {"12", "Jürgen Öhler", "Anna Weiß", "Hanomag", "", "3", "0,00", "1:30,00", "2,5", "5,5", "2"}));
    t.appendRow(rankedRow({"3", "Eva", "Tom", "Deutz", "1949", "-", "EL", "EL", "-", "EL", "EL"}));
    t.appendRow(rankedRow({"4", "Kurt", "", "Fendt", "1960", "1", "0,00", "2:00,00", "0", "1", "AUS"}));
    t.appendRow(rankedRow({"", "", "", "", "", "", "", "", "", "", ""}));
    t.appendRow(rankedRow({" ", "Preis 5 €", "a;b", "x  y", "", "", "", "", "", "", "AUF"}));
}

QStringList spaced(const QStringList& cells)
{
    QStringList out = cells;
    for (QString& c : out)
        if (c.isEmpty())
            c = QStringLiteral(" ");
    return out;
}

} // namespace

class TestProtocolText : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void reader_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<QStringList>("startList");

        QTest::newRow("written protocol, CR LF")
            << QByteArray("St.Nr.\tFahrer\tBeifahrer\tMarke\tBaujahr\tStrafG\tZeit1\tZeit2\tStrafZ\tGes."
                          "\tPlatz\t\r\n"
                          "7\tMax Bauer\t \tLanz\t1955\t2\t0,00\t1:23,45\t0\t2\t1\t\r\n")
            << Rows{row({"7", "Max Bauer", " ", "Lanz", "1955", "2", "0,00", "1:23,45", "0", "2", "1"})}
            << QStringList{"7\tMax Bauer\t \tLanz\t1955\t2\t0,00\t1:23,45\t0\t2\t1\t"};
        QTest::newRow("LF line ends, last line without end")
            << QByteArray("Nr\n1\tx\n2\ty") << Rows{row({"1", "x"}), row({"2", "y"})}
            << QStringList{"1\tx", "2\ty"};
        QTest::newRow("first line is left out of the start list even without Nr")
            << QByteArray("1\tA\n2\tB\n") << Rows{row({"1", "A"}), row({"2", "B"})} << QStringList{"2\tB"};
        QTest::newRow("adjacent tabs shift the following fields left")
            << QByteArray("Nr\r\n1\t\tAnna\t\t\tB\r\n") << Rows{row({"1", "Anna", "B"})}
            << QStringList{"1\t\tAnna\t\t\tB"};
        QTest::newRow("semicolon line")
            << QByteArray("Nr\n3;Eva;;Opel;1960\n") << Rows{row({"3", "Eva", "Opel", "1960"})}
            << QStringList{"3;Eva;;Opel;1960"};
        QTest::newRow("tab and semicolon: split at tabs only")
            << QByteArray("Nr\n4\tA;B\tC\n") << Rows{row({"4", "A;B", "C"})} << QStringList{"4\tA;B\tC"};
        QTest::newRow("separator chosen per line")
            << QByteArray("Nr\n1;a;b\n2\tc;d\n") << Rows{row({"1", "a", "b"}), row({"2", "c;d"})}
            << QStringList{"1;a;b", "2\tc;d"};
        QTest::newRow("Nr. in a driver's name stays a table row")
            << QByteArray("St.Nr.\tFahrer\n5\tTeam Nr. 5\n6\tZwei\n")
            << Rows{row({"5", "Team Nr. 5"}), row({"6", "Zwei"})} << QStringList{"5\tTeam Nr. 5", "6\tZwei"};
        QTest::newRow("Nr. in a make stays a table row")
            << QByteArray("Nr\n7;Max;;Lanz Bulldog Nr.2\n") << Rows{row({"7", "Max", "Lanz Bulldog Nr.2"})}
            << QStringList{"7;Max;;Lanz Bulldog Nr.2"};
        QTest::newRow("Nr. in the first field is a header")
            << QByteArray("Start-Nr.\tName\n1\tA\n") << Rows{row({"1", "A"})} << QStringList{"1\tA"};
        QTest::newRow("first field exactly Nr is a header")
            << QByteArray("x\nNr\tName\nNr;Name\n1\tA\n") << Rows{row({"x"}), row({"1", "A"})}
            << QStringList{"Nr\tName", "Nr;Name", "1\tA"};
        QTest::newRow("a blank first field before Nr. is no header")
            << QByteArray("x\n\tNr. 5\n") << Rows{row({"x"}), row({" ", "Nr. 5"})} << QStringList{"\tNr. 5"};
        QTest::newRow("only exactly Nr is skipped, case-sensitive")
            << QByteArray("Nr\nnr\nNr \nNR.\n") << Rows{row({"nr"}), row({"Nr "}), row({"NR."})}
            << QStringList{"nr", "Nr ", "NR."};
        QTest::newRow("empty line: empty row and empty entry")
            << QByteArray("Nr\n1\tA\n\n2\tB\n") << Rows{row({"1", "A"}), row({}), row({"2", "B"})}
            << QStringList{"1\tA", "", "2\tB"};
        QTest::newRow("header only") << QByteArray("St.Nr.\tFahrer\t\r\n") << Rows{} << QStringList{};
        QTest::newRow("empty file") << QByteArray() << Rows{} << QStringList{};
        QTest::newRow("lone CR: dropped by the table, a line end for the start list")
            << QByteArray("Nr\n1\tAn\rna\r\n") << Rows{row({"1", "Anna"})} << QStringList{"1\tAn", "na"};
        QTest::newRow("leading tab gives a single space")
            << QByteArray("Nr\n\tA\tB\n") << Rows{row({" ", "A", "B"})} << QStringList{"\tA\tB"};
        QTest::newRow("leading semicolons give a single space")
            << QByteArray("Nr\n;;A\n") << Rows{row({" ", "A"})} << QStringList{";;A"};
        QTest::newRow("trailing separators yield nothing")
            << QByteArray("Nr\n1\t\t\t\n") << Rows{row({"1"})} << QStringList{"1\t\t\t"};
        QTest::newRow("separators only")
            << QByteArray("Nr\n\t\t\n") << Rows{row({" "})} << QStringList{"\t\t"};
        QTest::newRow("fields beyond the eleventh dropped")
            << QByteArray("Nr\n1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\t12\t13\n")
            << Rows{row({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"})}
            << QStringList{"1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\t12\t13"};
        QTest::newRow("Windows-1252 umlauts and euro sign")
            << QByteArray("Nr\n1\tM\xFC"
                          "ller\t\x80 5\n")
            << Rows{row({"1", QStringLiteral("Müller"), QStringLiteral("€ 5")})}
            << QStringList{QStringLiteral("1\tMüller\t€ 5")};
        QTest::newRow("UTF-8 without byte-order mark")
            << QByteArray("Nr\n1\tM\xC3\xBCller\n") << Rows{row({"1", QStringLiteral("Müller")})}
            << QStringList{QStringLiteral("1\tMüller")};
        QTest::newRow("UTF-8 byte-order mark")
            << QByteArray("\xEF\xBB\xBFNr\n1\t\xC5\x81\xC3\xB3"
                          "d\xC5\xBA\n")
            << Rows{row({"1", QStringLiteral("Łódź")})} << QStringList{QStringLiteral("1\tŁódź")};
        QTest::newRow("UTF-16 little-endian with byte-order mark")
            << (QByteArray("\xFF\xFE") + utf16(u"Nr\r\n1\t\u0141ukasz\r\n", false))
            << Rows{row({"1", QStringLiteral("Łukasz")})} << QStringList{QStringLiteral("1\tŁukasz")};
        QTest::newRow("UTF-16 big-endian with byte-order mark")
            << (QByteArray("\xFE\xFF") + utf16(u"Nr\n2\tJ\u00F6rg\n", true))
            << Rows{row({"2", QStringLiteral("Jörg")})} << QStringList{QStringLiteral("2\tJörg")};
        QTest::newRow("CR-only line ends")
            << QByteArray("St.Nr.\tFahrer\r1\tAnna\r\r2\tBert\r")
            << Rows{row({"1", "Anna"}), row({}), row({"2", "Bert"})} << QStringList{"1\tAnna", "", "2\tBert"};
        QTest::newRow("CR-only line ends in UTF-16")
            << (QByteArray("\xFF\xFE") + utf16(u"Nr\r9\tZo\u00EB\r", false))
            << Rows{row({"9", QStringLiteral("Zoë")})} << QStringList{QStringLiteral("9\tZoë")};
        QTest::newRow("invalid UTF-8 read as Windows-1252")
            << QByteArray("Nr\n1\t\xC3\x28\n") << Rows{row({"1", QStringLiteral("Ã(")})}
            << QStringList{QStringLiteral("1\tÃ(")};
    }
    void reader()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(Rows, rows);
        QFETCH(QStringList, startList);
        const ProtocolTextContent content = parseProtocolText(bytes, kGerman);
        QCOMPARE(Rows(content.rows), rows);
        QCOMPARE(content.startList, startList);
    }

    void otherDecimalSeparator_data()
    {
        QTest::addColumn<bool>("english");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("expected");
        const QString base = QStringLiteral("7\tA\tB\tC\t1955\t2\t0,00\t1:23,45\t");
        QTest::newRow("German: 2.5 in StrafZ and Ges.")
            << false << base + "2.5\t4.5\t1"
            << row({"7", "A", "B", "C", "1955", "2", "0,00", "1:23,45", "2,5", "4,5", "1"});
        QTest::newRow("German: 2,5 stays")
            << false << base + "2,5\t4,5\t1"
            << row({"7", "A", "B", "C", "1955", "2", "0,00", "1:23,45", "2,5", "4,5", "1"});
        QTest::newRow("German: 0.0 and 9.9 edges")
            << false << base + "0.0\t9.9\t1"
            << row({"7", "A", "B", "C", "1955", "2", "0,00", "1:23,45", "0,0", "9,9", "1"});
        QTest::newRow("German: negative and blanks around")
            << false << base + "-2.5\t 4.5 \t1"
            << row({"7", "A", "B", "C", "1955", "2", "0,00", "1:23,45", "-2,5", " 4,5 ", "1"});
        QTest::newRow("German: not a number stays")
            << false << base + "1.2.3\t.5\t1"
            << row({"7", "A", "B", "C", "1955", "2", "0,00", "1:23,45", "1.2.3", ".5", "1"});
        QTest::newRow("German: other columns keep their dot")
            << false << QStringLiteral("7\tA.B\tB\tC\t19.5\t2.5\t0,00\t1:23,45\t2\t4\t1")
            << row({"7", "A.B", "B", "C", "19.5", "2.5", "0,00", "1:23,45", "2", "4", "1"});
        QTest::newRow("English: 2,5 in Ges.")
            << true << base + "2.5\t4,5\t1"
            << row({"7", "A", "B", "C", "1955", "2", "0,00", "1:23,45", "2.5", "4.5", "1"});
        QTest::newRow("EL row unchanged")
            << false << QStringLiteral("3\tE\tT\tD\t1949\t-\tEL\tEL\t-\tEL\tEL")
            << row({"3", "E", "T", "D", "1949", "-", "EL", "EL", "-", "EL", "EL"});
    }
    void otherDecimalSeparator()
    {
        QFETCH(bool, english);
        QFETCH(QString, line);
        QFETCH(QStringList, expected);
        const ProtocolTextContent content =
            parseProtocolText(("St.Nr.\r\n" + line + "\r\n").toUtf8(), english ? kEnglish : kGerman);
        QCOMPARE(content.rows.size(), 1);
        QCOMPARE(content.rows[0], expected);
        QCOMPARE(content.startList, QStringList{line}); // the start list keeps the line as written
    }

    void limits_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("refusal"); // empty: read
        constexpr qsizetype maxBytes = ProtocolTextLimits::maxBytes;
        QByteArray full(maxBytes, ' ');
        QTest::newRow("exactly 16 MiB is read") << full << QString();
        QTest::newRow("16 MiB + 1 byte is refused") << (full + ' ') << "größer als 16 MiB";
        QByteArray lines;
        for (int i = 0; i < 100000; ++i)
            lines += "1\n";
        QTest::newRow("100 000 lines are read") << lines << QString();
        QTest::newRow("100 001 lines are refused") << (lines + "1") << "mehr als 100 000 Zeilen";
        QTest::newRow("lone CRs count as line ends")
            << (QByteArray(50000, '\r') + QByteArray("x\n") + QByteArray(50000, '\r'))
            << "mehr als 100 000 Zeilen";
        QTest::newRow("CR LF counts once") << QByteArray(200000, '\r').replace("\r\r", "\r\n") << QString();
    }
    void limits()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, refusal);
        ProtocolTextContent content;
        content.startList = QStringList{"kept"};
        QString error;
        const bool ok = readProtocolText(bytes, &content, &error, kGerman);
        QCOMPARE(ok, refusal.isEmpty());
        if (ok) {
            QVERIFY(content.startList != QStringList{"kept"});
            return;
        }
        QVERIFY2(error.contains(refusal), qPrintable(error));
        QCOMPARE(content.startList, QStringList{"kept"});

        // The same file is refused by the loader, with its path, and the table is not touched.
        QTemporaryDir dir;
        const QString path = dir.filePath("gross.txt");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(bytes), bytes.size());
        f.close();
        QVERIFY(!LoadProtocolText(path, &content, &error, kGerman));
        QVERIFY(error.contains(refusal) && error.contains(path));
        QCOMPARE(content.startList, QStringList{"kept"});
    }

    void writerWritesOneLinePerRow()
    {
        ResultsTable t;
        t.setRow(1, row({"7", "Max Bauer", "", "Lanz", "1955", "2", "0,00", "1:23,45", "0", "2", "1"}));
        QCOMPARE(
            protocolTextBytes(t),
            QByteArray(
                "St.Nr.\tFahrer\tBeifahrer\tMarke\tBaujahr\tStrafG\tZeit1\tZeit2\tStrafZ\tGes.\tPlatz\t\r\n"
                "7\tMax Bauer\t \tLanz\t1955\t2\t0,00\t1:23,45\t0\t2\t1\t\r\n"));
    }
    void writerEncoding_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<bool>("utf8");
        QTest::newRow("umlaut and euro sign: Windows-1252")
            << QStringLiteral("Jörg €") << QByteArray("J\xF6rg \x80") << false;
        QTest::newRow("Polish letter: UTF-8 with byte-order mark")
            << QStringLiteral("Łukasz") << QStringLiteral("Łukasz").toUtf8() << true;
        QTest::newRow("Windows-1252 text that reads as UTF-8: UTF-8 with byte-order mark")
            << QStringLiteral("JÃ¼rgen") << QStringLiteral("JÃ¼rgen").toUtf8() << true;
        QTest::newRow("tab and line break become spaces")
            << QStringLiteral("a\tb\r\nc") << QByteArray("a b  c") << false;
    }
    void writerEncoding()
    {
        QFETCH(QString, cell);
        QFETCH(QByteArray, written);
        QFETCH(bool, utf8);
        ResultsTable t;
        t.setCell(1, 1, cell);
        const QByteArray bytes = protocolTextBytes(t);
        QVERIFY2(bytes.contains(written), bytes.constData());
        QCOMPARE(bytes.startsWith("\xEF\xBB\xBF"), utf8);
        // Whatever the encoding, reading gives the same text back.
        const ProtocolTextContent back = parseProtocolText(bytes);
        QCOMPARE(back.rows.size(), 1);
        QString expected = cell;
        expected.replace(QLatin1Char('\t'), QLatin1Char(' '))
            .replace(QLatin1Char('\r'), QLatin1Char(' '))
            .replace(QLatin1Char('\n'), QLatin1Char(' '));
        QCOMPARE(back.rows[0][1], expected);
    }

    void roundTripKeepsCellsAndOrder()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("protokoll.txt");
        ResultsTable saved;
        fillRanked(saved);
        QString error;
        QVERIFY2(SaveProtocolText(path, saved, &error), qPrintable(error));

        ProtocolTextContent content;
        QVERIFY(LoadProtocolText(path, &content, &error, kGerman));
        ResultsTable loaded;
        loaded.setCell(0, 0, QStringLiteral("Startnr")); // the header row is not touched
        applyProtocolText(loaded, content);
        QCOMPARE(loaded.rowCount(), saved.rowCount());
        QCOMPARE(loaded.cell(0, 0), QStringLiteral("Startnr"));
        for (int r = 1; r < saved.rowCount(); ++r)
            QCOMPARE(loaded.row(r), spaced(saved.row(r)));
        QCOMPARE(content.startList.size(), saved.dataRowCount());
    }

    void applyHeaderOnlyLeavesOneEmptyRow()
    {
        ResultsTable t;
        fillRanked(t);
        applyProtocolText(t, parseProtocolText("St.Nr.\tFahrer\t\r\n"));
        QCOMPARE(t.rowCount(), 2);
        QCOMPARE(t.row(0), ResultsTable::defaultHeaders());
        QVERIFY(!t.holdsResults());
    }

    void loadOfMissingFileChangesNothing()
    {
        QTemporaryDir dir;
        ProtocolTextContent content;
        content.startList = QStringList{"kept"};
        QString error;
        QVERIFY(!LoadProtocolText(dir.filePath("fehlt.txt"), &content, &error));
        QCOMPARE(error, "Die Datei gibt es nicht: " + dir.filePath("fehlt.txt"));
        QCOMPARE(content.startList, QStringList{"kept"});
    }

    void failedSaveKeepsTheOldFile()
    {
#ifdef Q_OS_UNIX
        QTemporaryDir dir;
        const QString path = dir.filePath("protokoll.txt");
        {
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("OLD\r\n");
        }
        ResultsTable t;
        fillRanked(t);
        // Any file beyond 16 bytes cannot be written, whoever runs the test.
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit small = saved;
        small.rlim_cur = 16;
        auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
        QString error;
        const bool ok = SaveProtocolText(path, t, &error);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(!ok);
        QVERIFY(!error.isEmpty());
        QFile old(path);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("OLD\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"protokoll.txt"});
#else
        QSKIP("needs a file size limit");
#endif
    }

    void saveIntoMissingFolderFails()
    {
        QTemporaryDir dir;
        ResultsTable t;
        QString error;
        QVERIFY(!SaveProtocolText(dir.filePath("nix/protokoll.txt"), t, &error));
        QVERIFY(!error.isEmpty());
    }

    void defaultName_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("name");
        QTest::newRow("leading zeros") << QDateTime(QDate(2007, 6, 7), QTime(9, 5)) << "2007-06-07-09-05";
        QTest::newRow("24-hour clock")
            << QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59)) << "2024-12-31-23-59";
    }
    void defaultName()
    {
        QFETCH(QDateTime, now);
        QFETCH(QString, name);
        QCOMPARE(DefaultProtocolName(now), name);
    }
};

QTEST_GUILESS_MAIN(TestProtocolText)
#include "tst_protocol_text.moc"
