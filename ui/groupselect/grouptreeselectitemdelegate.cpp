#include "ui/groupselect/grouptreeselectitemdelegate.h"

#include "ui/groupselect/treegroupselectitem.h"
#include "ui/groupselect/uigroupselectitemdata.h"

GroupTreeSelectItemDelegate::GroupTreeSelectItemDelegate(QObject *parent)
    : qvViewItemDelegate(parent)
{
    uiGroupSelectItemData::registerMetaType();
    RegisterCreateFuncTypeKey(&GroupTreeSelectItemDelegate::CreateGroupTreeSelectItemWidget,
                              QStringLiteral("GroupTreeSelectItemDelegate#"
                                             "CreateGroupTreeSelectItemWidget"));
}

qvCreateItemWidgetFunc GroupTreeSelectItemDelegate::GetCreateFunc(const QVariant &data)
{
    if (data.userType() != qMetaTypeId<uiGroupSelectItemData>())
        return nullptr;
    return &GroupTreeSelectItemDelegate::CreateGroupTreeSelectItemWidget;
}

qvViewItemWidget *GroupTreeSelectItemDelegate::CreateGroupTreeSelectItemWidget()
{
    return new TreeGroupSelectItem();
}
