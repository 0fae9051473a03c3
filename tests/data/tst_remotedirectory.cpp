#include "data/remotedirectory.h"
#include "testfiles.h"

#include <QtTest>

#include <functional>

// The in-memory remote phonebook: ids, the menu/directory rule, recursive deletes and counts,
// edits, moves and searches.
class TestRemoteDirectory : public QObject
{
    Q_OBJECT

private:
    // Adds count contacts to the group; returns their ids.
    static QList<int> addContacts(RemoteDirectory &dir, int groupId, int count)
    {
        QList<int> ids;
        for (int i = 0; i < count; ++i) {
            RemoteContact *contact = nullptr;
            if (dir.addContact(groupId, &contact) != PhonebookResult::Done)
                return ids;
            ids.append(contact->id);
        }
        return ids;
    }

private slots:
    void defaultPhonebookSharesOneIdCounter()
    {
        RemoteDirectory dir;
        dir.initDefaultGroup();
        QCOMPARE(dir.groupName(0), QStringLiteral("Root Directory"));
        QCOMPARE(dir.findGroup(0)->childIds, QList<int>{1});
        QCOMPARE(dir.groupName(1), QStringLiteral("Default"));
        QVERIFY(dir.findGroup(1)->isMenu);
        QVERIFY(!dir.isChanged());

        RemoteContact *contact = nullptr;
        QCOMPARE(dir.addContact(1, &contact), PhonebookResult::Done);
        QCOMPARE(contact->id, 2);
        QCOMPARE(contact->name, QStringLiteral("Name"));
        QCOMPARE(contact->numbers.size(), 3);
        for (const LabeledValue &number : contact->numbers)
            QVERIFY(number.value.isEmpty() && number.label.isEmpty());
        QVERIFY(!dir.findGroup(1)->isMenu);
        QVERIFY(dir.canHoldContacts(1));
        QVERIFY(!dir.canHoldContacts(0));

        const RemoteGroup *group = dir.addGroup(0);
        QCOMPARE(group->id, 3);
        QCOMPARE(group->name, QStringLiteral("Default1"));
        QCOMPARE(group->parentId, 0);
        // Renaming does not require unique names.
        QCOMPARE(dir.renameGroup(3, QStringLiteral("Default")), PhonebookResult::Done);
        QCOMPARE(dir.groupName(3), QStringLiteral("Default"));
        QCOMPARE(addContacts(dir, 1, 1), QList<int>{4});
    }

    void resetKeepsLabelsAndRestartsIds()
    {
        RemoteDirectory dir;
        dir.initDefaultGroup();
        addContacts(dir, 1, 3);
        dir.setNumberLabels(QStringLiteral("Office"), QStringLiteral("Number2"), QString());
        QVERIFY(dir.isChanged());
        dir.initDefaultGroup();
        QVERIFY(!dir.isChanged());
        QCOMPARE(dir.contactCount(-1), 0);
        QCOMPARE(dir.groupIds(), (QList<int>{0, 1}));
        QString l1, l2, l3;
        dir.getNumberLabels(l1, l2, l3);
        QCOMPARE(QStringList({l1, l2, l3}), texts({"Office", "Number2", ""}));
        dir.resetToRoot();
        QCOMPARE(dir.groupIds(), QList<int>{0});
        QVERIFY(dir.findGroup(0)->childIds.isEmpty());
    }

    void countsAndRecursiveDelete()
    {
        RemoteDirectory dir;
        dir.resetToRoot();
        RemoteGroup *sales = dir.addGroup(0);
        RemoteGroup *east = dir.addGroup(sales->id);
        RemoteGroup *west = dir.addGroup(sales->id);
        RemoteGroup *support = dir.addGroup(0);
        const int eastId = east->id, westId = west->id, salesId = sales->id;
        addContacts(dir, eastId, 3);
        addContacts(dir, westId, 2);
        addContacts(dir, support->id, 4);
        QCOMPARE(dir.contactCount(-1), 9);
        QCOMPARE(dir.contactCount(0), 9);
        QCOMPARE(dir.contactCount(salesId), 5);
        QCOMPARE(dir.contactCount(westId), 2);
        QCOMPARE(dir.contactCount(999), 0);

        QVERIFY(dir.deleteGroup(salesId));
        QCOMPARE(dir.contactCount(-1), 4);
        QVERIFY(!dir.findGroup(salesId) && !dir.findGroup(eastId) && !dir.findGroup(westId));
        QCOMPARE(dir.findGroup(0)->childIds, QList<int>{support->id});
        QCOMPARE(dir.groupIds().size(), 2);
        QVERIFY(!dir.deleteGroup(salesId));

        // Deleting the root empties it but keeps it.
        QVERIFY(dir.deleteGroup(0));
        QVERIFY(dir.findGroup(0));
        QCOMPARE(dir.contactCount(-1), 0);
        QCOMPARE(dir.groupIds(), QList<int>{0});
        QVERIFY(dir.addGroup(0));
    }

