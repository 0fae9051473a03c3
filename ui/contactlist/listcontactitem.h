#pragma once

#include "widgets/qvviewitemwidget.h"

#include <QVariant>

class QLabel;
class QWidget;

// The row widget of the contact list: check box (batch mode only), avatar and name, 312 x 48.
class ListContactItem : public qvViewItemWidget
{
    Q_OBJECT
public:
    explicit ListContactItem(QWidget *parent = nullptr);

    // Shows a uiContactItemData row; other values are ignored. Always true.
    bool SetData(const QVariant &data) override;

private:
    QWidget *container = nullptr;   // owned via Qt parent
    QLabel *labSelecIcon = nullptr; // owned via Qt parent
    QLabel *labImage = nullptr;     // owned via Qt parent
    QLabel *labName = nullptr;      // owned via Qt parent
};
