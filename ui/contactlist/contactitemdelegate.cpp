#include "ui/contactlist/contactitemdelegate.h"

#include "ui/contactlist/listcontactitem.h"

namespace {

qvViewItemWidget *CreatContactItemWidget()
{
    return new ListContactItem;
}

} // namespace

// No type key is registered: every row is 48 px high by the style sheet's item height and the
// list's uniform item sizes, so no row needs a size hint of its own (one allocation less per row
// of a 100 000-row group).
ContactItemDelegate::ContactItemDelegate(QObject *parent) : qvListWidgetDelegate(parent) {}

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
