#pragma once

#include <QHostAddress>
#include <QList>
#include <QStringList>

// The addresses under which other devices of the local network reach this PC: IPv4 addresses
// of the interfaces that are up, without loopback and link-local ones.
QList<QHostAddress> liveLanAddresses();

// The live pages' address for each LAN address ("http://192.168.1.20:8080/"); with
// localOnly, or without any LAN address, the loopback one.
QStringList liveUrls(quint16 port, bool localOnly);
QStringList liveUrls(quint16 port, bool localOnly, const QList<QHostAddress>& lanAddresses);
