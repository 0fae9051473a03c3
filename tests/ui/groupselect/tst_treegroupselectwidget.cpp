#include "data/localdirectory.h"
#include "data/localgroup.h"
#include "data/remotedirectory.h"
#include "data/remotegroup.h"
#include "shell/langtranslater.h"
#include "ui/groupselect/treegroupselectwidget.h"
#include "widgets/qvtreewidget.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>

namespace {

enum Kind
{
    Local = 1,
    Remote = 2
};

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
    void heightFollowsRows_data();
    void heightFollowsRows();
    void greyedRowsCannotBePicked();
    void rowOutOfViewIsReported();
    void refillIsNoPick();
};

void TestTreeGroupSelectWidget::heightFollowsRows_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("topLevel");  // local: user groups besides the two built-in ones
    QTest::addColumn<int>("subGroups"); // remote only: sub-menus per top-level group
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("popupHeight");

    QTest::newRow("local, three groups") << int(Local) << 1 << 0 << 3 << 129;
    QTest::newRow("local, six groups: last height below the cap")
        << int(Local) << 4 << 0 << 6 << 243;
    QTest::newRow("local, seven groups: capped") << int(Local) << 5 << 0 << 7 << 281;
    QTest::newRow("local, eight groups") << int(Local) << 6 << 0 << 8 << 281;
    QTest::newRow("remote, sub-groups count as rows") << int(Remote) << 2 << 2 << 6 << 243;
    QTest::newRow("remote, root only") << int(Remote) << 0 << 0 << 0 << 15;
    QTest::newRow("unknown kind, no rows") << 3 << 2 << 0 << 0 << 15;
}

void TestTreeGroupSelectWidget::heightFollowsRows()
{
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
    QCOMPARE(popup.backgroundWidget()->height(), popupHeight - 10);
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

void TestTreeGroupSelectWidget::greyedRowsCannotBePicked()
{
    // "Menu" lists the menu "Sub", which lists "Leaf"; "Directory" holds a contact; "Empty"
    // lists nothing.
    RemoteDirectory &store = RemoteDirectory::instance();
    store.resetToRoot();
    RemoteGroup *menu = store.addGroup(0);
    store.renameGroup(menu->id, QStringLiteral("Menu"));
    RemoteGroup *sub = store.addGroup(menu->id);
    store.renameGroup(sub->id, QStringLiteral("Sub"));
    RemoteGroup *leaf = store.addGroup(sub->id);
    store.renameGroup(leaf->id, QStringLiteral("Leaf"));
    RemoteGroup *directory = store.addGroup(0);
    store.renameGroup(directory->id, QStringLiteral("Directory"));
    QCOMPARE(store.addContact(directory->id, nullptr), PhonebookResult::Done);
    RemoteGroup *empty = store.addGroup(0);
    store.renameGroup(empty->id, QStringLiteral("Empty"));

    TreeGroupSelectWidget popup;
    QSignalSpy picked(&popup, &TreeGroupSelectWidget::sigSelectedGroup);
    popup.prepareForDirType(Remote);
    popup.show();
    QVERIFY(QTest::qWaitForWindowExposed(&popup));

    const struct
    {
        QString name;
        int id;
        bool selectable;
    } cases[] = {{QStringLiteral("Menu"), menu->id, false},
                 {QStringLiteral("Sub"), sub->id, false},
                 {QStringLiteral("Leaf"), leaf->id, true},
                 {QStringLiteral("Directory"), directory->id, true},
                 {QStringLiteral("Empty"), empty->id, true}};
    for (const auto &row : cases) {
        QTreeWidgetItem *item = rowOfGroup(popup, row.name);
        QVERIFY2(item, qPrintable(row.name));
        auto *label = popup.treeWidget()->GetItemWidget(item)->findChild<QLabel *>(
            QStringLiteral("labelGruopName"));
        QCOMPARE(label->property("visibility").toString(),
                 row.selectable ? QStringLiteral("true") : QStringLiteral("false"));
        QCOMPARE(label->palette().color(QPalette::WindowText),
                 row.selectable ? QColor(0x33, 0x33, 0x33) : QColor(0x99, 0x99, 0x99));
    }

    // Greyed menus, at the top or below, are logged but not reported; the popup stays open.
    for (const auto &row : cases) {
        if (row.selectable)
            continue;
        QTest::ignoreMessage(QtDebugMsg,
                             qPrintable(QStringLiteral("Select Group Id: %1").arg(row.id)));
        clickRow(popup, rowOfGroup(popup, row.name));
        QCOMPARE(picked.count(), 0);
        QVERIFY(popup.isVisible());
    }

    for (const auto &row : cases) {
        if (!row.selectable)
            continue;
        popup.prepareForDirType(Remote);
        popup.show();
        QVERIFY(QTest::qWaitForWindowExposed(&popup));
        picked.clear();
        QTest::ignoreMessage(QtDebugMsg,
                             qPrintable(QStringLiteral("Select Group Id: %1").arg(row.id)));
        clickRow(popup, rowOfGroup(popup, row.name));
        QCOMPARE(picked.count(), 1);
        QCOMPARE(picked.first().first().toInt(), row.id);
        QVERIFY2(!popup.isVisible(), qPrintable(row.name));
    }
}

void TestTreeGroupSelectWidget::rowOutOfViewIsReported()
{
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
    QTest::ignoreMessage(QtDebugMsg,
                         qPrintable(QStringLiteral("Select Group Id: %1").arg(groups.last()->id)));
    tree->setCurrentItem(last);
    QCOMPARE(picked.count(), 1);
    QCOMPARE(picked.first().first().toInt(), groups.last()->id);
}

void TestTreeGroupSelectWidget::refillIsNoPick()
{
    makeLocal(3);
    TreeGroupSelectWidget popup;
    QSignalSpy picked(&popup, &TreeGroupSelectWidget::sigSelectedGroup);
    popup.prepareForDirType(Local);
    popup.show();
    QVERIFY(QTest::qWaitForWindowExposed(&popup));
    QVERIFY(!popup.treeWidget()->currentItem());
    QTest::ignoreMessage(QtDebugMsg, "Select Group Id: 1");
    clickRow(popup, popup.treeWidget()->topLevelItem(1));
    QCOMPARE(picked.count(), 1);

    // The next use starts with no row current, so even the same group can be picked again.
    popup.prepareForDirType(Local);
    QVERIFY(!popup.treeWidget()->currentItem());
    popup.show();
    QVERIFY(QTest::qWaitForWindowExposed(&popup));
    QTest::ignoreMessage(QtDebugMsg, "Select Group Id: 1");
    clickRow(popup, popup.treeWidget()->topLevelItem(1));
    QCOMPARE(picked.count(), 2);
}

QTEST_MAIN(TestTreeGroupSelectWidget)
#include "tst_treegroupselectwidget.moc"
