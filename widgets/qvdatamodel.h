#pragma once

#include <QObject>
#include <QUuid>
#include <QVariant>

// Base of every model of the view framework. Models hold opaque QVariant rows and announce each
// change by signal; views and item widgets listen.
class qvDataModel : public QObject
{
    Q_OBJECT
public:
    explicit qvDataModel(QObject *parent = nullptr);

signals:
    // A value identified by guid changed; item widgets subscribe through qvWidget::SetDataModel.
    // The framework itself never emits it.
    void DataChangedSignal(const QUuid &guid, const QVariant &data);
};
