#include "displays/FMonitor3.h"
#include "displays/TopTenGrid.h"

#include "two_screens.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QTest>

namespace {

QStringList header()
{
    return {"St.Nr.", "Fahrer", "Beifahrer", "Marke", "Baujahr", "StrafG",
            "Zeit1",  "Zeit2",  "StrafZ",    "Ges.",  "Platz"};
}

QStringList result(int n)
{
    const QString s = QString::number(n);
    return {s,
            "Fahrer " + s,
            "Beifahrer " + s,
            "Marke " + s,
            "1962",
            QString::number(n + 2),
            "1:02,34",
            "1:0" + s + ",50",
            "0," + s,
            QString::number(n + 2) + "," + s,
            s};
}

QVector<QStringList> table(int results)
{
    QVector<QStringList> rows{header()};
    for (int i = 1; i <= results; ++i)
        rows << result(i);
    return rows;
}

} // namespace

class TstMonitor3 : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initialLook();
    void placedOnSecondScreen();
    void refresh_data();
    void refresh();
    void emptyStartNumberIsEmptyLine();
    void escapeHides();
    void screenshot();
};

void TstMonitor3::initialLook()
{
    TFormMonitor3 w;
    QVERIFY(w.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(w.cursor().shape(), Qt::BlankCursor);
    auto* title = w.findChild<QLabel*>("LabelTitle");
    QCOMPARE(title->text(), QStringLiteral("???"));
    QCOMPARE(title->palette().color(QPalette::Window), QColor(64, 64, 64));
    QCOMPARE(w.findChild<QLabel*>("PanelDate")->text(), QStringLiteral("Top 10  "));
    QVERIFY(w.findChild<QLabel*>("PanelDate")->font().italic());
    auto* grid = w.findChild<TopTenGrid*>("SortGrid1");
    QVERIFY(grid);
    QVERIFY(!grid->isEnabled());
    QCOMPARE(grid->rowHeight(0), 0);
    QCOMPARE(TopTenGrid::columnAlignment(0), Qt::AlignHCenter);
    QCOMPARE(TopTenGrid::columnAlignment(2), Qt::AlignLeft);
    QCOMPARE(TopTenGrid::columnAlignment(5), Qt::AlignRight);
}

void TstMonitor3::placedOnSecondScreen()
{
    TFormMonitor3 w;
    const QRect second = QGuiApplication::screens().at(1)->geometry();
    w.place(second);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.geometry(), second);
    QCOMPARE(w.findChild<QLabel*>("LabelTitle")->geometry(), QRect(0, 0, 1920, 77));
    QCOMPARE(w.findChild<QLabel*>("PanelDate")->geometry(), QRect(0, 1003, 1920, 77));
    QCOMPARE(w.grid()->geometry(), QRect(0, 77, 1920, 926));
    QCOMPARE(w.grid()->rowHeight(1), 92);
    QCOMPARE(w.grid()->columnWidth(2), 689);
    // Re-laid out on resize.
    w.resize(1000, 700);
    QCOMPARE(w.grid()->rowHeight(1), 60);
    QCOMPARE(w.findChild<QLabel*>("LabelTitle")->height(), 50);
}

void TstMonitor3::refresh_data()
{
    QTest::addColumn<int>("results");
    QTest::addColumn<int>("filledLines");
    QTest::addRow("twelve results show the first ten") << 12 << 10;
    QTest::addRow("three results leave seven empty lines") << 3 << 3;
    QTest::addRow("empty table shows ten empty lines") << 0 << 0;
}

void TstMonitor3::refresh()
{
    QFETCH(int, results);
    QFETCH(int, filledLines);
    TFormMonitor3 w;
    w.RefreshTopTen(QStringLiteral("Acker Klassik 2026"), table(results));
    QCOMPARE(w.findChild<QLabel*>("LabelTitle")->text(), QStringLiteral("Acker Klassik 2026"));
    for (int row = 1; row <= 10; ++row) {
        if (row <= filledLines) {
            const QString n = QString::number(row);
            QCOMPARE(w.grid()->cellText(row, 0), QString::number(row + 2) + "," + n);
            QCOMPARE(w.grid()->cellText(row, 1), "Fahrer " + n);
            QCOMPARE(w.grid()->cellText(row, 2), "Marke " + n);
            QCOMPARE(w.grid()->cellText(row, 3), "Beifahrer " + n);
            QCOMPARE(w.grid()->cellText(row, 4), "1:0" + n + ",50");
            QCOMPARE(w.grid()->cellText(row, 5), "0," + n);
        } else {
            for (int col = 0; col < 6; ++col)
                QCOMPARE(w.grid()->cellText(row, col), QString());
        }
    }
    // A later refresh with fewer results empties the lines it no longer fills.
    w.RefreshTopTen(QString(), table(1));
    QCOMPARE(w.grid()->cellText(2, 1), QString());
}

void TstMonitor3::emptyStartNumberIsEmptyLine()
{
    TFormMonitor3 w;
    auto rows = table(4);
    rows[2][0].clear();
    w.RefreshTopTen(QStringLiteral("x"), rows);
    QCOMPARE(w.grid()->cellText(1, 1), QStringLiteral("Fahrer 1"));
    QCOMPARE(w.grid()->cellText(2, 1), QString());
    QCOMPARE(w.grid()->cellText(2, 0), QString());
    QCOMPARE(w.grid()->cellText(3, 1), QStringLiteral("Fahrer 3"));
}

void TstMonitor3::escapeHides()
{
    TFormMonitor3 w;
    w.place(QGuiApplication::screens().at(1)->geometry());
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(&w, Qt::Key_Escape);
    QVERIFY(w.isHidden());
    w.show();
    QVERIFY(w.isVisible());
}

void TstMonitor3::screenshot()
{
    TFormMonitor3 w;
    w.place(QRect(0, 0, 1920, 1080));
    auto rows = table(7);
    rows[5][9] = QStringLiteral("EL");
    rows[5][7] = QStringLiteral("EL");
    w.RefreshTopTen(QStringLiteral("Acker Klassik Sommerfest"), rows);
    const QImage img = w.grab().toImage();
    if (!qEnvironmentVariableIsEmpty("AK_SCREENSHOTS"))
        img.save(QStringLiteral("/tmp/monitor3.png"));
    // Row colours: place 1 light, place 2 darker, next to the left edge.
    QCOMPARE(QColor(img.pixel(2, 77 + 5)), QColor(210, 231, 255));
    QCOMPARE(QColor(img.pixel(2, 77 + 92 + 5)), QColor(153, 204, 255));
}

AK_TWO_SCREEN_TEST_MAIN(TstMonitor3)
#include "tst_monitor3.moc"
