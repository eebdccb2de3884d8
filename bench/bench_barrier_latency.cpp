// Latency of a light-barrier START: from the moment a status line changes to the moment the
// START command runs on the GUI thread, while the GUI thread runs a 10 ms timer with load.
// Two watcher paths:
//  - event: the device wait returns on the change (TIOCMIWAIT; here the fake device's wait);
//  - polling: the fallback for drivers without that wait, which reads the lines every
//    millisecond (the same pollModemLines the Linux device uses, reading a fake status word).
// Also the CPU share the polling watcher costs while nothing happens.
// Run: QT_QPA_PLATFORM=offscreen build-release/bin/bench_barrier_latency -median 9
#include "barriers/Comms.h"
#include "barriers/light_barriers.h"
#include "barriers/linux_serial_device.h"
#include "fake_serial_device.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QRandomGenerator>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <thread>
#include <time.h>
#include <unistd.h>

namespace {
qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

qint64 processCpuNs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return qint64(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

// The lines of a device that cannot wait for changes: a status word read by polling. Each read
// also makes the TIOCMGET system call (on a pseudo-terminal, which refuses it), so that the
// CPU share includes the call a real read costs.
class PolledLine {
public:
    PolledLine() : m_fd(posix_openpt(O_RDWR | O_NOCTTY)) {}
    ~PolledLine()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    quint32 read() const
    {
        int bits = 0;
        ioctl(m_fd, TIOCMGET, &bits);
        return status.load();
    }
    std::atomic<quint32> status{0};
    SerialDeviceFactory factory();

private:
    int m_fd;
};

class PolledDevice final : public SerialDevice {
public:
    explicit PolledDevice(PolledLine& line) : m_line(line) {}
    QString open(const QString&) override { return {}; }
    QString applySettings(const SerialLineSettings&) override
    {
        m_last = m_line.status.load();
        return {};
    }
    WaitResult waitForEvents(quint32 watchMask, quint32& occurred) override
    {
        return pollModemLines(
            m_stop,
            [this, watchMask](quint32& events) {
                const quint32 now = m_line.read();
                const quint32 changed = now ^ m_last;
                m_last = now;
                events = 0;
                if (changed & ModemLine::Cts)
                    events |= SerialEvent::Cts;
                if (changed & ModemLine::Dsr)
                    events |= SerialEvent::Dsr;
                if (changed & ModemLine::Rlsd)
                    events |= SerialEvent::Rlsd;
                events &= watchMask;
                return true;
            },
            occurred);
    }
    quint32 modemStatus() override { return m_line.status.load(); }
    void requestStop() override { m_stop = true; }
    void close() override {}
    bool pollsLines() const override { return true; }

private:
    PolledLine& m_line;
    std::atomic<bool> m_stop{false};
    quint32 m_last = 0;
};

SerialDeviceFactory PolledLine::factory()
{
    return [this] { return std::make_unique<PolledDevice>(*this); };
}

class TimedStart final : public BarrierCommands {
public:
    bool startEnabled() const override { return true; }
    bool stopEnabled() const override { return false; }
    int currentPhase() const override { return 0; }
    void invokeStart() override
    {
        latenciesUs.push_back(double(nowNs() - changedAt->load()) / 1000.0);
        started.release();
    }
    void invokeStop() override {}

    std::atomic<qint64>* changedAt = nullptr;
    std::vector<double> latenciesUs;
    QSemaphore started;
};

struct Result {
    double median = 0;
    double p99 = 0;
    double max = 0;
    int samples = 0;
};

// Drives contacts through a port made by factory; setLine changes the line from another thread.
Result measureStarts(QObject* context, const SerialDeviceFactory& factory,
                     const std::function<void(quint32)>& setLine, int samples)
{
    std::atomic<qint64> changedAt{0};
    PortTable table;
    table.setDevicePath(1, QStringLiteral("/fake/com1"));
    TComPort port(factory, table);
    port.setPort(1);
    port.setEvents(TComPort::TEvent::evCTS | TComPort::TEvent::evDSR | TComPort::TEvent::evRLSD);

    LightBarriers barriers;
    TimedStart run;
    run.changedAt = &changedAt;
    barriers.setCommands(&run);
    barriers.setConfig(1, {1, 1, 0});
    barriers.EnableBarrierIndicators();
    QSemaphore ready;
    auto onLine = [&](TComPort* sender) {
        const quint32 status = sender->ModemStatus();
        barriers.ComPortDSR(sender->Port(), status);
        if (status == 0) { // contact open again: end the lock-out, re-arm for the next one
            barriers.TimerGesperrtTimer();
            barriers.SetBarrierArmed(1, true);
            ready.release();
        }
    };
    QObject::connect(&port, &TComPort::OnCTS, context, onLine);
    QObject::connect(&port, &TComPort::OnOpen, context,
                     [&](TComPort* p) { barriers.ComPortOpen(p->Port()); });
    port.Open();
    barriers.SetBarrierArmed(1, true);

    // The race clock's 10 ms tick with some work in it.
    QTimer clock;
    clock.setInterval(10);
    volatile double sink = 0;
    QObject::connect(&clock, &QTimer::timeout, context, [&] {
        QElapsedTimer t;
        t.start();
        while (t.nsecsElapsed() < 200000)
            sink = sink + 1.0;
    });
    clock.start();

    QEventLoop loop;
    std::thread driver([&] {
        QRandomGenerator rnd(42);
        for (int i = 0; i < samples; ++i) {
            std::this_thread::sleep_for(std::chrono::microseconds(rnd.bounded(1000, 12000)));
            changedAt.store(nowNs());
            setLine(ModemLine::Cts);
            if (!run.started.tryAcquire(1, 5000))
                break;
            setLine(0);
            if (!ready.tryAcquire(1, 5000))
                break;
        }
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    driver.join();
    port.Close();

    Result r;
    std::vector<double> v = run.latenciesUs;
    r.samples = int(v.size());
    if (v.empty())
        return r;
    std::sort(v.begin(), v.end());
    r.median = v[v.size() / 2];
    r.p99 = v[std::min(v.size() - 1, size_t(double(v.size()) * 0.99))];
    r.max = v.back();
    return r;
}

// CPU share of the whole process while the port is open and nothing happens.
double idleCpuPercent(const SerialDeviceFactory& factory, int ms)
{
    PortTable table;
    table.setDevicePath(1, QStringLiteral("/fake/com1"));
    TComPort port(factory, table);
    port.setPort(1);
    port.setEvents(TComPort::TEvent::evCTS | TComPort::TEvent::evDSR | TComPort::TEvent::evRLSD);
    port.Open();
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    const qint64 cpu0 = processCpuNs();
    const qint64 wall0 = nowNs();
    loop.exec();
    const double share = 100.0 * double(processCpuNs() - cpu0) / double(nowNs() - wall0);
    port.Close();
    return share;
}
} // namespace

class BenchBarrierLatency : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startLatency_data()
    {
        QTest::addColumn<bool>("polling");
        QTest::addColumn<double>("goalP99Us");
        QTest::newRow("event path (line-change wait)") << false << 1000.0;
        QTest::newRow("polling path (read every ms)") << true << 2000.0;
    }
    void startLatency()
    {
        QFETCH(bool, polling);
        QFETCH(double, goalP99Us);
        const int samples = 1000;
        FakeSerialLine eventLine;
        PolledLine polledLine;
        const Result r =
            polling ? measureStarts(
                          this, polledLine.factory(), [&](quint32 s) { polledLine.status.store(s); }, samples)
                    : measureStarts(
                          this, eventLine.factory(), [&](quint32 s) { eventLine.setStatus(s); }, samples);
        QCOMPARE(r.samples, samples);
        qInfo("START latency, %s, over %d contacts: median %.1f us, p99 %.1f us, max %.1f us",
              QTest::currentDataTag(), r.samples, r.median, r.p99, r.max);
        // On a machine busy with other work the tail grows, so the goal is reported, not asserted.
        qInfo("goal p99 < %.0f us: %s", goalP99Us, r.p99 < goalP99Us ? "met" : "missed");
    }

    void idleCpu_data()
    {
        QTest::addColumn<bool>("polling");
        QTest::newRow("event path (line-change wait)") << false;
        QTest::newRow("polling path (read every ms)") << true;
    }
    void idleCpu()
    {
        QFETCH(bool, polling);
        FakeSerialLine eventLine;
        PolledLine polledLine;
        const double share = idleCpu(polling ? polledLine.factory() : eventLine.factory());
        qInfo("CPU while idle, %s: %.2f %% of one core", QTest::currentDataTag(), share);
        if (polling)
            qInfo("goal < 3 %% of a core: %s", share < 3.0 ? "met" : "missed");
    }

private:
    static double idleCpu(const SerialDeviceFactory& factory) { return idleCpuPercent(factory, 3000); }
};

QTEST_MAIN(BenchBarrierLatency)
#include "bench_barrier_latency.moc"
