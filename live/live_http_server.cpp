#include "live/live_http_server.h"

#include "live/live_json.h"
#include "live/live_pages.h"
#include "live/live_socket.h"
#include "live/live_tcp_server.h"

#include <QHttpServerRequest>

#include <algorithm>

namespace {

QByteArray sseEvent(const char* name, const QByteArray& data)
{
    return QByteArray("event: ") + name + "\ndata: " + data + "\n\n";
}

QByteArray pingData(quint32 tick)
{
    return "{\"serverTick\":" + QByteArray::number(tick) + '}';
}

QString listenError(const QTcpServer& server, quint16 port)
{
    switch (server.serverError()) {
    case QAbstractSocket::AddressInUseError:
        return QStringLiteral("Port %1 ist schon belegt").arg(port);
    case QAbstractSocket::SocketAccessError:
        return QStringLiteral("Port %1 darf nur der Administrator öffnen").arg(port);
    case QAbstractSocket::SocketAddressNotAvailableError:
        return QStringLiteral("Die Adresse gibt es auf diesem PC nicht");
    default:
        return server.errorString();
    }
}

} // namespace

LiveHttpServer::LiveHttpServer(LiveSnapshotHub& hub, const LiveLimits& limits, QObject* parent)
    : QAbstractHttpServer(parent), m_hub(hub), m_limits(limits)
{
    m_sweepTimer.setInterval(m_limits.sweepIntervalMs);
    connect(&m_sweepTimer, &QTimer::timeout, this, &LiveHttpServer::sweep);
    m_heartbeatTimer.setInterval(m_limits.heartbeatMs);
    connect(&m_heartbeatTimer, &QTimer::timeout, this, &LiveHttpServer::heartbeat);
}

LiveHttpServer::~LiveHttpServer()
{
    // Close the push channels while their sockets still exist.
    for (Stream& s : m_streams)
        if (s.socket)
            s.socket->abort();
    m_streams.clear();
}

bool LiveHttpServer::start(const QList<QHostAddress>& addresses, quint16 port, quint16* boundPort,
                           QString* error)
{
    quint16 bound = port;
    for (int i = 0; i < addresses.size(); ++i) {
        auto* listener = new LiveTcpServer(m_limits, this);
        if (!listener->listen(addresses[i], bound)) {
            if (i == 0) {
                if (error)
                    *error = listenError(*listener, port);
                delete listener;
                return false;
            }
            delete listener;
            continue;
        }
        bound = listener->serverPort();
        bind(listener);
        m_listeners.append(listener);
    }
    if (boundPort)
        *boundPort = bound;
    m_sweepTimer.start();
    m_heartbeatTimer.start();
    return true;
}

int LiveHttpServer::connectionCount() const
{
    int n = 0;
    for (const LiveTcpServer* l : m_listeners)
        n += l->openConnections();
    return n;
}

std::shared_ptr<const LiveSnapshot> LiveHttpServer::snapshot() const
{
    std::shared_ptr<const LiveSnapshot> s = m_hub.current();
    return s ? s : std::make_shared<const LiveSnapshot>();
}

const QByteArray& LiveHttpServer::cached(const QString& key, quint64 version,
                                         const std::function<QByteArray()>& render)
{
    Cached& c = m_cache[key];
    if (c.version != version || c.bytes.isEmpty()) {
        c.bytes = render();
        c.version = version;
    }
    return c.bytes;
}

void LiveHttpServer::answer(QHttpServerResponder& responder, Status status, const QByteArray& contentType,
                            const QByteArray& body, bool head, const QByteArray& cacheControl,
                            const QList<QPair<QByteArray, QByteArray>>& extra)
{
    responder.writeStatusLine(status);
    responder.writeHeader("Content-Type", contentType);
    responder.writeHeader("Content-Length", QByteArray::number(body.size()));
    responder.writeHeader("Content-Security-Policy", "default-src 'self'");
    responder.writeHeader("X-Content-Type-Options", "nosniff");
    responder.writeHeader("Referrer-Policy", "no-referrer");
    responder.writeHeader("Cache-Control", cacheControl);
    for (const auto& h : extra)
        responder.writeHeader(h.first, h.second);
    responder.writeBody(head ? QByteArray() : body);
}

