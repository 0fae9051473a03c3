#include "widgets/qvtreewidget.h"

#include "widgets/qvtreedatamodel.h"
#include "widgets/qvtreewidgetitem.h"
#include "widgets/qvviewitemdelegate.h"
#include "widgets/qvviewitemwidget.h"

#include <QRect>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStringList>

#include <memory>

qvTreeWidget::qvTreeWidget(QWidget *parent, const QString &objectName) : QTreeWidget(parent)
{
    qvModelIndex::RegisterMetaType();
    setObjectName(objectName);
    setColumnCount(1);
    connect(verticalScrollBar(), SIGNAL(valueChanged(int)), this, SLOT(OnVValueChanged(int)));
    ConnectRangeChanged(true);
    connect(this, SIGNAL(itemExpanded(QTreeWidgetItem *)), this,
            SLOT(OnItemExpanded(QTreeWidgetItem *)));
    connect(this, SIGNAL(itemDoubleClicked(QTreeWidgetItem *, int)), this,
            SLOT(OnItemDoubleClicked(QTreeWidgetItem *, int)));
    connect(this, SIGNAL(itemClicked(QTreeWidgetItem *, int)), this,
            SLOT(OnItemClicked(QTreeWidgetItem *, int)));
    verticalScrollBar()->setContextMenuPolicy(Qt::NoContextMenu);
}

qvTreeWidget::~qvTreeWidget()
{
    ClearRows();
}

void qvTreeWidget::ConnectRangeChanged(bool connectIt)
{
    if (connectIt) {
        connect(verticalScrollBar(), SIGNAL(rangeChanged(int, int)), this,
                SLOT(OnVRangeChanged(int, int)), Qt::UniqueConnection);
    } else {
        disconnect(verticalScrollBar(), SIGNAL(rangeChanged(int, int)), this,
                   SLOT(OnVRangeChanged(int, int)));
    }
}

void qvTreeWidget::ConnectModel(bool connectIt)
{
    if (!m_model)
        return;
    struct Link
    {
        const char *signal;
        const char *slot;
    };
    static const Link links[] = {
        {SIGNAL(InsertItemSignal(const qvModelIndex &)), SLOT(OnInsertItem(const qvModelIndex &))},
        {SIGNAL(DataChangeSignal(const qvModelIndex &)), SLOT(OnDataChange(const qvModelIndex &))},
        {SIGNAL(RemoveItemSignal(const qvModelIndex &)), SLOT(OnRemoveItem(const qvModelIndex &))},
        {SIGNAL(ClearSignal()), SLOT(OnClear())},
        {SIGNAL(SetUpdateStatusSignal(bool)), SLOT(OnSetUpdateStatus(bool))},
    };
    for (const Link &link : links) {
        if (connectIt)
            connect(m_model, link.signal, this, link.slot, Qt::UniqueConnection);
        else
            disconnect(m_model, link.signal, this, link.slot);
    }
    // Rows of a model that is gone would only show stale values.
    if (connectIt)
        connect(m_model, &QObject::destroyed, this, &qvTreeWidget::OnModelDestroyed);
    else
        disconnect(m_model, &QObject::destroyed, this, &qvTreeWidget::OnModelDestroyed);
}

void qvTreeWidget::OnModelDestroyed()
{
    ClearRows();
}

void qvTreeWidget::SetModel(qvTreeDataModel *model)
{
    if (!model || model == m_model)
        return;
    ConnectModel(false);
    m_model = model;
    ConnectModel(true);
    ClearRows();
    RebuildAll();
}

void qvTreeWidget::SetDelegate(qvViewItemDelegate *delegate)
{
    if (!delegate || delegate == m_delegate)
        return;
    m_delegate = delegate;
    ClearRows();
    RebuildAll();
}

qvTreeDataModel *qvTreeWidget::GetModel() const
{
    return m_model;
}

qvViewItemDelegate *qvTreeWidget::GetDelegate() const
{
    return m_delegate;
}

// ---- rows and paths ----

QTreeWidgetItem *qvTreeWidget::GetTreeItem(const qvModelIndex &index) const
{
    if (!index.IsUsable())
        return nullptr;
    const QList<int> path = index.GetPath();
    if (path.isEmpty())
        return nullptr;
    QTreeWidgetItem *row = topLevelItem(path.first());
    for (int k = 1; row && k < path.size(); ++k)
        row = row->child(path.at(k));
    return row;
}

