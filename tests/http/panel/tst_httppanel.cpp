// The HTTP panel: the server card (how a port edit is clamped, committed and answered, and the
// saved menus following the port) and the served-file list (which files, URLs that really fetch
// the file, the copy button, the dimming of the main window).

#include "dialogs/cmessagedialoglistmanager.h"
#include "dialogs/tipwidget.h"
#include "freshstate.h"
#include "http/httpserver.h"
#include "http/panel/httpserversettingwidget.h"
#include "http/panel/httpserverurlfiledialog.h"
#include "testfiles.h"
#include "widgets/qvlistwidget.h"
#include "widgets/qvviewitemwidget.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <memory>

namespace {

int freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::AnyIPv4, 0);
    return probe.serverPort();
}

// The shown toast's text and icon kind; an empty text when no toast is shown.
QString shownToast()
{
    TipWidget *tip = TipWidget::current();
    if (!tip || !tip->isVisible())
        return QString();
    return tip->findChild<QLabel *>(QStringLiteral("mainwidowTipLabel"))->text() +
           QLatin1Char('/') +
           tip->findChild<QLabel *>(QStringLiteral("mainwidowTipIcon"))
               ->property("icontype")
               .toString();
}

} // namespace

class TestHttpPanel : public QObject
{
    Q_OBJECT

    // One working folder for the whole executable: the server is one object per process and may
    // keep the folder it was created in.
    std::unique_ptr<FreshState> state;
    std::unique_ptr<QWidget> window;           // holds the toast
    HttpServerSettingWidget *panel = nullptr;  // owned by window
    HttpServerUrlFileDialog *dialog = nullptr; // owned by window

    template <typename T = QLabel> T *child(QWidget *parent, const char *name) const
    {
        return parent->findChild<T *>(QString::fromLatin1(name));
    }
    QLineEdit *portField() const { return child<QLineEdit>(panel, "lineEditHttpPort"); }

    // Shows the refreshed card, opens the port for editing and types text over the old port.
    void edit(const QString &text)
    {
        panel->Refresh();
        panel->show();
        QVERIFY(QTest::qWaitForWindowExposed(panel));
        QTest::mouseClick(child<QPushButton>(panel, "btnEdit"), Qt::LeftButton);
        QVERIFY(panel->isEditing() && !portField()->isReadOnly());
        portField()->selectAll();
        if (text.isEmpty())
            QTest::keyClick(portField(), Qt::Key_Backspace);
        else
            QTest::keyClicks(portField(), text);
    }
    void put(const QString &name, const QByteArray &content = "<x/>\n")
    {
        QVERIFY(writeFile(state->filePath(QStringLiteral("target/") + name), content));
    }
    void showList()
    {
        dialog->RefreshFileList();
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
    }
    qvViewItemWidget *row(int index) const
    {
        return dialog->findChild<qvListWidget *>()->GetItemWidget(index);
    }

private slots:
    void initTestCase() { state = std::make_unique<FreshState>(); }
    void cleanupTestCase() { state.reset(); }
    // Each case: an empty target/, the server off on a free port, a fresh shown window.
    void init()
    {
        QDir(state->filePath(QStringLiteral("target"))).removeRecursively();
        HttpServer::instance()->setOpen(false);
        HttpServer::instance()->setPort(freePort());
        window = std::make_unique<QWidget>();
        window->setFixedSize(1280, 720);
        TipWidget::create(window.get());
        window->show(); // a toast shows only over a shown window
        panel = new HttpServerSettingWidget(window.get());
        dialog = new HttpServerUrlFileDialog(window.get());
    }
    void cleanup()
    {
        HttpServer::instance()->setOpen(false);
        window.reset();
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
        const QString newPort = QString::number(newPortTaken ? blocker.serverPort() : freePort());
        const auto fill = [&](QString text) {
            return text.replace(QLatin1String("old"), oldPort)
                .replace(QLatin1String("new"), newPort);
        };
        // A saved remote menu follows the port.
        const QString url = QStringLiteral("<URL>%1RemotePhoneBook_A.xml</URL>");
        const QString menu = state->filePath(QStringLiteral("target/menu.xml"));
        QVERIFY(writeFile(menu, "<QuelvoxIPPhoneMenu><MenuItem><Name>A</Name>" +
                                    url.arg(server->serverUrl()).toUtf8() +
                                    "</MenuItem></QuelvoxIPPhoneMenu>"));

        edit(fill(typed));
        if (commit == QLatin1String("Return")) {
            QTest::keyClick(portField(), Qt::Key_Return);
        } else if (commit == QLatin1String("card")) {
            QTest::mouseClick(child(panel, "labelHttpIP"), Qt::LeftButton);
        } else {
            QTest::keyClick(portField(), Qt::Key_Enter, Qt::KeypadModifier);
            QVERIFY(panel->isEditing());
            QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(400, 300));
        }
        QCOMPARE(panel->isVisible(), commit != QLatin1String("outside"));

