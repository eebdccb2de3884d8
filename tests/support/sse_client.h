#pragma once

// A push-channel client for the live server's tests: opens /api/events on a TCP socket and
// collects the events as they arrive, with the time each was received. Works in the test's
// event loop (QTRY_*).
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QObject>
#include <QTcpSocket>
#include <QVector>

class SseClient : public QObject {
public:
    struct Event {
        QByteArray name;
        QByteArray data;
        qint64 receivedNs = 0; // on `clock`
        QJsonObject json() const { return QJsonDocument::fromJson(data).object(); }
    };

    explicit SseClient(quint16 port, QObject* parent = nullptr) : QObject(parent)
    {
        clock.start();
        connect(&socket, &QTcpSocket::connected, this, [this] {
            socket.write("GET /api/events HTTP/1.1\r\nHost: 127.0.0.1\r\nAccept: text/event-stream\r\n\r\n");
        });
        connect(&socket, &QTcpSocket::readyRead, this, [this] { read(); });
        connect(&socket, &QTcpSocket::disconnected, this, [this] { closed = true; });
        socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    }

    int count(const QByteArray& name) const
    {
        int n = 0;
        for (const Event& e : events)
            n += e.name == name ? 1 : 0;
        return n;
    }
    const Event* last(const QByteArray& name) const
    {
        for (int i = events.size() - 1; i >= 0; --i)
            if (events[i].name == name)
                return &events[i];
        return nullptr;
    }

    QTcpSocket socket;
    QElapsedTimer clock;
    int status = 0;
    QByteArray head;
    QVector<Event> events;
    bool closed = false;

private:
    void read()
    {
        m_buffer += socket.readAll();
        if (status == 0) {
            const qsizetype end = m_buffer.indexOf("\r\n\r\n");
            if (end < 0)
                return;
            head = m_buffer.left(end);
            status = head.split(' ').value(1).toInt();
            m_buffer.remove(0, end + 4);
        }
        qsizetype end;
        while ((end = m_buffer.indexOf("\n\n")) >= 0) {
            const QByteArray block = m_buffer.left(end);
            m_buffer.remove(0, end + 2);
            Event e;
            for (const QByteArray& line : block.split('\n')) {
                if (line.startsWith("event: "))
                    e.name = line.mid(7);
                else if (line.startsWith("data: "))
                    e.data += line.mid(6);
            }
            if (e.name.isEmpty())
                continue;
            e.receivedNs = clock.nsecsElapsed();
            events.append(e);
        }
    }

    QByteArray m_buffer;
};