    void groupsStayOutOfDirectoriesAndContactsOutOfMenus()
    {
        RemoteDirectory dir;
        dir.initDefaultGroup();
        addContacts(dir, 1, 1);
        QVERIFY(!dir.addGroup(1)); // a directory file cannot list groups
        RemoteGroup *menu = dir.addGroup(0);
        const int menuId = menu->id;
        QVERIFY(dir.addGroup(menuId));
        RemoteContact *contact = nullptr;
        QCOMPARE(dir.addContact(menuId, &contact), PhonebookResult::NoSuchGroup);
        QCOMPARE(dir.addContact(4242, &contact), PhonebookResult::NoSuchGroup);
        QVERIFY(dir.findGroup(menuId)->isMenu);
        QCOMPARE(dir.contactCount(-1), 1);
    }

    void deleteContact()
    {
        RemoteDirectory dir;
        dir.initDefaultGroup();
        const QList<int> ids = addContacts(dir, 1, 3);
        QVERIFY(dir.deleteContact(1, ids.at(1)));
        QCOMPARE(dir.findGroup(1)->childIds, (QList<int>{ids.at(0), ids.at(2)}));
        QVERIFY(!dir.findContact(ids.at(1)));
        QVERIFY(dir.deleteContact(1, 999));
        QCOMPARE(dir.contactCount(1), 2);
    }

    void updateContactKeepsStoredLabels()
    {
        RemoteDirectory dir;
        dir.initDefaultGroup();
        RemoteContact *stored = nullptr;
        dir.addContact(1, &stored);
        stored->numbers = {{QStringLiteral("1"), QStringLiteral("Office")},
                           {QStringLiteral("2"), QStringLiteral("Mobile")},
                           {QStringLiteral("3"), QStringLiteral("Home")}};
        RemoteContact source;
        source.name = QStringLiteral("Ann");
        source.customPhoto = QStringLiteral("ann.png");
        source.numbers = {{QStringLiteral("10"), QStringLiteral("X")},
                          {QStringLiteral("20"), QStringLiteral("Y")}};
        source.extras = {{QStringLiteral("B 4"), QStringLiteral("Room")}};
        QVERIFY(dir.updateContact(stored->id, source));
        QCOMPARE(stored->name, QStringLiteral("Ann"));
        QCOMPARE(stored->customPhoto, QStringLiteral("ann.png"));
        const QVector<LabeledValue> expected = {{QStringLiteral("10"), QStringLiteral("Office")},
                                                {QStringLiteral("20"), QStringLiteral("Mobile")},
                                                {QStringLiteral("3"), QStringLiteral("Home")}};
        QCOMPARE(stored->numbers, expected);
        QCOMPARE(stored->extras, source.extras);
        QVERIFY(!dir.updateContact(999, source));
    }

    void changedFlag()
    {
        // Every edit marks the phonebook changed, even one that finds nothing to change; moves
        // and searches never do.
        const auto changedAfter = [](const std::function<void(RemoteDirectory &)> &operation) {
            RemoteDirectory dir;
            dir.initDefaultGroup();
            operation(dir);
            [&dir] { QCOMPARE(dir.groupIds(), (QList<int>{0, 1})); }();
            return dir.isChanged();
        };
        QVERIFY(changedAfter([](RemoteDirectory &d) {
            RemoteContact *contact = nullptr;
            QCOMPARE(d.addContact(77, &contact), PhonebookResult::NoSuchGroup);
        }));
        QVERIFY(changedAfter([](RemoteDirectory &d) { QVERIFY(!d.addGroup(77)); }));
        QVERIFY(changedAfter([](RemoteDirectory &d) { QVERIFY(d.deleteContact(1, 77)); }));
        QVERIFY(changedAfter([](RemoteDirectory &d) { QVERIFY(!d.deleteGroup(77)); }));
        QVERIFY(changedAfter([](RemoteDirectory &d) { d.renameGroup(77, QStringLiteral("x")); }));
        QVERIFY(changedAfter([](RemoteDirectory &d) { d.updateContact(77, RemoteContact()); }));
        QVERIFY(changedAfter([](RemoteDirectory &d) { d.setNumberLabels({}, {}, {}); }));
        QVERIFY(!changedAfter([](RemoteDirectory &d) { d.moveContacts({5}, 1, 1); }));
        QVERIFY(!changedAfter([](RemoteDirectory &d) {
            QList<RemoteContact *> found;
            d.searchContacts(1, QString(), found);
        }));
    }

