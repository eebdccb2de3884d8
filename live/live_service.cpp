#include "live/live_service.h"

#include "live/live_http_server.h"
#include "platform/queued_call.h"
#include "platform/thread_priority.h"

#include <QHostAddress>
#include <QThread>

LiveService::LiveService(const LiveLimits& limits, QObject* parent) : QObject(parent), m_limits(limits) {}

LiveService::~LiveService()
{
    stop();
}

bool LiveService::start(const LiveConfig& config, QString* error)
{
    stop();
    m_config = config;
    m_thread = std::make_unique<QThread>();
    m_thread->setObjectName(QStringLiteral("LiveServer"));
    m_anchor = new QObject;
    m_anchor->moveToThread(m_thread.get());
    m_thread->start();

    const QList<QHostAddress> addresses = config.localOnly
                                              ? QList<QHostAddress>{QHostAddress(QHostAddress::LocalHost),
                                                                    QHostAddress(QHostAddress::LocalHostIPv6)}
                                              : QList<QHostAddress>{QHostAddress(QHostAddress::Any)};
    LiveHttpServer* server = nullptr;
    quint16 bound = 0;
    QString reason;
    // The server and its sockets belong to the server thread from their creation on.
    QMetaObject::invokeMethod(m_anchor, queuedCall([&] {
                                  // Serving pages never takes the processor from timing.
                                  lowerCurrentThreadPriority();
                                  auto* s = new LiveHttpServer(m_hub, m_limits);
                                  if (s->start(addresses, config.port, &bound, &reason))
                                      server = s;
                                  else
                                      delete s;
                              }),
                              Qt::BlockingQueuedConnection);
    if (!server) {
        if (error)
            *error = reason;
        stop();
        return false;
    }
    m_server = server;
    m_port = bound;
    // Push what is current to whoever connects first.
    if (m_hub.current())
        publish(m_hub.current());
    return true;
}

void LiveService::stop()
{
    if (!m_thread)
        return;
    LiveHttpServer* server = m_server;
    m_server = nullptr;
    m_port = 0;
    QObject* anchor = m_anchor;
    m_anchor = nullptr;
    QMetaObject::invokeMethod(anchor, queuedCall([server, anchor] {
                                  delete server;
                                  // Deleted by the thread's end, not inside its own call.
                                  anchor->deleteLater();
                              }),
                              Qt::BlockingQueuedConnection);
    m_thread->quit();
    m_thread->wait();
    m_thread.reset();
    m_hub.clearPending();
}

void LiveService::publish(std::shared_ptr<const LiveSnapshot> snapshot)
{
    m_hub.publish(std::move(snapshot));
    if (m_server && m_hub.markPending())
        QMetaObject::invokeMethod(m_server, queuedCall([server = m_server] { server->snapshotPublished(); }),
                                  Qt::QueuedConnection);
}

int LiveService::streamCount() const
{
    int n = 0;
    if (m_server)
        QMetaObject::invokeMethod(m_server, queuedCall([this, &n] { n = m_server->streamCount(); }),
                                  Qt::BlockingQueuedConnection);
    return n;
}

int LiveService::connectionCount() const
{
    int n = 0;
    if (m_server)
        QMetaObject::invokeMethod(m_server, queuedCall([this, &n] { n = m_server->connectionCount(); }),
                                  Qt::BlockingQueuedConnection);
    return n;
}
