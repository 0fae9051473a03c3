#include "ui/contactdialogs/messageboxdialogcontactsetting.h"

#include "data/remotedirectory.h"
#include "shell/langtranslater.h"
#include "ui/contactdialogs/contactdialogform.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
const QString editButtonStyle =
    QStringLiteral("QPushButton { border: none; background: transparent;"
                   " image: url(:/image/edit.png); }"
                   "QPushButton:hover { image: url(:/image/edit_click.png); }");
const QString nameStyle = QStringLiteral("QLabel { font-size: 16px; color: #333333; }");
const QString editStyle =
    QStringLiteral("QLineEdit { font-size: 16px; color: #333333; border: 1px solid #28000000;"
                   " border-radius: 4px; padding-left: 3px; background: #FFFFFF; }"
                   "QLineEdit:focus { border: 1px solid #278CF8; }");

// An empty label would strip every contact's own label at that position from the saved files;
// it means "no phonebook-wide label", which is what the default stands for.
QString labelOrDefault(const QString &text, int position)
{
    if (!text.trimmed().isEmpty())
        return text;
    return RemoteDirectory::defaultNumberLabel(position);
}

// A default label is a key and shows in the interface language; a custom one as typed.
QString displayLabel(const QString &label, int position)
{
    return label == RemoteDirectory::defaultNumberLabel(position) ? Langtranslater::mark(label)
                                                                  : label;
}
} // namespace

MessageboxDialogContactSetting::MessageboxDialogContactSetting(QWidget *parent)
    : MessageboxDialogBase(parent)
{
    setObjectName(QStringLiteral("MessageboxDialogContactSetting"));
    setFixedSize(490, 362);
    labelBackground = ContactDialogForm::addBackground(this, QRect(5, 5, 480, 352));
    labelTitle = ContactDialogForm::addTitle(this, QRect(24, 16, 221, 28),
                                             QStringLiteral("Contact Settings"));
    labelTips = ContactDialogForm::addTips(
        this, QRect(24, 72, 451, 20),
        QStringLiteral("You can customize and edit contact phone labels"));

    QString label1;
    QString label2;
    QString label3;
    RemoteDirectory::instance().getNumberLabels(label1, label2, label3);
    office = addLine(QStringLiteral("OfficeNumber"), 112, label1, 0);
    mobile = addLine(QStringLiteral("MobileNumber"), 172, label2, 1);
    other = addLine(QStringLiteral("OtherNumber"), 230, label3, 2);
    QDialogButtonBox *box = ContactDialogForm::addButtonBox(this, QRect(130, 301, 341, 41));

    addShadow(labelBackground);
    connect(box, &QDialogButtonBox::clicked, this,
            &MessageboxDialogContactSetting::onButtonClicked);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    initButtonBox(box);
    setButtonText(QDialogButtonBox::Ok, Langtranslater::mark(QStringLiteral("Save")));
    // The edit buttons reach their slots by object name.
    QMetaObject::connectSlotsByName(this);
}

MessageboxDialogContactSetting::LabelLine
MessageboxDialogContactSetting::addLine(const QString &what, int y, const QString &label,
                                        int position)
{
    LabelLine line;
    line.button = new QPushButton(this);
    line.button->setObjectName(QStringLiteral("btn") + what);
    line.button->setGeometry(24, y + 10, 16, 21);
    line.button->setStyleSheet(editButtonStyle);
    line.button->setCursor(Qt::PointingHandCursor);

    line.name = new QLabel(this);
    line.name->setObjectName(QStringLiteral("label") + what);
    line.name->setGeometry(54, y, 420, 38);
    line.name->setStyleSheet(nameStyle);
    line.name->setText(displayLabel(label, position));

    line.edit = new QLineEdit(this);
    line.edit->setObjectName(QStringLiteral("lineEdit") + what);
    line.edit->setGeometry(48, y, 420, 38);
    line.edit->setStyleSheet(editStyle);
    line.edit->setText(label);
    line.edit->hide();
    return line;
}

void MessageboxDialogContactSetting::startEditing(const LabelLine &line)
{
    line.name->hide();
    line.edit->show();
    line.edit->setFocus();
    // With the card's drop shadow, a widget appearing on the card repaints the whole card but
    // not the other widgets on it, which would vanish from the screen: repaint them all.
    update();
}

void MessageboxDialogContactSetting::on_btnOfficeNumber_clicked()
{
    startEditing(office);
}

void MessageboxDialogContactSetting::on_btnMobileNumber_clicked()
{
    startEditing(mobile);
}

void MessageboxDialogContactSetting::on_btnOtherNumber_clicked()
{
    startEditing(other);
}

void MessageboxDialogContactSetting::onButtonClicked(QAbstractButton *pBtn)
{
    if (buttonBox->standardButton(pBtn) != QDialogButtonBox::Ok)
        return;
    const QString label1 = labelOrDefault(office.edit->text(), 0);
    const QString label2 = labelOrDefault(mobile.edit->text(), 1);
    const QString label3 = labelOrDefault(other.edit->text(), 2);
    RemoteDirectory &store = RemoteDirectory::instance();
    QString stored1;
    QString stored2;
    QString stored3;
    store.getNumberLabels(stored1, stored2, stored3);
    // Saving what is already stored would only mark the phonebook as changed.
    if (label1 == stored1 && label2 == stored2 && label3 == stored3)
        return;
    store.setNumberLabels(label1, label2, label3);
    emit sigContactSettingChanged();
}
