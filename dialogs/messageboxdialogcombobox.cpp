#include "dialogs/messageboxdialogcombobox.h"

#include "dialogs/filedialogstyle.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QStyledItemDelegate>

MessageboxDialogComboBox::MessageboxDialogComboBox(QWidget *parent) : MessageboxDialogBase(parent)
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("MessageboxDialogComboBox"));
    QDialogButtonBox *box = FileDialogStyle::buildFrame(
        this, 490, 250, Langtranslater::mark(QStringLiteral("Create now")), 221, 190);

    auto *typeLabel = new QLabel(this);
    typeLabel->setObjectName(QStringLiteral("labelTitle_2"));
    typeLabel->setGeometry(24, 70, 221, 28);
    typeLabel->setStyleSheet(FileDialogStyle::label());
    typeLabel->setText(Langtranslater::mark(QStringLiteral("Create type:")));

    comboBox = new QComboBox(this);
    comboBox->setObjectName(QStringLiteral("comboBox"));
    comboBox->setGeometry(24, 102, 442, 48);
    // A plain delegate, so the style sheet's item rules (height, selection) apply.
    comboBox->setItemDelegate(new QStyledItemDelegate(comboBox));
    comboBox->setStyleSheet(FileDialogStyle::comboBox(QStringLiteral("#278CF8"), 18));

    connect(box, &QDialogButtonBox::clicked, this, &MessageboxDialogComboBox::onButtonClicked);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    initButtonBox(box);
}

void MessageboxDialogComboBox::addItems(const QStringList &items)
{
    comboBox->addItems(items);
}

void MessageboxDialogComboBox::onButtonClicked(QAbstractButton *pBtn)
{
    if (buttonBox->standardButton(pBtn) == QDialogButtonBox::Ok)
        emit sigComboboxSelect(comboBox->currentText());
}
