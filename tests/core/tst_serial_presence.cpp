// Presence and identity of serial devices read from sysfs and /dev, on a tree built in a
// temporary folder (no real device is looked at or opened).
#include "platform/linux_serial_presence.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString ftdi = QStringLiteral("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");

void writeFile(const QString& path, const QByteArray& text)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    f.write(text);
}
} // namespace

class TestSerialPresence : public QObject {
    Q_OBJECT
    QTemporaryDir m_root;
    LinuxSerialPresence::Roots m_roots;

    QString dev(const QString& name) const { return m_roots.dev + QLatin1Char('/') + name; }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        m_roots.sys = m_root.filePath(QStringLiteral("sys"));
        m_roots.dev = m_root.filePath(QStringLiteral("dev"));
        m_roots.consoles = m_root.filePath(QStringLiteral("proc/consoles"));
        // ttyS0 is the console by the kernel's list, ttyS3 by /proc/consoles only.
        writeFile(m_roots.sys + QStringLiteral("/class/tty/console/active"), "tty0 ttyS0\n");
        writeFile(m_roots.consoles,
                  "tty0                 -WU (E  p  )    4:1\nttyS3                -W- (EC  p a)    4:67\n");
        const struct {
            const char* name;
            const char* type; // nullptr: no type file
        } ttys[] = {{"ttyS0", "4"},       {"ttyS1", "0"},       {"ttyS2", "4"},      {"ttyS3", "4"},
                    {"ttyUSB0", nullptr}, {"ttyACM0", nullptr}, {"ttyXYZ0", nullptr}};
        for (const auto& t : ttys) {
            const QString name = QLatin1String(t.name);
            QDir().mkpath(m_roots.sys + QStringLiteral("/class/tty/") + name);
            if (t.type)
                writeFile(m_roots.sys + QStringLiteral("/class/tty/") + name + QStringLiteral("/type"),
                          t.type);
            writeFile(dev(name), QByteArray());
        }
        writeFile(dev(QStringLiteral("ttyUSB7")), QByteArray()); // a node sysfs does not know
        QDir().mkpath(dev(QStringLiteral("serial/by-id")));
        QVERIFY(QFile::link(QStringLiteral("../../ttyUSB0"), dev(QStringLiteral("serial/by-id/")) + ftdi));
        QVERIFY(QFile::link(QStringLiteral("ttyUSB0"), dev(QStringLiteral("barrier"))));
    }

    void nodes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("adapter");
        using K = SerialNode::Kind;
        QTest::newRow("console by the kernel's active list") << "ttyS0" << int(K::Console) << QString();
        QTest::newRow("console by /proc/consoles") << "ttyS3" << int(K::Console) << QString();
        QTest::newRow("ttyS without a UART (type 0)") << "ttyS1" << int(K::NoUart) << QString();
        QTest::newRow("ttyS with a UART") << "ttyS2" << int(K::Uart) << QString();
        QTest::newRow("USB adapter with its identity") << "ttyUSB0" << int(K::Usb) << ftdi;
        QTest::newRow("link to the USB adapter") << "barrier" << int(K::Usb) << ftdi;
        QTest::newRow("USB adapter unplugged") << "ttyUSB1" << int(K::Absent) << QString();
        QTest::newRow("ACM device") << "ttyACM0" << int(K::Acm) << QString();
        QTest::newRow("name the system does not judge") << "ttyXYZ0" << int(K::Unknown) << QString();
        QTest::newRow("node without a sysfs entry") << "ttyUSB7" << int(K::Unknown) << QString();
        QTest::newRow("no path (unmapped port)") << QString() << int(K::Absent) << QString();
    }
    void nodes()
    {
        QFETCH(QString, name);
        QFETCH(int, kind);
        QFETCH(QString, adapter);
        LinuxSerialPresence presence(m_roots);
        const SerialNode n = presence.node(name.isEmpty() ? QString() : dev(name));
        QCOMPARE(int(n.kind), kind);
        QCOMPARE(n.adapterId, adapter);
    }

    void adapterLeadsToItsDevice_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("found");
        QTest::newRow("plugged in") << ftdi << true;
        QTest::newRow("not plugged in")
            << "usb-Prolific_Technology_Inc._USB-Serial_Controller-if00-port0" << false;
        QTest::newRow("no identity") << QString() << false;
        QTest::newRow("a path is no identity") << "../../ttyUSB0" << false;
        QTest::newRow("a dot name is no identity") << ".." << false;
    }
    void adapterLeadsToItsDevice()
    {
        QFETCH(QString, id);
        QFETCH(bool, found);
        LinuxSerialPresence presence(m_roots);
        const QString expected =
            found ? QFileInfo(dev(QStringLiteral("ttyUSB0"))).canonicalFilePath() : QString();
        QCOMPARE(presence.deviceOfAdapter(id), expected);
    }

    void adapterName_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("name");
        QTest::newRow("FTDI") << ftdi << "FTDI FT232R USB UART A50285BI";
        QTest::newRow("Prolific") << "usb-Prolific_Technology_Inc._USB-Serial_Controller_D-if00-port0"
                                  << "Prolific Technology Inc. USB-Serial Controller D";
        QTest::newRow("ACM without port suffix, double underscores")
            << "usb-Arduino__www.arduino.cc__0043_7543-if00"
            << "Arduino www.arduino.cc 0043 7543";
        QTest::newRow("second interface of a dual adapter") << "usb-FTDI_Dual_RS232-HS-if01-port0"
                                                            << "FTDI Dual RS232-HS";
        QTest::newRow("no identity") << QString() << QString();
    }
    void adapterName()
    {
        QFETCH(QString, id);
        QFETCH(QString, name);
        QCOMPARE(SerialPresence::adapterName(id), name);
    }

    void hotPlugIsReportedWhileWatching()
    {
        LinuxSerialPresence presence(m_roots);
        QSignalSpy changed(&presence, &SerialPresence::devicesChanged);
        presence.setWatching(true);
        QVERIFY(presence.watching());
        writeFile(dev(QStringLiteral("ttyUSB1")), QByteArray());
        QTRY_VERIFY(changed.count() > 0);
        QCOMPARE(int(presence.node(dev(QStringLiteral("ttyUSB1"))).kind), int(SerialNode::Kind::Unknown));
        presence.setWatching(false);
        QVERIFY(!presence.watching());
        QFile::remove(dev(QStringLiteral("ttyUSB1")));
        QCOMPARE(int(presence.node(dev(QStringLiteral("ttyUSB1"))).kind), int(SerialNode::Kind::Absent));
    }
};

QTEST_GUILESS_MAIN(TestSerialPresence)
#include "tst_serial_presence.moc"
