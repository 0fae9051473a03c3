// serve, run as a real process of the editor: the target folder over HTTP until SIGINT or
// SIGTERM, the base URL on stdout, usage and listen failures as exit codes. Requests go to
// 127.0.0.1 only.

#include "http/localaddress.h"
#include "testfiles.h"
#include "testworkdir.h"

#include <QHostAddress>
#include <QProcess>
#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <QtTest>

#include <csignal>
#include <memory>

#ifdef Q_OS_UNIX
#include <signal.h>
#endif

namespace {

std::unique_ptr<QProcess> startServe(const QString &workDir, const QStringList &args)
{
    auto process = std::make_unique<QProcess>();
    process->setWorkingDirectory(workDir);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process->setProcessEnvironment(env);
    process->start(QStringLiteral(QCD_EDITOR_PATH), texts({"serve"}) + args);
    return process;
}

// The first line on stdout, or empty when the process ends or stays silent.
QString readUrl(QProcess &process)
{
    QDeadlineTimer deadline(15000);
    while (!process.canReadLine()) {
        if (process.state() == QProcess::NotRunning || deadline.hasExpired())
            return QString();
        process.waitForReadyRead(100);
    }
    return QString::fromLocal8Bit(process.readLine()).trimmed();
}

// The server runs in another process, so blocking here is fine.
QByteArray fetch(quint16 port, const QByteArray &request)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(5000))
        return "<no connection>";
    socket.write(request);
    QByteArray received;
    QDeadlineTimer deadline(5000);
    while (socket.state() == QAbstractSocket::ConnectedState && !deadline.hasExpired()) {
        socket.waitForReadyRead(100);
        received += socket.readAll();
    }
    return received + socket.readAll();
}

void writeSettings(const TestWorkDir &dir, const QByteArray &userSection)
{
    QDir().mkpath(dir.filePath(QStringLiteral("app/config")));
    QVERIFY(
        writeFile(dir.filePath(QStringLiteral("app/config/Config.ini")), "[user]\n" + userSection));
}

void stop(QProcess &process)
{
    process.terminate();
    if (!process.waitForFinished(10000))
        process.kill();
    process.waitForFinished(5000);
}

} // namespace

class TestServe : public QObject
{
    Q_OBJECT

private slots:
    void servesUntilSignal_data();
    void servesUntilSignal();
    void wrongUsage_data();
    void wrongUsage();
    void portInUse();
    void portFromSettings_data();
    void portFromSettings();
    void defaultAddressIsTheEditors_data();
    void defaultAddressIsTheEditors();
};

void TestServe::servesUntilSignal_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::addRow("SIGTERM") << int(SIGTERM);
    QTest::addRow("SIGINT") << int(SIGINT);
}

void TestServe::servesUntilSignal()
{
    QFETCH(int, signalNumber);
    TestWorkDir dir;
    writeSettings(dir, "httpserver=off\nport=8123\n");
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("target"))));

    auto process = startServe(dir.path(), texts({"--address", "127.0.0.1", "--port", "0"}));
    const QUrl url(readUrl(*process));
    QVERIFY2(url.isValid() && url.port() > 0, process->readAllStandardError().constData());
    QCOMPARE(url.host(), QStringLiteral("127.0.0.1"));
    QCOMPARE(url.scheme(), QStringLiteral("http"));
    QCOMPARE(url.path(), QStringLiteral("/"));
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("target"))).isDir());

    QVERIFY(writeFile(dir.filePath(QStringLiteral("target/book.xml")), "<a>\r\n</a>\r\n"));
    QCOMPARE(fetch(quint16(url.port()), "GET /book.xml HTTP/1.1\r\nHost: x\r\n\r\n"),
             QByteArray("HTTP/1.1 200 OK\r\nServer: nginx\r\n"
                        "Content-Type: application/octet-stream;charset=utf-8\r\n"
                        "Connection: close\r\nContent-Length: 9\r\n\r\n<a>\n</a>\n"));
    QCOMPARE(fetch(quint16(url.port()), "GET /../app/config/Config.ini HTTP/1.1\r\n\r\n"),
             QByteArray());

#ifdef Q_OS_UNIX
    QCOMPARE(::kill(pid_t(process->processId()), signalNumber), 0);
#else
    Q_UNUSED(signalNumber);
    process->terminate();
