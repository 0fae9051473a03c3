// The HTTP server card: what it shows, and how a port edit is clamped, committed and answered.

#include "http/panel/httpserversettingwidget.h"
#include "panelsupport.h"
#include "testfiles.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTcpSocket>
#include <QTest>

class TestHttpServerSettingWidget : public QObject
{
    Q_OBJECT

    std::unique_ptr<PanelFixture> fixture;
    std::unique_ptr<HttpServerSettingWidget> panel;

    template <typename T = QLabel> T *child(const char *name) const
    {
        return panel->findChild<T *>(QString::fromLatin1(name));
    }
    QLineEdit *portField() const { return child<QLineEdit>("lineEditHttpPort"); }

    // Shows the refreshed card, opens the port for editing and types text over the old port.
    void edit(const QString &text)
    {
        panel->Refresh();
        panel->show();
        QVERIFY(QTest::qWaitForWindowExposed(panel.get()));
        QTest::mouseClick(child<QPushButton>("btnEdit"), Qt::LeftButton);
        QVERIFY(panel->isEditing() && !portField()->isReadOnly());
        portField()->selectAll();
        if (text.isEmpty())
            QTest::keyClick(portField(), Qt::Key_Backspace);
        else
            QTest::keyClicks(portField(), text);
    }
    void verifyEditEnded(const QString &port)
    {
        QVERIFY(!panel->isEditing() && portField()->isReadOnly());
        QVERIFY(!child<QPushButton>("btnEdit")->isHidden());
        QCOMPARE(portField()->text(), port);
        QCOMPARE(QString::number(HttpServer::instance()->port()), port);
    }

private slots:
    void initTestCase() { fixture = std::make_unique<PanelFixture>(); }
    void cleanupTestCase() { fixture.reset(); }
    void init()
    {
        fixture->beginCase();
        panel = std::make_unique<HttpServerSettingWidget>(fixture->window.get());
    }
    void cleanup()
    {
        panel.reset();
        fixture->endCase();
    }

    void portEdit_data()
    {
        QTest::addColumn<bool>("on");
        QTest::addColumn<QString>("typed"); // "new": a free port, "old": the current one
        QTest::addColumn<bool>("newPortTaken");
        QTest::addColumn<bool>("byReturn"); // else by a press on the card
        QTest::addColumn<QString>("port");  // afterwards, in the server and the field
        QTest::addColumn<QString>("toast"); // text/kind; empty: none
        QTest::addColumn<QString>("status");

        const QString done = QStringLiteral("Modified the port successfully!/success");
        const QString illegal =
            QStringLiteral("Illegal port value! Please select one from 2 to 65535/warn");
        QTest::addRow("70000 turns into 65535")
            << false << "70000" << false << true << "65535" << done << "Off";
        QTest::addRow("port 1") << false << "1" << false << true << "old" << illegal << "Off";
        QTest::addRow("port 0") << false << "0" << false << false << "old" << illegal << "Off";
        QTest::addRow("empty") << false << "" << false << true << "old"
                               << "Port value cannot be empty/warn"
                               << "Off";
        QTest::addRow("same port: nothing happens") << true << "old" << false << true << "old"
                                                    << ""
                                                    << "On";
        QTest::addRow("server off: port stored, stays off")
            << false << "new" << false << false << "new" << done << "Off";
        QTest::addRow("server on: listens on the new port")
            << true << "new" << false << true << "new" << done << "On";
        QTest::addRow("server on, new port taken: warning and Off")
            << true << "new" << true << true << "new"
            << HttpServer::listenFailedText() + QStringLiteral("/warn") << "Off";
    }
    void portEdit()
    {
        QFETCH(bool, on);
        QFETCH(QString, typed);
        QFETCH(bool, newPortTaken);
        QFETCH(bool, byReturn);
        QFETCH(QString, port);
        QFETCH(QString, toast);
        QFETCH(QString, status);

        HttpServer *server = HttpServer::instance();
        server->setOpen(on);
        QCOMPARE(server->isListening(), on);
        QTcpServer blocker;
        if (newPortTaken)
            QVERIFY(blocker.listen(QHostAddress::AnyIPv4, 0));
        const QString oldPort = QString::number(server->port());
        const QString newPort =
            QString::number(newPortTaken ? blocker.serverPort() : PanelFixture::freePort());
        const auto fill = [&](QString text) {
            return text.replace(QLatin1String("old"), oldPort)
                .replace(QLatin1String("new"), newPort);
        };

        edit(fill(typed));
        if (byReturn)
            QTest::keyClick(portField(), Qt::Key_Return);
        else
            QTest::mouseClick(child("labelHttpIP"), Qt::LeftButton);

        verifyEditEnded(fill(port));
        QCOMPARE(PanelFixture::toast(), toast);
        QCOMPARE(child("labelHttpStatus")->text(), QStringLiteral("Http-Server Status: ") + status);
        QCOMPARE(child("labelHttpIP")->text(), QStringLiteral("Server IP: ") + server->localIp());
        QCOMPARE(server->isOpen(), on); // a failed listen leaves the switch as it was
        if (status == QLatin1String("On")) {
            QTcpSocket client;
            client.connectToHost(server->localIp(), server->port());
            QVERIFY(client.waitForConnected(3000));
        }
    }

    void keypadEnterWaitsPressOutsideCommitsAndCloses()
    {
        const QString port = QString::number(PanelFixture::freePort());
        edit(port);
        QTest::keyClick(portField(), Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(panel->isEditing());
        QTest::mouseClick(panel.get(), Qt::LeftButton, {}, QPoint(400, 300));
        verifyEditEnded(port);
        QCOMPARE(PanelFixture::toast(), QStringLiteral("Modified the port successfully!/success"));
        QVERIFY(!panel->isVisible());
    }

    void portChangeRepointsSavedMenus()
    {
        HttpServer *server = HttpServer::instance();
        const QString menu = fixture->state.filePath(QStringLiteral("target/menu.xml"));
        const QString item = QStringLiteral("<MenuItem><Name>A</Name><URL>%1RemotePhoneBook_A.xml"
                                            "</URL></MenuItem>");
        QVERIFY(writeFile(menu,
                          (QStringLiteral("<QuelvoxIPPhoneMenu>") + item.arg(server->serverUrl()) +
                           QStringLiteral("</QuelvoxIPPhoneMenu>"))
                              .toUtf8()));
        edit(QString::number(PanelFixture::freePort()));
        QTest::keyClick(portField(), Qt::Key_Return);
        QVERIFY(readAll(menu).contains(
            (server->serverUrl() + QStringLiteral("RemotePhoneBook_A.xml")).toUtf8()));
    }
};

QTEST_MAIN(TestHttpServerSettingWidget)
#include "tst_httpserversettingwidget.moc"
