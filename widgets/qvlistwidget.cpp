#include "widgets/qvlistwidget.h"

#include "widgets/qvlistdatamodel.h"
#include "widgets/qvlistwidgetdelegate.h"
#include "widgets/qvlistwidgetitem.h"
#include "widgets/qvvboxlayout.h"
#include "widgets/qvviewitemwidget.h"
#include "widgets/qvwidget.h"

#include <QDebug>
#include <QItemSelectionModel>
#include <QRect>
#include <QResizeEvent>
#include <QScrollBar>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QStringList>

#include <memory>

qvListWidget::qvListWidget(QWidget *parent, const QString &objectName, bool withInnerScrollBar)
    : QListWidget(parent)
{
    setObjectName(objectName);
    m_trace = qEnvironmentVariableIntValue("QCD_TRACE_LIST") != 0;
    m_sizeChangeTimer.setSingleShot(true);
    setVerticalScrollMode(static_cast<ScrollMode>(m_scrollMode));
    if (withInnerScrollBar)
        BuildInnerScrollBar();
    ConnectScrollBar();
}

qvListWidget::~qvListWidget()
{
    m_widgetPool.clear();
    m_itemSizes.clear();
    Clear();
    m_sizeChangeTimer.stop();
}

void qvListWidget::Trace(const QString &line) const
{
    if (m_trace)
        qDebug().noquote() << line;
}

// ---- model and delegate ----

void qvListWidget::ConnectModel(bool connectIt)
{
    if (!m_model)
        return;
    struct Link
    {
        const char *signal;
        const char *slot;
    };
    static const Link links[] = {
        {SIGNAL(DataChangeSignal(const int &)), SLOT(OnDataChange(const int &))},
        {SIGNAL(RowInsertedSignal(const int &)), SLOT(OnRowInserted(const int &))},
        {SIGNAL(RowsInsertedSignal(int, size_t)), SLOT(OnRowsInserted(int, size_t))},
        {SIGNAL(RowRemovedSignal(const int &)), SLOT(OnRowRemoved(const int &))},
        {SIGNAL(RowsRemovedSignal(int, int)), SLOT(OnRowsRemoved(int, int))},
        {SIGNAL(UpdateSignal()), SLOT(OnUpdate())},
        {SIGNAL(ClearSignal()), SLOT(OnClear())},
        {SIGNAL(ResetModelSignal()), SLOT(OnResetModel())},
    };
    for (const Link &link : links) {
        if (connectIt)
            connect(m_model, link.signal, this, link.slot, Qt::UniqueConnection);
        else
            disconnect(m_model, link.signal, this, link.slot);
    }
    // Rows of a model that is gone would only show stale values.
    if (connectIt)
        connect(m_model, &QObject::destroyed, this, &qvListWidget::OnModelDestroyed);
    else
        disconnect(m_model, &QObject::destroyed, this, &qvListWidget::OnModelDestroyed);
}

void qvListWidget::OnModelDestroyed()
{
    Clear();
}

void qvListWidget::SetModel(qvListDataModel *model)
{
    if (model == m_model)
        return;
    ConnectModel(false);
    m_model = model;
    Clear();
    if (m_model) {
        ConnectModel(true);
        LoadAllItems();
    }
}

void qvListWidget::SetDelegate(qvListWidgetDelegate *delegate)
{
    if (delegate == m_delegate)
        return;
    m_delegate = delegate;
    Clear();
    LoadAllItems();
}

qvListDataModel *qvListWidget::GetModel() const
{
    return m_model;
}

qvListWidgetDelegate *qvListWidget::GetDelegate() const
{
    return m_delegate;
}

qvListWidgetItem *qvListWidget::GetListItem(int row) const
{
    QListWidgetItem *rowItem = item(row);
    if (!rowItem)
        return nullptr;
    if (!IsBareRow(rowItem))
        return static_cast<qvListWidgetItem *>(rowItem);
    // Making a bare row's item now changes nothing a caller of the view can see.
    return const_cast<qvListWidget *>(this)->LazyItemOf(row, rowItem);
}

bool qvListWidget::IsBareRow(const QListWidgetItem *rowItem)
{
    return rowItem && rowItem->type() != qvListWidgetItem::Type;
}

