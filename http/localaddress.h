#pragma once

#include <QHostAddress>
#include <QList>
#include <QString>

// Finds the IPv4 address under which phones on the network reach this host.
class LocalAddress
{
public:
    // The first IPv4 address of the host-name look-up that is not a loopback address; else the
    // first IPv4 address of an interface that is up, running and not loopback; else 127.0.0.1.
    // Looks afresh on every call (it blocks for the look-up), so an address change shows at once.
    static QString current();

    // The choice itself, over the look-up's addresses and the interfaces' addresses in order.
    static QString choose(const QList<QHostAddress> &lookedUp,
                          const QList<QHostAddress> &interfaceAddresses);

    // Addresses of the interfaces that are up, running and not loopback, interface by interface.
    static QList<QHostAddress> interfaceAddresses();
};
