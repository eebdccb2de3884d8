// The live web server over loopback with real HTTP clients: every page and API, the push
// channel, the limits and what the server refuses. Each test gets a server on a free port.
#include "http_client.h"
#include "live/live_service.h"
#include "live/live_urls.h"
#include "results/results_table.h"
#include "sse_client.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTcpServer>
#include <QtTest>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

QStringList row(const QString& stNr, const QString& driver, const QString& platz)
{
    return {stNr,
            driver,
            QStringLiteral("Beifahrer"),
            QStringLiteral("Lanz"),
            QStringLiteral("1955"),
            QStringLiteral("3"),
            QStringLiteral("0,00"),
            QStringLiteral("1:23,45"),
            QStringLiteral("2,5"),
            QStringLiteral("5,5"),
            platz};
}

LiveSnapshot tableOf(const QVector<QStringList>& data)
{
    LiveSnapshot s;
    s.title = QStringLiteral("Furchenlauf");
    s.rows.append(ResultsTable::defaultHeaders());
    s.rows += data;
    s.tickAtCapture = 100000;
    s.capturedAtMs = liveSteadyMs();
    return s;
}

} // namespace

class TestLiveServer : public QObject {
    Q_OBJECT
    std::unique_ptr<LiveService> m_service;
    quint16 m_port = 0;

    void startWith(const LiveLimits& limits)
    {
        m_service = std::make_unique<LiveService>(limits);
        QString error;
        QVERIFY2(m_service->start({0, true}, &error), qPrintable(error));
        m_port = m_service->port();
        QVERIFY(m_port != 0);
        publish(tableOf({row(QStringLiteral("12"), QStringLiteral("Huber"), QStringLiteral("1"))}));
    }

    void publish(LiveSnapshot s)
    {
        const auto previous = m_service->current();
        m_service->publish(nextLiveSnapshot(previous.get(), std::move(s), QDateTime::currentDateTime()));
    }

    // Limits with short times, so that time limits show within a test.
    static LiveLimits quickLimits()
    {
        LiveLimits l;
        l.requestTimeoutMs = 300;
        l.idleTimeoutMs = 300;
        l.sweepIntervalMs = 50;
        return l;
    }

private Q_SLOTS:
    void init()
    {
        // Neither the server nor Qt may complain (a read after a close, a connection the HTTP
        // server did not take at once, ...).
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
        startWith(LiveLimits());
    }
    void cleanup() { m_service.reset(); }

    void everyPageAndApi_data()
    {
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<QByteArray>("type");
        QTest::addColumn<QByteArray>("contains");
        QTest::newRow("results page")
            << QByteArray("/") << QByteArray("text/html; charset=utf-8") << QByteArray(">Huber</td>");
        QTest::newRow("results page with a query")
            << QByteArray("/?neu=1") << QByteArray("text/html; charset=utf-8") << QByteArray(">Huber</td>");
        QTest::newRow("top ten") << QByteArray("/top10") << QByteArray("text/html; charset=utf-8")
                                 << QByteArray("Top 10");
        QTest::newRow("clock") << QByteArray("/uhr") << QByteArray("text/html; charset=utf-8")
                               << QByteArray("id=\"ziffern2\"");
        QTest::newRow("results API") << QByteArray("/api/results.json")
                                     << QByteArray("application/json; charset=utf-8")
                                     << QByteArray("\"Huber\"");
        QTest::newRow("state API") << QByteArray("/api/state.json")
                                   << QByteArray("application/json; charset=utf-8")
                                   << QByteArray("\"state\":\"Ready\"");
        QTest::newRow("style sheet") << QByteArray("/live.css") << QByteArray("text/css; charset=utf-8")
                                     << QByteArray(".ziffern");
        QTest::newRow("script") << QByteArray("/live.js") << QByteArray("text/javascript; charset=utf-8")
                                << QByteArray("EventSource");
    }

