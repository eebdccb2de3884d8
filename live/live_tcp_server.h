#pragma once

#include "live/live_limits.h"

#include <QSet>
#include <QTcpServer>

class LiveSocket;

// The listening socket of the live server. It makes every connection a LiveSocket, keeps count
// of them and turns a connection beyond the limit away with 503 before the HTTP server sees it.
class LiveTcpServer : public QTcpServer {
    Q_OBJECT
public:
    LiveTcpServer(const LiveLimits& limits, QObject* parent = nullptr);

    int openConnections() const { return int(m_sockets.size()); }
    // Checks the time limits of every connection.
    void sweep(qint64 nowMs);

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    void turnAway(qintptr descriptor);

    LiveLimits m_limits;
    QSet<LiveSocket*> m_sockets;
    int m_turningAway = 0;
};
