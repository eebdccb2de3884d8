#pragma once

#include "live/live_hub.h"
#include "live/live_limits.h"

#include <QObject>
#include <QString>

#include <memory>

class LiveHttpServer;
class QThread;

struct LiveConfig {
    quint16 port = 8080;    // 0: any free port (tests)
    bool localOnly = false; // listen on the loopback addresses only
    bool operator==(const LiveConfig& o) const { return port == o.port && localOnly == o.localOnly; }
    bool operator!=(const LiveConfig& o) const { return !(*this == o); }
};

// Runs the live web server on a thread of its own. Used from the GUI thread: start and stop
// wait for the server thread (they are not called while a run is timed); publish never waits.
class LiveService : public QObject {
    Q_OBJECT
public:
    explicit LiveService(const LiveLimits& limits = LiveLimits(), QObject* parent = nullptr);
    ~LiveService() override;

    // Starts the server, or restarts it with the new configuration. False with a German reason.
    bool start(const LiveConfig& config, QString* error = nullptr);
    void stop();
    bool running() const { return m_server != nullptr; }
    LiveConfig config() const { return m_config; }
    // The port listened on (the chosen one for port 0); 0 while stopped.
    quint16 port() const { return m_port; }

    // Makes the snapshot the current one and wakes the server to push it.
    void publish(std::shared_ptr<const LiveSnapshot> snapshot);
    std::shared_ptr<const LiveSnapshot> current() const { return m_hub.current(); }

    // Open push channels and connections, asked on the server thread (tests, benchmark).
    int streamCount() const;
    int connectionCount() const;

private:
    LiveLimits m_limits;
    LiveConfig m_config;
    quint16 m_port = 0;
    LiveSnapshotHub m_hub;
    std::unique_ptr<QThread> m_thread;
    QObject* m_anchor = nullptr;        // lives on the server thread; calls are queued to it
    LiveHttpServer* m_server = nullptr; // created, used and deleted on the server thread
};
