#include "ui/contactlist/listcontactitem.h"

#include "ui/contactlist/uicontactitemdata.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSpacerItem>
#include <QStyle>
#include <QWidget>

ListContactItem::ListContactItem(QWidget *parent)
    : qvViewItemWidget(parent, QStringLiteral("qvViewItemWidget"))
{
    // Transparent, borderless look: ListContactWidget.qss.
    setFixedSize(312, 48);

    container = new QWidget(this);
    container->setGeometry(-1, 0, 311, 51);
    auto *layout = new QHBoxLayout(container);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    labSelecIcon = new QLabel(container);
    labSelecIcon->setObjectName(QStringLiteral("labSelecIcon"));
    labSelecIcon->setFixedSize(32, 20);
    labSelecIcon->setProperty("select", QStringLiteral("off"));
    labSelecIcon->hide();

    labImage = new QLabel(container);
    labImage->setObjectName(QStringLiteral("labImage"));
    labImage->setFixedSize(40, 24);

    labName = new QLabel(container);
    labName->setObjectName(QStringLiteral("labName"));
    labName->setMinimumSize(48, 48);

    layout->addWidget(labSelecIcon);
    layout->addWidget(labImage);
    layout->addWidget(labName);
    layout->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
}

bool ListContactItem::SetData(const QVariant &data)
{
    if (data.userType() != qMetaTypeId<uiContactItemData>())
        return true;
    const uiContactItemData row = data.value<uiContactItemData>();
    labName->setText(row.strName);
    if (!row.bBatch) {
        labSelecIcon->hide();
        return true;
    }
    const QString select = row.bSelected ? QStringLiteral("on") : QStringLiteral("off");
    if (labSelecIcon->property("select").toString() != select) {
        labSelecIcon->setProperty("select", select);
        // The image comes from a property selector: re-polish so it follows the new value.
        labSelecIcon->style()->unpolish(labSelecIcon);
        labSelecIcon->style()->polish(labSelecIcon);
    }
    labSelecIcon->show();
    return true;
}