qvListWidgetItem *qvListWidget::LazyItemOf(int row, QListWidgetItem *rowItem)
{
    const auto found = m_lazyItems.find(rowItem);
    if (found != m_lazyItems.end())
        return found->second.get();
    if (!m_model || row >= m_model->GetCount())
        return nullptr;
    std::unique_ptr<qvListWidgetItem> made(CreateListItemFor(m_model->GetData(row)));
    qvListWidgetItem *result = made.get();
    if (made)
        m_lazyItems.emplace(rowItem, std::move(made));
    return result;
}

qvViewItemWidget *qvListWidget::GetItemWidget(int row) const
{
    QListWidgetItem *listItem = item(row);
    return listItem ? qobject_cast<qvViewItemWidget *>(itemWidget(listItem)) : nullptr;
}

// ---- property ----

void qvListWidget::SetItemSizeValue(const QVariant &value)
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
    SizeAllRows();
    scheduleDelayedItemsLayout();
}

// ---- scroll bars ----

void qvListWidget::ConnectScrollBar()
{
    QScrollBar *bar = verticalScrollBar();
    if (!bar)
        return;
    connect(bar, &QScrollBar::valueChanged, this, &qvListWidget::OnValueChanged,
            Qt::UniqueConnection);
    connect(bar, &QScrollBar::rangeChanged, this, &qvListWidget::OnRangeChanged,
            Qt::UniqueConnection);
    bar->setContextMenuPolicy(Qt::NoContextMenu);
}

void qvListWidget::BuildInnerScrollBar()
{
    if (m_scrollBarContainer)
        return;
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(&m_sizeChangeTimer, SIGNAL(timeout()), this, SLOT(OnSizeChangeTimerOut()));
    m_sizeChangeTimer.setSingleShot(true);

    auto *outerLayout = new qvVBoxLayout;
    outerLayout->setAlignment(Qt::AlignRight);
    m_scrollBarContainer = new qvWidget(this, QStringLiteral("ListInsideScrollBarWidget"));
    auto *innerLayout = new qvVBoxLayout;
    innerLayout->setAlignment(Qt::AlignLeft);

    m_innerScrollBar = new QScrollBar(Qt::Vertical, m_scrollBarContainer);
    m_innerScrollBar->setObjectName(QStringLiteral("ListInsideScrollBar"));
    setVerticalScrollBar(m_innerScrollBar);
    ConnectScrollBar();
    innerLayout->addWidget(m_innerScrollBar, 1);
    m_scrollBarContainer->setLayout(innerLayout);
    outerLayout->addWidget(m_scrollBarContainer, 1);
    m_scrollBarContainer->hide();
    setLayout(outerLayout);
    m_scrollBarContainer->raise();
    m_sizeChangeTimer.start(100);
}

void qvListWidget::checkStartShowScrollBarTimer()
{
    m_sizeChangeTimer.start(100);
}

void qvListWidget::OnSizeChangeTimerOut()
{
    if (!m_scrollBarContainer)
        return;
    if (!m_model) {
        m_scrollBarContainer->hide();
        return;
    }
    QListWidgetItem *first = item(0);
    QListWidgetItem *last = item(m_model->GetCount() - 1);
    const int top = first ? visualItemRect(first).top() : 0;
    const int bottom = last ? visualItemRect(last).bottom() : 0;
    m_scrollBarContainer->setVisible(bottom - top > height());
}

void qvListWidget::OnValueChanged(int value)
{
    if (m_trace)
        Trace(QString::asprintf("qvListWidget:OnValueChanged start value[%d]", value));
    UpdateItemWidget(false);
}

void qvListWidget::OnRangeChanged(int min, int max)
{
    if (m_trace)
        Trace(QString::asprintf("qvListWidget:OnRangeChanged start min[%d] max[%d]", min, max));
    m_rangeMaximum = max;
    UpdateItemWidget(false);
}

void qvListWidget::resizeEvent(QResizeEvent *event)
{
    m_sizeChangeTimer.start(100);
    Trace(QStringLiteral("qvListWidget:resizeEvent start"));
    QListWidget::resizeEvent(event);
    UpdateItemWidget(false);
}

void qvListWidget::showEvent(QShowEvent *event)
{
    Trace(QStringLiteral("qvListWidget:showEvent start"));
    QListWidget::showEvent(event);
    UpdateItemWidget(false);
}

