// The settings dialog's barrier area on the main window: the port list leaves the barrier as
// it is, the lamps and the signal log follow the watcher live, adapters keep their identity.
#include "main_window_rig.h"

#include "barriers/Comms.h"
#include "barriers/light_barriers.h"
#include "fake_serial_presence.h"
#include "settings/Cfg.h"
#include "settings/CfgBarrierPanel.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>

namespace {

constexpr int kPort = 5;
const QString ftdi = QStringLiteral("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");

void answerSettings(std::function<void(TCfgDialog&)> edit, const char* button)
{
    QTimer::singleShot(0, [edit = std::move(edit), button] {
        auto* d = qobject_cast<TCfgDialog*>(QApplication::activeModalWidget());
        if (!d)
            return;
        if (edit)
            edit(*d);
        if (auto* b = d->findChild<QPushButton*>(QString::fromLatin1(button)))
            b->click();
        if (d->isVisible())
            d->reject();
    });
}

template <typename T> T* field(QWidget& d, const char* name)
{
    return d.findChild<T*>(QString::fromLatin1(name));
}

QList<int> lamps(QWidget& d)
{
    return {field<LineLamp>(d, "LampCTS")->level(), field<LineLamp>(d, "LampDSR")->level(),
            field<LineLamp>(d, "LampDCD")->level()};
}

// Devices of two ports with lines of their own: each path has its fake line.
class RoutedDevice final : public SerialDevice {
public:
    explicit RoutedDevice(QHash<QString, FakeSerialLine*> lines) : m_lines(std::move(lines)) {}
    QString open(const QString& path) override
    {
        FakeSerialLine* line = m_lines.value(path);
        if (!line)
            return QStringLiteral("No such file or directory");
        m_inner = std::make_unique<FakeSerialDevice>(*line);
        return m_inner->open(path);
    }
    QString applySettings(const SerialLineSettings& s) override { return m_inner->applySettings(s); }
    WaitResult waitForEvents(quint32 mask, quint32& occurred) override
    {
        return m_inner->waitForEvents(mask, occurred);
    }
    quint32 modemStatus() override { return m_inner ? m_inner->modemStatus() : 0; }
    void requestStop() override { m_inner->requestStop(); }
    void close() override
    {
        if (m_inner)
            m_inner->close();
    }
    SerialFailure lastFailure() const override
    {
        return m_inner ? m_inner->lastFailure() : SerialFailure::Missing;
    }

private:
    QHash<QString, FakeSerialLine*> m_lines;
    std::unique_ptr<FakeSerialDevice> m_inner;
};

} // namespace

class TestCfgBarrierLive : public QObject {
    Q_OBJECT
    IsolatedSettings m_settings;

private Q_SLOTS:
    void init()
    {
        clearStoredSettings();
        storeSettingsWithBarriersOnCts(kPort, 3);
        storeSetting("Phases", 1);
        storeSetting("AutoFrei", 1);
    }

    // Opening the port list while the program holds the port (which no second open gets) keeps
    // it offered; an OK that changes something else keeps the barrier as it was.
    void lookingAtThePortListChangesNothing()
    {
        MainRig rig(1000, kPort);
        FakeSerialLine* line = rig.line.get();
        rig.line->openResult = [line, p = rig.path](const QString& asked) {
            if (asked != p)
                return QStringLiteral("No such file or directory");
            return line->openDevices > 0 ? QStringLiteral("Device or resource busy") : QString();
        };
        auto w = rig.make();
        QVERIFY(w->comPort()->Connected());
        const int opensBefore = int(rig.line->openedPaths.size());
        QString before, after;
        int opensWhileShown = -1;
        answerSettings(
            [&](TCfgDialog& d) {
                auto* list = field<QComboBox>(d, "cbPort1");
                before = list->currentText();
                list->showPopup();
                list->hidePopup();
                after = list->currentText();
                opensWhileShown = int(rig.line->openedPaths.size()) - opensBefore;
                field<QSpinBox>(d, "seELZ1")->setValue(30);
            },
            "OKBtn");
        QTest::keyClick(w.get(), Qt::Key_F2);
        QCOMPARE(before, QStringLiteral("COM5 /7,8"));
        QCOMPARE(after, before);
        QCOMPARE(opensWhileShown, 0); // the held port is offered without trying it
        QCOMPARE(w->settings().elz1, 30);
        QCOMPARE(w->settings().port[0], quint8(kPort));
        QCOMPARE(w->settings().line[0], quint8(1));
        QVERIFY(w->comPort()->Connected());
        QVERIFY(w->availablePorts() & (1u << (kPort - 1)));
        QCOMPARE(w->lightBarriers()->indicatorState(1), int(LightBarriers::Disarmed));
    }

