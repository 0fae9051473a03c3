// The group tree pane on real widgets: rename rules, menus per kind, deleting with the current
// row moving on, rows without widgets, immediate rename of new rows, and counts.

#include "../../dialogs/dialogdriver.h"
#include "data/localdirectory.h"
#include "data/phonebookmanager.h"
#include "data/remotedirectory.h"
#include "dialogs/tipwidget.h"
#include "freshstate.h"
#include "menuandtoast.h"
#include "shell/cucstyle.h"
#include "shell/qvthememan.h"
#include "ui/grouptree/treegroupitem.h"
#include "ui/grouptree/treegroupwidget.h"
#include "ui/grouptree/uigroupitemdata.h"
#include "widgets/qvtreedatamodel.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

// The pane at the main window's size in an active host with the toast, on fresh stores.
struct Pane
{
    FreshState fresh;
    explicit Pane(int dirType, const std::function<void()> &fillStore = {})
    {
        host.resize(300, 600);
        TipWidget::create(&host);
        tree = new TreeGroupWidget(&host);
        tree->setGeometry(10, 62, 266, 532);
        if (fillStore) {
            PhonebookManager::initDefaultGroup(dirType);
            fillStore();
            tree->loadGroupTree(dirType);
        } else {
            tree->initGroupTree(dirType);
        }
        spy = std::make_unique<QSignalSpy>(tree, &TreeGroupWidget::sigSelectedGroupChanged);
        host.show();
        QVERIFY(QTest::qWaitForWindowActive(&host));
    }
    int idOf(const QString &name) const
    {
        for (int id = 0; id < 100; ++id) {
            if (PhonebookManager::groupName(tree->dirType(), id) == name)
                return id;
        }
        return -1;
    }
    QTreeWidgetItem *row(int id) const { return tree->GetTreeItem(tree->findGroupIndex(id)); }
    TreeGroupItem *widget(int id) const
    {
        return qobject_cast<TreeGroupItem *>(tree->GetItemWidget(row(id)));
    }
    template <typename T> T *part(int id, const char *name) const
    {
        TreeGroupItem *w = widget(id);
        return w ? w->findChild<T *>(QString::fromLatin1(name)) : nullptr;
    }
    QLineEdit *edit(int id) const { return part<QLineEdit>(id, "editGruopName"); }
    QString shownName(int id) const { return part<QLabel>(id, "labelGruopName")->text(); }
    QString shownCount(int id) const { return part<QLabel>(id, "labelContactCount")->text(); }
    QPushButton *more(int id) const { return part<QPushButton>(id, "btnMore"); }
    uiGroupItemData data(int id) const
    {
        return tree->GetModel()->GetData(tree->findGroupIndex(id)).value<uiGroupItemData>();
    }
    int lastReported() const { return spy->isEmpty() ? -100 : spy->last().at(0).toInt(); }
    void click(int id) { QTest::mouseClick(widget(id), Qt::LeftButton, {}, QPoint(60, 24)); }
    void doubleClick(int id)
    {
        click(id);
        QTest::mouseDClick(widget(id), Qt::LeftButton, {}, QPoint(60, 24));
    }
    void rightClick(int id)
    {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(60, 24),
                                widget(id)->mapToGlobal(QPoint(60, 24)));
        QApplication::sendEvent(widget(id), &event);
    }

    QWidget host;
    TreeGroupWidget *tree = nullptr; // owned by host
    std::unique_ptr<QSignalSpy> spy;
};

void addLocalGroups(const QStringList &names)
{
    for (const QString &name : names)
        LocalDirectory::instance().renameGroup(LocalDirectory::instance().addGroup()->id, name);
}

} // namespace

