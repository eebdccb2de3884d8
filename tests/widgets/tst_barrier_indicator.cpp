#include "barriers/BarrierIndicator.h"

#include <QSignalSpy>
#include <QtTest>

class TestBarrierIndicator : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void clickedOnlyWhileEnabled_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("clicks");
        QTest::newRow("enabled") << true << 1;
        QTest::newRow("disabled") << false << 0;
    }
    void clickedOnlyWhileEnabled()
    {
        QFETCH(bool, enabled);
        QFETCH(int, clicks);
        BarrierIndicator w;
        w.setEnabled(enabled);
        QSignalSpy spy(&w, &BarrierIndicator::clicked);
        QTest::mouseClick(&w, Qt::LeftButton);
        QCOMPARE(spy.count(), clicks);
        QCOMPARE(w.size(), QSize(27, 27));
        QCOMPARE(w.cursor().shape(), Qt::PointingHandCursor);
    }

    void pictures_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("face");
        QTest::newRow("1 closed") << 0 << "grey";
        QTest::newRow("1 disarmed") << 1 << "red";
        QTest::newRow("1 armed") << 2 << "green";
        QTest::newRow("2 closed") << 4 << "grey";
        QTest::newRow("3 armed") << 10 << "green";
        QTest::newRow("1 lost") << 3 << "amber";
        QTest::newRow("2 lost") << 7 << "amber";
        QTest::newRow("3 lost") << 11 << "amber";
    }
    void pictures()
    {
        QFETCH(int, index);
        QFETCH(QString, face);
        const QImage img = BarrierIndicator::picture(index);
        QCOMPARE(img.size(), QSize(27, 27));
        QCOMPARE(img.pixelColor(0, 0), QColor(0xEC, 0xE9, 0xD8));
        const QColor c = img.pixelColor(6, 13); // on the face, left of the digit
        if (face == QLatin1String("grey"))
            QVERIFY(qAbs(c.red() - c.green()) < 10 && c.red() < 140);
        else if (face == QLatin1String("red"))
            QVERIFY(c.red() > 150 && c.green() < 100);
        else if (face == QLatin1String("amber")) // lost: neither the red nor the green of a working barrier
            QVERIFY2(c.red() > 200 && c.green() > 120 && c.green() < 220 && c.blue() < 100,
                     qPrintable(c.name()));
        else
            QVERIFY(c.green() > 120 && c.red() < 100);
    }

    void indexIsKeptInRange()
    {
        BarrierIndicator w;
        w.setIndex(42);
        QCOMPARE(w.index(), 11);
        w.setIndex(-3);
        QCOMPARE(w.index(), 0);
    }

    void screenshot()
    {
        QWidget strip;
        strip.setStyleSheet(QStringLiteral("background: #ECE9D8"));
        for (int i = 0; i < BarrierIndicator::PictureCount; ++i) {
            auto* w = new BarrierIndicator(&strip);
            w->setIndex(i);
            w->move(4 + i * 31, 4);
        }
        strip.resize(4 + 12 * 31, 35);
        QVERIFY(strip.grab().save(QStringLiteral("/tmp/barrier_indicators.png")));
    }
};

QTEST_MAIN(TestBarrierIndicator)
#include "tst_barrier_indicator.moc"
