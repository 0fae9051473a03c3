#include "http/panel/urlfileitemdelegate.h"

#include "http/panel/httpserverurlfileitem.h"
#include "http/panel/uiurlfileitemdata.h"

UrlFileItemDelegate::UrlFileItemDelegate(QObject *parent) : qvListWidgetDelegate(parent)
{
    uiUrlFileItemData::registerMetaType();
    RegisterCreateFuncTypeKey(&UrlFileItemDelegate::CreatUrlFileWidget,
                              QStringLiteral("UrlFileItemDelegate#CreatUrlFileWidget"));
}

qvCreateItemWidgetFunc UrlFileItemDelegate::GetCreateFunc(const QVariant &data)
{
    if (data.userType() != qMetaTypeId<uiUrlFileItemData>())
        return nullptr;
    return &UrlFileItemDelegate::CreatUrlFileWidget;
}

QString UrlFileItemDelegate::GetItemWidgetName(const QVariant &data)
{
    Q_UNUSED(data)
    return QStringLiteral("CreatUrlFileWidget");
}

qvViewItemWidget *UrlFileItemDelegate::CreatUrlFileWidget()
{
    return new HttpServerUrlFileItem();
}
