#include "data/localdirectory.h"
#include "data/localgroup.h"
#include "data/phonebookmanager.h"
#include "data/remotedirectory.h"
#include "data/remotegroup.h"
#include "shell/langtranslater.h"
#include "ui/groupselect/treegroupselectwidget.h"
#include "widgets/qvtreewidget.h"

#include "freshstate.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

namespace {

constexpr int Local = PhonebookManager::LocalDir;
constexpr int Remote = PhonebookManager::RemoteDir;

// Local phonebook of the two built-in groups plus extra user groups.
void makeLocal(int extraGroups)
{
    LocalDirectory &store = LocalDirectory::instance();
    store.initDefaultGroup();
    for (int i = 0; i < extraGroups; ++i)
        store.addGroup();
}

// Remote phonebook of top-level groups, each a menu with `subGroups` empty sub-menus.
void makeRemote(int topLevel, int subGroups)
{
    RemoteDirectory &store = RemoteDirectory::instance();
    store.resetToRoot();
    for (int i = 0; i < topLevel; ++i) {
        RemoteGroup *group = store.addGroup(0);
        for (int k = 0; k < subGroups; ++k)
            store.addGroup(group->id);
    }
}

int addNamedGroup(int parentId, const char *name)
{
    RemoteDirectory &store = RemoteDirectory::instance();
    const int id = store.addGroup(parentId)->id;
    store.renameGroup(id, QString::fromLatin1(name));
    return id;
}

QTreeWidgetItem *rowOfGroup(const TreeGroupSelectWidget &popup, const QString &name)
{
    qvTreeWidget *tree = popup.treeWidget();
    for (QTreeWidgetItem *row = tree->topLevelItem(0); row; row = tree->itemBelow(row)) {
        auto *widget = tree->GetItemWidget(row);
        auto *label =
            widget ? widget->findChild<QLabel *>(QStringLiteral("labelGruopName")) : nullptr;
        if (label && Langtranslater::resolve(label->text()) == name)
            return row;
    }
    return nullptr;
}

void clickRow(TreeGroupSelectWidget &popup, QTreeWidgetItem *row)
{
    qvTreeWidget *tree = popup.treeWidget();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier,
                      tree->visualItemRect(row).center());
}

} // namespace

class TestTreeGroupSelectWidget : public QObject
{
    Q_OBJECT
private slots:
    void heightFollowsRows_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("topLevel");  // local: user groups besides the two built-in ones
        QTest::addColumn<int>("subGroups"); // remote only: sub-menus per top-level group
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("popupHeight");

