#include "phonebookcommands.h"

#include "commandline.h"

int PhonebookCommands::dump(const QStringList &)
{
    return CommandLine::failure(QStringLiteral("dump is not available yet"));
}

int PhonebookCommands::convert(const QStringList &)
{
    return CommandLine::failure(QStringLiteral("convert is not available yet"));
}

int PhonebookCommands::info(const QStringList &)
{
    return CommandLine::failure(QStringLiteral("info is not available yet"));
}
