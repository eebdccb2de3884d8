// Which ports the settings dialog offers, and which devices the probe may open to find out.
#include "barriers/probe.h"
#include "fake_serial_device.h"
#include "fake_serial_presence.h"

#include <QtTest>

namespace {
using Kind = SerialNode::Kind;

PortTable fakeTable()
{
    PortTable t;
    for (int n = 1; n <= 16; ++n)
        t.setDevicePath(n, QStringLiteral("/fake/com%1").arg(n));
    return t;
}

QString path(int port)
{
    return QStringLiteral("/fake/com%1").arg(port);
}

// "kind@port" words: U uart, B usb, A acm, C console, N no uart, X absent, ? unknown,
// a trailing "!" marks a node the user may not open.
void describe(FakeSerialPresence& presence, const QString& nodes)
{
    for (const QString& w : nodes.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QChar k = w.at(0);
        const int port = w.mid(2).remove(QLatin1Char('!')).toInt();
        const Kind kind = k == 'U'   ? Kind::Uart
                          : k == 'B' ? Kind::Usb
                          : k == 'A' ? Kind::Acm
                          : k == 'C' ? Kind::Console
                          : k == 'N' ? Kind::NoUart
                          : k == 'X' ? Kind::Absent
                                     : Kind::Unknown;
        presence.set(path(port), kind, !w.endsWith(QLatin1Char('!')));
    }
}

quint32 word(const QList<int>& ports)
{
    PortProbe p;
    for (int n : ports)
        p.offer(n);
    return p.available;
}
} // namespace

