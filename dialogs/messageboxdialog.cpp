#include "dialogs/messageboxdialog.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPointer>
#include <QWidget>

namespace {
// Message dialogs use 15 px button text, a size below the other dialogs of the family.
const QString messageButtonStyle = QStringLiteral(
    "QPushButton {"
    " min-width: 78px; max-width: 78px; min-height: 36px; max-height: 36px;"
    " padding: 0px; margin-right: 16px;"
    " border: 1px solid #278CF8; border-radius: 4px;"
    " background-color: #FFFFFF; color: #278CF8; font-size: 15px;"
    "}"
    "QPushButton:hover, QPushButton:pressed { background-color: rgba(39,140,248,0.20); }");
} // namespace

MessageboxDialog::MessageboxDialog(QWidget *parent) : MessageboxDialogBase(parent)
{
    setupForm();
    addShadow(wgtBackBg);
    connect(buttonBox, &QDialogButtonBox::clicked, this, &MessageboxDialog::onButtonClicked);
    connect(buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    initButtonBox(buttonBox);
}

void MessageboxDialog::setupForm()
{
    setObjectName(QStringLiteral("MessageboxDialog"));
    setFixedSize(490, 210);
    setWindowTitle(QStringLiteral("Dialog"));
    setStyleSheet(QStringLiteral("background: #fffffe;\nborder-radius: 6px;"));

    // Created bottom to top: card, buttons, title, message.
    wgtBackBg = new QWidget(this);
    wgtBackBg->setObjectName(QStringLiteral("wgtBackBg"));
    wgtBackBg->setGeometry(5, 5, 480, 200);
    wgtBackBg->setStyleSheet(QStringLiteral("background: #ffffff;\nborder-radius: 6px;"));

    auto *box = new QDialogButtonBox(this);
    box->setObjectName(QStringLiteral("buttonBox"));
    box->setGeometry(140, 150, 341, 41);
    box->setOrientation(Qt::Horizontal);
    box->setStandardButtons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    box->setStyleSheet(messageButtonStyle);
    buttonBox = box;

    labTitle = new QLabel(this);
    labTitle->setObjectName(QStringLiteral("labTitle"));
    labTitle->setGeometry(24, 14, 431, 28);
    labTitle->setStyleSheet(QStringLiteral("font-size: 20px;\ncolor: #3E3E3E;"));

    labNote = new QLabel(this);
    labNote->setObjectName(QStringLiteral("labNote"));
    labNote->setGeometry(30, 50, 451, 81);
    labNote->setStyleSheet(QStringLiteral("font-size: 16px;\ncolor: #333333;"));
    labNote->setWordWrap(true);
}

void MessageboxDialog::onButtonClicked(QAbstractButton *pBtn)
{
    clickedButton = pBtn;
    messageResult = static_cast<int>(buttonBox->standardButton(pBtn));
}

int MessageboxDialog::showMessage(QWidget *parent, const QString &title, const QString &text,
                                  QDialogButtonBox::StandardButtons buttons)
{
    return showMessage(parent, title, text, buttons, {});
}

int MessageboxDialog::showMessage(QWidget *parent, const QString &title, const QString &text,
                                  QDialogButtonBox::StandardButtons buttons,
                                  const QMap<int, QString> &buttonTexts)
{
    int result = QDialogButtonBox::Cancel;
    // Deletes itself when the modal run ends (and with its parent, should that go first).
    QPointer<MessageboxDialog> dialog = new MessageboxDialog(parent);
    dialog->labTitle->setText(title);
    dialog->labNote->setText(text);
    dialog->buttonBox->setStandardButtons(buttons);
    dialog->initButtonBox(dialog->buttonBox);
    for (auto it = buttonTexts.constBegin(); it != buttonTexts.constEnd(); ++it)
        dialog->setButtonText(it.key(), it.value());

    // Read before exec() deletes the dialog; a button click has set it, anything else leaves
    // Cancel.
    connect(dialog, &QDialog::finished, dialog,
            [&result, raw = dialog.data()] { result = raw->messageResult; });
    dialog->show();
    dialog->exec();
    return result;
}
