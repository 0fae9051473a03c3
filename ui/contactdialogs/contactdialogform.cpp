#include "ui/contactdialogs/contactdialogform.h"

#include "dialogs/messageboxdialogbase.h"
#include "shell/langtranslater.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

namespace {
const QString inputStyle = QStringLiteral("QLineEdit {"
                                          " font-size: 16px; color: #333333;"
                                          " border: 1px solid #278CF8; border-radius: 4px;"
                                          " padding-left: 10px; background: #FFFFFF;"
                                          "}");
} // namespace

QLabel *ContactDialogForm::addBackground(QWidget *dialog, const QRect &geometry)
{
    auto *label = new QLabel(dialog);
    label->setObjectName(QStringLiteral("labelBackground"));
    label->setGeometry(geometry);
    label->setStyleSheet(
        QStringLiteral("QLabel#labelBackground { background: #FFFFFF; border-radius: 6px; }"));
    return label;
}

QLabel *ContactDialogForm::addTitle(QWidget *dialog, const QRect &geometry, const QString &key)
{
    auto *label = new QLabel(dialog);
    label->setObjectName(QStringLiteral("labelTitle"));
    label->setGeometry(geometry);
    label->setStyleSheet(QStringLiteral("QLabel { font-size: 20px; color: #3E3E3E; }"));
    label->setText(Langtranslater::mark(key));
    return label;
}

QLabel *ContactDialogForm::addTips(QWidget *dialog, const QRect &geometry, const QString &key)
{
    auto *label = new QLabel(dialog);
    label->setObjectName(QStringLiteral("labelTips"));
    label->setGeometry(geometry);
    label->setStyleSheet(QStringLiteral("QLabel { font-size: 14px; color: #666666; }"));
    label->setText(Langtranslater::mark(key));
    return label;
}

QDialogButtonBox *ContactDialogForm::addButtonBox(QWidget *dialog, const QRect &geometry)
{
    auto *box = new QDialogButtonBox(dialog);
    box->setObjectName(QStringLiteral("buttonBox"));
    box->setGeometry(geometry);
    box->setOrientation(Qt::Horizontal);
    // Before the buttons exist: under a parent with a style sheet of its own, buttons made
    // earlier would keep the plain look.
    box->setStyleSheet(MessageboxDialogBase::buttonBoxStyle());
    box->setStandardButtons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    return box;
}

QLineEdit *ContactDialogForm::addInput(QWidget *dialog, const QRect &geometry)
{
    auto *edit = new QLineEdit(dialog);
    edit->setObjectName(QStringLiteral("lineEditInput"));
    edit->setGeometry(geometry);
    edit->setStyleSheet(inputStyle);
    return edit;
}
