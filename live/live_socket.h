#pragma once

#include "live/live_limits.h"

#include <QTcpSocket>

// One connection of the live server. Qt's HTTP server reads requests without limits, so the
// connection keeps them: it counts the bytes and line breaks a client sends between two answers
// before the server's parser reads them, and the server's sweep closes a connection whose
// request takes too long or that has stayed idle. The first slot connected to readyRead is
// beforeParse(), the last afterParse(); the HTTP server's own slot runs between them.
class LiveSocket : public QTcpSocket {
    Q_OBJECT
public:
    LiveSocket(const LiveLimits& limits, QObject* parent = nullptr);

    void beforeParse();
    void afterParse();

    // An answer begins: the counters start again for the next request.
    void answered();
    // The connection now carries the push channel: it must not send anything more, and the
    // request time limits no longer apply to it.
    void setStreaming() { m_streaming = true; }
    bool streaming() const { return m_streaming; }
    // A limit was broken: the connection has been answered with an error and is closing, and
    // whatever Qt's parser still makes of its bytes is not answered.
    bool refused() const { return m_refused; }
    // The answer just written is the last one: nothing more is answered on this connection.
    void lastAnswer();

    // Checks the time limits at `nowMs` (liveSteadyMs()).
    void sweep(qint64 nowMs);

    // A complete answer that closes the connection, for a status the server gives before or
    // instead of a parsed request (431, 408, 503).
    static QByteArray closingAnswer(int status, const QByteArray& reason, const QString& text);

private:
    void refuse(int status, const QByteArray& reason, const QString& text);

    LiveLimits m_limits;
    qint64 m_scanned = 0;     // unread bytes at the front of the buffer that were already counted
    qint64 m_availBefore = 0; // unread bytes when the parser began
    qint64 m_bytes = 0;       // sent since the last answer
    int m_lines = 0;
    qint64 m_requestSince = -1; // first byte of the pending request (-1: none pending)
    qint64 m_lastAnswer = 0;
    qint64 m_refusedAt = 0;
    bool m_streaming = false;
    bool m_refused = false;
};
