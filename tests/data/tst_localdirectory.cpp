// The local store's rules: names, limit, linking, moves, renames, deletes, search, and a
// cross-check of the indexed bulk operations against a plain list-scanning model.

#include "data/localdirectory.h"
#include "localstorenames.h"
#include "testfiles.h"
#include "testworkdir.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {
// The store's rules written as plain scans over lists: slow, but easy to read against the
// rules, so the indexed store can be checked against it.
class ListModel
{
public:
    struct Group
    {
        QString name;
        int id;
        QList<int> ids;
    };
    struct Contact
    {
        int id;
        int groupId;
        QString name;
        QString groupName;
    };

    QList<Group> groups{{QStringLiteral("All Contacts"), 0, {}},
                        {QStringLiteral("Blocklist"), 1, {}}};
    QList<Contact> contacts;
    int lastContactId = 0;
    int lastGroupId = 1;

    template <typename T> static int indexOf(const QList<T> &list, int id)
    {
        for (int i = 0; i < list.size(); ++i) {
            if (list[i].id == id)
                return i;
        }
        return -1;
    }
    Group *group(int id)
    {
        const int i = indexOf(groups, id);
        return i < 0 ? nullptr : &groups[i];
    }
    Contact *contact(int id)
    {
        const int i = indexOf(contacts, id);
        return i < 0 ? nullptr : &contacts[i];
    }

    void addContact(int groupId)
    {
        Group *g = group(groupId);
        if (contacts.size() >= 1000 || !g)
            return;
        QSet<QString> names;
        for (const Contact &c : contacts)
            names.insert(c.name);
        contacts.append({++lastContactId, g->id,
                         LocalDirectory::uniqueName(QStringLiteral("Name"), names), g->name});
        // linkContact
        Contact &added = contacts.last();
        if (added.groupName != QLatin1String("Blocklist")) {
            added.groupId = groups[0].id;
            groups[0].ids.append(added.id);
        }
        for (int i = 1; i < groups.size(); ++i) {
            if (groups[i].name == added.groupName) {
                added.groupId = groups[i].id;
                groups[i].ids.append(added.id);
                return;
            }
        }
        if (added.groupName == QLatin1String("All Contacts"))
            return;
        groups.append({added.groupName, ++lastGroupId, {added.id}});
        added.groupId = lastGroupId;
    }
    void addGroup()
    {
        QSet<QString> names;
        for (const Group &g : groups)
            names.insert(g.name);
        groups.append(
            {LocalDirectory::uniqueName(QStringLiteral("Default"), names), ++lastGroupId, {}});
    }
    void deleteContact(int id)
    {
        Contact *c = contact(id);
        if (!c)
            return;
        if (Group *own = group(c->groupId))
            own->ids.removeAll(id);
        if (Group *all = group(0))
            all->ids.removeAll(id);
        contacts.removeAt(indexOf(contacts, id));
    }
    void deleteGroup(int id)
    {
        Group *g = group(id);
        if (!g)
            return;
        const QList<int> ids = g->ids;
        for (const int contactId : ids)
            deleteContact(contactId);
        groups.removeAt(indexOf(groups, id));
    }
    void renameGroup(int id, const QString &name)
    {
        Group *g = group(id);
        if (!g || g->name == name)
            return;
        for (const Group &other : groups) {
            if (other.name == name)
                return;
        }
        g->name = name;
        for (Contact &c : contacts) {
            if (c.groupId == id)
                c.groupName = name;
        }
    }
    void addIdToGroup(int groupId, int id, bool update, bool updateWhenListed)
    {
        Group *g = group(groupId);
        if (!g)
            return;
        if (g->ids.contains(id)) {
            if (!updateWhenListed)
                return;
        } else {
            g->ids.append(id);
        }
        if (update) {
            Contact *c = contact(id);
            c->groupId = g->id;
            c->groupName = g->name;
        }
    }
    void moveContacts(const QList<int> &ids, int src, int dst)
    {
        for (const int id : ids) {
            Contact *c = contact(id);
            if (!c)
                continue;
            if (dst == 1 && group(0))
                group(0)->ids.removeAll(id);
            if (c->groupId != 0 && group(c->groupId))
                group(c->groupId)->ids.removeAll(id);
            if (src == 1 && dst != 0) {
                addIdToGroup(0, id, false, false);
                addIdToGroup(dst, id, true, false);
            } else {
                addIdToGroup(dst, id, true, dst == 0);
            }
        }
    }
};

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
} // namespace

