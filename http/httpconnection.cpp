#include "http/httpconnection.h"

#include "http/httpfilecache.h"
#include "http/httpfilestream.h"
#include "http/httpmemoryfile.h"
#include "http/httprequestline.h"

#include <QDebug>

#include <cerrno>
#include <cstring>
#include <sys/epoll.h>
#include <sys/sendfile.h>
#include <sys/socket.h>
#include <unistd.h>

// The descriptor is used with plain socket calls: QTcpSocket spends half a dozen extra system
// calls and two rounds of the event loop on every connection, which is most of the cost of
// answering a phone. Calls never block (MSG_DONTWAIT) and never raise SIGPIPE (MSG_NOSIGNAL).

namespace {

bool wouldBlock()
{
    return errno == EAGAIN || errno == EWOULDBLOCK;
}

// Whether the bytes end with the blank line of a header block and announce no body: the client
// has then said all it will say, and closing cannot meet unread input.
bool endsRequest(const QByteArray &received)
{
    if (!received.endsWith("\n\r\n") && !received.endsWith("\n\n"))
        return false;
    const QByteArray lower = received.toLower();
    return !lower.contains("\ncontent-length:") && !lower.contains("\ntransfer-encoding:");
}

// The text in double quotes with QDebug's escapes for quotes, backslashes and control characters,
// so that a path cannot forge log lines; other characters as UTF-8. Built by hand: a QDebug
// stream costs more per request than answering a small file.
QByteArray quotedForLog(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    QByteArray quoted;
    quoted.reserve(utf8.size() + 2);
    quoted += '"';
    for (const char c : utf8) {
        const auto code = uchar(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (c == '\n' || c == '\r' || c == '\t') {
            quoted += '\\';
            quoted += c == '\n' ? 'n' : c == '\r' ? 'r' : 't';
        } else if (code < 0x20 || code == 0x7f) {
            quoted += "\\u00" + QByteArray::number(code, 16).rightJustified(2, '0');
        } else {
            quoted += c;
        }
    }
    quoted += '"';
    return quoted;
}

} // namespace

HttpConnection::HttpConnection(int descriptor, HttpFileCache *cache, HttpPoller *poller, qint64 now,
                               QObject *parent)
    : QObject(parent), m_descriptor(descriptor), m_cache(cache), m_poller(poller), m_acceptedAt(now)
{}

HttpConnection::~HttpConnection()
{
    if (m_descriptor >= 0) {
        m_poller->watch(m_descriptor, this, m_watched, 0);
        ::close(m_descriptor);
    }
}

void HttpConnection::start()
{
    readRequest();
}

void HttpConnection::setWatched(std::uint32_t events)
{
    if (isFinished() || events == m_watched)
        return;
    if (!m_poller->watch(m_descriptor, this, m_watched, events)) {
        qWarning("HttpServer cannot watch a connection: %s", std::strerror(errno));
        closeNow();
        return;
    }
    m_watched = events;
}

void HttpConnection::watchReads()
{
    setWatched(m_clientDone ? m_watched & ~std::uint32_t(EPOLLIN) : m_watched | EPOLLIN);
}

void HttpConnection::watchWrites(bool on)
{
    setWatched(on ? m_watched | EPOLLOUT : m_watched & ~std::uint32_t(EPOLLOUT));
}

void HttpConnection::onPollEvents(std::uint32_t events)
{
    // Closed earlier in the same round of the poller: the object lives on until the loop runs.
    if (isFinished())
        return;
    // An error or hang-up goes to whichever side waits, whose next call then finds it.
    const bool failed = events & (EPOLLERR | EPOLLHUP);
    if ((events & EPOLLIN) || (failed && (m_watched & EPOLLIN)))
        onReadable();
    if (!isFinished() && ((events & EPOLLOUT) || (failed && (m_watched & EPOLLOUT))))
        sendPending();
}

void HttpConnection::onReadable()
{
    if (m_phase == Phase::Request)
        readRequest();
    else
        drainInput();
}

void HttpConnection::readRequest()
{
    while (!isFinished() && m_phase == Phase::Request) {
        // The parser has said Bad before the line can outgrow its limit, so there is room.
        const int oldSize = m_received.size();
        const int room = HttpRequestLine::MaxLength - oldSize;
        m_received.resize(oldSize + room);
        ssize_t count;
        do {
            count = ::recv(m_descriptor, m_received.data() + oldSize, size_t(room), MSG_DONTWAIT);
        } while (count < 0 && errno == EINTR);
        m_received.resize(oldSize + int(qMax<ssize_t>(count, 0)));

        if (count < 0 && wouldBlock()) {
            watchReads();
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
            // A read that filled the buffer may have left more behind.
            m_requestComplete = count < room && endsRequest(m_received);
            m_received.clear();
            answer(target);
            return;
        }
    }
}

bool HttpConnection::drainInput()
{
    char scratch[4096];
    // Bounded, so that a client that keeps sending cannot hold the loop; the notifier comes back.
    for (int round = 0; round < 16; ++round) {
        const ssize_t count = ::recv(m_descriptor, scratch, sizeof scratch, MSG_DONTWAIT);
        if (count > 0 || (count < 0 && errno == EINTR))
            continue;
        if (count < 0 && wouldBlock())
            return true;
        if (count < 0 || m_phase == Phase::Lingering) {
            // Reset, or closed after taking the whole response: nothing more to wait for.
            closeNow();
            return false;
        }
        // The client has shut its side; it may still be reading.
        m_clientDone = true;
        watchReads();
        return !isFinished();
    }
    return true;
}

void HttpConnection::answer(const QByteArray &target)
{
    if (target == "/") {
        closeNow();
        return;
    }

    QString relativePath;
    const bool safe = HttpRequestLine::toRelativePath(target, &relativePath);
    const QString filePath =
        m_cache->rootPath() + (safe ? relativePath : QString::fromUtf8(target));
    const QByteArray loggedPath = quotedForLog(filePath);
    qDebug("HttpServer File: %s", loggedPath.constData());
    HttpFileCache::Answer found = safe ? m_cache->lookup(relativePath) : HttpFileCache::Answer();
    if (found.isEmpty()) {
        qDebug("HttpServer File is not exist: %s", loggedPath.constData());
        closeNow();
        return;
    }
    m_response = found.response;
    m_file = found.file;
    m_stream = std::move(found.stream);

    m_phase = Phase::Sending;
    if (!m_requestComplete || m_stream) {
        // Whatever follows the request line is read and dropped from now on; while a large file
        // is prepared, a client that resets the connection is noticed before anything is read.
        if (!drainInput())
            return;
        watchReads();
    }
    sendPending();
}

bool HttpConnection::refill(bool *pending)
{
    *pending = false;
    if (!m_stream)
        return false;
    for (;;) {
        switch (m_stream->next(&m_response)) {
        case HttpFileStream::Piece:
            m_responseSent = 0;
            if (m_response.isEmpty())
                continue;
            return true;
        case HttpFileStream::Pending:
            // Learning the length of a large file is progress too.
            ++m_scanSteps;
            if (m_onProgress)
                m_onProgress();
            *pending = true;
            return true;
        case HttpFileStream::Done:
            m_stream.reset();
            return false;
        case HttpFileStream::Changed:
            qWarning() << "HttpServer File changed while sent, connection closed";
            closeNow();
            return false;
        }
    }
}

void HttpConnection::sendPending()
{
    if (isFinished() || m_phase != Phase::Sending)
        return;
    qint64 budget = m_sent == 0 ? FirstWriteBudget : RoundWriteBudget;
    const qint64 before = m_sent;
    bool pending = false;
    while (budget > 0) {
        if (m_responseSent == m_response.size()) {
            if (!refill(&pending) || pending)
                break;
        }
        const qint64 length = qMin(budget, m_response.size() - m_responseSent);
        ssize_t count;
        if (m_file) {
            // Straight from the sealed copy's pages; never from the live file, which may change.
            off_t offset = off_t(m_responseSent);
            count = ::sendfile(m_descriptor, m_file->fd(), &offset, size_t(length));
        } else {
            count = ::send(m_descriptor, m_response.constData() + m_responseSent, size_t(length),
                           MSG_DONTWAIT | MSG_NOSIGNAL);
        }
        if (count > 0) {
            m_responseSent += count;
            m_sent += count;
            budget -= count;
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && wouldBlock()) {
            pending = true;
            break;
        }
        // The client is gone.
        closeNow();
        return;
    }
    if (isFinished())
        return;
    if (m_sent != before && m_onProgress)
        m_onProgress();
    if (pending || budget <= 0 || m_responseSent < m_response.size() || m_stream) {
        watchWrites(true);
        return;
    }
    finishResponse();
}

void HttpConnection::finishResponse()
{
    watchWrites(false);
    m_response.clear();
    m_file.reset();
    m_stream.reset();
    if (m_requestComplete || m_clientDone) {
        // Nothing can arrive unread: the kernel delivers the bytes after the close.
        closeNow();
        return;
    }
    // The end of the response goes out with the kernel's FIN; input is drained until the client
    // closes, so that closing never resets the connection under the response's tail.
    m_phase = Phase::Lingering;
    ::shutdown(m_descriptor, SHUT_WR);
    if (drainInput())
        watchReads();
}

void HttpConnection::closeNow()
{
    if (isFinished())
        return;
    // Removed before the close: a copy of the descriptor held by a forked child would otherwise
    // keep it watched under a number the next accept may reuse.
    m_poller->watch(m_descriptor, this, m_watched, 0);
    m_watched = 0;
    ::close(m_descriptor);
    m_descriptor = -1;
    m_response.clear();
    m_file.reset();
    m_stream.reset();
    emit finished();
}

bool HttpConnection::closeIfStale(qint64 now, int requestTimeoutMs, int writeStallTimeoutMs)
{
    if (isFinished())
        return false;
    switch (m_phase) {
    case Phase::Request:
        if (now - m_acceptedAt < requestTimeoutMs)
            return false;
        break;
    case Phase::Sending:
        if (m_sent + m_scanSteps != m_lastSent) {
            m_lastSent = m_sent + m_scanSteps;
            m_lastProgressAt = now;
            return false;
        }
        if (now - m_lastProgressAt < writeStallTimeoutMs)
            return false;
        break;
    case Phase::Lingering:
        if (m_lingerSince < 0)
            m_lingerSince = now;
        if (now - m_lingerSince < qMin(int(LingerTimeoutMs), writeStallTimeoutMs))
            return false;
        break;
    }
    closeNow();
    return true;
}
