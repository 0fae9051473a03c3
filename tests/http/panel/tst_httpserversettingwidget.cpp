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
        QTest::addColumn<QString>("commit"); // Return, a press on the card or outside it
        QTest::addColumn<QString>("port");   // afterwards, in the server and the field
        QTest::addColumn<QString>("toast");  // text/kind; empty: none
        QTest::addColumn<QString>("status");

        const auto row = [](const char *tag, bool on, const char *typed, bool taken,
                            const char *commit, const char *port, const QString &toast,
                            const char *status) {
            QTest::newRow(tag) << on << QString::fromLatin1(typed) << taken
                               << QString::fromLatin1(commit) << QString::fromLatin1(port) << toast
                               << QString::fromLatin1(status);
        };
        const QString done = QStringLiteral("Modified the port successfully!/success");
        const QString illegal =
            QStringLiteral("Illegal port value! Please select one from 2 to 65535/warn");
        row("70000 turns into 65535", false, "70000", false, "Return", "65535", done, "Off");
        row("port 1", false, "1", false, "card", "old", illegal, "Off");
        row("empty", false, "", false, "Return", "old",
            QStringLiteral("Port value cannot be empty/warn"), "Off");
        row("same port: nothing happens", true, "old", false, "Return", "old", QString(), "On");
        row("keypad Enter waits, a press outside commits and closes", false, "new", false,
            "outside", "new", done, "Off");
        row("server on: listens on the new port", true, "new", false, "card", "new", done, "On");
        row("server on, new port taken: warning and Off", true, "new", true, "Return", "new",
            HttpServer::listenFailedText() + QStringLiteral("/warn"), "Off");
    }
    void portEdit()
    {
        QFETCH(bool, on);
        QFETCH(QString, typed);
        QFETCH(bool, newPortTaken);
        QFETCH(QString, commit);
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
        if (commit == QLatin1String("Return")) {
            QTest::keyClick(portField(), Qt::Key_Return);
        } else if (commit == QLatin1String("card")) {
            QTest::mouseClick(child("labelHttpIP"), Qt::LeftButton);
        } else {
            QTest::keyClick(portField(), Qt::Key_Enter, Qt::KeypadModifier);
            QVERIFY(panel->isEditing());
            QTest::mouseClick(panel.get(), Qt::LeftButton, {}, QPoint(400, 300));
        }
        QCOMPARE(panel->isVisible(), commit != QLatin1String("outside"));

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
