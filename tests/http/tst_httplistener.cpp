#include "http/httpconnection.h"
#include "http/httpfilecache.h"
#include "http/httplistener.h"
#include "http/httprequestline.h"
#include "httptestclient.h"
#include "messagecapture.h"
#include "testfiles.h"
#include "testworkdir.h"

#include <QtTest>

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#endif

namespace {

QByteArray expectedResponse(const QByteArray &body)
{
    return "HTTP/1.1 200 OK\r\n"
           "Server: nginx\r\n"
           "Content-Type: application/octet-stream;charset=utf-8\r\n"
           "Connection: close\r\n"
           "Content-Length: " +
           QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

// Contact lines up to exactly size bytes. Reserved up front: appending piece by piece otherwise
// reallocates (and copies) the whole text each time under the address sanitizer.
QByteArray contactLines(int size)
{
    QByteArray body;
    body.reserve(size + 64);
    for (int i = 0; body.size() < size; ++i)
        body += "<Contact id=\"" + QByteArray::number(i) + "\"/>\n";
    body.truncate(size);
    return body;
}

} // namespace

class TestHttpListener : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void exactResponse_data();
    void exactResponse();
    void keptResponsesSentWhole_data();
    void keptResponsesSentWhole();
    void splitRequest_data();
    void splitRequest();
    void halfClosedClientAnswered();
    void overlongLineClosed();
    void silentClientClosed_data();
    void silentClientClosed();
    void stalledReaderDoesNotBlock();
    void clientGoneMidFileFreesItsPlace();
    void stalledReadersKeepMemoryBounded();
    void manyClientsAtOnce();
    void idleConnectionMakesRoom_data();
    void idleConnectionMakesRoom();
    void lateHeadersDoNotCutTheBody();
    void connectionsReleased();

private:
    QString target(const QString &name) const
    {
        return m_dir->filePath(QStringLiteral("target/") + name);
    }
    quint16 port() const { return m_listener->serverPort(); }

    std::unique_ptr<TestWorkDir> m_dir;
    std::unique_ptr<HttpListener> m_listener;
};

void TestHttpListener::init()
{
    m_dir = std::make_unique<TestWorkDir>();
    m_dir->mkpath(QStringLiteral("target"));
    m_listener = std::make_unique<HttpListener>(m_dir->filePath(QStringLiteral("target/")));
    QVERIFY2(m_listener->listenOn(QHostAddress::LocalHost, 0),
             qPrintable(m_listener->listenError()));
    MessageCapture::clear();
}

void TestHttpListener::cleanup()
{
    m_listener.reset();
    m_dir.reset();
}

void TestHttpListener::exactResponse_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("body");

    const QString book = QStringLiteral("contacts.xml");
    const QByteArray xml("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Phonebook>\n"
                         "<Name>Zoë 张三</Name>\n</Phonebook>\n");
    const auto get = [](const QByteArray &target) -> QByteArray {
        return "GET " + target + " HTTP/1.1\r\n\r\n";
    };
    QTest::addRow("get with host")
        << QByteArray("GET /contacts.xml HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n") << book << xml
        << xml;
    QByteArray longHeaders("GET /contacts.xml HTTP/1.1\r\n");
    for (int i = 0; i < 400; ++i)
        longHeaders += "X-Filler-" + QByteArray::number(i) + ": " + QByteArray(40, 'f') + "\r\n";
    QTest::addRow("headers far beyond the line limit") << longHeaders + "\r\n"
                                                       << book << xml << xml;

    QTest::addRow("escaped utf-8 name")
        << get("/%E9%80%9A%E8%AE%AF%E5%BD%95.xml") << QStringLiteral("通讯录.xml")
        << QByteArray("<c/>") << QByteArray("<c/>");
}

void TestHttpListener::exactResponse()
{
    QFETCH(QByteArray, request);
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, body);
    QVERIFY(writeFile(target(file), content));

    bool closed = false;
    const QByteArray response = HttpTestClient::exchange(port(), request, &closed);
    QVERIFY(closed);
    QCOMPARE(response, expectedResponse(body));
}