class TestLocalDirectory : public QObject
{
    Q_OBJECT

private slots:
    void initDefaultGroup();
    void uniqueName_data();
    void uniqueName();
    void addContactNamesAndLinks_data();
    void addContactNamesAndLinks();
    void contactLimit();
    void counts();
    void deleteContact();
    void deleteGroupDeletesItsContacts();
    void renameGroup_data();
    void renameGroup();
    void updateContactCopiesEditableFields();
    void moveContacts_data();
    void moveContacts();
    void searchContacts_data();
    void searchContacts();
    void bulkOperationsMatchListModel_data();
    void bulkOperationsMatchListModel();
};

void TestLocalDirectory::initDefaultGroup()
{
    LocalDirectory store;
    fill(store, 1, {2});
    QVERIFY(store.isChanged());

    store.initDefaultGroup();
    QCOMPARE(groupNames(store), texts({"All Contacts", "Blocklist"}));
    QCOMPARE(store.groups()[0]->id, 0);
    QCOMPARE(store.groups()[1]->id, 1);
    QVERIFY(store.groups()[0]->contactIds.isEmpty());
    QVERIFY(store.contacts().isEmpty());
    QCOMPARE(store.lastContactId(), 0);
    QCOMPARE(store.lastGroupId(), 1);
    QVERIFY(!store.isChanged());
}

void TestLocalDirectory::uniqueName_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("expected");

    QStringList all{QStringLiteral("Name")};
    for (int i = 1; i <= 999; ++i)
        all << QStringLiteral("Name%1").arg(i);
    QStringList gap = all;
    gap.removeAll(QStringLiteral("Name500"));

    QTest::addRow("free") << texts({"Other"}) << QStringLiteral("Name");
    QTest::addRow("taken") << texts({"Name"}) << QStringLiteral("Name1");
    QTest::addRow("case differs") << texts({"name"}) << QStringLiteral("Name");
    QTest::addRow("first gap") << texts({"Name", "Name1", "Name3"}) << QStringLiteral("Name2");
    QTest::addRow("gap at 500") << gap << QStringLiteral("Name500");
    QTest::addRow("all taken") << all << QStringLiteral("Name");
}

void TestLocalDirectory::uniqueName()
{
    QFETCH(QStringList, existing);
    QFETCH(QString, expected);
    const QSet<QString> names(existing.begin(), existing.end());
    QCOMPARE(LocalDirectory::uniqueName(QStringLiteral("Name"), names), expected);
}

void TestLocalDirectory::addContactNamesAndLinks_data()
{
    QTest::addColumn<int>("groupId");
    QTest::addColumn<QString>("expectedGroupName");
    QTest::addColumn<bool>("listedInAll");

    QTest::addRow("named group") << 2 << QStringLiteral("Default") << true;
    QTest::addRow("all contacts") << 0 << QStringLiteral("All Contacts") << true;
    QTest::addRow("blocklist") << 1 << QStringLiteral("Blocklist") << false;
}

void TestLocalDirectory::addContactNamesAndLinks()
{
    QFETCH(int, groupId);
    QFETCH(QString, expectedGroupName);
    QFETCH(bool, listedInAll);

    LocalDirectory store;
    fill(store, 1);
    for (const QString &expectedName : texts({"Name", "Name1", "Name2"})) {
        LocalContact *contact = nullptr;
        QCOMPARE(store.addContact(groupId, &contact), PhonebookResult::Done);
        QVERIFY(contact);
        QCOMPARE(contact->display_name, expectedName);
        QCOMPARE(contact->groupId, groupId);
        QCOMPARE(contact->group_id_name, expectedGroupName);
        QCOMPARE(contact->line, QStringLiteral("-1"));
        QCOMPARE(contact->ring, QStringLiteral("Auto"));
        QCOMPARE(contact->selected_photo, QStringLiteral("0"));
        QCOMPARE(store.findContact(contact->id), contact);
    }
    QCOMPARE(store.contactCount(-1), 3);
    QCOMPARE(store.contactCount(0), listedInAll ? 3 : 0);
    QCOMPARE(listedIds(store, groupId), (QList<int>{1, 2, 3}));
    // No group other than the two built-in ones and "Default" appeared.
    QCOMPARE(store.groups().size(), 3);
}

