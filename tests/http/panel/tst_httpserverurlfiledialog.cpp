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

    void put(const QString &name, const QByteArray &content = "<x/>\n")
    {
        QVERIFY(writeFile(fixture->state.filePath(QStringLiteral("target/") + name), content));
    }
    void showList()
    {
        dialog->RefreshFileList();
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    }
    qvViewItemWidget *row(int index) const
    {
        return dialog->findChild<qvListWidget *>()->GetItemWidget(index);
    }

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
        QTest::addRow("xml files only, sorted")
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
                fixture->state.mkpath(QStringLiteral("target/") + file);
            else
                put(file);
        }
        showList();
        QStringList expected;
        for (const QString &name : listed)
            expected.append(HttpServer::instance()->serverUrl() + name);
        QCOMPARE(dialog->urls(), expected);
        QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("labelNoFile"))->isVisible(),
                 listed.isEmpty());
        for (int i = 0; i < expected.size(); ++i)
            QCOMPARE(row(i)->findChild<QLabel *>(QStringLiteral("labelUrlFile"))->text(),
                     expected.at(i));
    }

    // The URL as the list shows and copies it fetches the file from the running server.
    void copiedUrlFetchesTheFile()
    {
        const QByteArray content = "<QuelvoxIPPhoneDirectory>\n</QuelvoxIPPhoneDirectory>\n";
        put(QStringLiteral("Sales #1 .xml"), "wrong file\n"); // row 0
        put(QStringLiteral("Sales #1 ?电话.xml"), content);   // row 1
        HttpServer::instance()->setOpen(true);
        QVERIFY(HttpServer::instance()->isListening());
        showList();
        QGuiApplication::clipboard()->clear();
        QTest::mouseClick(row(1)->findChild<QPushButton *>(QStringLiteral("btnCopyUrl")),
                          Qt::LeftButton);
        const QString copied = QGuiApplication::clipboard()->text();
        QCOMPARE(copied, dialog->urls().at(1));
        QCOMPARE(PanelFixture::toast(), QStringLiteral("Copy successfully!/success"));

        QNetworkAccessManager network;
        std::unique_ptr<QNetworkReply> reply(
            network.get(QNetworkRequest(QUrl(copied, QUrl::StrictMode))));
        QSignalSpy finished(reply.get(), &QNetworkReply::finished);
        QVERIFY(finished.wait(5000));
        QCOMPARE(reply->readAll(), content);
    }

    void dimsWhileShown()
    {
        QSignalSpy dim(CMessageDialogListManager::instance(),
                       &CMessageDialogListManager::sigShowMessagebox);
        showList();
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("btnClose")),
                          Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
        showList();
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dim, (QList<QList<QVariant>>{{true}, {false}, {true}, {false}}));
    }
};

QTEST_MAIN(TestHttpServerUrlFileDialog)
#include "tst_httpserverurlfiledialog.moc"
