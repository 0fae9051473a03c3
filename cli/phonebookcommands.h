#pragma once

#include "data/phonebookfilekind.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// dump, convert and info: phonebook files inspected and converted without a display.
// Each command probes its input as the editor does, then runs the part for that kind.
class PhonebookCommands
{
public:
    static int dump(const QStringList &args);
    static int convert(const QStringList &args);
    static int info(const QStringList &args);

    // The text as a JSON string literal, quotes included.
    static QByteArray jsonString(const QString &text);

private:
    // Checks that exactly `count` plain arguments were given; anything else is a usage error.
    static bool takeFiles(const QStringList &args, int count, QStringList *files, int *exitCode);
    // Probes the file and explains on stderr why it cannot be used; NotAPhonebook then.
    static PhonebookFileKind::Kind probeOrFail(const QString &path, int *exitCode);
    // Stops debug logging: stdout carries the result and stderr only real problems.
    static void quietLogging();

    // Probes the one file argument and runs the command's part for its kind.
    static int runOnOneFile(const QStringList &args, int (*local)(const QString &),
                            int (*remote)(const QString &));
    static int dumpLocal(const QString &path);
    static int infoLocal(const QString &path);
    static int convertLocal(const QString &in, const QString &out);
    static int dumpRemote(const QString &path);
    static int infoRemote(const QString &path);
    // baseUrl null: the HTTP server's address.
    static int convertRemote(const QString &in, const QString &out, const QString &baseUrl);
};
