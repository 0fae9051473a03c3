#pragma once

#include <QMetaType>
#include <QString>

// One row of the served-file list: the file's full URL, ready to copy.
struct uiUrlFileItemData
{
    QString strUrl;

    // Registers the type under the name "uiUrlFileItemData"; cheap to call again.
    static void registerMetaType();
};

Q_DECLARE_METATYPE(uiUrlFileItemData)
