#pragma once

#include "widgets/qvviewitemwidget.h"

#include <QTreeWidgetItem>

// The lightweight row of a qvTreeWidget; it remembers which creator makes its item widget.
class qvTreeWidgetItem : public QTreeWidgetItem
{
public:
    static constexpr int Type = QTreeWidgetItem::UserType + 0x71;

    qvTreeWidgetItem();

    // None when the delegate shows no widget for the row's value.
    qvCreateItemWidgetFunc GetCreateFunc() const { return m_createFunc; }
    void SetCreateFunc(qvCreateItemWidgetFunc func) { m_createFunc = func; }

private:
    qvCreateItemWidgetFunc m_createFunc = nullptr;
};
