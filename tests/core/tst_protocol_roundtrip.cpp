#include "protocol/protocol_text.h"
#include "protocol/xlsx_reader.h"
#include "protocol/xlsx_writer.h"
#include "results/results_table.h"

#include <QTemporaryDir>
#include <QtTest>

// A protocol read from text, saved as a workbook or as text and opened again, comes
// back row for row: every row, every mark on its competitor, every character.
namespace {

const QLocale kGerman(QLocale::German, QLocale::Germany);
const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);

const QByteArray kHeader =
    "St.Nr.\tFahrer\tBeifahrer\tMarke\tBaujahr\tStrafG\tZeit1\tZeit2\tStrafZ\tGes.\tPlatz\t\r\n";

QByteArray line(const QString& fields)
{
    return fields.toUtf8() + "\r\n";
}

QVector<QStringList> spaced(QVector<QStringList> rows)
{
    for (QStringList& r : rows)
        for (QString& c : r)
            if (c.isEmpty())
                c = QStringLiteral(" ");
    return rows;
}

QChar separatorOf(const QLocale& l)
{
    return l.decimalPoint().at(0);
}

} // namespace

class TestProtocolRoundTrip : public QObject {
    Q_OBJECT

    // The table as a text file leaves it, and where the files go.
    ResultsTable m_table;
    QTemporaryDir m_dir;

    void readSource()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, english);
        QFETCH(int, rows);
        ProtocolTextContent content;
        QString error;
        QVERIFY2(readProtocolText(text, &content, &error, english ? kEnglish : kGerman), qPrintable(error));
        m_table.clear();
        m_table.setRow(0, ResultsTable::defaultHeaders());
        applyProtocolText(m_table, content);
        QCOMPARE(m_table.dataRowCount(), rows);
    }

    static void sources()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("english");
        QTest::addColumn<int>("rows");
        QTest::newRow("exactly one row")
            << kHeader + line("7\tMax\t \tLanz\t1955\t2\t0,00\t1:23,45\t0\t2\t1\t") << false << 1;
        QTest::newRow("two rows") << kHeader + line("7\tMax\t \tLanz\t1955\t2\t0,00\t1:23,45\t0\t2\t1\t") +
                                         line("9\tUdo\t \tFendt\t1960\t0\t0,00\t59,99\t9\t9\t2\t")
                                  << false << 2;
        QTest::newRow("marks EL, AUS, AUF on their competitors")
            << kHeader + line("4\tKurt\t \tFendt\t1960\t1\t0,00\t2:00,00\t0\t1\tAUS\t") +
                   line("3\tEva\tTom\tDeutz\t1949\t-\tEL\tEL\t-\tEL\tEL\t") +
                   line("5\tOtto\t \tLanz\t1951\t3\t0,00\t1:00,00\t0\t3\tAUF\t") +
                   line("6\tPia\t \tMAN\t1958\t0\t0,00\t58,00\t0\t0\t1\t")
            << false << 4;
        QTest::newRow("rows after an empty line and a blank start number")
            << kHeader + line("1\tAnna\t \tLanz\t1950\t0\t0,00\t50,00\t0\t0\t1\t") + "\r\n" +
                   line(" \tBert\t \tDeutz\t1952\t1\t0,00\t51,00\t0\t1\t2\t") +
                   line("3\tCarl\t \tFendt\t1953\t2\t0,00\t52,00\t0\t2\t3\t")
            << false << 4;
        QTest::newRow("names outside Windows-1252")
            << kHeader +
                   line(QStringLiteral("8\tŁukasz Żółć\tŌsaka 🚜\tZoë\t1961\t2\t0,00\t1:01,00\t0\t2\t1\t"))
            << false << 1;
        QTest::newRow("Nr. in names and makes")
            << kHeader + line("10\tTeam Nr. 5\tNr\tLanz Bulldog Nr.2\t1956\t1\t0,00\t1:10,00\t0\t1\t1\t") +
                   line("11\tNr.\t \tNr. 1\t1957\t2\t0,00\t1:11,00\t0\t2\t2\t")
            << false << 2;
        QTest::newRow("German system, points written with a full stop")
            << kHeader + line("12\tJörg\t \tHanomag\t1962\t3\t12,34\t1:02:03,45\t2.5\t5.5\t1\t") << false
            << 1;
        QTest::newRow("English system, points written with a comma")
            << kHeader + line("12\tJoerg\t \tHanomag\t1962\t3\t12,34\t1:02:03,45\t2,5\t5,5\t1\t") << true
            << 1;
        QTest::newRow("start list of five semicolon fields")
            << QByteArray(
                   "Nr;Name;Beifahrer;Marke;Baujahr\r\n21;Anna;Otto;Lanz;1950\r\n22;Bert;;Fendt;1960\r\n")
            << false << 2;
        QTest::newRow("edge values: year 0 and 9999, points 0 and 9")
            << kHeader + line("0\tA\t \tB\t0\t0\t0,00\t0,07\t0\t0\t1\t") +
                   line("9999\tZ\t \tY\t9999\t9\t0,00\t9:59:59,99\t9\t9\t2\t")
            << false << 2;
        QTest::newRow("blanks around names, text where numbers go")
            << kHeader + line("  7 \t  Max  \t \tLanz\t 1955\t2,5\t0,00\t1:23,45\t2,50\t 4\t1\t") << false
            << 1;
    }

