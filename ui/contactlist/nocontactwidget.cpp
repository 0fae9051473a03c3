#include "ui/contactlist/nocontactwidget.h"

#include "shell/langtranslater.h"

#include <QLabel>
#include <QMetaObject>
#include <QPushButton>

NoContactWidget::NoContactWidget(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("NoContactWidget"));
    setFixedSize(160, 198);

    labelBigLogo = new QLabel(this);
    labelBigLogo->setObjectName(QStringLiteral("labelBigLogo"));
    labelBigLogo->setGeometry(40, 0, 90, 90);

    labelTips = new QLabel(this);
    labelTips->setObjectName(QStringLiteral("labelTips"));
    labelTips->setGeometry(0, 104, 160, 22);
    labelTips->setAlignment(Qt::AlignCenter);
    labelTips->setText(Langtranslater::mark(QStringLiteral("No Contact")));

    pushButton = new QPushButton(this);
    pushButton->setObjectName(QStringLiteral("pushButton"));
    pushButton->setGeometry(24, 148, 112, 40);
    pushButton->setText(Langtranslater::mark(QStringLiteral("Create now")));
    pushButton->setCursor(Qt::PointingHandCursor);

    // Looks: ListContactWidget.qss.
    QMetaObject::connectSlotsByName(this);
}

void NoContactWidget::on_pushButton_clicked()
{
    emit sigBtnCreateClicked();
}
