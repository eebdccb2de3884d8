// Keeping the start barrier's port open: opening by number or adapter identity, the notices,
// a lost adapter and its return, all through the fake device and presence layers.
#include "barriers/Comms.h"
#include "barriers/barrier_connection.h"
#include "barriers/light_barriers.h"
#include "barriers/probe.h"
#include "fake_serial_device.h"
#include "fake_serial_presence.h"

#include <QSet>
#include <QSignalSpy>
#include <QtTest>

namespace {
using Kind = SerialNode::Kind;
const QString ftdi = QStringLiteral("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");

QString path(int port)
{
    return QStringLiteral("/fake/com%1").arg(port);
}

class RecordingRun final : public BarrierCommands {
public:
    bool startEnabled() const override { return !started; }
    bool stopEnabled() const override { return started; }
    int currentPhase() const override { return started ? 1 : 0; }
    void invokeStart() override { started = true; }
    void invokeStop() override { started = false; }
    bool started = false;
};

// The port configured as the main window configures it, the barriers, the connection; devices
// open only while plugged, and for the reason the test sets otherwise.
struct Rig {
    Rig()
    {
        for (int n = 1; n <= 16; ++n)
            table.setDevicePath(n, path(n));
        port = std::make_unique<TComPort>(line.factory(), table);
        port->setDataBits(5);
        port->setFlowControl(TComPort::TFlowControl::fcRtsCts);
        port->setEvents(TComPort::TEvent::evCTS | TComPort::TEvent::evDSR | TComPort::TEvent::evRLSD);
        line.openResult = [this](const QString& p) {
            if (denied.contains(p))
                return QStringLiteral("Permission denied");
            if (busy.contains(p))
                return QStringLiteral("Device or resource busy");
            return plugged.contains(p) ? QString() : QStringLiteral("No such file or directory");
        };
        line.openFailure = [this](const QString& p) {
            return denied.contains(p) ? SerialFailure::NoAccess
                   : busy.contains(p) ? SerialFailure::Busy
                                      : SerialFailure::Missing;
        };
        for (int n = 1; n <= 16; ++n)
            presence.set(path(n), Kind::Absent);
        barriers.setCommands(&run);
        connection = std::make_unique<BarrierConnection>(*port, barriers, presence);
        QObject::connect(connection.get(), &BarrierConnection::configChanged, connection.get(),
                         [this](quint8 p, const QString& id) {
                             moves << QStringLiteral("%1 %2").arg(p).arg(id);
                             configure(p);
                         });
    }
    // The start barrier on CTS of that port, as the main window sets it before opening.
    void configure(quint8 p)
    {
        barriers.setConfig(1, {p, 1, 0});
        barriers.EnableBarrierIndicators();
    }
    bool open(quint8 p, const QString& id = QString())
    {
        configure(p);
        return connection->open(p, id);
    }
    void plug(int p, const QString& id = QString(), Kind kind = Kind::Usb)
    {
        plugged.insert(path(p));
        presence.plug(path(p), id, kind);
    }
    void unplug(int p)
    {
        plugged.remove(path(p));
        presence.unplug(path(p));
    }

    FakeSerialLine line;
    PortTable table;
    std::unique_ptr<TComPort> port;
    LightBarriers barriers;
    RecordingRun run;
    FakeSerialPresence presence;
    std::unique_ptr<BarrierConnection> connection;
    QSet<QString> plugged, denied, busy;
    QStringList moves;
};
} // namespace