void qvListWidget::updateGeometries()
{
    QListWidget::updateGeometries();
    if (QScrollBar *bar = verticalScrollBar()) {
        setVerticalScrollMode(static_cast<ScrollMode>(m_scrollMode));
        bar->setSingleStep(m_singleStep);
    }
}

// ---- the widget window ----

bool qvListWidget::RowTouches(int row, const QRect &area) const
{
    QListWidgetItem *rowItem = item(row);
    if (!rowItem)
        return false;
    const QRect rect = visualItemRect(rowItem);
    return !rect.isEmpty() && (rect.intersects(area) || area.contains(rect));
}

void qvListWidget::GetVisibleRange(int &first, int &last)
{
    const QRect area = viewport()->contentsRect();
    const int rows = count();
    const int top = indexAt(QPoint(area.x() + 5, area.y() + 5)).row();
    const int bottom =
        indexAt(QPoint(area.x() + area.width() - 5, area.y() + area.height() - 5)).row();
    if (top >= 0 && bottom >= 0) {
        first = top;
        last = bottom;
        return;
    }
    if (top >= 0 && RowTouches(rows - 1, area)) {
        // The list ends inside the view.
        first = top;
        last = rows - 1;
        return;
    }
    const int dx = area.width() / 6;
    const int dy = area.height() / 6;
    first = -1;
    last = -1;
    for (int k = 0; k < 6; ++k) {
        const int row = indexAt(QPoint(area.x() + k * dx, area.y() + k * dy)).row();
        if (row < 0)
            continue;
        first = first < 0 ? row : qMin(first, row);
        last = qMax(last, row);
    }
    if (first < 0)
        return;
    while (first > 0 && RowTouches(first - 1, area))
        --first;
    while (last + 1 < rows && RowTouches(last + 1, area))
        ++last;
}

void qvListWidget::UpdateItemWidget(bool refreshAll)
{
    m_sizeChangeTimer.start(100);
    Trace(QStringLiteral("qvListWidget:UpdateItemWidget start"));
    if (!m_model || !m_delegate || m_inserting || m_updating || count() == 0)
        return;
    m_updating = true;
    int start = -1;
    int end = -1;
    GetVisibleRange(start, end);
    start = qMax(start, 0);
    if (start > end) {
        m_updating = false;
        return;
    }
    if (m_trace)
        Trace(QString::asprintf("qvListWidget:UpdateItemWidget start[%d] end[%d]", start, end));
    for (int r = start; r <= end; ++r) {
        qvListWidgetItem *rowItem = GetListItem(r);
        if (!rowItem)
            continue;
        // A widget's SetData may call back into the model; the row is looked up afresh each time.
        if (qvViewItemWidget *widget = GetItemWidget(r)) {
            if (refreshAll) {
                widget->SetData(m_model ? m_model->GetData(r) : QVariant());
                widget->SetSelectStatus(r == currentRow());
            } else {
                widget->UpdateData(m_model ? m_model->GetData(r) : QVariant());
            }
            continue;
        }
        const QVariant data = m_model->GetData(r);
        qvViewItemWidget *widget = CreateItemWidget(data, rowItem);
        if (!widget)
            continue;
        AttachWidget(item(r), widget);
        widget->SetData(data);
        widget->SetSelectStatus(r == currentRow());
        if (!m_model)
            break;
    }
    ReleaseOldWindow(start, end);
    m_cacheStart = start;
    m_cacheEnd = end;
    for (int r = start; r <= end; ++r) {
        if (qvViewItemWidget *widget = GetItemWidget(r))
            widget->SetIndexValue(r);
    }
    m_updating = false;
    Trace(QStringLiteral("qvListWidget:UpdateItemWidget end"));
}

