// The main window when a barrier cannot signal: a lost adapter during a run and its return, a
// port that does not open, missing permission, and the "Aus" mode's starting level.
#include "main_window_rig.h"

#include "barriers/BarrierIndicator.h"
#include "barriers/Comms.h"
#include "barriers/barrier_connection.h"
#include "barriers/light_barriers.h"
#include "fake_serial_presence.h"
#include "settings/Cfg.h"
#include "widgets/CommandButton.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

namespace {

constexpr int kPort = 5;
const QString kLostText = QStringLiteral("Lichtschranke getrennt: COM5 (/fake/tty5)");

int indicator(TFormMain& w, int barrier)
{
    return w.control<BarrierIndicator>(QStringLiteral("ImageLS%1").arg(barrier))->index();
}

// One closing and opening of the contact on CTS, each handed to the window before the next.
void contact(TFormMain& w, FakeSerialLine& line)
{
    const int before = w.lightBarriers()->signalLog().size();
    line.setStatus(ModemLine::Cts);
    QTRY_VERIFY(w.lightBarriers()->signalLog().size() > before);
    w.lightBarriers()->TimerGesperrtTimer();
    line.setStatus(0);
    QTRY_COMPARE(w.lightBarriers()->lineMemory(1), LightBarriers::LineMemoryReset);
}

// Answers the settings dialog that opens next: edit its controls, then press the named button.
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

// A rig whose adapter at /fake/tty5 can be unplugged and plugged again.
struct PluggableRig : MainRig {
    PluggableRig() : MainRig(5000, kPort)
    {
        presence.plug(path);
        deps.serialPresence = &presence;
        line->openResult = [this](const QString& asked) {
            if (asked != path || !plugged)
                return QStringLiteral("No such file or directory");
            return refusal;
        };
        line->openFailure = [this](const QString&) { return failure; };
    }
    void unplug()
    {
        plugged = false;
        presence.unplug(path);
        line->failNextWait(SerialFailure::Gone);
    }
    void replug()
    {
        plugged = true;
        presence.plug(path);
    }
    FakeSerialPresence presence;
    bool plugged = true;
    QString refusal;
    SerialFailure failure = SerialFailure::Missing;
};

} // namespace

class TestMainBarrierFaults : public QObject {
    Q_OBJECT
    IsolatedSettings m_settings;

private Q_SLOTS:
    void init()
    {
        clearStoredSettings();
        // One CTS contact as all three barriers.
        storeSettingsWithBarriersOnCts(kPort, 3);
        storeSetting("AutoFrei", 1);
        storeSetting("Phases", 1);
    }

    // Unplugged while the stop barrier waits for the finish; plugged in again: the next contact
    // stops the run, and the time is the one the clock ran all along.
    void unplugDuringAnArmedRunReplugAndTheNextContactStops()
    {
        PluggableRig rig;
        auto w = rig.make();
        QVERIFY(w->comPort()->Connected());
        w->control<QComboBox>(QStringLiteral("cbStNr"))->setEditText(QStringLiteral("7"));
        QTest::keyClick(w.get(), Qt::Key_F11);
        contact(*w, *rig.line);
        QVERIFY(w->clock().running());
        QCOMPARE(w->lightBarriers()->indicatorState(2), int(LightBarriers::Armed));

        rig.unplug();
        QTRY_COMPARE(indicator(*w, 2), 4 + LightBarriers::Lost);
        QCOMPARE(indicator(*w, 1), LightBarriers::Lost);
        QCOMPARE(w->statusNoticeText(), kLostText);
        QVERIFY(!w->comPort()->Connected());
        QCOMPARE(rig.line->openDevices, 0); // the dead device is closed at once
        QVERIFY(w->clock().running());
        rig.ticks.advance(20000);

        rig.replug();
        QVERIFY(w->comPort()->Connected());
        QCOMPARE(w->lightBarriers()->indicatorState(2), int(LightBarriers::Armed));
        QCOMPARE(w->statusNoticeText(), QStringLiteral("Lichtschranke wieder verbunden: COM5 (/fake/tty5)"));
        rig.ticks.advance(3450);
        contact(*w, *rig.line);
        QVERIFY(!w->clock().running());
        QCOMPARE(w->clock().state().StopTick - w->clock().state().StartTick, 23450u);
    }

    void keysTimeTheRunWhileTheBarrierIsLost()
    {
        storeSetting("Phases", 2);
        PluggableRig rig;
        auto w = rig.make();
        QTest::keyClick(w.get(), Qt::Key_F11);
        contact(*w, *rig.line);
        QVERIFY(w->clock().running());
        rig.unplug();
        QTRY_COMPARE(w->statusNoticeText(), kLostText);
        rig.ticks.advance(1500);
        QTest::keyClick(w.get(), Qt::Key_F9);
        QCOMPARE(w->control<CommandButton>(QStringLiteral("bSTOP"))->text(), QStringLiteral("STOPP2"));
        rig.ticks.advance(700);
        QTest::keyClick(w.get(), Qt::Key_F9);
        QVERIFY(!w->clock().running());
        QCOMPARE(w->clock().state().PhaseOneTime, 1500);
        // Still lost: the indicators show it, nothing pretends to be armed.
        QCOMPARE(w->lightBarriers()->indicatorState(1), int(LightBarriers::Lost));
        QCOMPARE(w->statusNoticeText(), kLostText);
    }

