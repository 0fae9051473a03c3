#include "ui/contactdetail/listcontactdetailitemimage.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QVariant>

namespace {
constexpr int maxNameLength = 128;
}

ListContactDetailItemImage::ListContactDetailItemImage(QWidget *parent)
    : ListContactDetailItemBase(parent)
{
    resize(420, 136);

    btnImage = new QPushButton(this);
    btnImage->setObjectName(QStringLiteral("btnImage"));
    btnImage->setGeometry(0, 0, 96, 96);
    btnImage->setFocusPolicy(Qt::NoFocus);
    btnImage->setStyleSheet(QStringLiteral(
        "QPushButton { border: none; border-image: url(:/image/default_big_image.png); }"));

    labelName = new QLabel(this);
    labelName->setObjectName(QStringLiteral("labelName"));
    labelName->setGeometry(105, 24, 301, 48);
    labelName->setStyleSheet(QStringLiteral("font-size: 28px; color: #333333;"));

    lineEditName = new QLineEdit(this);
    lineEditName->setObjectName(QStringLiteral("lineEditName"));
    lineEditName->setGeometry(102, 24, 300, 48);
    lineEditName->setMaxLength(maxNameLength);
    lineEditName->setProperty("focustype", QStringLiteral("out"));
    lineEditName->setStyleSheet(
        QStringLiteral("QLineEdit { font-size: 28px; color: #333333; background: #FFFFFF;"
                       " border: 1px solid #28000000; border-radius: 4px; padding-left: 3px; }"
                       "QLineEdit[focustype=\"in\"] { border: 1px solid #278CF8; }"));
    lineEditName->installEventFilter(this);
    lineEditName->hide();

    QMetaObject::connectSlotsByName(this);
}

void ListContactDetailItemImage::setName(const QString &name)
{
    lineEditName->setText(name);
    labelName->setText(name);
}

void ListContactDetailItemImage::setPhotoEnabled(bool enabled)
{
    m_photoEnabled = enabled;
    btnImage->setEnabled(enabled);
}

void ListContactDetailItemImage::setEditable(bool editable)
{
    lineEditName->setVisible(editable);
    labelName->setVisible(!editable);
}

void ListContactDetailItemImage::startEditing(bool start)
{
    if (!start)
        return;
    QTimer::singleShot(0, lineEditName, [edit = lineEditName] {
        edit->setFocus();
        edit->selectAll();
    });
}

QString ListContactDetailItemImage::valueText() const
{
    return lineEditName->text();
}

void ListContactDetailItemImage::slotMessageboxInput(const QString &strInput)
{
    m_photoLink = strInput;
}

bool ListContactDetailItemImage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lineEditName &&
        (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        lineEditName->setProperty("focustype", event->type() == QEvent::FocusIn
                                                   ? QStringLiteral("in")
                                                   : QStringLiteral("out"));
        lineEditName->style()->unpolish(lineEditName);
        lineEditName->style()->polish(lineEditName);
        lineEditName->update();
    }
    return ListContactDetailItemBase::eventFilter(watched, event);
}

void ListContactDetailItemImage::on_btnImage_clicked()
{
    if (!m_photoPrompt)
        return;
    m_photoPrompt(this, m_photoLink,
                  [row = QPointer<ListContactDetailItemImage>(this)](const QString &link) {
                      if (row)
                          row->slotMessageboxInput(link);
                  });
}