void TestHttpListener::keptResponsesSentWhole_data()
{
    QTest::addColumn<int>("size");

    // One send, and a sealed memory file sent with sendfile over several rounds.
    QTest::addRow("small") << 100;
    QTest::addRow("memory file over several rounds") << 2 * 1024 * 1024;
}

void TestHttpListener::keptResponsesSentWhole()
{
    QFETCH(int, size);
    m_listener->fileCache()->setSettleMs(-3600 * 1000); // keep even a fresh file
    QByteArray body = contactLines(size);
    const QString path = target(QStringLiteral("book.xml"));
    QVERIFY(writeFile(path, body));
    const QByteArray request("GET /book.xml HTTP/1.1\r\n\r\n");
    for (int round = 0; round < 3; ++round)
        QVERIFY(HttpTestClient::exchange(port(), request) == expectedResponse(body));
    QCOMPARE(m_listener->fileCache()->entryCount(), 1);

    // A new version gets a new copy; the kept one is never rewritten.
    body.replace('C', 'c');
    QVERIFY(writeFile(path, body));
    QVERIFY(HttpTestClient::exchange(port(), request) == expectedResponse(body));
}

void TestHttpListener::splitRequest_data()
{
    QTest::addColumn<QByteArrayList>("pieces");

    QTest::addRow("line end apart") << QByteArrayList{"GET /a.xml HTTP/1.1", "\r", "\n\r\n"};
    QByteArrayList bytes;
    for (char c : QByteArray("GET /a.xml HTTP/1.1\r\n"))
        bytes.append(QByteArray(1, c));
    QTest::addRow("byte by byte") << bytes;
}

void TestHttpListener::splitRequest()
{
    QFETCH(QByteArrayList, pieces);
    QVERIFY(writeFile(target(QStringLiteral("a.xml")), "<split/>"));

    HttpTestClient client(port());
    client.socket().setSocketOption(QAbstractSocket::LowDelayOption, 1);
    client.open();
    QVERIFY(client.waitConnected());
    for (const QByteArray &piece : pieces) {
        QVERIFY(!client.isClosed());
        QCOMPARE(client.received(), QByteArray());
        client.send(piece);
        QVERIFY(client.waitSent());
        client.settle();
    }
    QVERIFY(client.waitClosed());
    QCOMPARE(client.received(), expectedResponse("<split/>"));
}

void TestHttpListener::halfClosedClientAnswered()
{
#ifdef Q_OS_UNIX
    // Some clients shut their sending side right after the request and keep reading.
    const QByteArray body(200 * 1024, 'h');
    QVERIFY(writeFile(target(QStringLiteral("big.xml")), body));
    HttpTestClient client(port());
    client.open();
    QVERIFY(client.waitConnected());
    client.send("GET /big.xml HTTP/1.1\r\n\r\n");
    QVERIFY(client.waitSent());
    QCOMPARE(::shutdown(int(client.socket().socketDescriptor()), SHUT_WR), 0);
    QVERIFY(client.waitClosed());
    QCOMPARE(client.received(), expectedResponse(body));
#else
    QSKIP("needs a socket half-close");
#endif
}

void TestHttpListener::overlongLineClosed()
{
    // Far longer than the request timeout allows: only the length limit can close it in time.
    m_listener->setRequestTimeoutMs(60000);
    HttpTestClient client(port());
    client.open();
    client.send("GET /" + QByteArray(HttpRequestLine::MaxLength + 100, 'a'));
    QVERIFY(client.waitClosed(5000));
    QCOMPARE(client.received(), QByteArray());
}

void TestHttpListener::silentClientClosed_data()
{
    QTest::addColumn<QByteArray>("sent");

    QTest::addRow("nothing sent") << QByteArray();
    QTest::addRow("request line never ended") << QByteArray("GET /a.xml HTTP/1.1");
}

