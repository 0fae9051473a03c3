#pragma once

#include "localdirectory.h"

#include <QStringList>

// The names of a local phonebook's groups and contacts, in store order.
inline QStringList groupNames(const LocalDirectory &store)
{
    QStringList names;
    for (const LocalGroup *group : store.groups())
        names << group->name;
    return names;
}

inline QStringList contactNames(const LocalDirectory &store)
{
    QStringList names;
    for (const LocalContact *contact : store.contacts())
        names << contact->display_name;
    return names;
}
