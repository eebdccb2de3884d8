#include "live/live_urls.h"

#include <QNetworkInterface>

QList<QHostAddress> liveLanAddresses()
{
    QList<QHostAddress> out;
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& i : interfaces) {
        const auto flags = i.flags();
        if (!(flags & QNetworkInterface::IsUp) || !(flags & QNetworkInterface::IsRunning) ||
            (flags & QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry& e : i.addressEntries()) {
            const QHostAddress a = e.ip();
            if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback() && !a.isLinkLocal() &&
                !out.contains(a))
                out.append(a);
        }
    }
    return out;
}

QStringList liveUrls(quint16 port, bool localOnly)
{
    return liveUrls(port, localOnly, localOnly ? QList<QHostAddress>() : liveLanAddresses());
}

QStringList liveUrls(quint16 port, bool localOnly, const QList<QHostAddress>& lanAddresses)
{
    const QString portPart = port == 80 ? QString() : QStringLiteral(":%1").arg(port);
    QStringList urls;
    if (!localOnly)
        for (const QHostAddress& a : lanAddresses)
            urls << QStringLiteral("http://%1%2/").arg(a.toString(), portPart);
    if (urls.isEmpty())
        urls << QStringLiteral("http://127.0.0.1%1/").arg(portPart);
    return urls;
}
