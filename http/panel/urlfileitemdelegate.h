#pragma once

#include "widgets/qvlistwidgetdelegate.h"

#include <QObject>
#include <QString>
#include <QVariant>

// Gives every row of the served-file list an HttpServerUrlFileItem. Its creator is registered as
// "UrlFileItemDelegate#CreatUrlFileWidget", the key by which the list's style sheet sizes rows.
class UrlFileItemDelegate : public qvListWidgetDelegate
{
    Q_OBJECT
public:
    explicit UrlFileItemDelegate(QObject *parent = nullptr);

    // The row widget's creator for a uiUrlFileItemData; none for any other value.
    qvCreateItemWidgetFunc GetCreateFunc(const QVariant &data) override;
    // "CreatUrlFileWidget" for every value.
    QString GetItemWidgetName(const QVariant &data) override;

    // Makes a new HttpServerUrlFileItem without parent; the caller owns it.
    static qvViewItemWidget *CreatUrlFileWidget();
};
