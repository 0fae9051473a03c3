// The local store's rules: names, limit, linking, moves, renames, deletes, search, and the
// store's invariants after every step of long runs of random edits.

#include "data/localcontactfields.h"
#include "data/localdirectory.h"
#include "testfiles.h"
#include "testworkdir.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {
using R = PhonebookResult;

QList<int> listedIds(const LocalDirectory &store, int groupId)
{
    const LocalGroup *group = store.findGroup(groupId);
    return group ? group->contactIds : QList<int>{-99};
}

// An initialised store with `groups` added groups (ids 2, 3, ...) and one new contact in each
// group listed in `contacts`, in order (ids 1, 2, ...).
void fill(LocalDirectory &store, int groups, std::initializer_list<int> contacts = {})
{
    store.initDefaultGroup();
    for (int i = 0; i < groups; ++i)
        store.addGroup();
    for (const int groupId : contacts)
        store.addContact(groupId, nullptr);
}

// Clears the changed flag the one way the store offers: a successful save.
void save(LocalDirectory &store)
{
    TestWorkDir dir;
    QVERIFY(store.saveFile(dir.filePath(QStringLiteral("book.xml"))));
    QVERIFY(!store.isChanged());
}

// What holds after any sequence of edits the panes can make: the built-in groups first, ids and
// group names unique, every contact listed once by its own group, by "All Contacts" unless
// blocked, and by no other group, its group name that of its group, and counts that match.
void checkInvariants(const LocalDirectory &store)
{
    const QList<LocalGroup *> groups = store.groups();
    QVERIFY(groups.size() >= 2);
    QCOMPARE(groups[0]->name, LocalDirectory::allContactsName());
    QCOMPARE(groups[1]->name, LocalDirectory::blocklistName());
    QSet<int> groupIds;
    QSet<QString> groupNames;
    for (const LocalGroup *group : groups) {
        QVERIFY(!groupIds.contains(group->id));
        groupIds.insert(group->id);
        QVERIFY2(!groupNames.contains(group->name), qPrintable(group->name));
        groupNames.insert(group->name);
        QCOMPARE(store.findGroup(group->id), group);
    }
    QSet<int> contactIds;
    QHash<int, int> expectedListings; // group id -> contacts it should list
    for (const LocalContact *contact : store.contacts()) {
        const int id = contact->id;
        QVERIFY(!contactIds.contains(id));
        contactIds.insert(id);
        QCOMPARE(store.findContact(id), contact);
        const LocalGroup *own = store.findGroup(contact->groupId);
        QVERIFY2(own, qPrintable(QStringLiteral("contact %1").arg(id)));
        QCOMPARE(contact->group_id_name, own->name);
        QCOMPARE(own->contactIds.count(id), 1);
        ++expectedListings[own->id];
        if (own->id != LocalDirectory::AllContactsId && own->id != LocalDirectory::BlocklistId) {
            QCOMPARE(groups[0]->contactIds.count(id), 1);
            ++expectedListings[LocalDirectory::AllContactsId];
        }
        if (own->id == LocalDirectory::BlocklistId)
            QVERIFY(!groups[0]->contactIds.contains(id));
    }
    for (const LocalGroup *group : groups) {
        QCOMPARE(group->contactIds.size(), expectedListings.value(group->id));
        QCOMPARE(store.contactCount(group->id), group->contactIds.size());
    }
    QCOMPARE(store.contactCount(-1), contactIds.size());
}
} // namespace

class TestLocalDirectory : public QObject
{
    Q_OBJECT

private slots:
    void uniqueName_data()
    {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("expected");
        QStringList all{QStringLiteral("Name")};
        for (int i = 1; i <= 999; ++i)
            all << QStringLiteral("Name%1").arg(i);
        QTest::addRow("case differs") << texts({"name"}) << QStringLiteral("Name");
        QTest::addRow("first gap") << texts({"Name", "Name1", "Name3"}) << QStringLiteral("Name2");
        QTest::addRow("all taken") << all << QStringLiteral("Name");
    }

    void uniqueName()
    {
        QFETCH(QStringList, existing);
        QFETCH(QString, expected);
        const QSet<QString> names(existing.begin(), existing.end());
        QCOMPARE(LocalDirectory::uniqueName(QStringLiteral("Name"), names), expected);
    }

    void contactLimit()
    {
        LocalDirectory store;
        fill(store, 1);
        LocalContact *contact = nullptr;
        QCOMPARE(store.addContact(7, &contact), R::NoSuchGroup);
        QVERIFY(!contact);
        QVERIFY(store.contacts().isEmpty());
        // New contacts take a free name; the Blocklist counts towards the limit too. Where each is
        // listed and that it took its group's name, the invariants below check.
        for (int i = 0; i < LocalDirectory::MaxContacts; ++i)
            QCOMPARE(store.addContact(i % 3, &contact), R::Done);
        QCOMPARE(store.findContact(3)->display_name, QStringLiteral("Name2"));
        QCOMPARE(store.findContact(1000)->display_name, QStringLiteral("Name999"));
        checkInvariants(store);
        QVERIFY(store.contactCount(1) > 0);
        const QList<int> listed = listedIds(store, 0);
        save(store);
        QCOMPARE(store.addContact(0, nullptr), R::LimitReached);
        QCOMPARE(store.contactCount(-1), LocalDirectory::MaxContacts);
        QCOMPARE(store.lastContactId(), LocalDirectory::MaxContacts);
        QCOMPARE(listedIds(store, 0), listed);
        QVERIFY(!store.isChanged());
    }

