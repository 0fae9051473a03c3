#include "ui/grouptree/uieditgroupdata.h"

void uiEditGroupData::registerMetaType()
{
    static const int id = qRegisterMetaType<uiEditGroupData>("uiEditGroupData");
    Q_UNUSED(id)
}
