#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QTcpSocket>
#include <QTest>

// A client on loopback that shares the thread with the server under test, so it never blocks:
// every wait lets the event loop run (as QTRY_* does) until a condition holds or time runs out.
class HttpTestClient : public QObject
{
public:
    explicit HttpTestClient(quint16 port, QObject *parent = nullptr) : QObject(parent), m_port(port)
    {
        connect(&m_socket, &QIODevice::readyRead, this, [this] {
            if (m_reading)
                m_received += m_socket.readAll();
        });
        connect(&m_socket, &QAbstractSocket::disconnected, this, [this] {
            if (m_reading && m_socket.isOpen())
                m_received += m_socket.readAll();
            m_closed = true;
        });
        connect(&m_socket, &QAbstractSocket::errorOccurred, this,
                [this](QAbstractSocket::SocketError error) {
                    if (error == QAbstractSocket::RemoteHostClosedError ||
                        m_socket.state() == QAbstractSocket::UnconnectedState)
                        m_closed = true;
                });
    }

    ~HttpTestClient() override
    {
        // The socket outlives the other members; it must not report to them while it closes.
        m_socket.disconnect(this);
        m_socket.abort();
    }
    HttpTestClient(const HttpTestClient &) = delete;
    HttpTestClient &operator=(const HttpTestClient &) = delete;

    // Starts connecting; the request may be written at once (Qt sends it once connected).
    void open() { m_socket.connectToHost(QHostAddress::LocalHost, m_port); }
    bool waitConnected(int timeoutMs = 5000)
    {
        return waitFor([this] { return m_socket.state() == QAbstractSocket::ConnectedState; },
                       timeoutMs);
    }
    // Before the connection stands, Qt keeps the bytes and sends them once connected.
    void send(const QByteArray &bytes)
    {
        m_socket.write(bytes);
        if (m_socket.state() == QAbstractSocket::ConnectedState)
            m_socket.flush();
    }
    // Written to the kernel, so the server can see it the next time the event loop runs.
    bool waitSent(int timeoutMs = 5000)
    {
        return waitFor([this] { return m_socket.bytesToWrite() == 0; }, timeoutMs);
    }
    bool waitClosed(int timeoutMs = 5000)
    {
        return waitFor([this] { return m_closed; }, timeoutMs);
    }
    // Lets the event loop run a few rounds without any condition: enough for the server to
    // react to bytes that already sit in its socket.
    void settle()
    {
        for (int i = 0; i < 5; ++i)
            QTest::qWait(1);
    }

    // A client that stops reading: Qt keeps at most `bytes` for it, the kernel the rest.
    // Call before open(), so that the kernel's buffer stays small too.
    void stopReading(qint64 bytes)
    {
        m_reading = false;
        m_socket.setReadBufferSize(bytes);
        connect(&m_socket, &QAbstractSocket::connected, this, [this] {
            m_socket.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 64 * 1024);
        });
    }

    // Connects and asks for the target, then reads no more than 4 KB of the answer.
    void requestWithoutReading(const QByteArray &target)
    {
        stopReading(4096);
        open();
        send("GET " + target + " HTTP/1.1\r\n\r\n");
    }

    QByteArray received() const { return m_received; }
    bool isClosed() const { return m_closed; }
    QTcpSocket &socket() { return m_socket; }

    template <typename Condition> static bool waitFor(Condition condition, int timeoutMs)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (!condition()) {
            if (deadline.hasExpired())
                return false;
            QTest::qWait(2);
        }
        return true;
    }

    // Sends one request on a new connection and collects everything until the server closes.
    static QByteArray exchange(quint16 port, const QByteArray &request, bool *closed = nullptr,
                               int timeoutMs = 5000)
    {
        HttpTestClient client(port);
        client.open();
        client.send(request);
        const bool done = client.waitClosed(timeoutMs);
        if (closed)
            *closed = done;
        return client.received();
    }

private:
    QTcpSocket m_socket;
    quint16 m_port;
    QByteArray m_received;
    bool m_closed = false;
    bool m_reading = true;
};
