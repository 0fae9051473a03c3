#include "data/remotedirectory.h"
#include "testfiles.h"
#include "testworkdir.h"

#include <QtTest>

// Re-pointing saved menu files at a new server address.
class TestRemoteUrlUpdater : public QObject
{
    Q_OBJECT

private:
    const QByteArray menu = "<QuelvoxIPPhoneMenu>\n<Title>Root Directory</Title>\n"
                            "<MenuItem>\n<Name>Sales</Name>\n"
                            "<URL>http://192.0.2.10:80/RemotePhoneBook_Sales.xml</URL>\n"
                            "</MenuItem>\n<MenuItem>\n<Name>Other</Name>\n"
                            "<URL>ftp://192.0.2.10:80/x.xml</URL>\n"
                            "</MenuItem>\n</QuelvoxIPPhoneMenu>\n";

private slots:
    void rewritesChangedMenusWithDeclarationAndIndentation()
    {
        TestWorkDir work;
        QVERIFY(writeFile(work.filePath(QStringLiteral("menu.xml")), menu));
        QVERIFY(RemoteDirectory::updateTargetUrls(work.path(), QStringLiteral("192.0.2.99"), 8080));
        QCOMPARE(readAll(work.filePath(QStringLiteral("menu.xml"))),
                 QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                            "<QuelvoxIPPhoneMenu>\n"
                            "    <Title>Root Directory</Title>\n"
                            "    <MenuItem>\n"
                            "        <Name>Sales</Name>\n"
                            "        <URL>http://192.0.2.99:8080/RemotePhoneBook_Sales.xml</URL>\n"
                            "    </MenuItem>\n"
                            "    <MenuItem>\n"
                            "        <Name>Other</Name>\n"
                            "        <URL>ftp://192.0.2.10:80/x.xml</URL>\n"
                            "    </MenuItem>\n"
                            "</QuelvoxIPPhoneMenu>\n"));
        QCOMPARE(QDir(work.path()).entryList(QDir::Files), texts({"menu.xml"}));
    }

    void leavesFilesAloneThatNeedNoChange_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addRow("address already current") << "menu.xml" << menu;
        QTest::addRow("directory file")
            << "dir.xml"
            << QByteArray("<QuelvoxIPPhoneDirectory><Title>T</Title><DirectoryEntry><Name>"
                          "<URL>http://192.0.2.1:1/x</URL></Name></DirectoryEntry>"
                          "</QuelvoxIPPhoneDirectory>");
        QTest::addRow("not xml by name")
            << "menu.txt" << QByteArray(menu).replace("192.0.2.10:80", "h:1");
        QTest::addRow("malformed") << "bad.xml" << QByteArray("<QuelvoxIPPhoneMenu><URL>http://a/");
    }

    void leavesFilesAloneThatNeedNoChange()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        TestWorkDir work;
        QVERIFY(writeFile(work.filePath(name), content));
        const QDateTime before = QFileInfo(work.filePath(name)).lastModified();
        QVERIFY(RemoteDirectory::updateTargetUrls(work.path(), QStringLiteral("192.0.2.10"), 80));
        QCOMPARE(readAll(work.filePath(name)), content);
        QCOMPARE(QFileInfo(work.filePath(name)).lastModified(), before);
    }

    void replacesOnlyTheHostPart_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("expected");
        QTest::addRow("port change") << "http://10.0.0.1:80/a.xml"
                                     << "http://10.0.0.2:81/a.xml";
        QTest::addRow("host without port") << "http://phones/a.xml"
                                           << "http://10.0.0.2:81/a.xml";
        QTest::addRow("old host inside the file name")
            << "http://h:80/RemotePhoneBook_h:80.xml"
            << "http://10.0.0.2:81/RemotePhoneBook_h:80.xml";
        QTest::addRow("https untouched") << "https://h/a.xml"
                                         << "https://h/a.xml";
    }

    void replacesOnlyTheHostPart()
    {
        QFETCH(QString, url);
        QFETCH(QString, expected);
        TestWorkDir work;
        // Upper-case extension and a declaration naming another encoding.
        QVERIFY(writeFile(work.filePath(QStringLiteral("m.XML")),
                          "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><QuelvoxIPPhoneMenu>"
                          "<Title>K\xF6ln</Title><MenuItem><URL>" +
                              url.toUtf8() + "</URL></MenuItem></QuelvoxIPPhoneMenu>"));
        RemoteDirectory::updateTargetUrls(work.path(), QStringLiteral("10.0.0.2"), 81);
        const QByteArray after = readAll(work.filePath(QStringLiteral("m.XML")));
        QVERIFY2(after.contains("<URL>" + expected.toUtf8() + "</URL>"), after.constData());
        if (url != expected) {
            QVERIFY(after.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Quelvox"));
            QVERIFY(after.contains("<Title>K\xC3\xB6ln</Title>"));
        }
    }

    void savedPhonebookIsStillReadableAfterwards()
    {
        TestWorkDir work;
        RemoteDirectory dir;
        dir.resetToRoot();
        dir.addGroup(0)->name = QStringLiteral("Sales Team");
        dir.addGroup(0)->name = QStringLiteral("销售");
        QVERIFY(dir.saveFile(work.filePath(QStringLiteral("top.xml")),
                             QStringLiteral("http://192.0.2.10:80/")));
        const QByteArray directoryBefore =
            readAll(work.filePath(QStringLiteral("RemotePhoneBook_Sales Team.xml")));
        RemoteDirectory::updateTargetUrls(work.path(), QStringLiteral("192.0.2.11"), 80);
        QVERIFY(readAll(work.filePath(QStringLiteral("top.xml")))
                    .contains(
                        "<URL>http://192.0.2.11:80/RemotePhoneBook_%E9%94%80%E5%94%AE.xml</URL>"));
        QCOMPARE(readAll(work.filePath(QStringLiteral("RemotePhoneBook_Sales Team.xml"))),
                 directoryBefore);
        RemoteDirectory back;
        QVERIFY(back.importFile(work.filePath(QStringLiteral("top.xml"))));
        QCOMPARE(back.groupName(2), QStringLiteral("销售"));
        QCOMPARE(back.findGroup(1)->url,
                 QStringLiteral("http://192.0.2.11:80/RemotePhoneBook_Sales%20Team.xml"));
    }
};

QTEST_GUILESS_MAIN(TestRemoteUrlUpdater)
#include "tst_remoteurlupdater.moc"