class TestPortProbe : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void offeredAndOpened_data()
    {
        QTest::addColumn<QString>("nodes");      // what the system tells (unnamed ports: absent)
        QTest::addColumn<QList<int>>("opening"); // ports whose device opens when tried
        QTest::addColumn<uint>("held");          // ports the program holds or awaits
        QTest::addColumn<QList<int>>("offered");
        QTest::addColumn<QList<int>>("opened");
        QTest::addColumn<int>("present");
        QTest::addColumn<int>("noAccess");

        QTest::newRow("nothing attached")
            << "" << QList<int>{} << 0u << QList<int>{} << QList<int>{} << 0 << 0;
        QTest::newRow("console port never offered nor opened")
            << "C@1" << QList<int>{1} << 0u << QList<int>{} << QList<int>{} << 0 << 0;
        QTest::newRow("console stays out even when held")
            << "C@1" << QList<int>{} << 1u << QList<int>{} << QList<int>{} << 0 << 0;
        QTest::newRow("ttyS without a UART left out, one with a UART offered unopened")
            << "N@2 U@4" << QList<int>{2, 4} << 0u << QList<int>{4} << QList<int>{} << 1 << 0;
        QTest::newRow("USB and ACM adapters offered without opening")
            << "B@5 B@12 A@13 A@16" << QList<int>{} << 0u << QList<int>{5, 12, 13, 16} << QList<int>{} << 4
            << 0;
        QTest::newRow("held port offered without opening, also while it is busy with us")
            << "?@7" << QList<int>{} << (1u << 6) << QList<int>{7} << QList<int>{} << 1 << 0;
        QTest::newRow("awaited port (its adapter unplugged) stays offered")
            << "X@9" << QList<int>{} << (1u << 8) << QList<int>{9} << QList<int>{} << 0 << 0;
        QTest::newRow("unknown nodes are opened: the usable one offered")
            << "?@3 ?@10" << QList<int>{10} << 0u << QList<int>{10} << QList<int>{3, 10} << 1 << 0;
        QTest::newRow("no permission for the USB adapter: offered and counted")
            << "B@5! B@6" << QList<int>{} << 0u << QList<int>{5, 6} << QList<int>{} << 2 << 1;
        QTest::newRow("absent nodes never opened")
            << "X@5 X@16" << QList<int>{5, 16} << 0u << QList<int>{} << QList<int>{} << 0 << 0;
    }
    void offeredAndOpened()
    {
        QFETCH(QString, nodes);
        QFETCH(QList<int>, opening);
        QFETCH(uint, held);
        QFETCH(QList<int>, offered);
        QFETCH(QList<int>, opened);
        QFETCH(int, present);
        QFETCH(int, noAccess);
        FakeSerialPresence presence;
        for (int n = 1; n <= 16; ++n)
            presence.set(path(n), Kind::Absent);
        describe(presence, nodes);
        FakeSerialLine line;
        line.openResult = [&](const QString& p) {
            for (int n : opening)
                if (p == path(n))
                    return QString();
            return QStringLiteral("Device or resource busy");
        };
        line.openFailure = [](const QString&) { return SerialFailure::Busy; };
        const PortProbe probe = probePorts(fakeTable(), line.factory(), &presence, held);
        QCOMPARE(probe.available, word(offered));
        QStringList openedPaths;
        for (int n : opened)
            openedPaths << path(n);
        QCOMPARE(line.openedPaths, openedPaths);
        QCOMPARE(line.openDevices, 0);
        QCOMPARE(probe.present, present);
        QCOMPARE(probe.noAccess, noAccess);
    }

    void unknownDeviceRefusedForLackOfPermission()
    {
        // Without presence knowledge only opening tells; EACCES means present but not for this user.
        FakeSerialLine line;
        line.openResult = [](const QString& p) {
            return p == path(5) ? QStringLiteral("Permission denied")
                                : QStringLiteral("No such file or directory");
        };
        line.openFailure = [](const QString& p) {
            return p == path(5) ? SerialFailure::NoAccess : SerialFailure::Missing;
        };
        const PortProbe probe = probePorts(fakeTable(), line.factory(), nullptr, 0);
        QCOMPARE(probe.available, word({5}));
        QCOMPARE(probe.present, 1);
        QCOMPARE(probe.noAccess, 1);
    }

    void adapterIdentitiesOfThePorts()
    {
        FakeSerialPresence presence;
        for (int n = 1; n <= 16; ++n)
            presence.set(path(n), Kind::Absent);
        presence.plug(path(5), QStringLiteral("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"));
        presence.plug(path(13), QStringLiteral("usb-Arduino__www.arduino.cc__0043_7543-if00"), Kind::Acm);
        presence.set(path(4), Kind::Uart);
        FakeSerialLine line;
        const PortProbe probe = probePorts(fakeTable(), line.factory(), &presence, 0);
        QCOMPARE(probe.adapterIds.size(), 2);
        QCOMPARE(probe.adapterIds.value(5), QStringLiteral("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"));
        QCOMPARE(probe.adapterIds.value(13), QStringLiteral("usb-Arduino__www.arduino.cc__0043_7543-if00"));
        QCOMPARE(probe.adapterIds.value(4), QString());
    }

    void heldPortsJoinTheWord_data()
    {
        QTest::addColumn<uint>("available");
        QTest::addColumn<uint>("held");
        QTest::addColumn<uint>("result");
        QTest::newRow("nothing") << 0u << 0u << 0u;
        QTest::newRow("held port alone") << 0u << (1u << 4) << word({5});
        QTest::newRow("held port below the highest") << word({3, 12}) << (1u << 4) << word({3, 5, 12});
        QTest::newRow("held port 16 becomes the highest") << word({1}) << (1u << 15) << word({1, 16});
        QTest::newRow("already offered") << word({5}) << (1u << 4) << word({5});
    }
    void heldPortsJoinTheWord()
    {
        QFETCH(uint, available);
        QFETCH(uint, held);
        QFETCH(uint, result);
        QCOMPARE(withPortsOffered(available, held), quint32(result));
    }
};

QTEST_GUILESS_MAIN(TestPortProbe)
#include "tst_port_probe.moc"
