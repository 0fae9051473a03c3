#include "widgets/qvwidget.h"

#include "widgets/qvdatamodel.h"

qvWidget::qvWidget(QWidget *parent, const QString &objectName) : QFrame(parent)
{
    setObjectName(objectName);
    setAttribute(Qt::WA_QuitOnClose, false);
}

void qvWidget::SetDataModel(qvDataModel *model)
{
    if (!model || model == m_dataModel)
        return;
    if (m_dataModel) {
        disconnect(m_dataModel, SIGNAL(DataChangedSignal(const QUuid &, const QVariant &)), this,
                   SLOT(OnDataChange(const QUuid &, const QVariant &)));
    }
    m_dataModel = model;
    connect(model, SIGNAL(DataChangedSignal(const QUuid &, const QVariant &)), this,
            SLOT(OnDataChange(const QUuid &, const QVariant &)));
}

bool qvWidget::SetData(const QVariant &data)
{
    Q_UNUSED(data)
    return false;
}

bool qvWidget::UpdateData(const QVariant &data)
{
    Q_UNUSED(data)
    return false;
}

void qvWidget::MoveBy(int dx, int dy)
{
    move(pos() + QPoint(dx, dy));
}

void qvWidget::OnDataChange(const QUuid &guid, const QVariant &data)
{
    Q_UNUSED(guid)
    Q_UNUSED(data)
}
