#include "ui/contactdetail/listcontactdetailitemcombobox.h"

#include <QComboBox>
#include <QLabel>
#include <QPixmap>
#include <QStyledItemDelegate>

namespace {
constexpr int visibleItems = 5;
}

ListContactDetailItemCombobox::ListContactDetailItemCombobox(QWidget *parent)
    : ListContactDetailItemBase(parent)
{
    resize(420, 48);

    labelAttribtute = new QLabel(this);
    labelAttribtute->setObjectName(QStringLiteral("labelAttribtute"));
    labelAttribtute->setGeometry(25, 9, 140, 30);
    labelAttribtute->setStyleSheet(QStringLiteral("font-size: 14px; color: #666666;"));

    comboBox = new QComboBox(this);
    comboBox->setObjectName(QStringLiteral("comboBox"));
    // As high as the number edits: a 44-pixel box in a 48-pixel row loses its lower border.
    comboBox->setGeometry(171, 7, 248, 34);
    comboBox->setMaxVisibleItems(visibleItems);
    // The default delegate paints items natively; a styled one lets the sheet reach them.
    comboBox->setItemDelegate(new QStyledItemDelegate(comboBox));
    comboBox->setStyleSheet(QStringLiteral(
        "QComboBox { border: 1px solid #28000000; border-radius: 4px; background: #FFFFFF;"
        " font-size: 18px; color: #333333; padding-left: 3px; combobox-popup: 0; }"
        "QComboBox:focus, QComboBox:on { border: 1px solid #278CF8; }"
        "QComboBox::drop-down { border: none; width: 24px; }"
        "QComboBox::down-arrow { image: url(:/image/arrow_dow.png); }"
        "QComboBox QAbstractItemView { border: 1px solid #28000000; background: #FFFFFF;"
        " outline: 0px; }"
        "QComboBox QAbstractItemView::item { min-height: 34px; font-size: 18px; color: #333333;"
        " padding-left: 3px; }"
        "QComboBox QAbstractItemView::item:hover, QComboBox QAbstractItemView::item:selected {"
        " background: #E5E5E5; color: #333333; padding-left: 3px; }"));
    comboBox->hide();

    labelIcon = new QLabel(this);
    labelIcon->setObjectName(QStringLiteral("labelIcon"));
    labelIcon->setGeometry(0, 14, 20, 20);
    labelIcon->hide();

    labelName = new QLabel(this);
    labelName->setObjectName(QStringLiteral("labelName"));
    labelName->setGeometry(176, 7, 248, 34);
    labelName->setStyleSheet(QStringLiteral("font-size: 18px; color: #333333;"));

    // The view text follows whatever the user picks, so it is right after a commit too.
    connect(comboBox, &QComboBox::currentTextChanged, labelName, &QLabel::setText);
}

void ListContactDetailItemCombobox::setLabel(const QString &label)
{
    labelAttribtute->setText(label);
}

void ListContactDetailItemCombobox::setIcon(const QString &path)
{
    labelIcon->setPixmap(path.isEmpty() ? QPixmap() : QPixmap(path));
    labelIcon->setVisible(!path.isEmpty());
}

void ListContactDetailItemCombobox::setItems(const QStringList &items)
{
    comboBox->clear();
    comboBox->addItems(items);
    comboBox->setCurrentIndex(-1);
}

void ListContactDetailItemCombobox::setCurrentIndex(int index)
{
    comboBox->setCurrentIndex(index >= 0 && index < comboBox->count() ? index : -1);
    labelName->setText(comboBox->currentText());
}

int ListContactDetailItemCombobox::currentIndex() const
{
    return comboBox->currentIndex();
}

void ListContactDetailItemCombobox::setEditable(bool editable)
{
    comboBox->setVisible(editable);
    labelName->setVisible(!editable);
}

QString ListContactDetailItemCombobox::valueText() const
{
    return QString::number(comboBox->currentIndex());
}
