#include "http/httplistener.h"

#include "http/httpconnection.h"

#include <QDebug>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <memory>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The socket address for a Qt address; false for a null address.
bool toSocketAddress(const QHostAddress &address, quint16 port, sockaddr_storage *storage,
                     socklen_t *length)
{
    std::memset(storage, 0, sizeof *storage);
    if (address == QHostAddress(QHostAddress::Any) ||
        address.protocol() == QAbstractSocket::IPv6Protocol) {
        auto *in6 = reinterpret_cast<sockaddr_in6 *>(storage);
        in6->sin6_family = AF_INET6;
        in6->sin6_port = htons(port);
        if (address != QHostAddress(QHostAddress::Any)) {
            const Q_IPV6ADDR bytes = address.toIPv6Address();
            std::memcpy(&in6->sin6_addr, bytes.c, sizeof bytes.c);
            in6->sin6_scope_id = address.scopeId().toUInt();
        }
        *length = sizeof *in6;
        return true;
    }
    if (address.protocol() != QAbstractSocket::IPv4Protocol)
        return false;
    auto *in4 = reinterpret_cast<sockaddr_in *>(storage);
    in4->sin_family = AF_INET;
    in4->sin_port = htons(port);
    in4->sin_addr.s_addr = htonl(address.toIPv4Address());
    *length = sizeof *in4;
    return true;
}

} // namespace

HttpListener::HttpListener(const QString &rootPath, QObject *parent)
    : QObject(parent), m_cache(rootPath), m_poller(this), m_sweepTimer(new QTimer(this))
{
    // sendfile() cannot be told not to raise SIGPIPE: a client gone must be an error code only.
    static const bool pipeSignalIgnored = std::signal(SIGPIPE, SIG_IGN) != SIG_ERR;
    Q_UNUSED(pipeSignalIgnored)
    m_clock.start();
    updateSweepInterval();
    connect(m_sweepTimer, &QTimer::timeout, this, &HttpListener::sweep);
}

HttpListener::~HttpListener()
{
    close();
    closeConnections();
}

bool HttpListener::listenOn(const QHostAddress &address, int port)
{
    close();
    m_listenError.clear();
    if (port < 0 || port > 65535) {
        m_listenError = QStringLiteral("The port %1 is out of range").arg(port);
        return false;
    }
    sockaddr_storage storage;
    socklen_t length = 0;
    if (!toSocketAddress(address, quint16(port), &storage, &length)) {
        m_listenError = QStringLiteral("No address to listen on");
        return false;
    }
    const int fd = ::socket(storage.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        m_listenError = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    const int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    if (storage.ss_family == AF_INET6 && address == QHostAddress(QHostAddress::Any)) {
        const int no = 0; // both protocols on one socket
        ::setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &no, sizeof no);
    }
    // The kernel hands a connection over once its first bytes are in, as phones send the request
    // with the connect: most are then answered in the accepting round, without a failed read, a
    // registration and another wake-up each. A silent client is handed over after the wait.
    const int deferSeconds = DeferAcceptSeconds;
    ::setsockopt(fd, IPPROTO_TCP, TCP_DEFER_ACCEPT, &deferSeconds, sizeof deferSeconds);
    // Inherited by every accepted connection.
    const int lowWater = UnsentLowWater;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NOTSENT_LOWAT, &lowWater, sizeof lowWater);
    if (::bind(fd, reinterpret_cast<sockaddr *>(&storage), length) != 0 ||
        ::listen(fd, ListenBacklog) != 0) {
        m_listenError = QString::fromLocal8Bit(std::strerror(errno));
        ::close(fd);
        return false;
    }
    sockaddr_storage bound;
    socklen_t boundLength = sizeof bound;
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&bound), &boundLength);
    m_port = ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6 *>(&bound)->sin6_port
                                               : reinterpret_cast<sockaddr_in *>(&bound)->sin_port);
    m_socket = fd;
    m_acceptNotifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_acceptNotifier, &QSocketNotifier::activated, this, &HttpListener::acceptPending);
    return true;
}

void HttpListener::close()
{
    if (m_socket < 0)
        return;
    m_acceptNotifier->setEnabled(false);
    m_acceptNotifier->deleteLater();
    m_acceptNotifier = nullptr;
    ::close(m_socket);
    m_socket = -1;
    m_port = 0;
}

void HttpListener::setRequestTimeoutMs(int ms)
{
    m_requestTimeoutMs = ms;
    updateSweepInterval();
}

void HttpListener::setWriteStallTimeoutMs(int ms)
{
    m_writeStallTimeoutMs = ms;
    updateSweepInterval();
}

void HttpListener::updateSweepInterval()
{
    m_sweepTimer->setInterval(
        qBound(20, qMin(m_requestTimeoutMs, m_writeStallTimeoutMs) / 4, 1000));
}

void HttpListener::acceptPending()
{
    for (int accepted = 0; accepted < AcceptsPerRound && m_socket >= 0; ++accepted) {
        const int descriptor = ::accept4(m_socket, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (descriptor < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
                // Out of descriptors: the pending connect would wake the loop at once again.
                QSocketNotifier *notifier = m_acceptNotifier;
                notifier->setEnabled(false);
                QTimer::singleShot(100, notifier, [notifier] { notifier->setEnabled(true); });
            }
            return;
        }

        // The place of the connection idle longest goes to the newcomer.
        if (int(m_connections.size()) >= m_maxConnections)
            m_connections.front()->closeNow();

        qDebug("newConnection"); // without a QDebug stream, which costs more than the accept
        auto connection =
            std::make_unique<HttpConnection>(descriptor, &m_cache, &m_poller, m_clock.elapsed());
        connection->start();
        // Answered (or refused) at once, as most requests are: nothing to wait for.
        if (connection->isFinished())
            continue;

        HttpConnection *waiting = connection.release();
        waiting->setParent(this);
        waiting->place = m_connections.insert(m_connections.end(), waiting);
        waiting->setProgressCallback([this, waiting] { touch(waiting); });
        connect(waiting, &HttpConnection::finished, this,
                [this, waiting] { onConnectionFinished(waiting); });
        if (!m_sweepTimer->isActive())
            m_sweepTimer->start();
        emit connectionCountChanged(connectionCount());
    }
}

void HttpListener::touch(HttpConnection *connection)
{
    m_connections.splice(m_connections.end(), m_connections, connection->place);
}

void HttpListener::onConnectionFinished(HttpConnection *connection)
{
    m_connections.erase(connection->place);
    connection->place = m_connections.end();
    connection->deleteLater();
    emit connectionCountChanged(connectionCount());
}

void HttpListener::sweep()
{
    // Stopped here rather than when the last connection ends, which happens all the time.
    if (m_connections.empty()) {
        m_sweepTimer->stop();
        return;
    }
    const qint64 now = m_clock.elapsed();
    // Closing finishes connections, which changes the list: walk a copy.
    const std::list<HttpConnection *> connections = m_connections;
    for (HttpConnection *connection : connections)
        connection->closeIfStale(now, m_requestTimeoutMs, m_writeStallTimeoutMs);
}

void HttpListener::closeConnections()
{
    const std::list<HttpConnection *> connections = m_connections;
    for (HttpConnection *connection : connections)
        connection->closeNow();
}
