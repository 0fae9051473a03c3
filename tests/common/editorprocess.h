#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

// Runs the built editor (QCD_EDITOR_PATH) as a real process, for the command-line tests.

struct EditorRun
{
    int exitCode = -1; // -1: did not finish in time; -2: crashed
    QByteArray out;
    QByteArray err;
};

// The environment of the tests with no display and no platform plug-in chosen.
inline QProcessEnvironment headlessEnvironment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    return env;
}

inline EditorRun runEditor(const QStringList &args)
{
    QProcess process;
    process.setProcessEnvironment(headlessEnvironment());
    process.start(QStringLiteral(QCD_EDITOR_PATH), args);
    EditorRun result;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}
