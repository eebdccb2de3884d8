// The Linux device on the paths where a device refuses. A pseudo-terminal has no modem lines;
// no test here opens a real serial port.
#include "barriers/Comms.h"
#include "barriers/linux_serial_device.h"

#include <QFile>
#include <QTemporaryFile>
#include <QtTest>

#include <cerrno>
#include <fcntl.h>
#include <future>
#include <stdlib.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {
class PseudoTerminal {
public:
    PseudoTerminal()
    {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master >= 0 && grantpt(m_master) == 0 && unlockpt(m_master) == 0)
            m_slave = QString::fromLocal8Bit(ptsname(m_master));
    }
    ~PseudoTerminal()
    {
        if (m_master >= 0)
            ::close(m_master);
    }
    QString slavePath() const { return m_slave; }

private:
    int m_master = -1;
    QString m_slave;
};

// Whether this kind of pseudo-terminal keeps a character size it is given (Linux ptys force 8).
bool keepsCharacterSize(int fd)
{
    termios t{};
    if (tcgetattr(fd, &t) != 0)
        return false;
    const termios before = t;
    t.c_cflag = (t.c_cflag & ~CSIZE) | CS5;
    tcsetattr(fd, TCSANOW, &t);
    termios back{};
    tcgetattr(fd, &back);
    tcsetattr(fd, TCSANOW, &before);
    return (back.c_cflag & CSIZE) == CS5;
}

SerialDeviceFactory linuxFactory()
{
    return [] { return std::make_unique<LinuxSerialDevice>(); };
}
} // namespace

