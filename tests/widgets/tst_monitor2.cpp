#include "displays/FMonitor2.h"
#include "displays/Udigit.h"

#include "element_bounds.h"
#include "two_screens.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QTest>

class TstMonitor2 : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void twoScreens();
    void initialLook();
    void coversSecondScreen();
    void escape_data();
    void escape();
    void repeatedShowsKeepLayout();
    void elementsInsideWindow_data();
    void elementsInsideWindow();
    void screenshot();
};

void TstMonitor2::twoScreens()
{
    QCOMPARE(QGuiApplication::screens().size(), 2);
    QCOMPARE(QGuiApplication::screens().at(1)->geometry(), QRect(1280, 0, 1920, 1080));
}

void TstMonitor2::initialLook()
{
    TFormMonitor2 w(referenceMainTimer(), [] { return 1; });
    QCOMPARE(w.windowTitle(), QStringLiteral("Monitor 2"));
    QVERIFY(w.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(w.cursor().shape(), Qt::BlankCursor);
    QCOMPARE(w.findChild<QLabel*>("PanelTitle")->text(), QStringLiteral("* * *"));
    QCOMPARE(w.findChild<QLabel*>("Label1")->text(), QStringLiteral(" 1:"));
    QCOMPARE(w.findChild<QLabel*>("Label2")->text(), QStringLiteral("2:"));
    QCOMPARE(w.findChild<QLabel*>("Label1")->palette().color(QPalette::WindowText), QColor(0, 255, 0));
    for (const char* name : {"Panel1", "PanelTimer", "PanelLab1", "PanelLab2"})
        QVERIFY2(w.findChild<QWidget*>(name), name);
    for (int row = 1; row <= 2; ++row) {
        for (int i = 3; i <= 8; ++i) {
            TDigit* d = w.digit(i, row);
            QVERIFY(d);
            QCOMPARE(d->objectName(), QStringLiteral("Digit%1%2").arg(i).arg(row == 2 ? "a" : ""));
            QCOMPARE(d->value(), 0);
            QCOMPARE(d->colorOn(), i <= 5 ? rgb(64, 64, 64) : rgb(255, 255, 0));
            QCOMPARE(d->colorOff(), rgb(0, 0, 0));
        }
    }
    QVERIFY(!w.digit(2, 1));
    QVERIFY(!w.digit(3, 3));
    QCOMPARE(w.labMin()->text(), QStringLiteral(":"));
    QCOMPARE(w.labSec()->text(), QStringLiteral(","));
    QCOMPARE(w.findChild<QLabel*>("LabSec2")->palette().color(QPalette::WindowText), QColor(255, 255, 0));
}

void TstMonitor2::coversSecondScreen()
{
    TFormMonitor2 w(referenceMainTimer(), [] { return 1; });
    const QRect second = QGuiApplication::screens().at(1)->geometry();
    w.PlaceTimeDisplay(second);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.geometry(), second);
    QCOMPARE(w.screen(), QGuiApplication::screens().at(1));
    QCOMPARE(w.findChild<QWidget*>("PanelTimer")->size(), second.size());
    // First-row digits at full-HD scale; the row ends inside the window.
    QCOMPARE(w.digit(3, 1)->geometry(), QRect(35, 181, 240, 365));
    QCOMPARE(w.digit(8, 2)->geometry(), QRect(1632, 673, 239, 365));
    QCOMPARE(w.digit(8, 1)->thickness(), 22);
    QCOMPARE(w.digit(8, 2)->thickness(), 22);
}

void TstMonitor2::escape_data()
{
    QTest::addColumn<int>("monitor");
    QTest::addColumn<bool>("hidden");
    QTest::addRow("operator's screen: Escape hides") << 0 << true;
    QTest::addRow("second screen: Escape does nothing") << 1 << false;
}

void TstMonitor2::escape()
{
    QFETCH(int, monitor);
    QFETCH(bool, hidden);
    TFormMonitor2 w(referenceMainTimer(), [monitor] { return monitor; });
    w.PlaceTimeDisplay();
    QCOMPARE(w.geometry(), QGuiApplication::screens().at(monitor)->geometry());
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(&w, Qt::Key_Escape);
    QCOMPARE(w.isHidden(), hidden);
}

