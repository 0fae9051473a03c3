#pragma once

#include <QMetaType>
#include <QString>

// One row of the contact list, stored as a QVariant in the list model. The row holds the
// contact's id and the name shown; the store keeps the contact itself.
struct uiContactItemData
{
    int nContactId = -1;
    QString strName;
    bool bBatch = false;    // the row shows its check box
    bool bSelected = false; // the row is ticked (batch mode only)
};

Q_DECLARE_METATYPE(uiContactItemData)