    // A port that cannot be opened shows closed at start-up and after OK, and says why.
    void portThatFailsToOpenShowsClosed_data()
    {
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<int>("failure");
        QTest::addColumn<QString>("notice");
        QTest::newRow("held by another program")
            << "Device or resource busy" << int(SerialFailure::Busy)
            << "Lichtschranke nicht geöffnet: COM5 (/fake/tty5): Device or resource busy";
        QTest::newRow("no permission")
            << "Permission denied" << int(SerialFailure::NoAccess) << BarrierConnection::accessNoticeText();
        QTest::newRow("adapter missing")
            << "No such file or directory" << int(SerialFailure::Missing) << kLostText;
    }
    void portThatFailsToOpenShowsClosed()
    {
        QFETCH(QString, refusal);
        QFETCH(int, failure);
        QFETCH(QString, notice);
        storeSetting("Timer", 0); // OK arms the start barrier at once where it can
        MainRig rig(1000, kPort);
        rig.line->openResult = [refusal](const QString&) { return refusal; };
        rig.line->openFailure = [failure](const QString&) { return SerialFailure(failure); };
        auto w = rig.make();
        QCOMPARE(indicator(*w, 1), 0);
        QCOMPARE(w->statusNoticeText(), notice);
        answerSettings({}, "OKBtn");
        QTest::keyClick(w.get(), Qt::Key_F2);
        QCOMPARE(w->settings().port[0], quint8(kPort));
        QCOMPARE(indicator(*w, 1), 0); // closed, not armed
        QCOMPARE(indicator(*w, 2), 4);
        QCOMPARE(w->statusNoticeText(), notice);
        // said once, not once per attempt or per port
        QCOMPARE(w->statusNoticeText().count(QStringLiteral("Lichtschranke")) +
                     w->statusNoticeText().count(QStringLiteral("dialout")),
                 1);
    }

    // No port configured yet, the adapter present but not permitted: the first start says so,
    // in the status bar and in the settings dialog, with the command that fixes it.
    void firstRunWithoutPermission()
    {
        clearStoredSettings();
        MainRig rig(1000, kPort);
        FakeSerialPresence presence;
        presence.set(rig.path, SerialNode::Kind::Usb, false);
        rig.deps.serialPresence = &presence;
        auto w = rig.make();
        QCOMPARE(w->statusNoticeText(), BarrierConnection::accessNoticeText());
        QVERIFY(w->statusNoticeText().contains(QStringLiteral("sudo usermod -aG dialout $USER")));
        QVERIFY(rig.line->openedPaths.isEmpty()); // judged without opening
        QString shown;
        bool visible = false;
        answerSettings(
            [&](TCfgDialog& d) {
                auto* note = d.findChild<QLabel*>(QStringLiteral("LabSerialAccess"));
                shown = note->text();
                visible = note->isVisible();
            },
            "CancelBtn");
        QTest::keyClick(w.get(), Qt::Key_F2);
        QVERIFY(visible);
        QCOMPARE(shown, BarrierConnection::accessNoticeText());

        // Permitted (after joining the group and logging in again): the notice goes.
        presence.set(rig.path, SerialNode::Kind::Usb, true);
        bool shownAgain = false;
        answerSettings([&](TCfgDialog&) { shownAgain = true; }, "CancelBtn");
        w->bCFGClick();
        QVERIFY(shownAgain);
        QCOMPARE(w->statusNoticeText(), QStringLiteral("Zeitmessung für Geschicklichkeitsfahren"));
    }

    // "Aus" signals when the contact opens: the level read at opening is the reference for the
    // first edge, at start-up and after every OK of the settings.
    void ausModeKeepsItsStartingLevel_data()
    {
        QTest::addColumn<bool>("afterOk");
        QTest::newRow("at start-up") << false;
        QTest::newRow("after settings OK") << true;
    }
    void ausModeKeepsItsStartingLevel()
    {
        QFETCH(bool, afterOk);
        // The one contact serves as all three barriers, all in mode "Aus".
        for (const char* alg : {"Alg1", "Alg2", "Alg3"})
            storeSetting(alg, 1);
        storeSetting("Timer", 0);
        MainRig rig(1000, kPort);
        rig.line->setStatus(ModemLine::Cts); // the light beam closes the contact while idle
        auto w = rig.make();
        QVERIFY(w->comPort()->Connected());
        if (afterOk) {
            answerSettings({}, "OKBtn");
            QTest::keyClick(w.get(), Qt::Key_F2);
            QVERIFY(w->comPort()->Connected());
        }
        if (w->lightBarriers()->indicatorState(1) != LightBarriers::Armed)
            QTest::keyClick(w.get(), Qt::Key_F11);
        QCOMPARE(w->lightBarriers()->indicatorState(1), int(LightBarriers::Armed));
        rig.line->setStatus(0); // the vehicle breaks the beam
        QTRY_VERIFY(w->clock().running());
    }
};

QTEST_MAIN(TestMainBarrierFaults)
#include "tst_main_barrier_faults.moc"
