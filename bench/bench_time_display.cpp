#include "displays/FMonitor2.h"
#include "displays/Udigit.h"

#include <QApplication>
#include <QTest>

// One clock tick on a full-HD time display: the six first-row digits change
// and each repaints synchronously.
class BenchTimeDisplay : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void tickFullHd();
    void digitPaint54x89();
};

void BenchTimeDisplay::tickFullHd()
{
    TFormMonitor2 w(referenceMainTimer(), [] { return 0; });
    w.PlaceTimeDisplay(QRect(0, 0, 1920, 1080));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    int n = 0;
    QBENCHMARK
    {
        ++n;
        for (int i = 3; i <= 8; ++i)
            w.digit(i, 1)->setValue((n + i) % 10);
    }
}

void BenchTimeDisplay::digitPaint54x89()
{
    QWidget top;
    auto* d = new TDigit(&top);
    d->setGeometry(0, 0, 54, 89);
    d->setThickness(5);
    top.show();
    QVERIFY(QTest::qWaitForWindowExposed(&top));
    int n = 0;
    QBENCHMARK
    {
        d->setValue(++n % 10);
    }
}

QTEST_MAIN(BenchTimeDisplay)
#include "bench_time_display.moc"
