#include "ui/grouptree/grouptreeitemdelegate.h"

#include "ui/grouptree/treegroupitem.h"

namespace {

qvViewItemWidget *CreateGroupTreeItemWidget()
{
    return new TreeGroupItem(nullptr, QStringLiteral("qvViewItemWidget"));
}

} // namespace

QString GroupTreeItemDelegate::createFuncTypeKey()
{
    return QStringLiteral("GroupTreeItemDelegate#CreateGroupTreeItemWidget");
}

GroupTreeItemDelegate::GroupTreeItemDelegate(QObject *parent) : qvViewItemDelegate(parent)
{
    RegisterCreateFuncTypeKey(&CreateGroupTreeItemWidget, createFuncTypeKey());
}

qvCreateItemWidgetFunc GroupTreeItemDelegate::GetCreateFunc(const QVariant &data)
{
    Q_UNUSED(data)
    return &CreateGroupTreeItemWidget;
}
