// Load on the live results server and what it does to timing. Loopback only, bounded:
//   phase A (10 s): the clock runs and light-barrier contacts arrive, live server off;
//   phase B (30 s): the same, with the server on, 200 push clients and 50 page requests
//   per second from a separate client process, and a table change every 0.5 s;
//   phase C (10 s): as phase A again, to show how much the machine itself varies.
// Reports the clock tick interval p99 and the barrier latency p99 of both phases, the push
// latency p99 (change on the GUI thread -> event parsed by a client) and the extra memory.
// Run: scripts/bench.sh, or build-release/bin/bench_live_load [--clients-at-normal-priority]
//      (build-release/bin/bench_live_load --clients <port> <seconds> low|normal is the client process;
//      by default it runs at the lowest priority, as the phones it stands for take no time of this PC)
#include "app/FMain.h"
#include "barriers/Comms.h"
#include "barriers/light_barriers.h"
#include "fake_clock_parts.h"
#include "fake_serial_device.h"
#include "results/results_table.h"
#include "test_deps.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QSemaphore>
#include <QSettings>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <thread>
#include <vector>

namespace {

constexpr int kPushClients = 200;
constexpr int kPagesPerSecond = 50;
constexpr int kLoadSeconds = 30;
constexpr int kQuietSeconds = 10;

qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool& clientsAtNormalPriority()
{
    static bool normal = false;
    return normal;
}

// Processor time of this process so far (all threads), ms.
double processCpuMs()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000.0 +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1000.0;
}

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(double(v.size()) * p))];
}

qint64 residentKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

// ---- the client process ----

class PushClient : public QObject {
public:
    PushClient(quint16 port, std::vector<double>* latencies) : m_latencies(latencies)
    {
        connect(&m_socket, &QTcpSocket::connected, this,
                [this] { m_socket.write("GET /api/events HTTP/1.1\r\nHost: bench\r\n\r\n"); });
        connect(&m_socket, &QTcpSocket::readyRead, this, [this] { read(); });
        m_socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    }
    int status = 0;
    int results = 0;

private:
    void read()
    {
        m_buffer += m_socket.readAll();
        if (status == 0) {
            const qsizetype end = m_buffer.indexOf("\r\n\r\n");
            if (end < 0)
                return;
            status = m_buffer.left(end).split(' ').value(1).toInt();
            m_buffer.remove(0, end + 4);
        }
        qsizetype end;
        while ((end = m_buffer.indexOf("\n\n")) >= 0) {
            const QByteArray block = m_buffer.left(end);
            m_buffer.remove(0, end + 2);
            if (!block.startsWith("event: results"))
                continue;
            // The changed cell holds the moment of the change: "t<ns>".
            ++results;
            const qsizetype at = block.indexOf("\"coDriver\":\"t");
            if (at < 0 || results == 1)
                continue;
            const qint64 sent = block.mid(at + 13, block.indexOf('"', at + 13) - at - 13).toLongLong();
            m_latencies->push_back(double(nowNs() - sent) / 1e6);
        }
    }

    QTcpSocket m_socket;
    QByteArray m_buffer;
    std::vector<double>* m_latencies;
};

