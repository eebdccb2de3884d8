// Fuzz target: the request path of the live results server. The input is what a client sends
// on one connection: the bytes go to the server over a loopback connection (the server's own
// listener, connection limits and HTTP parser), the client then closes its sending side and
// reads every answer until the server closes. One server serves every input. Its limits of
// request size and header count are the program's checks with smaller numbers, so that inputs
// of a few kilobytes reach them.
#include "fuzz_support.h"

#include "live/live_http_server.h"
#include "live/live_hub.h"
#include "live/live_json.h"
#include "live/live_pages.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QSocketNotifier>
#include <QTimer>

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kDeadlineMs = 5000;
const QByteArray kCanary("AKFUZZ-KANARIENVOGEL-7f3a");

LiveLimits fuzzLimits()
{
    LiveLimits l;
    l.maxRequestBytes = 2048;
    l.maxHeaders = 16;
    return l;
}

struct Fixture {
    LiveSnapshotHub hub;
    std::unique_ptr<LiveHttpServer> server;
    quint16 port = 0;
    QList<QByteArray> fixedBodies; // everything a 200 answer may carry, but the state and the stream

    Fixture()
    {
        LiveSnapshot s;
        s.title = QStringLiteral("Furchenlauf <b>&</b>");
        s.rows = {QStringList{"St.Nr.", "Fahrer", "Beifahrer", "Marke", "Baujahr", "StrafG", "Zeit1", "Zeit2",
                              "StrafZ", "Ges.", "Platz"},
                  QStringList{"7", "Max Bauer", " ", "Lanz", "1955", "2", "0,00", "1:23,45", "0", "2", "1"},
                  QStringList{"12", "Jürgen <script>", "Anna", "Hanomag", "1950", "3", "0,00", "1:30,00",
                              "2,5", "5,5", "2"}};
        hub.publish(nextLiveSnapshot(nullptr, s, QDateTime::currentDateTime()));
        const std::shared_ptr<const LiveSnapshot> snap = hub.current();
        fixedBodies = {liveResultsPage(*snap), liveTopTenPage(*snap), liveClockPage(*snap),
                       liveResultsJson(*snap)};
        for (const char* asset : {"/live.css", "/live.js"}) {
            QByteArray body;
            QByteArray type;
            if (!liveAsset(QString::fromLatin1(asset), &body, &type))
                akfuzz::failed("asset missing", __FILE__, __LINE__);
            fixedBodies.append(body);
        }
        // A file that no answer may ever carry (nor any other file: see the checks).
        akfuzz::writeFile(akfuzz::scratch() + QStringLiteral("/geheim.txt"), kCanary + '\n');

        server = std::make_unique<LiveHttpServer>(hub, fuzzLimits());
        QString error;
        if (!server->start({QHostAddress(QHostAddress::LocalHost)}, 0, &port, &error))
            akfuzz::failed("server does not start", __FILE__, __LINE__);
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

// Sends the bytes on a new connection, closes the sending side and returns everything the
// server answers until it closes the connection.
QByteArray exchange(const QByteArray& request, quint16 port, bool* timedOut)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        akfuzz::failed("socket", __FILE__, __LINE__);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 && errno != EINPROGRESS)
        akfuzz::failed("connect", __FILE__, __LINE__);

    QByteArray answer;
    qsizetype sent = 0;
    QEventLoop loop;
    QSocketNotifier writable(qintptr(fd), QSocketNotifier::Write);
    QSocketNotifier readable(qintptr(fd), QSocketNotifier::Read);
    QObject::connect(&writable, &QSocketNotifier::activated, &loop, [&] {
        while (sent < request.size()) {
            const ssize_t n =
                ::send(fd, request.constData() + sent, size_t(request.size() - sent), MSG_NOSIGNAL);
            if (n <= 0)
                break;
            sent += n;
        }
        const bool gone = sent < request.size() && errno != EAGAIN && errno != EWOULDBLOCK;
        if (sent == request.size() || gone) {
            ::shutdown(fd, SHUT_WR);
            writable.setEnabled(false);
        }
    });
    QObject::connect(&readable, &QSocketNotifier::activated, &loop, [&] {
        char buf[65536];
        while (true) {
            const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
            if (n > 0) {
                answer.append(buf, qsizetype(n));
                continue;
            }
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
                return;
            readable.setEnabled(false); // closed by the server (or reset)
            loop.quit();
            return;
        }
    });
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&] {
        *timedOut = true;
        loop.quit();
    });
    deadline.start(kDeadlineMs);
    loop.exec();
    writable.setEnabled(false);
    readable.setEnabled(false);
    ::close(fd);
    return answer;
}