private Q_SLOTS:
    void textTableWorkbookTable_data() { sources(); }
    void textTableWorkbookTable()
    {
        readSource();
        QFETCH(bool, english);
        const QLocale locale = english ? kEnglish : kGerman;
        const QString path = m_dir.filePath(QStringLiteral("lauf.xlsx"));
        QString error;
        QVERIFY2(
            SaveProtocolSheet(path, m_table, QVector<int>(11, 50), QStringLiteral("Lauf"), locale, &error),
            qPrintable(error));
        ResultsTable loaded;
        loaded.setRow(1, {"x", "", "", "", "", "", "", "", "", "", "EL"}); // nothing of it may stay
        QVERIFY2(LoadProtocolSheet(path, loaded, &error, separatorOf(locale)), qPrintable(error));
        QCOMPARE(loaded.rows(), m_table.rows());
    }

    void textTableTextTable_data() { sources(); }
    void textTableTextTable()
    {
        readSource();
        QFETCH(bool, english);
        const QLocale locale = english ? kEnglish : kGerman;
        const QString path = m_dir.filePath(QStringLiteral("lauf.txt"));
        QString error;
        QVERIFY2(SaveProtocolText(path, m_table, &error), qPrintable(error));
        ProtocolTextContent content;
        QVERIFY2(LoadProtocolText(path, &content, &error, locale), qPrintable(error));
        ResultsTable loaded;
        applyProtocolText(loaded, content);
        // An empty cell is written as one space and comes back as one.
        QCOMPARE(loaded.rows().mid(1), spaced(m_table.rows().mid(1)));
        QCOMPARE(content.startList.size(), m_table.dataRowCount());
    }

    void enteredRowsWithoutStartNumberSurviveTheWorkbook()
    {
        // Rows entered with an empty start-number field hold a truly empty St.Nr. cell.
        ResultsTable t;
        t.setRow(1, {"", "Anna", "", "Lanz", "1950", "1", "0,00", "50,00", "0", "1", "1"});
        t.appendRow({"", "Bert", "", "Deutz", "", "2", "0,00", "51,00", "0", "2", "AUS"});
        t.appendRow({"3", "Carl", "", "Fendt", "1953", "3", "0,00", "52,00", "0,5", "3,5", "2"});
        const QString path = m_dir.filePath(QStringLiteral("leer.xlsx"));
        QVERIFY(SaveProtocolSheet(path, t, QVector<int>(11, 50), QString(), kGerman, nullptr));
        ResultsTable loaded;
        QString error;
        QVERIFY2(LoadProtocolSheet(path, loaded, &error, QLatin1Char(',')), qPrintable(error));
        QCOMPARE(loaded.rows(), t.rows());
    }
};

QTEST_GUILESS_MAIN(TestProtocolRoundTrip)
#include "tst_protocol_roundtrip.moc"