    // Ids are never reused.
    void deletes()
    {
        LocalDirectory store;
        fill(store, 2, {2, 3, 2, 0});
        QVERIFY(store.deleteContact(1, 3)); // the group argument does not matter
        QCOMPARE(listedIds(store, 2), (QList<int>{1}));
        QVERIFY(store.deleteGroup(2));
        QCOMPARE(listedIds(store, 0), (QList<int>{2, 4}));
        QCOMPARE(store.groups().size(), 3);
        // Its name is free again, its id is not.
        LocalGroup *again = store.addGroup();
        QCOMPARE(again->name, QStringLiteral("Default"));
        QCOMPARE(again->id, 4);
        LocalContact *contact = nullptr;
        store.addContact(0, &contact);
        QCOMPARE(contact->id, 5);
    }

    void renameGroup_data()
    {
        QTest::addColumn<int>("groupId");
        QTest::addColumn<QString>("name");
        QTest::addColumn<PhonebookResult>("result");
        QTest::addColumn<QString>("nameAfter");
        const QString unchanged = QStringLiteral("Default");
        QTest::addRow("new name") << 2 << QStringLiteral("Sales") << R::Done
                                  << QStringLiteral("Sales");
        QTest::addRow("other group")
            << 2 << QStringLiteral("Default1") << R::NameTaken << unchanged;
        QTest::addRow("all contacts")
            << 2 << QStringLiteral("All Contacts") << R::NameTaken << unchanged;
        QTest::addRow("case differs")
            << 2 << QStringLiteral("default1") << R::Done << QStringLiteral("default1");
        QTest::addRow("unknown group")
            << 9 << QStringLiteral("Sales") << R::NoSuchGroup << QString();
    }

    void renameGroup()
    {
        QFETCH(int, groupId);
        QFETCH(QString, name);
        QFETCH(PhonebookResult, result);
        QFETCH(QString, nameAfter);
        LocalDirectory store;
        fill(store, 2, {2, 2, 3});
        save(store);
        QCOMPARE(store.renameGroup(groupId, name), result);
        QVERIFY(store.isChanged());
        QCOMPARE(store.groupName(groupId), nameAfter);
        // The contacts take the new name; a group made after a rename never takes it.
        store.addGroup();
        checkInvariants(store);
    }

    // The fields the detail editor edits are copied; every other one stays.
    void updateContactCopiesEditableFields()
    {
        const QStringList editable = texts({"display_name", "office_number", "mobile_number",
                                            "other_number", "auto_divert", "line"});
        LocalDirectory store;
        fill(store, 1, {2});
        LocalContact *contact = store.findContact(1);
        LocalContact source;
        source.id = 50;
        source.groupId = 1;
        for (const LocalContactFields::Field &field : LocalContactFields::all()) {
            (*contact).*field.member = QStringLiteral("old");
            source.*field.member = QStringLiteral("新 ") + field.name;
        }
        save(store);
        store.updateContact(1, source);
        QVERIFY(store.isChanged());
        for (const LocalContactFields::Field &field : LocalContactFields::all()) {
            const QString expected =
                editable.contains(field.name) ? source.*field.member : QStringLiteral("old");
            QCOMPARE((*contact).*field.member, expected);
        }
        QCOMPARE(contact->groupId, 2);
        QCOMPARE(contact->id, 1);
    }

    void moveContacts_data()
    {
        QTest::addColumn<int>("src");
        QTest::addColumn<int>("dst");
        QTest::addColumn<QList<int>>("moved");
        QTest::addColumn<QList<QList<int>>>("lists"); // groups 0 to 3 after the move
        QTest::addColumn<int>("movedGroupId");
        QTest::addColumn<int>("movedCount");

        // Before each move: contacts 1, 2 in group 2; 3 in the Blocklist; 4 in group 3.
        using L = QList<int>;
        QTest::addRow("blocklist to group")
            << 1 << 2 << L{3} << QList<L>{{1, 2, 4, 3}, {}, {1, 2, 3}, {4}} << 2 << 1;
        QTest::addRow("group to blocklist")
            << 2 << 1 << L{1} << QList<L>{{2, 4}, {3, 1}, {2}, {4}} << 1 << 1;
        QTest::addRow("group to all contacts")
            << 2 << 0 << L{1} << QList<L>{{1, 2, 4}, {3}, {2}, {4}} << 0 << 1;
        QTest::addRow("blocklist to all contacts")
            << 1 << 0 << L{3} << QList<L>{{1, 2, 4, 3}, {}, {1, 2}, {4}} << 0 << 1;
        QTest::addRow("group to group")
            << 2 << 3 << L{2, 1} << QList<L>{{1, 2, 4}, {3}, {}, {4, 2, 1}} << 3 << 2;
        // Refused or empty moves leave every list and record as it was.
        const QList<L> before{{1, 2, 4}, {3}, {1, 2}, {4}};
        QTest::addRow("blocklist to blocklist") << 1 << 1 << L{3} << before << 1 << 0;
        QTest::addRow("into an unknown group") << 2 << 42 << L{1} << before << 2 << 0;
        QTest::addRow("source not listing it") << 3 << 2 << L{1} << before << 2 << 0;
    }

