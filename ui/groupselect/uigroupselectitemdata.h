#pragma once

#include <QMetaType>
#include <QString>

// One row of the group selection popup, stored as the value of its tree node.
struct uiGroupSelectItemData
{
    qint32 nGroupId = -1;
    QString strGroupName; // as stored; built-in local names are translated when shown
    qint32 nDirType = 0;
    bool bSelectable = true; // the group can take contacts

    // Registers the type under the name "uiGroupSelectItemData"; cheap to call again.
    static void registerMetaType();
};

Q_DECLARE_METATYPE(uiGroupSelectItemData)