class TestLinuxSerialDevice : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pseudoTerminalRefusesTheModemLines()
    {
        PseudoTerminal pty;
        QVERIFY(!pty.slavePath().isEmpty());
        LinuxSerialDevice device;
        QCOMPARE(device.open(pty.slavePath()), QString());
        QVERIFY(!device.applySettings(SerialLineSettings{}).isEmpty());
        QCOMPARE(device.modemStatus(), 0u);
        quint32 occurred = 0;
        QCOMPARE(device.waitForEvents(SerialEvent::Cts | SerialEvent::Dsr | SerialEvent::Rlsd, occurred),
                 SerialDevice::WaitResult::Failed);
    }

    // The line settings reach the terminal; a pseudo-terminal keeps speed, stop bits and the
    // RTS/CTS flag (the character size only where it allows it), then refuses the modem lines.
    void lineSettingsReadBack_data()
    {
        QTest::addColumn<int>("baud");
        QTest::addColumn<int>("dataBits");
        QTest::addColumn<bool>("twoStopBits");
        QTest::addColumn<bool>("rtsCts");
        QTest::addColumn<uint>("speed");
        QTest::addColumn<uint>("size");
        QTest::newRow("barrier port: 9600 5N1 RTS/CTS")
            << 9600 << 5 << false << true << uint(B9600) << uint(CS5);
        QTest::newRow("19200 8N2 without handshake")
            << 19200 << 8 << true << false << uint(B19200) << uint(CS8);
        QTest::newRow("lowest speed 110, 7 data bits")
            << 110 << 7 << false << true << uint(B110) << uint(CS7);
    }
    void lineSettingsReadBack()
    {
        QFETCH(int, baud);
        QFETCH(int, dataBits);
        QFETCH(bool, twoStopBits);
        QFETCH(bool, rtsCts);
        QFETCH(uint, speed);
        QFETCH(uint, size);
        PseudoTerminal pty;
        QVERIFY(!pty.slavePath().isEmpty());
        // The test's own view of the terminal, opened before the device holds it exclusively.
        const int fd = ::open(QFile::encodeName(pty.slavePath()).constData(), O_RDWR | O_NOCTTY);
        QVERIFY(fd >= 0);
        const bool sizeKept = keepsCharacterSize(fd);
        LinuxSerialDevice device;
        QCOMPARE(device.open(pty.slavePath()), QString());
        SerialLineSettings s;
        s.baudRate = baud;
        s.dataBits = quint8(dataBits);
        s.stopBits = twoStopBits ? SerialStopBits::Two : SerialStopBits::One;
        s.flow = rtsCts ? SerialFlow::RtsCts : SerialFlow::None;
        // Refused at the modem lines, after the line settings were applied.
        QVERIFY(!device.applySettings(s).isEmpty());
        termios t{};
        QCOMPARE(tcgetattr(fd, &t), 0);
        ::close(fd);
        QCOMPARE(uint(cfgetospeed(&t)), speed);
        QCOMPARE(uint(cfgetispeed(&t)), speed);
        QCOMPARE(bool(t.c_cflag & CSTOPB), twoStopBits);
        QCOMPARE(bool(t.c_cflag & CRTSCTS), rtsCts);
        QVERIFY(!(t.c_cflag & PARENB));
        QVERIFY(t.c_cflag & CLOCAL);
        QVERIFY(!(t.c_iflag & (IXON | IXOFF)));
        if (sizeKept)
            QCOMPARE(uint(t.c_cflag & CSIZE), size);
        else
            qInfo("this pseudo-terminal forces 8 data bits; the character size is not read back");
    }

    // A failed wait decides between polling, "lost" (the adapter was unplugged) and an error.
    void waitFailuresAreClassified_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("kind");
        const int poll = int(WaitFailure::CannotWait), gone = int(WaitFailure::Gone),
                  other = int(WaitFailure::Other);
        QTest::newRow("EINVAL: driver without the wait") << EINVAL << poll;
        QTest::newRow("ENOTTY: usb-serial driver without the wait") << ENOTTY << poll;
        QTest::newRow("ENOSYS") << ENOSYS << poll;
        QTest::newRow("EOPNOTSUPP") << EOPNOTSUPP << poll;
        QTest::newRow("EIO: tty hung up by the unplug") << EIO << gone;
        QTest::newRow("ENODEV") << ENODEV << gone;
        QTest::newRow("ENXIO") << ENXIO << gone;
        QTest::newRow("EBADF: descriptor already closed") << EBADF << gone;
        QTest::newRow("EACCES is neither") << EACCES << other;
        QTest::newRow("EBUSY is neither") << EBUSY << other;
        QTest::newRow("0 is neither") << 0 << other;
    }
    void waitFailuresAreClassified()
    {
        QFETCH(int, code);
        QFETCH(int, kind);
        QCOMPARE(int(classifyWaitFailure(code)), kind);
    }

    // The fallback for drivers without a wait for line changes: read every millisecond.
    void pollingReportsTheFirstChange()
    {
        std::atomic<bool> stop{false};
        int reads = 0;
        quint32 occurred = 0;
        const auto result = pollModemLines(
            stop,
            [&reads](quint32& events) {
                events = ++reads == 3 ? SerialEvent::Cts : 0;
                return true;
            },
            occurred);
        QCOMPARE(result, SerialDevice::WaitResult::Events);
        QCOMPARE(occurred, SerialEvent::Cts);
        QCOMPARE(reads, 3);
    }

    void pollingEnds_data()
    {
        QTest::addColumn<bool>("stopFirst");
        QTest::addColumn<bool>("readFails");
        QTest::addColumn<int>("result");
        QTest::newRow("stop requested before") << true << false << int(SerialDevice::WaitResult::Stopped);
        QTest::newRow("lines cannot be read (device gone)")
            << false << true << int(SerialDevice::WaitResult::Failed);
    }
    void pollingEnds()
    {
        QFETCH(bool, stopFirst);
        QFETCH(bool, readFails);
        QFETCH(int, result);
        std::atomic<bool> stop{stopFirst};
        int reads = 0;
        quint32 occurred = 99;
        const auto r = pollModemLines(
            stop,
            [&](quint32& events) {
                ++reads;
                events = 0;
                return !readFails;
            },
            occurred);
        QCOMPARE(int(r), result);
        QCOMPARE(occurred, 0u);
        QCOMPARE(reads, stopFirst ? 0 : 1);
    }

    void pollingStopsFromAnotherThread()
    {
        std::atomic<bool> stop{false};
        std::atomic<int> reads{0};
        auto result = std::async(std::launch::async, [&] {
            quint32 occurred = 0;
            return pollModemLines(
                stop,
                [&reads](quint32& events) {
                    ++reads;
                    events = 0;
                    return true;
                },
                occurred);
        });
        while (reads.load() < 3)
            std::this_thread::yield();
        stop = true;
        QCOMPARE(result.get(), SerialDevice::WaitResult::Stopped);
    }

    void openIsExclusive()
    {
        PseudoTerminal pty;
        LinuxSerialDevice first;
        LinuxSerialDevice second;
        QCOMPARE(first.open(pty.slavePath()), QString());
        QVERIFY(!second.open(pty.slavePath()).isEmpty());
        QCOMPARE(second.lastFailure(), SerialFailure::Busy);
        first.close();
        QCOMPARE(second.open(pty.slavePath()), QString());
    }

    void notASerialDevice_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("failure");
        QTest::newRow("empty path (unmapped port)") << QString() << int(SerialFailure::Missing);
        QTest::newRow("missing device")
            << QStringLiteral("/dev/ttyNoSuchPort") << int(SerialFailure::Missing);
        QTest::newRow("character device that is no terminal")
            << QStringLiteral("/dev/null") << int(SerialFailure::Other);
    }
    void notASerialDevice()
    {
        QFETCH(QString, path);
        QFETCH(int, failure);
        LinuxSerialDevice device;
        QVERIFY(!device.open(path).isEmpty());
        QCOMPARE(int(device.lastFailure()), failure);
    }

    void regularFileIsRefused()
    {
        QTemporaryFile file;
        QVERIFY(file.open());
        LinuxSerialDevice device;
        QVERIFY(!device.open(file.fileName()).isEmpty());
    }

    void stopWakesABlockedWait()
    {
        PseudoTerminal pty;
        LinuxSerialDevice device;
        QCOMPARE(device.open(pty.slavePath()), QString());
        // Nothing to watch: the wait blocks until the stop signal interrupts it.
        auto result = std::async(std::launch::async, [&] {
            quint32 occurred = 0;
            return device.waitForEvents(0, occurred);
        });
        do
            device.requestStop();
        while (result.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready);
        QCOMPARE(result.get(), SerialDevice::WaitResult::Stopped);
    }

    void portComponentRefusesAPseudoTerminal()
    {
        PseudoTerminal pty;
        PortTable table;
        table.setDevicePath(7, pty.slavePath());
        TComPort port(linuxFactory(), table);
        port.setPort(7);
        QString message;
        try {
            port.Open();
        } catch (const EComState& e) {
            message = e.message();
        }
        QVERIFY2(message.startsWith(QStringLiteral("Unable to set com state: ")), qPrintable(message));
        QVERIFY(!port.Connected());
        LinuxSerialDevice again; // the refused device was closed and unlocked
        QCOMPARE(again.open(pty.slavePath()), QString());
    }
};

QTEST_GUILESS_MAIN(TestLinuxSerialDevice)
#include "tst_linux_serial_device.moc"
