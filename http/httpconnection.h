#pragma once

#include "http/httppoller.h"

#include <QByteArray>
#include <QObject>

#include <cstdint>
#include <functional>
#include <list>
#include <memory>

class HttpFileCache;
class HttpFileStream;
class HttpMemoryFile;

// One accepted connection: collects the request line, answers once with a file (or with
// nothing) and closes. Works on the descriptor directly and never waits: a response the kernel
// cannot take at once is finished from the event loop, a bounded slice per round, so that many
// responses share the loop fairly. Input that follows the request line is read and dropped while
// the response goes out, and after the last byte the connection waits for the client to close
// before it closes itself: unread input at close would make the kernel reset the connection and
// throw away the response's tail.
class HttpConnection : public QObject, private HttpPoller::Watcher
{
    Q_OBJECT
public:
    // Bytes handed to the kernel at most in the first write and in each later round.
    static constexpr int FirstWriteBudget = 256 * 1024;
    // 256 KB a round rather than 64 KB: a quarter of the rounds and sendfile calls for a 2 MB
    // file, a fifth less CPU per request, and no worse 99th-percentile latency.
    static constexpr int RoundWriteBudget = 256 * 1024;
    // How long the client may take to close after the whole response has gone out.
    static constexpr int LingerTimeoutMs = 5000;

    // Takes over the accepted, non-blocking descriptor (closed at the latest with the object).
    // cache, poller: not owned; must outlive the connection. now: milliseconds on the owner's
    // clock. The poller tells the connection when its descriptor is ready.
    HttpConnection(int descriptor, HttpFileCache *cache, HttpPoller *poller, qint64 now,
                   QObject *parent = nullptr);
    ~HttpConnection() override;

    // Reads what has arrived and answers if it can; otherwise waits in the event loop.
    void start();

    // Closes the connection when its request line has not arrived within requestTimeoutMs of
    // acceptance, when its response has not moved for writeStallTimeoutMs, or when the client
    // has not closed within LingerTimeoutMs of the response's end. True when closed.
    bool closeIfStale(qint64 now, int requestTimeoutMs, int writeStallTimeoutMs);

    // Closes the descriptor without a further byte.
    void closeNow();

    bool isFinished() const { return m_descriptor < 0; }

    // Called whenever the response moves, so the owner can rank connections by idleness.
    void setProgressCallback(std::function<void()> callback) { m_onProgress = std::move(callback); }
    // The owner's bookkeeping: where this connection stands in its idleness order.
    std::list<HttpConnection *>::iterator place;

signals:
    // Emitted exactly once, when the descriptor has been closed for whatever reason; nothing is
    // read or written afterwards and the owner may delete the object (later, not in the slot).
    void finished();

private:
    enum class Phase
    {
        Request,   // waiting for the request line
        Sending,   // response partly with the kernel
        Lingering, // response complete, write side shut, waiting for the client to close
    };

    void onPollEvents(std::uint32_t events) override;
    // Waits in the poller for what is set in `events` and for nothing else; closes the
    // connection when the poller refuses.
    void setWatched(std::uint32_t events);
    void readRequest();
    void onReadable();
    // Reads and drops input; false when the connection was closed meanwhile.
    bool drainInput();
    void answer(const QByteArray &target);
    void sendPending();
    // Puts the stream's next piece into m_response; false when the response ends here.
    bool refill(bool *pending);
    void finishResponse();
    void watchReads();
    void watchWrites(bool on);

    int m_descriptor;
    HttpFileCache *m_cache;      // not owned
    HttpPoller *m_poller;        // not owned
    std::uint32_t m_watched = 0; // what the poller watches the descriptor for
    std::function<void()> m_onProgress;
    Phase m_phase = Phase::Request;
    QByteArray m_received;
    // The bytes being sent: the whole response (shared with the cache), or the stream's piece.
    QByteArray m_response;
    qint64 m_responseSent = 0;
    std::shared_ptr<HttpMemoryFile> m_file;   // m_response as a sealed file, sent with sendfile
    std::unique_ptr<HttpFileStream> m_stream; // a file too large to hold, sent piece by piece
    qint64 m_sent = 0;                        // bytes of the response with the kernel
    qint64 m_acceptedAt;
    qint64 m_lastProgressAt = 0;
    qint64 m_lastSent = -1; // progress (bytes sent plus scan steps) at the last look
    qint64 m_scanSteps = 0;
    qint64 m_lingerSince = -1;
    bool m_requestComplete = false; // the header block has been read whole, nothing follows
    bool m_clientDone = false;      // the client has shut its sending side
};
