#include "live/live_tcp_server.h"

#include "live/live_socket.h"

#include <QTimer>

namespace {
// Connections being turned away at one time; beyond, they are closed without an answer.
constexpr int kMaxTurningAway = 64;
} // namespace

LiveTcpServer::LiveTcpServer(const LiveLimits& limits, QObject* parent) : QTcpServer(parent), m_limits(limits)
{
    // Pages that connect at the same moment (all phones after a reconnect) wait in the
    // system's queue instead of being dropped and retried seconds later.
    setListenBacklogSize(m_limits.maxConnections);
}

void LiveTcpServer::incomingConnection(qintptr descriptor)
{
    if (m_sockets.size() >= m_limits.maxConnections) {
        turnAway(descriptor);
        return;
    }
    auto* socket = new LiveSocket(m_limits, this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    m_sockets.insert(socket);
    connect(socket, &QObject::destroyed, this, [this, socket] { m_sockets.remove(socket); });
    // The limits are checked before the HTTP server's parser reads, and the count of what it
    // read is taken after it: the server connects its slot while the connection is added.
    connect(socket, &QIODevice::readyRead, socket, &LiveSocket::beforeParse);
    addPendingConnection(socket);
    // The HTTP server takes the connection (and connects its slot) while it is added.
    if (hasPendingConnections())
        qWarning("live: the HTTP server did not take a new connection at once");
    connect(socket, &QIODevice::readyRead, socket, &LiveSocket::afterParse);
}

void LiveTcpServer::turnAway(qintptr descriptor)
{
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    if (m_turningAway >= kMaxTurningAway) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    ++m_turningAway;
    connect(socket, &QObject::destroyed, this, [this] { --m_turningAway; });
    socket->write(LiveSocket::closingAnswer(
        503, "Service Unavailable",
        QStringLiteral("Zu viele Verbindungen. Die Seite versucht es gleich von selbst noch einmal.")));
    // Close once the client has sent its request and gone quiet, so that the close does not
    // reset the connection under the answer; at the latest after two seconds.
    auto* quiet = new QTimer(socket);
    quiet->setSingleShot(true);
    connect(quiet, &QTimer::timeout, socket, [socket] { socket->disconnectFromHost(); });
    connect(socket, &QIODevice::readyRead, socket, [socket, quiet] {
        socket->readAll();
        quiet->start(100);
    });
    quiet->start(500);
    QTimer::singleShot(2000, socket, [socket] {
        socket->abort();
        socket->deleteLater();
    });
    connect(socket, &QAbstractSocket::disconnected, socket, &QObject::deleteLater);
}

void LiveTcpServer::sweep(qint64 nowMs)
{
    const QSet<LiveSocket*> sockets = m_sockets;
    for (LiveSocket* s : sockets)
        s->sweep(nowMs);
}
