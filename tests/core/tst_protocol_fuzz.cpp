#include "protocol/protocol_text.h"
#include "results/results_table.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

// Bytes that matter to the reader, and some that do not.
const QByteArray kAlphabet("\t\t;;\r\n\n Nr.Nr a7,\xFC\x80\xC3\xBC\xEF\xBB\xBF\xC5\x81", 31);

QByteArray randomFile(QRandomGenerator& rng)
{
    QByteArray bytes;
    const int n = rng.bounded(0, 400);
    for (int i = 0; i < n; ++i)
        bytes.append(rng.bounded(4) == 0 ? char(rng.bounded(256))
                                         : kAlphabet[rng.bounded(int(kAlphabet.size()))]);
    return bytes;
}

QByteArray mutated(QByteArray bytes, QRandomGenerator& rng)
{
    const int edits = rng.bounded(1, 8);
    for (int e = 0; e < edits && !bytes.isEmpty(); ++e) {
        const int at = rng.bounded(int(bytes.size()));
        const char c = kAlphabet[rng.bounded(int(kAlphabet.size()))];
        switch (rng.bounded(3)) {
        case 0:
            bytes[at] = c;
            break;
        case 1:
            bytes.insert(at, c);
            break;
        default:
            bytes.remove(at, rng.bounded(1, 6));
        }
    }
    return bytes;
}

QByteArray sampleProtocol()
{
    ResultsTable t;
    t.setRow(1, {"7", "Max Bauer", "", "Lanz", "1955", "2", "0,00", "1:23,45", "0", "2", "1"});
    t.appendRow({"12", QStringLiteral("Jürgen"), "Anna", "Hanomag", "1950", "3", "0,00", "1:30,00", "2,5",
                 "5,5", "2"});
    t.appendRow({"3", "Eva", "Tom", "Deutz", "1949", "-", "EL", "EL", "-", "EL", "EL"});
    return protocolTextBytes(t);
}

} // namespace

class TestProtocolFuzz : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void randomAndMutatedFiles()
    {
        QRandomGenerator rng(20070607);
        const QByteArray sample = sampleProtocol();
        ResultsTable table;
        const QStringList header = table.row(0);
        for (int round = 0; round < 4000; ++round) {
            const QByteArray bytes = (round % 2) ? randomFile(rng) : mutated(sample, rng);
            const ProtocolTextContent content = parseProtocolText(bytes);
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

            // Writing what was read and reading it again keeps every row that is not a
            // header line; empty cells come back as single spaces.
            const ProtocolTextContent again = parseProtocolText(protocolTextBytes(table));
            QVector<QStringList> expected;
            for (int r = 1; r < table.rowCount(); ++r) {
                QStringList cells = table.row(r);
                bool header = false;
                for (QString& c : cells) {
                    if (c.isEmpty())
                        c = QStringLiteral(" ");
                    header = header || c.contains(QLatin1String("Nr."));
                }
                if (!header)
                    expected.append(cells);
            }
            QCOMPARE(again.rows, expected);
        }
    }
};

QTEST_GUILESS_MAIN(TestProtocolFuzz)
#include "tst_protocol_fuzz.moc"