void qvListWidget::ReleaseOldWindow(int start, int end)
{
    const int cs = m_cacheStart;
    const int ce = m_cacheEnd;
    if (m_trace) {
        Trace(QString::asprintf("qvListWidget:ReleaseItemWidget-start: start:%d, end:%d, "
                                "cacheStart:%d, cacheEnd:%d",
                                start, end, cs, ce));
    }
    static const char firstRun[] = "qvListWidget:ReleaseItemWidget-l_start: removeItemWidget:%d";
    static const char secondRun[] =
        "qvListWidget:ReleaseItemWidget-l_appendStart: removeItemWidget:%d";
    if (end < cs || start > ce) {
        ReleaseRows(cs, ce, firstRun);
    } else if (start <= cs && end <= ce) {
        ReleaseRows(end + 1, ce, firstRun);
    } else if (start < cs && end > ce) {
        // The new window covers the old one.
    } else if (start >= cs && end >= ce) {
        ReleaseRows(cs, start - 1, firstRun);
    } else if (start > cs && end < ce) {
        ReleaseRows(cs, start - 1, firstRun);
        ReleaseRows(end + 1, ce, secondRun);
    }
    if (m_trace) {
        Trace(QString::asprintf("qvListWidget:ReleaseItemWidget: start:%d, end:%d, "
                                "cacheStart:%d, cacheEnd:%d",
                                start, end, cs, ce));
    }
}

void qvListWidget::ReleaseRows(int from, int to, const char *traceFormat)
{
    for (int r = qMax(from, 0); r <= to && r < count(); ++r) {
        if (!GetItemWidget(r))
            continue;
        DetachRowWidget(r);
        if (m_trace)
            Trace(QString::asprintf(traceFormat, r));
    }
}

void qvListWidget::AttachWidget(QListWidgetItem *rowItem, qvViewItemWidget *widget)
{
    // Attaching asks the view for a full relayout of every row, though no row changes size;
    // with many rows that would cost more than everything else while scrolling. A layout that
    // is really due runs first; the one the attachment asks for is skipped.
    executeDelayedItemsLayout();
    m_attachingWidget = true;
    setItemWidget(rowItem, widget);
    executeDelayedItemsLayout();
    m_attachingWidget = false;
}

void qvListWidget::doItemsLayout()
{
    // Rows keep their places: only the widgets' geometry and the scroll range are brought up to
    // date, without sizing every row again.
    if (m_attachingWidget) {
        QAbstractItemView::doItemsLayout();
        return;
    }
    QListWidget::doItemsLayout();
}

void qvListWidget::DetachRowWidget(int row)
{
    QListWidgetItem *rowItem = item(row);
    qvViewItemWidget *widget = GetItemWidget(row);
    if (!rowItem || !widget)
        return;
    ReleaseWidget(widget);
    // The view hides the detached widget and deletes it later; it is never attached again.
    setItemWidget(rowItem, nullptr);
}

void qvListWidget::DetachAllWidgets()
{
    // Only rows of the window carry widgets (every update and row change keeps it so); walking
    // every row of a long list would cost more than the rest of a reload.
    if (m_cacheStart < 0 || m_cacheEnd < 0)
        return;
    for (int r = m_cacheStart; r <= m_cacheEnd && r < count(); ++r)
        DetachRowWidget(r);
}

qvViewItemWidget *qvListWidget::CreateItemWidget(const QVariant &data, qvListWidgetItem *item)
{
    if (!m_model || !m_delegate || !item)
        return nullptr;
    const QString typeName = m_delegate->GetItemWidgetName(data);
    qvViewItemWidget *widget = TakeCachedItemWidget(typeName);
    if (!widget)
        widget = m_delegate->CreateItemWidget(data);
    if (!widget)
        return nullptr;
    connect(widget, SIGNAL(PressedSignals(int)), this, SIGNAL(ItemPressedSignals(int)));
    connect(widget, SIGNAL(ClickedSignals(int)), this, SIGNAL(ItemClickedSignals(int)));
    connect(widget, SIGNAL(DoubleClickedSignals(int)), this, SIGNAL(ItemDoubleClickedSignals(int)));
    connect(widget, SIGNAL(RightMouseClickedSignals(int)), this,
            SIGNAL(ItemRightMouseClickedSignals(int)));
    connect(widget, SIGNAL(UserOperationSignals(int, const QVariant &)), this,
            SIGNAL(ItemUserOperationSignals(int, const QVariant &)));
    widget->AssignUserValue(item->GetUserValue());
    return widget;
}

