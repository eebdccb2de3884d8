#include "protocol/protocol_html.h"
#include "protocol/protocol_text.h"
#include "protocol/xlsx_reader.h"
#include "protocol/xlsx_writer.h"
#include "results/results_table.h"

#include <QTemporaryDir>
#include <QtTest>

// Run: build-release/bin/bench_protocol -median 9
class BenchProtocol : public QObject {
    Q_OBJECT
    static constexpr int kRows = 10000;
    ResultsTable m_table;
    QByteArray m_bytes;
    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase()
    {
        m_table.beginUpdate();
        m_table.setRowCount(kRows + 1);
        for (int r = 1; r <= kRows; ++r)
            m_table.setRow(r, {QString::number(r), QStringLiteral("Jürgen Müller %1").arg(r),
                               QStringLiteral("Anna Weiß"), QStringLiteral("Hanomag R 16"),
                               QStringLiteral("1955"), QString::number(r % 7), QStringLiteral("0,00"),
                               QStringLiteral("1:23,45"), QStringLiteral("2,5"), QStringLiteral("5,5"),
                               QString::number(r)});
        m_table.endUpdate();
        m_bytes = protocolTextBytes(m_table);
        QCOMPARE(parseProtocolText(m_bytes).rows.size(), kRows);
    }

    void loadParseAndApply()
    {
        ResultsTable table;
        QBENCHMARK
        {
            applyProtocolText(table, parseProtocolText(m_bytes));
        }
        QCOMPARE(table.dataRowCount(), kRows);
    }

    void loadFromFile()
    {
        const QString path = m_dir.filePath("lauf.txt");
        QVERIFY(SaveProtocolText(path, m_table, nullptr));
        ResultsTable table;
        QBENCHMARK
        {
            ProtocolTextContent content;
            LoadProtocolText(path, &content, nullptr);
            applyProtocolText(table, content);
        }
        QCOMPARE(table.dataRowCount(), kRows);
    }

    void saveToFile()
    {
        const QString path = m_dir.filePath("lauf.txt");
        QBENCHMARK
        {
            SaveProtocolText(path, m_table, nullptr);
        }
    }

    void workbookSave()
    {
        const QString path = m_dir.filePath("lauf.xlsx");
        const QLocale german(QLocale::German, QLocale::Germany);
        QBENCHMARK
        {
            SaveProtocolSheet(path, m_table, QVector<int>(11, 50), QStringLiteral("Treffen"), german,
                              nullptr);
        }
    }

    void workbookLoad()
    {
        const QString path = m_dir.filePath("lauf.xlsx");
        QVERIFY(SaveProtocolSheet(path, m_table, QVector<int>(11, 50), QStringLiteral("Treffen"),
                                  QLocale(QLocale::German, QLocale::Germany), nullptr));
        ResultsTable table;
        QBENCHMARK
        {
            LoadProtocolSheet(path, table, nullptr, QLatin1Char(','));
        }
        QCOMPARE(table.rows(), m_table.rows());
    }

    void webPage()
    {
        const QVector<int> widths{45, 200, 150, 120, 50, 43, 66, 66, 46, 46, 38};
        QBENCHMARK
        {
            protocolHtmlBytes(m_table, widths, QStringLiteral("Acker Klassik"), QStringLiteral("Treffen"));
        }
    }
};

QTEST_MAIN(BenchProtocol)
#include "bench_protocol.moc"
