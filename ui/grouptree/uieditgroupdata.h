#pragma once

#include <QMetaType>
#include <QString>

// What a group row reports to its pane.
struct uiEditGroupData
{
    enum Operation
    {
        // The rename ended; strGroupName is the name the group now has in its store.
        RenameCommitted = 0,
        // The row's "more" button was pressed.
        MorePressed = 1
    };

    int nOperation = RenameCommitted;
    int nGroupId = -1;
    QString strGroupName;

    static void registerMetaType();
};

Q_DECLARE_METATYPE(uiEditGroupData)
