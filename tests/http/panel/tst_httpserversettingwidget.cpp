// The HTTP server card: what it shows, and how a port edit is clamped, committed and answered.

#include "http/panel/httpserversettingwidget.h"
#include "panelsupport.h"
#include "testfiles.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>

namespace {
enum Commit
{
    Return,
    PressInside
};
} // namespace
Q_DECLARE_METATYPE(Commit)

class TestHttpServerSettingWidget : public QObject
{
    Q_OBJECT

    std::unique_ptr<PanelFixture> fixture;
    std::unique_ptr<HttpServerSettingWidget> panel;

    QLabel *label(const char *name) const
    {
        return panel->findChild<QLabel *>(QString::fromLatin1(name));
    }
    QLineEdit *portField() const
    {
        return panel->findChild<QLineEdit *>(QStringLiteral("lineEditHttpPort"));
    }
    QPushButton *button(const char *name) const
    {
        return panel->findChild<QPushButton *>(QString::fromLatin1(name));
    }

    // Shows the refreshed card and opens the port for editing with the field selected.
    void startEdit()
    {
        panel->Refresh();
        panel->show();
        QVERIFY(QTest::qWaitForWindowExposed(panel.get()));
        QTest::mouseClick(button("btnEdit"), Qt::LeftButton);
        QVERIFY(panel->isEditing());
        QVERIFY(!portField()->isReadOnly());
        QVERIFY(!button("btnEdit")->isVisible());
        portField()->selectAll();
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

    void refreshShowsServer_data()
    {
        QTest::addColumn<bool>("on");
        QTest::addColumn<bool>("portTaken");
        QTest::addColumn<QString>("status");
        QTest::addRow("off") << false << false << "Http-Server Status: Off";
        QTest::addRow("listening") << true << false << "Http-Server Status: On";
        QTest::addRow("switched on but the port is taken")
            << true << true << "Http-Server Status: Off";
    }
    void refreshShowsServer()
    {
        QFETCH(bool, on);
        QFETCH(bool, portTaken);
        QFETCH(QString, status);
        HttpServer *server = HttpServer::instance();
        QTcpServer blocker;
        if (portTaken) {
            QVERIFY(blocker.listen(QHostAddress::AnyIPv4, 0));
            server->setPort(blocker.serverPort());
        }
        server->setOpen(on);
        panel->Refresh();
        QCOMPARE(label("labelHttpStatus")->text(), status);
        QCOMPARE(label("labelHttpIP")->text(), QStringLiteral("Server IP: ") + server->localIp());
        QCOMPARE(portField()->text(), QString::number(server->port()));
        QVERIFY(portField()->isReadOnly());
        QVERIFY(!panel->isEditing());
    }

    void portEdit_data()
    {
        QTest::addColumn<bool>("on");
        QTest::addColumn<QString>("typed"); // "new": a free port; "old": the current one
        QTest::addColumn<bool>("newPortTaken");
        QTest::addColumn<Commit>("commit");
        QTest::addColumn<QString>("port");  // expected afterwards, also in the field
        QTest::addColumn<QString>("toast"); // empty: none
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("status");

        const QString done = QStringLiteral("Modified the port successfully!");
        const QString illegal =
            QStringLiteral("Illegal port value! Please select one from 2 to 65535");
        const QString on = QStringLiteral("On");
        const QString off = QStringLiteral("Off");
        QTest::addRow("70000 turns into 65535, committed by Return")
            << false << "70000" << false << Return << "65535" << done << "success" << off;
        QTest::addRow("port 1 refused")
            << false << "1" << false << Return << "old" << illegal << "warn" << off;
        QTest::addRow("port 0 refused")
            << false << "0" << false << PressInside << "old" << illegal << "warn" << off;
        QTest::addRow("empty field refused") << false << "" << false << Return << "old"
                                             << "Port value cannot be empty"
                                             << "warn" << off;
        QTest::addRow("same port: nothing happens") << true << "old" << false << Return << "old"
                                                    << ""
                                                    << "" << on;
        QTest::addRow("server off: port stored, server stays off")
            << false << "new" << false << PressInside << "new" << done << "success" << off;
        QTest::addRow("server on: listens on the new port")
            << true << "new" << false << Return << "new" << done << "success" << on;
        QTest::addRow("server on, new port taken: warning and Off")
            << true << "new" << true << Return << "new" << HttpServer::listenFailedText() << "warn"
            << off;
    }
    void portEdit()
    {
        QFETCH(bool, on);
        QFETCH(QString, typed);
        QFETCH(bool, newPortTaken);
        QFETCH(Commit, commit);
        QFETCH(QString, port);
        QFETCH(QString, toast);
        QFETCH(QString, kind);
        QFETCH(QString, status);

        HttpServer *server = HttpServer::instance();
        server->setOpen(on);
        QCOMPARE(server->isListening(), on);
        const QString oldPort = QString::number(server->port());
        QTcpServer blocker;
        QString newPort = QString::number(PanelFixture::freePort());
        if (newPortTaken) {
            QVERIFY(blocker.listen(QHostAddress::AnyIPv4, 0));
            newPort = QString::number(blocker.serverPort());
        }
        const auto fill = [&](QString text) {
            return text.replace(QLatin1String("old"), oldPort)
                .replace(QLatin1String("new"), newPort);
        };

        startEdit();
        if (typed.isEmpty())
            QTest::keyClick(portField(), Qt::Key_Backspace);
        else
            QTest::keyClicks(portField(), fill(typed));
        if (commit == Return)
            QTest::keyClick(portField(), Qt::Key_Return);
        else
            QTest::mouseClick(label("labelHttpIP"), Qt::LeftButton);

        QVERIFY(!panel->isEditing());
        QVERIFY(portField()->isReadOnly());
        QVERIFY(button("btnEdit")->isVisible());
        QCOMPARE(portField()->text(), fill(port));
        QCOMPARE(QString::number(server->port()), fill(port));
        QCOMPARE(PanelFixture::toastText(), toast);
        if (!toast.isEmpty())
            QCOMPARE(PanelFixture::toastKind(), kind);
        QVERIFY(label("labelHttpStatus")->text().endsWith(QLatin1Char(' ') + status));
        QCOMPARE(server->isOpen(), on); // a failed listen leaves the switch as it was
        QCOMPARE(server->isListening(), status == QLatin1String("On"));
        if (server->isListening()) {
            QTcpSocket client;
            client.connectToHost(server->localIp(), server->port());
            QVERIFY(client.waitForConnected(3000));
        }
    }

    void keypadEnterAndTypingKeepEditing()
    {
        startEdit();
        QTest::keyClicks(portField(), QStringLiteral("80x80"));
        QCOMPARE(portField()->text(), QStringLiteral("8080")); // digits only
        QTest::keyClick(portField(), Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(panel->isEditing());
        QVERIFY(PanelFixture::toastText().isEmpty());
        QVERIFY(QString::number(HttpServer::instance()->port()) != QLatin1String("8080"));
    }

    void pressOutsideCommitsAndCloses()
    {
        startEdit();
        const QString port = QString::number(PanelFixture::freePort());
        QTest::keyClicks(portField(), port);
        QTest::mouseClick(panel.get(), Qt::LeftButton, {}, QPoint(400, 300));
        QCOMPARE(QString::number(HttpServer::instance()->port()), port);
        QCOMPARE(PanelFixture::toastText(), QStringLiteral("Modified the port successfully!"));
        QVERIFY(!panel->isVisible());
    }

    void portChangeRepointsSavedMenus()
    {
        HttpServer *server = HttpServer::instance();
        const QString menu = QDir::current().absoluteFilePath(QStringLiteral("target/menu.xml"));
        const QString oldBase = server->serverUrl();
        const QString text =
            QStringLiteral("<QuelvoxIPPhoneMenu>\n<MenuItem>\n<Name>Sales</Name>\n<URL>") +
            oldBase +
            QStringLiteral("RemotePhoneBook_Sales.xml</URL>\n</MenuItem>\n</QuelvoxIPPhoneMenu>\n");
        QVERIFY(writeFile(menu, text.toUtf8()));
        startEdit();
        QTest::keyClicks(portField(), QString::number(PanelFixture::freePort()));
        QTest::keyClick(portField(), Qt::Key_Return);
        const QByteArray saved = readAll(menu);
        const QString url = server->serverUrl() + QStringLiteral("RemotePhoneBook_Sales.xml");
        QVERIFY2(saved.contains(url.toUtf8()), saved.constData());
    }

    void fileListLinkAsksForTheList()
    {
        QSignalSpy asked(panel.get(), &HttpServerSettingWidget::sigShowUrlFileDialog);
        panel->Refresh();
        panel->show();
        QTest::mouseClick(button("pushButton"), Qt::LeftButton);
        QCOMPARE(asked.count(), 1);
        QCOMPARE(asked.at(0).at(0).toBool(), true);
    }
};

QTEST_MAIN(TestHttpServerSettingWidget)
#include "tst_httpserversettingwidget.moc"