class TestBarrierConnection : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void opening_data()
    {
        QTest::addColumn<int>("portNumber");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("trouble"); // "", "busy", "denied", "unplugged"
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("notice");
        QTest::addColumn<bool>("awaited");
        QTest::addColumn<int>("indicator");
        QTest::addColumn<bool>("refused");
        using S = BarrierConnection::State;
        QTest::newRow("adapter present: open, shown disarmed")
            << 5 << int(Kind::Usb) << "" << int(S::Open) << "" << false << 1 << false;
        QTest::newRow("two-digit port number")
            << 12 << int(Kind::Usb) << "" << int(S::Open) << "" << false << 1 << false;
        QTest::newRow("adapter unplugged: awaited, shown closed")
            << 5 << int(Kind::Absent) << "" << int(S::Awaited) << "Lichtschranke getrennt: COM5 (/fake/com5)"
            << true << 0 << false;
        QTest::newRow("node there but the device is missing: awaited")
            << 16 << int(Kind::Unknown) << "unplugged" << int(S::Awaited)
            << "Lichtschranke getrennt: COM16 (/fake/com16)" << true << 0 << false;
        QTest::newRow("system console: never opened")
            << 1 << int(Kind::Console) << "" << int(S::Failed)
            << "Lichtschranke nicht geöffnet: COM1 (/fake/com1): Systemkonsole" << false << 0 << false;
        QTest::newRow("ttyS without a UART")
            << 2 << int(Kind::NoUart) << "" << int(S::Failed)
            << "Lichtschranke nicht geöffnet: COM2 (/fake/com2): keine Schnittstelle" << false << 0 << false;
        QTest::newRow("held by another program")
            << 5 << int(Kind::Usb) << "busy" << int(S::Failed)
            << "Lichtschranke nicht geöffnet: COM5 (/fake/com5): Device or resource busy" << false << 0
            << false;
        QTest::newRow("no permission: the access notice instead")
            << 5 << int(Kind::Usb) << "denied" << int(S::Failed) << "" << false << 0 << true;
        QTest::newRow("no port") << 0 << int(Kind::Usb) << "" << int(S::Off) << "" << false << 0 << false;
    }
    void opening()
    {
        QFETCH(int, portNumber);
        QFETCH(int, kind);
        QFETCH(QString, trouble);
        QFETCH(int, state);
        QFETCH(QString, notice);
        QFETCH(bool, awaited);
        QFETCH(int, indicator);
        QFETCH(bool, refused);
        Rig rig;
        if (portNumber) {
            rig.presence.set(path(portNumber), Kind(kind));
            if (trouble != QLatin1String("unplugged") && Kind(kind) != Kind::Absent)
                rig.plugged.insert(path(portNumber));
            if (trouble == QLatin1String("busy"))
                rig.busy.insert(path(portNumber));
            if (trouble == QLatin1String("denied"))
                rig.denied.insert(path(portNumber));
        }
        QSignalSpy notices(rig.connection.get(), &BarrierConnection::noticesChanged);
        QCOMPARE(rig.open(quint8(portNumber)), state == int(BarrierConnection::State::Open));
        QCOMPARE(int(rig.connection->state()), state);
        QCOMPARE(rig.connection->barrierNotice(), notice);
        QCOMPARE(rig.presence.watching(), awaited);
        QCOMPARE(rig.barriers.indicatorIndex(1), indicator);
        QCOMPARE(rig.connection->accessRefused(), refused);
        QCOMPARE(rig.port->Connected(), state == int(BarrierConnection::State::Open));
        if (!notice.isEmpty() || refused)
            QVERIFY(notices.count() > 0);
        // The console, a missing UART and an absent adapter are never opened.
        if (Kind(kind) == Kind::Console || Kind(kind) == Kind::NoUart || Kind(kind) == Kind::Absent)
            QVERIFY(rig.line.openedPaths.isEmpty());
        // The configured port stays offered, except the console.
        const quint32 held = (portNumber && Kind(kind) != Kind::Console) ? (1u << (portNumber - 1)) : 0u;
        QCOMPARE(rig.connection->heldPorts(), held);
    }

    // Unplugged during an armed wait, replugged: the same port, armed as before, signals again.
    void lostAdapterComesBackArmed()
    {
        Rig rig;
        rig.plug(5);
        QVERIFY(rig.open(5));
        rig.barriers.SetBarrierArmed(1, true);
        QSignalSpy reconnected(rig.connection.get(), &BarrierConnection::reconnected);

        rig.unplug(5);
        rig.line.failNextWait(SerialFailure::Gone);
        QTRY_COMPARE(rig.connection->state(), BarrierConnection::State::Awaited);
        QCOMPARE(rig.barriers.indicatorState(1), int(LightBarriers::Lost));
        QCOMPARE(rig.connection->barrierNotice(),
                 QStringLiteral("Lichtschranke getrennt: COM5 (/fake/com5)"));
        QCOMPARE(rig.line.openDevices, 0); // the dead device is closed at once
        QVERIFY(rig.presence.watching());

        rig.presence.changed(); // the watch's timer: still unplugged
        QCOMPARE(rig.connection->state(), BarrierConnection::State::Awaited);
        QCOMPARE(rig.line.openDevices, 0);

        rig.plug(5);
        QCOMPARE(rig.connection->state(), BarrierConnection::State::Open);
        QCOMPARE(rig.barriers.indicatorState(1), int(LightBarriers::Armed));
        QCOMPARE(rig.connection->barrierNotice(), QString());
        QVERIFY(!rig.presence.watching());
        QCOMPARE(reconnected.count(), 1);
        QCOMPARE(reconnected.first().first().toString(),
                 QStringLiteral("Lichtschranke wieder verbunden: COM5 (/fake/com5)"));
        QCOMPARE(rig.line.openedPaths, (QStringList{path(5), path(5)}));

        rig.line.setStatus(ModemLine::Cts);
        QTRY_VERIFY(rig.run.started);
    }

    void adapterMissingAtOpeningOpensWhenPluggedIn()
    {
        Rig rig;
        QVERIFY(!rig.open(7));
        rig.barriers.SetBarrierArmed(1, true); // as settings OK does without a countdown
        QCOMPARE(rig.barriers.indicatorState(1), int(LightBarriers::Closed));
        rig.plug(7);
        QCOMPARE(rig.connection->state(), BarrierConnection::State::Open);
        QCOMPARE(rig.barriers.indicatorState(1), int(LightBarriers::Armed));
    }

    void reopeningRetriesUntilTheUserMayOpenIt()
    {
        // The node appears before the system gives it its group: the first tries are refused.
        Rig rig;
        rig.plug(5);
        QVERIFY(rig.open(5));
        rig.line.failNextWait(SerialFailure::Gone);
        QTRY_COMPARE(rig.connection->state(), BarrierConnection::State::Awaited);
        rig.denied.insert(path(5));
        rig.presence.changed();
        QCOMPARE(rig.connection->state(), BarrierConnection::State::Awaited);
        QVERIFY(rig.connection->accessRefused());
        rig.denied.clear();
        rig.presence.changed();
        QCOMPARE(rig.connection->state(), BarrierConnection::State::Open);
        QVERIFY(!rig.connection->accessRefused());
    }

    void identityDecidesTheDevice_data()
    {
        QTest::addColumn<QString>("plugged");   // "port:identity" of attached adapters
        QTest::addColumn<QString>("stored");    // the stored identity
        QTest::addColumn<int>("openedPort");    // 0: nothing opened
        QTest::addColumn<QStringList>("moves"); // configChanged raised
        QTest::addColumn<QString>("notice");
        const QString other = QStringLiteral("usb-Prolific_Technology_Inc._USB-Serial_Controller-if00-port0");
        QTest::newRow("adapter found at another number: the port follows it")
            << "5:" + other + " 6:" + ftdi << ftdi << 6 << QStringList{"6 " + ftdi} << QString();
        QTest::newRow("adapter at its number") << "5:" + ftdi << ftdi << 5 << QStringList{} << QString();
        QTest::newRow("adapter missing: another one at its number is not taken")
            << "5:" + other << ftdi << 0 << QStringList{}
            << "Lichtschranke getrennt: COM5 (FTDI FT232R USB UART A50285BI)";
        QTest::newRow("no identity stored: it is learned from the device opened")
            << "5:" + ftdi << QString() << 5 << QStringList{"5 " + ftdi} << QString();
        QTest::newRow("no identity anywhere: by number as ever")
            << "5:" << QString() << 5 << QStringList{} << QString();
    }
    void identityDecidesTheDevice()
    {
        QFETCH(QString, plugged);
        QFETCH(QString, stored);
        QFETCH(int, openedPort);
        QFETCH(QStringList, moves);
        QFETCH(QString, notice);
        Rig rig;
        for (const QString& a : plugged.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            rig.plug(a.section(QLatin1Char(':'), 0, 0).toInt(), a.section(QLatin1Char(':'), 1));
        rig.open(5, stored);
        QCOMPARE(rig.moves, moves);
        QCOMPARE(rig.connection->barrierNotice(), notice);
        if (openedPort) {
            QCOMPARE(rig.line.openedPaths, QStringList{path(openedPort)});
            QCOMPARE(int(rig.port->Port()), openedPort);
            QCOMPARE(int(rig.connection->port()), openedPort);
            QCOMPARE(rig.barriers.indicatorState(1), int(LightBarriers::Disarmed));
        } else {
            QVERIFY(rig.line.openedPaths.isEmpty());
            QCOMPARE(rig.connection->state(), BarrierConnection::State::Awaited);
        }
    }

    void awaitedAdapterFoundInAnotherSocket()
    {
        Rig rig;
        rig.plug(5, ftdi);
        QVERIFY(rig.open(5, ftdi));
        rig.barriers.SetBarrierArmed(1, true);
        rig.unplug(5);
        rig.line.failNextWait(SerialFailure::Gone);
        QTRY_COMPARE(rig.connection->state(), BarrierConnection::State::Awaited);
        rig.plug(5); // another adapter takes its old name
        QCOMPARE(rig.connection->state(), BarrierConnection::State::Awaited);
        rig.plug(8, ftdi);
        QCOMPARE(rig.connection->state(), BarrierConnection::State::Open);
        QCOMPARE(int(rig.port->Port()), 8);
        QCOMPARE(rig.moves, QStringList{"8 " + ftdi});
        QCOMPARE(rig.barriers.indicatorState(1), int(LightBarriers::Armed));
    }

    void probeWithoutPermission_data()
    {
        QTest::addColumn<int>("present");
        QTest::addColumn<int>("noAccess");
        QTest::addColumn<bool>("refused");
        QTest::newRow("no device at all") << 0 << 0 << false;
        QTest::newRow("one device, not permitted") << 1 << 1 << true;
        QTest::newRow("two devices, one permitted") << 2 << 1 << false;
        QTest::newRow("two devices, none permitted") << 2 << 2 << true;
    }
    void probeWithoutPermission()
    {
        QFETCH(int, present);
        QFETCH(int, noAccess);
        QFETCH(bool, refused);
        Rig rig;
        PortProbe probe;
        probe.present = present;
        probe.noAccess = noAccess;
        rig.connection->setProbeResult(probe);
        QCOMPARE(rig.connection->accessRefused(), refused);
        QVERIFY(
            BarrierConnection::accessNoticeText().contains(QStringLiteral("sudo usermod -aG dialout $USER")));
    }

    void closingStopsAwaiting()
    {
        Rig rig;
        rig.plug(5);
        QVERIFY(rig.open(5));
        rig.line.failNextWait(SerialFailure::Gone);
        QTRY_COMPARE(rig.connection->state(), BarrierConnection::State::Awaited);
        rig.connection->close();
        QCOMPARE(rig.connection->state(), BarrierConnection::State::Off);
        QVERIFY(!rig.presence.watching());
        QCOMPARE(rig.connection->barrierNotice(), QString());
        QCOMPARE(rig.barriers.indicatorState(1), int(LightBarriers::Closed));
        rig.presence.plug(path(5));
        QVERIFY(!rig.port->Connected());
        QCOMPARE(rig.connection->heldPorts(), 0u);
    }
};

QTEST_GUILESS_MAIN(TestBarrierConnection)
#include "tst_barrier_connection.moc"
