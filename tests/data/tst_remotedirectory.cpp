#include "data/remotedirectory.h"
#include "testfiles.h"
#include "testworkdir.h"

#include <QtTest>

// The in-memory remote phonebook: ids, the menu/directory rule, recursive deletes and counts,
// edits, moves and searches.
namespace {
using R = PhonebookResult;

// Adds count contacts to the group; returns their ids.
QList<int> addContacts(RemoteDirectory &dir, int groupId, int count)
{
    QList<int> ids;
    for (int i = 0; i < count; ++i) {
        RemoteContact *contact = nullptr;
        if (dir.addContact(groupId, &contact) != R::Done)
            return ids;
        ids.append(contact->id);
    }
    return ids;
}

QList<int> childIds(const RemoteDirectory &dir, int groupId)
{
    const RemoteGroup *group = dir.findGroup(groupId);
    return group ? group->childIds : QList<int>{-99};
}
} // namespace

class TestRemoteDirectory : public QObject
{
    Q_OBJECT

private slots:
    // Groups and contacts draw on one id counter. A directory file lists contacts only and a menu
    // file groups only, so no group may get both.
    void idsAndTheMenuDirectoryRule()
    {
        RemoteDirectory dir;
        dir.initDefaultGroup();
        QCOMPARE(dir.groupName(0), QStringLiteral("Root Directory"));
        QCOMPARE(childIds(dir, 0), QList<int>{1});
        QCOMPARE(dir.groupName(1), QStringLiteral("Default"));
        QVERIFY(dir.findGroup(1)->isMenu);
        QVERIFY(!dir.isChanged());

        RemoteContact *contact = nullptr;
        QCOMPARE(dir.addContact(1, &contact), R::Done);
        QCOMPARE(contact->id, 2);
        QCOMPARE(contact->name, QStringLiteral("Name"));
        QCOMPARE(contact->numbers, QVector<LabeledValue>(3));
        QVERIFY(!dir.findGroup(1)->isMenu);
        QVERIFY(!dir.addGroup(1));
        QVERIFY(dir.canHoldContacts(1));
        QVERIFY(!dir.canHoldContacts(0));
        QCOMPARE(dir.addContact(0, &contact), R::NoSuchGroup);
        const RemoteGroup *group = dir.addGroup(0);
        QCOMPARE(group->id, 3);
        QCOMPARE(group->name, QStringLiteral("Default1"));
        QCOMPARE(dir.addGroup(3)->id, 4);
        QCOMPARE(dir.addContact(3, &contact), R::NoSuchGroup);
        QVERIFY(dir.findGroup(3)->isMenu);
        QCOMPARE(addContacts(dir, 1, 1), QList<int>{5});
        dir.initDefaultGroup();
        QVERIFY(!dir.isChanged());
        QCOMPARE(dir.contactCount(-1), 0);
        QCOMPARE(dir.groupIds(), (QList<int>{0, 1}));
    }

    void countsAndDeletes()
    {
        RemoteDirectory dir;
        dir.resetToRoot();
        const int sales = dir.addGroup(0)->id;
        const int east = dir.addGroup(sales)->id;
        const int west = dir.addGroup(sales)->id;
        const int support = dir.addGroup(0)->id;
        const QList<int> eastIds = addContacts(dir, east, 3);
        addContacts(dir, west, 2);
        addContacts(dir, support, 4);
        QCOMPARE((QList<int>{dir.contactCount(-1), dir.contactCount(0), dir.contactCount(sales),
                             dir.contactCount(west), dir.contactCount(999)}),
                 (QList<int>{9, 9, 5, 2, 0}));
        QVERIFY(dir.deleteContact(east, eastIds.at(1)));
        QCOMPARE(childIds(dir, east), (QList<int>{eastIds.at(0), eastIds.at(2)}));
        QVERIFY(!dir.findContact(eastIds.at(1)));
        QVERIFY(dir.deleteContact(east, 999));
        QCOMPARE(dir.contactCount(-1), 8);

        // A menu goes with its whole subtree and every contact below it.
        QVERIFY(dir.deleteGroup(sales));
        QCOMPARE(dir.contactCount(-1), 4);
        QCOMPARE(dir.groupIds(), (QList<int>{0, support}));
        QCOMPARE(childIds(dir, 0), QList<int>{support});
        QVERIFY(!dir.deleteGroup(sales));
        // Deleting the root empties it but keeps it.
        QVERIFY(dir.deleteGroup(0));
        QCOMPARE(dir.groupIds(), QList<int>{0});
        QCOMPARE(dir.contactCount(-1), 0);
        QVERIFY(dir.addGroup(0));
    }