int runClients(quint16 port, int seconds, bool lowPriority)
{
    // The clients stand for phones and other PCs, which take no processor time of the timing PC;
    // at the lowest priority they disturb it as little as a process on the same machine can.
    if (lowPriority)
        setpriority(PRIO_PROCESS, 0, 19);
    std::vector<double> latencies;
    std::vector<std::unique_ptr<PushClient>> push;
    for (int i = 0; i < kPushClients; ++i)
        push.push_back(std::make_unique<PushClient>(port, &latencies));

    int pagesAsked = 0;
    int pagesOk = 0;
    int pagesFailed = 0;
    const char* targets[] = {"/", "/top10", "/uhr", "/api/results.json", "/api/state.json", "/live.js"};
    QTimer pages;
    pages.setInterval(1000 / kPagesPerSecond);
    QObject::connect(&pages, &QTimer::timeout, [&] {
        auto* s = new QTcpSocket;
        const QByteArray target = targets[pagesAsked++ % 6];
        auto* buffer = new QByteArray;
        QObject::connect(s, &QTcpSocket::connected, s, [s, target] {
            s->write("GET " + target + " HTTP/1.1\r\nHost: bench\r\nConnection: close\r\n\r\n");
        });
        QObject::connect(s, &QTcpSocket::readyRead, s, [s, buffer] { *buffer += s->readAll(); });
        QObject::connect(s, &QTcpSocket::disconnected, s, [&, s, buffer] {
            *buffer += s->readAll();
            (buffer->startsWith("HTTP/1.1 200") ? pagesOk : pagesFailed)++;
            delete buffer;
            s->deleteLater();
        });
        QObject::connect(s, &QTcpSocket::errorOccurred, s, [&, s](QAbstractSocket::SocketError e) {
            if (e != QAbstractSocket::RemoteHostClosedError) {
                ++pagesFailed;
                s->deleteLater();
            }
        });
        s->connectToHost(QStringLiteral("127.0.0.1"), port);
    });
    pages.start();
    QTimer::singleShot(seconds * 1000, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();

    int connected = 0;
    for (const auto& c : push)
        connected += c->status == 200 ? 1 : 0;
    QJsonObject out{{QStringLiteral("pushConnected"), connected},
                    {QStringLiteral("pushSamples"), int(latencies.size())},
                    {QStringLiteral("pushP50"), percentile(latencies, 0.5)},
                    {QStringLiteral("pushP99"), percentile(latencies, 0.99)},
                    {QStringLiteral("pushMax"),
                     latencies.empty() ? 0.0 : *std::max_element(latencies.begin(), latencies.end())},
                    {QStringLiteral("pagesAsked"), pagesAsked},
                    {QStringLiteral("pagesOk"), pagesOk},
                    {QStringLiteral("pagesFailed"), pagesFailed}};
    QTextStream(stdout) << QJsonDocument(out).toJson(QJsonDocument::Compact) << '\n';
    return 0;
}

// ---- the timing side ----

class TimedStart final : public BarrierCommands {
public:
    bool startEnabled() const override { return true; }
    bool stopEnabled() const override { return false; }
    int currentPhase() const override { return 0; }
    void invokeStart() override
    {
        if (recording)
            latenciesUs.push_back(double(nowNs() - waitReturned->load()) / 1000.0);
        started.release();
    }
    void invokeStop() override {}

    std::atomic<qint64>* waitReturned = nullptr;
    bool recording = false;
    std::vector<double> latenciesUs;
    QSemaphore started;
};

struct PhaseFigures {
    double tickP99Ms = 0;
    double tickLateP99Ms = 0;
    double barrierP99Us = 0;
    double barrierP50Us = 0;
    size_t ticks = 0;
    size_t contacts = 0;
    double cpuPercent = 0; // of one core, the whole program
};

} // namespace