void TestHttpListener::silentClientClosed()
{
    QFETCH(QByteArray, sent);
    QVERIFY(writeFile(target(QStringLiteral("a.xml")), "<a/>"));
    m_listener->setRequestTimeoutMs(300);
    QCOMPARE(m_listener->connectionCount(), 0);

    QElapsedTimer elapsed;
    elapsed.start();
    HttpTestClient client(port());
    client.open();
    QVERIFY(client.waitConnected());
    if (!sent.isEmpty())
        client.send(sent);
    QTRY_COMPARE(m_listener->connectionCount(), 1);
    QVERIFY(client.waitClosed(5000));
    QVERIFY2(elapsed.elapsed() >= 250, "closed before the timeout");
    QCOMPARE(client.received(), QByteArray());
    QTRY_COMPARE(m_listener->connectionCount(), 0);
}

void TestHttpListener::stalledReaderDoesNotBlock()
{
    // Larger than what the kernel buffers on both sides can hold.
    const QByteArray big(24 * 1024 * 1024, 'x');
    QVERIFY(writeFile(target(QStringLiteral("big.xml")), big));
    QVERIFY(writeFile(target(QStringLiteral("small.xml")), "<small/>"));
    m_listener->setWriteStallTimeoutMs(500);

    HttpTestClient stalled(port());
    stalled.requestWithoutReading("/big.xml");
    QVERIFY(stalled.waitSent());
    QTRY_COMPARE(m_listener->connectionCount(), 1);

    // The server keeps answering others while the stalled response is pending.
    bool closed = false;
    const QByteArray small =
        HttpTestClient::exchange(port(), "GET /small.xml HTTP/1.1\r\n\r\n", &closed, 2000);
    QVERIFY(closed);
    QCOMPARE(small, expectedResponse("<small/>"));
    QVERIFY(!stalled.isClosed());

    // Once nothing has moved for the stall timeout, the connection is dropped.
    QTRY_COMPARE_WITH_TIMEOUT(m_listener->connectionCount(), 0, 10000);
    QVERIFY(stalled.received().size() < big.size());
}

void TestHttpListener::clientGoneMidFileFreesItsPlace()
{
    // Fresh and larger than what is read whole: streamed from a descriptor of its own.
    const QString path = target(QStringLiteral("big.xml"));
    QVERIFY(writeFile(path, QByteArray(24 * 1024 * 1024, 'x')));
    const QString file = QFileInfo(path).canonicalFilePath();
    const auto descriptorsOnFile = [&file] {
        int count = 0;
        const QDir fds(QStringLiteral("/proc/self/fd"));
        for (const QString &fd : fds.entryList(QDir::Files | QDir::System))
            count += QFileInfo(fds.filePath(fd)).symLinkTarget() == file ? 1 : 0;
        return count;
    };
    // Only noticing that the client has gone can free the place before this.
    m_listener->setWriteStallTimeoutMs(60000);

    HttpTestClient client(port());
    client.requestWithoutReading("/big.xml");
    QVERIFY(client.waitSent());
    QTRY_COMPARE(m_listener->connectionCount(), 1);
    QTRY_VERIFY(descriptorsOnFile() > 0);
    for (int round = 0; round < 10; ++round)
        client.settle();
    const int whileSending = descriptorsOnFile();
    QCOMPARE(m_listener->connectionCount(), 1); // the response is stuck half-way

    // Gone with the response unread: the server stops streaming and closes the file.
    client.socket().abort();
    QTRY_COMPARE(m_listener->connectionCount(), 0);
    QTRY_VERIFY(descriptorsOnFile() < whileSending);
}