qvModelIndex qvTreeWidget::GetModelIndex(QTreeWidgetItem *row) const
{
    if (!row)
        return qvModelIndex();
    // The view's own indexes know each row's position without scanning its siblings.
    QModelIndex at = indexFromItem(row, 0);
    if (!at.isValid())
        return qvModelIndex();
    QList<int> path;
    for (; at.isValid(); at = at.parent())
        path.prepend(at.row());
    return qvModelIndex(path);
}

void qvTreeWidget::SetItemExpanded(const qvModelIndex &index, bool expanded)
{
    QTreeWidgetItem *row = GetTreeItem(index);
    if (!row)
        return;
    row->setExpanded(expanded);
    // A collapse emits nothing we listen to; release the hidden rows' widgets now.
    UpdateItemWidgets();
}

void qvTreeWidget::ExpandAll()
{
    expandAll();
}

void qvTreeWidget::expandAll()
{
    m_expandingAll = true;
    QTreeWidget::expandAll();
    m_expandingAll = false;
    UpdateItemWidgets();
}

qvViewItemWidget *qvTreeWidget::GetItemWidget(QTreeWidgetItem *row) const
{
    return row ? qobject_cast<qvViewItemWidget *>(itemWidget(row, 0)) : nullptr;
}

QList<QTreeWidgetItem *> qvTreeWidget::GetWidgetedItems() const
{
    QList<QTreeWidgetItem *> rows;
    for (const QPersistentModelIndex &key : m_widgetedItems) {
        if (QTreeWidgetItem *row = itemFromIndex(key))
            rows.append(row);
    }
    return rows;
}

QPersistentModelIndex qvTreeWidget::KeyOf(QTreeWidgetItem *row) const
{
    return QPersistentModelIndex(indexFromItem(row, 0));
}

qvTreeWidgetItem *qvTreeWidget::BuildRow(const qvModelIndex &index)
{
    if (!index.IsUsable() || !m_model || !m_delegate)
        return nullptr;
    auto row = std::make_unique<qvTreeWidgetItem>();
    const QVariant data = m_model->GetData(index);
    const qvCreateItemWidgetFunc create = m_delegate->GetCreateFunc(data);
    row->SetCreateFunc(create);
    if (create)
        ApplyItemSize(row.get());
    const QList<qvModelIndex> children = m_model->GetChildIndexes(index);
    for (const qvModelIndex &child : children) {
        if (qvTreeWidgetItem *childRow = BuildRow(child))
            row->addChild(childRow);
    }
    return row.release();
}

void qvTreeWidget::ApplyItemSize(qvTreeWidgetItem *row)
{
    if (!row || !row->GetCreateFunc() || !m_delegate)
        return;
    const auto it = m_itemSizes.constFind(m_delegate->GetCreateFuncTypeKey(row->GetCreateFunc()));
    if (it == m_itemSizes.cend())
        return;
    ConnectRangeChanged(false);
    row->setSizeHint(0, QSize(it.value(), it.value()));
    ConnectRangeChanged(true);
}

void qvTreeWidget::ApplyItemSizesRecursive(QTreeWidgetItem *row)
{
    for (int i = 0; i < row->childCount(); ++i)
        ApplyItemSizesRecursive(row->child(i));
    if (row->type() == qvTreeWidgetItem::Type)
        ApplyItemSize(static_cast<qvTreeWidgetItem *>(row));
}

void qvTreeWidget::RebuildAll()
{
    if (!m_model || !m_delegate)
        return;
    m_busy = true;
    QList<qvModelIndex> topLevel;
    m_model->GetTopLevelIndexes(topLevel);
    for (const qvModelIndex &index : qAsConst(topLevel)) {
        if (qvTreeWidgetItem *row = BuildRow(index))
            addTopLevelItem(row);
    }
    m_busy = false;
    UpdateItemWidgets();
}

void qvTreeWidget::AttachWidget(QTreeWidgetItem *row, qvViewItemWidget *widget)
{
    // Attaching asks the view for a full relayout of every row, though no row changes size; a
    // layout that is really due runs first, the one the attachment asks for is skipped.
    executeDelayedItemsLayout();
    m_attachingWidget = true;
    setItemWidget(row, 0, widget);
    executeDelayedItemsLayout();
    m_attachingWidget = false;
}

void qvTreeWidget::doItemsLayout()
{
    // Rows keep their places: only the widgets' geometry and the scroll range are brought up to
    // date, without laying out every row again.
    if (m_attachingWidget) {
        QAbstractItemView::doItemsLayout();
        return;
    }
    QTreeWidget::doItemsLayout();
}

