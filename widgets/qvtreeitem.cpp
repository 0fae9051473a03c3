#include "widgets/qvtreeitem.h"

#include "widgets/qvtreedatamodel.h"

qvTreeItem::qvTreeItem(const QVariant &data) : m_data(data) {}

qvTreeItem::~qvTreeItem()
{
    // The children die with this QObject right after; they must not reach back into it.
    for (qvTreeItem *child : qAsConst(m_children))
        child->m_parent = nullptr;
    m_children.clear();
    // A node deleted while still attached leaves no dangling entry behind.
    if (m_parent)
        m_parent->m_children.removeOne(this);
}

void qvTreeItem::AddChild(qvTreeItem *child)
{
    if (!child)
        return;
    if (m_model) {
        m_model->InsertItem(this, child);
        return;
    }
    if (child->m_parent || child->IsSelfOrAncestorOf(this))
        return;
    AttachChild(child);
}

void qvTreeItem::SetData(const QVariant &value)
{
    if (m_model)
        m_model->SetItemData(this, value);
    else
        m_data = value;
}

bool qvTreeItem::IsSelfOrAncestorOf(const qvTreeItem *node) const
{
    for (; node; node = node->m_parent) {
        if (node == this)
            return true;
    }
    return false;
}

void qvTreeItem::AttachChild(qvTreeItem *child)
{
    child->m_parent = this;
    child->setParent(this);
    m_children.append(child);
}

void qvTreeItem::DetachChild(qvTreeItem *child)
{
    m_children.removeOne(child);
    child->m_parent = nullptr;
    child->setParent(nullptr);
}

void qvTreeItem::SetModelRecursive(qvTreeDataModel *model)
{
    m_model = model;
    for (qvTreeItem *child : qAsConst(m_children))
        child->SetModelRecursive(model);
}
