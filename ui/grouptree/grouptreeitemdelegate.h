#pragma once

#include "widgets/qvviewitemdelegate.h"

// Makes a TreeGroupItem for every group tree row. Its creator is registered under
// "GroupTreeItemDelegate#CreateGroupTreeItemWidget", the key the style sheet sizes rows by.
class GroupTreeItemDelegate : public qvViewItemDelegate
{
public:
    static QString createFuncTypeKey();

    explicit GroupTreeItemDelegate(QObject *parent = nullptr);

    qvCreateItemWidgetFunc GetCreateFunc(const QVariant &data) override;
};
