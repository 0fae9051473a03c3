#pragma once

#include <QList>
#include <QObject>
#include <QVariant>

class qvTreeDataModel;

// One node of a qvTreeDataModel. Attached nodes belong to their parent (also their QObject
// parent); detached ones to whoever holds them. Destroying a node destroys its subtree.
class qvTreeItem : public QObject
{
    Q_OBJECT
public:
    explicit qvTreeItem(const QVariant &data = QVariant());
    ~qvTreeItem() override;

    // Appends child. Inside a model this goes through qvTreeDataModel::InsertItem (one insert
    // signal for the child's whole subtree); on a detached node it is silent. A child that
    // already has a parent, or that would become its own ancestor, is refused.
    void AddChild(qvTreeItem *child);
    // Inside a model this goes through qvTreeDataModel::SetItemData (which signals).
    void SetData(const QVariant &value);

    QVariant GetData() const { return m_data; }
    qvTreeItem *GetParent() const { return m_parent; }
    const QList<qvTreeItem *> &GetChildren() const { return m_children; }
    qvTreeDataModel *GetModel() const { return m_model; }
    // True when node is this item or lies below it.
    bool IsSelfOrAncestorOf(const qvTreeItem *node) const;

private:
    friend class qvTreeDataModel;
    void AttachChild(qvTreeItem *child);
    void DetachChild(qvTreeItem *child);
    void SetModelRecursive(qvTreeDataModel *model);

    QVariant m_data;
    qvTreeItem *m_parent = nullptr;     // not owned
    QList<qvTreeItem *> m_children;     // owned, as QObject children
    qvTreeDataModel *m_model = nullptr; // not owned
};