void TestLocalDirectory::contactLimit()
{
    LocalDirectory store;
    fill(store, 1);
    LocalContact *contact = nullptr;
    QCOMPARE(store.addContact(7, &contact), PhonebookResult::NoSuchGroup); // unknown group
    QVERIFY(!contact);
    QVERIFY(store.contacts().isEmpty());
    for (int i = 0; i < 999; ++i)
        QCOMPARE(store.addContact(i % 3, nullptr), PhonebookResult::Done);
    // The Blocklist counts towards the limit too.
    QVERIFY(store.contactCount(1) > 0);
    QCOMPARE(store.addContact(1, nullptr), PhonebookResult::Done);
    QCOMPARE(store.contactCount(-1), 1000);

    store.initDefaultGroup();
    for (int i = 0; i < 1000; ++i)
        store.addContact(0, nullptr);
    const int lastId = store.lastContactId();
    const QList<int> listed = listedIds(store, 0);
    QCOMPARE(store.addContact(0, nullptr), PhonebookResult::LimitReached);
    QCOMPARE(store.contactCount(-1), 1000);
    QCOMPARE(store.lastContactId(), lastId);
    QCOMPARE(listedIds(store, 0), listed);
}

void TestLocalDirectory::counts()
{
    LocalDirectory store;
    fill(store, 1, {2, 1});
    QCOMPARE(store.contactCount(-1), 2);
    QCOMPARE(store.contactCount(0), 1);
    QCOMPARE(store.contactCount(1), 1);
    QCOMPARE(store.contactCount(2), 1);
    QCOMPARE(store.contactCount(42), 0);
    QCOMPARE(store.groupName(2), QStringLiteral("Default"));
    QCOMPARE(store.groupName(42), QString());
    // Only the two built-in groups are locked, whatever the id.
    QVERIFY(!store.isGroupEditable(0));
    QVERIFY(!store.isGroupEditable(1));
    QVERIFY(store.isGroupEditable(2));
    QVERIFY(store.isGroupEditable(-5));
}

// The lists after deletes are cross-checked below; here: ids are never reused, and unknown ids
// still succeed and mark the phonebook changed.
void TestLocalDirectory::deleteContact()
{
    LocalDirectory store;
    fill(store, 1, {2, 2, 1});
    QVERIFY(store.deleteContact(1, 2)); // the group argument does not matter
    QCOMPARE(listedIds(store, 2), (QList<int>{1}));
    QVERIFY(store.deleteContact(0, 3));
    LocalContact *contact = nullptr;
    store.addContact(0, &contact);
    QCOMPARE(contact->id, 4);

    store.initDefaultGroup();
    QVERIFY(store.deleteContact(0, 99));
    QVERIFY(store.isChanged());
}

void TestLocalDirectory::deleteGroupDeletesItsContacts()
{
    LocalDirectory store;
    fill(store, 2, {2, 3, 2, 0});
    QVERIFY(store.deleteGroup(2));
    QCOMPARE(listedIds(store, 0), (QList<int>{2, 4}));
    QCOMPARE(groupNames(store), texts({"All Contacts", "Blocklist", "Default1"}));
    // Its name is free again, its id is not.
    LocalGroup *again = store.addGroup();
    QCOMPARE(again->name, QStringLiteral("Default"));
    QCOMPARE(again->id, 4);

    store.initDefaultGroup();
    QVERIFY(store.deleteGroup(77));
    QVERIFY(store.isChanged());
}

void TestLocalDirectory::renameGroup_data()
{
    QTest::addColumn<int>("groupId");
    QTest::addColumn<QString>("name");
    QTest::addColumn<PhonebookResult>("result");
    QTest::addColumn<QString>("nameAfter");

    const QString unchanged = QStringLiteral("Default");
    QTest::addRow("new name") << 2 << QStringLiteral("Sales") << PhonebookResult::Done
                              << QStringLiteral("Sales");
    QTest::addRow("other group") << 2 << QStringLiteral("Default1") << PhonebookResult::NameTaken
                                 << unchanged;
    QTest::addRow("all contacts") << 2 << QStringLiteral("All Contacts")
                                  << PhonebookResult::NameTaken << unchanged;
    QTest::addRow("blocklist") << 2 << QStringLiteral("Blocklist") << PhonebookResult::NameTaken
                               << unchanged;
    QTest::addRow("case differs") << 2 << QStringLiteral("default1") << PhonebookResult::Done
                                  << QStringLiteral("default1");
    QTest::addRow("unknown group")
        << 9 << QStringLiteral("Sales") << PhonebookResult::NoSuchGroup << QString();
}