void LiveHttpServer::answerError(QHttpServerResponder& responder, Status status, const QString& text,
                                 bool head, const QList<QPair<QByteArray, QByteArray>>& extra)
{
    answer(responder, status, "text/plain; charset=utf-8", text.toUtf8() + '\n', head, "no-store", extra);
}

bool LiveHttpServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket)
{
    auto* guard = qobject_cast<LiveSocket*>(socket);
    if (guard) {
        if (guard->refused())
            return true;
        guard->answered();
    }
    QHttpServerResponder responder = makeResponder(request, socket);
    const auto method = request.method();
    const bool head = method == QHttpServerRequest::Method::Head;

    if (!request.value("upgrade").isEmpty()) {
        // No other protocol is spoken here. Qt's server also calls missingHandler for such a
        // request; the connection answers nothing more.
        answerError(responder, Status::NotFound, QStringLiteral("Diese Seite gibt es nicht."), head,
                    {{"Connection", "close"}});
        if (guard)
            guard->lastAnswer();
        socket->disconnectFromHost();
        return true;
    }
    if (request.headers().size() > m_limits.maxHeaders) {
        answerError(responder, Status::RequestHeaderFieldsTooLarge,
                    QStringLiteral("Die Anfrage ist zu groß."), head, {{"Connection", "close"}});
        socket->disconnectFromHost();
        return true;
    }
    if (method != QHttpServerRequest::Method::Get && !head) {
        answerError(responder, Status::MethodNotAllowed,
                    QStringLiteral("Hier lässt sich nur lesen (GET und HEAD)."), false,
                    {{"Allow", "GET, HEAD"}});
        return true;
    }

    // Only these fixed paths exist; a path is never looked up on the disk.
    const QString path = request.url().path();
    const std::shared_ptr<const LiveSnapshot> snap = snapshot();
    const QByteArray html = "text/html; charset=utf-8";
    const QByteArray json = "application/json; charset=utf-8";
    QByteArray body;
    QByteArray type;
    if (path == QLatin1String("/")) {
        answer(responder, Status::Ok, html,
               cached(path, snap->tableVersion, [&] { return liveResultsPage(*snap); }), head);
    } else if (path == QLatin1String("/top10")) {
        answer(responder, Status::Ok, html,
               cached(path, snap->tableVersion, [&] { return liveTopTenPage(*snap); }), head);
    } else if (path == QLatin1String("/uhr")) {
        answer(responder, Status::Ok, html, cached(path, snap->version, [&] { return liveClockPage(*snap); }),
               head);
    } else if (path == QLatin1String("/api/results.json")) {
        answer(responder, Status::Ok, json,
               cached(path, snap->tableVersion, [&] { return liveResultsJson(*snap); }), head);
    } else if (path == QLatin1String("/api/state.json")) {
        answer(responder, Status::Ok, json, liveStateJson(*snap, liveTickAt(*snap, liveSteadyMs())), head);
    } else if (path == QLatin1String("/api/events")) {
        openStream(std::move(responder), socket, head);
        return true;
    } else if (liveAsset(path, &body, &type)) {
        answer(responder, Status::Ok, type, body, head, "no-cache");
    } else {
        answerError(responder, Status::NotFound, QStringLiteral("Diese Seite gibt es nicht."), head);
    }
    if (request.value("connection").toLower().contains("close"))
        socket->disconnectFromHost();
    return true;
}

void LiveHttpServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket)
{
    // Reached for what handleRequest never sees (an attempt to switch the protocol).
    auto* guard = qobject_cast<LiveSocket*>(socket);
    if (guard && guard->refused())
        return;
    if (guard)
        guard->answered();
    QHttpServerResponder responder = makeResponder(request, socket);
    answerError(responder, Status::NotFound, QStringLiteral("Diese Seite gibt es nicht."), false,
                {{"Connection", "close"}});
    socket->disconnectFromHost();
}

