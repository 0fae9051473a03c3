#pragma once

#include <QObject>
#include <QString>

class HttpListener;

// The embedded HTTP file server: hands the files under <working directory>/target/ to the
// phones, one response per connection. One object per process, on the GUI thread.
class HttpServer : public QObject
{
    Q_OBJECT
public:
    static HttpServer *instance();

    bool isOpen() const;
    int port() const;
    // Switches on (listens on localIp() and port()) or off, and stores the switch in the settings.
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

signals:
    // Emitted when switching on could not listen; the window shows the warning toast
    // "Failed to start http server". The open flag and the settings still say "on".
    void sigListenFailed();

private:
    HttpServer();
    static void shutDown();

    HttpListener *m_listener; // owned (child)
    bool m_open = false;
    int m_port = 80;
    QString m_rootPath;
};
