// What the time display shows from the program's start: the configured colours and
// countdown length, as the main window's clock does.
#include "main_window_rig.h"

#include "displays/FMonitor2.h"
#include "displays/Udigit.h"
#include "two_screens.h"

#include <QApplication>
#include <QLabel>

class TestTimeDisplayAtStart : public QObject {
    Q_OBJECT
    IsolatedSettings m_settings;

private Q_SLOTS:
    void init() { clearStoredSettings(); }

    void timeDisplayAtStart_data()
    {
        QTest::addColumn<int>("timer"); // tenths of a second
        QTest::addColumn<QString>("expected");
        QTest::newRow("countdown of 60 s") << 600 << "010000";
        QTest::newRow("countdown of 9.9 s") << 99 << "000990";
        QTest::newRow("no countdown: zero") << 0 << "000000";
    }
    void timeDisplayAtStart()
    {
        QFETCH(int, timer);
        QFETCH(QString, expected);
        {
            // A complete stored set first: the reading stops at the first missing value.
            MainRig rig;
            auto w = rig.make(false, false);
        }
        const Rgb background = rgb(0, 0, 96);
        const Rgb dim = rgb(40, 40, 120);
        const Rgb timerColour = rgb(255, 128, 0);
        storeSetting("Timer", timer);
        storeSetting("C0", int(background));
        storeSetting("C1", int(dim));
        storeSetting("C2", int(timerColour));

        MainRig rig;
        auto w = rig.make(true, false);
        TFormMonitor2* td = w->timeDisplay();
        QWidget* central = w->centralWidget();
        QString digits;
        for (int d = 3; d <= 8; ++d) {
            TDigit* display = td->digit(d, 1);
            TDigit* operators = central->findChild<TDigit*>(QStringLiteral("Digit%1").arg(d));
            QVERIFY(operators);
            digits += QString::number(display->value());
            QCOMPARE(display->value(), operators->value());
            QCOMPARE(display->colorOn(), operators->colorOn());
            if (d >= 4) {
                QCOMPARE(display->colorOff(), background);
                QCOMPARE(display->color(), background);
            }
        }
        QCOMPARE(digits, expected);
        // The seconds and hundredths are lit in the timer colour, the tens of minutes dim.
        QCOMPARE(td->digit(6, 1)->colorOn(), timerColour);
        QCOMPARE(td->digit(3, 1)->colorOn(), dim);
        QCOMPARE(td->labSec()->palette().color(QPalette::WindowText), QColor(255, 128, 0));
    }
};

AK_TWO_SCREEN_TEST_MAIN(TestTimeDisplayAtStart)
#include "tst_time_display_at_start.moc"