void LiveHttpServer::openStream(QHttpServerResponder&& responder, QTcpSocket* socket, bool head)
{
    if (int(m_streams.size()) >= m_limits.maxStreams) {
        answerError(
            responder, Status::ServiceUnavailable,
            QStringLiteral("Zu viele Zuschauer. Die Seite versucht es gleich von selbst noch einmal."), head,
            {{"Retry-After", "10"}});
        return;
    }
    // No length: the stream ends when the connection does.
    responder.writeStatusLine(Status::Ok);
    responder.writeHeader("Content-Type", "text/event-stream; charset=utf-8");
    responder.writeHeader("Cache-Control", "no-store");
    responder.writeHeader("Content-Security-Policy", "default-src 'self'");
    responder.writeHeader("X-Content-Type-Options", "nosniff");
    responder.writeHeader("Connection", "close");
    if (head) {
        responder.writeBody(QByteArray());
        socket->disconnectFromHost();
        return;
    }
    const std::shared_ptr<const LiveSnapshot> snap = snapshot();
    QByteArray first = "retry: 2000\n\n";
    first += sseEvent("results", cached(QStringLiteral("/api/results.json"), snap->tableVersion,
                                        [&] { return liveResultsJson(*snap); }));
    first += sseEvent("state", liveStateJson(*snap, liveTickAt(*snap, liveSteadyMs())));
    responder.writeBody(first);
    if (auto* guard = qobject_cast<LiveSocket*>(socket))
        guard->setStreaming();
    m_streams.push_back(
        {QPointer<QTcpSocket>(socket), std::make_unique<QHttpServerResponder>(std::move(responder))});
}

void LiveHttpServer::snapshotPublished()
{
    // Cleared before reading, so a snapshot published meanwhile wakes the server again.
    m_hub.clearPending();
    const std::shared_ptr<const LiveSnapshot> snap = m_hub.current();
    if (!snap)
        return;
    QByteArray out;
    if (snap->tableVersion != m_pushedTable) {
        out += sseEvent("results", cached(QStringLiteral("/api/results.json"), snap->tableVersion,
                                          [&] { return liveResultsJson(*snap); }));
        m_pushedTable = snap->tableVersion;
    }
    if (snap->stateVersion != m_pushedState) {
        out += sseEvent("state", liveStateJson(*snap, liveTickAt(*snap, liveSteadyMs())));
        m_pushedState = snap->stateVersion;
    }
    if (!out.isEmpty())
        pushToStreams(out);
}

void LiveHttpServer::pushToStreams(const QByteArray& bytes)
{
    for (auto it = m_streams.begin(); it != m_streams.end();) {
        QTcpSocket* s = it->socket;
        if (!s || s->state() != QAbstractSocket::ConnectedState) {
            it = m_streams.erase(it);
            continue;
        }
        if (s->bytesToWrite() > m_limits.maxStreamBacklogBytes) {
            // The page does not read: drop it; it reconnects and starts afresh.
            s->abort();
            it = m_streams.erase(it);
            continue;
        }
        it->responder->writeBody(bytes);
        ++it;
    }
}

void LiveHttpServer::heartbeat()
{
    const std::shared_ptr<const LiveSnapshot> snap = snapshot();
    pushToStreams(sseEvent("ping", pingData(liveTickAt(*snap, liveSteadyMs()))));
}

void LiveHttpServer::sweep()
{
    const qint64 now = liveSteadyMs();
    for (LiveTcpServer* l : m_listeners)
        l->sweep(now);
    m_streams.erase(std::remove_if(m_streams.begin(), m_streams.end(),
                                   [](const Stream& s) {
                                       return !s.socket ||
                                              s.socket->state() != QAbstractSocket::ConnectedState;
                                   }),
                    m_streams.end());
}
