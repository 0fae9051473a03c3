#pragma once

#include <QByteArray>
#include <QObject>

class HttpFileCache;
class QSocketNotifier;

// One accepted connection: collects the request line, answers once with a file (or with
// nothing) and closes. Works on the descriptor directly and never waits: a response the kernel
// cannot take at once is finished from the event loop. Most requests are answered inside start(),
// without a notifier ever being set up.
class HttpConnection : public QObject
{
    Q_OBJECT
public:
    static constexpr int LargeResponse = 16 * 1024;
    static constexpr int MaxSendBuffer = 1024 * 1024;

    // Takes over the accepted descriptor (closed at the latest with the object). cache: not
    // owned; must outlive the connection. now: milliseconds on the owner's clock.
    HttpConnection(qintptr descriptor, HttpFileCache *cache, qint64 now, QObject *parent = nullptr);
    ~HttpConnection() override;

    // Reads what has arrived and answers if it can; otherwise waits in the event loop.
    void start();

    // Closes the connection when its request line has not arrived within requestTimeoutMs of
    // acceptance, or when its response has not moved for writeStallTimeoutMs. True when closed.
    bool closeIfStale(qint64 now, int requestTimeoutMs, int writeStallTimeoutMs);

    // Closes the descriptor without a further byte.
    void closeNow();

    bool isFinished() const { return m_descriptor < 0; }
    // Bytes of the response not yet taken by the kernel.
    qint64 pendingBytes() const { return m_response.size() - m_sent; }

signals:
    // Emitted exactly once, when the descriptor has been closed for whatever reason; nothing is
    // read or written afterwards and the owner may delete the object (later, not in the slot).
    void finished();

private:
    void readRequest();
    void drainInput();
    void answer(const QByteArray &target);
    void sendPending();

    qintptr m_descriptor;
    HttpFileCache *m_cache;                     // not owned
    QSocketNotifier *m_readNotifier = nullptr;  // owned (child), made when a read must wait
    QSocketNotifier *m_writeNotifier = nullptr; // owned (child), made when a write must wait
    QByteArray m_received;
    QByteArray m_response; // shares the cached bytes
    qint64 m_sent = 0;
    qint64 m_acceptedAt;
    qint64 m_lastProgressAt = 0;
    qint64 m_lastSent = -1;
    bool m_answered = false;
    bool m_inputPending = false;
};
