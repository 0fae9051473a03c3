#include "ui/contactdetail/listcontactdetailitembase.h"

ListContactDetailItemBase::ListContactDetailItemBase(QWidget *parent) : QWidget(parent) {}

void ListContactDetailItemBase::startEditing(bool) {}

QString ListContactDetailItemBase::valueText() const
{
    return QString();
}

QString ListContactDetailItemBase::labelText() const
{
    return QString();
}

void ListContactDetailItemBase::setDeletable(bool deletable)
{
    m_deletable = deletable;
}

bool ListContactDetailItemBase::followsEditMode(int type)
{
    return (type >= NameRow && type <= AccountRow) ||
           (type >= AutoDivertRow && type <= CustomNumberRow);
}