    void everyPageAndApi()
    {
        QFETCH(QByteArray, target);
        QFETCH(QByteArray, type);
        QFETCH(QByteArray, contains);
        const HttpAnswer a = httpGet(m_port, target);
        QCOMPARE(a.status, 200);
        QCOMPARE(a.header("Content-Type"), type);
        QCOMPARE(a.header("Content-Security-Policy"), QByteArray("default-src 'self'"));
        QCOMPARE(a.header("X-Content-Type-Options"), QByteArray("nosniff"));
        QCOMPARE(a.header("Content-Length").toInt(), a.body.size());
        QVERIFY2(a.body.contains(contains), a.body.left(300).constData());
        if (type.startsWith("application/json"))
            QVERIFY(!QJsonDocument::fromJson(a.body).isNull());
    }

    void headAnswersWithoutBody_data() { everyPageAndApi_data(); }

    void headAnswersWithoutBody()
    {
        QFETCH(QByteArray, target);
        QFETCH(QByteArray, type);
        const HttpAnswer get = httpGet(m_port, target);
        const HttpAnswer head = httpGet(m_port, target, "HEAD");
        QCOMPARE(head.status, 200);
        QCOMPARE(head.header("Content-Type"), type);
        QVERIFY(head.body.isEmpty());
        if (!target.startsWith("/api/state")) // the state carries the moment of the answer
            QCOMPARE(head.header("Content-Length"), get.header("Content-Length"));
    }

