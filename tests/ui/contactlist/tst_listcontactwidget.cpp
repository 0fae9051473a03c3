// The contact list pane over the real stores: search, ticks and the all-select signal, the context
// menu, moves and deletes whose rows and toasts follow what the store really did. (The contact
// limit: tst_localdirectory; the empty-group panel: tst_mainwindow.)

#include "../../dialogs/dialogdriver.h"
#include "data/localdirectory.h"
#include "data/phonebookmanager.h"
#include "data/remotedirectory.h"
#include "dialogs/tipwidget.h"
#include "freshstate.h"
#include "menuandtoast.h"
#include "shell/langtranslater.h"
#include "shell/qvthememan.h"
#include "testfiles.h"
#include "ui/contactlist/listcontactwidget.h"
#include "ui/groupselect/treegroupselectwidget.h"
#include "widgets/qvviewitemwidget.h"

#include <QContextMenuEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

constexpr int Local = PhonebookManager::LocalDir;
constexpr int Remote = PhonebookManager::RemoteDir;

QString str(const char *text)
{
    return QString::fromUtf8(text);
}

struct Book
{
    int group = -1;      // the group the pane shows
    int other = -1;      // a group that takes contacts
    int menu = -1;       // remote only: a menu holding a sub-group
    QList<int> contacts; // in the group's order
};

// Local: group 2 "Friends" holds Alice, bob and Carol (numbers in three fields); the pane shows
// "All Contacts". Remote: directory A holds the same three, B is empty, M holds a sub-group.
Book makeBook(int dirType)
{
    const QStringList names{QStringLiteral("Alice"), QStringLiteral("bob"),
                            QStringLiteral("Carol")};
    const QStringList numbers{QStringLiteral("5551234"), QStringLiteral("9876"),
                              QStringLiteral("12399")};
    Book book;
    if (dirType == Local) {
        LocalDirectory &store = LocalDirectory::instance();
        book.other = store.addGroup()->id;
        for (int i = 0; i < 3; ++i) {
            LocalContact *contact = nullptr;
            store.addContact(book.other, &contact);
            contact->display_name = names.at(i);
            QString *fields[] = {&contact->office_number, &contact->mobile_number,
                                 &contact->other_number};
            *fields[i] = numbers.at(i);
            book.contacts.append(contact->id);
        }
        book.group = LocalDirectory::AllContactsId;
        return book;
    }
    RemoteDirectory &store = RemoteDirectory::instance();
    store.resetToRoot();
    book.group = store.addGroup(0)->id;
    book.other = store.addGroup(0)->id;
    book.menu = store.addGroup(0)->id;
    store.addGroup(book.menu);
    for (int i = 0; i < 3; ++i) {
        RemoteContact *contact = nullptr;
        store.addContact(book.group, &contact);
        contact->name = names.at(i);
        contact->numbers[0] = {numbers.at(i), QStringLiteral("Office")};
        book.contacts.append(contact->id);
    }
    return book;
}

QStringList shownNames(ListContactWidget &pane)
{
    QStringList names;
    for (int r = 0; r < pane.count(); ++r) {
        qvViewItemWidget *widget = pane.GetItemWidget(r);
        names << (widget ? widget->findChild<QLabel *>(QStringLiteral("labName"))->text()
                         : QStringLiteral("<no widget>"));
    }
    return names;
}

QLabel *tickOf(ListContactWidget &pane, int row)
{
    return pane.GetItemWidget(row)->findChild<QLabel *>(QStringLiteral("labSelecIcon"));
}

void clickRow(ListContactWidget &pane, int row)
{
    QTest::mouseClick(pane.viewport(), Qt::LeftButton, {},
                      pane.visualItemRect(pane.item(row)).center());
}

// Opens the context menu over point (viewport coordinates); returns its items, empty when no
// menu opened, and clicks the item named chosen.
QStringList contextMenu(ListContactWidget &pane, QPoint point, const QString &chosen = QString())
{
    return runMenu(
        [&] {
            QContextMenuEvent event(QContextMenuEvent::Mouse, point,
                                    pane.viewport()->mapToGlobal(point));
            QApplication::sendEvent(pane.viewport(), &event);
        },
        chosen);
}

} // namespace

