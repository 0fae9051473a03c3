#include "http/httppoller.h"

#include <QSocketNotifier>
#include <QtGlobal>

#include <cerrno>
#include <cstring>

#include <sys/epoll.h>
#include <unistd.h>

HttpPoller::HttpPoller(QObject *parent) : QObject(parent), m_epoll(::epoll_create1(EPOLL_CLOEXEC))
{
    if (m_epoll < 0)
        qWarning("HttpServer cannot watch connections: %s", std::strerror(errno));
}

HttpPoller::~HttpPoller()
{
    if (m_epoll >= 0)
        ::close(m_epoll);
}

bool HttpPoller::watch(int descriptor, Watcher *watcher, std::uint32_t from, std::uint32_t to)
{
    if (from == to)
        return true;
    if (m_epoll < 0)
        return to == 0;
    if (!m_notifier) {
        m_notifier = new QSocketNotifier(m_epoll, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &HttpPoller::dispatch);
    }
    epoll_event event{};
    event.events = to;
    event.data.ptr = watcher;
    // Nothing watched is removed rather than kept with no events: the kernel reports a hang-up
    // whatever the events asked, which would wake the loop for a connection not listening.
    const int operation = from == 0 ? EPOLL_CTL_ADD : to == 0 ? EPOLL_CTL_DEL : EPOLL_CTL_MOD;
    return ::epoll_ctl(m_epoll, operation, descriptor, &event) == 0;
}

void HttpPoller::dispatch()
{
    epoll_event events[EventsPerRound];
    int count;
    do {
        count = ::epoll_wait(m_epoll, events, EventsPerRound, 0);
    } while (count < 0 && errno == EINTR);
    // A watcher that stops watching in this round stays alive until the loop takes over again.
    for (int i = 0; i < count; ++i)
        static_cast<Watcher *>(events[i].data.ptr)->onPollEvents(events[i].events);
}
