#pragma once

#include "http/httpfilecache.h"
#include "http/httppoller.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QString>

#include <list>

class HttpConnection;
class QSocketNotifier;
class QTimer;

// Listens for phones and hands each accepted connection to an HttpConnection that serves the
// files under one folder. Bounds the number of open connections: when all places are taken, the
// connection that has been idle longest makes room, so a host that opens connections and sends
// nothing can never lock the others out. Closes connections whose request does not come in time
// and responses that stop moving. Lives on one thread, which must run an event loop.
class HttpListener : public QObject
{
    Q_OBJECT
public:
    static constexpr int DefaultMaxConnections = 512;
    static constexpr int DefaultRequestTimeoutMs = 10000;
    static constexpr int DefaultWriteStallTimeoutMs = 10000;
    // The kernel's queue of connects not yet taken; bursts of phones need more than a few.
    static constexpr int ListenBacklog = 1024;
    // Accepted per round of the event loop, so that new connections never starve the responses
    // already under way.
    static constexpr int AcceptsPerRound = 16;
    // How long the kernel holds a connection that has sent nothing before handing it over.
    static constexpr int DeferAcceptSeconds = 1;
    // Bytes a connection may leave unsent in the kernel: a client that stops reading ties up
    // this much rather than a grown send buffer's megabytes, and the kernel sends the rest as
    // the server writes it instead of from the client's acknowledgements (on loopback, on the
    // client's time).
    static constexpr int UnsentLowWater = 32 * 1024;

    // rootPath: the served folder, ending in a slash.
    explicit HttpListener(const QString &rootPath, QObject *parent = nullptr);
    ~HttpListener() override;

    // Listens on the address and port (1 to 65535, or 0 for any free port); false when that is
    // not possible, with the reason in listenError(). A listener that listens already is closed
    // first, so this also moves it to a new address or port.
    bool listenOn(const QHostAddress &address, int port);
    QString listenError() const { return m_listenError; }
    bool isListening() const { return m_socket >= 0; }
    // The port listened on (the one chosen when 0 was asked); 0 when not listening.
    quint16 serverPort() const { return m_port; }
    // Stops listening; connections under way go on.
    void close();

    // Connections waiting for their request, sending, or waiting for the client to close after
    // the response; one that is answered and closed as it is accepted never counts.
    int connectionCount() const { return int(m_connections.size()); }
    // Aborts every open connection at once.
    void closeConnections();

    HttpFileCache *fileCache() { return &m_cache; }
    // Serves another folder (ending in a slash) from now on; forgets what was kept of the old.
    void setRootPath(const QString &rootPath) { m_cache.setRootPath(rootPath); }

    void setMaxConnections(int count) { m_maxConnections = qMax(1, count); }
    void setRequestTimeoutMs(int ms);
    void setWriteStallTimeoutMs(int ms);

signals:
    // connectionCount() changed; count is its new value.
    void connectionCountChanged(int count);

private:
    void acceptPending();
    void sweep();
    void updateSweepInterval();
    void touch(HttpConnection *connection);
    void onConnectionFinished(HttpConnection *connection);

    HttpFileCache m_cache;
    // Open connections, longest idle first; each connection knows its own place. Owned
    // (children).
    std::list<HttpConnection *> m_connections;
    // Waits for the connections' descriptors; outlives them (all closed in the destructor).
    HttpPoller m_poller;
    QTimer *m_sweepTimer;                        // owned (child)
    QSocketNotifier *m_acceptNotifier = nullptr; // owned (child) while listening
    QElapsedTimer m_clock;
    QString m_listenError;
    int m_socket = -1;
    quint16 m_port = 0;
    int m_maxConnections = DefaultMaxConnections;
    int m_requestTimeoutMs = DefaultRequestTimeoutMs;
    int m_writeStallTimeoutMs = DefaultWriteStallTimeoutMs;
};