void qvListWidget::ReleaseWidget(qvViewItemWidget *widget)
{
    if (!widget)
        return;
    disconnect(widget, SIGNAL(PressedSignals(int)), this, SIGNAL(ItemPressedSignals(int)));
    disconnect(widget, SIGNAL(ClickedSignals(int)), this, SIGNAL(ItemClickedSignals(int)));
    disconnect(widget, SIGNAL(DoubleClickedSignals(int)), this,
               SIGNAL(ItemDoubleClickedSignals(int)));
    disconnect(widget, SIGNAL(RightMouseClickedSignals(int)), this,
               SIGNAL(ItemRightMouseClickedSignals(int)));
    disconnect(widget, SIGNAL(UserOperationSignals(int, const QVariant &)), this,
               SIGNAL(ItemUserOperationSignals(int, const QVariant &)));
    widget->OnRelease();
    widget->ClearUserValue();
    widget->hide();
}

qvViewItemWidget *qvListWidget::TakeCachedItemWidget(const QString &typeName)
{
    auto it = m_widgetPool.find(typeName);
    if (it == m_widgetPool.end() || it->isEmpty())
        return nullptr;
    return it->takeFirst();
}

void qvListWidget::Clear()
{
    m_cacheStart = -1;
    m_cacheEnd = -1;
    m_rangeMaximum = 0;
    DetachAllWidgets();
    QListWidget::clear();
    m_lazyItems.clear();
}

// ---- rows ----

qvListWidgetItem *qvListWidget::CreateListItemFor(const QVariant &data)
{
    if (!m_delegate)
        return nullptr;
    qvListWidgetItem *listItem = m_delegate->CreateListItem(data);
    if (!listItem)
        return nullptr;
    listItem->SetTypeKey(m_delegate->GetItemTypeKey(data));
    // A new item has no size hint; only a height of its own or of its type key gives it one.
    if (listItem->GetItemHeight(viewport()->size()) >= 1 ||
        m_itemSizes.contains(listItem->GetTypeKey()))
        SetWidgetItemSize(listItem);
    return listItem;
}

void qvListWidget::InsertListItem(int row, qvListWidgetItem *listItem)
{
    Trace(QStringLiteral("qvListWidget:InsertItem start"));
    insertItem(row, listItem);
    Trace(QStringLiteral("qvListWidget:InsertItem end"));
}

void qvListWidget::TakeAndDeleteRow(int row)
{
    DetachRowWidget(row);
    std::unique_ptr<QListWidgetItem> taken(takeItem(row));
    m_lazyItems.erase(taken.get());
}

void qvListWidget::ReplaceRowItem(int row, qvListWidgetItem *replacement)
{
    std::unique_ptr<qvListWidgetItem> owned(replacement);
    QItemSelectionModel *selection = selectionModel();
    const bool wasCurrent = currentRow() == row;
    const bool wasSelected = item(row) && item(row)->isSelected();
    {
        // Swapping the item must not look like the user moving the current row away and back.
        const QSignalBlocker blocker(selection);
        std::unique_ptr<QListWidgetItem> taken(takeItem(row));
        InsertListItem(row, owned.release());
        if (wasCurrent) {
            selection->setCurrentIndex(model()->index(row, 0),
                                       wasSelected ? QItemSelectionModel::SelectCurrent
                                                   : QItemSelectionModel::NoUpdate);
        } else if (wasSelected) {
            selection->select(model()->index(row, 0), QItemSelectionModel::Select);
        }
    }
    viewport()->update();
}

void qvListWidget::InsertItemsFor(int at, int n)
{
    if (uniformItemSizes()) {
        // Rows of one height: a bare row each, all announced in one insertion, and a row's own
        // item is made when first needed (GetListItem). The view measures every row by the last
        // one, so that one is made and sized at once.
        model()->insertRows(at, n);
        GetListItem(count() - 1);
        SizeRow(count() - 1);
        return;
    }
    // Filling an empty view (every load of a long list): the rows are announced to the view once
    // instead of one insertion at a time. An empty view has no selection, current row or index
    // widgets that the per-row notifications would have to carry along.
    const bool bulk = count() == 0 && n > 1;
    {
        const QSignalBlocker blocker(bulk ? model() : nullptr);
        int row = at;
        for (int r = at; r < at + n; ++r) {
            if (qvListWidgetItem *listItem = CreateListItemFor(m_model->GetData(r)))
                InsertListItem(row++, listItem);
        }
    }
    if (bulk)
        reset();
}

void qvListWidget::LoadAllItems()
{
    if (!m_model || !m_delegate)
        return;
    m_inserting = true;
    InsertItemsFor(0, m_model->GetCount());
    m_inserting = false;
    UpdateItemWidget(true);
}

