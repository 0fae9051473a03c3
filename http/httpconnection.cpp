#include "http/httpconnection.h"

#include "http/httpfilecache.h"
#include "http/httprequestline.h"

#include <QDebug>
#include <QSocketNotifier>

#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>

// The descriptor is used with plain socket calls: QTcpSocket spends half a dozen extra system
// calls and two rounds of the event loop on every connection, which is most of the cost of
// answering a phone. Calls never block (MSG_DONTWAIT) and never raise SIGPIPE (MSG_NOSIGNAL).

HttpConnection::HttpConnection(qintptr descriptor, HttpFileCache *cache, qint64 now,
                               QObject *parent)
    : QObject(parent), m_descriptor(descriptor), m_cache(cache), m_acceptedAt(now)
{}

HttpConnection::~HttpConnection()
{
    if (m_descriptor >= 0)
        ::close(int(m_descriptor));
}

void HttpConnection::start()
{
    readRequest();
}

void HttpConnection::readRequest()
{
    while (!isFinished() && !m_answered) {
        // The parser has said Bad before the line can outgrow its limit, so there is room.
        const int oldSize = m_received.size();
        const int room = HttpRequestLine::MaxLength - oldSize;
        m_received.resize(oldSize + room);
        ssize_t count;
        do {
            count =
                ::recv(int(m_descriptor), m_received.data() + oldSize, size_t(room), MSG_DONTWAIT);
        } while (count < 0 && errno == EINTR);
        m_received.resize(oldSize + int(qMax<ssize_t>(count, 0)));

        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!m_readNotifier) {
                m_readNotifier = new QSocketNotifier(m_descriptor, QSocketNotifier::Read, this);
                connect(m_readNotifier, &QSocketNotifier::activated, this,
                        [this] { m_answered ? drainInput() : readRequest(); });
            }
            return;
        }
        if (count <= 0) {
            // Closed by the client (or failed) before the request line was complete.
            closeNow();
            return;
        }

        QByteArray target;
        switch (HttpRequestLine::parse(m_received, &target)) {
        case HttpRequestLine::Incomplete:
            break;
        case HttpRequestLine::Bad:
            closeNow();
            return;
        case HttpRequestLine::Complete:
            m_received.clear();
            // A read that filled the buffer may have left headers behind.
            m_inputPending = count == room;
            answer(target);
            return;
        }
    }
}

void HttpConnection::drainInput()
{
    // The rest of the request is dropped, so that closing does not reset the connection while
    // the response is still on its way.
    char scratch[4096];
    // Bounded, so that a client that keeps sending cannot hold the loop; the notifier comes back.
    for (int round = 0; round < 16; ++round) {
        const ssize_t count = ::recv(int(m_descriptor), scratch, sizeof scratch, MSG_DONTWAIT);
        if (count > 0)
            continue;
        if (count < 0 && errno == EINTR)
            continue;
        if (count == 0 || (count < 0 && errno != EAGAIN && errno != EWOULDBLOCK)) {
            // The client has shut its side; it may still be reading.
            if (m_readNotifier)
                m_readNotifier->setEnabled(false);
        }
        return;
    }
}

void HttpConnection::answer(const QByteArray &target)
{
    m_answered = true;
    if (target == "/") {
        closeNow();
        return;
    }

    QString relativePath;
    const bool safe = HttpRequestLine::toRelativePath(target, &relativePath);
    const QString filePath =
        m_cache->rootPath() + (safe ? relativePath : QString::fromUtf8(target));
    qDebug() << "HttpServer File:" << filePath;
    m_response = safe ? m_cache->response(relativePath) : QByteArray();
    if (m_response.isEmpty()) {
        qDebug() << "HttpServer File is not exist:" << filePath;
        closeNow();
        return;
    }

    if (m_inputPending)
        drainInput();
    if (m_response.size() > LargeResponse) {
        // Lets the kernel take a large file in one go instead of in many rounds of the loop.
        const int size = qMin(m_response.size(), int(MaxSendBuffer));
        ::setsockopt(int(m_descriptor), SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
    }
    sendPending();
}

void HttpConnection::sendPending()
{
    while (m_sent < m_response.size()) {
        const ssize_t count =
            ::send(int(m_descriptor), m_response.constData() + m_sent,
                   size_t(m_response.size() - m_sent), MSG_DONTWAIT | MSG_NOSIGNAL);
        if (count > 0) {
            m_sent += count;
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!m_writeNotifier) {
                m_writeNotifier = new QSocketNotifier(m_descriptor, QSocketNotifier::Write, this);
                connect(m_writeNotifier, &QSocketNotifier::activated, this,
                        &HttpConnection::sendPending);
            }
            return;
        }
        // The client is gone.
        closeNow();
        return;
    }
    // All bytes are with the kernel, which delivers them after the close.
    closeNow();
}

void HttpConnection::closeNow()
{
    if (isFinished())
        return;
    // Notifiers must not watch a closed descriptor, whose number the next accept may reuse.
    if (m_readNotifier)
        m_readNotifier->setEnabled(false);
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(false);
    ::close(int(m_descriptor));
    m_descriptor = -1;
    m_response.clear();
    emit finished();
}

bool HttpConnection::closeIfStale(qint64 now, int requestTimeoutMs, int writeStallTimeoutMs)
{
    if (isFinished())
        return false;
    if (!m_answered) {
        if (now - m_acceptedAt < requestTimeoutMs)
            return false;
        closeNow();
        return true;
    }
    if (m_sent != m_lastSent) {
        m_lastSent = m_sent;
        m_lastProgressAt = now;
        return false;
    }
    if (now - m_lastProgressAt < writeStallTimeoutMs)
        return false;
    closeNow();
    return true;
}
