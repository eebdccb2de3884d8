#include "results/clipboard_text.h"
#include "results/enter_result.h"
#include "results/points_text.h"
#include "results/results_table.h"
#include "results/run_time_text.h"
#include "results_test_util.h"

#include <QtTest>
#include <limits>

using namespace ResultsTestUtil;

class TestResultTexts : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void runTime_data()
    {
        QTest::addColumn<qint32>("ms");
        QTest::addColumn<QString>("text");
        QTest::newRow("1 min 23.45 s") << 83450 << "1:23,45";
        QTest::newRow("12.34 s") << 12340 << "12,34";
        QTest::newRow("5.2 s keeps the hundredths zero") << 5200 << "5,20";
        QTest::newRow("0.5 s") << 500 << "0,50";
        QTest::newRow("0.07 s") << 70 << "0,07";
        QTest::newRow("0 ms") << 0 << "0,00";
        QTest::newRow("thousandths are cut, not rounded") << 9 << "0,00";
        QTest::newRow("59.99 s") << 59990 << "59,99";
        QTest::newRow("60 s") << 60000 << "1:00,00";
        QTest::newRow("10 min") << 600000 << "10:00,00";
        QTest::newRow("1 h 2 min 3.45 s") << 3723450 << "1:02:03,45";
        QTest::newRow("10 h") << 36000000 << "10:00:00,00";
        QTest::newRow("Absage marker -1") << -1 << "0,00";
        QTest::newRow("other negative durations read as no time") << -61000 << "0,00";
        QTest::newRow("largest duration: hours modulo 100")
            << std::numeric_limits<qint32>::max() << "96:31:23,64";
    }
    void runTime()
    {
        QFETCH(qint32, ms);
        QFETCH(QString, text);
        QCOMPARE(FormatRunTime(ms), text);
    }

    void formatPoints_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("german");
        QTest::newRow("whole value has no decimal part") << 3.0 << "3";
        QTest::newRow("two and a half") << 2.5 << "2,5";
        QTest::newRow("no trailing zeros") << 0.1 << "0,1";
        QTest::newRow("sum rounded to 15 digits") << 0.1 + 0.2 << "0,3";
        QTest::newRow("no thousands separator") << 12345.25 << "12345,25";
        QTest::newRow("large value without exponent") << 1e20 << "100000000000000000000";
        QTest::newRow("small value without exponent") << 1.5e-7 << "0,00000015";
        QTest::newRow("negative") << -2.5 << "-2,5";
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("negative zero") << -0.0 << "0";
        QTest::newRow("infinity is written as 0") << std::numeric_limits<double>::infinity() << "0";
    }
    void formatPoints()
    {
        QFETCH(double, value);
        QFETCH(QString, german);
        for (const QLocale& l : testLocales())
            QCOMPARE(::formatPoints(value, l), pts(german, l));
    }

    void decimalNumber_data()
    {
        QTest::addColumn<QString>("german");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("value");
        QTest::newRow("whole") << "3" << true << 3.0;
        QTest::newRow("with separator") << "2,5" << true << 2.5;
        QTest::newRow("signs") << "-2,5" << true << -2.5;
        QTest::newRow("plus sign") << "+4" << true << 4.0;
        QTest::newRow("blanks around") << "  1,25 " << true << 1.25;
        QTest::newRow("exponent") << "2,5E2" << true << 250.0;
        QTest::newRow("negative exponent") << "5e-1" << true << 0.5;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("blanks only") << "   " << false << 0.0;
        QTest::newRow("sign only") << "-" << false << 0.0;
        QTest::newRow("EL") << "EL" << false << 0.0;
        QTest::newRow("trailing garbage") << "3x" << false << 0.0;
        QTest::newRow("exponent without digits") << "3e" << false << 0.0;
        QTest::newRow("blank inside") << "1 5" << false << 0.0;
        QTest::newRow("beyond the double range") << "1e999" << false << 0.0;
        QTest::newRow("time text") << "1:23,45" << false << 0.0;
    }
    void decimalNumber()
    {
        QFETCH(QString, german);
        QFETCH(bool, ok);
        QFETCH(double, value);
        for (const QLocale& l : testLocales()) {
            double v = -99.0;
            QCOMPARE(parseDecimalNumber(pts(german, l), l, &v), ok);
            if (ok)
                QCOMPARE(v, value);
        }
    }
    void otherSeparatorIsNotANumber()
    {
        double v = 0;
        QVERIFY(!parseDecimalNumber(QStringLiteral("2.5"), QLocale(QLocale::German, QLocale::Germany), &v));
        QVERIFY(
            !parseDecimalNumber(QStringLiteral("2,5"), QLocale(QLocale::English, QLocale::UnitedStates), &v));
    }

    void wholeNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("value");
        QTest::newRow("digits") << "12" << true << 12;
        QTest::newRow("leading zero") << "03" << true << 3;
        QTest::newRow("negative") << "-4" << true << -4;
        QTest::newRow("blanks around") << " 7 " << true << 7;
        QTest::newRow("decimal") << "2,5" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("letters") << "zwei" << false << 0;
        QTest::newRow("int max") << "2147483647" << true << 2147483647;
        QTest::newRow("int min") << "-2147483648" << true << std::numeric_limits<int>::min();
        QTest::newRow("overflow") << "2147483648" << false << 0;
        QTest::newRow("huge") << "99999999999999999999" << false << 0;
    }
    void wholeNumber()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(int, value);
        int v = -99;
        QCOMPARE(parseWholeNumber(text, &v), ok);
        if (ok)
            QCOMPARE(v, value);
    }

    void columnWidths_data()
    {
        QTest::addColumn<int>("clientWidth");
        QTest::addColumn<QVector<int>>("widths");
        QTest::newRow("rest shared 45:30:25, rounded down")
            << 1000 << QVector<int>{45, 265, 176, 147, 50, 43, 66, 66, 46, 46, 38};
        QTest::newRow("no rest") << 411 << QVector<int>{45, 0, 0, 0, 50, 43, 66, 66, 46, 46, 38};
        QTest::newRow("too narrow: never negative")
            << 100 << QVector<int>{45, 0, 0, 0, 50, 43, 66, 66, 46, 46, 38};
    }
    void columnWidths()
    {
        QFETCH(int, clientWidth);
        QFETCH(QVector<int>, widths);
        QCOMPARE(resultColumnWidths(clientWidth), widths);
    }

    void clipboard()
    {
        ResultsTable t;
        t.setRow(1,
                 {"12", "Hans Huber", "a;b", "Mar\"ke;", "1955", "3", "0,00", "1:23,45", "2,5", "5,5", "1"});
        t.appendRow({"7"});
        const QString expected =
            "St.Nr.\tFahrer\tBeifahrer\tMarke\tBaujahr\tStrafG\tZeit1\tZeit2\tStrafZ\tGes.\tPlatz\r\n"
            "12\tHans Huber\t\"a;b\"\t\"Mar\"ke;\"\t1955\t3\t0,00\t1:23,45\t2,5\t5,5\t1\r\n"
            "7\t\t\t\t\t\t\t\t\t\t\r\n";
        QCOMPARE(clipboardText(t), expected);
    }
};

QTEST_GUILESS_MAIN(TestResultTexts)
#include "tst_result_texts.moc"
