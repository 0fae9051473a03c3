#include "ui/contactdialogs/messagedialoginputphoto.h"

#include "shell/langtranslater.h"
#include "ui/contactdialogs/contactdialogform.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>

MessageDialogInputPhoto::MessageDialogInputPhoto(QWidget *parent) : MessageboxDialogBase(parent)
{
    setObjectName(QStringLiteral("MessageDialogInputPhoto"));
    setFixedSize(490, 286);
    labelBackground = ContactDialogForm::addBackground(this, QRect(5, 5, 480, 276));
    labelTitle =
        ContactDialogForm::addTitle(this, QRect(24, 16, 221, 28), QStringLiteral("Contact avatar"));
    labelTips = ContactDialogForm::addTips(
        this, QRect(24, 72, 451, 20),
        QStringLiteral("You can enter a image link below as the contact\u2019s avatar"));
    label = new QLabel(this);
    label->setObjectName(QStringLiteral("label"));
    label->setGeometry(24, 108, 161, 24);
    label->setStyleSheet(QStringLiteral("QLabel { font-size: 16px; color: #333333; }"));
    label->setText(Langtranslater::mark(QStringLiteral("Image Link:")));
    lineEditInput = ContactDialogForm::addInput(this, QRect(24, 138, 442, 38));
    lineEditInput->setMaxLength(MaxInputLength);
    lineEditInput->setPlaceholderText(QStringLiteral("http://sssssssssssssssss"));
    QDialogButtonBox *box = ContactDialogForm::addButtonBox(this, QRect(140, 220, 341, 41));

    addShadow(labelBackground);
    connect(box, &QDialogButtonBox::clicked, this, &MessageDialogInputPhoto::onButtonClicked);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    initButtonBox(box);
    setButtonText(QDialogButtonBox::Ok, Langtranslater::mark(QStringLiteral("Save")));
}

void MessageDialogInputPhoto::setInputText(const QString &link)
{
    lineEditInput->setText(link);
    lineEditInput->setFocus();
}

void MessageDialogInputPhoto::onButtonClicked(QAbstractButton *pBtn)
{
    if (buttonBox->standardButton(pBtn) != QDialogButtonBox::Ok)
        return;
    const QString text = lineEditInput->text();
    if (!text.isEmpty())
        emit sigMessageboxInput(text);
}
