#pragma once

#include <QString>
#include <QStringList>

// The headless commands of the editor's executable: they start no GUI and take no
// single-instance guard. Exit codes: 0 success, 1 failure (one line on stderr), 2 wrong usage.
class CommandLine
{
public:
    enum ExitCode
    {
        Success = 0,
        Failure = 1,
        Usage = 2
    };

    // True when the first argument asks for a command rather than the editor.
    static bool isCommand(int argc, char **argv);
    // The absolute path of the first argument when it names an existing file rather than a
    // command: the editor starts with that file loaded. Empty otherwise.
    static QString fileArgument(int argc, char **argv);
    // Runs the command in argv[1..]; creates its own application object.
    static int run(int argc, char **argv);

    static QString usageText();
    // Prints the message (when given) and the usage text to stderr; returns Usage.
    static int usageError(const QString &message = QString());
    // Prints "quelvox-contact-desk: <message>" to stderr; returns Failure.
    static int failure(const QString &message);
};