void qvTreeWidget::DetachWidget(QTreeWidgetItem *row)
{
    qvViewItemWidget *widget = GetItemWidget(row);
    if (!widget)
        return;
    // Still connected: what the widget reports as it goes (a rename it commits) reaches the pane.
    widget->OnRelease();
    disconnect(widget, SIGNAL(UserOperationIndexSignals(const qvModelIndex &, const QVariant &)),
               this, SIGNAL(ItemUserOperationIndexSignals(const qvModelIndex &, const QVariant &)));
    widget->hide();
    // The widget stays a hidden child of the viewport until the view deletes it, so it never
    // outlives the view.
    setItemWidget(row, 0, nullptr);
}

void qvTreeWidget::DetachSubtreeWidgets(QTreeWidgetItem *row)
{
    for (int i = 0; i < row->childCount(); ++i)
        DetachSubtreeWidgets(row->child(i));
    DetachWidget(row);
    m_widgetedItems.removeAll(KeyOf(row));
}

void qvTreeWidget::ClearRows()
{
    m_widgetedItems.clear();
    for (int i = 0; i < topLevelItemCount(); ++i)
        DetachSubtreeWidgets(topLevelItem(i));
    m_widgetedItems.clear();
    QTreeWidget::clear();
}

// ---- the widget update ----

void qvTreeWidget::UpdateItemWidgets()
{
    if (m_busy || m_suspended)
        return;
    m_busy = true;
    updateGeometries();
    const QRect area = viewport()->contentsRect();
    const int probeBottom = area.y() + area.height();
    QTreeWidgetItem *first = itemAt(area.x(), area.y());
    QTreeWidgetItem *last = itemAt(area.x(), probeBottom);

    QList<QPersistentModelIndex> previous = m_widgetedItems;
    QList<QPersistentModelIndex> current;
    bool expandedOnTheWay = false;
    for (QTreeWidgetItem *row = first; row; row = itemBelow(row)) {
        // A row expanded on the way can push the last row far down; nothing below the view
        // qualifies. (Row rectangles cost a walk over all rows, so only then are they asked.)
        if (expandedOnTheWay && visualItemRect(row).top() > probeBottom)
            break;
        const QPersistentModelIndex key = KeyOf(row);
        current.append(key);
        previous.removeAll(key);
        qvViewItemWidget *widget = GetItemWidget(row);
        auto *treeRow =
            row->type() == qvTreeWidgetItem::Type ? static_cast<qvTreeWidgetItem *>(row) : nullptr;
        if (!widget && treeRow && treeRow->GetCreateFunc() && m_model && m_delegate) {
            widget = treeRow->GetCreateFunc()();
            if (widget) {
                connect(
                    widget,
                    SIGNAL(UserOperationIndexSignals(const qvModelIndex &, const QVariant &)), this,
                    SIGNAL(ItemUserOperationIndexSignals(const qvModelIndex &, const QVariant &)));
                AttachWidget(row, widget);
                const QVariant data = m_model->GetData(GetModelIndex(row));
                widget->SetData(data);
                // The widget may have changed the model meanwhile; the row may be gone.
                row = itemFromIndex(key);
                if (!row || !m_model)
                    break;
                widget->SetSelectStatus(row == currentItem());
                const bool wasExpanded = row->isExpanded();
                if (m_delegate)
                    row->setExpanded(m_delegate->GetExpandState(data, wasExpanded));
                expandedOnTheWay = expandedOnTheWay || (row->isExpanded() && !wasExpanded);
            }
        }
        if (widget)
            widget->SetIndexValue(QVariant::fromValue(GetModelIndex(row).GetPath()));
        if (row == last)
            break;
    }
    for (const QPersistentModelIndex &key : qAsConst(previous)) {
        if (QTreeWidgetItem *row = itemFromIndex(key))
            DetachWidget(row);
    }
    m_widgetedItems = current;
    m_busy = false;
}

// ---- slots ----

void qvTreeWidget::OnVValueChanged(int value)
{
    Q_UNUSED(value)
    UpdateItemWidgets();
}

void qvTreeWidget::OnVRangeChanged(int min, int max)
{
    Q_UNUSED(min)
    Q_UNUSED(max)
    UpdateItemWidgets();
}

