#include "ui/grouptree/treegroupwidget.h"

#include "data/localdirectory.h"
#include "data/phonebookmanager.h"
#include "data/remotedirectory.h"
#include "dialogs/messageboxdialog.h"
#include "dialogs/tipwidget.h"
#include "shell/langtranslater.h"
#include "ui/grouptree/grouptreeitemdelegate.h"
#include "ui/grouptree/treegroupitem.h"
#include "ui/grouptree/uieditgroupdata.h"
#include "ui/grouptree/uigroupitemdata.h"
#include "widgets/qvmenu.h"
#include "widgets/qvtreedatamodel.h"
#include "widgets/qvtreeitem.h"

#include <QCursor>
#include <QDebug>
#include <QHeaderView>
#include <QStringList>
#include <QWidgetAction>

namespace {

constexpr int RowHeight = 48;

qvTreeItem *newRow(int groupId, const QString &name, int count, bool editing, int dirType)
{
    uiGroupItemData data;
    data.nGroupId = groupId;
    data.strGroupName = name;
    data.nContactCount = count;
    data.bEditing = editing;
    data.nDirType = dirType;
    return new qvTreeItem(QVariant::fromValue(data));
}

} // namespace

TreeGroupWidget::TreeGroupWidget(QWidget *parent)
    : qvTreeWidget(parent, QStringLiteral("GroupTreeWidget")),
      m_model(std::make_unique<qvTreeDataModel>()),
      m_delegate(std::make_unique<GroupTreeItemDelegate>())
{
    uiGroupItemData::registerMetaType();
    uiEditGroupData::registerMetaType();
    header()->hide();
    setExpandsOnDoubleClick(false);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setFocusPolicy(Qt::NoFocus);
    setIndentation(16);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Rows are 48 px high also where the style sheet is not installed; the sheet says the same.
    SetItemSizeValue(
        QStringList{QStringLiteral("qmap"), GroupTreeItemDelegate::createFuncTypeKey() +
                                                QStringLiteral(",%1").arg(RowHeight)});
    SetDelegate(m_delegate.get());
    SetModel(m_model.get());

    connect(this, SIGNAL(clicked(const QModelIndex &)), this,
            SLOT(slotItemClicked(const QModelIndex &)));
    connect(this, SIGNAL(currentItemChanged(QTreeWidgetItem *, QTreeWidgetItem *)), this,
            SLOT(slotCurrentItemChanged(QTreeWidgetItem *, QTreeWidgetItem *)));
    connect(this, SIGNAL(ItemUserOperationIndexSignals(const qvModelIndex &, const QVariant &)),
            this, SLOT(slotItemUserOperationIndex(const qvModelIndex &, const QVariant &)));
    connect(this, SIGNAL(customContextMenuRequested(const QPoint &)), this,
            SLOT(slotCustomContextMenu(const QPoint &)));
}

TreeGroupWidget::~TreeGroupWidget()
{
    // Row widgets released while the model goes may still report; this part of the object is
    // gone by then.
    blockSignals(true);
    m_model.reset();
}

// ---- reading rows ----

uiGroupItemData TreeGroupWidget::rowData(const qvModelIndex &index) const
{
    return m_model->GetData(index).value<uiGroupItemData>();
}

int TreeGroupWidget::groupIdOf(QTreeWidgetItem *row) const
{
    if (!row)
        return -1;
    const QVariant data = m_model->GetData(GetModelIndex(row));
    return data.canConvert<uiGroupItemData>() ? data.value<uiGroupItemData>().nGroupId : -1;
}

int TreeGroupWidget::currentGroupId() const
{
    return groupIdOf(currentItem());
}

qvModelIndex TreeGroupWidget::findGroupIndex(int groupId) const
{
    QList<qvModelIndex> pending;
    m_model->GetTopLevelIndexes(pending);
    // Depth first, top level first: children go to the front in their order.
    while (!pending.isEmpty()) {
        const qvModelIndex index = pending.takeFirst();
        if (rowData(index).nGroupId == groupId)
            return index;
        const QList<qvModelIndex> children = m_model->GetChildIndexes(index);
        for (int i = children.size() - 1; i >= 0; --i)
            pending.prepend(children.at(i));
    }
    return qvModelIndex();
}