    void moveContacts()
    {
        RemoteDirectory dir;
        dir.initDefaultGroup();
        const QList<int> ids = addContacts(dir, 1, 3);
        const int target = dir.addGroup(0)->id;
        dir.moveContacts({ids.at(2), ids.at(0)}, 1, target);
        QCOMPARE(dir.findGroup(1)->childIds, QList<int>{ids.at(1)});
        QCOMPARE(dir.findGroup(target)->childIds, (QList<int>{ids.at(2), ids.at(0)}));
        QVERIFY(!dir.findGroup(target)->isMenu);
        QCOMPARE(dir.contactCount(-1), 3);
    }

    void moveContactsRefusesWhatWouldBreakTheTree_data()
    {
        // Before each move: contacts 2, 3 in directory 1; contact 5 in directory 4.
        QTest::addColumn<int>("dst");
        QTest::addColumn<QList<int>>("moving");
        QTest::addRow("into a menu with sub-groups") << 0 << QList<int>{2, 3};
        QTest::addRow("into an unknown group") << 999 << QList<int>{2, 3};
        QTest::addRow("ids the source does not list") << 4 << QList<int>{5, 12345};
    }

    void moveContactsRefusesWhatWouldBreakTheTree()
    {
        QFETCH(int, dst);
        QFETCH(QList<int>, moving);
        RemoteDirectory dir;
        dir.initDefaultGroup();
        QCOMPARE(addContacts(dir, 1, 2), (QList<int>{2, 3}));
        QCOMPARE(dir.addGroup(0)->id, 4);
        QCOMPARE(addContacts(dir, 4, 1), QList<int>{5});
        dir.moveContacts(moving, 1, dst);
        QCOMPARE(dir.findGroup(1)->childIds, (QList<int>{2, 3}));
        QCOMPARE(dir.findGroup(4)->childIds, QList<int>{5});
        QVERIFY(dir.findGroup(0)->isMenu);
    }

    void newContactNames_data()
    {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("expected");
        QTest::addRow("free base") << texts({"Name1", "Other"}) << "Name";
        QTest::addRow("first gap") << texts({"Name", "Name1", "Name3"}) << "Name2";
        QTest::addRow("leading zeros do not count") << texts({"Name", "Name01"}) << "Name1";
        QStringList all{QStringLiteral("Name")};
        for (int i = 1; i <= 999; ++i)
            all.append(QStringLiteral("Name%1").arg(i));
        QTest::addRow("all 999 taken") << all << "Name";
        all.removeAt(500);
        QTest::addRow("one gap among 999") << all << "Name500";
    }

    void newContactNames()
    {
        QFETCH(QStringList, existing);
        QFETCH(QString, expected);
        RemoteDirectory dir;
        dir.initDefaultGroup();
        for (const QString &name : existing) {
            RemoteContact *contact = nullptr;
            QCOMPARE(dir.addContact(1, &contact), PhonebookResult::Done);
            contact->name = name;
        }
        RemoteContact *added = nullptr;
        QCOMPARE(dir.addContact(1, &added), PhonebookResult::Done);
        QCOMPARE(added->name, expected);
        // Group names follow the same rule over the group names, root included.
        dir.renameGroup(1, QStringLiteral("Default1"));
        QCOMPARE(dir.addGroup(0)->name, QStringLiteral("Default"));
        QCOMPARE(dir.addGroup(0)->name, QStringLiteral("Default2"));
    }

    void search_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("expected");
        QTest::addRow("empty key matches all") << "" << texts({"Ann", "bob", "Carl"});
        QTest::addRow("name any case") << "BOB" << texts({"bob"});
        QTest::addRow("number value") << "555" << texts({"Carl"});
        QTest::addRow("labels are not searched") << "Office" << texts({});
        QTest::addRow("extras are not searched") << "Room" << texts({});
    }

    void search()
    {
        QFETCH(QString, key);
        QFETCH(QStringList, expected);
        RemoteDirectory dir;
        dir.initDefaultGroup();
        for (const char *name : {"Ann", "bob", "Carl"}) {
            RemoteContact *contact = nullptr;
            dir.addContact(1, &contact);
            contact->name = QString::fromLatin1(name);
            contact->customPhoto = QStringLiteral("photo.png");
            contact->numbers[0].label = QStringLiteral("Office");
            contact->extras.append({QStringLiteral("1"), QStringLiteral("Room")});
        }
        dir.findContact(4)->numbers[2].value = QStringLiteral("0555 1234");
        QList<RemoteContact *> found;
        dir.searchContacts(1, key, found);
        QStringList names;
        for (const RemoteContact *contact : found)
            names.append(contact->name);
        QCOMPARE(names, expected);
        found.clear();
        dir.searchContacts(0, key, found); // a menu lists groups, never contacts
        QVERIFY(found.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestRemoteDirectory)
#include "tst_remotedirectory.moc"
