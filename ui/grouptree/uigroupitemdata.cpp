#include "ui/grouptree/uigroupitemdata.h"

void uiGroupItemData::registerMetaType()
{
    static const int id = qRegisterMetaType<uiGroupItemData>("uiGroupItemData");
    Q_UNUSED(id)
}