    void updateContactKeepsStoredLabels()
    {
        RemoteDirectory dir;
        dir.initDefaultGroup();
        RemoteContact *stored = nullptr;
        dir.addContact(1, &stored);
        const auto pair = [](const char *value, const char *label) {
            return LabeledValue{QString::fromUtf8(value), QString::fromUtf8(label)};
        };
        stored->numbers = {pair("1", "Office"), pair("2", "Mobile"), pair("3", "Home")};
        RemoteContact source;
        source.name = QStringLiteral("Ann");
        source.customPhoto = QStringLiteral("ann.png");
        source.numbers = {pair("10", "X"), pair("20", "Y")};
        source.extras = {pair("B 4", "Room")};
        QVERIFY(dir.updateContact(stored->id, source));
        QCOMPARE(stored->name, QStringLiteral("Ann"));
        QCOMPARE(stored->customPhoto, QStringLiteral("ann.png"));
        QCOMPARE(stored->numbers, (QVector<LabeledValue>{pair("10", "Office"), pair("20", "Mobile"),
                                                         pair("3", "Home")}));
        QCOMPARE(stored->extras, source.extras);
        QVERIFY(!dir.updateContact(999, source));
    }

    // Every edit marks the phonebook changed, even one that finds nothing, so that closing asks to
    // save. (Moves: moveContacts.)
    void changedFlag()
    {
        using Edit = void (*)(RemoteDirectory &);
        const QList<Edit> edits{[](RemoteDirectory &d) { d.addContact(77, nullptr); },
                                [](RemoteDirectory &d) { d.addGroup(77); },
                                [](RemoteDirectory &d) { d.deleteContact(1, 77); },
                                [](RemoteDirectory &d) { d.deleteGroup(77); },
                                [](RemoteDirectory &d) { d.renameGroup(77, {}); },
                                [](RemoteDirectory &d) { d.updateContact(77, {}); },
                                [](RemoteDirectory &d) { d.setNumberLabels({}, {}, {}); }};
        for (int i = 0; i < edits.size(); ++i) {
            RemoteDirectory dir;
            dir.initDefaultGroup();
            edits.at(i)(dir);
            QCOMPARE(dir.groupIds(), (QList<int>{0, 1}));
            QVERIFY2(dir.isChanged(), qPrintable(QString::number(i)));
        }
    }

    void moveContacts_data()
    {
        // Before each move: contacts 2, 3 in directory 1; 5 in directory 4; 6 an empty menu.
        QTest::addColumn<int>("dst");
        QTest::addColumn<QList<int>>("moving");
        QTest::addColumn<QList<int>>("sourceAfter");
        QTest::addColumn<QList<int>>("dstAfter");
        QTest::addColumn<int>("moved");
        QTest::addRow("into a directory")
            << 4 << QList<int>{3} << QList<int>{2} << QList<int>{5, 3} << 1;
        QTest::addRow("into an empty menu")
            << 6 << QList<int>{3, 2} << QList<int>{} << QList<int>{3, 2} << 2;
        // Refused: what would break the tree or put a contact into two groups.
        QTest::addRow("into a menu with sub-groups")
            << 0 << QList<int>{2, 3} << QList<int>{2, 3} << QList<int>{1, 4, 6} << 0;
        QTest::addRow("into an unknown group")
            << 999 << QList<int>{2, 3} << QList<int>{2, 3} << QList<int>{-99} << 0;
        QTest::addRow("into its own group")
            << 1 << QList<int>{2, 3} << QList<int>{2, 3} << QList<int>{2, 3} << 0;
        QTest::addRow("ids the source does not list")
            << 4 << QList<int>{5, 12345} << QList<int>{2, 3} << QList<int>{5} << 0;
    }

    void moveContacts()
    {
        QFETCH(int, dst);
        QFETCH(QList<int>, moving);
        QFETCH(QList<int>, sourceAfter);
        QFETCH(QList<int>, dstAfter);
        QFETCH(int, moved);
        TestWorkDir work;
        RemoteDirectory dir;
        dir.initDefaultGroup();
        QCOMPARE(addContacts(dir, 1, 2), (QList<int>{2, 3}));
        QCOMPARE(dir.addGroup(0)->id, 4);
        QCOMPARE(addContacts(dir, 4, 1), QList<int>{5});
        QCOMPARE(dir.addGroup(0)->id, 6);
        QVERIFY(
            dir.saveFile(work.filePath(QStringLiteral("menu.xml")), QStringLiteral("http://h/")));
        QCOMPARE(dir.moveContacts(moving, 1, dst), moved);
        // A real move must make closing ask to save, or the move is lost.
        QCOMPARE(dir.isChanged(), moved > 0);
        QCOMPARE(childIds(dir, 1), sourceAfter);
        QCOMPARE(childIds(dir, dst), dstAfter);
        QCOMPARE(dir.contactCount(-1), 3);
        QCOMPARE(dir.canHoldContacts(dst), dst != 0 && dst != 999);
    }

    void search_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("expected");
        QTest::addRow("empty key matches all") << "" << texts({"Ann", "bob", "Carl"});
        QTest::addRow("name any case") << "BOB" << texts({"bob"});
        QTest::addRow("number value") << "555" << texts({"Carl"});
        QTest::addRow("labels are not searched") << "Office" << texts({});
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
