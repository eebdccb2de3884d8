#include "live/live_socket.h"

#include "live/live_snapshot.h"

LiveSocket::LiveSocket(const LiveLimits& limits, QObject* parent)
    : QTcpSocket(parent), m_limits(limits), m_lastAnswer(liveSteadyMs())
{
    // The parser keeps a pending request's bytes in the socket's buffer; bounding the buffer
    // bounds the memory of one connection.
    setReadBufferSize(qint64(m_limits.maxRequestBytes) * 2);
}

QByteArray LiveSocket::closingAnswer(int status, const QByteArray& reason, const QString& text)
{
    const QByteArray body = text.toUtf8() + '\n';
    QByteArray a = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\n";
    a += "Content-Type: text/plain; charset=utf-8\r\n";
    a += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    a += "Content-Security-Policy: default-src 'self'\r\n";
    a += "X-Content-Type-Options: nosniff\r\n";
    a += "Cache-Control: no-store\r\n";
    if (status == 503)
        a += "Retry-After: 10\r\n";
    a += "Connection: close\r\n\r\n";
    return a + body;
}

void LiveSocket::beforeParse()
{
    const qint64 avail = bytesAvailable();
    m_availBefore = avail;
    if (m_refused)
        return;
    if (m_streaming) {
        // A push client has nothing more to say; anything it sends would end up in the stream.
        // Its bytes are taken from the parser, and the connection ends once this event is over.
        readAll();
        m_availBefore = 0;
        QMetaObject::invokeMethod(this, &QAbstractSocket::abort, Qt::QueuedConnection);
        return;
    }
    if (avail > m_scanned) {
        const QByteArray fresh = peek(avail).mid(m_scanned);
        if (m_requestSince < 0)
            m_requestSince = liveSteadyMs();
        m_bytes += fresh.size();
        m_lines += int(fresh.count('\n'));
        m_scanned = avail;
    }
    // A request is its request line, the header lines and the empty line that ends them.
    if (m_bytes > m_limits.maxRequestBytes || m_lines > m_limits.maxHeaders + 2)
        refuse(431, "Request Header Fields Too Large", QStringLiteral("Die Anfrage ist zu groß."));
}

void LiveSocket::afterParse()
{
    const qint64 consumed = m_availBefore - bytesAvailable();
    m_scanned = qMax<qint64>(0, m_scanned - qMax<qint64>(0, consumed));
}

void LiveSocket::answered()
{
    m_bytes = 0;
    m_lines = 0;
    m_lastAnswer = liveSteadyMs();
    // Bytes of a next request may already be waiting.
    m_requestSince = bytesAvailable() > 0 ? m_lastAnswer : -1;
}

void LiveSocket::lastAnswer()
{
    m_refused = true;
    m_refusedAt = liveSteadyMs();
}

void LiveSocket::refuse(int status, const QByteArray& reason, const QString& text)
{
    m_refused = true;
    m_refusedAt = liveSteadyMs();
    write(closingAnswer(status, reason, text));
    disconnectFromHost();
}

void LiveSocket::sweep(qint64 nowMs)
{
    if (state() != QAbstractSocket::ConnectedState)
        return;
    if (m_refused) {
        // The client does not take the answer: give up on it.
        if (nowMs - m_refusedAt > 2000)
            abort();
        return;
    }
    if (m_streaming) {
        if (bytesToWrite() > m_limits.maxStreamBacklogBytes)
            abort();
        return;
    }
    if (m_requestSince >= 0) {
        if (nowMs - m_requestSince > m_limits.requestTimeoutMs)
            refuse(408, "Request Timeout", QStringLiteral("Die Anfrage kam nicht rechtzeitig an."));
        return;
    }
    if (nowMs - m_lastAnswer > m_limits.idleTimeoutMs)
        disconnectFromHost();
}
