#include "ui/contactdetail/listcontactdetialwidget.h"

#include "data/localdirectory.h"
#include "data/phonebookmanager.h"
#include "data/remotedirectory.h"
#include "dialogs/tipwidget.h"
#include "shell/langtranslater.h"
#include "ui/contactdetail/listcontactdetailitem.h"
#include "ui/contactdetail/listcontactdetailitemcombobox.h"
#include "ui/contactdetail/listcontactdetailitemimage.h"

#include <QDebug>
#include <QIcon>
#include <QListWidget>
#include <QPushButton>

namespace {
constexpr int accountLines = 16;
const QSize nameRowSize(420, 136);
const QSize detailRowSize(420, 48);
const QSize addItemRowSize(420, 62);

QString addItemButtonName()
{
    return QStringLiteral("BtnAddRemoteItem");
}

ListContactDetailItemBase *detailRow(const QListWidget *list, int row)
{
    return qobject_cast<ListContactDetailItemBase *>(list->itemWidget(list->item(row)));
}
} // namespace

ListContactDetialWidget::ListContactDetialWidget(QObject *parent) : QObject(parent) {}

void ListContactDetialWidget::bindWidgets(QListWidget *listWidget, QPushButton *editButton)
{
    m_list = listWidget;
    m_editButton = editButton;
    if (m_list)
        m_list->setFocusPolicy(Qt::NoFocus);
    if (m_editButton) {
        m_editButton->hide();
        connect(m_editButton, &QPushButton::clicked, this,
                &ListContactDetialWidget::slotBtnEditContactClick, Qt::UniqueConnection);
    }
}

void ListContactDetialWidget::setPrompts(const ContactDetailPrompts &prompts)
{
    m_prompts = prompts;
    if (auto *name =
            m_list ? qobject_cast<ListContactDetailItemImage *>(detailRow(m_list, 0)) : nullptr)
        name->setPhotoPrompt(m_prompts.photoLink);
}

void ListContactDetialWidget::showContact(int dirType, int contactId, int groupId, bool bNew)
{
    m_dirType = dirType;
    m_contactId = contactId;
    m_groupId = groupId;
    const bool shown = rebuildRows();
    setEditMode(bNew && contactId != -1 && shown);
    updateEditButton();
    // Without a contact there is nothing to edit, so the button goes too.
    if (m_editButton)
        m_editButton->setVisible(shown);
}

void ListContactDetialWidget::refresh()
{
    showContact(m_dirType, m_contactId, m_groupId, m_editing);
}

void ListContactDetialWidget::retranslate()
{
    if (m_list) {
        for (int row = 0; row < m_list->count(); ++row) {
            ListContactDetailItemBase *item = detailRow(m_list, row);
            if (auto *combo = qobject_cast<ListContactDetailItemCombobox *>(item)) {
                const int index = combo->currentIndex();
                combo->setLabel(Langtranslater::mark(QStringLiteral("Account")));
                combo->setItems(accountItems());
                combo->setCurrentIndex(index);
            } else if (auto *detail = qobject_cast<ListContactDetailItem *>(item)) {
                detail->retranslateLabel();
            }
        }
    }
    updateEditButton();
}

QStringList ListContactDetialWidget::accountItems()
{
    QStringList items{Langtranslater::lookup(QStringLiteral("Auto"))};
    const QString line = Langtranslater::lookup(QStringLiteral("Line"));
    for (int n = 1; n <= accountLines; ++n)
        items.append(line + QLatin1Char(' ') + QString::number(n));
    return items;
}

int ListContactDetialWidget::accountIndexOfLine(const QString &line)
{
    bool ok = false;
    const int value = line.toInt(&ok);
    return ok && value >= -1 && value < accountLines ? value + 1 : -1;
}

QString ListContactDetialWidget::lineOfAccountIndex(int index)
{
    return index == 0 ? QStringLiteral("-1") : QString::number(index - 1);
}

