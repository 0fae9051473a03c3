// serve, run as a real process of the editor: the target folder over HTTP until SIGINT or
// SIGTERM, the base URL on stdout, usage and listen failures as exit codes. Requests go to
// 127.0.0.1 only.

#include "editorprocess.h"
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

#include <memory>

#include <signal.h>

namespace {

std::unique_ptr<QProcess> startServe(const QString &workDir, const QStringList &args)
{
    auto process = std::make_unique<QProcess>();
    process->setWorkingDirectory(workDir);
    process->setProcessEnvironment(headlessEnvironment());
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
    void exitCodes_data();
    void exitCodes();
    void printedUrl_data();
    void printedUrl();
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
    // The response itself and what is refused: tst_httplistener.
    QVERIFY(
        fetch(quint16(url.port()), "GET /book.xml HTTP/1.1\r\n\r\n").endsWith("\r\n<a>\n</a>\n"));

    QCOMPARE(::kill(pid_t(process->processId()), signalNumber), 0);
    QVERIFY(process->waitForFinished(10000));
    QCOMPARE(process->exitStatus(), QProcess::NormalExit);
    QCOMPARE(process->exitCode(), 0);

    QSettings settings(dir.filePath(QStringLiteral("app/config/Config.ini")), QSettings::IniFormat);
    QCOMPARE(settings.value(QStringLiteral("user/httpserver")).toString(), QStringLiteral("off"));
    QCOMPARE(settings.value(QStringLiteral("user/port")).toString(), QStringLiteral("8123"));
}

// 2 for wrong usage with the usage text, 1 when it cannot listen, naming address and port.
void TestServe::exitCodes_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::addRow("port not a number") << texts({"--port", "http"}) << 2 << "Usage:";
    QTest::addRow("port too large") << texts({"--port", "65536"}) << 2 << "Usage:";
    QTest::addRow("port without value") << texts({"--port"}) << 2 << "Usage:";
    QTest::addRow("port twice") << texts({"--port", "1", "--port", "2"}) << 2 << "Usage:";
    QTest::addRow("address not an address")
        << texts({"--address", "my-phone-server"}) << 2 << "Usage:";
    QTest::addRow("unknown option") << texts({"--daemon"}) << 2 << "Usage:";
    QTest::addRow("stray argument") << texts({"target"}) << 2 << "Usage:";
    // BUSY stands for a port another socket holds.
    QTest::addRow("port in use") << texts({"--address", "127.0.0.1", "--port", "BUSY"}) << 1
                                 << "cannot listen on 127.0.0.1 port BUSY";
}

void TestServe::exitCodes()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    TestWorkDir dir;
    QTcpServer blocker;
    QVERIFY(blocker.listen(QHostAddress::LocalHost, 0));
    const QString busy = QString::number(blocker.serverPort());
    args.replaceInStrings(QStringLiteral("BUSY"), busy);
    auto process = startServe(dir.path(), args);
    QVERIFY(process->waitForFinished(15000));
    QCOMPARE(process->exitCode(), exitCode);
    QCOMPARE(process->readAllStandardOutput(), QByteArray());
    const QByteArray error = process->readAllStandardError();
    QVERIFY2(QString::fromUtf8(error).contains(message.replace(QStringLiteral("BUSY"), busy)),
             error.constData());
}

// The port comes from the settings (80 when they hold none that is usable); the URL names the
// editor's address, not the wildcard, where none or every interface is asked for.
void TestServe::printedUrl_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("host"); // empty: the editor's own address
    QTest::addColumn<int>("port");     // 0: any port

    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
    const int freePort = probe.serverPort();
    probe.close();
    const QStringList loopback = texts({"--address", "127.0.0.1"});
    const QString local = QStringLiteral("127.0.0.1");
    QTest::addRow("stored port") << "port=" + QByteArray::number(freePort) + "\n"
                                 << loopback << local << freePort;
    QTest::addRow("no port") << QByteArray() << loopback << local << 80;
    QTest::addRow("zero") << QByteArray("port=0\n") << loopback << local << 80;
    QTest::addRow("not a number") << QByteArray("port=eighty\n") << loopback << local << 80;
    QTest::addRow("no address given") << QByteArray() << texts({"--port", "0"}) << QString() << 0;
    QTest::addRow("every interface")
        << QByteArray() << texts({"--address", "0.0.0.0", "--port", "0"}) << QString() << 0;
}

void TestServe::printedUrl()
{
    QFETCH(QByteArray, settings);
    QFETCH(QStringList, args);
    QFETCH(QString, host);
    QFETCH(int, port);
    TestWorkDir dir;
    writeSettings(dir, settings);
    QVERIFY(writeFile(dir.filePath(QStringLiteral("target/a.xml")), "<a/>"));
    auto process = startServe(dir.path(), args);
    const QString printed = readUrl(*process);
    if (printed.isEmpty() && port == 80) {
        // Port 80 may be taken or need privileges: then the failure names it.
        QVERIFY(process->waitForFinished(15000));
        QCOMPARE(process->exitCode(), 1);
        const QByteArray error = process->readAllStandardError();
        QVERIFY2(error.contains("port 80:"), error.constData());
        return;
    }
    const QUrl url(printed);
    QVERIFY2(url.isValid() && url.port() > 0, process->readAllStandardError().constData());
    QCOMPARE(url.host(), host.isEmpty() ? LocalAddress::current() : host);
    QCOMPARE(QHostAddress(url.host()).protocol(), QAbstractSocket::IPv4Protocol);
    if (port != 0)
        QCOMPARE(url.port(), port);
    // Listening on every interface includes the loopback one.
    if (args.contains(QStringLiteral("0.0.0.0")))
        QVERIFY(fetch(quint16(url.port()), "GET /a.xml HTTP/1.1\r\n\r\n").endsWith("\r\n\r\n<a/>"));
    stop(*process);
    QCOMPARE(process->exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestServe)
#include "tst_serve.moc"
