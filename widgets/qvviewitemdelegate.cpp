#include "widgets/qvviewitemdelegate.h"

qvViewItemDelegate::qvViewItemDelegate(QObject *parent) : qvDataDelegate(parent) {}

qvViewItemWidget *qvViewItemDelegate::CreateItemWidget(const QVariant &data)
{
    const qvCreateItemWidgetFunc create = GetCreateFunc(data);
    return create ? create() : nullptr;
}

QString qvViewItemDelegate::GetItemWidgetName(const QVariant &data)
{
    Q_UNUSED(data)
    return QString();
}

bool qvViewItemDelegate::GetExpandState(const QVariant &data, bool current)
{
    Q_UNUSED(data)
    return current;
}

QString qvViewItemDelegate::GetCreateFuncTypeKey(qvCreateItemWidgetFunc func) const
{
    const auto it = m_typeKeys.find(func);
    return it == m_typeKeys.end() ? QString() : it->second;
}

void qvViewItemDelegate::RegisterCreateFuncTypeKey(qvCreateItemWidgetFunc func,
                                                   const QString &typeKey)
{
    if (func)
        m_typeKeys[func] = typeKey;
}