void ListContactDetialWidget::slotBtnEditContactClick()
{
    if (!m_editing) {
        setEditMode(true);
        updateEditButton();
        return;
    }
    const CommitResult result = m_dirType == PhonebookManager::LocalDir ? commitLocal()
                                : m_dirType == PhonebookManager::RemoteDir
                                    ? commitRemote()
                                    : CommitResult::ContactGone;
    switch (result) {
    case CommitResult::Done:
        setEditMode(false);
        updateEditButton();
        emit sigEditContactSuccess(m_contactId);
        break;
    case CommitResult::EmptyName:
        TipWidget::showTip(Langtranslater::lookup(QStringLiteral("Name cannot be empty!")),
                           TipWidget::Warning);
        break;
    case CommitResult::ContactGone:
        dropVanishedContact();
        break;
    }
}

void ListContactDetialWidget::slotBtnAddItemClick()
{
    if (!m_list || !m_prompts.customLabel)
        return;
    m_prompts.customLabel(m_list, QString(),
                          [editor = QPointer<ListContactDetialWidget>(this)](const QString &label) {
                              if (editor)
                                  editor->slotMessageboxInput(label);
                          });
}

void ListContactDetialWidget::slotMessageboxInput(QString strInput)
{
    const int addRow = addItemRow();
    if (!m_list || !m_editing || addRow < 0 || strInput.isEmpty())
        return;
    auto *item = new ListContactDetailItem;
    item->setDeletable(true);
    item->setLabel(strInput);
    item->setValue(QString());
    item->setType(ListContactDetailItemBase::CustomNumberRow);
    item->setEditable(true);
    connect(item, &ListContactDetailItem::sigDelteDetailItem, this,
            &ListContactDetialWidget::slotDelteDetailItem);
    auto *listItem = new QListWidgetItem;
    listItem->setSizeHint(detailRowSize);
    m_list->insertItem(addRow, listItem); // the list owns the item, the item's row the widget
    m_list->setItemWidget(listItem, item);
    m_list->scrollToItem(listItem); // a long contact may have pushed it out of view
    item->startEditing(true);
}

void ListContactDetialWidget::slotDelteDetailItem(QWidget *pWidget)
{
    if (!m_list || !pWidget)
        return;
    for (int row = 0; row < m_list->count(); ++row) {
        if (m_list->itemWidget(m_list->item(row)) == pWidget) {
            // The view releases the row's widget later, so this is safe inside its own click.
            delete m_list->takeItem(row);
            return;
        }
    }
}

bool ListContactDetialWidget::rebuildRows()
{
    clearRows();
    if (!m_list || m_contactId == -1)
        return false;
    if (m_dirType == PhonebookManager::LocalDir) {
        if (const LocalContact *contact = LocalDirectory::instance().findContact(m_contactId)) {
            buildLocalRows(*contact);
            return true;
        }
    } else if (m_dirType == PhonebookManager::RemoteDir) {
        if (const RemoteContact *contact = RemoteDirectory::instance().findContact(m_contactId)) {
            buildRemoteRows(*contact);
            return true;
        }
    }
    return false;
}

void ListContactDetialWidget::clearRows()
{
    m_editing = false;
    if (!m_list)
        return;
    for (int row = 0; row < m_list->count(); ++row) {
        if (QWidget *widget = m_list->itemWidget(m_list->item(row))) {
            widget->setAttribute(Qt::WA_DeleteOnClose);
            widget->close();
        }
    }
    m_list->clear();
}

void ListContactDetialWidget::buildLocalRows(const LocalContact &contact)
{
    auto *name = new ListContactDetailItemImage;
    name->setName(contact.display_name);
    name->setType(ListContactDetailItemBase::NameRow);
    name->setPhotoEnabled(false);
    appendRow(name, nameRowSize);

    struct NumberRow
    {
        const char *label;
        const char *icon;
        const QString &value;
        int type;
    };
    const NumberRow numbers[] = {
        {"Office Number", ":/image/office_number.png", contact.office_number,
         ListContactDetailItemBase::OfficeNumberRow},
        {"Mobile Number", ":/image/mobile_number.png", contact.mobile_number,
         ListContactDetailItemBase::MobileNumberRow},
        {"Other Number", ":/image/other_number.png", contact.other_number,
         ListContactDetailItemBase::OtherNumberRow},
        {"Auto Divert", ":/image/auto_divert.png", contact.auto_divert,
         ListContactDetailItemBase::AutoDivertRow},
    };
    for (const NumberRow &row : numbers)
        appendDetailRow(Langtranslater::mark(QString::fromLatin1(row.label)),
                        QString::fromLatin1(row.icon), row.value, row.type, true);

    auto *account = new ListContactDetailItemCombobox;
    account->setLabel(Langtranslater::mark(QStringLiteral("Account")));
    account->setIcon(QStringLiteral(":/image/account.png"));
    account->setItems(accountItems());
    account->setCurrentIndex(accountIndexOfLine(contact.line));
    account->setType(ListContactDetailItemBase::AccountRow);
    appendRow(account, detailRowSize);

    if (m_groupId == LocalDirectory::AllContactsId) {
        const QString group = PhonebookManager::groupName(m_dirType, contact.groupId);
        // The built-in groups are stored in English and shown in the current language.
        const bool builtIn = contact.groupId == LocalDirectory::AllContactsId ||
                             contact.groupId == LocalDirectory::BlocklistId;
        appendDetailRow(Langtranslater::mark(QStringLiteral("Group")),
                        QStringLiteral(":/image/group_small.png"),
                        builtIn ? Langtranslater::mark(group) : group,
                        ListContactDetailItemBase::GroupRow, false);
    }
}