void TestLocalDirectory::renameGroup()
{
    QFETCH(int, groupId);
    QFETCH(QString, name);
    QFETCH(PhonebookResult, result);
    QFETCH(QString, nameAfter);

    LocalDirectory store;
    fill(store, 2, {2, 2, 3});
    // Clear the flag through a real save, then rename.
    TestWorkDir dir;
    QVERIFY(store.saveFile(dir.filePath(QStringLiteral("book.xml"))));
    QVERIFY(!store.isChanged());
    QCOMPARE(store.renameGroup(groupId, name), result);
    QVERIFY(store.isChanged());
    QCOMPARE(store.groupName(groupId), nameAfter);
    if (groupId == 2) {
        QCOMPARE(store.findContact(1)->group_id_name, nameAfter);
        QCOMPARE(store.findContact(2)->group_id_name, nameAfter);
    }
    QCOMPARE(store.findContact(3)->group_id_name, QStringLiteral("Default1"));
    // A group made after a successful rename never takes the new name.
    QVERIFY(store.addGroup()->name != nameAfter);
}

void TestLocalDirectory::updateContactCopiesEditableFields()
{
    LocalDirectory store;
    fill(store, 1);
    LocalContact *contact = nullptr;
    store.addContact(2, &contact);
    contact->ring = QStringLiteral("Ring2");
    contact->default_photo = QStringLiteral("photo");
    contact->priority = QStringLiteral("3");

    // The editable fields are copied; ring, photo, priority, group and id stay.
    LocalContact source;
    source.display_name = QStringLiteral("张三");
    source.office_number = QStringLiteral("1");
    source.mobile_number = QStringLiteral("2");
    source.other_number = QStringLiteral("3");
    source.auto_divert = QStringLiteral("4");
    source.line = QStringLiteral("1");
    source.ring = QStringLiteral("Ring5");
    source.group_id_name = QStringLiteral("Elsewhere");
    source.groupId = 1;
    source.id = 50;
    source.priority = QStringLiteral("9");
    source.default_photo = QStringLiteral("other");
    store.updateContact(contact->id, source);

    const LocalContact &c = *contact;
    QCOMPARE(
        (QStringList{c.display_name, c.office_number, c.mobile_number, c.other_number,
                     c.auto_divert, c.line, c.ring, c.default_photo, c.priority, c.group_id_name}),
        texts({"张三", "1", "2", "3", "4", "1", "Ring2", "photo", "3", "Default"}));
    QCOMPARE(c.groupId, 2);
    QCOMPARE(c.id, 1);

    store.initDefaultGroup();
    store.updateContact(1, source);
    QVERIFY(store.isChanged());
}

void TestLocalDirectory::moveContacts_data()
{
    QTest::addColumn<int>("src");
    QTest::addColumn<int>("dst");
    QTest::addColumn<QList<int>>("moved");
    QTest::addColumn<QList<int>>("all");
    QTest::addColumn<QList<int>>("blocklist");
    QTest::addColumn<QList<int>>("group2");
    QTest::addColumn<QList<int>>("group3");
    QTest::addColumn<int>("movedGroupId");
    QTest::addColumn<QString>("movedGroupName");

    // Before each move: contacts 1, 2 in group 2; 3 in the Blocklist; 4 in group 3.
    QTest::addRow("blocklist to group")
        << 1 << 2 << QList<int>{3} << QList<int>{1, 2, 4, 3} << QList<int>{} << QList<int>{1, 2, 3}
        << QList<int>{4} << 2 << QStringLiteral("Default");
    QTest::addRow("group to blocklist")
        << 2 << 1 << QList<int>{1} << QList<int>{2, 4} << QList<int>{3, 1} << QList<int>{2}
        << QList<int>{4} << 1 << QStringLiteral("Blocklist");
    QTest::addRow("group to all contacts")
        << 2 << 0 << QList<int>{1} << QList<int>{1, 2, 4} << QList<int>{3} << QList<int>{2}
        << QList<int>{4} << 0 << QStringLiteral("All Contacts");
    QTest::addRow("blocklist to all contacts")
        << 1 << 0 << QList<int>{3} << QList<int>{1, 2, 4, 3} << QList<int>{} << QList<int>{1, 2}
        << QList<int>{4} << 0 << QStringLiteral("All Contacts");
}

void TestLocalDirectory::moveContacts()
{
    QFETCH(int, src);
    QFETCH(int, dst);
    QFETCH(QList<int>, moved);
    QFETCH(QList<int>, all);
    QFETCH(QList<int>, blocklist);
    QFETCH(QList<int>, group2);
    QFETCH(QList<int>, group3);
    QFETCH(int, movedGroupId);
    QFETCH(QString, movedGroupName);

    LocalDirectory store;
    fill(store, 2, {2, 2, 1, 3});
    TestWorkDir dir;
    QVERIFY(store.saveFile(dir.filePath(QStringLiteral("book.xml"))));

    store.moveContacts(moved + QList<int>{99}, src, dst);
    QCOMPARE(listedIds(store, 0), all);
    QCOMPARE(listedIds(store, 1), blocklist);
    QCOMPARE(listedIds(store, 2), group2);
    QCOMPARE(listedIds(store, 3), group3);
    QVERIFY(!store.isChanged());
    for (const int id : moved) {
        QCOMPARE(store.findContact(id)->groupId, movedGroupId);
        QCOMPARE(store.findContact(id)->group_id_name, movedGroupName);
    }
}

