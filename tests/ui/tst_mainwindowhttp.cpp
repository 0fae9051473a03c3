// The window tells the user when the HTTP server cannot listen.

#include "dialogs/tipwidget.h"
#include "freshstate.h"
#include "http/httpserver.h"
#include "ui/mainwindow.h"

#include <QApplication>
#include <QLabel>
#include <QTcpServer>
#include <QTest>

class TestMainWindowHttp : public QObject
{
    Q_OBJECT
private slots:
    void portInUseShowsWarningToast()
    {
        FreshState state;
        MainWindow window;
        window.init();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        // Occupy a port on every address, so the server's listen on the host address fails.
        QTcpServer blocker;
        QVERIFY(blocker.listen(QHostAddress::AnyIPv4, 0));
        HttpServer *server = HttpServer::instance();
        server->setPort(blocker.serverPort());
        server->setOpen(true);

        TipWidget *toast = TipWidget::current();
        QVERIFY(toast);
        QTRY_VERIFY(toast->isVisible());
        const QList<QLabel *> labels = toast->findChildren<QLabel *>();
        bool shown = false;
        bool warning = false;
        for (const QLabel *label : labels) {
            shown = shown || label->text() == HttpServer::listenFailedText();
            warning = warning || label->property("icontype").toString() == QLatin1String("warn");
        }
        QVERIFY(shown);
        QVERIFY(warning);
        QVERIFY(server->isOpen()); // the switch still says on, as the settings do
        server->setOpen(false);
    }
};

QTEST_MAIN(TestMainWindowHttp)
#include "tst_mainwindowhttp.moc"