void ListContactDetialWidget::buildRemoteRows(const RemoteContact &contact)
{
    QString labels[3];
    RemoteDirectory::instance().getNumberLabels(labels[0], labels[1], labels[2]);

    auto *name = new ListContactDetailItemImage;
    name->setName(contact.name);
    name->setPhotoLink(contact.customPhoto);
    name->setType(ListContactDetailItemBase::NameRow);
    name->setPhotoEnabled(true);
    name->setPhotoPrompt(m_prompts.photoLink);
    appendRow(name, nameRowSize);

    int numberCounter = 0;
    for (int i = 0; i < contact.numbers.size(); ++i) {
        const LabeledValue &number = contact.numbers.at(i);
        ListContactDetailItem *row = appendDetailRow(
            QString(), QString(), number.value, ListContactDetailItemBase::RemoteNumberRow, true);
        if (i < 3 && labels[i] != RemoteDirectory::defaultNumberLabel(i))
            row->setLabel(labels[i]);
        else if (!number.label.isEmpty())
            row->setLabel(number.label);
        else
            row->setFallbackLabel(QStringLiteral("Number%1"), ++numberCounter);
    }

    int extraCounter = 0;
    for (const LabeledValue &extra : contact.extras) {
        ListContactDetailItem *row = appendDetailRow(
            QString(), QString(), extra.value, ListContactDetailItemBase::CustomNumberRow, false);
        if (extra.label.isEmpty())
            row->setFallbackLabel(QStringLiteral("Extra%1"), ++extraCounter);
        else
            row->setLabel(extra.label);
        row->setDeletable(true);
    }
}

ListContactDetailItem *ListContactDetialWidget::appendDetailRow(const QString &label,
                                                                const QString &icon,
                                                                const QString &value, int type,
                                                                bool numbers)
{
    auto *row = new ListContactDetailItem;
    row->setLabel(label);
    row->setIcon(icon);
    row->setValue(value);
    if (numbers)
        row->setNumberValidator();
    row->setType(type);
    connect(row, &ListContactDetailItem::sigDelteDetailItem, this,
            &ListContactDetialWidget::slotDelteDetailItem);
    appendRow(row, detailRowSize);
    return row;
}

void ListContactDetialWidget::appendRow(QWidget *widget, const QSize &size)
{
    auto *item = new QListWidgetItem(m_list); // owned by the list
    item->setSizeHint(size);
    m_list->setItemWidget(item, widget); // the row owns the widget from here on
}

void ListContactDetialWidget::setEditMode(bool editing)
{
    m_editing = editing;
    if (!m_list)
        return;
    for (int row = 0; row < m_list->count(); ++row) {
        ListContactDetailItemBase *item = detailRow(m_list, row);
        if (item && ListContactDetailItemBase::followsEditMode(item->type()))
            item->setEditable(editing);
    }
    if (editing) {
        if (ListContactDetailItemBase *first = detailRow(m_list, 0))
            first->startEditing(true);
    }
    showAddItemRow(editing && m_dirType == PhonebookManager::RemoteDir && m_list->count() > 0);
}