// ---- loading ----

void TreeGroupWidget::initGroupTree(int dirType)
{
    PhonebookManager::initDefaultGroup(dirType);
    loadGroupTree(dirType);
}

void TreeGroupWidget::loadGroupTree(int dirType)
{
    m_dirType = dirType;
    m_restructuring = true;
    clearModel();
    if (dirType == PhonebookManager::RemoteDir)
        loadRemote();
    else
        loadLocal();
    m_restructuring = false;
    finishLoad();
}

void TreeGroupWidget::clearModel()
{
    const QList<qvTreeItem *> taken = m_model->TakeAllItems();
    qDeleteAll(taken);
    m_lastClicked = QPersistentModelIndex();
}

void TreeGroupWidget::loadLocal()
{
    const LocalDirectory &store = LocalDirectory::instance();
    const QList<LocalGroup *> groups = store.groups();
    for (const LocalGroup *group : groups) {
        const bool builtin = !store.isGroupEditable(group->id);
        const QString name = builtin ? Langtranslater::mark(group->name) : group->name;
        m_model->AppendTopLevelItem(
            newRow(group->id, name, group->contactIds.size(), false, PhonebookManager::LocalDir));
    }
}

void TreeGroupWidget::loadRemote()
{
    RemoteDirectory &store = RemoteDirectory::instance();
    const RemoteGroup *root = store.findGroup(0);
    if (!root)
        return;
    for (int childId : root->childIds) {
        const RemoteGroup *group = store.findGroup(childId);
        if (!group)
            return;
        auto item = std::unique_ptr<qvTreeItem>(newRow(
            group->id, group->name, group->childIds.size(), false, PhonebookManager::RemoteDir));
        addRemoteChildren(item.get(), group);
        // The whole subtree arrives in the view with one insertion.
        m_model->AppendTopLevelItem(item.release());
    }
}

void TreeGroupWidget::addRemoteChildren(qvTreeItem *item, const RemoteGroup *group)
{
    if (group->childIds.isEmpty() || !group->isMenu)
        return;
    RemoteDirectory &store = RemoteDirectory::instance();
    for (int childId : group->childIds) {
        const RemoteGroup *child = store.findGroup(childId);
        if (!child)
            return;
        qvTreeItem *childItem = newRow(child->id, child->name, child->childIds.size(), false,
                                       PhonebookManager::RemoteDir);
        item->AddChild(childItem);
        addRemoteChildren(childItem, child);
    }
}

void TreeGroupWidget::finishLoad()
{
    ExpandAll();
    if (topLevelItemCount() > 0) {
        // A current row left from before is not the same group any more.
        setCurrentItem(nullptr);
        m_reportedGroupId = -1;
        setCurrentItem(topLevelItem(0));
    } else {
        setCurrentItem(nullptr);
        m_reportedGroupId = -2; // forces the report of "no group"
        reportCurrentGroup();
    }
}

// ---- counts and names ----

void TreeGroupWidget::updateContactCounts()
{
    QList<qvModelIndex> pending;
    m_model->GetTopLevelIndexes(pending);
    while (!pending.isEmpty()) {
        const qvModelIndex index = pending.takeFirst();
        uiGroupItemData data = rowData(index);
        const int count = PhonebookManager::contactCount(m_dirType, data.nGroupId);
        if (count != data.nContactCount) {
            data.nContactCount = count;
            if (qvTreeItem *item = m_model->GetItem(index))
                item->SetData(QVariant::fromValue(data));
        }
        const QList<qvModelIndex> children = m_model->GetChildIndexes(index);
        for (int i = children.size() - 1; i >= 0; --i)
            pending.prepend(children.at(i));
    }
}

void TreeGroupWidget::refreshBuiltinGroupNames()
{
    if (m_dirType != PhonebookManager::LocalDir)
        return;
    for (int i = 0; i < m_model->GetTopLevelCount(); ++i) {
        qvTreeItem *item = m_model->GetTopLevelItem(i);
        const uiGroupItemData data = item->GetData().value<uiGroupItemData>();
        if (!PhonebookManager::isGroupEditable(m_dirType, data.nGroupId))
            item->SetData(item->GetData());
    }
}

