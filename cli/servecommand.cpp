#include "servecommand.h"

#include "commandline.h"

int ServeCommand::run(const QStringList &)
{
    return CommandLine::failure(QStringLiteral("serve is not available yet"));
}