void TestHttpListener::stalledReadersKeepMemoryBounded()
{
    // A freshly saved file too large to buffer, fetched by clients that never read: each
    // response holds one piece, not the file.
    const QByteArray big(16 * 1024 * 1024, 'x');
    QVERIFY(writeFile(target(QStringLiteral("big.xml")), big));
    const auto residentBytes = [] {
        const QList<QByteArray> fields = readAll(QStringLiteral("/proc/self/statm")).split(' ');
        return fields.size() > 1 ? fields.at(1).toLongLong() * 4096 : -1;
    };
    const qint64 before = residentBytes();
    QVERIFY(before > 0);

    const int clientCount = 24;
    std::vector<std::unique_ptr<HttpTestClient>> stalled;
    for (int i = 0; i < clientCount; ++i) {
        stalled.push_back(std::make_unique<HttpTestClient>(port()));
        stalled.back()->requestWithoutReading("/big.xml");
    }
    QTRY_COMPARE(m_listener->connectionCount(), clientCount);
    for (int round = 0; round < 20; ++round)
        stalled.front()->settle();
    const qint64 grown = residentBytes() - before;
    // Whole copies would take 24 x 16 MB; pieces and socket buffers stay far below.
    QVERIFY2(grown < 128 * 1024 * 1024, qPrintable(QString::number(grown)));
    QCOMPARE(m_listener->connectionCount(), clientCount);

    // Nor does the kernel hold megabytes for them: what each server-side socket has queued is
    // what the client's window took unacknowledged plus the little left unsent. The kernel lists
    // sockets a page per read, so lines may be missed or repeated while other sockets come and
    // go: each look updates what was seen, keyed by the client's end.
    std::map<QByteArray, qint64> queues; // bytes sent and not acknowledged, or not sent
    const QByteArray local = ':' + QByteArray::number(port(), 16).toUpper().rightJustified(4, '0');
    const auto settled = [&queues, &local] {
        const std::map<QByteArray, qint64> looked = queues;
        for (const QByteArray &line : readAll(QStringLiteral("/proc/net/tcp")).split('\n')) {
            const QList<QByteArray> fields = line.simplified().split(' ');
            if (fields.size() > 4 && fields.at(1).endsWith(local) && fields.at(3) == "01")
                queues[fields.at(2)] = fields.at(4).split(':').value(0).toLongLong(nullptr, 16);
        }
        // Unchanged between two looks: every response has come to its stall.
        return queues == looked && int(queues.size()) == clientCount;
    };
    QTRY_VERIFY2_WITH_TIMEOUT(settled(), qPrintable(QString::number(queues.size())), 20000);
    for (const auto &queue : queues)
        QVERIFY2(queue.second < 512 * 1024, qPrintable(QString::number(queue.second)));
}

void TestHttpListener::manyClientsAtOnce()
{
    // Phones starting together: far more clients than one turn of the accept loop takes.
    const QByteArray expected = expectedResponse(contactLines(9000));
    QVERIFY(writeFile(target(QStringLiteral("book.xml")), contactLines(9000)));
    std::vector<std::unique_ptr<HttpTestClient>> clients;
    for (int i = 0; i < 300; ++i) {
        clients.push_back(std::make_unique<HttpTestClient>(port()));
        clients.back()->open();
        clients.back()->send("GET /book.xml HTTP/1.1\r\n\r\n");
    }
    const auto allServed = [&clients, &expected] {
        return std::all_of(clients.cbegin(), clients.cend(), [&expected](const auto &client) {
            return client->isClosed() && client->received() == expected;
        });
    };
    QVERIFY(HttpTestClient::waitFor(allServed, 30000));
    QTRY_COMPARE(m_listener->connectionCount(), 0);
}

void TestHttpListener::idleConnectionMakesRoom_data()
{
    QTest::addColumn<QByteArray>("trickle"); // what the idle clients send after connecting

    QTest::addRow("silent clients") << QByteArray();
    QTest::addRow("clients trickling a request line") << QByteArray("GET /a.x");
}