void TreeGroupWidget::renameCurrentGroup()
{
    const int groupId = currentGroupId();
    if (groupId < 0 || !PhonebookManager::isGroupEditable(m_dirType, groupId))
        return;
    const qvModelIndex index = findGroupIndex(groupId);
    qvTreeItem *item = m_model->GetItem(index);
    if (!item)
        return;
    uiGroupItemData data = item->GetData().value<uiGroupItemData>();
    data.bEditing = true;
    item->SetData(QVariant::fromValue(data));
}

// ---- adding ----

void TreeGroupWidget::addGroup()
{
    int groupId = -1;
    QString name;
    if (m_dirType == PhonebookManager::RemoteDir) {
        if (const RemoteGroup *group = RemoteDirectory::instance().addGroup(0)) {
            groupId = group->id;
            name = group->name;
        }
    } else if (m_dirType == PhonebookManager::LocalDir) {
        if (const LocalGroup *group = LocalDirectory::instance().addGroup()) {
            groupId = group->id;
            name = group->name;
        }
    }
    if (groupId < 0)
        return;
    qDebug() << "Add Group, GroupId:" << groupId << "GroupName:" << name;
    qvTreeItem *item = newRow(groupId, name, 0, true, m_dirType);
    if (!m_model->AppendTopLevelItem(item)) {
        delete item;
        return;
    }
    selectNewRow(m_model->GetIndex(item));
}

void TreeGroupWidget::addSubGroup(int parentGroupId)
{
    if (m_dirType != PhonebookManager::RemoteDir)
        return;
    const RemoteGroup *group = RemoteDirectory::instance().addGroup(parentGroupId);
    if (!group)
        return;
    qDebug() << "Add Group, GroupId:" << group->id << "GroupName:" << group->name;
    const qvModelIndex parentIndex = findGroupIndex(parentGroupId);
    qvTreeItem *parent = m_model->GetItem(parentIndex);
    if (!parent)
        return;
    auto *item = newRow(group->id, group->name, 0, true, PhonebookManager::RemoteDir);
    parent->AddChild(item);
    if (item->GetParent() != parent) {
        delete item;
        return;
    }
    SetItemExpanded(parentIndex, true);
    selectNewRow(m_model->GetIndex(item));
}

void TreeGroupWidget::selectNewRow(const qvModelIndex &index)
{
    QTreeWidgetItem *row = GetTreeItem(index);
    if (!row)
        return;
    scrollToItem(row);
    setCurrentItem(row);
}

// ---- current row and clicks ----

void TreeGroupWidget::slotCurrentItemChanged(QTreeWidgetItem *current, QTreeWidgetItem *previous)
{
    if (m_restructuring)
        return;
    if (auto *widget = qobject_cast<TreeGroupItem *>(GetItemWidget(previous)))
        widget->setCurrentRow(false);
    m_reportedGroupId = groupIdOf(current);
    emit sigSelectedGroupChanged(m_reportedGroupId);
    if (auto *widget = qobject_cast<TreeGroupItem *>(GetItemWidget(current)))
        widget->setCurrentRow(true);
}

void TreeGroupWidget::reportCurrentGroup()
{
    const int groupId = currentGroupId();
    if (groupId == m_reportedGroupId)
        return;
    m_reportedGroupId = groupId;
    emit sigSelectedGroupChanged(groupId);
    if (auto *widget = qobject_cast<TreeGroupItem *>(GetItemWidget(currentItem())))
        widget->setCurrentRow(true);
}

void TreeGroupWidget::slotItemClicked(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    if (QPersistentModelIndex(index) != m_lastClicked) {
        m_lastClicked = index;
        return;
    }
    QTreeWidgetItem *row = itemFromIndex(index);
    if (row && row->childCount() > 0)
        SetItemExpanded(GetModelIndex(row), !row->isExpanded());
}

// ---- row reports ----

