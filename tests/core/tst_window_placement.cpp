#include "app/window_placement.h"

#include <QtTest>

class TestWindowPlacement : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void placement_data()
    {
        QTest::addColumn<QRect>("stored");
        QTest::addColumn<QList<QRect>>("screens");
        QTest::addColumn<QRect>("placed");
        const QRect one(0, 0, 1280, 1024);
        const QList<QRect> single{one};
        const QList<QRect> pair{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
        const QRect centred(235, 236, 809, 551); // 809 x 551 centred on 1280 x 1024
        QTest::newRow("fully on the screen")
            << QRect(100, 100, 809, 551) << single << QRect(100, 100, 809, 551);
        QTest::newRow("at the top left corner") << QRect(0, 0, 809, 551) << single << QRect(0, 0, 809, 551);
        QTest::newRow("100 px of the top strip on the screen")
            << QRect(-709, 50, 809, 551) << single << QRect(-709, 50, 809, 551);
        QTest::newRow("99 px of the top strip on the screen")
            << QRect(-710, 50, 809, 551) << single << centred;
        QTest::newRow("top strip below the bottom edge") << QRect(100, 1024, 809, 551) << single << centred;
        QTest::newRow("top 20 px on the screen, body below")
            << QRect(100, 1004, 809, 551) << single << QRect(100, 1004, 809, 551);
        QTest::newRow("title strip above the screen") << QRect(100, -540, 809, 551) << single << centred;
        QTest::newRow("on the second monitor")
            << QRect(2000, 100, 809, 551) << pair << QRect(2000, 100, 809, 551);
        QTest::newRow("second monitor unplugged") << QRect(2000, 100, 809, 551) << single << centred;
        QTest::newRow("larger than the screen shrinks to it")
            << QRect(5000, 0, 2000, 1500) << single << QRect(0, 0, 1280, 1024);
        QTest::newRow("width 0 opens at the minimum size")
            << QRect(100, 100, 0, 0) << single << QRect(240, 289, 800, 445);
        QTest::newRow("no screen known keeps the stored bounds")
            << QRect(5000, 100, 809, 551) << QList<QRect>{} << QRect(5000, 100, 809, 551);
    }
    void placement()
    {
        QFETCH(QRect, stored);
        QFETCH(QList<QRect>, screens);
        QFETCH(QRect, placed);
        const QRect primary = screens.isEmpty() ? QRect() : screens.first();
        QCOMPARE(placeMainWindow(stored, screens, primary, QSize(800, 445)), placed);
    }

    // Bounds from a settings file edited by hand: any 32-bit numbers.
    void storedBoundsAreHeldWithinReach_data()
    {
        QTest::addColumn<QList<int>>("stored"); // left, top, width, height
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<QRect>("placed");
        constexpr int far = 1 << 24;
        const QRect centred(235, 236, 809, 551);
        QTest::newRow("ordinary bounds as stored")
            << QList<int>{100, 100, 809, 551} << QRect(100, 100, 809, 551) << QRect(100, 100, 809, 551);
        QTest::newRow("left at the largest position kept")
            << QList<int>{far, 100, 809, 551} << QRect(far, 100, 809, 551) << centred;
        QTest::newRow("left one beyond it")
            << QList<int>{far + 1, 100, 809, 551} << QRect(far, 100, 809, 551) << centred;
        QTest::newRow("left at the largest int")
            << QList<int>{INT_MAX, 100, 809, 551} << QRect(far, 100, 809, 551) << centred;
        QTest::newRow("top at the smallest int")
            << QList<int>{100, INT_MIN, 809, 551} << QRect(100, -far, 809, 551) << centred;
        QTest::newRow("width at the largest int") << QList<int>{INT_MIN, 100, INT_MAX, 551}
                                                  << QRect(-far, 100, far, 551) << QRect(0, 236, 1280, 551);
        QTest::newRow("negative size opens at the minimum size")
            << QList<int>{100, 100, -1, INT_MIN} << QRect(100, 100, 0, 0) << QRect(240, 289, 800, 445);
    }
    void storedBoundsAreHeldWithinReach()
    {
        QFETCH(QList<int>, stored);
        QFETCH(QRect, rect);
        QFETCH(QRect, placed);
        const QRect r = storedWindowRect(stored[0], stored[1], stored[2], stored[3]);
        QCOMPARE(r, rect);
        const QRect screen(0, 0, 1280, 1024);
        QCOMPARE(placeMainWindow(r, {screen}, screen, QSize(800, 445)), placed);
    }
};

QTEST_GUILESS_MAIN(TestWindowPlacement)
#include "tst_window_placement.moc"
