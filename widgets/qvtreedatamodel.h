#pragma once

#include "widgets/qvdatamodel.h"
#include "widgets/qvmodelindex.h"

#include <QList>
#include <QObject>
#include <QVariant>

#include <memory>

class qvTreeItem;

// A hierarchy of QVariant rows under an invisible root. Every accepted change emits one signal
// carrying the changed node's position; refused changes emit nothing.
class qvTreeDataModel : public qvDataModel
{
    Q_OBJECT
public:
    explicit qvTreeDataModel(QObject *parent = nullptr);
    ~qvTreeDataModel() override;

    // None for an invalid index, one that is not an integer list, an empty path (the root) or
    // any step out of range.
    qvTreeItem *GetItem(const qvModelIndex &index) const;
    // Invalid for the root and for nodes not attached under it.
    qvModelIndex GetIndex(const qvTreeItem *item) const;
    qvTreeItem *GetTopLevelItem(int i) const;
    int GetTopLevelCount() const;
    qvTreeItem *GetChildItem(qvTreeItem *parent, int i) const;
    // -1 for no parent.
    int GetChildCount(qvTreeItem *parent) const;

    // Append item (with its subtree) as the last child of the root or of parent and emit one
    // InsertItemSignal. Refused when item or parent is missing, item already has a parent,
    // parent belongs to another model, or parent lies inside item's own subtree.
    bool AppendTopLevelItem(qvTreeItem *item);
    bool InsertItem(qvTreeItem *parent, qvTreeItem *item);
    bool SetItemData(qvTreeItem *item, const QVariant &value);
    // RemoveItem(GetItem(index)); the caller owns the returned subtree.
    qvTreeItem *RemoveItemAt(const qvModelIndex &index);

    // Detaches every top-level node and returns them in order; the caller owns them.
    virtual QList<qvTreeItem *> TakeAllItems();
    // Detaches item and returns it (the caller owns it); RemoveItemSignal carries the index it had.
    virtual qvTreeItem *RemoveItem(qvTreeItem *item);
    virtual QList<qvModelIndex> GetChildIndexes(const qvModelIndex &index) const;
    // Invalid for a top-level node and for an index that names no node.
    virtual qvModelIndex GetParentIndex(const qvModelIndex &index) const;
    virtual void GetTopLevelIndexes(QList<qvModelIndex> &out) const;
    virtual QVariant GetData(const qvModelIndex &index) const;
    virtual void SetData(const qvModelIndex &index, const QVariant &value);

signals:
    // A node and its whole subtree now sit at index (valid, names the node).
    void InsertItemSignal(const qvModelIndex &index);
    // The value of the node at index changed.
    void DataChangeSignal(const qvModelIndex &index);
    // The node that was at index is gone with its subtree; index no longer names it.
    void RemoveItemSignal(const qvModelIndex &index);
    // Every node is gone.
    void ClearSignal();
    // Emitted by panes only: false suspends a connected tree widget, true resumes it.
    void SetUpdateStatusSignal(bool enable);

private:
    std::unique_ptr<qvTreeItem> m_root; // owned; its children are the top-level nodes
};