void ListContactDetialWidget::updateEditButton()
{
    if (!m_editButton)
        return;
    m_editButton->setIcon(QIcon(m_editing ? QStringLiteral(":/image/finish_nor.png")
                                          : QStringLiteral(":/image/edit_click.png")));
    m_editButton->setText(
        Langtranslater::lookup(m_editing ? QStringLiteral("OK") : QStringLiteral("Edit")));
}

void ListContactDetialWidget::showAddItemRow(bool show)
{
    const int existing = addItemRow();
    if (!show) {
        if (existing >= 0)
            delete m_list->takeItem(existing);
        return;
    }
    if (existing >= 0)
        return;
    auto *button = new QPushButton(Langtranslater::mark(QStringLiteral("Add custom label")));
    button->setObjectName(addItemButtonName());
    connect(button, &QPushButton::clicked, this, &ListContactDetialWidget::slotBtnAddItemClick);
    appendRow(button, addItemRowSize);
}

int ListContactDetialWidget::addItemRow() const
{
    if (!m_list)
        return -1;
    const int last = m_list->count() - 1;
    const QWidget *widget = last >= 0 ? m_list->itemWidget(m_list->item(last)) : nullptr;
    return widget && widget->objectName() == addItemButtonName() ? last : -1;
}

ListContactDetialWidget::CommitResult ListContactDetialWidget::commitLocal()
{
    LocalDirectory &store = LocalDirectory::instance();
    const LocalContact *stored = store.findContact(m_contactId);
    if (!stored || !m_list)
        return CommitResult::ContactGone;
    LocalContact record;
    // An account value the combo box does not know is kept as it was.
    record.line = stored->line;
    for (int row = 0; row < m_list->count(); ++row) {
        const ListContactDetailItemBase *item = detailRow(m_list, row);
        if (!item)
            continue;
        const QString value = item->valueText();
        switch (item->type()) {
        case ListContactDetailItemBase::NameRow:
            record.display_name = value;
            break;
        case ListContactDetailItemBase::OfficeNumberRow:
            record.office_number = value;
            break;
        case ListContactDetailItemBase::MobileNumberRow:
            record.mobile_number = value;
            break;
        case ListContactDetailItemBase::OtherNumberRow:
            record.other_number = value;
            break;
        case ListContactDetailItemBase::AutoDivertRow:
            record.auto_divert = value;
            break;
        case ListContactDetailItemBase::AccountRow:
            if (value.toInt() >= 0)
                record.line = lineOfAccountIndex(value.toInt());
            break;
        default:
            break;
        }
    }
    if (record.display_name.isEmpty())
        return CommitResult::EmptyName;
    store.updateContact(m_contactId, record);
    rebuildRows();
    return CommitResult::Done;
}

ListContactDetialWidget::CommitResult ListContactDetialWidget::commitRemote()
{
    RemoteDirectory &store = RemoteDirectory::instance();
    if (!store.findContact(m_contactId) || !m_list)
        return CommitResult::ContactGone;
    RemoteContact record;
    for (int row = 0; row < m_list->count(); ++row) {
        const ListContactDetailItemBase *item = detailRow(m_list, row);
        if (!item)
            continue;
        switch (item->type()) {
        case ListContactDetailItemBase::NameRow:
            record.name = item->valueText();
            if (auto *image = qobject_cast<const ListContactDetailItemImage *>(item))
                record.customPhoto = image->photoLink();
            break;
        case ListContactDetailItemBase::RemoteNumberRow:
            record.numbers.append({item->valueText(), QString()});
            break;
        case ListContactDetailItemBase::CustomNumberRow:
            record.extras.append({item->valueText(), item->labelText()});
            break;
        default:
            break;
        }
    }
    if (record.name.isEmpty())
        return CommitResult::EmptyName;
    if (!store.updateContact(m_contactId, record))
        return CommitResult::ContactGone;
    rebuildRows();
    return CommitResult::Done;
}

void ListContactDetialWidget::dropVanishedContact()
{
    qDebug() << "Edited contact no longer exists, ContactId:" << m_contactId;
    TipWidget::showTip(Langtranslater::lookup(QStringLiteral("The contact no longer exists!")),
                       TipWidget::Warning);
    m_contactId = -1;
    clearRows();
    updateEditButton();
    if (m_editButton)
        m_editButton->hide();
}