class TestTreeGroupWidget : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QApplication::setStyle(new CUCStyle); // the application owns it
        qApp->setStyleSheet(qvThemeMan::loadStyleSheet(QStringLiteral(":/qss/"), false));
    }

    void renameRules_data()
    {
        QTest::addColumn<int>("dirType");
        QTest::addColumn<QString>("typed"); // empty: the selected name is erased
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("toast");
        const auto row = [](const char *tag, int dirType, const QByteArray &typed, int key,
                            const QByteArray &stored, const char *toast = "") {
            QTest::newRow(tag) << dirType << QString::fromUtf8(typed) << key
                               << QString::fromUtf8(stored) << QString::fromUtf8(toast);
        };
        // Which names the stores take: their tests; here the keys, the toasts and the limit.
        const char *taken = "Cannot save group with the same name!";
        row("Return commits", 1, "Family", Qt::Key_Return, "Family");
        row("keypad Enter does not", 1, "Family", Qt::Key_Enter, "Default");
        row("built-in name taken", 1, "Blocklist", Qt::Key_Return, "Default", taken);
        row("empty", 1, "", Qt::Key_Return, "Default", "Name cannot be empty!");
        row("129 characters", 1, QByteArray(129, 'x'), Qt::Key_Return, QByteArray(128, 'x'));
    }

    void renameRules()
    {
        QFETCH(int, dirType);
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(QString, stored);
        QFETCH(QString, toast);
        Pane p(dirType);
        p.tree->addGroup();

        // The new row is current and in rename mode at once, its whole name selected.
        const int id = p.tree->currentGroupId();
        const QString defaultName = PhonebookManager::groupName(dirType, id);
        QCOMPARE(p.lastReported(), id);
        QLineEdit *edit = p.edit(id);
        QVERIFY(edit && edit->isVisible() && edit->hasFocus());
        QTRY_COMPARE(edit->selectedText(), defaultName);

        if (typed.isEmpty())
            QTest::keyClick(edit, Qt::Key_Backspace);
        else
            QTest::keyClicks(edit, typed);
        QTest::keyClick(edit, Qt::Key(key));
        QCOMPARE(PhonebookManager::groupName(dirType, id), stored);
        QCOMPARE(toastText(), toast);
        QCOMPARE(edit->isVisible(), key == Qt::Key_Enter);
        if (key == Qt::Key_Enter)
            return;
        QCOMPARE(p.shownName(id), stored);
        // The model no longer asks for rename mode, also after a refused name.
        QCOMPARE(p.data(id).strGroupName, stored);
        QVERIFY(!p.data(id).bEditing);
    }

    void renameEnds_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("click on another row") << "click";
        QTest::newRow("row scrolled out of view") << "scroll";
        QTest::newRow("row stops being current") << "current";
    }

    void renameEnds()
    {
        QFETCH(QString, how);
        QStringList names;
        for (int i = 0; i < 20; ++i)
            names << QStringLiteral("G%1").arg(i);
        Pane p(PhonebookManager::LocalDir, [&] { addLocalGroups(names); });
        const int id = p.idOf(QStringLiteral("G0"));
        p.doubleClick(id);
        QTRY_COMPARE(p.edit(id)->selectedText(), QStringLiteral("G0"));
        QTest::keyClicks(p.edit(id), QStringLiteral("Work"));

        QScrollBar *bar = p.tree->verticalScrollBar();
        if (how == QLatin1String("click")) {
            p.click(p.idOf(QStringLiteral("G1")));
        } else if (how == QLatin1String("scroll")) {
            bar->setValue(bar->maximum());
            QVERIFY(!p.widget(id));
            bar->setValue(0);
        } else {
            p.tree->setCurrentItem(p.row(p.idOf(QStringLiteral("G5"))));
        }
        QCOMPARE(PhonebookManager::groupName(1, id), QStringLiteral("Work"));
        QVERIFY(!p.edit(id)->isVisible());
        QCOMPARE(p.shownName(id), QStringLiteral("Work"));
        QVERIFY(!p.data(id).bEditing);
    }

    // Per kind of row: its menu (by right click or by its "more" button) and double click.
    void rowKinds_data()
    {
        QTest::addColumn<int>("dirType");
        QTest::addColumn<int>("id");
        QTest::addColumn<bool>("byMoreButton");
        QTest::addColumn<QStringList>("items"); // empty: no menu, no "more" button, no rename
        const QStringList both{QStringLiteral("New Group"), QStringLiteral("Deleted Group")};
        const QStringList deleteOnly{QStringLiteral("Deleted Group")};
        QTest::newRow("built-in group") << 1 << 1 << false << QStringList();
        QTest::newRow("local group") << 1 << 2 << true << deleteOnly;
        QTest::newRow("remote menu") << 2 << 1 << false << both;
        QTest::newRow("remote menu, more") << 2 << 1 << true << both;
        QTest::newRow("remote directory") << 2 << 2 << false << deleteOnly;
    }

    void rowKinds()
    {
        QFETCH(int, dirType);
        QFETCH(int, id);
        QFETCH(bool, byMoreButton);
        QFETCH(QStringList, items);
        Pane p(dirType, [dirType] {
            if (dirType == PhonebookManager::LocalDir)
                return addLocalGroups({QStringLiteral("Family")});
            RemoteDirectory &store = RemoteDirectory::instance();
            store.addContact(store.addGroup(0)->id, nullptr); // group 2, a directory
        });
        p.click(id);
        QCOMPARE(p.more(id)->isVisible(), !items.isEmpty());
        if (byMoreButton)
            QCOMPARE(runMenu([&] { QTest::mouseClick(p.more(id), Qt::LeftButton); }), items);
        else
            QCOMPARE(runMenu([&] { p.rightClick(id); }), items);
        p.doubleClick(id);
        QCOMPARE(p.edit(id)->isVisible(), !items.isEmpty());
    }

    void deleteGroup_data()
    {
        QTest::addColumn<int>("dirType");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<bool>("goneBefore");
        QTest::addColumn<QString>("currentAfter"); // empty: no row is current
        QTest::addColumn<QString>("toast");
        const auto row = [](const char *tag, int dirType, const char *current, const char *target,
                            bool confirm, bool goneBefore, const char *after,
                            const char *toast = "Deleted successfully!") {
            QTest::newRow(tag) << dirType << QString::fromLatin1(current)
                               << QString::fromLatin1(target) << confirm << goneBefore
                               << QString::fromLatin1(after) << QString::fromLatin1(toast);
        };
        // Local: A, B, C. Remote: menu A holding B, then C.
        row("next row takes over", 1, "B", "B", true, false, "C");
        row("last row: previous", 1, "C", "C", true, false, "B");
        row("other row: current stays", 1, "A", "C", true, false, "A");
        row("cancel", 1, "B", "B", false, false, "B", "");
        row("menu of the current row", 2, "B", "A", true, false, "C");
        row("store refuses", 2, "A", "A", true, true, "A", "Failed to delete the group!");
        row("only group", 2, "C", "C", true, false, "");
    }

    void deleteGroup()
    {
        QFETCH(int, dirType);
        QFETCH(QString, current);
        QFETCH(QString, target);
        QFETCH(bool, confirm);
        QFETCH(bool, goneBefore);
        QFETCH(QString, currentAfter);
        QFETCH(QString, toast);
        const bool onlyGroup = currentAfter.isEmpty();
        Pane p(dirType, [&] {
            if (dirType == PhonebookManager::LocalDir)
                return addLocalGroups(
                    {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
            RemoteDirectory &store = RemoteDirectory::instance();
            store.renameGroup(1, QStringLiteral("A"));
            store.renameGroup(store.addGroup(1)->id, QStringLiteral("B"));
            store.renameGroup(store.addGroup(0)->id, QStringLiteral("C"));
            if (onlyGroup)
                store.deleteGroup(1);
        });
        const int targetId = p.idOf(target);
        const int currentId = p.idOf(current);
        const int afterId = onlyGroup ? -1 : p.idOf(currentAfter);
        p.tree->setCurrentItem(p.row(currentId));
        if (goneBefore)
            PhonebookManager::deleteGroup(dirType, targetId);
        p.spy->clear();

        answerNote(confirm ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel);
        runMenu([&] { p.rightClick(targetId); }, QStringLiteral("Deleted Group"));

        QCOMPARE(p.tree->findGroupIndex(targetId).IsValid(), !confirm || goneBefore);
        QCOMPARE(toastText(), toast);
        QCOMPARE(p.tree->currentGroupId(), afterId);
        // The current group is reported exactly when it changed.
        if (afterId == currentId)
            QVERIFY(p.spy->isEmpty());
        else
            QCOMPARE(p.lastReported(), afterId);
        if (afterId >= 0)
            QVERIFY(p.more(afterId)->isVisible());
    }

    void currentRowWithoutWidget()
    {
        QStringList names;
        for (int i = 0; i < 40; ++i)
            names << QStringLiteral("G%1").arg(i);
        Pane p(PhonebookManager::LocalDir, [&] { addLocalGroups(names); });
        const int id = p.idOf(QStringLiteral("G35"));
        emit p.tree->GetModel()->SetUpdateStatusSignal(false); // no widget appears meanwhile
        p.tree->setCurrentItem(p.row(id));
        QVERIFY(!p.widget(id));
        QCOMPARE(p.lastReported(), id);
        emit p.tree->GetModel()->SetUpdateStatusSignal(true);
        QVERIFY(p.more(id)->isVisible()); // its widget, made later, knows it is current
    }

    void clicksAndNewSubGroup()
    {
        // Default (1) holds Default1 (2).
        Pane p(PhonebookManager::RemoteDir, [] { RemoteDirectory::instance().addGroup(1); });
        QTreeWidgetItem *menuRow = p.row(1);
        QVERIFY(menuRow->isExpanded());
        p.click(1); // the first click only remembers the row
        QVERIFY(menuRow->isExpanded());
        p.click(1);
        QVERIFY(!menuRow->isExpanded());

        runMenu([&] { QTest::mouseClick(p.more(1), Qt::LeftButton); }, QStringLiteral("New Group"));
        // At once: the menu row expanded, the new row current and in rename mode.
        const int id = p.tree->currentGroupId();
        QCOMPARE(PhonebookManager::groupName(2, id), QStringLiteral("Default2"));
        QVERIFY(menuRow->isExpanded());
        QCOMPARE(p.tree->GetModelIndex(p.row(id)).GetPath(), (QList<int>{0, 1}));
        QTRY_COMPARE(p.edit(id)->selectedText(), QStringLiteral("Default2"));
    }

    void counts()
    {
        Pane p(PhonebookManager::RemoteDir, [] {
            RemoteDirectory &store = RemoteDirectory::instance();
            for (int i = 0; i < 2; ++i) {
                const int dir = store.addGroup(1)->id;
                for (int c = 0; c < 3 + i; ++c)
                    store.addContact(dir, nullptr);
            }
        });
        QCOMPARE(p.shownCount(1), QStringLiteral("(2)")); // a menu counts its groups until ...
        p.tree->updateContactCounts();
        QCOMPARE(p.shownCount(1), QStringLiteral("(7)")); // ... the manager's counts arrive
        QCOMPARE(p.shownCount(2), QStringLiteral("(3)"));
    }

    // The current row's colour fills its whole width, the branch area at the left included.
    void currentRowPaintedWithItsBranchArea()
    {
        Pane p(PhonebookManager::RemoteDir, [] { RemoteDirectory::instance().addGroup(1); });
        const int menuY = p.tree->visualItemRect(p.row(1)).center().y();
        const int childY = p.tree->visualItemRect(p.row(2)).center().y();
        const QImage image = p.tree->viewport()->grab().toImage();
        const QColor selected(0xDA, 0xE3, 0xEE);
        const int right = p.tree->viewport()->width() - 40;
        QCOMPARE(QColor(image.pixel(2, menuY)), selected);
        QCOMPARE(QColor(image.pixel(right, menuY)), selected);
        QVERIFY(QColor(image.pixel(right, childY)) != selected);
        QVERIFY(!p.more(2)->isVisible());
    }
};

QTEST_MAIN(TestTreeGroupWidget)
#include "tst_treegroupwidget.moc"
