#include "widgets/qvtreedatamodel.h"

#include "widgets/qvtreeitem.h"

qvTreeDataModel::qvTreeDataModel(QObject *parent) : qvDataModel(parent), m_root(new qvTreeItem)
{
    qvModelIndex::RegisterMetaType();
    m_root->m_model = this;
}

qvTreeDataModel::~qvTreeDataModel() = default;

qvTreeItem *qvTreeDataModel::GetItem(const qvModelIndex &index) const
{
    if (!index.IsUsable())
        return nullptr;
    const QList<int> path = index.GetPath();
    if (path.isEmpty())
        return nullptr;
    qvTreeItem *node = m_root.get();
    for (int position : path) {
        if (position < 0 || position >= node->m_children.size())
            return nullptr;
        node = node->m_children.at(position);
    }
    return node;
}

qvModelIndex qvTreeDataModel::GetIndex(const qvTreeItem *item) const
{
    QList<int> path;
    for (const qvTreeItem *node = item; node; node = node->m_parent) {
        const qvTreeItem *parent = node->m_parent;
        if (!parent)
            return qvModelIndex();
        path.prepend(parent->m_children.indexOf(const_cast<qvTreeItem *>(node)));
        if (parent == m_root.get())
            return qvModelIndex(path);
    }
    return qvModelIndex();
}

qvTreeItem *qvTreeDataModel::GetTopLevelItem(int i) const
{
    return GetChildItem(m_root.get(), i);
}

int qvTreeDataModel::GetTopLevelCount() const
{
    return m_root->m_children.size();
}

qvTreeItem *qvTreeDataModel::GetChildItem(qvTreeItem *parent, int i) const
{
    if (!parent || i < 0 || i >= parent->m_children.size())
        return nullptr;
    return parent->m_children.at(i);
}

int qvTreeDataModel::GetChildCount(qvTreeItem *parent) const
{
    return parent ? parent->m_children.size() : -1;
}

bool qvTreeDataModel::AppendTopLevelItem(qvTreeItem *item)
{
    return InsertItem(m_root.get(), item);
}

bool qvTreeDataModel::InsertItem(qvTreeItem *parent, qvTreeItem *item)
{
    if (!parent || !item || item->m_parent || item == m_root.get())
        return false;
    if (parent->m_model && parent->m_model != this)
        return false;
    // Attaching a node below itself would make a cycle that no walk ever leaves.
    if (item->IsSelfOrAncestorOf(parent))
        return false;
    parent->AttachChild(item);
    item->SetModelRecursive(this);
    emit InsertItemSignal(GetIndex(item));
    return true;
}

bool qvTreeDataModel::SetItemData(qvTreeItem *item, const QVariant &value)
{
    if (!item)
        return false;
    item->m_data = value;
    emit DataChangeSignal(GetIndex(item));
    return true;
}

qvTreeItem *qvTreeDataModel::RemoveItemAt(const qvModelIndex &index)
{
    return RemoveItem(GetItem(index));
}

QList<qvTreeItem *> qvTreeDataModel::TakeAllItems()
{
    const QList<qvTreeItem *> taken = m_root->m_children;
    for (qvTreeItem *item : taken) {
        m_root->DetachChild(item);
        item->SetModelRecursive(nullptr);
    }
    emit ClearSignal();
    return taken;
}

qvTreeItem *qvTreeDataModel::RemoveItem(qvTreeItem *item)
{
    if (!item || item == m_root.get())
        return nullptr;
    const qvModelIndex index = GetIndex(item);
    // Only nodes of this model can be removed from it.
    if (!index.IsValid() || item->m_model != this)
        return nullptr;
    // The parent link is cleared too, so the caller may attach the node again.
    item->m_parent->DetachChild(item);
    item->SetModelRecursive(nullptr);
    emit RemoveItemSignal(index);
    return item;
}

QList<qvModelIndex> qvTreeDataModel::GetChildIndexes(const qvModelIndex &index) const
{
    QList<qvModelIndex> result;
    const qvTreeItem *node = GetItem(index);
    if (!node)
        return result;
    const QList<int> path = index.GetPath();
    result.reserve(node->m_children.size());
    for (int i = 0; i < node->m_children.size(); ++i)
        result.append(qvModelIndex(QList<int>(path) << i));
    return result;
}

qvModelIndex qvTreeDataModel::GetParentIndex(const qvModelIndex &index) const
{
    if (!GetItem(index))
        return qvModelIndex();
    QList<int> path = index.GetPath();
    path.removeLast();
    if (path.isEmpty())
        return qvModelIndex();
    return qvModelIndex(path);
}

void qvTreeDataModel::GetTopLevelIndexes(QList<qvModelIndex> &out) const
{
    for (int i = 0; i < m_root->m_children.size(); ++i)
        out.append(qvModelIndex(QList<int>{i}));
}

QVariant qvTreeDataModel::GetData(const qvModelIndex &index) const
{
    const qvTreeItem *node = GetItem(index);
    return node ? node->m_data : QVariant();
}

void qvTreeDataModel::SetData(const qvModelIndex &index, const QVariant &value)
{
    if (qvTreeItem *node = GetItem(index))
        SetItemData(node, value);
}
