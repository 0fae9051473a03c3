#include "http/httpserver.h"

#include "http/httplistener.h"
#include "http/localaddress.h"
#include "shell/config.h"
#include "shell/langtranslater.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QThread>

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

HttpServer::HttpServer() : m_thread(new QThread(this))
{
    m_thread->setObjectName(QStringLiteral("HttpServer"));
    m_listener = new HttpListener(QString());
    m_listener->moveToThread(m_thread);

    Config *config = Config::instance();
    m_open =
        config->value(userGroup(), QStringLiteral("httpserver")).toString() == QLatin1String("on");
    const int storedPort = config->value(userGroup(), QStringLiteral("port")).toInt();
    // Out-of-range values are as unusable as missing ones.
    m_port = storedPort >= 1 && storedPort <= 65535 ? storedPort : 80;
    // The thread must be gone before the application object takes the event loops with it.
    qAddPostRoutine(&HttpServer::shutDown);
}

HttpServer::~HttpServer()
{
    // Only reached without an application object, whose end would have stopped the thread.
    if (m_thread->isRunning()) {
        m_thread->quit();
        m_thread->wait();
    }
}

template <typename Call> void HttpServer::onServerThread(Call call)
{
    // Started at the first use, so that commands that only ask for the URL start no thread.
    if (!m_listener)
        return;
    if (!m_thread->isRunning())
        m_thread->start();
    QMetaObject::invokeMethod(m_listener, call, Qt::BlockingQueuedConnection);
}

void HttpServer::shutDown()
{
    HttpServer *server = instance();
    if (!server->m_thread->isRunning() || !server->m_listener)
        return;
    HttpListener *listener = server->m_listener;
    server->onServerThread([listener] { delete listener; });
    server->m_listener = nullptr;
    server->m_listening = false;
    server->m_thread->quit();
    server->m_thread->wait();
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
    return m_listening;
}

void HttpServer::setOpen(bool on)
{
    m_open = on;
    Config *config = Config::instance();
    if (on) {
        const QString ip = m_listenAddress.isNull() ? localIp() : m_listenAddress.toString();
        qDebug() << "Open Httpserver, ip:" << ip << "port:" << m_port;
        // The folder of the working directory of this moment, not of the server's creation.
        const QString rootPath = QDir::current().absolutePath() + QStringLiteral("/target/");
        const int port = m_port;
        HttpListener *listener = m_listener;
        bool listening = false;
        QString error = QStringLiteral("The server has stopped");
        onServerThread([listener, rootPath, ip, port, &listening, &error] {
            listener->setRootPath(rootPath);
            listening = listener->listenOn(QHostAddress(ip), port);
            error = listener->listenError();
        });
        m_listening = listening;
        if (!listening) {
            qWarning() << "Open Httpserver failed:" << error;
            emit sigListenFailed();
        }
        config->setValue(userGroup(), QStringLiteral("httpserver"), QStringLiteral("on"));
    } else {
        qDebug() << "Close Httpserver";
        close();
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
    HttpListener *listener = m_listener;
    onServerThread([listener] { listener->close(); });
    m_listening = false;
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
