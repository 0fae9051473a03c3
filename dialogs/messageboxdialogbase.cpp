#include "dialogs/messageboxdialogbase.h"

#include "dialogs/cmessagedialoglistmanager.h"
#include "shell/langtranslater.h"

#include <QAbstractButton>
#include <QColor>
#include <QDialogButtonBox>
#include <QGraphicsDropShadowEffect>
#include <QIcon>
#include <QList>
#include <QPushButton>
#include <QWidget>

MessageboxDialogBase::MessageboxDialogBase(QWidget *parent) : QDialog(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setWindowModality(Qt::WindowModal);
    setAttribute(Qt::WA_DeleteOnClose);
    emit CMessageDialogListManager::instance()->sigShowMessagebox(true);
}

MessageboxDialogBase::~MessageboxDialogBase()
{
    emit CMessageDialogListManager::instance()->sigShowMessagebox(false);
}

QString MessageboxDialogBase::buttonBoxStyle()
{
    return QStringLiteral(
        "QPushButton {"
        " min-width: 78px; max-width: 78px; min-height: 36px; max-height: 36px;"
        " padding: 0px; margin-right: 16px;"
        " border: 1px solid #278CF8; border-radius: 4px;"
        " background-color: #FFFFFF; color: #278CF8; font-size: 16px;"
        "}"
        "QPushButton:hover, QPushButton:pressed { background-color: rgba(39,140,248,0.20); }");
}

void MessageboxDialogBase::initButtonBox(QDialogButtonBox *box)
{
    if (!box)
        return;
    buttonBox = box;
    // Text-only buttons: some platform styles add standard icons, which crowd the 80 px buttons.
    const QList<QAbstractButton *> buttons = box->buttons();
    for (QAbstractButton *button : buttons)
        button->setIcon(QIcon());
    if (QPushButton *ok = box->button(QDialogButtonBox::Ok)) {
        ok->setStyleSheet(
            QStringLiteral("QPushButton{background-color: #278CF8;color: #FFFFFF;}"
                           "QPushButton:hover{background-color:  rgba(39,140,248,0.80);}"));
        ok->setText(Langtranslater::mark(QStringLiteral("OK")));
    }
    if (QPushButton *cancel = box->button(QDialogButtonBox::Cancel))
        cancel->setText(Langtranslater::mark(QStringLiteral("Cancel")));
}

void MessageboxDialogBase::setButtonText(int button, const QString &text)
{
    if (!buttonBox || button == QDialogButtonBox::NoButton)
        return;
    // Matched against the box's own buttons, so a value that names no single button is ignored.
    const QList<QAbstractButton *> buttons = buttonBox->buttons();
    for (QAbstractButton *candidate : buttons) {
        if (static_cast<int>(buttonBox->standardButton(candidate)) == button) {
            candidate->setText(text);
            return;
        }
    }
}

void MessageboxDialogBase::addShadow(QWidget *widget)
{
    if (!widget)
        return;
    auto *shadow = new QGraphicsDropShadowEffect(widget); // the widget takes ownership
    shadow->setOffset(0, 0);
    shadow->setColor(Qt::black);
    shadow->setBlurRadius(3);
    widget->setGraphicsEffect(shadow);
}