void TestLocalDirectory::searchContacts_data()
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
    QTest::addRow("unknown group") << 42 << QString() << QStringList{};
}

void TestLocalDirectory::searchContacts()
{
    QFETCH(int, groupId);
    QFETCH(QString, key);
    QFETCH(QStringList, expected);

    LocalDirectory store;
    fill(store, 1);
    const auto add = [&store](int group, const char *name, const char *office, const char *mobile,
                              const char *other) {
        LocalContact *contact = nullptr;
        store.addContact(group, &contact);
        LocalContact fields;
        fields.display_name = QString::fromUtf8(name);
        fields.office_number = QString::fromUtf8(office);
        fields.mobile_number = QString::fromUtf8(mobile);
        fields.other_number = QString::fromUtf8(other);
        fields.auto_divert = QStringLiteral("999");
        store.updateContact(contact->id, fields);
    };
    add(0, "ann smith", "1001", "", "");
    add(2, "Bob", "1002", "5551", "");
    add(0, "李四", "", "", "7771");
    add(1, "Blocked", "1003", "", "");

    // Results are appended to what the list already holds.
    LocalContact marker;
    marker.display_name = QStringLiteral("marker");
    QList<LocalContact *> result{&marker};
    store.searchContacts(groupId, key, result);
    QStringList names;
    for (const LocalContact *contact : result)
        names << contact->display_name;
    QCOMPARE(names, texts({"marker"}) + expected);
}

void TestLocalDirectory::bulkOperationsMatchListModel_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed = 1; seed <= 6; ++seed)
        QTest::addRow("seed %u", seed) << seed;
}

void TestLocalDirectory::bulkOperationsMatchListModel()
{
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    LocalDirectory store;
    store.initDefaultGroup();
    ListModel model;

    const auto anyGroupId = [&]() {
        return model.groups.isEmpty()
                   ? 0
                   : model.groups.at(random.bounded(model.groups.size())).id + random.bounded(2);
    };
    for (int step = 0; step < 400; ++step) {
        const int op = random.bounded(100);
        if (op < 45) {
            const int group = anyGroupId();
            store.addContact(group, nullptr);
            model.addContact(group);
        } else if (op < 55) {
            store.addGroup();
            model.addGroup();
        } else if (op < 75) {
            QList<int> ids;
            const int count = random.bounded(8);
            for (int i = 0; i < count; ++i)
                ids << 1 + random.bounded(model.lastContactId + 1);
            const int src = anyGroupId();
            const int dst = anyGroupId();
            store.moveContacts(ids, src, dst);
            model.moveContacts(ids, src, dst);
        } else if (op < 85) {
            const int id = 1 + random.bounded(model.lastContactId + 1);
            store.deleteContact(0, id);
            model.deleteContact(id);
        } else if (op < 90) {
            // Never group 0: with it gone every later contact would be listed nowhere.
            const int group = 1 + random.bounded(model.lastGroupId + 1);
            store.deleteGroup(group);
            model.deleteGroup(group);
        } else {
            const int group = anyGroupId();
            const QString name = QStringLiteral("G%1").arg(random.bounded(6));
            store.renameGroup(group, name);
            model.renameGroup(group, name);
        }

        const QList<LocalGroup *> groups = store.groups();
        QCOMPARE(groups.size(), model.groups.size());
        for (int i = 0; i < groups.size(); ++i) {
            QCOMPARE(groups[i]->id, model.groups[i].id);
            QCOMPARE(groups[i]->name, model.groups[i].name);
            QCOMPARE(groups[i]->contactIds, model.groups[i].ids);
        }
        const QVector<LocalContact *> contacts = store.contacts();
        QCOMPARE(contacts.size(), model.contacts.size());
        for (int i = 0; i < contacts.size(); ++i) {
            QCOMPARE(contacts[i]->id, model.contacts[i].id);
            QCOMPARE(contacts[i]->groupId, model.contacts[i].groupId);
            QCOMPARE(contacts[i]->group_id_name, model.contacts[i].groupName);
            QCOMPARE(contacts[i]->display_name, model.contacts[i].name);
            QCOMPARE(store.findContact(contacts[i]->id), contacts[i]);
        }
    }
}

QTEST_GUILESS_MAIN(TestLocalDirectory)
#include "tst_localdirectory.moc"