void TreeGroupWidget::slotItemUserOperationIndex(const qvModelIndex &index, const QVariant &data)
{
    if (!data.canConvert<uiEditGroupData>())
        return;
    const uiEditGroupData report = data.value<uiEditGroupData>();
    if (report.nOperation == uiEditGroupData::MorePressed) {
        showGroupMenu(report.nGroupId);
        return;
    }
    if (report.nOperation != uiEditGroupData::RenameCommitted)
        return;
    // Paths move when rows come and go; the group id names the row for sure.
    qvModelIndex at = index;
    if (rowData(at).nGroupId != report.nGroupId)
        at = findGroupIndex(report.nGroupId);
    qvTreeItem *item = m_model->GetItem(at);
    if (!item)
        return;
    uiGroupItemData row = rowData(at);
    row.bEditing = false;
    row.strGroupName = report.strGroupName;
    item->SetData(QVariant::fromValue(row));
}

// ---- menu ----

void TreeGroupWidget::slotCustomContextMenu(const QPoint &pos)
{
    QTreeWidgetItem *row = itemAt(pos);
    if (!row)
        return;
    const int groupId = groupIdOf(row);
    if (groupId >= 0 && PhonebookManager::isGroupEditable(m_dirType, groupId))
        showGroupMenu(groupId);
}

void TreeGroupWidget::showGroupMenu(int groupId)
{
    m_menuGroupId = groupId;
    auto menu = std::make_unique<qvMenu>(this, QStringLiteral("qvMenu"));
    if (m_dirType == PhonebookManager::RemoteDir) {
        const RemoteGroup *group = RemoteDirectory::instance().findGroup(groupId);
        if (group && group->isMenu) {
            QWidgetAction *action =
                menu->AddTextAction(Langtranslater::lookup(QStringLiteral("New Group")));
            connect(action, SIGNAL(triggered()), this, SLOT(slotNewGroup()));
        }
    }
    QWidgetAction *action =
        menu->AddTextAction(Langtranslater::lookup(QStringLiteral("Deleted Group")));
    connect(action, SIGNAL(triggered()), this, SLOT(slotDeleteGroup()));
    menu->exec(QCursor::pos());
}

void TreeGroupWidget::slotNewGroup()
{
    addSubGroup(m_menuGroupId);
}

// ---- deleting ----

QTreeWidgetItem *TreeGroupWidget::successorOf(QTreeWidgetItem *row) const
{
    QTreeWidgetItem *parentRow = row->parent();
    const int position = parentRow ? parentRow->indexOfChild(row) : indexOfTopLevelItem(row);
    const int siblings = parentRow ? parentRow->childCount() : topLevelItemCount();
    auto sibling = [&](int i) { return parentRow ? parentRow->child(i) : topLevelItem(i); };
    if (position + 1 < siblings)
        return sibling(position + 1);
    if (position > 0)
        return sibling(position - 1);
    return parentRow;
}

void TreeGroupWidget::slotDeleteGroup()
{
    const int groupId = m_menuGroupId;
    const int answer = MessageboxDialog::showMessage(
        this, Langtranslater::mark(QStringLiteral("Note")),
        Langtranslater::mark(QStringLiteral("Whether to delete the selected group?")),
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    if (answer != QDialogButtonBox::Ok)
        return;
    if (!PhonebookManager::deleteGroup(m_dirType, groupId)) {
        TipWidget::showTip(Langtranslater::lookup(QStringLiteral("Failed to delete the group!")),
                           TipWidget::Warning);
        return;
    }
    const qvModelIndex index = findGroupIndex(groupId);
    if (QTreeWidgetItem *row = GetTreeItem(index)) {
        // Nothing may go on showing a group that is gone: the current row moves first, while
        // view and model still agree.
        QTreeWidgetItem *current = currentItem();
        bool currentGoes = false;
        for (QTreeWidgetItem *at = current; at; at = at->parent())
            currentGoes = currentGoes || at == row;
        if (currentGoes)
            setCurrentItem(successorOf(row));
        m_restructuring = true;
        delete m_model->RemoveItemAt(index);
        m_restructuring = false;
        m_lastClicked = QPersistentModelIndex();
        reportCurrentGroup();
    }
    TipWidget::showTip(Langtranslater::lookup(QStringLiteral("Deleted successfully!")),
                       TipWidget::Success);
}
