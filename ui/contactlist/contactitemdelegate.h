#pragma once

#include "widgets/qvlistwidgetdelegate.h"

#include <QObject>
#include <QString>
#include <QVariant>

// Gives every contact row a ListContactItem.
class ContactItemDelegate : public qvListWidgetDelegate
{
    Q_OBJECT
public:
    explicit ContactItemDelegate(QObject *parent = nullptr);

    qvCreateItemWidgetFunc GetCreateFunc(const QVariant &data) override;
    // "CreatContactItemWidget" for every row.
    QString GetItemWidgetName(const QVariant &data) override;
};