void qvListWidget::SetWidgetItemSize(qvListWidgetItem *listItem)
{
    if (!listItem)
        return;
    int h = listItem->GetItemHeight(viewport()->size());
    if (h < 1) {
        const auto it = m_itemSizes.constFind(listItem->GetTypeKey());
        if (it != m_itemSizes.cend())
            h = it.value();
    }
    const QSize hint = listItem->sizeHint();
    // The view ignores a hint whose width is negative, as the default hint's is.
    if (hint.height() != h)
        listItem->setSizeHint(QSize(qMax(hint.width(), 0), h));
    if (m_trace) {
        Trace(QString::asprintf("qvListWidget:SetWidgetItemSize [%d][%d]",
                                listItem->sizeHint().width(), listItem->sizeHint().height()));
    }
}

void qvListWidget::SizeRow(int row)
{
    QListWidgetItem *rowItem = item(row);
    if (!IsBareRow(rowItem)) {
        SetWidgetItemSize(static_cast<qvListWidgetItem *>(rowItem));
        return;
    }
    const auto found = m_lazyItems.find(rowItem);
    if (found == m_lazyItems.end())
        return;
    SetWidgetItemSize(found->second.get());
    const QSize hint = found->second->sizeHint();
    if (hint.height() >= 1 && rowItem->sizeHint() != hint)
        rowItem->setSizeHint(hint);
}

void qvListWidget::SizeAllRows()
{
    for (int r = 0; r < count(); ++r)
        SizeRow(r);
}

void qvListWidget::RelayoutAllRows()
{
    SizeAllRows();
    scheduleDelayedItemsLayout();
    QResizeEvent event(size(), QSize(0, 0));
    resizeEvent(&event);
    updateGeometries();
    for (int r = qMax(m_cacheStart, 0); r <= m_cacheEnd; ++r) {
        if (qvViewItemWidget *widget = GetItemWidget(r))
            widget->OnResized();
    }
    UpdateItemWidget(false);
}

void qvListWidget::ShiftWindowForInsert(int index, int size)
{
    if (m_cacheStart < 0 || m_cacheEnd < 0)
        return;
    const int oldStart = m_cacheStart;
    if (index < m_cacheStart)
        m_cacheStart += size;
    if (index < oldStart || index <= m_cacheEnd)
        m_cacheEnd += size;
}

void qvListWidget::ShiftWindowForRemove(int start, int end)
{
    if (m_cacheStart < 0 || m_cacheEnd < 0 || start > m_cacheEnd)
        return;
    // The window must keep covering every row that still has a widget, or the release step
    // would never reach those widgets again.
    const int n = end - start + 1;
    const int newStart = end < m_cacheStart ? m_cacheStart - n : qMin(m_cacheStart, start);
    const int newEnd = end < m_cacheEnd ? m_cacheEnd - n : start - 1;
    if (newEnd < newStart) {
        m_cacheStart = -1;
        m_cacheEnd = -1;
    } else {
        m_cacheStart = newStart;
        m_cacheEnd = newEnd;
    }
}

// ---- model signals ----

void qvListWidget::OnRowInserted(const int &index)
{
    if (!m_model || !m_delegate || index < 0)
        return;
    // An index past the end means the model appended the row.
    const int at = qMin(index, count());
    ShiftWindowForInsert(at, 1);
    m_inserting = true;
    if (qvListWidgetItem *listItem = CreateListItemFor(m_model->GetData(at)))
        InsertListItem(at, listItem);
    m_inserting = false;
    UpdateItemWidget(false);
}

void qvListWidget::OnRowsInserted(int index, size_t size)
{
    if (!m_model || !m_delegate || index < 0 || size == 0)
        return;
    const int at = qMin(index, count());
    const int n = static_cast<int>(size);
    ShiftWindowForInsert(at, n);
    m_inserting = true;
    InsertItemsFor(at, n);
    m_inserting = false;
    UpdateItemWidget(false);
}

void qvListWidget::OnRowRemoved(const int &index)
{
    Trace(QStringLiteral("qvListWidget:OnRowRemoved start"));
    if (index < 0 || index > count() - 1)
        return;
    ShiftWindowForRemove(index, index);
    m_inserting = true;
    TakeAndDeleteRow(index);
    m_inserting = false;
    if (m_trace) {
        for (int r = 0; r < count(); ++r) {
            const auto address = reinterpret_cast<quintptr>(GetItemWidget(r));
            Trace(QString::asprintf("row[%d][%x]", r, static_cast<unsigned>(address)));
        }
    }
    UpdateItemWidget(false);
}