    void onlyReading_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::newRow("POST with a body")
            << QByteArray("POST /api/results.json HTTP/1.1\r\nHost: x\r\nContent-Length: 3\r\n\r\na=1");
        QTest::newRow("PUT") << QByteArray("PUT / HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\n\r\n");
        QTest::newRow("DELETE") << QByteArray("DELETE /api/results.json HTTP/1.1\r\nHost: x\r\n\r\n");
        QTest::newRow("PATCH") << QByteArray("PATCH /uhr HTTP/1.1\r\nHost: x\r\n\r\n");
        QTest::newRow("OPTIONS") << QByteArray("OPTIONS / HTTP/1.1\r\nHost: x\r\n\r\n");
        QTest::newRow("TRACE") << QByteArray("TRACE / HTTP/1.1\r\nHost: x\r\n\r\n");
        QTest::newRow("unknown method") << QByteArray("BREW /top10 HTTP/1.1\r\nHost: x\r\n\r\n");
        QTest::newRow("POST to a path that does not exist")
            << QByteArray("POST /../etc/passwd HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\n\r\n");
    }

    void onlyReading()
    {
        QFETCH(QByteArray, request);
        const HttpAnswer a = httpRequest(m_port, request);
        QCOMPARE(a.status, 405);
        QCOMPARE(a.header("Allow"), QByteArray("GET, HEAD"));
        QCOMPARE(a.header("Content-Security-Policy"), QByteArray("default-src 'self'"));
        // Nothing changed.
        QVERIFY(httpGet(m_port, "/api/results.json").body.contains("\"Huber\""));
    }

    // Only the fixed paths exist; nothing reaches the file system.
    void noFileIsServed_data()
    {
        QTest::addColumn<QByteArray>("target");
        QTest::newRow("parent folder") << QByteArray("/../etc/passwd");
        QTest::newRow("twice up") << QByteArray("/../../etc/passwd");
        QTest::newRow("percent-encoded dots") << QByteArray("/%2e%2e/etc/passwd");
        QTest::newRow("percent-encoded dots, upper case") << QByteArray("/%2E%2E/%2E%2E/etc/passwd");
        QTest::newRow("percent-encoded slashes") << QByteArray("/..%2f..%2fetc%2fpasswd");
        QTest::newRow("all percent-encoded") << QByteArray("/%2e%2e%2f%2e%2e%2fetc%2fpasswd");
        QTest::newRow("double-encoded") << QByteArray("/%252e%252e/etc/passwd");
        QTest::newRow("backslashes") << QByteArray("/..\\..\\etc\\passwd");
        QTest::newRow("below a page") << QByteArray("/uhr/../../etc/passwd");
        QTest::newRow("below an asset") << QByteArray("/live.css/../../../etc/passwd");
        QTest::newRow("absolute path") << QByteArray("//etc/passwd");
        QTest::newRow("absolute URI") << QByteArray("http://127.0.0.1/../etc/passwd");
        QTest::newRow("nul byte") << QByteArray("/live.css%00.txt");
        QTest::newRow("a data file of the program") << QByteArray("/data/gongs/chimes.wav");
        QTest::newRow("a template by its name") << QByteArray("/ergebnisse.html");
        QTest::newRow("resource path") << QByteArray("/:/live/live.css");
        QTest::newRow("letter case") << QByteArray("/Uhr");
        QTest::newRow("trailing slash") << QByteArray("/top10/");
    }

    void noFileIsServed()
    {
        QFETCH(QByteArray, target);
        for (const QByteArray& method : {QByteArray("GET"), QByteArray("HEAD")}) {
            const HttpAnswer a = httpGet(m_port, target, method);
            QCOMPARE(a.status, 404);
            QVERIFY(!a.body.contains("root:"));
            QCOMPARE(a.header("X-Content-Type-Options"), QByteArray("nosniff"));
        }
    }

    // A kept-alive connection answers one request after the other.
    void keepAliveAnswersEachRequest()
    {
        QTcpSocket s;
        s.connectToHost(QStringLiteral("127.0.0.1"), m_port);
        QVERIFY(s.waitForConnected(3000));
        for (const QByteArray& target :
             {QByteArray("/"), QByteArray("/live.css"), QByteArray("/api/state.json")}) {
            s.write("GET " + target + " HTTP/1.1\r\nHost: x\r\n\r\n");
            const HttpAnswer a = readHttpAnswer(s);
            QCOMPARE(a.status, 200);
        }
    }

    void pushReachesOpenPagesQuickly()
    {
        SseClient client(m_port);
        QTRY_COMPARE(client.status, 200);
        QTRY_COMPARE(client.count("results"), 1);
        QTRY_COMPARE(client.count("state"), 1);
        QVERIFY(client.head.contains("Content-Type: text/event-stream"));
        std::vector<double> ms;
        for (int i = 0; i < 20; ++i) {
            const qint64 sent = client.clock.nsecsElapsed();
            publish(tableOf(
                {row(QStringLiteral("12"), QStringLiteral("Fahrer %1").arg(i), QStringLiteral("1"))}));
            QTRY_COMPARE(client.count("results"), i + 2);
            ms.push_back(double(client.last("results")->receivedNs - sent) / 1e6);
            const QJsonObject data = client.last("results")->json();
            QCOMPARE(data.value(QStringLiteral("rows"))
                         .toArray()
                         .first()
                         .toObject()
                         .value(QStringLiteral("driver")),
                     QJsonValue(QStringLiteral("Fahrer %1").arg(i)));
        }
        std::sort(ms.begin(), ms.end());
        qInfo("push of a change: median %.2f ms, slowest %.2f ms", ms[ms.size() / 2], ms.back());
        QVERIFY2(ms[ms.size() / 2] < 100.0, "a change reaches an open page within 100 ms");
        // Only the table changed: no state event was sent with it.
        QCOMPARE(client.count("state"), 1);
    }

    void runStateChangeIsPushed()
    {
        SseClient client(m_port);
        QTRY_COMPARE(client.count("state"), 1);
        LiveSnapshot s = tableOf({row(QStringLiteral("12"), QStringLiteral("Huber"), QStringLiteral("1"))});
        s.run.phase = LiveRunPhase::RunningPhase1;
        s.run.clockRunning = true;
        s.run.startTick = s.tickAtCapture - 1500;
        s.run.clock.runningRow = 1;
        publish(s);
        QTRY_COMPARE(client.count("state"), 2);
        const QJsonObject state = client.last("state")->json();
        QCOMPARE(state.value(QStringLiteral("state")).toString(), QStringLiteral("RunningPhase1"));
        // The time since START as a tick difference at sending: at least the 1.5 s, not much more.
        const int since = state.value(QStringLiteral("sinceStartMs")).toInt();
        QVERIFY2(since >= 1500 && since < 60000, qPrintable(QString::number(since)));
        QCOMPARE(client.count("results"), 1);
    }

    void heartbeatKeepsPagesInformed()
    {
        LiveLimits l;
        l.heartbeatMs = 100;
        startWith(l);
        SseClient client(m_port);
        QTRY_VERIFY(client.count("ping") >= 2);
        QVERIFY(client.last("ping")->json().contains(QStringLiteral("serverTick")));
    }

    // Pages lose the server when it stops and find it again when it runs again.
    void reconnectAfterRestart()
    {
        SseClient before(m_port);
        QTRY_COMPARE(before.count("results"), 1);
        const quint16 port = m_port;
        m_service->stop();
        QTRY_VERIFY(before.closed);
        QVERIFY(httpGet(port, "/").status == 0);
        QString error;
        QVERIFY2(m_service->start({port, true}, &error), qPrintable(error));
        QCOMPARE(m_service->port(), port);
        SseClient after(port);
        QTRY_COMPARE(after.count("results"), 1);
        QVERIFY(after.last("results")->data.contains("\"Huber\""));
    }

    void escapingThroughTheServer()
    {
        const QString name = QStringLiteral("<script>alert(1)</script>");
        SseClient client(m_port);
        QTRY_COMPARE(client.count("results"), 1);
        publish(tableOf({row(QStringLiteral("12"), name, QStringLiteral("1"))}));
        QTRY_COMPARE(client.count("results"), 2);
        QVERIFY(!client.last("results")->data.contains('<'));
        for (const QByteArray& page : {QByteArray("/"), QByteArray("/top10")}) {
            const HttpAnswer a = httpGet(m_port, page);
            QVERIFY(!a.body.contains("<script>alert"));
            QVERIFY(a.body.contains("&lt;script&gt;alert(1)&lt;/script&gt;"));
        }
        const HttpAnswer json = httpGet(m_port, "/api/results.json");
        QVERIFY(!json.body.contains('<'));
        const QJsonObject o = QJsonDocument::fromJson(json.body).object();
        QCOMPARE(o.value(QStringLiteral("rows"))
                     .toArray()
                     .first()
                     .toObject()
                     .value(QStringLiteral("driver"))
                     .toString(),
                 name);
    }

    // At most 200 push clients: the next one gets 503 and a later one gets in again.
    void pushClientsBeyondTheLimit()
    {
        std::vector<std::unique_ptr<SseClient>> clients;
        for (int i = 0; i < 200; ++i)
            clients.push_back(std::make_unique<SseClient>(m_port));
        QTRY_COMPARE_WITH_TIMEOUT(m_service->streamCount(), 200, 20000);
        for (const auto& c : clients)
            QTRY_COMPARE(c->status, 200);
        SseClient beyond(m_port);
        QTRY_COMPARE(beyond.status, 503);
        QVERIFY(beyond.head.contains("Retry-After: 10"));
        clients.pop_back();
        QTRY_COMPARE(m_service->streamCount(), 199);
        SseClient again(m_port);
        QTRY_COMPARE(again.status, 200);
    }

    // All connections together are limited too: one beyond is answered 503 without being read.
    void connectionsBeyondTheLimit()
    {
        const LiveLimits limits;
        std::vector<std::unique_ptr<QTcpSocket>> open;
        for (int i = 0; i < limits.maxConnections; ++i) {
            open.push_back(std::make_unique<QTcpSocket>());
            open.back()->connectToHost(QStringLiteral("127.0.0.1"), m_port);
        }
        QTRY_COMPARE_WITH_TIMEOUT(m_service->connectionCount(), limits.maxConnections, 20000);
        const HttpAnswer a = httpGet(m_port, "/");
        QCOMPARE(a.status, 503);
        QCOMPARE(a.header("Retry-After"), QByteArray("10"));
        QVERIFY(a.closedByServer);
        open.pop_back();
        QTRY_COMPARE(m_service->connectionCount(), limits.maxConnections - 1);
        QCOMPARE(httpGet(m_port, "/").status, 200);
    }

    void requestSizeLimits_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("status");
        const QByteArray tail = " HTTP/1.1\r\nHost: x\r\n\r\n";
        const LiveLimits l;
        const QByteArray start = "GET /?";
        QTest::newRow("request of exactly the largest size")
            << start + QByteArray(l.maxRequestBytes - start.size() - tail.size(), 'a') + tail << 200;
        QTest::newRow("one byte more")
            << start + QByteArray(l.maxRequestBytes - start.size() - tail.size() + 1, 'a') + tail << 431;
        QTest::newRow("request line of 100 KiB") << start + QByteArray(100 * 1024, 'a') + tail << 431;
        QByteArray headers;
        for (int i = 1; i < l.maxHeaders; ++i)
            headers += "X-Feld-" + QByteArray::number(i) + ": a\r\n";
        QTest::newRow("the most header fields (Host and 49 more)")
            << "GET / HTTP/1.1\r\nHost: x\r\n" + headers + "\r\n"
            << 200;
        QTest::newRow("one header field more")
            << "GET / HTTP/1.1\r\nHost: x\r\n" + headers + "X-Noch: a\r\n\r\n"
            << 431;
        QByteArray many;
        for (int i = 0; i < 500; ++i)
            many += "X-" + QByteArray::number(i) + ": a\r\n";
        QTest::newRow("500 header fields") << "GET / HTTP/1.1\r\nHost: x\r\n" + many + "\r\n" << 431;
        QTest::newRow("a large body")
            << "POST / HTTP/1.1\r\nHost: x\r\nContent-Length: 40000\r\n\r\n" + QByteArray(40000, 'b') << 431;
    }

    void requestSizeLimits()
    {
        QFETCH(QByteArray, request);
        QFETCH(int, status);
        const HttpAnswer a = httpRequest(m_port, request);
        QCOMPARE(a.status, status);
        if (status != 200)
            QVERIFY(a.closedByServer);
        // The server goes on serving.
        QCOMPARE(httpGet(m_port, "/uhr").status, 200);
    }

    void slowRequestIsCutOff()
    {
        startWith(quickLimits());
        QTcpSocket s;
        s.connectToHost(QStringLiteral("127.0.0.1"), m_port);
        QVERIFY(s.waitForConnected(3000));
        s.write("GET / HTTP/1.1\r\nHost: x\r\n"); // the empty line never comes
        const HttpAnswer a = readHttpAnswer(s, true, 5000);
        QCOMPARE(a.status, 408);
        QTRY_VERIFY(s.state() == QAbstractSocket::UnconnectedState);
    }

    void idleConnectionsAreClosed_data()
    {
        QTest::addColumn<bool>("askFirst");
        QTest::newRow("after an answer") << true;
        QTest::newRow("without any request") << false;
    }

    void idleConnectionsAreClosed()
    {
        QFETCH(bool, askFirst);
        startWith(quickLimits());
        QTcpSocket s;
        s.connectToHost(QStringLiteral("127.0.0.1"), m_port);
        QVERIFY(s.waitForConnected(3000));
        if (askFirst) {
            s.write("GET /live.css HTTP/1.1\r\nHost: x\r\n\r\n");
            QCOMPARE(readHttpAnswer(s).status, 200);
        }
        QTRY_VERIFY_WITH_TIMEOUT(s.state() == QAbstractSocket::UnconnectedState || !s.waitForReadyRead(10),
                                 3000);
        QTRY_COMPARE_WITH_TIMEOUT(m_service->connectionCount(), 0, 3000);
    }

    // Push channels are no idle connections.
    void pushChannelOutlivesTheIdleTime()
    {
        startWith(quickLimits());
        SseClient client(m_port);
        QTRY_COMPARE(client.count("results"), 1);
        QTest::qWait(800); // well beyond the idle time of 300 ms
        QVERIFY(!client.closed);
        publish(tableOf({row(QStringLiteral("1"), QStringLiteral("Noch da"), QStringLiteral("1"))}));
        QTRY_COMPARE(client.count("results"), 2);
    }

    // A push client has nothing to send; whatever it sends would end up in the stream.
    void pushClientThatSendsIsDropped()
    {
        SseClient client(m_port);
        QTRY_COMPARE(client.count("results"), 1);
        client.socket.write("GET / HTTP/1.1\r\nHost: x\r\n\r\n");
        QTRY_VERIFY(client.closed);
        QCOMPARE(client.count("results"), 1);
    }

    // The server speaks no other protocol: an attempt to switch is answered 404 and closed.
    void protocolSwitchIsRefused()
    {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("WebSocket received")));
        const HttpAnswer a =
            httpRequest(m_port, "GET /api/events HTTP/1.1\r\nHost: x\r\nConnection: Upgrade\r\n"
                                "Upgrade: websocket\r\nSec-WebSocket-Version: 13\r\n"
                                "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n\r\n");
        QCOMPARE(a.status, 404);
        QVERIFY(a.closedByServer);
        QCOMPARE(m_service->streamCount(), 0);
    }

    void portInUseIsReported()
    {
        LiveService second;
        QString error;
        QVERIFY(!second.start({m_port, true}, &error));
        QCOMPARE(error, QStringLiteral("Port %1 ist schon belegt").arg(m_port));
        QVERIFY(!second.running());
        QCOMPARE(httpGet(m_port, "/").status, 200); // the first one goes on
    }

    void localOnlyKeepsOffTheNetwork()
    {
        const QList<QHostAddress> lan = liveLanAddresses();
        if (lan.isEmpty())
            QSKIP("this machine has no LAN address");
        QTcpSocket s;
        s.connectToHost(lan.first(), m_port);
        QVERIFY(!s.waitForConnected(2000));
    }

    void wholeNetworkListensOnLanAddresses()
    {
        const QList<QHostAddress> lan = liveLanAddresses();
        if (lan.isEmpty())
            QSKIP("this machine has no LAN address");
        LiveService open;
        QString error;
        QVERIFY2(open.start({0, false}, &error), qPrintable(error));
        QTcpSocket s;
        s.connectToHost(lan.first(), open.port());
        QVERIFY(s.waitForConnected(2000));
        s.write("GET /api/state.json HTTP/1.1\r\nHost: x\r\n\r\n");
        QCOMPARE(readHttpAnswer(s).status, 200);
    }

    void urlsForTheAddresses_data()
    {
        QTest::addColumn<int>("port");
        QTest::addColumn<bool>("localOnly");
        QTest::addColumn<QStringList>("lan");
        QTest::addColumn<QStringList>("urls");
        QTest::newRow("one LAN address")
            << 8080 << false << QStringList{"192.168.1.20"} << QStringList{"http://192.168.1.20:8080/"};
        QTest::newRow("two LAN addresses")
            << 8080 << false << QStringList{"192.168.1.20", "10.0.0.5"}
            << QStringList{"http://192.168.1.20:8080/", "http://10.0.0.5:8080/"};
        QTest::newRow("no LAN address: this PC")
            << 8080 << false << QStringList{} << QStringList{"http://127.0.0.1:8080/"};
        QTest::newRow("only this PC")
            << 8080 << true << QStringList{"192.168.1.20"} << QStringList{"http://127.0.0.1:8080/"};
        QTest::newRow("port 80 is left out")
            << 80 << false << QStringList{"192.168.1.20"} << QStringList{"http://192.168.1.20/"};
        QTest::newRow("lowest port") << 1 << false << QStringList{"192.168.1.20"}
                                     << QStringList{"http://192.168.1.20:1/"};
        QTest::newRow("highest port")
            << 65535 << true << QStringList{} << QStringList{"http://127.0.0.1:65535/"};
    }

    void urlsForTheAddresses()
    {
        QFETCH(int, port);
        QFETCH(bool, localOnly);
        QFETCH(QStringList, lan);
        QFETCH(QStringList, urls);
        QList<QHostAddress> addresses;
        for (const QString& a : lan)
            addresses.append(QHostAddress(a));
        QCOMPARE(liveUrls(quint16(port), localOnly, addresses), urls);
    }
};

QTEST_GUILESS_MAIN(TestLiveServer)
#include "tst_live_server.moc"
