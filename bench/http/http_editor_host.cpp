// Runs the HTTP server as the editor runs it, for http_bench.sh: on its own thread, logging
// through the editor's log handler into app/log of the working directory, while the main thread
// plays a GUI. Usage: http_editor_host PORT block|watch
//   block: the main thread is blocked for 100 ms every 500 ms, as a busy GUI is;
//   watch: a 10 ms timer on the main thread records how late it fires.
// Prints the base URL on stdout, runs until SIGTERM or SIGINT, then prints name=value lines on
// stdout: gui_timer_late_max_ms and gui_timer_late_p99_ms (watch only). In watch mode each SIGUSR1
// also prints "gui_timer_window=MAX P99" for the time since the previous one and starts anew, so
// that the bench can set windows without load against windows under load in the same run.

#include "http/httpserver.h"
#include "shell/basiclogging.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <utility>
#include <vector>

namespace {

volatile std::sig_atomic_t stopRequested = 0;
volatile std::sig_atomic_t windowRequested = 0;

void requestStop(int)
{
    stopRequested = 1;
}

void requestWindow(int)
{
    windowRequested = 1;
}

// Maximum and 99th percentile of the lateness values, in milliseconds.
std::pair<double, double> summary(std::vector<double> values)
{
    if (values.empty())
        return {0, 0};
    std::sort(values.begin(), values.end());
    return {values.back(), values[values.size() * 99 / 100]};
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
    std::signal(SIGUSR1, requestWindow);

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
    std::vector<double> window;
    QElapsedTimer clock;
    qint64 expected = 0;
    QTimer watch;
    watch.setTimerType(Qt::PreciseTimer);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (expected > 0) {
            lateness.push_back(double(now - expected) / 1e6);
            window.push_back(lateness.back());
        }
        expected = now + 10 * 1000000;
    });
    if (!block) {
        clock.start();
        watch.start(10);
    }

    QTimer stopPoll;
    QObject::connect(&stopPoll, &QTimer::timeout, [&window] {
        if (windowRequested) {
            windowRequested = 0;
            const auto late = summary(window);
            window.clear();
            std::printf("gui_timer_window=%.2f %.2f\n", late.first, late.second);
            std::fflush(stdout);
        }
        if (stopRequested)
            QCoreApplication::quit();
    });
    stopPoll.start(50);
    const int code = QCoreApplication::exec();
    server->setOpen(false);

    if (!lateness.empty()) {
        const auto late = summary(lateness);
        std::printf("gui_timer_late_max_ms=%.2f\n", late.first);
        std::printf("gui_timer_late_p99_ms=%.2f\n", late.second);
    }
    std::fflush(stdout);
    return code;
}