class TestListContactWidget : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // Row heights and images come from the compiled-in sheets, as in the editor.
        qApp->setStyleSheet(qvThemeMan::loadStyleSheet(QStringLiteral(":/qss/"), false));
    }
    void init()
    {
        fresh = std::make_unique<FreshState>();
        host = std::make_unique<QWidget>();
        host->resize(800, 600);
        TipWidget::create(host.get());
        pane = new ListContactWidget(host.get());
        pane->setGeometry(10, 76, 332, 520);
        host->show();
    }
    void cleanup()
    {
        host.reset();
        fresh.reset();
    }

    // What each key matches is the stores' rule (their tests); here the rows and the no-match
    // panel that follow from it, over both kinds.
    void search_data()
    {
        QTest::addColumn<int>("dirType");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("expected");
        QTest::addRow("local: digits inside numbers")
            << Local << str("123") << texts({"Alice", "Carol"});
        QTest::addRow("local: nothing matches") << Local << str("zzz") << QStringList();
        QTest::addRow("remote: empty key lists all")
            << Remote << str("") << texts({"Alice", "bob", "Carol"});
    }
    void search()
    {
        QFETCH(int, dirType);
        QFETCH(QString, key);
        QFETCH(QStringList, expected);
        const Book book = showBook(dirType);

        QCOMPARE(pane->searchContacts(key), expected.size());
        QCOMPARE(shownNames(*pane), expected);
        QCOMPARE(pane->isNoMatchShown(), expected.isEmpty() && !key.isEmpty());
        QCOMPARE(pane->currentRow(), expected.isEmpty() ? -1 : 0);
    }

    void ticksReportAllSelected()
    {
        const Book book = showBook(Remote);
        QSignalSpy allSelect(pane, &ListContactWidget::sigContactAllSelect);
        const auto tick = [this](int row) {
            return tickOf(*pane, row)->property("select").toString();
        };

        clickRow(*pane, 0); // outside batch mode a click only selects
        QVERIFY(tickOf(*pane, 0)->isHidden());
        pane->setBatchState(true);
        for (int r = 0; r < 3; ++r) {
            QVERIFY(tickOf(*pane, r)->isVisible());
            QCOMPARE(tick(r), QStringLiteral("off"));
            clickRow(*pane, r);
        }
        QCOMPARE(tick(2), QStringLiteral("on"));
        QVERIFY(pane->isAllSelected());
        clickRow(*pane, 1);
        QCOMPARE(pane->selectedContactIds(), (QList<int>{book.contacts[0], book.contacts[2]}));
        clickRow(*pane, 1);
        QCOMPARE(allSelect, (QList<QList<QVariant>>{{true}, {false}, {true}}));

        pane->setBatchState(false);
        QVERIFY(tickOf(*pane, 1)->isHidden());
        QVERIFY(pane->selectedContactIds().isEmpty() && !pane->isAllSelected());
    }

    // A local contact moved out of "All Contacts" stays listed there unless it goes to the
    // Blocklist; either way the row follows the store.
    void moveFromContextMenu_data()
    {
        QTest::addColumn<bool>("toBlocklist");
        QTest::addRow("to a group: row stays") << false;
        QTest::addRow("to the Blocklist: row goes") << true;
    }
    void moveFromContextMenu()
    {
        QFETCH(bool, toBlocklist);
        const Book book = makeBook(Local);
        LocalDirectory::instance().moveContacts({book.contacts[1]}, book.other,
                                                LocalDirectory::AllContactsId);
        pane->setDirType(Local);
        pane->loadGroup(book.group);
        QSignalSpy counts(pane, &ListContactWidget::sigContactCountChanged);
        const int target = toBlocklist ? LocalDirectory::BlocklistId : book.other;

        contextMenu(*pane, pane->visualItemRect(pane->item(1)).center(), QStringLiteral("Move to"));
        QVERIFY(pane->groupSelectPopup()->isVisible());
        QString question;
        answerNote(QDialogButtonBox::Ok, &question);
        emit pane->groupSelectPopup()->sigSelectedGroup(target);

        QVERIFY(question.endsWith(LocalDirectory::instance().groupName(target) + QLatin1Char('?')));
        QVERIFY(
            LocalDirectory::instance().findGroup(target)->contactIds.contains(book.contacts[1]));
        QCOMPARE(shownNames(*pane),
                 toBlocklist ? texts({"Alice", "Carol"}) : texts({"Alice", "bob", "Carol"}));
        QCOMPARE(toastWithKind(), QStringLiteral("success: Moved successfully!"));
        QCOMPARE(counts.size(), 1);
        QCOMPARE(counts.first().at(0).toInt(), pane->count());
    }

    // Rows and toasts follow what the store did, not what it was asked.
    void batchResultsFollowTheStore_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("oneGoneBefore"); // contact 0 is deleted behind the pane's back
        QTest::addColumn<QString>("toast");
        QTest::addColumn<QStringList>("rows");
        const QStringList all = texts({"Alice", "bob", "Carol"});
        const QStringList rest = texts({"Carol"});
        QTest::addRow("move refused by a menu")
            << str("menu") << false << str("warn: Move failed!") << all;
        QTest::addRow("move with a contact gone")
            << str("move") << true << str("warn: Some contacts could not be moved!") << rest;
        QTest::addRow("move") << str("move") << false << str("success: Moved successfully!")
                              << rest;
        QTest::addRow("same group")
            << str("same") << false << str("warn: Cannot move to the same group!") << all;
        QTest::addRow("delete") << str("delete") << false << str("success: Deleted successfully!")
                                << rest;
        QTest::addRow("delete with a contact gone")
            << str("delete") << true << str("success: Deleted successfully!") << rest;
    }
    void batchResultsFollowTheStore()
    {
        QFETCH(QString, action);
        QFETCH(bool, oneGoneBefore);
        QFETCH(QString, toast);
        QFETCH(QStringList, rows);
        const Book book = showBook(Remote);
        pane->setBatchState(true);
        clickRow(*pane, 0);
        clickRow(*pane, 1);
        if (oneGoneBefore)
            RemoteDirectory::instance().deleteContact(book.group, book.contacts[0]);
        QSignalSpy counts(pane, &ListContactWidget::sigContactCountChanged);

        if (action != QLatin1String("same"))
            answerNote(QDialogButtonBox::Ok);
        if (action == QLatin1String("delete"))
            pane->deleteSelectedContacts();
        else
            pane->moveSelectedContacts(action == QLatin1String("menu")   ? book.menu
                                       : action == QLatin1String("same") ? book.group
                                                                         : book.other);

        QCOMPARE(toastWithKind(), toast);
        QCOMPARE(shownNames(*pane), rows);
        QCOMPARE(counts.size(),
                 toast.startsWith(QLatin1String("success")) || oneGoneBefore ? 1 : 0);
        const bool kept = rows.size() == 3;
        QCOMPARE(pane->selectedContactIds().size(), kept ? 2 : 0); // a refused move keeps ticks
        QList<int> stored = RemoteDirectory::instance().findGroup(book.group)->childIds;
        QCOMPARE(stored.size(), kept && !oneGoneBefore ? 3 : 1);
    }

    void deleteLastSearchResultShowsNoMatch()
    {
        const Book book = showBook(Local);
        QCOMPARE(pane->searchContacts(QStringLiteral("bob")), 1);

        answerNote(QDialogButtonBox::Cancel);
        contextMenu(*pane, pane->visualItemRect(pane->item(0)).center(), QStringLiteral("Delete"));
        QCOMPARE(pane->count(), 1);
        answerNote(QDialogButtonBox::Ok);
        contextMenu(*pane, pane->visualItemRect(pane->item(0)).center(), QStringLiteral("Delete"));

        QCOMPARE(pane->count(), 0);
        QVERIFY(!LocalDirectory::instance().findContact(book.contacts[1]));
        QVERIFY(pane->isNoMatchShown());
        QCOMPARE(toastWithKind(), QStringLiteral("success: Deleted successfully!"));
    }

    void rowsAre48PxAlsoWhenFilledBeforeShown() // the view measures its first row only once
    {
        const Book book = makeBook(Local);
        QWidget hidden;
        ListContactWidget early(&hidden);
        early.setGeometry(0, 0, 332, 520);
        early.setDirType(Local);
        early.loadGroup(book.group);
        hidden.show();
        QVERIFY(QTest::qWaitForWindowExposed(&hidden));
        QCOMPARE(early.visualItemRect(early.item(1)).height(), 48);
    }

    // Rows of a long group get their own state only when they come into view: they must still
    // show their own contact, keep their ticks and keep the current row.
    void longGroupRowsWhileScrolling()
    {
        RemoteDirectory &store = RemoteDirectory::instance();
        store.resetToRoot();
        const int group = store.addGroup(0)->id;
        for (int i = 0; i < 300; ++i) {
            RemoteContact *contact = nullptr;
            store.addContact(group, &contact);
            contact->name = QStringLiteral("Contact %1").arg(i);
        }
        pane->setDirType(Remote);
        pane->loadGroup(group);
        pane->setBatchState(true);
        QSignalSpy rowChanged(pane, &QListWidget::currentRowChanged);
        pane->setCurrentRow(150); // scrolls the row into view
        QTRY_VERIFY(pane->GetItemWidget(150));
        QCOMPARE(pane->currentRow(), 150);
        QVERIFY(pane->item(150)->isSelected());
        QCOMPARE(rowChanged.size(), 1);
        pane->scrollToItem(pane->item(148));
        clickRow(*pane, 148);
        pane->scrollToBottom();
        QTRY_VERIFY(pane->GetItemWidget(299));
        pane->scrollToItem(pane->item(148));
        QTRY_VERIFY(pane->GetItemWidget(148));
        QCOMPARE(pane->selectedContactIds(), QList<int>{pane->contactIdAt(148)});
        const QStringList names = shownNames(*pane);
        for (int r = 0; r < pane->count(); ++r) {
            if (names.at(r) == QLatin1String("<no widget>"))
                continue;
            QCOMPARE(names.at(r), QStringLiteral("Contact %1").arg(r));
            QCOMPARE(tickOf(*pane, r)->property("select").toString(),
                     QLatin1String(r == 148 ? "on" : "off"));
        }
    }

private:
    // The book of that kind, its group shown in the pane.
    Book showBook(int dirType)
    {
        const Book book = makeBook(dirType);
        pane->setDirType(dirType);
        pane->loadGroup(book.group);
        return book;
    }

    std::unique_ptr<FreshState> fresh;
    std::unique_ptr<QWidget> host;
    ListContactWidget *pane = nullptr; // owned by host
};

QTEST_MAIN(TestListContactWidget)
#include "tst_listcontactwidget.moc"
