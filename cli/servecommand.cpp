#include "cli/servecommand.h"

#include "cli/commandline.h"
#include "http/httplistener.h"
#include "http/httpserver.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QHostAddress>
#include <QMutex>
#include <QMutexLocker>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

// Every request logs two lines; writing them to stderr one system call each would cost more than
// answering. They are collected and written a few times a second, warnings at once.
QMutex logMutex;
QByteArray pendingLog;

void flushLog()
{
    QMutexLocker locker(&logMutex);
    if (pendingLog.isEmpty())
        return;
    std::fwrite(pendingLog.constData(), 1, size_t(pendingLog.size()), stderr);
    std::fflush(stderr);
    pendingLog.clear();
}

void bufferedMessageHandler(QtMsgType type, const QMessageLogContext &context,
                            const QString &message)
{
    const QString line = qFormatLogMessage(type, context, message);
    {
        QMutexLocker locker(&logMutex);
        pendingLog += line.toLocal8Bit();
        pendingLog += '\n';
        if (type == QtDebugMsg && pendingLog.size() < 64 * 1024)
            return;
    }
    flushLog();
    if (type == QtFatalMsg)
        std::abort();
}

void requestStop(int)
{
    stopRequested = 1;
}

QString urlHost(const QHostAddress &address)
{
    if (address.protocol() == QAbstractSocket::IPv6Protocol)
        return QLatin1Char('[') + address.toString() + QLatin1Char(']');
    return address.toString();
}

} // namespace

int ServeCommand::run(const QStringList &args)
{
    QString portText;
    QString addressText;
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        QString *value = nullptr;
        if (arg == QLatin1String("--port"))
            value = &portText;
        else if (arg == QLatin1String("--address"))
            value = &addressText;
        else
            return CommandLine::usageError(
                QStringLiteral("serve: unexpected argument '%1'").arg(arg));
        if (i + 1 >= args.size())
            return CommandLine::usageError(QStringLiteral("serve: %1 needs a value").arg(arg));
        if (!value->isNull())
            return CommandLine::usageError(QStringLiteral("serve: %1 given twice").arg(arg));
        *value = args.at(++i);
    }

    HttpServer *server = HttpServer::instance();
    int port = server->port();
    if (!portText.isNull()) {
        bool ok = false;
        port = portText.toInt(&ok);
        // 0 asks for any free port; the URL then names the one chosen.
        if (!ok || port < 0 || port > 65535)
            return CommandLine::usageError(
                QStringLiteral("serve: '%1' is not a port (0 to 65535)").arg(portText));
    }
    QHostAddress address;
    if (!addressText.isNull() && !address.setAddress(addressText))
        return CommandLine::usageError(
            QStringLiteral("serve: '%1' is not an IP address").arg(addressText));
    // Where the editor listens, unless told otherwise; the look-up blocks, so only when needed.
    const bool anyAddress = address == QHostAddress(QHostAddress::AnyIPv4) ||
                            address == QHostAddress(QHostAddress::AnyIPv6) ||
                            address == QHostAddress(QHostAddress::Any);
    const QString localIp = addressText.isNull() || anyAddress ? server->localIp() : QString();
    if (addressText.isNull())
        address.setAddress(localIp);

    const QString rootPath = QDir::current().absolutePath() + QStringLiteral("/target/");
    if (!QDir().mkpath(rootPath))
        return CommandLine::failure(QStringLiteral("cannot create the folder %1").arg(rootPath));

    // Set before the URL goes out, so that whoever reads it may stop the server at once.
    stopRequested = 0;
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);

    const QtMessageHandler previousHandler = qInstallMessageHandler(bufferedMessageHandler);
    HttpListener listener(rootPath);
    qDebug() << "Open Httpserver, ip:" << address.toString() << "port:" << port;
    if (!listener.listenOn(address, port)) {
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
        qInstallMessageHandler(previousHandler);
        flushLog();
        return CommandLine::failure(QStringLiteral("cannot listen on %1 port %2: %3")
                                        .arg(address.toString())
                                        .arg(port)
                                        .arg(listener.listenError()));
    }

    const QString url = QStringLiteral("http://") + (anyAddress ? localIp : urlHost(address)) +
                        QLatin1Char(':') + QString::number(listener.serverPort()) +
                        QLatin1Char('/');
    std::fputs((url + QLatin1Char('\n')).toLocal8Bit().constData(), stdout);
    std::fflush(stdout);

    // The handler may only set a flag; the event loop looks at it.
    QTimer stopPoll;
    QObject::connect(&stopPoll, &QTimer::timeout, [] {
        flushLog();
        if (stopRequested)
            QCoreApplication::quit();
    });
    stopPoll.start(100);
    QCoreApplication::exec();

    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    qDebug() << "Close Httpserver";
    listener.close();
    listener.closeConnections();
    qInstallMessageHandler(previousHandler);
    flushLog();
    return CommandLine::Success;
}
