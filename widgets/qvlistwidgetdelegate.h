#pragma once

#include "widgets/qvviewitemdelegate.h"

#include <QObject>
#include <QString>
#include <QVariant>

class qvListWidgetItem;

// Delegate of a qvListWidget: besides the item widget it makes each row's lightweight list item.
class qvListWidgetDelegate : public qvViewItemDelegate
{
    Q_OBJECT
public:
    explicit qvListWidgetDelegate(QObject *parent = nullptr);

    // A new list item for data; the caller owns it until the view takes it. None leaves the
    // row out.
    virtual qvListWidgetItem *CreateListItem(const QVariant &data);
    // The type key registered for GetCreateFunc(data); empty when none is.
    virtual QString GetItemTypeKey(const QVariant &data);
};