void qvTreeWidget::OnInsertItem(const qvModelIndex &index)
{
    if (!m_model || !m_delegate || !index.IsUsable())
        return;
    const QList<int> path = index.GetPath();
    if (path.isEmpty())
        return;
    const qvModelIndex parentIndex = m_model->GetParentIndex(index);
    QTreeWidgetItem *parentRow = GetTreeItem(parentIndex);
    // A child whose parent has no row here would otherwise land among the top-level rows.
    if (parentIndex.IsValid() && !parentRow)
        return;
    qvTreeWidgetItem *row = BuildRow(index);
    if (!row)
        return;
    const int position = path.last();
    if (parentRow)
        parentRow->insertChild(qBound(0, position, parentRow->childCount()), row);
    else
        insertTopLevelItem(qBound(0, position, topLevelItemCount()), row);
    UpdateItemWidgets();
}

void qvTreeWidget::OnDataChange(const qvModelIndex &index)
{
    if (!m_model || !m_delegate)
        return;
    QTreeWidgetItem *found = GetTreeItem(index);
    if (!found || found->type() != qvTreeWidgetItem::Type)
        return;
    auto *row = static_cast<qvTreeWidgetItem *>(found);
    const QVariant data = m_model->GetData(index);
    const qvCreateItemWidgetFunc create = m_delegate->GetCreateFunc(data);
    if (create != row->GetCreateFunc()) {
        row->SetCreateFunc(create);
        DetachWidget(row);
        if (create)
            ApplyItemSize(row);
    }
    if (!m_widgetedItems.contains(KeyOf(row)))
        return;
    if (qvViewItemWidget *widget = GetItemWidget(row))
        widget->SetData(data);
    else
        UpdateItemWidgets();
}

void qvTreeWidget::OnRemoveItem(const qvModelIndex &index)
{
    if (!m_model || !m_delegate)
        return;
    QTreeWidgetItem *row = GetTreeItem(index);
    if (!row)
        return;
    DetachSubtreeWidgets(row);
    QTreeWidgetItem *parentRow = row->parent();
    std::unique_ptr<QTreeWidgetItem> taken(parentRow
                                               ? parentRow->takeChild(parentRow->indexOfChild(row))
                                               : takeTopLevelItem(indexOfTopLevelItem(row)));
    UpdateItemWidgets();
}

void qvTreeWidget::OnClear()
{
    ClearRows();
}

void qvTreeWidget::OnItemExpanded(QTreeWidgetItem *item)
{
    Q_UNUSED(item)
    // A whole-tree expansion reports each row from inside the view's own row layout; attaching
    // widgets or expanding rows there would change the rows under it. It updates at its end.
    if (m_expandingAll)
        return;
    UpdateItemWidgets();
}

void qvTreeWidget::OnItemDoubleClicked(QTreeWidgetItem *item, int column)
{
    Q_UNUSED(column)
    emit DoubleClickedItem(GetModelIndex(item));
}

void qvTreeWidget::OnItemClicked(QTreeWidgetItem *item, int column)
{
    Q_UNUSED(column)
    emit ClickedItem(GetModelIndex(item));
}

void qvTreeWidget::OnSetUpdateStatus(bool enable)
{
    if (!enable) {
        m_suspended = true;
        return;
    }
    m_suspended = false;
    QResizeEvent event(size(), QSize(0, 0));
    resizeEvent(&event);
    updateGeometries();
}

// ---- view overrides ----

void qvTreeWidget::SetItemSizeValue(const QVariant &value)
{
    m_itemSizeValue = value;
    // A style sheet function value such as qmap(Key#Name,48) arrives as {function, arguments}.
    const QStringList parts = value.toStringList();
    if (parts.size() == 2) {
        QString text = parts.at(1);
        text.remove(QLatin1Char(' '));
        text.remove(QLatin1Char('\t'));
        text.remove(QLatin1Char('\n'));
        text.remove(QLatin1Char('\r'));
        const QStringList fields = text.split(QLatin1Char(','));
        if (fields.size() >= 2 && fields.size() % 2 == 0) {
            for (int i = 0; i < fields.size(); i += 2)
                m_itemSizes.insert(fields.at(i), fields.at(i + 1).toInt());
        }
    }
    for (int i = 0; i < topLevelItemCount(); ++i)
        ApplyItemSizesRecursive(topLevelItem(i));
}

void qvTreeWidget::resizeEvent(QResizeEvent *event)
{
    UpdateItemWidgets();
    QTreeWidget::resizeEvent(event);
}

void qvTreeWidget::updateGeometries()
{
    if (m_suspended)
        return;
    QTreeWidget::updateGeometries();
    setVerticalScrollMode(static_cast<ScrollMode>(m_scrollMode));
    verticalScrollBar()->setSingleStep(m_singleStep);
}