// Waits until the server has let go of every connection (their sockets are deleted later).
bool serverIdle(const LiveHttpServer& server)
{
    QElapsedTimer t;
    t.start();
    while (server.connectionCount() > 0) {
        if (t.elapsed() > kDeadlineMs)
            return false;
        QEventLoop loop;
        QTimer::singleShot(1, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

struct Answer {
    int status = 0;
    QByteArray head;
    QByteArray body;
    bool complete = false;
};

QByteArray headerValue(const QByteArray& head, const QByteArray& name)
{
    for (const QByteArray& line : head.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(colon + 1).trimmed();
    }
    return QByteArray();
}

// The answers one after the other. An answer to HEAD carries a length but no body: a body
// is taken only where the next answer does not begin right away. The push channel has no
// length and runs to the end.
QList<Answer> splitAnswers(const QByteArray& bytes)
{
    QList<Answer> out;
    qsizetype at = 0;
    while (at < bytes.size()) {
        Answer a;
        AK_FUZZ_CHECK(bytes.mid(at, 9) == "HTTP/1.1 " || bytes.size() - at < 9);
        const qsizetype end = bytes.indexOf("\r\n\r\n", at);
        if (end < 0) {
            out.append(a); // cut off by a reset
            break;
        }
        a.head = bytes.mid(at, end - at);
        a.status = a.head.mid(9, 3).toInt();
        at = end + 4;
        const QByteArray length = headerValue(a.head, "Content-Length");
        if (length.isEmpty()) {
            a.body = bytes.mid(at);
            at = bytes.size();
        } else if (bytes.mid(at, 9) != "HTTP/1.1 ") {
            const qsizetype n = length.toLongLong();
            a.body = bytes.mid(at, n);
            at += n;
        }
        a.complete = true;
        out.append(a);
    }
    return out;
}

// How many requests of the input may be GET or HEAD at most.
qsizetype readingRequests(const QByteArray& input)
{
    return input.count("GET ") + input.count("HEAD ");
}

// The first request's head (up to its empty line) breaks a limit of the server.
bool firstHeadTooLarge(const QByteArray& input, const LiveLimits& limits)
{
    qsizetype end = input.indexOf("\r\n\r\n");
    const qsizetype lfEnd = input.indexOf("\n\n");
    if (end < 0 || (lfEnd >= 0 && lfEnd < end))
        end = lfEnd;
    const QByteArray head = end < 0 ? input : input.left(end + 2);
    return head.size() > limits.maxRequestBytes || head.count('\n') > limits.maxHeaders + 2;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    akfuzz::startApplication(argc, argv);
    fixture();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fixture& f = fixture();
    const QByteArray input = akfuzz::bytesOf(data, size);
    bool timedOut = false;
    const QByteArray bytes = exchange(input, f.port, &timedOut);
    AK_FUZZ_CHECK(!timedOut);                     // every connection ends once the client has spoken
    AK_FUZZ_CHECK(serverIdle(*f.server));         // and the server lets go of it
    AK_FUZZ_CHECK(!bytes.contains(kCanary));      // no file is ever served
    AK_FUZZ_CHECK(!bytes.contains("root:x:0:0")); // /etc/passwd
    AK_FUZZ_CHECK(!bytes.contains("\x7f"
                                  "ELF")); // a program or library

    const QList<Answer> answers = splitAnswers(bytes);
    qsizetype ok = 0;
    for (const Answer& a : answers) {
        if (!a.complete)
            continue;
        AK_FUZZ_CHECK(a.status >= 200 && a.status <= 599);
        if (a.status != 200)
            continue;
        ++ok;
        // A 200 answer carries one of the fixed pages, the state, or the push channel.
        const QByteArray type = headerValue(a.head, "Content-Type");
        if (a.body.isEmpty())
            continue; // HEAD
        if (type.startsWith("text/event-stream")) {
            AK_FUZZ_CHECK(a.body.startsWith("retry: 2000\n\nevent: results\n"));
        } else if (!f.fixedBodies.contains(a.body)) {
            AK_FUZZ_CHECK(type == "application/json; charset=utf-8");
            AK_FUZZ_CHECK(QJsonDocument::fromJson(a.body).isObject());
            AK_FUZZ_CHECK(a.body.contains("\"state\""));
        }
    }
    AK_FUZZ_CHECK(ok <= readingRequests(input));
    if (firstHeadTooLarge(input, fuzzLimits())) {
        AK_FUZZ_CHECK(ok == 0);
        AK_FUZZ_CHECK(answers.isEmpty() || !answers.first().complete || answers.first().status == 431);
    }
    return 0;
}