#endif
    QVERIFY(process->waitForFinished(10000));
    QCOMPARE(process->exitStatus(), QProcess::NormalExit);
    QCOMPARE(process->exitCode(), 0);

    QSettings settings(dir.filePath(QStringLiteral("app/config/Config.ini")), QSettings::IniFormat);
    QCOMPARE(settings.value(QStringLiteral("user/httpserver")).toString(), QStringLiteral("off"));
    QCOMPARE(settings.value(QStringLiteral("user/port")).toString(), QStringLiteral("8123"));
}

void TestServe::wrongUsage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addRow("port not a number") << texts({"--port", "http"});
    QTest::addRow("port too large") << texts({"--port", "65536"});
    QTest::addRow("port without value") << texts({"--port"});
    QTest::addRow("port twice") << texts({"--port", "1", "--port", "2"});
    QTest::addRow("address not an address") << texts({"--address", "my-phone-server"});
    QTest::addRow("unknown option") << texts({"--daemon"});
    QTest::addRow("stray argument") << texts({"target"});
}

void TestServe::wrongUsage()
{
    QFETCH(QStringList, args);
    TestWorkDir dir;
    auto process = startServe(dir.path(), args);
    QVERIFY(process->waitForFinished(15000));
    QCOMPARE(process->exitCode(), 2);
    QCOMPARE(process->readAllStandardOutput(), QByteArray());
    QVERIFY(process->readAllStandardError().contains("Usage:"));
}

void TestServe::portInUse()
{
    TestWorkDir dir;
    QTcpServer blocker;
    QVERIFY(blocker.listen(QHostAddress::LocalHost, 0));
    const QString port = QString::number(blocker.serverPort());

    auto process = startServe(dir.path(), texts({"--address", "127.0.0.1", "--port"}) << port);
    QVERIFY(process->waitForFinished(15000));
    QCOMPARE(process->exitCode(), 1);
    QCOMPARE(process->readAllStandardOutput(), QByteArray());
    const QByteArray error = process->readAllStandardError();
    QVERIFY2(error.contains("cannot listen on 127.0.0.1 port " + port.toLatin1()),
             error.constData());
}

void TestServe::portFromSettings_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<int>("port");

    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
    const int freePort = probe.serverPort();
    probe.close();

    QTest::addRow("stored port") << "port=" + QByteArray::number(freePort) + "\n" << freePort;
    QTest::addRow("no port") << QByteArray() << 80;
    QTest::addRow("zero") << QByteArray("port=0\n") << 80;
    QTest::addRow("not a number") << QByteArray("port=eighty\n") << 80;
}

void TestServe::portFromSettings()
{
    QFETCH(QByteArray, settings);
    QFETCH(int, port);
    TestWorkDir dir;
    writeSettings(dir, settings);

    auto process = startServe(dir.path(), texts({"--address", "127.0.0.1"}));
    const QString url = readUrl(*process);
    if (url.isEmpty()) {
        // Port 80 may be taken or need privileges: then the failure names it.
        QVERIFY(process->waitForFinished(15000));
        QCOMPARE(process->exitCode(), 1);
        const QByteArray error = process->readAllStandardError();
        QVERIFY2(error.contains("port " + QByteArray::number(port) + ":"), error.constData());
        return;
    }
    QCOMPARE(url, QStringLiteral("http://127.0.0.1:%1/").arg(port));
    stop(*process);
    QCOMPARE(process->exitCode(), 0);
}

void TestServe::defaultAddressIsTheEditors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addRow("no address given") << texts({"--port", "0"});
    // The URL names where phones reach it, not the wildcard.
    QTest::addRow("every interface") << texts({"--address", "0.0.0.0", "--port", "0"});
}

void TestServe::defaultAddressIsTheEditors()
{
    QFETCH(QStringList, args);
    TestWorkDir dir;
    QVERIFY(writeFile(dir.filePath(QStringLiteral("target/a.xml")), "<a/>"));
    auto process = startServe(dir.path(), args);
    const QUrl url(readUrl(*process));
    QVERIFY2(url.isValid(), process->readAllStandardError().constData());
    QCOMPARE(url.host(), LocalAddress::current());
    QCOMPARE(QHostAddress(url.host()).protocol(), QAbstractSocket::IPv4Protocol);
    // Listening on every interface includes the loopback one.
    if (args.contains(QStringLiteral("0.0.0.0")))
        QVERIFY(fetch(quint16(url.port()), "GET /a.xml HTTP/1.1\r\n\r\n").endsWith("\r\n\r\n<a/>"));
    stop(*process);
    QCOMPARE(process->exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestServe)
#include "tst_serve.moc"
