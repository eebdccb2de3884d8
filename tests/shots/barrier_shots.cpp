// Renders the light-barrier views for a look by eye, on a fake adapter:
//   build/bin/akbarriershots <folder> [seconds shown]
// settings-barriers.png: the settings dialog with the lamps (CTS and DCD active) and a signal log;
// main-lost-barrier.png: the main window after the adapter was unplugged during a run.
// Each window stays on screen for the given seconds (default 0), for a screenshot of the desktop.
#include "app/FMain.h"
#include "barriers/light_barriers.h"
#include "barriers/port_table.h"
#include "fake_clock_parts.h"
#include "fake_serial_device.h"
#include "fake_serial_presence.h"
#include "settings/Cfg.h"
#include "settings/settings_store.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>

namespace {
void settle(int ms = 50)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

void showFor(int seconds)
{
    settle(seconds * 1000 + 100);
}
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp");
    const int seconds = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 0;
    QDir().mkpath(dir);

    // Settings of their own: the start barrier on COM5 /7,8, one contact for all three barriers.
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    {
        QSettings s(settingsOrganisation(), settingsApplication());
        AppSettings a;
        for (int b = 0; b < 3; ++b) {
            a.port[b] = 5;
            a.line[b] = 1;
        }
        a.autoFrei = true;
        a.phases = 1;
        a.timer = 0;
        a.width = 900;
        a.height = 600;
        saveSettings(s, a);
    }

    const QString device = QStringLiteral("/dev/ttyUSB0");
    PortTable table;
    table.setDevicePath(5, device);
    table.setDevicePath(6, QStringLiteral("/dev/ttyUSB1"));
    FakeSerialLine line;
    bool plugged = true;
    line.openResult = [&](const QString& p) {
        return p == device && plugged ? QString() : QStringLiteral("No such file or directory");
    };
    FakeSerialPresence presence;
    presence.plug(device, QStringLiteral("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"));
    presence.plug(QStringLiteral("/dev/ttyUSB1"),
                  QStringLiteral("usb-Prolific_Technology_Inc._USB-Serial_Controller_D-if00-port0"));

    FakeTickSource ticks(5000);
    FakeGong gong;
    MainWindowDeps deps(&ticks, &gong);
    deps.serialFactory = line.factory();
    deps.portTable = &table;
    deps.serialPresence = &presence;
    deps.recoveryFolder = settingsDir.path();
    TFormMain w(deps);
    w.createCompanionWindows();
    w.show();
    settle();

    // A run started and stopped by the barrier, and signals that did nothing.
    auto contact = [&](int gapMs) {
        ticks.advance(gapMs);
        line.setStatus(ModemLine::Cts);
        settle();
        line.setStatus(0);
        settle();
    };
    w.control<QComboBox>(QStringLiteral("cbStNr"))->setEditText(QStringLiteral("7"));
    w.control<QLineEdit>(QStringLiteral("Reiter"))->setText(QStringLiteral("Max Bauer"));
    contact(0); // not armed yet: logged only
    w.lightBarriers()->TimerGesperrtTimer();
    w.lightBarriers()->ImageLSClick(1);
    contact(2000); // START
    contact(400);  // within the lock-out
    w.lightBarriers()->TimerGesperrtTimer();
    contact(58230); // STOPP
    w.lightBarriers()->TimerGesperrtTimer();

    // The dialog while the contact of CTS /7,8 is closed and DCD /1,4 is active.
    line.setStatus(ModemLine::Cts | ModemLine::Rlsd);
    settle();
    TCfgDialog* d = w.settingsDialog();
    d->fill(w.settings(), w.barrierPortsForDialog());
    d->show();
    settle(200);
    d->grab().save(dir + QStringLiteral("/settings-barriers.png"));
    showFor(seconds);
    d->hide();
    line.setStatus(0);
    settle();

    // The next run: started by keys, then the adapter is unplugged.
    w.sequence().bRESETClick();
    w.control<QComboBox>(QStringLiteral("cbStNr"))->setEditText(QStringLiteral("8"));
    w.control<QLineEdit>(QStringLiteral("Reiter"))->setText(QStringLiteral("Eva Huber"));
    w.sequence().mStartClick();
    ticks.advance(12340);
    w.clock().ClockTimer();
    plugged = false;
    presence.unplug(device);
    line.failNextWait(SerialFailure::Gone);
    settle(300);
    w.grab().save(dir + QStringLiteral("/main-lost-barrier.png"));
    showFor(seconds);
    w.sequence().mStopClick();
    return 0;
}
