#include "dialogs/cmessagedialoglistmanager.h"

CMessageDialogListManager *CMessageDialogListManager::instance()
{
    static CMessageDialogListManager manager;
    return &manager;
}