        QVERIFY(!panel->isEditing() && portField()->isReadOnly());
        QVERIFY(!child<QPushButton>(panel, "btnEdit")->isHidden());
        QCOMPARE(portField()->text(), fill(port));
        QCOMPARE(QString::number(server->port()), fill(port));
        QCOMPARE(shownToast(), toast);
        QCOMPARE(child(panel, "labelHttpStatus")->text(),
                 QStringLiteral("Http-Server Status: ") + status);
        QCOMPARE(child(panel, "labelHttpIP")->text(),
                 QStringLiteral("Server IP: ") + server->localIp());
        QCOMPARE(server->isOpen(), on); // a failed listen leaves the switch as it was
        QVERIFY(readAll(menu).contains(url.arg(server->serverUrl()).toUtf8()));
        if (status == QLatin1String("On")) {
            QTcpSocket client;
            client.connectToHost(server->localIp(), server->port());
            QVERIFY(client.waitForConnected(3000));
        }
    }

    void listsXmlFilesByName_data()
    {
        QTest::addColumn<QStringList>("files"); // in target; a name ending in "/" is a folder
        QTest::addColumn<QStringList>("listed");
        QTest::addRow("no target folder") << QStringList() << QStringList();
        QTest::addRow("xml files only, sorted")
            << texts({"b.xml", "notes.txt", "a.xml", "sub.xml/"}) << texts({"a.xml", "b.xml"});
    }
    void listsXmlFilesByName()
    {
        QFETCH(QStringList, files);
        QFETCH(QStringList, listed);
        for (const QString &file : files) {
            if (file.endsWith(QLatin1Char('/')))
                state->mkpath(QStringLiteral("target/") + file);
            else
                put(file);
        }
        QSignalSpy dim(CMessageDialogListManager::instance(),
                       &CMessageDialogListManager::sigShowMessagebox);
        showList();
        QStringList expected;
        for (const QString &name : listed)
            expected.append(HttpServer::instance()->serverUrl() + name);
        QCOMPARE(dialog->urls(), expected);
        QCOMPARE(child(dialog, "labelNoFile")->isVisible(), listed.isEmpty());
        for (int i = 0; i < expected.size(); ++i)
            QCOMPARE(child(row(i), "labelUrlFile")->text(), expected.at(i));
        // The main window is dimmed while the list shows; Escape closes it as its button does.
        QTest::keyClick(dialog, Qt::Key_Escape);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dim, (QList<QList<QVariant>>{{true}, {false}}));
    }

    // The URL as the list shows and copies it fetches the file from the running server, also
    // with a space, "#", "?" and Chinese letters in its name.
    void copiedUrlFetchesTheFile()
    {
        const QByteArray content = "<QuelvoxIPPhoneDirectory>\n</QuelvoxIPPhoneDirectory>\n";
        put(QStringLiteral("Sales #1 .xml"), "wrong file\n"); // row 0
        put(QStringLiteral("Sales #1 ?电话.xml"), content);   // row 1
        HttpServer::instance()->setOpen(true);
        QVERIFY(HttpServer::instance()->isListening());
        showList();
        QGuiApplication::clipboard()->clear();
        QTest::mouseClick(child<QPushButton>(row(1), "btnCopyUrl"), Qt::LeftButton);
        const QString copied = QGuiApplication::clipboard()->text();
        QCOMPARE(copied, dialog->urls().at(1));
        QCOMPARE(child(row(1), "labelUrlFile")->text(), copied);
        QCOMPARE(shownToast(), QStringLiteral("Copy successfully!/success"));

        QNetworkAccessManager network;
        std::unique_ptr<QNetworkReply> reply(
            network.get(QNetworkRequest(QUrl(copied, QUrl::StrictMode))));
        QSignalSpy finished(reply.get(), &QNetworkReply::finished);
        QVERIFY(finished.wait(5000));
        QCOMPARE(reply->readAll(), content);
    }
};

QTEST_MAIN(TestHttpPanel)
#include "tst_httppanel.moc"
