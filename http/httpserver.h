#pragma once

#include <QHostAddress>
#include <QObject>
#include <QString>

class HttpListener;
class QThread;

// The embedded HTTP file server: hands the files under <working directory>/target/ to the
// phones, one response per connection. One object per process, used from the GUI thread; the
// connections are served on a thread of their own with its own event loop, so a busy GUI never
// delays a phone and a busy server never delays the GUI. The GUI thread talks to that thread
// only through queued calls (waiting for the short ones that report a result) and joins it when
// the application object goes.
class HttpServer : public QObject
{
    Q_OBJECT
public:
    static HttpServer *instance();

    bool isOpen() const;
    int port() const;
    // Switches on (listens on localIp() and port(), serving the target folder of the working
    // directory of that moment) or off, and stores the switch in the settings.
    void setOpen(bool on);
    // Stores the port; takes effect at the next listen.
    void setPort(int port);
    // Stops listening; changes neither the switch nor the settings.
    void close();

    // An IPv4 address of this host that phones on the network can reach; worked out per call.
    QString localIp() const;
    // "http://" + localIp() + ":" + port + "/"; the port is always written.
    QString serverUrl() const;

    // True while the server is really listening (the switch may say on after a failed listen).
    bool isListening() const;
    // The translated warning the window shows after sigListenFailed().
    static QString listenFailedText();

    // Listens on this address instead of localIp() from the next listen on; a null address
    // restores the default. For tools that measure the server on loopback.
    void setListenAddress(const QHostAddress &address) { m_listenAddress = address; }

signals:
    // Emitted when switching on could not listen; the window shows the warning toast
    // "Failed to start http server". The open flag and the settings still say "on".
    void sigListenFailed();

private:
    HttpServer();
    ~HttpServer() override;
    static void shutDown();
    // Runs the call on the server's thread and waits for it.
    template <typename Call> void onServerThread(Call call);

    QThread *m_thread;        // owned (child); runs the listener's event loop
    HttpListener *m_listener; // owned; lives on m_thread, deleted there at shutdown
    bool m_open = false;
    bool m_listening = false;
    int m_port = 80;
    QHostAddress m_listenAddress;
};
