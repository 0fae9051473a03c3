#pragma once

#include "widgets/qvviewitemdelegate.h"

#include <QObject>
#include <QVariant>

// Gives every row of the group selection popup a TreeGroupSelectItem; its creator is registered
// as "GroupTreeSelectItemDelegate#CreateGroupTreeSelectItemWidget", the key by which the
// popup's style sheet sizes the rows.
class GroupTreeSelectItemDelegate : public qvViewItemDelegate
{
public:
    explicit GroupTreeSelectItemDelegate(QObject *parent = nullptr);

    // The row widget's creator for a uiGroupSelectItemData; none for any other value.
    qvCreateItemWidgetFunc GetCreateFunc(const QVariant &data) override;

    // Makes a new TreeGroupSelectItem without parent; the caller owns it.
    static qvViewItemWidget *CreateGroupTreeSelectItemWidget();
};
