// Runs the HTTP server as the editor runs it, for http_bench.sh: on its own thread, logging
// through the editor's log handler into app/log of the working directory, while the main thread
// plays a GUI. Usage: http_editor_host PORT block|watch
//   block: the main thread is blocked for 100 ms every 500 ms, as a busy GUI is;
//   watch: a 10 ms timer on the main thread records how late it fires.
// Prints the base URL on stdout, runs until SIGTERM or SIGINT, then prints name=value lines on
// stdout: gui_timer_late_max_ms and gui_timer_late_p99_ms (watch only).

#include "http/httpserver.h"
#include "shell/basiclogging.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <vector>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int)
{
    stopRequested = 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3 ||
        (args.at(2) != QLatin1String("block") && args.at(2) != QLatin1String("watch"))) {
        std::fputs("usage: http_editor_host PORT block|watch\n", stderr);
        return 2;
    }
    const bool block = args.at(2) == QLatin1String("block");
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);

    BasicLogging::instance()->init();
    HttpServer *server = HttpServer::instance();
    server->setListenAddress(QHostAddress::LocalHost);
    server->setPort(args.at(1).toInt());
    server->setOpen(true);
    if (!server->isListening())
        return 1;
    std::printf("http://127.0.0.1:%d/\n", server->port());
    std::fflush(stdout);

    QTimer busy;
    QObject::connect(&busy, &QTimer::timeout, [] { QThread::msleep(100); });
    if (block)
        busy.start(500);

    std::vector<double> lateness;
    QElapsedTimer clock;
    qint64 expected = 0;
    QTimer watch;
    watch.setTimerType(Qt::PreciseTimer);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (expected > 0)
            lateness.push_back(double(now - expected) / 1e6);
        expected = now + 10 * 1000000;
    });
    if (!block) {
        clock.start();
        watch.start(10);
    }

    QTimer stopPoll;
    QObject::connect(&stopPoll, &QTimer::timeout, [] {
        if (stopRequested)
            QCoreApplication::quit();
    });
    stopPoll.start(50);
    const int code = QCoreApplication::exec();
    server->setOpen(false);

    if (!lateness.empty()) {
        std::sort(lateness.begin(), lateness.end());
        std::printf("gui_timer_late_max_ms=%.2f\n", lateness.back());
        std::printf("gui_timer_late_p99_ms=%.2f\n", lateness[lateness.size() * 99 / 100]);
    }
    std::fflush(stdout);
    return code;
}
