#include "http/panel/uiurlfileitemdata.h"

void uiUrlFileItemData::registerMetaType()
{
    static const int id = qRegisterMetaType<uiUrlFileItemData>("uiUrlFileItemData");
    Q_UNUSED(id)
}
