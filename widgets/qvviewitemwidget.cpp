#include "widgets/qvviewitemwidget.h"

qvViewItemWidget::qvViewItemWidget(QWidget *parent, const QString &objectName)
    : qvWidget(parent, objectName)
{
    qvModelIndex::RegisterMetaType();
}

bool qvViewItemWidget::SetSelectStatus(const bool &isCurrent)
{
    Q_UNUSED(isCurrent)
    return false;
}

void qvViewItemWidget::SetUserValue(quint64 value)
{
    Q_UNUSED(value)
}

void qvViewItemWidget::OnRelease() {}

void qvViewItemWidget::OnResized() {}

int qvViewItemWidget::GetRow() const
{
    bool ok = false;
    const int row = m_indexValue.userType() == QMetaType::Int ? m_indexValue.toInt(&ok) : -1;
    return ok ? row : -1;
}

qvModelIndex qvViewItemWidget::GetModelIndex() const
{
    if (m_indexValue.userType() != qMetaTypeId<QList<int>>())
        return qvModelIndex();
    return qvModelIndex(m_indexValue.value<QList<int>>());
}

void qvViewItemWidget::AssignUserValue(quint64 value)
{
    m_userValue = value;
    SetUserValue(value);
}
