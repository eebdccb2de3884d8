#include "displays/FMonitor3.h"
#include "displays/TopTenGrid.h"

#include "element_bounds.h"
#include "two_screens.h"

#include <QApplication>
#include <QFontMetricsF>
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

// Ten results with long texts: driver, co-driver, make, total, last time, time penalty.
QVector<QStringList> longNamedTable()
{
    const char* entries[10][6] = {
        {"Hans-Peter Obermüller", "Hans-Peter Obermüller", "Lanz Bulldog D 2806", "12,5", "1:02,50", "0,5"},
        {"Maria Lechner", "Franziska Obermüller", "Hanomag R 16 Standard", "12,75", "1:04,12", "2,75"},
        {"Josef Brandl", "Theresia Brandl-Huber", "Fendt Dieselross F 20 G", "13", "58,07", "0"},
        {"Theo Wimmer", "Korbinian Wimmer", "Deutz F1L 514/51", "14,25", "1:12,90", "11,25"},
        {"Lisa Gruber", "Anna-Lena Gruber", "Porsche Junior 108 L", "15", "59,99", "0"},
        {"Karl Steiner", "Maximilian Steiner", "Eicher EKL 15/I", "16,5", "1:01,01", "3,5"},
        {"Resi Huber", "Walburga Huber", "Güldner ADN 9", "17", "1:00,00", "0"},
        {"Sepp Maier", "Bartholomäus Maier", "McCormick D-326", "18,25", "1:20,45", "10,25"},
        {"Franz Ostler", "Kreszenz Ostler", "Lanz Bulldog HR 8", "AUS", "AUS", "AUS"},
        {"Max Bauer", "Eva-Maria Bauer", "Schlüter DS 25", "EL", "EL", "EL"}};
    QVector<QStringList> rows{header()};
    for (int i = 0; i < 10; ++i) {
        const auto* e = entries[i];
        rows << QStringList{QString::number(i + 1),    QString::fromUtf8(e[0]), QString::fromUtf8(e[1]),
                            QString::fromUtf8(e[2]),   QStringLiteral("1952"),  QStringLiteral("3"),
                            QStringLiteral("1:00,00"), QString::fromUtf8(e[4]), QString::fromUtf8(e[5]),
                            QString::fromUtf8(e[3]),   QString::number(i + 1)};
    }
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
    void layoutAtScreenSizes_data();
    void layoutAtScreenSizes();
    void longTitleIsFitted();
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
    QCOMPARE(w.grid()->columnWidth(1), 441);
    QCOMPARE(w.grid()->columnWidth(2), 536);
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

void TstMonitor3::layoutAtScreenSizes_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addRow("1920x1080") << QSize(1920, 1080);
    QTest::addRow("1280x1024") << QSize(1280, 1024);
    QTest::addRow("1366x768") << QSize(1366, 768);
    QTest::addRow("3840x2160") << QSize(3840, 2160);
}

void TstMonitor3::layoutAtScreenSizes()
{
    QFETCH(QSize, size);
    TFormMonitor3 w;
    w.place(QRect(QPoint(0, 0), size));
    QCOMPARE(w.size(), size);
    w.RefreshTopTen(QStringLiteral("Oldtimer-Geschicklichkeitsfahren"), longNamedTable());
    QCOMPARE(clippedElements(w), QStringList());

    TopTenGrid* grid = w.grid();
    const int base = grid->font().pointSize();
    int right = 0;
    for (int col = 0; col < TopTenGrid::columnCount; ++col)
        right += grid->columnWidth(col) + 1;
    QVERIFY(right - 1 <= grid->width() + 1); // the columns end at the grid's edge
    for (int row = 1; row <= 10; ++row) {
        for (int col = 0; col < TopTenGrid::columnCount; ++col) {
            const QString text = grid->cellText(row, col);
            const CellFit fit = grid->cellFit(row, col);
            const QFontMetricsF fm(grid->cellFont(row, col));
            const QString where = QStringLiteral("place %1 column %2: %3").arg(row).arg(col).arg(text);
            QVERIFY2(fit.size >= smallestCellSize(base) && fit.size <= base, qPrintable(where));
            QVERIFY2(fm.horizontalAdvance(fit.text) <= grid->textWidth(col), qPrintable(where));
            QVERIFY2(fm.height() <= grid->rowHeight(row), qPrintable(where));
            QFont half = grid->font();
            half.setPointSize(smallestCellSize(base));
            if (QFontMetricsF(half).horizontalAdvance(text) <= grid->textWidth(col)) {
                // Fits at half the size or more: shown whole, at the largest size that fits.
                QVERIFY2(!fit.elided, qPrintable(where));
                QCOMPARE(fit.text, text);
                if (fit.size < base) {
                    QFont larger = grid->font();
                    larger.setPointSize(fit.size + 1);
                    QVERIFY2(QFontMetricsF(larger).horizontalAdvance(text) > grid->textWidth(col),
                             qPrintable(where));
                }
            } else {
                // Too wide even at half the size: cut at the right at half the size, and only then.
                QVERIFY2(fit.elided, qPrintable(where));
                QCOMPARE(fit.size, smallestCellSize(base));
                QVERIFY(fit.text.endsWith(QStringLiteral("…")));
                QVERIFY(text.startsWith(fit.text.chopped(1)));
                qInfo("%s cut to %s", qPrintable(where), qPrintable(fit.text));
            }
        }
    }
    // Every text of these long-named results shows whole at every size: the driver's and
    // co-driver's full names, the long makes and the totals with two decimals.
    for (int row = 1; row <= 10; ++row)
        for (int col = 0; col < TopTenGrid::columnCount; ++col)
            QVERIFY2(!grid->cellFit(row, col).elided,
                     qPrintable(QStringLiteral("place %1 column %2 cut").arg(row).arg(col)));
    QCOMPARE(grid->cellFit(1, 1).text, QStringLiteral("Hans-Peter Obermüller"));
    QCOMPARE(grid->cellFit(1, 3).text, QStringLiteral("Hans-Peter Obermüller"));
    QCOMPARE(grid->cellFit(1, 2).text, QStringLiteral("Lanz Bulldog D 2806"));
    QCOMPARE(grid->cellFit(1, 0).text, QStringLiteral("12,5"));
    QCOMPARE(grid->cellFit(2, 0).text, QStringLiteral("12,75"));
}

void TstMonitor3::longTitleIsFitted()
{
    TFormMonitor3 w;
    w.place(QRect(0, 0, 1280, 1024));
    const QString longTitle = QStringLiteral("Oldtimer-Traktoren-Geschicklichkeitsfahren Niederbayern 2026");
    w.RefreshTopTen(longTitle, table(1));
    auto* title = w.findChild<QLabel*>("LabelTitle");
    QCOMPARE(w.titleText(), longTitle);
    QCOMPARE(title->text(), longTitle);
    QVERIFY(title->font().pointSize() < 48);
    QCOMPARE(clippedElements(w), QStringList());
    // Too long even at half the size: cut at the right.
    w.RefreshTopTen(longTitle + QStringLiteral(" – ") + longTitle, table(1));
    QVERIFY(title->text().endsWith(QStringLiteral("…")));
    QCOMPARE(title->font().pointSize(), 24);
    QCOMPARE(clippedElements(w), QStringList());
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
