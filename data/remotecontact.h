#pragma once

#include "data/labeledvalue.h"

#include <QString>
#include <QVector>

// A contact of the remote phonebook: any number of labelled telephone numbers and extras.
struct RemoteContact
{
    int id = -1;
    QString name;
    QString customPhoto;
    QVector<LabeledValue> numbers;
    QVector<LabeledValue> extras;
};
