#pragma once

#include "widgets/qvmodelindex.h"
#include "widgets/qvwidget.h"

#include <QString>
#include <QVariant>

class qvViewItemWidget;

// Makes a new item widget without parent; the caller owns it. Plain function pointers, so a row
// can compare creators and a delegate can key its registry by them.
using qvCreateItemWidgetFunc = qvViewItemWidget *(*)();

// Base of every row widget. A view creates one only for a row in view, writes the row's position
// into it at every update and detaches it (never to use it again) when the row leaves the view.
class qvViewItemWidget : public qvWidget
{
    Q_OBJECT
public:
    explicit qvViewItemWidget(QWidget *parent = nullptr, const QString &objectName = QString());

    // Told whether the widget's row is the view's current row.
    virtual bool SetSelectStatus(const bool &isCurrent);
    // Receives the row's user value when the widget is attached.
    virtual void SetUserValue(quint64 value);
    // Called just before the widget is detached from its row.
    virtual void OnRelease();
    // Called after a relayout of all rows.
    virtual void OnResized();

    // The row number (int) in a list, the node's path (QList<int>) in a tree.
    QVariant GetIndexValue() const { return m_indexValue; }
    void SetIndexValue(const QVariant &value) { m_indexValue = value; }
    // The index value as a list row; -1 when it is not one.
    int GetRow() const;
    // The index value as a tree index; invalid when it is not a path.
    qvModelIndex GetModelIndex() const;

    quint64 GetUserValue() const { return m_userValue; }
    // Stores value and passes it to the SetUserValue hook.
    void AssignUserValue(quint64 value);
    void ClearUserValue() { m_userValue = 0; }

signals:
    // The five below carry the widget's row; a list view relays them as Item...Signals.
    void PressedSignals(int iIndex);
    void ClickedSignals(int iIndex);
    void DoubleClickedSignals(int iIndex);
    void RightMouseClickedSignals(int iIndex);
    // nId names the operation; data is the widget's own payload.
    void UserOperationSignals(int nId, const QVariant &data);
    // index is the widget's node; a tree view relays it as ItemUserOperationIndexSignals.
    void UserOperationIndexSignals(const qvModelIndex &index, const QVariant &data);

private:
    QVariant m_indexValue;
    quint64 m_userValue = 0;
};
