#pragma once

#include <QCoreApplication>
#include <QMutex>
#include <QMutexLocker>
#include <QStringList>
#include <QTest>
#include <QThread>
#include <QVector>

#include <cstdio>
#include <utility>

// Sits on top of QtTest's message handler for the whole run of a test executable (testmain.h
// installs it): keeps every message for the test to read, passes it on to QtTest (so the output
// and QTest::ignoreMessage work as usual), and fails the test on a "QObject::connect" warning,
// because a string-based connection that does not match fails silently otherwise.
class MessageCapture
{
public:
    // Runs the test object with the capture installed; a connect warning from any thread fails
    // the run even when no test function was active to take the failure.
    static int runTests(QObject *test, int argc, char **argv)
    {
        QTest::qInit(test, argc, argv);
        state().next = qInstallMessageHandler(&MessageCapture::handle); // QtTest's own
        int failed = QTest::qRun();
        QTest::qCleanup();
        const QStringList faults = connectWarnings();
        for (const QString &fault : faults)
            std::fprintf(stderr, "FAIL: connect warning: %s\n", qUtf8Printable(fault));
        return failed == 0 && !faults.isEmpty() ? 1 : failed;
    }

    // Puts the capture back after code under test installed a handler of its own (the log).
    static void install() { qInstallMessageHandler(&MessageCapture::handle); }

    // Every message since the last clear(), oldest first; one type only when given.
    static QStringList lines() { return collect(false, QtDebugMsg); }
    static QStringList lines(QtMsgType type) { return collect(true, type); }
    static void clear()
    {
        QMutexLocker locker(&state().mutex);
        state().lines.clear();
    }

    static bool isConnectWarning(const QString &message)
    {
        return message.startsWith(QLatin1String("QObject::connect:")) ||
               message.startsWith(QLatin1String("QObject::connect("));
    }

private:
    struct State
    {
        QMutex mutex;
        QVector<std::pair<QtMsgType, QString>> lines;
        QStringList connectWarnings;
        QtMessageHandler next = nullptr;
    };
    static State &state()
    {
        static State s;
        return s;
    }

    static QStringList collect(bool oneType, QtMsgType type)
    {
        QMutexLocker locker(&state().mutex);
        QStringList result;
        for (const auto &line : qAsConst(state().lines)) {
            if (!oneType || line.first == type)
                result.append(line.second);
        }
        return result;
    }

    static QStringList connectWarnings()
    {
        QMutexLocker locker(&state().mutex);
        return state().connectWarnings;
    }

    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        const bool connectFault = isConnectWarning(message);
        {
            QMutexLocker locker(&state().mutex);
            state().lines.append({type, message});
            if (connectFault)
                state().connectWarnings.append(message);
        }
        if (state().next)
            state().next(type, context, message);
        // QtTest takes failures on the main thread only; runTests reports the others at the end.
        const QCoreApplication *app = QCoreApplication::instance();
        if (connectFault && app && QThread::currentThread() == app->thread() &&
            QTest::currentTestFunction())
            QTest::qFail(qUtf8Printable(QStringLiteral("connect warning: ") + message), __FILE__,
                         __LINE__);
    }
};
