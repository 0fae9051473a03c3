#include "widgets/qvlistwidgetdelegate.h"

#include "widgets/qvlistwidgetitem.h"

qvListWidgetDelegate::qvListWidgetDelegate(QObject *parent) : qvViewItemDelegate(parent) {}

qvListWidgetItem *qvListWidgetDelegate::CreateListItem(const QVariant &data)
{
    Q_UNUSED(data)
    return new qvListWidgetItem;
}

QString qvListWidgetDelegate::GetItemTypeKey(const QVariant &data)
{
    return GetCreateFuncTypeKey(GetCreateFunc(data));
}
