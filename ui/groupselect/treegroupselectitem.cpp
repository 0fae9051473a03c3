#include "ui/groupselect/treegroupselectitem.h"

#include "data/phonebookmanager.h"
#include "shell/langtranslater.h"
#include "ui/groupselect/uigroupselectitemdata.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>

TreeGroupSelectItem::TreeGroupSelectItem(QWidget *parent)
    : qvViewItemWidget(parent, QStringLiteral("qvViewItemWidget"))
{
    uiGroupSelectItemData::registerMetaType();
    auto *layout = new QHBoxLayout(this);
    layout->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    labelGruopName = new QLabel(this);
    labelGruopName->setObjectName(QStringLiteral("labelGruopName"));
    labelGruopName->setProperty("visibility", QStringLiteral("true"));
    layout->addWidget(labelGruopName);
    layout->addStretch();
}

bool TreeGroupSelectItem::SetData(const QVariant &data)
{
    if (!labelGruopName)
        return false;
    if (!data.canConvert<uiGroupSelectItemData>())
        return true;
    const auto row = data.value<uiGroupSelectItemData>();
    m_groupId = row.nGroupId;
    m_dirType = row.nDirType;
    // The built-in local groups are named by their keys, shown in the current language like in
    // the group tree; names the user gave are shown as typed.
    const bool builtin = !PhonebookManager::isGroupEditable(row.nDirType, row.nGroupId);
    labelGruopName->setText(builtin ? Langtranslater::mark(row.strGroupName) : row.strGroupName);
    // Both ways: a row may be re-applied with a changed value.
    const QString visibility = row.bSelectable ? QStringLiteral("true") : QStringLiteral("false");
    if (labelGruopName->property("visibility").toString() != visibility) {
        labelGruopName->setProperty("visibility", visibility);
        labelGruopName->style()->unpolish(labelGruopName);
        labelGruopName->style()->polish(labelGruopName);
        labelGruopName->update();
    }
    return true;
}
