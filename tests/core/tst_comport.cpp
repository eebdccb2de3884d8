#include "barriers/Comms.h"
#include "barriers/probe.h"
#include "fake_serial_device.h"

#include <QSignalSpy>
#include <QtTest>

#include <cerrno>

namespace {
// Tests never map a port number to a real device.
PortTable fakeTable()
{
    PortTable t;
    for (int n = 1; n <= 20; ++n)
        t.setDevicePath(n, QStringLiteral("/fake/com%1").arg(n));
    return t;
}

TComPort::TEvents mainWindowEvents()
{
    return TComPort::TEvent::evCTS | TComPort::TEvent::evDSR | TComPort::TEvent::evRLSD;
}

// Configured as the main window configures its port.
void configure(TComPort& port, quint8 number = 3)
{
    port.setPort(number);
    port.setDataBits(5);
    port.setFlowControl(TComPort::TFlowControl::fcRtsCts);
    port.setEvents(mainWindowEvents());
    port.setReadBufSize(64);
    port.setWriteBufSize(64);
}
} // namespace

class TestComPort : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void publishedDefaults_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("BaudRate") << "BaudRate" << QVariant::fromValue(TComPort::TBaudRate::br9600);
        QTest::newRow("BaudRateUser") << "BaudRateUser" << QVariant(qint32(9600));
        QTest::newRow("Port") << "Port" << QVariant::fromValue(quint8(1));
        QTest::newRow("Parity") << "Parity" << QVariant::fromValue(TComPort::TParity::prNone);
        QTest::newRow("StopBits") << "StopBits" << QVariant::fromValue(TComPort::TStopBits::sbOneStopBit);
        QTest::newRow("FlowControl") << "FlowControl" << QVariant::fromValue(TComPort::TFlowControl::fcNone);
        QTest::newRow("DataBits") << "DataBits" << QVariant::fromValue(quint8(8));
        QTest::newRow("Events all nine") << "Events" << QVariant::fromValue(TComPort::TEvents(0x1FF));
        QTest::newRow("EnableDTR") << "EnableDTR" << QVariant(true);
        QTest::newRow("WriteBufSize") << "WriteBufSize" << QVariant(qint32(2048));
        QTest::newRow("ReadBufSize") << "ReadBufSize" << QVariant(qint32(2048));
    }
    void publishedDefaults()
    {
        QFETCH(QString, name);
        QFETCH(QVariant, value);
        FakeSerialLine line;
        TComPort port(line.factory(), fakeTable());
        QCOMPARE(port.property(name.toLatin1().constData()), value);
        QVERIFY(!port.Connected());
    }

    void dataBitsClamped_data()
    {
        QTest::addColumn<int>("assigned");
        QTest::addColumn<int>("stored");
        QTest::newRow("9 stores 8") << 9 << 8;
        QTest::newRow("4 stores 5") << 4 << 5;
        QTest::newRow("255 stores 8") << 255 << 8;
        QTest::newRow("0 stores 5") << 0 << 5;
        QTest::newRow("7 kept") << 7 << 7;
        QTest::newRow("5 kept") << 5 << 5;
    }
    void dataBitsClamped()
    {
        QFETCH(int, assigned);
        QFETCH(int, stored);
        FakeSerialLine line;
        TComPort port(line.factory(), fakeTable());
        port.setDataBits(assigned);
        QCOMPARE(int(port.DataBits()), stored);
        port.setProperty("DataBits", QVariant::fromValue(quint8(assigned)));
        QCOMPARE(int(port.DataBits()), stored);
    }

    void eventMaskTable_data()
    {
        QTest::addColumn<int>("events");
        QTest::addColumn<uint>("mask");
        QTest::newRow("main window: CTS DSR RLSD") << int(mainWindowEvents()) << 0x38u;
        QTest::newRow("all nine") << 0x1FF << 0x1FFu;
        QTest::newRow("RxFlag") << int(TComPort::TEvent::evRxFlag) << 0x002u;
        QTest::newRow("TxEmpty") << int(TComPort::TEvent::evTxEmpty) << 0x004u;
        QTest::newRow("Ring") << int(TComPort::TEvent::evRing) << 0x100u;
        QTest::newRow("Break and Error")
            << int(TComPort::TEvent::evBreak | TComPort::TEvent::evError) << 0x0C0u;
        QTest::newRow("none") << 0 << 0u;
    }
    void eventMaskTable()
    {
        QFETCH(int, events);
        QFETCH(uint, mask);
        QCOMPARE(TComPort::eventMask(TComPort::TEvents(events)), quint32(mask));
    }

    void openProgramsTheLine()
    {
        FakeSerialLine line;
        TComPort port(line.factory(), fakeTable());
        configure(port, 3);
        QSignalSpy opened(&port, &TComPort::OnOpen);
        port.Open();
        QVERIFY(port.Connected());
        QCOMPARE(opened.count(), 1);
        QCOMPARE(line.openedPaths, QStringList{"/fake/com3"});
        QCOMPARE(line.lastSettings.baudRate, 9600);
        QCOMPARE(int(line.lastSettings.dataBits), 5);
        QVERIFY(line.lastSettings.parity == SerialParity::None);
        QVERIFY(line.lastSettings.stopBits == SerialStopBits::One);
        QVERIFY(line.lastSettings.flow == SerialFlow::RtsCts);
        QVERIFY(line.lastSettings.dtr);
        QVERIFY(line.waitForWaiting());
        port.Close();
        QCOMPARE(line.openDevices, 0);
    }

    void userBaudRate()
    {
        FakeSerialLine line;
        TComPort port(line.factory(), fakeTable());
        port.setBaudRate(TComPort::TBaudRate::brUser);
        port.setBaudRateUser(28800);
        port.Open();
        QCOMPARE(line.lastSettings.baudRate, 28800);
    }

    void openFailure_data()
    {
        QTest::addColumn<int>("portNumber");
        QTest::addColumn<QString>("openError");
        QTest::addColumn<QString>("settingsError");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("stateError");
        QTest::newRow("device missing") << 2 << "No such file or directory" << QString()
                                        << "Unable to open com port: No such file or directory" << false;
        QTest::newRow("port 0 has no device")
            << 0 << QString() << QString() << "Unable to open com port: No such file or directory" << false;
        QTest::newRow("settings rejected")
            << 2 << QString() << "Inappropriate ioctl for device"
            << "Unable to set com state: Inappropriate ioctl for device" << true;
    }
    void openFailure()
    {
        QFETCH(int, portNumber);
        QFETCH(QString, openError);
        QFETCH(QString, settingsError);
        QFETCH(QString, message);
        QFETCH(bool, stateError);
        FakeSerialLine line;
        if (!openError.isEmpty())
            line.openResult = [openError](const QString&) { return openError; };
        line.settingsError = settingsError;
        PortTable table = fakeTable();
        table.setDevicePath(0, QString());
        TComPort port(line.factory(), table);
        port.setPort(quint8(portNumber));
        QSignalSpy opened(&port, &TComPort::OnOpen);
        QSignalSpy closed(&port, &TComPort::OnClose);
        QString caught;
        bool caughtState = false;
        try {
            port.Open();
        } catch (const EComState& e) {
            caught = e.message();
            caughtState = true;
        } catch (const EComHandle& e) {
            caught = e.message();
        }
        QCOMPARE(caught, message);
        QCOMPARE(caughtState, stateError);
        QVERIFY(!port.Connected());
        QCOMPARE(port.ModemStatus(), 0u);
        QCOMPARE(opened.count(), 0);
        QCOMPARE(closed.count(), 0);
        QCOMPARE(line.openDevices, 0); // a device refused in its settings is closed again
    }

    void closeIsIdempotent()
    {
        FakeSerialLine line;
        TComPort port(line.factory(), fakeTable());
        QSignalSpy closed(&port, &TComPort::OnClose);
        port.Close(); // never opened
        QCOMPARE(closed.count(), 0);
        port.Open();
        port.Close();
        port.Close();
        QCOMPARE(closed.count(), 1);
        QVERIFY(!port.Connected());
        QCOMPARE(line.closes, 1);
    }

    void reopenClosesFirst()
    {
        FakeSerialLine line;
        QStringList order; // outlives the port, whose destructor still raises OnClose
        TComPort port(line.factory(), fakeTable());
        connect(&port, &TComPort::OnOpen, this, [&] { order << "open"; });
        connect(&port, &TComPort::OnClose, this, [&] { order << "close"; });
        port.Open();
        port.Open();
        QCOMPARE(order, (QStringList{"open", "close", "open"}));
        QCOMPARE(line.openDevices, 1);
    }

    void destructorCloses()
    {
        FakeSerialLine line;
        int closedCount = 0;
        {
            TComPort port(line.factory(), fakeTable());
            connect(&port, &TComPort::OnClose, this, [&] { ++closedCount; });
            port.Open();
            QVERIFY(line.waitForWaiting());
        }
        QCOMPARE(closedCount, 1);
        QCOMPARE(line.openDevices, 0);
    }

    void dispatchOrder_data()
    {
        QTest::addColumn<uint>("status");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("CTS alone") << 0x10u << QStringList{"CTS 10"};
        QTest::newRow("DSR alone") << 0x20u << QStringList{"DSR 20"};
        QTest::newRow("RLSD alone") << 0x80u << QStringList{"RLSD 80"};
        QTest::newRow("three lines at once: CTS, DSR, RLSD")
            << 0xB0u << QStringList{"CTS b0", "DSR b0", "RLSD b0"};
        QTest::newRow("RLSD and CTS at once") << 0x90u << QStringList{"CTS 90", "RLSD 90"};
        QTest::newRow("ring is not watched") << 0x50u << QStringList{"CTS 50"};
    }
    void dispatchOrder()
    {
        QFETCH(uint, status);
        QFETCH(QStringList, expected);
        FakeSerialLine line;
        QStringList seen;
        TComPort port(line.factory(), fakeTable());
        configure(port);
        auto record = [&](const char* name) {
            return [&, name](TComPort* sender) {
                seen << QStringLiteral("%1 %2").arg(QLatin1String(name)).arg(sender->ModemStatus(), 0, 16);
            };
        };
        connect(&port, &TComPort::OnCTS, this, record("CTS"));
        connect(&port, &TComPort::OnDSR, this, record("DSR"));
        connect(&port, &TComPort::OnRLSD, this, record("RLSD"));
        connect(&port, &TComPort::OnRing, this, record("RING"));
        port.Open();
        line.setStatus(status);
        QTRY_COMPARE(seen, expected);
    }

    void fullDispatchOrder()
    {
        FakeSerialLine line;
        QStringList seen;
        TComPort port(line.factory(), fakeTable()); // all nine events
        connect(&port, &TComPort::OnRxChar, this, [&](TComPort*, int) { seen << "RXCHAR"; });
        connect(&port, &TComPort::OnTxEmpty, this, [&] { seen << "TXEMPTY"; });
        connect(&port, &TComPort::OnBreak, this, [&] { seen << "BREAK"; });
        connect(&port, &TComPort::OnRing, this, [&] { seen << "RING"; });
        connect(&port, &TComPort::OnCTS, this, [&] { seen << "CTS"; });
        connect(&port, &TComPort::OnDSR, this, [&] { seen << "DSR"; });
        connect(&port, &TComPort::OnRxFlag, this, [&] { seen << "RXFLAG"; });
        connect(&port, &TComPort::OnRLSD, this, [&] { seen << "RLSD"; });
        connect(&port, &TComPort::OnError, this, [&] { seen << "ERR"; });
        port.Open();
        line.pushEvents(0x1FF);
        QTRY_COMPARE(seen.size(), 9);
        QCOMPARE(seen,
                 (QStringList{"RXCHAR", "TXEMPTY", "BREAK", "RING", "CTS", "DSR", "RXFLAG", "RLSD", "ERR"}));
    }

    void handOverIsSynchronous()
    {
        FakeSerialLine line;
        QList<quint32> statuses;
        TComPort port(line.factory(), fakeTable());
        configure(port);
        connect(&port, &TComPort::OnCTS, this, [&](TComPort* p) { statuses << p->ModemStatus(); });
        port.Open();
        QVERIFY(line.waitForWaiting());
        line.setStatus(0x10);
        line.setStatus(0x00);
        QVERIFY(line.waitForReturn());
        // The watcher is held in the hand-over: it does not wait again before the dispatch ran.
        QVERIFY(!line.waitForWaiting(20));
        QTRY_COMPARE(statuses.size(), 2);
        QVERIFY(line.waitForWaiting());
        QCOMPARE(statuses.last(), 0u);
    }

    void closeDispatchesAQueuedHandOver()
    {
        FakeSerialLine line;
        QList<quint32> seen;
        bool connectedDuringDispatch = false;
        TComPort port(line.factory(), fakeTable());
        configure(port);
        connect(&port, &TComPort::OnCTS, this, [&](TComPort* p) {
            seen << p->ModemStatus();
            connectedDuringDispatch = p->Connected();
        });
        QSignalSpy closed(&port, &TComPort::OnClose);
        port.Open();
        line.setStatus(0x10);
        QVERIFY(line.waitForReturn()); // handed over, not yet dispatched
        port.Close();                  // must neither hang nor lose the event
        QCOMPARE(seen, QList<quint32>{0x10});
        QVERIFY(connectedDuringDispatch);
        QCOMPARE(closed.count(), 1);
        QCOMPARE(line.openDevices, 0);
        QCoreApplication::processEvents(); // the queued hand-over finds nothing left
        QCOMPARE(seen.size(), 1);
    }

    void closeFromInsideADispatch()
    {
        FakeSerialLine line;
        QStringList seen;
        TComPort port(line.factory(), fakeTable());
        configure(port);
        connect(&port, &TComPort::OnCTS, this, [&](TComPort* p) {
            seen << "CTS";
            p->Close();
        });
        connect(&port, &TComPort::OnDSR, this, [&] { seen << "DSR"; });
        connect(&port, &TComPort::OnClose, this, [&] { seen << "close"; });
        port.Open();
        line.setStatus(0x30);
        QTRY_VERIFY(!port.Connected());
        QCOMPARE(seen, (QStringList{"CTS", "close"}));
        QCOMPARE(line.openDevices, 0);
    }

    void reopenWhileClosingIsRefused()
    {
        FakeSerialLine line;
        QString refused;
        TComPort port(line.factory(), fakeTable());
        configure(port);
        connect(&port, &TComPort::OnCTS, this, [&](TComPort* p) {
            try {
                p->Open();
            } catch (const EComHandle& e) {
                refused = e.message();
            }
        });
        port.Open();
        line.setStatus(0x10);
        QVERIFY(line.waitForReturn());
        port.Close(); // dispatches the queued event, whose handler tries to reopen
        // The system's text is in the user's language.
        QCOMPARE(refused, QStringLiteral("Unable to open com port: ") + qt_error_string(EBUSY));
        QVERIFY(!port.Connected());
        QCOMPARE(line.openDevices, 0);
    }

    // A failing wait (adapter unplugged) closes the dead device at once and reports the loss;
    // the port no longer claims to be connected.
    void failingWaitClosesTheDeviceAndReportsTheLoss_data()
    {
        QTest::addColumn<int>("failure");
        QTest::newRow("adapter unplugged") << int(SerialFailure::Gone);
        QTest::newRow("driver refuses the wait") << int(SerialFailure::Other);
    }
    void failingWaitClosesTheDeviceAndReportsTheLoss()
    {
        QFETCH(int, failure);
        FakeSerialLine line;
        TComPort port(line.factory(), fakeTable());
        configure(port);
        QSignalSpy cts(&port, &TComPort::OnCTS);
        QSignalSpy closed(&port, &TComPort::OnClose);
        QSignalSpy lost(&port, &TComPort::OnLost);
        port.Open();
        line.failNextWait(SerialFailure(failure));
        QVERIFY(line.waitForReturn());
        QTRY_COMPARE(lost.count(), 1);
        QVERIFY(!port.Connected());
        QVERIFY(!port.watcherRunning());
        QCOMPARE(port.lostFailure(), SerialFailure(failure));
        QCOMPARE(line.openDevices, 0); // closed at once, so the system can reuse its name
        QCOMPARE(closed.count(), 0);
        QCOMPARE(port.ModemStatus(), 0u);
        line.setStatus(0x10);
        QCoreApplication::processEvents();
        QCOMPARE(cts.count(), 0);
        port.Close(); // nothing left to close
        QCOMPARE(closed.count(), 0);
        port.Open(); // reopening reports again
        QTRY_COMPARE(cts.count(), 1);
        QCOMPARE(port.lostFailure(), SerialFailure::None);
    }

    void lossWhileClosingIsAPlainClose()
    {
        FakeSerialLine line;
        TComPort port(line.factory(), fakeTable());
        configure(port);
        QSignalSpy closed(&port, &TComPort::OnClose);
        QSignalSpy lost(&port, &TComPort::OnLost);
        port.Open();
        line.failNextWait();
        QVERIFY(line.waitForReturn());
        port.Close(); // before the loss reached the port's thread
        QCoreApplication::processEvents();
        QCOMPARE(closed.count(), 1);
        QCOMPARE(lost.count(), 0);
        QCOMPARE(line.openDevices, 0);
    }

    void probe_data()
    {
        QTest::addColumn<QList<int>>("usable");
        QTest::addColumn<uint>("expected");
        QTest::newRow("no serial hardware") << QList<int>{} << 0u;
        QTest::newRow("COM1 only") << QList<int>{1} << 0x00010001u;
        QTest::newRow("1, 3 and 16") << QList<int>{1, 3, 16} << 0x00108005u;
        QTest::newRow("port 17 is never probed") << QList<int>{5, 17} << 0x00050010u;
    }
    void probe()
    {
        QFETCH(QList<int>, usable);
        QFETCH(uint, expected);
        FakeSerialLine line;
        PortTable table = fakeTable();
        line.openResult = [&](const QString& path) {
            for (int n : usable)
                if (path == table.devicePath(n))
                    return QString();
            return QStringLiteral("Device or resource busy");
        };
        QCOMPARE(ProbeSerialPorts(table, line.factory()), quint32(expected));
        QCOMPARE(line.openedPaths.size(), 16);
        QCOMPARE(line.openDevices, 0);
    }

    void defaultPortTable_data()
    {
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("path");
        QTest::newRow("COM1") << 1 << "/dev/ttyS0";
        QTest::newRow("COM4") << 4 << "/dev/ttyS3";
        QTest::newRow("COM5") << 5 << "/dev/ttyUSB0";
        QTest::newRow("COM12") << 12 << "/dev/ttyUSB7";
        QTest::newRow("COM13") << 13 << "/dev/ttyACM0";
        QTest::newRow("COM16") << 16 << "/dev/ttyACM3";
        QTest::newRow("COM0") << 0 << QString();
        QTest::newRow("COM17") << 17 << QString();
    }
    void defaultPortTable()
    {
        QFETCH(int, port);
        QFETCH(QString, path);
        QCOMPARE(PortTable::linuxDefault().devicePath(port), path);
    }
};

QTEST_GUILESS_MAIN(TestComPort)
#include "tst_comport.moc"
