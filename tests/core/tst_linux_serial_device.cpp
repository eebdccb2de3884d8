// The Linux device on the paths where a device refuses. A pseudo-terminal has no modem lines;
// no test here opens a real serial port.
#include "barriers/Comms.h"
#include "barriers/linux_serial_device.h"

#include <QTemporaryFile>
#include <QtTest>

#include <fcntl.h>
#include <future>
#include <stdlib.h>
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

    void openIsExclusive()
    {
        PseudoTerminal pty;
        LinuxSerialDevice first;
        LinuxSerialDevice second;
        QCOMPARE(first.open(pty.slavePath()), QString());
        QVERIFY(!second.open(pty.slavePath()).isEmpty());
        first.close();
        QCOMPARE(second.open(pty.slavePath()), QString());
    }

    void notASerialDevice_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("empty path (unmapped port)") << QString();
        QTest::newRow("missing device") << QStringLiteral("/dev/ttyNoSuchPort");
        QTest::newRow("character device that is no terminal") << QStringLiteral("/dev/null");
    }
    void notASerialDevice()
    {
        QFETCH(QString, path);
        LinuxSerialDevice device;
        QVERIFY(!device.open(path).isEmpty());
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
