// The main window's layout at start: the results columns from the first frame, and a
// window that opens where the operator can reach it.
#include "main_window_rig.h"

#include "results/SortGrid.h"
#include "results/results_table.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>

class TestMainLayout : public QObject {
    Q_OBJECT
    IsolatedSettings m_settings;

private Q_SLOTS:
    void init()
    {
        clearStoredSettings();
        // A complete stored set: the reading stops at the first missing value.
        MainRig rig;
        rig.make(false, false);
    }

    // All eleven columns have their widths when the window is first shown, before
    // any event is processed (a real X server sends no second resize).
    void columnsHaveTheirWidthsAtTheFirstShow_data()
    {
        QTest::addColumn<int>("width");
        QTest::newRow("design width") << 809;
        QTest::newRow("minimum width") << 800;
        QTest::newRow("wide window") << 1400;
    }
    void columnsHaveTheirWidthsAtTheFirstShow()
    {
        QFETCH(int, width);
        storeSetting("Width", width);
        storeSetting("Left", 0);
        storeSetting("Top", 0);
        MainRig rig;
        auto w = rig.make(false, false);
        w->show();
        TSortGrid* grid = w->sortGrid();
        for (int c = 0; c < ResultsTable::ColumnCount; ++c)
            QVERIFY2(grid->columnWidth(c) > 0, qPrintable(QStringLiteral("column %1").arg(c)));
        // The free width goes to driver, co-driver and brand, 45 : 30 : 25, and the
        // columns end at the right edge of the visible area.
        const int free = grid->columnWidth(ResultsTable::Fahrer) +
                         grid->columnWidth(ResultsTable::Beifahrer) + grid->columnWidth(ResultsTable::Marke);
        QVERIFY(qAbs(grid->columnWidth(ResultsTable::Fahrer) - free * 45 / 100) <= 1);
        QVERIFY(qAbs(grid->columnWidth(ResultsTable::Marke) - free * 25 / 100) <= 1);
        const int used = grid->horizontalHeader()->length();
        QVERIFY2(used <= grid->viewport()->width() && used > grid->viewport()->width() - 20,
                 qPrintable(QStringLiteral("%1 of %2").arg(used).arg(grid->viewport()->width())));
    }

    // A stored position that no attached screen shows any more opens centred on the
    // primary screen; one that can still be reached stays.
    void unreachablePositionOpensCentred_data()
    {
        QTest::addColumn<QPoint>("stored");
        QTest::addColumn<bool>("kept");
        QTest::newRow("on the screen") << QPoint(0, 0) << true;
        QTest::newRow("partly off the left edge") << QPoint(-600, 20) << true;
        QTest::newRow("right of every screen") << QPoint(5000, 20) << false;
        QTest::newRow("above every screen") << QPoint(0, -3000) << false;
        QTest::newRow("below every screen") << QPoint(0, 4000) << false;
    }
    void unreachablePositionOpensCentred()
    {
        QFETCH(QPoint, stored);
        QFETCH(bool, kept);
        storeSetting("Left", stored.x());
        storeSetting("Top", stored.y());
        MainRig rig;
        auto w = rig.make(false, false);
        if (kept) {
            QCOMPARE(w->geometry().topLeft(), stored);
        } else {
            const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
            QVERIFY(screen.contains(w->geometry()));
            QVERIFY((w->geometry().center() - screen.center()).manhattanLength() <= 2);
        }
    }
};

QTEST_MAIN(TestMainLayout)
#include "tst_main_layout.moc"
