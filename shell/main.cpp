#include "basiclogging.h"
#include "commandline.h"
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

    QCoreApplication::addLibraryPath(QStringLiteral("./app/lib/"));
    QApplication app(argc, argv);

    SingleInstanceGuard guard(QStringLiteral("QuelvoxContactDesk"));
    if (!guard.tryAcquire())
        return 0;

    BasicLogging::instance()->init();

    QFont font;
    font.setFamily(QStringLiteral("Microsoft YaHei"));
    QApplication::setFont(font);

    Langtranslater::loadConfiguredLanguage();

    QApplication::setWindowIcon(QIcon(QStringLiteral(":/image/logo.png")));

    MainWindow window;
    window.init();
    window.show();
    return app.exec();
}