class BenchLiveLoad : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void loadDoesNotDisturbTiming()
    {
        QTemporaryDir settingsDir;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
        SystemTickSource ticks;
        FakeGong gong;
        TFormMain w(testDeps(&ticks, &gong));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        // A table of 30 results, as at a small event.
        ResultsTable& table = w.resultsTable();
        for (int i = 1; i <= 30; ++i)
            table.appendRow({QString::number(i), QStringLiteral("Fahrer %1").arg(i),
                             QStringLiteral("Beifahrer"), QStringLiteral("Lanz Bulldog"),
                             QStringLiteral("1955"), QStringLiteral("3"), QStringLiteral("41,00"),
                             QStringLiteral("1:23,45"), QStringLiteral("0"), QStringLiteral("3"),
                             QString::number(i)});
        if (table.isBlank(table.cell(0, 1)))
            table.deleteRow(1);

        // The light barrier, watched on its own thread and dispatched on the GUI thread.
        std::atomic<qint64> waitReturned{0};
        FakeSerialLine line;
        line.onWaitReturn = [&] { waitReturned.store(nowNs()); };
        PortTable portTable;
        portTable.setDevicePath(1, QStringLiteral("/fake/com1"));
        TComPort port(line.factory(), portTable);
        port.setPort(1);
        port.setEvents(TComPort::TEvent::evCTS | TComPort::TEvent::evDSR | TComPort::TEvent::evRLSD);
        LightBarriers barriers;
        TimedStart run;
        run.waitReturned = &waitReturned;
        barriers.setCommands(&run);
        barriers.setConfig(1, {1, 1, 0});
        barriers.EnableBarrierIndicators();
        QSemaphore ready;
        connect(&port, &TComPort::OnCTS, this, [&](TComPort* sender) {
            const quint32 status = sender->ModemStatus();
            barriers.ComPortDSR(sender->Port(), status);
            if (status == 0) {
                barriers.TimerGesperrtTimer();
                barriers.SetBarrierArmed(1, true);
                ready.release();
            }
        });
        connect(&port, &TComPort::OnOpen, this, [&](TComPort* p) { barriers.ComPortOpen(p->Port()); });
        port.Open();
        barriers.SetBarrierArmed(1, true);
        std::atomic<bool> driving{true};
        std::thread driver([&] {
            QRandomGenerator rnd(42);
            while (driving.load()) {
                std::this_thread::sleep_for(std::chrono::microseconds(rnd.bounded(1000, 12000)));
                line.setStatus(ModemLine::Cts);
                if (!run.started.tryAcquire(1, 5000))
                    break;
                line.setStatus(0);
                if (!ready.tryAcquire(1, 5000))
                    break;
            }
        });

        // The race clock runs for the whole benchmark; every tick is timed.
        std::vector<double> tickIntervals;
        qint64 lastTick = 0;
        bool recordTicks = false;
        connect(&w.clock().clockTimer(), &QTimer::timeout, this, [&] {
            const qint64 t = nowNs();
            if (recordTicks && lastTick)
                tickIntervals.push_back(double(t - lastTick) / 1e6);
            lastTick = t;
        });
        w.sequence().mStartClick();

        const auto phase = [&](int seconds, const std::function<void()>& each500ms) {
            tickIntervals.clear();
            run.latenciesUs.clear();
            const double cpuBefore = processCpuMs();
            lastTick = 0;
            recordTicks = true;
            run.recording = true;
            QTimer change;
            change.setInterval(500);
            connect(&change, &QTimer::timeout, this, each500ms);
            change.start();
            QEventLoop loop;
            QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
            loop.exec();
            recordTicks = false;
            run.recording = false;
            PhaseFigures f;
            f.cpuPercent = (processCpuMs() - cpuBefore) / (seconds * 10.0);
            f.ticks = tickIntervals.size();
            f.contacts = run.latenciesUs.size();
            f.tickP99Ms = percentile(tickIntervals, 0.99);
            std::vector<double> late;
            for (double d : tickIntervals)
                late.push_back(std::max(0.0, d - 10.0));
            f.tickLateP99Ms = percentile(late, 0.99);
            f.barrierP99Us = percentile(run.latenciesUs, 0.99);
            f.barrierP50Us = percentile(run.latenciesUs, 0.5);
            return f;
        };
        // The same table change in both phases; with the server on it goes out to every page.
        const auto changeTable = [&] {
            table.setCell(ResultsTable::Beifahrer, 1, QStringLiteral("t%1").arg(nowNs()));
        };

        const PhaseFigures quiet = phase(kQuietSeconds, changeTable);
        const qint64 rssBefore = residentKb();

        w.settings().live = LiveSettings{true, 0, true};
        w.applyLiveSettings();
        QVERIFY(w.liveService()->running());
        QProcess clients;
        clients.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        clients.start(QCoreApplication::applicationFilePath(),
                      {QStringLiteral("--clients"), QString::number(w.liveService()->port()),
                       QString::number(kLoadSeconds + 2),
                       clientsAtNormalPriority() ? QStringLiteral("normal") : QStringLiteral("low")});
        QVERIFY(clients.waitForStarted());
        // Let the push clients connect before measuring.
        QTRY_COMPARE_WITH_TIMEOUT(w.liveService()->streamCount(), kPushClients, 10000);
        qint64 rssPeak = residentKb();
        QTimer rssProbe;
        connect(&rssProbe, &QTimer::timeout, this, [&] { rssPeak = std::max(rssPeak, residentKb()); });
        rssProbe.start(1000);
        const PhaseFigures loaded = phase(kLoadSeconds, changeTable);
        rssProbe.stop();
        QTRY_VERIFY_WITH_TIMEOUT(clients.state() == QProcess::NotRunning, 15000);
        const QJsonObject c = QJsonDocument::fromJson(clients.readAllStandardOutput().trimmed()).object();

        // The machine's own noise: the unloaded phase once more, server off again.
        w.settings().live.enabled = false;
        w.applyLiveSettings();
        const PhaseFigures after = phase(kQuietSeconds, changeTable);

        driving.store(false);
        driver.join();
        port.Close();
        w.sequence().mStopClick();

        qInfo("phase A, server off:  %zu ticks, tick interval p99 %.2f ms (late p99 %.2f ms); %zu contacts, "
              "barrier latency p50 %.1f us, p99 %.1f us; program CPU %.1f %%",
              quiet.ticks, quiet.tickP99Ms, quiet.tickLateP99Ms, quiet.contacts, quiet.barrierP50Us,
              quiet.barrierP99Us, quiet.cpuPercent);
        qInfo("phase B, under load:  %zu ticks, tick interval p99 %.2f ms (late p99 %.2f ms); %zu contacts, "
              "barrier latency p50 %.1f us, p99 %.1f us; program CPU %.1f %%",
              loaded.ticks, loaded.tickP99Ms, loaded.tickLateP99Ms, loaded.contacts, loaded.barrierP50Us,
              loaded.barrierP99Us, loaded.cpuPercent);
        qInfo("phase C, server off:  %zu ticks, tick interval p99 %.2f ms (late p99 %.2f ms); %zu contacts, "
              "barrier latency p50 %.1f us, p99 %.1f us; program CPU %.1f %%",
              after.ticks, after.tickP99Ms, after.tickLateP99Ms, after.contacts, after.barrierP50Us,
              after.barrierP99Us, after.cpuPercent);
        qInfo("client process at %s priority", clientsAtNormalPriority() ? "normal" : "the lowest");
        qInfo("load: %d of %d push clients connected, %d page requests (%d answered 200, %d failed)",
              c.value(QStringLiteral("pushConnected")).toInt(), kPushClients,
              c.value(QStringLiteral("pagesAsked")).toInt(), c.value(QStringLiteral("pagesOk")).toInt(),
              c.value(QStringLiteral("pagesFailed")).toInt());
        const double pushP99 = c.value(QStringLiteral("pushP99")).toDouble();
        qInfo("push latency over %d events: p50 %.2f ms, p99 %.2f ms, max %.2f ms",
              c.value(QStringLiteral("pushSamples")).toInt(), c.value(QStringLiteral("pushP50")).toDouble(),
              pushP99, c.value(QStringLiteral("pushMax")).toDouble());
        const double extraMb = double(rssPeak - rssBefore) / 1024.0;
        qInfo("memory: %.1f MB before the server, %.1f MB at the peak under load: %.1f MB extra",
              double(rssBefore) / 1024.0, double(rssPeak) / 1024.0, extraMb);
        // Strict: against the better of the two unloaded phases (the machine's own variation shows
        // as the difference between A and C).
        const double tickDelta = loaded.tickP99Ms - std::min(quiet.tickP99Ms, after.tickP99Ms);
        const double barrierDelta =
            (loaded.barrierP99Us - std::min(quiet.barrierP99Us, after.barrierP99Us)) / 1000.0;
        qInfo("unloaded variation (A vs C): tick p99 %.2f ms, barrier p99 %.2f ms",
              std::abs(quiet.tickP99Ms - after.tickP99Ms),
              std::abs(quiet.barrierP99Us - after.barrierP99Us) / 1000.0);
        qInfo("goal tick p99 within 0.5 ms of unloaded (%+.2f ms): %s", tickDelta,
              tickDelta <= 0.5 ? "met" : "missed");
        qInfo("goal barrier p99 within 0.5 ms of unloaded (%+.2f ms): %s", barrierDelta,
              barrierDelta <= 0.5 ? "met" : "missed");
        qInfo("goal push p99 < 100 ms: %s", pushP99 < 100.0 ? "met" : "missed");
        qInfo("goal extra memory < 30 MB: %s", extraMb < 30.0 ? "met" : "missed");
    }
};

int main(int argc, char** argv)
{
    if (argc >= 5 && qstrcmp(argv[1], "--clients") == 0) {
        QCoreApplication app(argc, argv);
        return runClients(quint16(QByteArray(argv[2]).toUInt()), QByteArray(argv[3]).toInt(),
                          qstrcmp(argv[4], "low") == 0);
    }
    // --clients-at-normal-priority: the client process competes with the program as an equal.
    for (int i = 1; i < argc; ++i)
        if (qstrcmp(argv[i], "--clients-at-normal-priority") == 0) {
            clientsAtNormalPriority() = true;
            for (int j = i; j + 1 < argc; ++j)
                argv[j] = argv[j + 1];
            --argc;
            break;
        }
    QApplication app(argc, argv);
    BenchLiveLoad bench;
    return QTest::qExec(&bench, argc, argv);
}

#include "bench_live_load.moc"
