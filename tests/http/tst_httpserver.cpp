#include "http/httpserver.h"
#include "http/localaddress.h"
#include "shell/config.h"
#include "testfiles.h"
#include "testworkdir.h"

#include <QTcpServer>
#include <QtTest>

#include <memory>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A port nobody listens on right now.
quint16 freePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

// Whether something listens on the address and port: binding it ourselves then fails. Sends
// nothing anywhere.
bool isTaken(const QString &address, int port)
{
    QTcpServer probe;
    return !probe.listen(QHostAddress(address), quint16(port));
}

QString storedValue(const QString &key)
{
    return Config::instance()->value(QStringLiteral("user"), key).toString();
}

// One request with blocking calls on this thread, so that its event loop never runs meanwhile;
// everything until the server closes, or what came within five seconds.
QByteArray blockingExchange(quint16 port, const QByteArray &request)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    timeval timeout{5, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    QByteArray received;
    if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
        ::send(fd, request.constData(), size_t(request.size()), MSG_NOSIGNAL) == request.size()) {
        char buffer[4096];
        ssize_t count;
        while ((count = ::recv(fd, buffer, sizeof buffer, 0)) > 0)
            received.append(buffer, int(count));
    }
    ::close(fd);
    return received;
}

} // namespace

// The server is one object per process: it is made once, from the settings written first.
class TestHttpServer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void chooseAddress_data();
    void chooseAddress();
    void localIpReachable();
    void serverUrlAlwaysHasPort();
    void switchOnAndOff();
    void portInUseReportsFailure();
    void servesWhileGuiThreadBlocks();

private:
    std::unique_ptr<TestWorkDir> m_dir;
    int m_firstPort = 0;
};

void TestHttpServer::initTestCase()
{
    m_dir = std::make_unique<TestWorkDir>();
    m_firstPort = freePort();
    QVERIFY(m_firstPort > 0);
    QVERIFY(writeFile(m_dir->filePath(QStringLiteral("app/config/Config.ini")),
                      "[user]\nhttpserver=on\nport=" + QByteArray::number(m_firstPort) + "\n"));
}

void TestHttpServer::cleanupTestCase()
{
    HttpServer::instance()->setOpen(false);
    // Written now, so that nothing is left to write into the removed folder at exit.
    Config::instance()->sync();
    m_dir.reset();
}

void TestHttpServer::chooseAddress_data()
{
    QTest::addColumn<QStringList>("lookedUp");
    QTest::addColumn<QStringList>("interfaces");
    QTest::addColumn<QString>("chosen");

    QTest::addRow("first non-loopback ipv4 of the look-up")
        << texts({"127.0.1.1", "fe80::1", "192.168.1.20", "10.0.0.5"}) << texts({"172.16.0.9"})
        << QStringLiteral("192.168.1.20");
    QTest::addRow("ipv6 skipped") << texts({"2001:db8::5", "10.0.0.5"}) << QStringList()
                                  << QStringLiteral("10.0.0.5");
    QTest::addRow("look-up only loopback: first interface")
        << texts({"127.0.1.1"}) << texts({"fe80::2", "10.1.2.3", "10.9.9.9"})
        << QStringLiteral("10.1.2.3");
    QTest::addRow("look-up empty: first interface")
        << QStringList() << texts({"192.0.2.7"}) << QStringLiteral("192.0.2.7");
    QTest::addRow("nothing reachable")
        << texts({"127.0.0.1", "::1"}) << texts({"fe80::3"}) << QStringLiteral("127.0.0.1");
}

void TestHttpServer::chooseAddress()
{
    QFETCH(QStringList, lookedUp);
    QFETCH(QStringList, interfaces);
    QFETCH(QString, chosen);
    const auto toAddresses = [](const QStringList &texts) {
        QList<QHostAddress> addresses;
        for (const QString &text : texts)
            addresses.append(QHostAddress(text));
        return addresses;
    };
    QCOMPARE(LocalAddress::choose(toAddresses(lookedUp), toAddresses(interfaces)), chosen);
}

