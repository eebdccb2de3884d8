#include "app/status_notices.h"

#include <QtTest>

class TestStatusNotices : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void shownText_data();
    void shownText();
    void clearingOneKeepsTheOthers();
};

// Steps: "L:key=text" sets a lasting notice, "P:text@now+ms" a passing one at now.
void TestStatusNotices::shownText_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<qint64>("at");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<qint64>("untilChange");

    QTest::newRow("nothing: idle text") << QStringList{} << qint64(0) << "idle" << qint64(-1);
    QTest::newRow("one lasting") << QStringList{"L:a=A"} << qint64(0) << "A" << qint64(-1);
    QTest::newRow("two lasting in set order")
        << QStringList{"L:b=B", "L:a=A"} << qint64(0) << "B  ·  A" << qint64(-1);
    QTest::newRow("replaced keeps its place")
        << QStringList{"L:a=A", "L:b=B", "L:a=A2"} << qint64(0) << "A2  ·  B" << qint64(-1);
    QTest::newRow("cleared by empty text")
        << QStringList{"L:a=A", "L:a="} << qint64(0) << "idle" << qint64(-1);
    QTest::newRow("passing covers lasting")
        << QStringList{"L:a=A", "P:file@0+5000"} << qint64(0) << "file" << qint64(5000);
    QTest::newRow("passing, last ms") << QStringList{"P:file@0+5000"} << qint64(4999) << "file" << qint64(1);
    QTest::newRow("passing, at deadline: gone")
        << QStringList{"L:a=A", "P:file@0+5000"} << qint64(5000) << "A" << qint64(-1);
    QTest::newRow("passing of 0 ms never shows")
        << QStringList{"P:file@0+0"} << qint64(0) << "idle" << qint64(-1);
    QTest::newRow("newer passing replaces")
        << QStringList{"P:one@0+5000", "P:two@10+100"} << qint64(50) << "two" << qint64(60);
}

void TestStatusNotices::shownText()
{
    QFETCH(QStringList, steps);
    QFETCH(qint64, at);
    QFETCH(QString, expected);
    QFETCH(qint64, untilChange);
    StatusNotices n(QStringLiteral("idle"));
    for (const QString& s : steps) {
        if (s.startsWith(QLatin1String("L:"))) {
            const int eq = s.indexOf(QLatin1Char('='));
            n.setLasting(s.mid(2, eq - 2), s.mid(eq + 1));
        } else {
            const int atSign = s.indexOf(QLatin1Char('@'));
            const int plus = s.indexOf(QLatin1Char('+'));
            n.showPassing(s.mid(2, atSign - 2), s.mid(atSign + 1, plus - atSign - 1).toLongLong(),
                          s.mid(plus + 1).toLongLong());
        }
    }
    QCOMPARE(n.text(at), expected);
    QCOMPARE(n.msUntilChange(at), untilChange);
}

void TestStatusNotices::clearingOneKeepsTheOthers()
{
    StatusNotices n;
    n.setLasting(QStringLiteral("barrier"), QStringLiteral("B"));
    n.setLasting(QStringLiteral("live"), QStringLiteral("L"));
    n.setLasting(QStringLiteral("barrier"), QString());
    QCOMPARE(n.lasting(QStringLiteral("live")), QStringLiteral("L"));
    QCOMPARE(n.lasting(QStringLiteral("barrier")), QString());
    QCOMPARE(n.text(0), QStringLiteral("L"));
}

QTEST_GUILESS_MAIN(TestStatusNotices)
#include "tst_status_notices.moc"
