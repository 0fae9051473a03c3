#pragma once

#include <QObject>

#include <cstdint>

class QSocketNotifier;

// Watches the descriptors of many connections with one epoll instance, itself watched by a
// single socket notifier: each round of the event loop then polls one descriptor however many
// connections wait, and a connection that starts or stops waiting costs one system call rather
// than a notifier of its own. Level-triggered. Lives on one thread, which must run an event loop;
// the notifier is made on the first watch, so the poller may be moved to its thread before.
class HttpPoller : public QObject
{
    Q_OBJECT
public:
    // Told what its descriptor is ready for; events are EPOLLIN, EPOLLOUT, EPOLLERR, EPOLLHUP.
    class Watcher
    {
    public:
        virtual void onPollEvents(std::uint32_t events) = 0;

    protected:
        ~Watcher() = default;
    };

    // Ready descriptors handled per activation; more wait for the next round of the loop.
    static constexpr int EventsPerRound = 64;

    explicit HttpPoller(QObject *parent = nullptr);
    ~HttpPoller() override;

    // Watches the descriptor for the events `to` (EPOLLIN and/or EPOLLOUT; 0 stops watching),
    // where `from` is what it watched until now (0 when not at all). False when the kernel
    // refuses, with the watch unchanged. The watcher (not owned) is told about its descriptor
    // until it stops watching, and must stay alive until control is back in the event loop after
    // that (deleteLater), since a round already under way may still name it.
    bool watch(int descriptor, Watcher *watcher, std::uint32_t from, std::uint32_t to);

private:
    void dispatch();

    int m_epoll;
    QSocketNotifier *m_notifier = nullptr; // owned (child), made on the first watch
};
