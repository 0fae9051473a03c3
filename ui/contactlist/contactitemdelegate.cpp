#include "ui/contactlist/contactitemdelegate.h"

#include "ui/contactlist/listcontactitem.h"

namespace {

qvViewItemWidget *CreatContactItemWidget()
{
    return new ListContactItem;
}

} // namespace

ContactItemDelegate::ContactItemDelegate(QObject *parent) : qvListWidgetDelegate(parent)
{
    RegisterCreateFuncTypeKey(&CreatContactItemWidget,
                              QStringLiteral("ContactItemDelegate#CreatContactItemWidget"));
}

qvCreateItemWidgetFunc ContactItemDelegate::GetCreateFunc(const QVariant &data)
{
    Q_UNUSED(data)
    return &CreatContactItemWidget;
}

QString ContactItemDelegate::GetItemWidgetName(const QVariant &data)
{
    Q_UNUSED(data)
    return QStringLiteral("CreatContactItemWidget");
}
