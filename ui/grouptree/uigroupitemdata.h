#pragma once

#include <QMetaType>
#include <QString>

// The value of one group tree row, carried in a QVariant by the tree model.
struct uiGroupItemData
{
    int nGroupId = -1;
    // As stored; the built-in local groups hold marker text so that they show in the current
    // language.
    QString strGroupName;
    int nContactCount = 0;
    // The row opens in rename mode when this value is applied to it.
    bool bEditing = false;
    int nDirType = 0;

    // Registers the type under its name; cheap to call again.
    static void registerMetaType();
};

Q_DECLARE_METATYPE(uiGroupItemData)
