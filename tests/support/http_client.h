#pragma once

// A plain HTTP client on a TCP socket for the live server's tests: it sends the request bytes
// exactly as given (so paths like /../etc/passwd reach the server unchanged) and reads one
// answer. Blocking; the server runs on a thread of its own.
#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QPair>
#include <QTcpSocket>

struct HttpAnswer {
    int status = 0; // 0: no answer
    QByteArray statusLine;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    bool closedByServer = false;

    QByteArray header(const QByteArray& name) const
    {
        for (const auto& h : headers)
            if (h.first.compare(name, Qt::CaseInsensitive) == 0)
                return h.second;
        return QByteArray();
    }
    bool hasHeader(const QByteArray& name) const
    {
        for (const auto& h : headers)
            if (h.first.compare(name, Qt::CaseInsensitive) == 0)
                return true;
        return false;
    }
};

// Reads one answer from a connected socket. bodyExpected false: the answer to a HEAD request.
inline HttpAnswer readHttpAnswer(QTcpSocket& s, bool bodyExpected = true, int timeoutMs = 5000)
{
    HttpAnswer a;
    QByteArray buf;
    QElapsedTimer t;
    t.start();
    qsizetype headEnd = -1;
    while ((headEnd = buf.indexOf("\r\n\r\n")) < 0) {
        if (t.elapsed() > timeoutMs)
            return a;
        if (!s.bytesAvailable() && !s.waitForReadyRead(50)) {
            if (s.state() != QAbstractSocket::ConnectedState) {
                buf += s.readAll();
                if (buf.indexOf("\r\n\r\n") < 0) {
                    a.closedByServer = true;
                    return a;
                }
                continue;
            }
            continue;
        }
        buf += s.readAll();
    }
    const QList<QByteArray> lines = buf.left(headEnd).split('\n');
    a.statusLine = lines.value(0).trimmed();
    a.status = a.statusLine.split(' ').value(1).toInt();
    for (int i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            a.headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
    a.body = buf.mid(headEnd + 4);
    if (!bodyExpected)
        return a;
    const QByteArray length = a.header("Content-Length");
    const qint64 want = length.isEmpty() ? -1 : length.toLongLong();
    while ((want < 0 || a.body.size() < want) && t.elapsed() < timeoutMs) {
        if (s.bytesAvailable() || s.waitForReadyRead(50)) {
            a.body += s.readAll();
        } else if (s.state() != QAbstractSocket::ConnectedState) {
            a.body += s.readAll();
            a.closedByServer = true;
            break;
        }
    }
    return a;
}

// Connects to 127.0.0.1:port, sends the request and reads the answer.
inline HttpAnswer httpRequest(quint16 port, const QByteArray& request, int timeoutMs = 5000)
{
    QTcpSocket s;
    s.connectToHost(QStringLiteral("127.0.0.1"), port);
    if (!s.waitForConnected(timeoutMs))
        return HttpAnswer();
    s.write(request);
    s.waitForBytesWritten(timeoutMs);
    const bool head = request.startsWith("HEAD ");
    HttpAnswer a = readHttpAnswer(s, !head, timeoutMs);
    // An answer that announces the close is followed by it.
    if (a.header("Connection").compare("close", Qt::CaseInsensitive) == 0 &&
        s.state() == QAbstractSocket::ConnectedState)
        s.waitForDisconnected(timeoutMs);
    if (!a.closedByServer && s.state() != QAbstractSocket::ConnectedState)
        a.closedByServer = true;
    return a;
}

inline HttpAnswer httpGet(quint16 port, const QByteArray& target, const QByteArray& method = "GET")
{
    return httpRequest(port, method + ' ' + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
}
