// The served-file list: which files it lists, how their URLs are written (so that a copied URL
// really fetches the file), the copy button, and the dimming of the main window.

#include "dialogs/cmessagedialoglistmanager.h"
#include "http/panel/httpserverurlfiledialog.h"
#include "panelsupport.h"
#include "testfiles.h"
#include "widgets/qvlistwidget.h"
#include "widgets/qvviewitemwidget.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

class TestHttpServerUrlFileDialog : public QObject
{
    Q_OBJECT

    std::unique_ptr<PanelFixture> fixture;
    std::unique_ptr<HttpServerUrlFileDialog> dialog;

    static void putTargetFile(const QString &name, const QByteArray &content = "<x/>\n")
    {
        QVERIFY(
            writeFile(QDir::current().absoluteFilePath(QStringLiteral("target/") + name), content));
    }
    QLabel *noFileLabel() const
    {
        return dialog->findChild<QLabel *>(QStringLiteral("labelNoFile"));
    }
    qvListWidget *list() const { return dialog->findChild<qvListWidget *>(); }

private slots:
    void initTestCase() { fixture = std::make_unique<PanelFixture>(); }
    void cleanupTestCase() { fixture.reset(); }
    void init()
    {
        fixture->beginCase();
        dialog = std::make_unique<HttpServerUrlFileDialog>(fixture->window.get());
    }
    void cleanup()
    {
        dialog.reset();
        fixture->endCase();
    }

    void listsXmlFilesByName_data()
    {
        QTest::addColumn<QStringList>("files"); // in target; a name ending in "/" is a folder
        QTest::addColumn<QStringList>("listed");
        QTest::addRow("no target folder") << QStringList() << QStringList();
        QTest::addRow("xml files only, sorted, folders left out")
            << texts({"b.xml", "notes.txt", "a.xml", "sub.xml/"}) << texts({"a.xml", "b.xml"});
        QTest::addRow("names encoded as in menu files")
            << texts({"My Book.xml", "a#b.xml", "why?.xml", "电话簿.xml", "50%.xml"})
            << texts({"50%25.xml", "My%20Book.xml", "a%23b.xml", "why%3F.xml",
                      "%E7%94%B5%E8%AF%9D%E7%B0%BF.xml"});
    }
    void listsXmlFilesByName()
    {
        QFETCH(QStringList, files);
        QFETCH(QStringList, listed);
        for (const QString &file : files) {
            if (file.endsWith(QLatin1Char('/')))
                QVERIFY(QDir::current().mkpath(QStringLiteral("target/") + file));
            else
                putTargetFile(file);
        }
        dialog->RefreshFileList();
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));

        const QString base = HttpServer::instance()->serverUrl();
        QStringList expected;
        for (const QString &name : listed)
            expected.append(base + name);
        QCOMPARE(dialog->urls(), expected);
        QCOMPARE(noFileLabel()->isVisible(), listed.isEmpty());
        for (int row = 0; row < expected.size(); ++row) {
            qvViewItemWidget *item = list()->GetItemWidget(row);
            QVERIFY(item);
            QCOMPARE(item->findChild<QLabel *>(QStringLiteral("labelUrlFile"))->text(),
                     expected.at(row));
        }
    }

    void refreshFollowsTheFolder()
    {
        putTargetFile(QStringLiteral("a.xml"));
        dialog->RefreshFileList();
        QCOMPARE(dialog->urls().size(), 1);
        QDir(QDir::current().absoluteFilePath(QStringLiteral("target"))).removeRecursively();
        dialog->RefreshFileList();
        QVERIFY(dialog->urls().isEmpty());
        dialog->show();
        QVERIFY(noFileLabel()->isVisible());
    }

    // The URL as the list shows it fetches the file from the running server.
    void copiedUrlFetchesTheFile()
    {
        const QString name = QStringLiteral("Sales #1 ?电话.xml");
        const QByteArray content = "<QuelvoxIPPhoneDirectory>\n</QuelvoxIPPhoneDirectory>\n";
        putTargetFile(name, content);
        putTargetFile(QStringLiteral("Sales #1 .xml"), "wrong file\n");
        HttpServer *server = HttpServer::instance();
        server->setOpen(true);
        QVERIFY(server->isListening());

        dialog->RefreshFileList();
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        QTRY_VERIFY(list()->GetItemWidget(1));
        QGuiApplication::clipboard()->clear();
        QTest::mouseClick(
            list()->GetItemWidget(1)->findChild<QPushButton *>(QStringLiteral("btnCopyUrl")),
            Qt::LeftButton);
        const QString copied = QGuiApplication::clipboard()->text();
        QCOMPARE(copied, dialog->urls().at(1));
        QCOMPARE(PanelFixture::toastText(), QStringLiteral("Copy successfully!"));
        QCOMPARE(PanelFixture::toastKind(), QStringLiteral("success"));

        QNetworkAccessManager network;
        QNetworkReply *reply = network.get(QNetworkRequest(QUrl(copied, QUrl::StrictMode)));
        QSignalSpy finished(reply, &QNetworkReply::finished);
        QVERIFY(finished.wait(5000));
        QCOMPARE(reply->readAll(), content);
        reply->deleteLater();
    }

    void dimsWhileShown()
    {
        QSignalSpy dim(CMessageDialogListManager::instance(),
                       &CMessageDialogListManager::sigShowMessagebox);
        dialog->RefreshFileList();
        dialog->show();
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("btnClose")),
                          Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
        dialog->RefreshFileList();
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dim.count(), 4);
        for (int i = 0; i < dim.count(); ++i)
            QCOMPARE(dim.at(i).at(0).toBool(), i % 2 == 0);
    }
};

QTEST_MAIN(TestHttpServerUrlFileDialog)
#include "tst_httpserverurlfiledialog.moc"
