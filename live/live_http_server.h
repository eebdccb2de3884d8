#pragma once

#include "live/live_hub.h"
#include "live/live_limits.h"

#include <QAbstractHttpServer>
#include <QHash>
#include <QHostAddress>
#include <QHttpServerResponder>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

class LiveTcpServer;

// The read-only web server of the live results. It lives on the server thread and answers
// only GET and HEAD for a fixed set of paths, from the latest snapshot of the hub; nothing it
// serves comes from a file on disk. Open pages receive every change through a push channel
// (Server-Sent Events on /api/events).
class LiveHttpServer : public QAbstractHttpServer {
    Q_OBJECT
public:
    LiveHttpServer(LiveSnapshotHub& hub, const LiveLimits& limits, QObject* parent = nullptr);
    ~LiveHttpServer() override;

    // Listens at `port` (0: a free one) on every address, the first of which must succeed; the
    // others take the same port or are left out. False with a German reason.
    bool start(const QList<QHostAddress>& addresses, quint16 port, quint16* boundPort, QString* error);

    // A snapshot was published: sends what changed to every open page.
    void snapshotPublished();

    int streamCount() const { return int(m_streams.size()); }
    int connectionCount() const;

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    using Status = QHttpServerResponder::StatusCode;
    struct Stream {
        QPointer<QTcpSocket> socket;
        std::unique_ptr<QHttpServerResponder> responder;
    };
    struct Cached {
        quint64 version = 0;
        QByteArray bytes;
    };

    std::shared_ptr<const LiveSnapshot> snapshot() const;
    void answer(QHttpServerResponder& responder, Status status, const QByteArray& contentType,
                const QByteArray& body, bool head, const QByteArray& cacheControl = "no-store",
                const QList<QPair<QByteArray, QByteArray>>& extra = {});
    void answerError(QHttpServerResponder& responder, Status status, const QString& text, bool head,
                     const QList<QPair<QByteArray, QByteArray>>& extra = {});
    void openStream(QHttpServerResponder&& responder, QTcpSocket* socket, bool head);
    void pushToStreams(const QByteArray& bytes);
    void heartbeat();
    void sweep();
    const QByteArray& cached(const QString& key, quint64 version, const std::function<QByteArray()>& render);

    LiveSnapshotHub& m_hub;
    LiveLimits m_limits;
    QList<LiveTcpServer*> m_listeners;
    std::vector<Stream> m_streams;
    quint64 m_pushedTable = 0;
    quint64 m_pushedState = 0;
    QHash<QString, Cached> m_cache;
    QTimer m_sweepTimer;
    QTimer m_heartbeatTimer;
};
