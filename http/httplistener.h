#pragma once

#include "http/httpfilecache.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QSet>
#include <QString>
#include <QTcpServer>

class HttpConnection;
class QTimer;

// Listens for phones and hands each accepted connection to an HttpConnection that serves the
// files under one folder. Bounds the number of open connections and closes idle or stalled ones.
class HttpListener : public QTcpServer
{
    Q_OBJECT
public:
    static constexpr int DefaultMaxConnections = 512;
    static constexpr int DefaultRequestTimeoutMs = 10000;
    static constexpr int DefaultWriteStallTimeoutMs = 10000;
    // Qt asks the kernel for a queue of only 50 connects; bursts of phones need more.
    static constexpr int ListenBacklog = 1024;

    // rootPath: the served folder, ending in a slash.
    explicit HttpListener(const QString &rootPath, QObject *parent = nullptr);
    ~HttpListener() override;

    // Listens on the address and port (1 to 65535, or 0 for any free port); false when that is
    // not possible, with the reason in listenError(). A listener that listens already is closed
    // first, so this also moves it to a new address or port.
    bool listenOn(const QHostAddress &address, int port);
    QString listenError() const { return m_listenError; }

    // Connections waiting for their request or for the client to take the response; one that
    // is answered as it is accepted never counts.
    int connectionCount() const { return m_connections.size(); }
    // Aborts every open connection at once.
    void closeConnections();

    HttpFileCache *fileCache() { return &m_cache; }

    void setMaxConnections(int count) { m_maxConnections = count; }
    void setRequestTimeoutMs(int ms);
    void setWriteStallTimeoutMs(int ms);

signals:
    // connectionCount() changed; count is its new value.
    void connectionCountChanged(int count);

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    void sweep();
    void updateSweepInterval();
    void onConnectionFinished(HttpConnection *connection);

    HttpFileCache m_cache;
    QSet<HttpConnection *> m_connections; // owned (children)
    QTimer *m_sweepTimer;                 // owned (child)
    QElapsedTimer m_clock;
    QString m_listenError;
    int m_maxConnections = DefaultMaxConnections;
    int m_requestTimeoutMs = DefaultRequestTimeoutMs;
    int m_writeStallTimeoutMs = DefaultWriteStallTimeoutMs;
};