    void lampsAndLogFollowTheWatcherLive()
    {
        MainRig rig(1000, kPort);
        auto w = rig.make();
        QTest::keyClick(w.get(), Qt::Key_F11);
        rig.line->setStatus(ModemLine::Cts); // START by the barrier
        QTRY_VERIFY(w->clock().running());
        const int armedStop = w->lightBarriers()->indicatorState(2);
        const int opens = int(rig.line->openedPaths.size());
        QList<int> first, live;
        QStringList log;
        int logAfterSignal = 0;
        answerSettings(
            [&](TCfgDialog& d) {
                first = lamps(d);
                rig.line->setStatus(ModemLine::Dsr | ModemLine::Rlsd);
                QTRY_COMPARE(lamps(d), (QList<int>{0, 1, 1}));
                live = lamps(d);
                auto* list = field<QListWidget>(d, "lbSignale");
                for (int i = 0; i < list->count(); ++i)
                    log << list->item(i)->text();
                w->lightBarriers()->TimerGesperrtTimer();
                rig.line->setStatus(ModemLine::Cts); // the finish while the dialog is open
                QTRY_COMPARE(list->count(), 2);
                logAfterSignal = list->count();
                QVERIFY(list->item(1)->text().endsWith(QStringLiteral("LS Start: STOPP")));
            },
            "CancelBtn");
        w->bCFGClick(); // while the run is timed: the dialog disarms nothing
        QCOMPARE(first, (QList<int>{1, 0, 0}));
        QCOMPARE(live, (QList<int>{0, 1, 1}));
        QCOMPARE(log.size(), 1);
        QVERIFY2(log.first().endsWith(QStringLiteral("LS Start: START")), qPrintable(log.first()));
        QVERIFY(log.first().contains(QStringLiteral("Tick 1000")));
        QCOMPARE(logAfterSignal, 2);
        QCOMPARE(armedStop, int(LightBarriers::Armed));
        QVERIFY(!w->clock().running()); // stopped by the contact while the dialog was open
        QVERIFY(w->comPort()->Connected());
        QCOMPARE(int(rig.line->openedPaths.size()), opens); // nothing reopened
    }

    // Another port chosen in the list is opened for its lamps while it is chosen, and closed
    // again before OK opens the barrier port.
    void anotherPortIsWatchedOnlyWhileChosen_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::newRow("cancelled") << false;
        QTest::newRow("taken with OK") << true;
    }
    void anotherPortIsWatchedOnlyWhileChosen()
    {
        QFETCH(bool, ok);
        MainRig rig(1000, kPort);
        const QString other = QStringLiteral("/fake/tty12");
        FakeSerialLine otherLine;
        rig.table.setDevicePath(12, other);
        QHash<QString, FakeSerialLine*> lines{{rig.path, rig.line.get()}, {other, &otherLine}};
        rig.deps.serialFactory = [lines] { return std::make_unique<RoutedDevice>(lines); };
        auto w = rig.make();
        QVERIFY(w->comPort()->Connected());
        int otherWhileChosen = 0, otherBack = 0;
        QList<int> otherLamps;
        answerSettings(
            [&](TCfgDialog& d) {
                auto* list = field<QComboBox>(d, "cbPort1");
                list->setCurrentIndex(list->findText(QStringLiteral("COM12 /1,4")));
                otherWhileChosen = otherLine.openDevices;
                otherLine.setStatus(ModemLine::Rlsd);
                QTRY_COMPARE(field<LineLamp>(d, "LampDCD")->level(), 1);
                otherLamps = lamps(d);
                list->setCurrentIndex(list->findText(QStringLiteral("COM5 /7,8")));
                otherBack = otherLine.openDevices;
                list->setCurrentIndex(list->findText(QStringLiteral("COM12 /1,4")));
            },
            ok ? "OKBtn" : "CancelBtn");
        w->bCFGClick();
        QCOMPARE(otherWhileChosen, 1);
        QCOMPARE(otherLamps, (QList<int>{0, 0, 1}));
        QCOMPARE(otherBack, 0);
        // Cancelled: the lamps' port is closed again; OK: it is the barrier port now, once.
        QCOMPARE(otherLine.openDevices, ok ? 1 : 0);
        QCOMPARE(rig.line->openDevices, ok ? 0 : 1);
        QVERIFY(w->comPort()->Connected());
        QCOMPARE(int(w->comPort()->Port()), ok ? 12 : kPort);
        QCOMPARE(int(w->settings().port[0]), ok ? 12 : kPort);
        QCOMPARE(int(w->settings().line[0]), ok ? 2 : 1);
    }

    // The adapter's name beside the COM number; its identity kept, so that the barrier stays
    // with it when it comes back in another socket and another adapter has its old number.
    void adapterIdentityKeepsTheBarrierOnItsAdapter()
    {
        FakeSerialPresence presence;
        {
            MainRig rig(1000, kPort);
            presence.plug(rig.path, ftdi);
            rig.deps.serialPresence = &presence;
            auto w = rig.make();
            QString entry;
            answerSettings([&](TCfgDialog& d) { entry = field<QComboBox>(d, "cbPort1")->currentText(); },
                           "OKBtn");
            w->bCFGClick();
            QCOMPARE(entry, QStringLiteral("COM5 /7,8  (FTDI FT232R USB UART A50285BI)"));
            QCOMPARE(w->settings().port1Adapter, ftdi);
        }
        QCOMPARE(storedSetting("Port1Adapter").toString(), ftdi);
        QCOMPARE(storedSetting("Port1").toInt(), 1 * 256 + kPort);

        // Next day: another adapter at /dev/ttyUSB0 (COM5), ours at COM6.
        MainRig rig(1000, kPort);
        rig.table.setDevicePath(6, QStringLiteral("/fake/tty6"));
        rig.line->openResult = [](const QString&) { return QString(); };
        FakeSerialPresence nextDay;
        nextDay.plug(rig.path,
                     QStringLiteral("usb-Prolific_Technology_Inc._USB-Serial_Controller-if00-port0"));
        nextDay.plug(QStringLiteral("/fake/tty6"), ftdi);
        rig.deps.serialPresence = &nextDay;
        auto w = rig.make();
        QCOMPARE(rig.line->openedPaths, QStringList{QStringLiteral("/fake/tty6")});
        QCOMPARE(int(w->settings().port[0]), 6);
        QCOMPARE(int(w->settings().port[1]), 6); // the stop barrier on the same contact follows
        QCOMPARE(int(w->lightBarriers()->config(1).Port), 6);
        QCOMPARE(w->lightBarriers()->indicatorState(1), int(LightBarriers::Disarmed));
    }
};

QTEST_MAIN(TestCfgBarrierLive)
#include "tst_cfg_barrier_live.moc"
