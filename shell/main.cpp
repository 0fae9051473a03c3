#include "basiclogging.h"
#include "commandline.h"
#include "cucstyle.h"
#include "langtranslater.h"
#include "mainwindow.h"
#include "singleinstanceguard.h"

#include <QApplication>
#include <QFont>
#include <QIcon>

int main(int argc, char *argv[])
{
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

    QFont font;
    font.setFamily(QStringLiteral("Microsoft YaHei"));
    QApplication::setFont(font);

    Langtranslater::loadConfiguredLanguage();

    QApplication::setStyle(new CUCStyle); // the application owns it

    QApplication::setWindowIcon(QIcon(QStringLiteral(":/image/logo.png")));

    MainWindow window;
    window.init();
    window.show();
    return app.exec();
}
