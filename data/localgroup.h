#pragma once

#include <QList>
#include <QString>

// One group of the local phonebook: a name and the contacts it lists, in the order they joined.
struct LocalGroup
{
    QString name;
    int id = -1;
    QList<int> contactIds;
};
