#pragma once

#include "widgets/qvmodelindex.h"
#include "widgets/qvtreedatamodel.h"
#include "widgets/qvviewitemdelegate.h"

#include <QList>
#include <QMap>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QString>
#include <QTreeWidget>
#include <QVariant>

class QResizeEvent;
class qvTreeWidgetItem;
class qvViewItemWidget;

// A one-column tree over a qvTreeDataModel whose rows in view are drawn by item widgets. Every
// node has a lightweight row; item widgets exist only on the rows between the viewport's top and
// bottom edges and are detached from rows that scroll out of view or collapse.
class qvTreeWidget : public QTreeWidget
{
    Q_OBJECT
    Q_PROPERTY(QVariant qv_item_size READ GetItemSizeValue WRITE SetItemSizeValue)
public:
    explicit qvTreeWidget(QWidget *parent = nullptr, const QString &objectName = QString());
    ~qvTreeWidget() override;

    // Replaces the model (not owned) and rebuilds all rows; none or the same model changes
    // nothing.
    void SetModel(qvTreeDataModel *model);
    // Replaces the delegate (not owned) and rebuilds all rows; none or the same one changes
    // nothing.
    void SetDelegate(qvViewItemDelegate *delegate);
    qvTreeDataModel *GetModel() const;
    qvViewItemDelegate *GetDelegate() const;

    // The row at index's path; none when a step fails or the index is unusable.
    QTreeWidgetItem *GetTreeItem(const qvModelIndex &index) const;
    // The path of row; invalid for none or a row outside this tree.
    qvModelIndex GetModelIndex(QTreeWidgetItem *row) const;
    void SetItemExpanded(const qvModelIndex &index, bool expanded);
    // Expands every row and then updates the widgets once. Row widgets follow every other
    // expansion at once; only a whole-tree expansion waits for its end, because the view reports
    // it from inside its own row layout, where no row may change. Expand the whole tree through
    // this class (ExpandAll or expandAll), not through QTreeView::expandAll on a base pointer.
    void ExpandAll();

    // The row's item widget, or none.
    qvViewItemWidget *GetItemWidget(QTreeWidgetItem *row) const;
    // The rows that carried item widgets after the last update, top to bottom.
    QList<QTreeWidgetItem *> GetWidgetedItems() const;
    bool IsSuspended() const { return m_suspended; }

    QVariant GetItemSizeValue() const { return m_itemSizeValue; }
    void SetItemSizeValue(const QVariant &value);
    QMap<QString, int> GetItemSizes() const { return m_itemSizes; }

    void doItemsLayout() override;

public slots:
    // Hides QTreeView::expandAll: the same as ExpandAll.
    void expandAll();

signals:
    // A row was double-clicked / clicked; index is its path.
    void DoubleClickedItem(const qvModelIndex &index);
    void ClickedItem(const qvModelIndex &index);
    // Relay of a row widget's UserOperationIndexSignals.
    void ItemUserOperationIndexSignals(const qvModelIndex &index, const QVariant &data);

protected slots:
    void OnVValueChanged(int value);
    void OnVRangeChanged(int min, int max);
    void OnInsertItem(const qvModelIndex &index);
    void OnDataChange(const qvModelIndex &index);
    void OnRemoveItem(const qvModelIndex &index);
    void OnClear();
    void OnItemExpanded(QTreeWidgetItem *item);
    void OnItemDoubleClicked(QTreeWidgetItem *item, int column);
    void OnItemClicked(QTreeWidgetItem *item, int column);
    void OnSetUpdateStatus(bool enable);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void updateGeometries() override;

private slots:
    void OnModelDestroyed();

private:
    void ConnectModel(bool connectIt);
    void ConnectRangeChanged(bool connectIt);
    // The widget update: widgets for the rows in view, none for the others.
    void UpdateItemWidgets();
    void RebuildAll();
    void ClearRows();
    qvTreeWidgetItem *BuildRow(const qvModelIndex &index);
    void ApplyItemSize(qvTreeWidgetItem *row);
    void ApplyItemSizesRecursive(QTreeWidgetItem *row);
    void AttachWidget(QTreeWidgetItem *row, qvViewItemWidget *widget);
    // Disconnects, hides and detaches the row's widget (deleted later by the view).
    void DetachWidget(QTreeWidgetItem *row);
    void DetachSubtreeWidgets(QTreeWidgetItem *row);
    QPersistentModelIndex KeyOf(QTreeWidgetItem *row) const;

    QList<QPersistentModelIndex> m_widgetedItems; // rows, tracked so removed rows drop out
    QPointer<qvTreeDataModel> m_model;            // not owned
    QPointer<qvViewItemDelegate> m_delegate;      // not owned
    bool m_busy = false;
    bool m_suspended = false;
    bool m_expandingAll = false;
    bool m_attachingWidget = false;
    QVariant m_itemSizeValue;
    QMap<QString, int> m_itemSizes;
    int m_singleStep = 10;
    int m_scrollMode = 1;
};
