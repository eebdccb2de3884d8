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
        QTest::newRow("Nr. in a name: no table row, still in the start list")
            << QByteArray("St.Nr.\tFahrer\n5\tNr. Eins\n6\tZwei\n") << Rows{row({"6", "Zwei"})}
            << QStringList{"5\tNr. Eins", "6\tZwei"};
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
        QTest::newRow("invalid UTF-8 read as Windows-1252")
            << QByteArray("Nr\n1\t\xC3\x28\n") << Rows{row({"1", QStringLiteral("Ã(")})}
            << QStringList{QStringLiteral("1\tÃ(")};
    }
    void reader()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(Rows, rows);
        QFETCH(QStringList, startList);
        const ProtocolTextContent content = parseProtocolText(bytes);
        QCOMPARE(Rows(content.rows), rows);
        QCOMPARE(content.startList, startList);
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
        QVERIFY(LoadProtocolText(path, &content, &error));
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
        QVERIFY(!error.isEmpty());
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
