#include "cli/commandline.h"
#include "data/remotedirectory.h"
#include "http/httpserver.h"
#include "shell/basiclogging.h"
#include "shell/cucstyle.h"
#include "shell/langtranslater.h"
#include "shell/singleinstanceguard.h"
#include "ui/mainwindow.h"

#include <QApplication>
#include <QFont>
#include <QIcon>

int main(int argc, char *argv[])
{
    // Saved remote menus point at this program's own HTTP server.
    RemoteDirectory::setBaseUrlProvider([] { return HttpServer::instance()->serverUrl(); });

    if (CommandLine::isCommand(argc, argv))
        return CommandLine::run(argc, argv);

    // Checked before the application object exists, so a refused copy opens no display
    // connection and prints nothing at all.
    SingleInstanceGuard guard(QStringLiteral("QuelvoxContactDesk"));
    if (!guard.tryAcquire())
        return 0;

    QCoreApplication::addLibraryPath(QStringLiteral("./app/lib/"));
    QApplication app(argc, argv);

    BasicLogging::instance()->init();

    // Where the requested family is missing, prefer a CJK-capable sans of similar width to
    // whatever fontconfig would pick, so Chinese texts render and buttons keep their fit.
    QFont::insertSubstitution(QStringLiteral("Microsoft YaHei"),
                              QStringLiteral("WenQuanYi Micro Hei"));
    QFont font;
    font.setFamily(QStringLiteral("Microsoft YaHei"));
    QApplication::setFont(font);

    Langtranslater::loadConfiguredLanguage();

    QApplication::setStyle(new CUCStyle); // the application owns it

    QIcon icon(QStringLiteral(":/image/logo.png"));
    icon.addFile(QStringLiteral(":/image/logo_large.png")); // sharp in task bars too
    QApplication::setWindowIcon(icon);

    MainWindow window;
    window.init();
    window.show();
    const QString file = CommandLine::fileArgument(argc, argv);
    if (!file.isEmpty())
        window.openFile(file);
    return app.exec();
}
