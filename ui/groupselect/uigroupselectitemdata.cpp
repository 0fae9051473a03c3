#include "ui/groupselect/uigroupselectitemdata.h"

void uiGroupSelectItemData::registerMetaType()
{
    static const int id = qRegisterMetaType<uiGroupSelectItemData>("uiGroupSelectItemData");
    Q_UNUSED(id)
}
