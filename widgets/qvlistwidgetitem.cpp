#include "widgets/qvlistwidgetitem.h"

qvListWidgetItem::qvListWidgetItem() : QListWidgetItem(nullptr, Type) {}

void qvListWidgetItem::Init() {}

int qvListWidgetItem::GetItemHeight(QSize viewSize)
{
    Q_UNUSED(viewSize)
    return -1;
}

void qvListWidgetItem::SetData(const QVariant &data)
{
    Q_UNUSED(data)
}
