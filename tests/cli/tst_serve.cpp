// serve, run as a real process of the editor: the target folder over HTTP until SIGINT or
// SIGTERM, the base URL on stdout (usage and listen failures: the exit-code table of
// tst_phonebookcommands). Requests go to 127.0.0.1 only.

#include "editorprocess.h"
#include "http/localaddress.h"
#include "testfiles.h"
#include "testworkdir.h"

#include <QHostAddress>
#include <QProcess>
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

} // namespace

class TestServe : public QObject
{
    Q_OBJECT

private slots:
    void serves_data();
    void serves();
};

// The target folder (made when missing) is served until SIGINT or SIGTERM, and the settings are
// left as they were. The port comes from them (80 when they hold none that is usable); the URL
// names the editor's address, not the wildcard, where none or every interface is asked for.
void TestServe::serves_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("host"); // empty: the editor's own address
    QTest::addColumn<int>("port");     // 0: any port
    QTest::addColumn<int>("signalNumber");

    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
    const int freePort = probe.serverPort();
    probe.close();
    const QStringList loopback = texts({"--address", "127.0.0.1"});
    const QString local = QStringLiteral("127.0.0.1");
    QTest::addRow("stored port, SIGINT")
        << "httpserver=off\nport=" + QByteArray::number(freePort) + "\n"
        << loopback << local << freePort << int(SIGINT);
    QTest::addRow("not a number") << QByteArray("port=eighty\n") << loopback << local << 80
                                  << int(SIGTERM);
    QTest::addRow("every interface, SIGTERM")
        << QByteArray() << texts({"--address", "0.0.0.0", "--port", "0"}) << QString() << 0
        << int(SIGTERM);
}

void TestServe::serves()
{
    QFETCH(QByteArray, settings);
    QFETCH(QStringList, args);
    QFETCH(QString, host);
    QFETCH(int, port);
    QFETCH(int, signalNumber);
    TestWorkDir dir;
    writeSettings(dir, settings);
    const QString config = dir.filePath(QStringLiteral("app/config/Config.ini"));
    const QByteArray settingsBefore = readAll(config);
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
    QCOMPARE(printed, QStringLiteral("http://%1:%2/")
                          .arg(host.isEmpty() ? LocalAddress::current() : host)
                          .arg(url.port()));
    QCOMPARE(QHostAddress(url.host()).protocol(), QAbstractSocket::IPv4Protocol);
    if (port != 0)
        QCOMPARE(url.port(), port);
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("target"))).isDir());
    // Requests go to the loopback interface, alone or among all. The response itself and what is
    // refused: tst_httplistener.
    if (url.host() == QLatin1String("127.0.0.1") || args.contains(QStringLiteral("0.0.0.0"))) {
        QVERIFY(writeFile(dir.filePath(QStringLiteral("target/book.xml")), "<a>\r\n</a>\r\n"));
        QVERIFY(fetch(quint16(url.port()), "GET /book.xml HTTP/1.1\r\n\r\n")
                    .endsWith("\r\n<a>\n</a>\n"));
    }
    QCOMPARE(::kill(pid_t(process->processId()), signalNumber), 0);
    QVERIFY(process->waitForFinished(10000));
    QCOMPARE(process->exitStatus(), QProcess::NormalExit);
    QCOMPARE(process->exitCode(), 0);
    QCOMPARE(readAll(config), settingsBefore);
}

QTEST_GUILESS_MAIN(TestServe)
#include "tst_serve.moc"
