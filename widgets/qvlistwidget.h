#pragma once

#include "widgets/qvlistdatamodel.h"
#include "widgets/qvlistwidgetdelegate.h"
#include "widgets/qvlistwidgetitem.h"

#include <QListWidget>
#include <QMap>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QVariant>
#include <QVector>

#include <cstddef>
#include <memory>
#include <unordered_map>

class QResizeEvent;
class QScrollBar;
class QShowEvent;
class qvViewItemWidget;
class qvWidget;

// A list view over a qvListDataModel whose visible rows are drawn by real item widgets. Every
// model row has a lightweight qvListWidgetItem, but item widgets exist only for the rows in view
// (the widget window): scrolling creates widgets for rows that come into view and detaches those
// of rows that leave it, whatever the row count. With uniform item sizes the list items, too, are
// made only for rows that are used, so a long list loads at the cost of a bare row each. Set
// QCD_TRACE_LIST=1 to log its trace lines.
class qvListWidget : public QListWidget
{
    Q_OBJECT
    Q_PROPERTY(QVariant qv_item_size READ GetItemSizeValue WRITE SetItemSizeValue)
public:
    // withInnerScrollBar: the vertical scroll bar floats over the rows' right edge and shows only
    // while the rows are taller than the view.
    explicit qvListWidget(QWidget *parent = nullptr, const QString &objectName = QString(),
                          bool withInnerScrollBar = false);
    ~qvListWidget() override;

    // Replaces the model (not owned) and rebuilds all rows; the same model changes nothing.
    void SetModel(qvListDataModel *model);
    // Replaces the delegate (not owned) and rebuilds all rows; the same delegate changes nothing.
    void SetDelegate(qvListWidgetDelegate *delegate);
    qvListDataModel *GetModel() const;
    qvListWidgetDelegate *GetDelegate() const;

    // Backing value of qv_item_size, e.g. the style sheet's qmap(Key#Name,48).
    QVariant GetItemSizeValue() const { return m_itemSizeValue; }
    void SetItemSizeValue(const QVariant &value);
    // Row heights by type key, as parsed from qv_item_size.
    QMap<QString, int> GetItemSizes() const { return m_itemSizes; }

    // The rows that carried item widgets after the last update; -1 when there are none.
    int GetCacheStart() const { return m_cacheStart; }
    int GetCacheEnd() const { return m_cacheEnd; }
    // The row's list item, or none. With uniform item sizes the view holds a bare row for each
    // model row and the list item is made on first use and kept beside it; it is then not the
    // view's item(row).
    qvListWidgetItem *GetListItem(int row) const;
    // The row's item widget, or none.
    qvViewItemWidget *GetItemWidget(int row) const;
    // The inner scroll bar's container; none without an inner scroll bar.
    qvWidget *GetInnerScrollBarContainer() const { return m_scrollBarContainer; }

    bool IsTraceEnabled() const { return m_trace; }
    void SetTraceEnabled(bool enabled) { m_trace = enabled; }

    virtual void ConnectScrollBar();
    // The virtualisation step: widgets for the visible rows, none for the others. refreshAll
    // reloads the data of widgets that already exist.
    virtual void UpdateItemWidget(bool refreshAll);
    // A ready, connected item widget for a row (not yet attached), or none.
    virtual qvViewItemWidget *CreateItemWidget(const QVariant &data, qvListWidgetItem *item);
    // Prepares widget for removal from its row: disconnects it and hides it.
    virtual void ReleaseWidget(qvViewItemWidget *widget);
    // Drops all rows and their widgets.
    virtual void Clear();
    virtual qvViewItemWidget *TakeCachedItemWidget(const QString &typeName);

    void doItemsLayout() override;

signals:
    // Relays of the item widgets' signals; iIndex is the row the widget stands for.
    void ItemPressedSignals(int iIndex);
    void ItemClickedSignals(int iIndex);
    void ItemDoubleClickedSignals(int iIndex);
    void ItemRightMouseClickedSignals(int iIndex);
    void ItemUserOperationSignals(int nId, const QVariant &data);

protected slots:
    void OnDataChange(const int &index);
    void OnRowInserted(const int &index);
    void OnRowsInserted(int index, size_t size);
    void OnRowRemoved(const int &index);
    void OnRowsRemoved(int iStart, int iEnd);
    void OnUpdate();
    void OnClear();
    void OnResetModel();
    void checkStartShowScrollBarTimer();
    void OnSizeChangeTimerOut();

private slots:
    void OnValueChanged(int value);
    void OnRangeChanged(int min, int max);
    void OnModelDestroyed();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void updateGeometries() override;

    // Creates and inserts the list items of every model row, then fills the view.
    void LoadAllItems();
    // Applies the row's own height or its type key's height to its size hint.
    void SetWidgetItemSize(qvListWidgetItem *item);
    // The widget pool that TakeCachedItemWidget serves, by type name. Subclasses may fill it; the
    // widgets stay children of the viewport.
    QMap<QString, QVector<qvViewItemWidget *>> m_widgetPool; // not owned

private:
    void BuildInnerScrollBar();
    void ConnectModel(bool connectIt);
    void Trace(const QString &line) const;
    void GetVisibleRange(int &first, int &last);
    bool RowTouches(int row, const QRect &area) const;
    void ReleaseOldWindow(int start, int end);
    void ReleaseRows(int from, int to, const char *traceFormat);
    void AttachWidget(QListWidgetItem *rowItem, qvViewItemWidget *widget);
    // Releases and detaches the row's widget, if it has one.
    void DetachRowWidget(int row);
    void DetachAllWidgets();
    qvListWidgetItem *CreateListItemFor(const QVariant &data);
    void InsertListItem(int row, qvListWidgetItem *item);
    // Creates and inserts the list items of model rows at..at+n-1 at view row at.
    void InsertItemsFor(int at, int n);
    void TakeAndDeleteRow(int row);
    void ReplaceRowItem(int row, qvListWidgetItem *replacement);
    // Sizes the row by its list item; a bare row takes the height of the item made for it.
    void SizeRow(int row);
    void SizeAllRows();
    // A row of a uniform-size list whose list item is kept beside the view (see GetListItem).
    static bool IsBareRow(const QListWidgetItem *rowItem);
    // The list item made for a bare row, made now from the model's value if need be; none when
    // the delegate gives none.
    qvListWidgetItem *LazyItemOf(int row, QListWidgetItem *rowItem);
    void RelayoutAllRows();
    void ShiftWindowForInsert(int index, int size);
    void ShiftWindowForRemove(int start, int end);

    int m_cacheStart = -1;
    int m_cacheEnd = -1;
    int m_rangeMaximum = 0;
    int m_singleStep = 10;
    bool m_updating = false;
    bool m_trace = false;
    bool m_inserting = false;
    bool m_attachingWidget = false;
    QPointer<qvListDataModel> m_model;         // not owned
    QPointer<qvListWidgetDelegate> m_delegate; // not owned
    int m_scrollMode = 1;
    QVariant m_itemSizeValue;
    QMap<QString, int> m_itemSizes;
    qvWidget *m_scrollBarContainer = nullptr; // not owned: child of this view
    QScrollBar *m_innerScrollBar = nullptr;   // not owned: child of the container
    QTimer m_sizeChangeTimer;
    int m_scrollBarMode = 0;
    // Items made for bare rows, by the view's row item; only rows that were needed have one.
    std::unordered_map<const QListWidgetItem *, std::unique_ptr<qvListWidgetItem>> m_lazyItems;
};
