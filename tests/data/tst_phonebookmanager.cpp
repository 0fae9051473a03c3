#include "data/localdirectory.h"
#include "data/phonebookmanager.h"
#include "data/remotedirectory.h"
#include "testfiles.h"
#include "testworkdir.h"

#include <QtTest>

// The kind-dispatching facade: each call reaches the store of its kind and no other, any other
// kind gets neutral answers, and the few rules the facade adds. The stores' own rules: their tests.
class TestPhonebookManager : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        LocalDirectory::instance().initDefaultGroup();
        RemoteDirectory::instance().initDefaultGroup();
    }
    void cleanup() { RemoteDirectory::setBaseUrlProvider({}); }

    void dispatch_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addRow("none") << 0;
        QTest::addRow("local") << int(PhonebookManager::LocalDir);
        QTest::addRow("remote") << int(PhonebookManager::RemoteDir);
    }

    void dispatch()
    {
        QFETCH(int, kind);
        const bool isLocal = kind == PhonebookManager::LocalDir;
        const bool isRemote = kind == PhonebookManager::RemoteDir;
        const bool neutral = !isLocal && !isRemote;
        TestWorkDir work;
        // Groups 2 and 3 in both stores; local contact 1 and remote contacts 4, 5 in group 2.
        LocalDirectory &local = LocalDirectory::instance();
        RemoteDirectory &remote = RemoteDirectory::instance();
        local.addGroup();
        local.addGroup();
        local.addContact(2, nullptr);
        remote.addGroup(0);
        remote.addGroup(0);
        remote.addContact(2, nullptr);
        remote.addContact(2, nullptr);

        QCOMPARE(PhonebookManager::groupName(kind, 0), isLocal    ? QStringLiteral("All Contacts")
                                                       : isRemote ? QStringLiteral("Root Directory")
                                                                  : QString());
        QCOMPARE(PhonebookManager::contactCount(kind, 2), isLocal ? 1 : isRemote ? 2 : 0);
        QCOMPARE(PhonebookManager::isChanged(kind), !neutral);
        // The built-in local groups are not editable. Every local group holds contacts, a remote
        // one unless it is a menu with sub-groups or unknown.
        QCOMPARE(PhonebookManager::isGroupEditable(kind, 1), !isLocal);
        QVERIFY(PhonebookManager::isGroupEditable(kind, 2));
        QCOMPARE(PhonebookManager::canHoldContacts(kind, 0), isLocal);
        QCOMPARE(PhonebookManager::canHoldContacts(kind, 3), !neutral);
        QCOMPARE(PhonebookManager::canHoldContacts(kind, 77), isLocal);
        // The facade refuses an empty name before any store is asked; blanks are a name.
        QCOMPARE(PhonebookManager::updateGroup(kind, 2, QString()), PhonebookResult::EmptyName);
        QCOMPARE(PhonebookManager::updateGroup(kind, 2, QStringLiteral(" ")),
                 PhonebookResult::Done);
        QCOMPARE(local.groupName(2) == QLatin1String(" "), isLocal);
        QCOMPARE(remote.groupName(2) == QLatin1String(" "), isRemote);
        QCOMPARE(PhonebookManager::moveContactsToGroup(kind, {isLocal ? 1 : 4}, 2, 3),
                 neutral ? 0 : 1);
        QCOMPARE(local.contactCount(3), isLocal ? 1 : 0);
        QCOMPARE(remote.contactCount(3), isRemote ? 1 : 0);
        QCOMPARE(PhonebookManager::deleteContact(kind, 2, isLocal ? 1 : 5), !neutral);
        QCOMPARE(local.contactCount(-1), isLocal ? 0 : 1);
        QCOMPARE(remote.contactCount(-1), isRemote ? 1 : 2);
        // A remote save points the menus at the installed base URL.
        RemoteDirectory::setBaseUrlProvider([] { return QStringLiteral("http://10.1.2.3:8080/"); });
        const QString path = work.filePath(QStringLiteral("book.xml"));
        QCOMPARE(PhonebookManager::saveFile(kind, path), !neutral);
        QCOMPARE(PhonebookManager::isChanged(kind), false);
        QCOMPARE(readAll(path).contains("<URL>http://10.1.2.3:8080/RemotePhoneBook_Default.xml"),
                 isRemote);
        QCOMPARE(QFileInfo::exists(path), !neutral);
        QCOMPARE(PhonebookManager::deleteGroup(kind, 3), !neutral);
        QCOMPARE(!local.findGroup(3), isLocal);
        QCOMPARE(!remote.findGroup(3), isRemote);
        PhonebookManager::initDefaultGroup(kind);
        QCOMPARE(local.groups().size(), isLocal ? 2 : 4);
        QCOMPARE(remote.groupIds().size(), isRemote ? 2 : 4);
    }
};

QTEST_GUILESS_MAIN(TestPhonebookManager)
#include "tst_phonebookmanager.moc"
