#include "http/localaddress.h"

#include <QHostInfo>
#include <QNetworkAddressEntry>
#include <QNetworkInterface>

namespace {

bool isUsableIpv4(const QHostAddress &address)
{
    return address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback() &&
           !address.isNull();
}

} // namespace

QString LocalAddress::current()
{
    // Many Linux hosts resolve their own name to 127.0.1.1 only: the interfaces are asked then.
    const QList<QHostAddress> lookedUp =
        QHostInfo::fromName(QHostInfo::localHostName()).addresses();
    for (const QHostAddress &address : lookedUp) {
        if (isUsableIpv4(address))
            return address.toString();
    }
    return choose(lookedUp, interfaceAddresses());
}

QString LocalAddress::choose(const QList<QHostAddress> &lookedUp,
                             const QList<QHostAddress> &interfaceAddresses)
{
    for (const QHostAddress &address : lookedUp) {
        if (isUsableIpv4(address))
            return address.toString();
    }
    for (const QHostAddress &address : interfaceAddresses) {
        if (isUsableIpv4(address))
            return address.toString();
    }
    return QStringLiteral("127.0.0.1");
}

QList<QHostAddress> LocalAddress::interfaceAddresses()
{
    QList<QHostAddress> addresses;
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &networkInterface : interfaces) {
        const QNetworkInterface::InterfaceFlags flags = networkInterface.flags();
        if (!(flags & QNetworkInterface::IsUp) || !(flags & QNetworkInterface::IsRunning) ||
            (flags & QNetworkInterface::IsLoopBack))
            continue;
        const QList<QNetworkAddressEntry> entries = networkInterface.addressEntries();
        for (const QNetworkAddressEntry &entry : entries)
            addresses.append(entry.ip());
    }
    return addresses;
}
