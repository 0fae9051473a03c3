#include "ui/contactdialogs/inputmessageboxdialog.h"

#include "shell/langtranslater.h"
#include "ui/contactdialogs/contactdialogform.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>

InputMessageboxdialog::InputMessageboxdialog(QWidget *parent) : MessageboxDialogBase(parent)
{
    setObjectName(QStringLiteral("InputMessageboxdialog"));
    setFixedSize(490, 258);
    labelBackground = ContactDialogForm::addBackground(this, QRect(5, 5, 480, 248));
    labelTitle = ContactDialogForm::addTitle(this, QRect(24, 16, 250, 28),
                                             QStringLiteral("Add custom label"));
    lineEditInput = ContactDialogForm::addInput(this, QRect(24, 72, 442, 38));
    lineEditInput->setMaxLength(MaxInputLength);
    QDialogButtonBox *box = ContactDialogForm::addButtonBox(this, QRect(140, 200, 341, 41));

    addShadow(labelBackground);
    connect(box, &QDialogButtonBox::clicked, this, &InputMessageboxdialog::onButtonClicked);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    initButtonBox(box);
    setButtonText(QDialogButtonBox::Ok, Langtranslater::mark(QStringLiteral("Add")));
    lineEditInput->setFocus();
}

void InputMessageboxdialog::onButtonClicked(QAbstractButton *pBtn)
{
    if (buttonBox->standardButton(pBtn) != QDialogButtonBox::Ok)
        return;
    const QString text = lineEditInput->text();
    if (!text.isEmpty())
        emit sigMessageboxInput(text);
}
