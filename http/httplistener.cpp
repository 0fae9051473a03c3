#include "http/httplistener.h"

#include "http/httpconnection.h"

#include <QDebug>
#include <QTimer>

#include <memory>

#include <sys/socket.h>
#include <unistd.h>

HttpListener::HttpListener(const QString &rootPath, QObject *parent)
    : QTcpServer(parent), m_cache(rootPath), m_sweepTimer(new QTimer(this))
{
    m_clock.start();
    setMaxPendingConnections(1024);
    updateSweepInterval();
    connect(m_sweepTimer, &QTimer::timeout, this, &HttpListener::sweep);
    // Qt stops accepting for good after an error such as running out of descriptors.
    connect(this, &QTcpServer::acceptError, this, [this](QAbstractSocket::SocketError) {
        QTimer::singleShot(100, this, [this] {
            if (isListening())
                resumeAccepting();
        });
    });
}

HttpListener::~HttpListener()
{
    closeConnections();
}

bool HttpListener::listenOn(const QHostAddress &address, int port)
{
    if (isListening())
        close();
    m_listenError.clear();
    if (port < 0 || port > 65535) {
        m_listenError = QStringLiteral("The port %1 is out of range").arg(port);
        return false;
    }
    if (!listen(address, quint16(port))) {
        m_listenError = errorString();
        return false;
    }
    // Listening again on a listening socket only changes its queue length.
    ::listen(int(socketDescriptor()), ListenBacklog);
    return true;
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

void HttpListener::incomingConnection(qintptr descriptor)
{
    if (m_connections.size() >= m_maxConnections) {
        ::close(int(descriptor));
        return;
    }

    qDebug() << "newConnection";
    auto connection = std::make_unique<HttpConnection>(descriptor, &m_cache, m_clock.elapsed());
    connection->start();
    // Answered (or refused) at once, as most requests are: nothing to wait for.
    if (connection->isFinished())
        return;

    HttpConnection *waiting = connection.release();
    waiting->setParent(this);
    connect(waiting, &HttpConnection::finished, this,
            [this, waiting] { onConnectionFinished(waiting); });
    m_connections.insert(waiting);
    if (!m_sweepTimer->isActive())
        m_sweepTimer->start();
    emit connectionCountChanged(m_connections.size());
}

void HttpListener::onConnectionFinished(HttpConnection *connection)
{
    if (!m_connections.remove(connection))
        return;
    connection->deleteLater();
    emit connectionCountChanged(m_connections.size());
}

void HttpListener::sweep()
{
    // Stopped here rather than when the last connection ends, which happens all the time.
    if (m_connections.isEmpty()) {
        m_sweepTimer->stop();
        return;
    }
    const qint64 now = m_clock.elapsed();
    // Closing finishes connections, which changes the set: walk a copy.
    const QSet<HttpConnection *> connections = m_connections;
    for (HttpConnection *connection : connections)
        connection->closeIfStale(now, m_requestTimeoutMs, m_writeStallTimeoutMs);
}

void HttpListener::closeConnections()
{
    const QSet<HttpConnection *> connections = m_connections;
    for (HttpConnection *connection : connections)
        connection->closeNow();
}
