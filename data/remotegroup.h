#pragma once

#include <QList>
#include <QString>

// A group of the remote phonebook. A menu lists sub-groups, a directory lists contacts; both
// kinds share one id space with the contacts, so an id in childIds never names the wrong kind.
struct RemoteGroup
{
    int id = -1;
    int parentId = -1; // the menu that lists this group; -1 for the root
    QString name;
    QString url; // as read from the menu item that led here; never written back
    QList<int> childIds;
    bool isMenu = true;
};
