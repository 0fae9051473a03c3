#include "cli/commandline.h"

#include "cli/phonebookcommands.h"
#include "cli/servecommand.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <cstring>

namespace {
const char *const commands[] = {"dump", "convert", "info", "serve", "--help", "-h", "--version"};

void printErr(const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stderr);
}
} // namespace

bool CommandLine::isCommand(int argc, char **argv)
{
    if (argc < 2)
        return false;
    for (const char *command : commands) {
        if (std::strcmp(argv[1], command) == 0)
            return true;
    }
    // A file manager opens a phonebook as "quelvox-contact-desk book.xml": that starts the
    // editor. Other plain words are commands (unknown ones fail with usage); single-dash
    // options such as -platform belong to the GUI toolkit.
    if (!fileArgument(argc, argv).isEmpty())
        return false;
    return argv[1][0] != '-';
}

QString CommandLine::fileArgument(int argc, char **argv)
{
    if (argc < 2 || argv[1][0] == '-')
        return QString();
    for (const char *command : commands) {
        if (std::strcmp(argv[1], command) == 0)
            return QString();
    }
    const QFileInfo file(QString::fromLocal8Bit(argv[1]));
    return file.isFile() ? QDir::cleanPath(file.absoluteFilePath()) : QString();
}

QString CommandLine::usageText()
{
    return QStringLiteral(
        "Usage: quelvox-contact-desk [COMMAND [ARGUMENTS]]\n"
        "Without a command, starts the editor.\n"
        "\n"
        "Commands:\n"
        "  dump FILE                 print the phonebook in FILE as JSON\n"
        "  convert IN OUT [--base-url URL]\n"
        "                            import IN and save it as OUT (XML or CSV by OUT's "
        "extension);\n"
        "                            a remote phonebook becomes the menu OUT plus its "
        "directory\n"
        "                            files beside it, their URLs starting with URL (default: "
        "the\n"
        "                            HTTP server's address, http://IP:PORT/)\n"
        "  info FILE                 print a short summary of the phonebook in FILE\n"
        "  serve [--port N] [--address A]\n"
        "                            serve the target folder over HTTP until interrupted\n"
        "  --help                    show this help\n"
        "  --version                 print the version\n");
}

int CommandLine::usageError(const QString &message)
{
    if (!message.isEmpty())
        printErr(QStringLiteral("quelvox-contact-desk: ") + message + QLatin1Char('\n'));
    printErr(usageText());
    return Usage;
}

int CommandLine::failure(const QString &message)
{
    printErr(QStringLiteral("quelvox-contact-desk: ") + message + QLatin1Char('\n'));
    return Failure;
}

int CommandLine::run(int argc, char **argv)
{
    // No command needs glib's event loop, and Qt's own poll() loop costs `serve` a fifth less
    // CPU per request. Read when the application object is made.
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    const QString command = args.takeFirst();

    if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
        std::fputs(usageText().toLocal8Bit().constData(), stdout);
        return Success;
    }
    if (command == QLatin1String("--version")) {
        std::fputs("quelvox-contact-desk " QCD_VERSION "\n", stdout);
        return Success;
    }
    if (command == QLatin1String("dump"))
        return PhonebookCommands::dump(args);
    if (command == QLatin1String("convert"))
        return PhonebookCommands::convert(args);
    if (command == QLatin1String("info"))
        return PhonebookCommands::info(args);
    if (command == QLatin1String("serve"))
        return ServeCommand::run(args);
    return usageError(QStringLiteral("unknown command '%1'").arg(command));
}
