#pragma once

#include "widgets/qvdatamodel.h"

#include <QFrame>
#include <QPointer>
#include <QString>
#include <QUuid>
#include <QVariant>

// Framed base widget of the framework. It may listen to one data model's DataChangedSignal.
class qvWidget : public QFrame
{
    Q_OBJECT
public:
    explicit qvWidget(QWidget *parent = nullptr, const QString &objectName = QString());

    // Listens to model instead of the current one; none or the same model changes nothing.
    virtual void SetDataModel(qvDataModel *model);
    // Loads a row's value; item widgets override it. The base ignores the value.
    virtual bool SetData(const QVariant &data);
    // Light refresh while the row stays in view; the base ignores it.
    virtual bool UpdateData(const QVariant &data);
    virtual void MoveBy(int dx, int dy);

    qvDataModel *GetDataModel() const { return m_dataModel; }

protected slots:
    virtual void OnDataChange(const QUuid &guid, const QVariant &data);

private:
    QPointer<qvDataModel> m_dataModel; // not owned
};