    void moveContacts()
    {
        QFETCH(int, src);
        QFETCH(int, dst);
        QFETCH(QList<int>, moved);
        QFETCH(QList<QList<int>>, lists);
        QFETCH(int, movedGroupId);
        QFETCH(int, movedCount);
        LocalDirectory store;
        fill(store, 2, {2, 2, 1, 3});
        save(store);
        QCOMPARE(store.moveContacts(moved + QList<int>{99}, src, dst), movedCount);
        for (int groupId = 0; groupId < lists.size(); ++groupId)
            QCOMPARE(listedIds(store, groupId), lists.at(groupId));
        // A real move must make closing ask to save, or the move is lost.
        QCOMPARE(store.isChanged(), movedCount > 0);
        for (const int id : moved)
            QCOMPARE(store.findContact(id)->groupId, movedGroupId);
        checkInvariants(store);
    }

    void searchContacts_data()
    {
        QTest::addColumn<int>("groupId");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("expected");
        QTest::addRow("empty key") << 0 << QString() << texts({"ann smith", "Bob", "李四"});
        QTest::addRow("inner substring, any case")
            << 0 << QStringLiteral("MIT") << texts({"ann smith"});
        QTest::addRow("office number") << 0 << QStringLiteral("100") << texts({"ann smith", "Bob"});
        QTest::addRow("other number") << 0 << QStringLiteral("777") << texts({"李四"});
        QTest::addRow("mobile number") << 0 << QStringLiteral("555") << texts({"Bob"});
        QTest::addRow("auto divert not searched") << 0 << QStringLiteral("999") << QStringList{};
        QTest::addRow("own group only") << 2 << QString() << texts({"Bob"});
        QTest::addRow("blocklist") << 1 << QString() << texts({"Blocked"});
    }

    void searchContacts()
    {
        QFETCH(int, groupId);
        QFETCH(QString, key);
        QFETCH(QStringList, expected);
        LocalDirectory store;
        fill(store, 1);
        const auto add = [&store](int group, const char *name, const char *office,
                                  const char *mobile, const char *other) {
            LocalContact *contact = nullptr;
            store.addContact(group, &contact);
            contact->display_name = QString::fromUtf8(name);
            contact->office_number = QString::fromUtf8(office);
            contact->mobile_number = QString::fromUtf8(mobile);
            contact->other_number = QString::fromUtf8(other);
            contact->auto_divert = QStringLiteral("999");
        };
        add(0, "ann smith", "1001", "", "");
        add(2, "Bob", "1002", "5551", "");
        add(0, "李四", "", "", "7771");
        add(1, "Blocked", "1003", "", "");
        QList<LocalContact *> result;
        store.searchContacts(groupId, key, result);
        QStringList names;
        for (const LocalContact *contact : result)
            names << contact->display_name;
        QCOMPARE(names, expected);
    }

    // Edits as the panes make them: moves take contacts the source group lists, into a group
    // that exists; the built-in groups are never renamed or deleted.
    void randomEditsKeepInvariants_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed = 1; seed <= 6; ++seed)
            QTest::addRow("seed %u", seed) << seed;
    }

    void randomEditsKeepInvariants()
    {
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        LocalDirectory store;
        store.initDefaultGroup();
        const auto anyGroup = [&]() -> LocalGroup * {
            const QList<LocalGroup *> groups = store.groups();
            return groups.at(random.bounded(groups.size()));
        };
        for (int step = 0; step < 400; ++step) {
            const int op = random.bounded(100);
            if (op < 45) {
                store.addContact(anyGroup()->id + random.bounded(2), nullptr);
            } else if (op < 55) {
                store.addGroup();
            } else if (op < 75) {
                const LocalGroup *src = anyGroup();
                QList<int> ids{store.lastContactId() + 1};
                for (const int id : src->contactIds) {
                    if (random.bounded(3) == 0)
                        ids << id;
                }
                const int dst = anyGroup()->id;
                if (dst != src->id) // the contact list refuses a move into the same group
                    store.moveContacts(ids, src->id, dst);
            } else if (op < 85) {
                store.deleteContact(0, 1 + random.bounded(store.lastContactId() + 1));
            } else if (op < 90) {
                store.deleteGroup(2 + random.bounded(store.lastGroupId()));
            } else {
                store.renameGroup(2 + random.bounded(store.lastGroupId()),
                                  QStringLiteral("G%1").arg(random.bounded(6)));
            }
            checkInvariants(store);
            if (QTest::currentTestFailed()) {
                qWarning("after step %d (operation %d)", step, op);
                return;
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestLocalDirectory)
#include "tst_localdirectory.moc"
