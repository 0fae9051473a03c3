#include "http/httpserver.h"

#include "http/httplistener.h"
#include "http/localaddress.h"
#include "shell/config.h"
#include "shell/langtranslater.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QHostAddress>

namespace {

const QString &userGroup()
{
    static const QString group = QStringLiteral("user");
    return group;
}

} // namespace

HttpServer *HttpServer::instance()
{
    static HttpServer server;
    return &server;
}

HttpServer::HttpServer() : m_rootPath(QDir::current().absolutePath() + QStringLiteral("/target/"))
{
    m_listener = new HttpListener(m_rootPath, this);
    Config *config = Config::instance();
    m_open =
        config->value(userGroup(), QStringLiteral("httpserver")).toString() == QLatin1String("on");
    const int storedPort = config->value(userGroup(), QStringLiteral("port")).toInt();
    // Out-of-range values are as unusable as missing ones.
    m_port = storedPort >= 1 && storedPort <= 65535 ? storedPort : 80;
    // Sockets must be gone before the application object takes the event loop with it.
    qAddPostRoutine(&HttpServer::shutDown);
}

void HttpServer::shutDown()
{
    HttpServer *server = instance();
    server->m_listener->close();
    server->m_listener->closeConnections();
}

bool HttpServer::isOpen() const
{
    return m_open;
}

int HttpServer::port() const
{
    return m_port;
}

bool HttpServer::isListening() const
{
    return m_listener->isListening();
}

void HttpServer::setOpen(bool on)
{
    m_open = on;
    Config *config = Config::instance();
    if (on) {
        const QString ip = localIp();
        qDebug() << "Open Httpserver, ip:" << ip << "port:" << m_port;
        if (!m_listener->listenOn(QHostAddress(ip), m_port)) {
            qWarning() << "Open Httpserver failed:" << m_listener->listenError();
            emit sigListenFailed();
        }
        config->setValue(userGroup(), QStringLiteral("httpserver"), QStringLiteral("on"));
    } else {
        qDebug() << "Close Httpserver";
        m_listener->close();
        config->setValue(userGroup(), QStringLiteral("httpserver"), QStringLiteral("off"));
    }
}

void HttpServer::setPort(int port)
{
    qDebug() << "Set Server Port:" << port;
    m_port = port;
    Config::instance()->setValue(userGroup(), QStringLiteral("port"),
                                 QStringLiteral("%1").arg(port));
}

void HttpServer::close()
{
    m_listener->close();
}

QString HttpServer::localIp() const
{
    return LocalAddress::current();
}

QString HttpServer::serverUrl() const
{
    return QStringLiteral("http://") + localIp() + QLatin1Char(':') + QString::number(m_port) +
           QLatin1Char('/');
}

QString HttpServer::listenFailedText()
{
    return Langtranslater::lookup(QStringLiteral("Failed to start http server"));
}
