#include "ui/contactdetail/listcontactdetailitem.h"

#include "shell/langtranslater.h"

#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRegExp>
#include <QRegExpValidator>
#include <QTimer>

namespace {
constexpr int maxValueLength = 128;
}

ListContactDetailItem::ListContactDetailItem(QWidget *parent) : ListContactDetailItemBase(parent)
{
    resize(465, 48);

    labelIcon = new QLabel(this);
    labelIcon->setObjectName(QStringLiteral("labelIcon"));
    labelIcon->setGeometry(0, 14, 20, 20);
    labelIcon->hide();

    labelAttribtute = new QLabel(this);
    labelAttribtute->setObjectName(QStringLiteral("labelAttribtute"));
    labelAttribtute->setGeometry(25, 9, 140, 30);
    labelAttribtute->setStyleSheet(QStringLiteral("font-size: 14px; color: #666666;"));

    lineEditNumber = new QLineEdit(this);
    lineEditNumber->setObjectName(QStringLiteral("lineEditNumber"));
    lineEditNumber->setGeometry(172, 7, 248, 34);
    lineEditNumber->setMaxLength(maxValueLength);
    lineEditNumber->setStyleSheet(
        QStringLiteral("QLineEdit { font-size: 18px; color: #333333; background: #FFFFFF;"
                       " border: 1px solid #28000000; border-radius: 4px; padding-left: 3px; }"
                       "QLineEdit:focus { border: 1px solid #278CF8; }"));
    lineEditNumber->hide();

    labelName = new QLabel(this);
    labelName->setObjectName(QStringLiteral("labelName"));
    labelName->setGeometry(175, 7, 248, 34);
    labelName->setStyleSheet(QStringLiteral("font-size: 18px; color: #333333;"));

    btnDelete = new QPushButton(this);
    btnDelete->setObjectName(QStringLiteral("btnDelete"));
    btnDelete->setGeometry(430, 12, 24, 24);
    btnDelete->setFocusPolicy(Qt::NoFocus);
    btnDelete->setStyleSheet(
        QStringLiteral("QPushButton { border: none; border-image: url(:/image/delete.png); }"
                       "QPushButton:hover, QPushButton:pressed {"
                       " border-image: url(:/image/delete_press.png); }"));
    btnDelete->hide();

    QMetaObject::connectSlotsByName(this);
}

void ListContactDetailItem::setLabel(const QString &label)
{
    m_fallbackKey.clear();
    m_label = label;
    labelAttribtute->setText(label);
}

void ListContactDetailItem::setFallbackLabel(const QString &key, int number)
{
    m_label.clear();
    m_fallbackKey = key;
    m_fallbackNumber = number;
    retranslateLabel();
}

void ListContactDetailItem::retranslateLabel()
{
    if (!m_fallbackKey.isEmpty())
        labelAttribtute->setText(Langtranslater::lookup(m_fallbackKey).arg(m_fallbackNumber));
}

void ListContactDetailItem::setIcon(const QString &path)
{
    labelIcon->setPixmap(path.isEmpty() ? QPixmap() : QPixmap(path));
    labelIcon->setVisible(!path.isEmpty());
}

void ListContactDetailItem::setValue(const QString &value)
{
    lineEditNumber->setText(value);
    labelName->setText(value);
}

void ListContactDetailItem::setNumberValidator()
{
    lineEditNumber->setValidator(
        new QRegExpValidator(QRegExp(QStringLiteral("[0-9+-]+$")), lineEditNumber));
}

void ListContactDetailItem::setEditable(bool editable)
{
    lineEditNumber->setVisible(editable);
    labelName->setVisible(!editable);
    btnDelete->setVisible(editable && isDeletable());
}

void ListContactDetailItem::startEditing(bool start)
{
    if (!start)
        return;
    QTimer::singleShot(0, lineEditNumber, [edit = lineEditNumber] {
        edit->setFocus();
        edit->selectAll();
    });
}

QString ListContactDetailItem::valueText() const
{
    return lineEditNumber->text();
}

QString ListContactDetailItem::labelText() const
{
    return m_label;
}

void ListContactDetailItem::on_btnDelete_clicked()
{
    emit sigDelteDetailItem(this);
}