void TestHttpListener::idleConnectionMakesRoom()
{
    QFETCH(QByteArray, trickle);
    QVERIFY(writeFile(target(QStringLiteral("a.xml")), "<a/>"));
    m_listener->setMaxConnections(3);

    // The kernel hands a silent connection over after a second's wait, a trickling one with its
    // first byte.
    std::vector<std::unique_ptr<HttpTestClient>> idle;
    const auto addIdle = [this, &idle, &trickle] {
        idle.push_back(std::make_unique<HttpTestClient>(port()));
        idle.back()->open();
        if (!idle.back()->waitConnected())
            return false;
        idle.back()->send(trickle.left(1));
        return idle.back()->waitSent();
    };
    for (int i = 0; i < 3; ++i) {
        QVERIFY(addIdle());
        QTRY_COMPARE(m_listener->connectionCount(), i + 1); // accepted in this order
    }
    // Bytes of a request that never ends do not make a connection any younger.
    for (auto &client : idle) {
        client->send(trickle.mid(1));
        QVERIFY(client->waitSent());
    }
    idle.front()->settle();

    // A newcomer is served although every place is taken; the one idle longest made room.
    bool closed = false;
    QCOMPARE(HttpTestClient::exchange(port(), "GET /a.xml HTTP/1.1\r\n\r\n", &closed),
             expectedResponse("<a/>"));
    QVERIFY(closed);
    QVERIFY(idle[0]->waitClosed());
    QVERIFY(!idle[1]->isClosed());
    QVERIFY(!idle[2]->isClosed());

    // Full again: the next newcomer takes the place of the next oldest, not of the youngest.
    QVERIFY(addIdle());
    QTRY_COMPARE(m_listener->connectionCount(), 3);
    QCOMPARE(HttpTestClient::exchange(port(), "GET /a.xml HTTP/1.1\r\n\r\n", &closed),
             expectedResponse("<a/>"));
    QVERIFY(idle[1]->waitClosed());
    QVERIFY(!idle[2]->isClosed());
    QVERIFY(!idle[3]->isClosed());
}

void TestHttpListener::lateHeadersDoNotCutTheBody()
{
    // Far more than the socket buffers hold, so the response is still on its way when the
    // headers arrive; unread at close, they would make the kernel reset the connection.
    const QByteArray body = contactLines(8 * 1024 * 1024);
    QVERIFY(writeFile(target(QStringLiteral("big.xml")), body));

    // The race is the kernel's: a few rounds catch it reliably.
    for (int round = 0; round < 4; ++round) {
        // The request line goes out with the connect, so it is there when the server accepts.
        HttpTestClient client(port());
        client.open();
        QVERIFY(client.socket().waitForConnected(5000)); // the kernel accepts; the server not yet
        client.send("GET /big.xml HTTP/1.1\r\n");
        QVERIFY(client.waitSent());
        QVERIFY(HttpTestClient::waitFor([&client] { return !client.received().isEmpty(); }, 5000));
        client.send("Host: 127.0.0.1\r\nUser-Agent: slow to finish\r\n\r\n");
        QVERIFY(client.waitSent());
        QVERIFY(client.waitClosed(20000));
        QCOMPARE(client.received().size(), expectedResponse(body).size());
        QVERIFY(client.received() == expectedResponse(body));
    }
    QTRY_COMPARE(m_listener->connectionCount(), 0);
}

void TestHttpListener::connectionsReleased()
{
    QVERIFY(writeFile(target(QStringLiteral("a.xml")), "<a/>"));
    QSignalSpy counts(m_listener.get(), &HttpListener::connectionCountChanged);

    QCOMPARE(HttpTestClient::exchange(port(), "GET /a.xml HTTP/1.1\r\n\r\n"),
             expectedResponse("<a/>"));
    // Which targets are refused is the request line's and the cache's to decide
    // (tst_httprequestline, tst_httpfilecache); here each refusal closes without a byte.
    QCOMPARE(HttpTestClient::exchange(port(), "GET /nothing.xml HTTP/1.1\r\n\r\n"), QByteArray());
    QVERIFY(writeFile(m_dir->filePath(QStringLiteral("secret.xml")), "<secret/>"));
    QCOMPARE(HttpTestClient::exchange(port(), "GET /../secret.xml HTTP/1.1\r\n\r\n"), QByteArray());
    {
        // A client that gives up half-way.
        HttpTestClient client(port());
        client.open();
        client.send("GET /a.x");
        QVERIFY(client.waitSent());
        QTRY_COMPARE(m_listener->connectionCount(), 1);
        client.socket().abort();
    }
    QTRY_COMPARE(m_listener->connectionCount(), 0);
    QTRY_COMPARE(m_listener->findChildren<HttpConnection *>().size(), 0);
    // At least the client that gave up was counted in and out again.
    QVERIFY(counts.size() >= 2);
    QCOMPARE(counts.last().at(0).toInt(), 0);
}

QTEST_GUILESS_MAIN(TestHttpListener)
#include "tst_httplistener.moc"
