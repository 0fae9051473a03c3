#pragma once

#include <QStringList>

// serve: the target folder over HTTP without a GUI, until SIGINT or SIGTERM.
class ServeCommand
{
public:
    static int run(const QStringList &args);
};
