#pragma once

#include <QStringList>

// serve: the target folder over HTTP without a GUI, until SIGINT or SIGTERM.
class ServeCommand
{
public:
    // args: the arguments after "serve": [--port N] [--address A]. Listens on the settings' port
    // and the editor's address unless told otherwise, prints the base URL on stdout and never
    // changes the stored server switch. Exit codes as CommandLine.
    static int run(const QStringList &args);
};