void TstMonitor2::repeatedShowsKeepLayout()
{
    TFormMonitor2 w(referenceMainTimer(), [] { return 1; });
    w.PlaceTimeDisplay();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const double xs = w.xs();
    const QRect d8 = w.digit(8, 1)->geometry();
    w.hide();
    w.PlaceTimeDisplay();
    w.show();
    QCOMPARE(w.xs(), xs);
    QCOMPARE(w.digit(8, 1)->geometry(), d8);
}

void TstMonitor2::elementsInsideWindow_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addRow("1920x1080") << QSize(1920, 1080);
    QTest::addRow("1280x1024") << QSize(1280, 1024);
    QTest::addRow("1366x768") << QSize(1366, 768);
    QTest::addRow("3840x2160") << QSize(3840, 2160);
}

void TstMonitor2::elementsInsideWindow()
{
    QFETCH(QSize, size);
    TFormMonitor2 w(referenceMainTimer(), [] { return 1; });
    w.PlaceTimeDisplay(QRect(QPoint(0, 0), size));
    QCOMPARE(w.size(), size);
    // Every panel, digit, sign and caption with its text lies inside its parent and the window.
    QCOMPARE(clippedElements(w), QStringList());

    for (int row = 1; row <= 2; ++row) {
        const QString r = row == 1 ? QString() : QStringLiteral("2");
        auto* colon = w.findChild<QLabel*>(QStringLiteral("LabMin") + r);
        auto* comma = w.findChild<QLabel*>(QStringLiteral("LabSec") + r);
        const QRect d4 = w.digit(4, row)->geometry();
        const QRect d5 = w.digit(5, row)->geometry();
        const QRect d6 = w.digit(6, row)->geometry();
        const QRect d7 = w.digit(7, row)->geometry();
        // Digits side by side, each drawn with the thickness scaled from the main window.
        for (int d = 4; d <= 8; ++d) {
            QVERIFY(w.digit(d - 1, row)->geometry().right() < w.digit(d, row)->geometry().left());
            QCOMPARE(w.digit(d, row)->thickness(), roundHalfEven(5 * w.xs()));
        }
        // ":" in the gap between the minutes and the seconds, "," between seconds and tenths,
        // the "," reaching below the row's bottom edge as a written comma does.
        const QRect colonInk = labelTextInk(colon).translated(colon->pos());
        const QRect commaInk = labelTextInk(comma).translated(comma->pos());
        QVERIFY(colonInk.left() > d4.right() && colonInk.right() < d5.left());
        QVERIFY(commaInk.left() > d6.right() && commaInk.right() < d7.left());
        QVERIFY(colonInk.top() > d4.top() && colonInk.bottom() <= d4.bottom());
        QVERIFY(commaInk.top() < d6.bottom() && commaInk.bottom() > d6.bottom() - d6.height() / 10);
    }
}

void TstMonitor2::screenshot()
{
    TFormMonitor2 w(referenceMainTimer(), [] { return 1; });
    w.PlaceTimeDisplay(QRect(0, 0, 1920, 1080));
    const int shown[6] = {0, 1, 2, 3, 4, 7};
    for (int i = 0; i < 6; ++i) {
        w.digit(i + 3, 1)->setValue(shown[i]);
        if (i >= 1)
            w.digit(i + 3, 1)->setColorOn(rgb(0, 255, 0));
    }
    w.setLabMinColour(rgb(0, 255, 0));
    w.setLabSecColour(rgb(0, 255, 0));
    const QImage img = w.grab().toImage();
    QCOMPARE(img.size(), QSize(1920, 1080));
    if (!qEnvironmentVariableIsEmpty("AK_SCREENSHOTS"))
        img.save(QStringLiteral("/tmp/monitor2.png"));
    // Top bar of the hundredths digit (a 7): lit green in the middle of the bar.
    const QRect d8 = w.digit(8, 1)->geometry();
    QCOMPARE(QColor(img.pixel(d8.center().x(), d8.top() + 22)), QColor(0, 255, 0));
}

AK_TWO_SCREEN_TEST_MAIN(TstMonitor2)
#include "tst_monitor2.moc"