void TestHttpServer::localIpReachable()
{
    const QHostAddress address(HttpServer::instance()->localIp());
    QCOMPARE(address.protocol(), QAbstractSocket::IPv4Protocol);
    bool hasInterface = false;
    for (const QHostAddress &candidate : LocalAddress::interfaceAddresses())
        hasInterface = hasInterface || (candidate.protocol() == QAbstractSocket::IPv4Protocol);
    // Loopback only when the host has no other IPv4 address at all.
    QCOMPARE(address.isLoopback(), !hasInterface);
}

void TestHttpServer::serverUrlAlwaysHasPort()
{
    HttpServer *server = HttpServer::instance();
    const int port = server->port();
    const QString ip = server->localIp();
    QCOMPARE(server->serverUrl(), QStringLiteral("http://%1:%2/").arg(ip).arg(port));
    server->setPort(80);
    QCOMPARE(server->serverUrl(), QStringLiteral("http://%1:80/").arg(ip));
    QCOMPARE(storedValue(QStringLiteral("port")), QStringLiteral("80"));
    server->setPort(port);
    QCOMPARE(storedValue(QStringLiteral("port")), QString::number(port));
}

void TestHttpServer::switchOnAndOff()
{
    HttpServer *server = HttpServer::instance();
    QSignalSpy failures(server, &HttpServer::sigListenFailed);
    server->setOpen(true);
    server->setOpen(true); // switching on again keeps listening
    QVERIFY(server->isOpen());
    QVERIFY(server->isListening());
    QVERIFY(isTaken(server->localIp(), server->port()));
    QCOMPARE(storedValue(QStringLiteral("httpserver")), QStringLiteral("on"));

    // Closing stops listening but keeps the switch on.
    server->close();
    QVERIFY(!server->isListening());
    QVERIFY(server->isOpen());
    QCOMPARE(storedValue(QStringLiteral("httpserver")), QStringLiteral("on"));

    server->setOpen(false);
    QVERIFY(!server->isOpen());
    QVERIFY(!server->isListening());
    QVERIFY(!isTaken(server->localIp(), server->port()));
    QCOMPARE(storedValue(QStringLiteral("httpserver")), QStringLiteral("off"));
    QCOMPARE(failures.size(), 0);
}

void TestHttpServer::portInUseReportsFailure()
{
    HttpServer *server = HttpServer::instance();
    const QString ip = server->localIp();
    QTcpServer blocker;
    QVERIFY(blocker.listen(QHostAddress(ip), 0));
    server->setPort(blocker.serverPort());

    QSignalSpy failures(server, &HttpServer::sigListenFailed);
    server->setOpen(true);
    QCOMPARE(failures.size(), 1);
    QVERIFY(server->isOpen());
    QVERIFY(!server->isListening());
    QCOMPARE(storedValue(QStringLiteral("httpserver")), QStringLiteral("on"));
    // Without a language file the warning shows the key itself.
    QCOMPARE(HttpServer::listenFailedText(), QStringLiteral("Failed to start http server"));

    blocker.close();
    server->setOpen(true);
    QCOMPARE(failures.size(), 1);
    QVERIFY(server->isListening());
    server->setOpen(false);
}

void TestHttpServer::servesWhileGuiThreadBlocks()
{
    // Each listen serves the target folder of the working directory of that moment.
    HttpServer *server = HttpServer::instance();
    server->setListenAddress(QHostAddress::LocalHost);
    server->setPort(freePort());
    for (const char *content : {"<first/>", "<second/>"}) {
        TestWorkDir work;
        QVERIFY(writeFile(work.filePath(QStringLiteral("target/a.xml")), content));
        server->setOpen(true);
        QVERIFY(server->isListening());
        const QByteArray response =
            blockingExchange(quint16(server->port()), "GET /a.xml HTTP/1.1\r\n\r\n");
        QVERIFY2(response.endsWith("\r\n\r\n" + QByteArray(content)), response.constData());
        server->setOpen(false);
    }
    server->setListenAddress(QHostAddress());
}

QTEST_GUILESS_MAIN(TestHttpServer)
#include "tst_httpserver.moc"
