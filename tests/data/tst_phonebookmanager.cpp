#include "data/localdirectory.h"
#include "data/phonebookmanager.h"
#include "data/remotedirectory.h"
#include "messagecapture.h"
#include "testfiles.h"
#include "testworkdir.h"

#include <QtTest>

namespace {
QStringList logLines()
{
    return MessageCapture::lines(QtDebugMsg);
}
} // namespace

// The kind-dispatching facade: which store answers, which calls are logged, neutral answers for
// any other kind.
class TestPhonebookManager : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        MessageCapture::clear();
        LocalDirectory::instance().initDefaultGroup();
        RemoteDirectory::instance().initDefaultGroup();
    }

    void otherKindsGetNeutralAnswers_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addRow("zero") << 0;
        QTest::addRow("three") << 3;
    }

    void otherKindsGetNeutralAnswers()
    {
        QFETCH(int, kind);
        TestWorkDir work;
        RemoteDirectory::instance().addGroup(0);
        const QString path = work.filePath(QStringLiteral("book.xml"));
        QVERIFY(!PhonebookManager::deleteContact(kind, 0, 1));
        QVERIFY(!PhonebookManager::deleteGroup(kind, 1));
        QCOMPARE(PhonebookManager::contactCount(kind, 0), 0);
        QCOMPARE(PhonebookManager::contactCount(kind, -1), 0);
        QCOMPARE(PhonebookManager::groupName(kind, 0), QString());
        QVERIFY(PhonebookManager::isGroupEditable(kind, 0));
        QVERIFY(!PhonebookManager::isChanged(kind));
        QVERIFY(!PhonebookManager::canHoldContacts(kind, 1));
        QVERIFY(!PhonebookManager::saveFile(kind, path));
        QVERIFY(!QFileInfo::exists(path));
        QCOMPARE(PhonebookManager::updateGroup(kind, 1, QStringLiteral("x")),
                 PhonebookResult::Done);
        PhonebookManager::moveContactsToGroup(kind, {1}, 0, 1);
        PhonebookManager::initDefaultGroup(kind);
        // Neither store was touched; the five destructive or renaming calls were still logged.
        QCOMPARE(LocalDirectory::instance().groups().size(), 2);
        QCOMPARE(RemoteDirectory::instance().groupIds().size(), 3);
        QVERIFY(RemoteDirectory::instance().isChanged());
        QCOMPARE(logLines().size(), 5);
    }

    void dispatchesToTheStoreOfTheKind()
    {
        PhonebookManager::initDefaultGroup(PhonebookManager::RemoteDir);
        PhonebookManager::initDefaultGroup(PhonebookManager::LocalDir);
        QCOMPARE(PhonebookManager::groupName(1, 0), QStringLiteral("All Contacts"));
        QCOMPARE(PhonebookManager::groupName(2, 0), QStringLiteral("Root Directory"));
        RemoteDirectory &remote = RemoteDirectory::instance();
        RemoteContact *contact = nullptr;
        remote.addContact(1, &contact);
        QCOMPARE(PhonebookManager::contactCount(2, 0), 1);
        QCOMPARE(PhonebookManager::contactCount(1, -1), 0);
        QVERIFY(PhonebookManager::isChanged(2));
        QVERIFY(!PhonebookManager::isChanged(1));
        QVERIFY(PhonebookManager::deleteContact(2, 1, contact->id));
        QCOMPARE(PhonebookManager::contactCount(2, -1), 0);
        QVERIFY(PhonebookManager::deleteGroup(2, 1));
        QVERIFY(!remote.findGroup(1));
        QCOMPARE(PhonebookManager::updateGroup(2, 0, QStringLiteral("Top")), PhonebookResult::Done);
        QCOMPARE(remote.groupName(0), QStringLiteral("Top"));
        QCOMPARE(PhonebookManager::updateGroup(1, 0, QStringLiteral("Blocklist")),
                 PhonebookResult::NameTaken);
    }

    void editableAndHoldingGroups_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("groupId");
        QTest::addColumn<bool>("editable");
        QTest::addColumn<bool>("holds");
        QTest::addRow("local all contacts") << 1 << 0 << false << true;
        QTest::addRow("local blocklist") << 1 << 1 << false << true;
        QTest::addRow("local group") << 1 << 2 << true << true;
        QTest::addRow("local unknown group") << 1 << -5 << true << true;
        QTest::addRow("remote root with groups") << 2 << 0 << true << false;
        QTest::addRow("remote empty menu") << 2 << 1 << true << true;
        QTest::addRow("remote unknown") << 2 << 77 << true << false;
    }

    void editableAndHoldingGroups()
    {
        QFETCH(int, kind);
        QFETCH(int, groupId);
        QFETCH(bool, editable);
        QFETCH(bool, holds);
        LocalDirectory::instance().addGroup();
        QCOMPARE(PhonebookManager::isGroupEditable(kind, groupId), editable);
        QCOMPARE(PhonebookManager::canHoldContacts(kind, groupId), holds);
    }

    void emptyNameIsRefusedBeforeAnyStore_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addRow("local") << 1;
        QTest::addRow("remote") << 2;
    }

    void emptyNameIsRefusedBeforeAnyStore()
    {
        QFETCH(int, kind);
        const int groupId = kind == 1 ? LocalDirectory::instance().addGroup()->id : 1;
        const QString before = PhonebookManager::groupName(kind, groupId);
        const bool changedBefore = PhonebookManager::isChanged(kind);
        MessageCapture::clear();
        QCOMPARE(PhonebookManager::updateGroup(kind, groupId, QString()),
                 PhonebookResult::EmptyName);
        QCOMPARE(PhonebookManager::groupName(kind, groupId), before);
        QCOMPARE(PhonebookManager::isChanged(kind), changedBefore);
        QCOMPARE(logLines().size(), 1);
        // A name of blanks is not empty.
        QCOMPARE(PhonebookManager::updateGroup(kind, groupId, QStringLiteral(" ")),
                 PhonebookResult::Done);
    }

    void moveContactsToGroup()
    {
        RemoteDirectory &remote = RemoteDirectory::instance();
        RemoteContact *contact = nullptr;
        remote.addContact(1, &contact);
        const int target = remote.addGroup(0)->id;
        MessageCapture::clear();
        PhonebookManager::moveContactsToGroup(2, {}, 1, target);
        QVERIFY(logLines().isEmpty());
        QCOMPARE(remote.contactCount(1), 1);
        // The facade's line, then the remote store's own.
        PhonebookManager::moveContactsToGroup(2, {contact->id}, 1, target);
        QCOMPARE(remote.contactCount(1), 0);
        QCOMPARE(remote.contactCount(target), 1);
        QCOMPARE(logLines().size(), 2);
    }

    void remoteSaveUsesTheInstalledBaseUrl()
    {
        TestWorkDir work;
        RemoteDirectory::setBaseUrlProvider([] { return QStringLiteral("http://10.1.2.3:8080/"); });
        RemoteDirectory::instance().addGroup(0);
        const QString path = work.filePath(QStringLiteral("menu.xml"));
        QVERIFY(PhonebookManager::saveFile(2, path));
        RemoteDirectory::setBaseUrlProvider({});
        QVERIFY(!PhonebookManager::isChanged(2));
        QVERIFY(
            readAll(path).contains("<URL>http://10.1.2.3:8080/RemotePhoneBook_Default.xml</URL>"));
        QVERIFY(QFileInfo::exists(work.filePath(QStringLiteral("RemotePhoneBook_Default1.xml"))));
    }

    void updateTargetFileUrlRewritesTheWorkingFoldersTarget()
    {
        TestWorkDir work;
        const QString target = work.mkpath(QStringLiteral("target"));
        const QByteArray menu = "<QuelvoxIPPhoneMenu><MenuItem><URL>http://192.0.2.1:80/a.xml"
                                "</URL></MenuItem></QuelvoxIPPhoneMenu>";
        for (const QString &folder : {target, work.path()})
            QVERIFY(writeFile(folder + QStringLiteral("/menu.xml"), menu));
        PhonebookManager::updateTargetFileUrl(QStringLiteral("192.0.2.7"), 8080);
        QCOMPARE(logLines().size(), 1);
        QVERIFY(readAll(target + QStringLiteral("/menu.xml"))
                    .contains("<URL>http://192.0.2.7:8080/a.xml</URL>"));
        QCOMPARE(readAll(work.filePath(QStringLiteral("menu.xml"))), menu);
    }
};

QTEST_GUILESS_MAIN(TestPhonebookManager)
#include "tst_phonebookmanager.moc"
