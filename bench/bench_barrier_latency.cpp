// Latency of a light-barrier START: from the moment the device wait returns in the watcher
// (taken in the fake device, the watcher itself takes no time) to the moment the START
// command reads its tick on the GUI thread, while the GUI thread runs a 10 ms timer with load.
// Run: build/bin/bench_barrier_latency   (prints median and 99th percentile in microseconds)
#include "barriers/Comms.h"
#include "barriers/light_barriers.h"
#include "fake_serial_device.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QRandomGenerator>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <chrono>
#include <thread>

namespace {
qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

class TimedStart final : public BarrierCommands {
public:
    bool startEnabled() const override { return true; }
    bool stopEnabled() const override { return false; }
    int currentPhase() const override { return 0; }
    void invokeStart() override
    {
        latenciesUs.push_back(double(nowNs() - waitReturned->load()) / 1000.0);
        started.release();
    }
    void invokeStop() override {}

    std::atomic<qint64>* waitReturned = nullptr;
    std::vector<double> latenciesUs;
    QSemaphore started;
};
} // namespace

class BenchBarrierLatency : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startLatencyWithBusyGui()
    {
        const int samples = 1000;
        std::atomic<qint64> waitReturned{0};
        FakeSerialLine line;
        line.onWaitReturn = [&] { waitReturned.store(nowNs()); };

        PortTable table;
        table.setDevicePath(1, QStringLiteral("/fake/com1"));
        TComPort port(line.factory(), table);
        port.setPort(1);
        port.setEvents(TComPort::TEvent::evCTS | TComPort::TEvent::evDSR | TComPort::TEvent::evRLSD);

        LightBarriers barriers;
        TimedStart run;
        run.waitReturned = &waitReturned;
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
        connect(&port, &TComPort::OnCTS, this, onLine);
        connect(&port, &TComPort::OnOpen, this, [&](TComPort* p) { barriers.ComPortOpen(p->Port()); });
        port.Open();
        barriers.SetBarrierArmed(1, true);

        // The race clock's 10 ms tick with some work in it.
        QTimer clock;
        clock.setInterval(10);
        volatile double sink = 0;
        connect(&clock, &QTimer::timeout, this, [&] {
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
                line.setStatus(ModemLine::Cts);
                if (!run.started.tryAcquire(1, 5000))
                    break;
                line.setStatus(0);
                if (!ready.tryAcquire(1, 5000))
                    break;
            }
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
        loop.exec();
        driver.join();
        port.Close();

        QCOMPARE(int(run.latenciesUs.size()), samples);
        std::vector<double> v = run.latenciesUs;
        std::sort(v.begin(), v.end());
        const double median = v[v.size() / 2];
        const double p99 = v[std::min(v.size() - 1, size_t(double(v.size()) * 0.99))];
        qInfo("START latency over %d contacts: median %.1f us, p99 %.1f us, max %.1f us", samples, median,
              p99, v.back());
        // The goal is p99 below 1 ms; on a machine busy with other work the tail grows, so it is
        // reported rather than asserted.
        qInfo("goal p99 < 1000 us: %s", p99 < 1000.0 ? "met" : "missed");
    }
};

QTEST_MAIN(BenchBarrierLatency)
#include "bench_barrier_latency.moc"