        QTest::newRow("local, three groups") << Local << 1 << 0 << 3 << 129;
        QTest::newRow("local, eight groups: capped") << Local << 6 << 0 << 8 << 281;
        QTest::newRow("remote, sub-groups count as rows") << Remote << 2 << 2 << 6 << 243;
        QTest::newRow("remote, root only") << Remote << 0 << 0 << 0 << 15;
    }

    void heightFollowsRows()
    {
        FreshState fresh;
        QFETCH(int, kind);
        QFETCH(int, topLevel);
        QFETCH(int, subGroups);
        QFETCH(int, rows);
        QFETCH(int, popupHeight);
        makeLocal(kind == Local ? topLevel : 0);
        makeRemote(kind == Remote ? topLevel : 1, subGroups);

        TreeGroupSelectWidget popup;
        // A second fill replaces the first, it does not add to it.
        popup.prepareForDirType(Local);
        popup.prepareForDirType(kind);

        QCOMPARE(popup.height(), popupHeight);
        int counted = 0;
        qvTreeWidget *tree = popup.treeWidget();
        for (QTreeWidgetItem *row = tree->topLevelItem(0); row; row = tree->itemBelow(row))
            ++counted; // itemBelow follows expanded rows only: every row must be open
        QCOMPARE(counted, rows);

        // Shown, the rows are 38 px and the last visible row ends at the card's bottom padding.
        popup.show();
        QVERIFY(QTest::qWaitForWindowExposed(&popup));
        if (rows > 0) {
            const QRect first = tree->visualItemRect(tree->topLevelItem(0));
            QCOMPARE(first.height(), TreeGroupSelectWidget::RowHeight);
            QVERIFY(tree->mapTo(&popup, QPoint(0, qMin(rows, 7) * 38)).y() <= popupHeight - 5);
        }
    }

    void greyedRowsCannotBePicked()
    {
        FreshState fresh;
        // "Menu" lists the menu "Sub", which lists "Leaf"; "Directory" holds a contact; "Empty"
        // lists nothing.
        RemoteDirectory::instance().resetToRoot();
        const int menu = addNamedGroup(0, "Menu");
        const int sub = addNamedGroup(menu, "Sub");
        const int leaf = addNamedGroup(sub, "Leaf");
        const int directory = addNamedGroup(0, "Directory");
        QCOMPARE(RemoteDirectory::instance().addContact(directory, nullptr), PhonebookResult::Done);
        const int empty = addNamedGroup(0, "Empty");
        const struct
        {
            const char *name;
            int id;
            bool selectable;
        } cases[] = {{"Menu", menu, false},
                     {"Leaf", leaf, true},
                     {"Directory", directory, true},
                     {"Empty", empty, true}};

        TreeGroupSelectWidget popup;
        QSignalSpy picked(&popup, &TreeGroupSelectWidget::sigSelectedGroup);
        for (const auto &row : cases) {
            popup.prepareForDirType(Remote);
            QVERIFY(
                !popup.treeWidget()->currentItem()); // the group picked last can be picked again
            popup.show();
            QVERIFY(QTest::qWaitForWindowExposed(&popup));
            QTreeWidgetItem *item = rowOfGroup(popup, QString::fromLatin1(row.name));
            QVERIFY2(item, row.name);
            auto *label = popup.treeWidget()->GetItemWidget(item)->findChild<QLabel *>(
                QStringLiteral("labelGruopName"));
            QCOMPARE(label->palette().color(QPalette::WindowText),
                     row.selectable ? QColor(0x33, 0x33, 0x33) : QColor(0x99, 0x99, 0x99));

            // Only a group that can take contacts is reported and closes the popup.
            picked.clear();
            clickRow(popup, item);
            QCOMPARE(picked.count(), row.selectable ? 1 : 0);
            if (row.selectable)
                QCOMPARE(picked.first().first().toInt(), row.id);
            QCOMPARE(popup.isVisible(), !row.selectable);
        }
    }

    void rowOutOfViewIsReported()
    {
        FreshState fresh;
        makeLocal(28);
        const QList<LocalGroup *> groups = LocalDirectory::instance().groups();
        TreeGroupSelectWidget popup;
        QSignalSpy picked(&popup, &TreeGroupSelectWidget::sigSelectedGroup);
        popup.prepareForDirType(Local);
        popup.show();
        QVERIFY(QTest::qWaitForWindowExposed(&popup));

        qvTreeWidget *tree = popup.treeWidget();
        QTreeWidgetItem *last = tree->topLevelItem(29);
        QVERIFY(!tree->GetItemWidget(last)); // far below the seven rows in view
        tree->setCurrentItem(last);
        QCOMPARE(picked.count(), 1);
        QCOMPARE(picked.first().first().toInt(), groups.last()->id);
    }

    void opensInwardAtScreenEdges_data()
    {
        // Offsets of the requested point from the screen's top left corner (negative: from the
        // right or bottom edge), and the expected offset of the popup from that point.
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("shift");
        QTest::newRow("room enough") << QPoint(10, 10) << QPoint(0, 0);
        QTest::newRow("right edge") << QPoint(-100, 10) << QPoint(-300, 0);
        QTest::newRow("bottom edge") << QPoint(10, -50) << QPoint(0, -129);
    }

    void opensInwardAtScreenEdges()
    {
        FreshState fresh;
        QFETCH(QPoint, from);
        QFETCH(QPoint, shift);
        makeLocal(1);
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        const QPoint at(from.x() < 0 ? area.right() + 1 + from.x() : area.left() + from.x(),
                        from.y() < 0 ? area.bottom() + 1 + from.y() : area.top() + from.y());
        TreeGroupSelectWidget popup;
        popup.prepareForDirType(Local);
        popup.move(at);
        popup.show();
        QVERIFY(QTest::qWaitForWindowExposed(&popup));
        QCOMPARE(popup.pos(), at + shift);
        QVERIFY(area.contains(popup.geometry()));
    }
};

QTEST_MAIN(TestTreeGroupSelectWidget)
#include "tst_treegroupselectwidget.moc"
