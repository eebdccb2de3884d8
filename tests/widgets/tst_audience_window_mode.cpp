// How the time display and the top ten are handed to the window system: on the operator's own
// monitor a managed full-screen window that takes Escape; on another monitor a window
// that bypasses the window manager, so it lands exactly there and the keyboard stays
// with the main window.
#include "main_window_rig.h"

#include "displays/FMonitor2.h"
#include "displays/FMonitor3.h"
#include "two_screens.h"

#include <QApplication>
#include <QScreen>

class TestAudienceWindowMode : public QObject {
    Q_OBJECT
    IsolatedSettings m_settings;

    static QWidget* audienceWindow(TFormMain& w, bool topTen)
    {
        return topTen ? static_cast<QWidget*>(w.topTen()) : static_cast<QWidget*>(w.timeDisplay());
    }

private Q_SLOTS:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::screens().size(), 2);
    }
    void init() { clearStoredSettings(); }

    void modeFollowsTheMonitor_data()
    {
        QTest::addColumn<bool>("topTen");
        QTest::addColumn<int>("monitor");
        QTest::newRow("time display, operator's monitor") << false << 0;
        QTest::newRow("time display, second monitor") << false << 1;
        QTest::newRow("top ten, operator's monitor") << true << 0;
        QTest::newRow("top ten, second monitor") << true << 1;
    }
    void modeFollowsTheMonitor()
    {
        QFETCH(bool, topTen);
        QFETCH(int, monitor);
        MainRig rig;
        auto w = rig.make();
        w->settings().monitor = monitor;
        QTest::keyClick(w.get(), topTen ? Qt::Key_1 : Qt::Key_2, Qt::AltModifier);
        QWidget* s = audienceWindow(*w, topTen);
        QVERIFY(s->isVisible());
        QCOMPARE(s->windowFlags().testFlag(Qt::X11BypassWindowManagerHint), monitor > 0);
        QCOMPARE(s->isFullScreen(), monitor == 0);
        QCOMPARE(s->geometry(), QGuiApplication::screens().at(monitor)->geometry());
        QVERIFY(s->windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(s->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        if (monitor > 0) {
            // The operator types on: the next key reaches the main window's commands.
            QTRY_COMPARE(QApplication::activeWindow(), w.get());
            QTest::keyClick(w.get(), Qt::Key_0, Qt::AltModifier);
            QVERIFY(!s->isVisible());
        }
    }

    void changedMonitorTakesEffectAtTheNextShow_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::newRow("second monitor, then the operator's") << 1 << 0;
        QTest::newRow("operator's monitor, then the second") << 0 << 1;
    }
    void changedMonitorTakesEffectAtTheNextShow()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        MainRig rig;
        auto w = rig.make();
        TFormMonitor2* td = w->timeDisplay();
        w->settings().monitor = from;
        QTest::keyClick(w.get(), Qt::Key_2, Qt::AltModifier);
        QCOMPARE(td->geometry(), QGuiApplication::screens().at(from)->geometry());

        if (from == 0) {
            // Over the operator's screen it has the keyboard; Escape hides it.
            QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(td));
            QTest::keyClick(td, Qt::Key_Escape);
            QVERIFY(!td->isVisible());
            w->activateWindow();
        }
        // On the second monitor it stays shown while the setting changes.
        w->settings().monitor = to;
        QTRY_COMPARE(QApplication::activeWindow(), w.get());
        QTest::keyClick(w.get(), Qt::Key_2, Qt::AltModifier);
        QVERIFY(td->isVisible());
        QCOMPARE(td->windowFlags().testFlag(Qt::X11BypassWindowManagerHint), to > 0);
        QCOMPARE(td->isFullScreen(), to == 0);
        QCOMPARE(td->geometry(), QGuiApplication::screens().at(to)->geometry());
        QCOMPARE(td->screen(), QGuiApplication::screens().at(to));
    }
};

AK_TWO_SCREEN_TEST_MAIN(TestAudienceWindowMode)
#include "tst_audience_window_mode.moc"
