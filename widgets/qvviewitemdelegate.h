#pragma once

#include "widgets/qvdatadelegate.h"
#include "widgets/qvviewitemwidget.h"

#include <QObject>
#include <QString>
#include <QVariant>

#include <map>

// Maps a row's value to the creator of its item widget. Concrete delegates implement
// GetCreateFunc and may register a type key per creator; views size rows by that key
// (the qv_item_size property, e.g. "qmap(MyDelegate#CreateMyWidget,48)").
class qvViewItemDelegate : public qvDataDelegate
{
    Q_OBJECT
public:
    explicit qvViewItemDelegate(QObject *parent = nullptr);

    // The creator of the item widget for data; none for a value the delegate does not show.
    virtual qvCreateItemWidgetFunc GetCreateFunc(const QVariant &data) = 0;
    // A new item widget (owned by the caller) from GetCreateFunc(data), or none.
    virtual qvViewItemWidget *CreateItemWidget(const QVariant &data);
    // Type name used to look up pooled widgets; empty in the base.
    virtual QString GetItemWidgetName(const QVariant &data);
    // The expanded state a tree row gets when its widget is created; the base keeps current.
    virtual bool GetExpandState(const QVariant &data, bool current);

    // The key registered for func; empty when there is none.
    QString GetCreateFuncTypeKey(qvCreateItemWidgetFunc func) const;
    void RegisterCreateFuncTypeKey(qvCreateItemWidgetFunc func, const QString &typeKey);

private:
    std::map<qvCreateItemWidgetFunc, QString> m_typeKeys;
};