void qvListWidget::OnRowsRemoved(int iStart, int iEnd)
{
    Trace(QStringLiteral("qvListWidget:OnRowsRemoved start"));
    if (iEnd < iStart || iStart < 0 || iStart >= count())
        return;
    const int end = qMin(iEnd, count() - 1);
    ShiftWindowForRemove(iStart, end);
    m_inserting = true;
    for (int r = end; r >= iStart; --r)
        TakeAndDeleteRow(r);
    m_inserting = false;
    UpdateItemWidget(false);
    Trace(QStringLiteral("qvListWidget:OnRowsRemoved end"));
}

void qvListWidget::OnDataChange(const int &index)
{
    if (m_trace)
        Trace(QString::asprintf("qvListWidget:OnDataChange start index[%d]", index));
    if (!m_model || !m_delegate)
        return;
    QListWidgetItem *rowItem = item(index);
    // A bare row whose item was never made has nothing to update: it is made from the value.
    if (IsBareRow(rowItem) && m_lazyItems.find(rowItem) == m_lazyItems.end())
        return;
    qvListWidgetItem *listItem = GetListItem(index);
    if (!listItem)
        return;
    const QVariant data = m_model->GetData(index);
    if (m_delegate->GetItemTypeKey(data) == listItem->GetTypeKey()) {
        listItem->SetData(data);
        const QSize before = listItem->sizeHint();
        SetWidgetItemSize(listItem);
        if (listItem->sizeHint() != before)
            RelayoutAllRows();
        if (qvViewItemWidget *widget = GetItemWidget(index))
            widget->SetData(data);
        Trace(QStringLiteral("qvListWidget:OnDataChange end"));
        return;
    }
    // The row changes type: new list item, new widget.
    m_inserting = true;
    DetachRowWidget(index);
    if (qvListWidgetItem *replacement = CreateListItemFor(data)) {
        if (IsBareRow(rowItem))
            m_lazyItems[rowItem].reset(replacement);
        else
            ReplaceRowItem(index, replacement);
        // Only a row inside the window gets its widget now; others get one when they come into
        // view, so no widget is left behind outside the window.
        if (index >= m_cacheStart && index <= m_cacheEnd) {
            if (qvViewItemWidget *widget = CreateItemWidget(data, replacement)) {
                AttachWidget(item(index), widget);
                widget->SetData(data);
                widget->SetIndexValue(index);
            }
        }
    } else {
        // No item for the new value: the row leaves the view.
        ShiftWindowForRemove(index, index);
        TakeAndDeleteRow(index);
    }
    m_inserting = false;
    UpdateItemWidget(false);
    Trace(QStringLiteral("qvListWidget:OnDataChange end"));
}

void qvListWidget::OnResetModel()
{
    if (!m_model || !m_delegate)
        return;
    m_inserting = true;
    DetachAllWidgets();
    // Items made for bare rows are made again from the new values when needed.
    m_lazyItems.clear();
    m_cacheStart = -1;
    m_cacheEnd = -1;
    m_rangeMaximum = 0;
    const int n = m_model->GetCount();
    const int kept = qMin(count(), n);
    if (count() > n) {
        // One removal for all surplus rows (their widgets are already detached): removing
        // them one by one costs a view notification each.
        model()->removeRows(n, count() - n);
    } else if (count() < n) {
        InsertItemsFor(count(), n - count());
    }
    // Rows kept from before serve new values: their type keys must follow the values.
    for (int r = 0; r < kept; ++r) {
        if (IsBareRow(item(r)))
            continue;
        qvListWidgetItem *listItem = GetListItem(r);
        if (!listItem)
            continue;
        const QVariant data = m_model->GetData(r);
        listItem->SetTypeKey(m_delegate->GetItemTypeKey(data));
        listItem->SetData(data);
    }
    SizeAllRows();
    scheduleDelayedItemsLayout();
    updateGeometries();
    m_inserting = false;
    UpdateItemWidget(true);
}

void qvListWidget::OnUpdate()
{
    UpdateItemWidget(false);
}

void qvListWidget::OnClear()
{
    Clear();
}
