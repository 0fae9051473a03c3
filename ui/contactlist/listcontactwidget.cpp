#include "ui/contactlist/listcontactwidget.h"

#include "data/localdirectory.h"
#include "data/phonebookmanager.h"
#include "data/remotedirectory.h"
#include "dialogs/messageboxdialog.h"
#include "dialogs/tipwidget.h"
#include "shell/langtranslater.h"
#include "ui/contactlist/contactitemdelegate.h"
#include "ui/contactlist/uicontactitemdata.h"
#include "ui/groupselect/treegroupselectwidget.h"
#include "widgets/qvlistdatamodel.h"
#include "widgets/qvmenu.h"

#include <QDebug>
#include <QLabel>
#include <QListWidgetItem>
#include <QStringList>
#include <QWidgetAction>

#include <utility>

namespace {

// The row record inside a model value, or none for a value of another type.
const uiContactItemData *rowOf(const QVariant &value)
{
    if (value.userType() != qMetaTypeId<uiContactItemData>())
        return nullptr;
    return static_cast<const uiContactItemData *>(value.constData());
}

uiContactItemData *editableRowOf(QVariant &value)
{
    if (value.userType() != qMetaTypeId<uiContactItemData>())
        return nullptr;
    return static_cast<uiContactItemData *>(value.data());
}

QVariant makeRow(int contactId, const QString &name, bool batch)
{
    uiContactItemData row;
    row.nContactId = contactId;
    row.strName = name;
    row.bBatch = batch;
    return QVariant::fromValue(row);
}

void showWarning(const QString &text)
{
    TipWidget::showTip(text, TipWidget::Warning);
}

void showSuccess(const QString &text)
{
    TipWidget::showTip(text, TipWidget::Success);
}

bool isLocal(int dirType)
{
    return dirType == PhonebookManager::LocalDir;
}

bool isRemote(int dirType)
{
    return dirType == PhonebookManager::RemoteDir;
}

} // namespace

ListContactWidget::ListContactWidget(QWidget *parent)
    : qvListWidget(parent, QStringLiteral("ContactWidget"), false)
{
    qRegisterMetaType<uiContactItemData>("uiContactItemData");
    setContextMenuPolicy(Qt::CustomContextMenu);
    setFocusPolicy(Qt::NoFocus);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Every row is 48 px high (ListContactWidget.qss), so the view measures one row, not all. It
    // keeps that measure: take the style sheets on now, before any row is laid out.
    setUniformItemSizes(true);
    ensurePolished();

    m_model = new qvListDataModel(this);
    m_delegate = new ContactItemDelegate(this);
    SetDelegate(m_delegate);
    SetModel(m_model);

    ImageNoSearch = new QLabel(this);
    ImageNoSearch->setObjectName(QStringLiteral("ImageNoSearch"));
    ImageNoSearch->setGeometry(110, 140, 90, 90);
    ImageNoSearch->hide();
    LabelNoSearch = new QLabel(this);
    LabelNoSearch->setObjectName(QStringLiteral("LabelNoSearch"));
    LabelNoSearch->setGeometry(65, 240, 180, 30);
    LabelNoSearch->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    LabelNoSearch->setText(Langtranslater::mark(QStringLiteral("No matching contacts")));
    LabelNoSearch->hide();

    m_groupSelect = new TreeGroupSelectWidget(this);
    m_groupSelect->hide();
    connect(m_groupSelect, &TreeGroupSelectWidget::sigSelectedGroup, this,
            &ListContactWidget::slotPopupSelectedGroup);

    connect(this, &QListWidget::clicked, this, &ListContactWidget::slotItemclicked);
    connect(this, &QWidget::customContextMenuRequested, this,
            &ListContactWidget::slotCustomContextMenu);
}

ListContactWidget::~ListContactWidget()
{
    // The model is a child and dies after the view part of this object: let go of it first.
    SetModel(nullptr);
}

// ---- the store ----

QList<int> ListContactWidget::listedContactIds(int groupId) const
{
    if (isLocal(m_dirType)) {
        const LocalGroup *group = LocalDirectory::instance().findGroup(groupId);
        return group ? group->contactIds : QList<int>();
    }
    if (isRemote(m_dirType)) {
        const RemoteGroup *group = std::as_const(RemoteDirectory::instance()).findGroup(groupId);
        // A menu lists sub-groups, not contacts.
        if (!group || group->isMenu)
            return {};
        return group->childIds;
    }
    return {};
}

bool ListContactWidget::findStoredName(int contactId, QString *name) const
{
    if (isLocal(m_dirType)) {
        const LocalContact *contact = LocalDirectory::instance().findContact(contactId);
        if (contact && name)
            *name = contact->display_name;
        return contact != nullptr;
    }
    if (isRemote(m_dirType)) {
        const RemoteContact *contact =
            std::as_const(RemoteDirectory::instance()).findContact(contactId);
        if (contact && name)
            *name = contact->name;
        return contact != nullptr;
    }
    return false;
}

QList<QVariant> ListContactWidget::rowsFor(const QList<int> &contactIds) const
{
    QList<QVariant> rows;
    rows.reserve(contactIds.size());
    // One record refilled per contact: a group of 100 000 builds each row with a single copy.
    uiContactItemData row;
    row.bBatch = m_batch;
    const auto add = [&rows, &row](int id, const QString &name) {
        row.nContactId = id;
        row.strName = name;
        rows.append(QVariant::fromValue(row));
    };
    if (isLocal(m_dirType)) {
        const LocalDirectory &store = LocalDirectory::instance();
        for (const int id : contactIds) {
            if (const LocalContact *contact = store.findContact(id))
                add(id, contact->display_name);
        }
    } else if (isRemote(m_dirType)) {
        const RemoteDirectory &store = RemoteDirectory::instance();
        for (const int id : contactIds) {
            if (const RemoteContact *contact = store.findContact(id))
                add(id, contact->name);
        }
    }
    return rows;
}

// ---- rows ----

void ListContactWidget::replaceRows(const QList<QVariant> &rows)
{
    m_model->Clear();
    if (!rows.isEmpty())
        m_model->AppendRows(rows);
    m_tickedCount = 0;
    recountTicks(false);
    setCurrentRow(0);
}

QSet<int> ListContactWidget::dropRowsNotListed(bool untick)
{
    const QList<int> listed = listedContactIds(m_groupId);
    const QSet<int> listedSet(listed.cbegin(), listed.cend());
    QList<QVariant> *rows = m_model->GetDataList();
    QList<QVariant> kept;
    kept.reserve(rows->size());
    QSet<int> dropped;
    const int oldCurrent = currentRow();
    const int currentId = contactIdAt(oldCurrent);
    int newCurrent = -1;
    int ticked = 0;
    for (int r = 0; r < rows->size(); ++r) {
        const uiContactItemData *row = rowOf(rows->at(r));
        if (!row)
            continue;
        if (!listedSet.contains(row->nContactId) || !findStoredName(row->nContactId, nullptr)) {
            dropped.insert(row->nContactId);
            continue;
        }
        if (r <= oldCurrent)
            newCurrent = kept.size(); // the current row, or the last kept row before it
        kept.append(rows->at(r));
        if (untick && row->bSelected)
            editableRowOf(kept.last())->bSelected = false;
        else if (row->bSelected)
            ++ticked;
    }
    if (dropped.isEmpty() && !untick)
        return dropped;

    // One reset instead of a removal per row: the view rebuilds once.
    m_model->BeginResetModel();
    *rows = kept;
    m_model->EndResetModel();
    m_tickedCount = ticked;

    if (newCurrent < 0 && !kept.isEmpty())
        newCurrent = 0;
    if (currentRow() == newCurrent && contactIdAt(newCurrent) != currentId) {
        // Same position, other contact: whoever follows the current row must hear of it.
        setCurrentRow(-1);
    }
    setCurrentRow(newCurrent);
    return dropped;
}

template <typename Edit> void ListContactWidget::editAllRows(Edit edit)
{
    // Edited in place without a signal per row; only the visible rows have widgets to refresh.
    for (QVariant &value : *m_model->GetDataList()) {
        if (uiContactItemData *row = editableRowOf(value))
            edit(*row);
    }
    UpdateItemWidget(true);
}

void ListContactWidget::recountTicks(bool alwaysReport)
{
    const bool all = m_model->GetCount() > 0 && m_tickedCount == m_model->GetCount();
    if (all == m_allSelected && !alwaysReport)
        return;
    m_allSelected = all;
    emit sigContactAllSelect(all);
}

int ListContactWidget::rowOfContact(int contactId, int hint) const
{
    if (contactId < 0)
        return -1;
    const QList<QVariant> *rows = m_model->GetDataList();
    if (hint >= 0 && hint < rows->size()) {
        const uiContactItemData *row = rowOf(rows->at(hint));
        if (row && row->nContactId == contactId)
            return hint;
    }
    for (int r = 0; r < rows->size(); ++r) {
        const uiContactItemData *row = rowOf(rows->at(r));
        if (row && row->nContactId == contactId)
            return r;
    }
    return -1;
}

QList<int> ListContactWidget::selectedContactIds() const
{
    QList<int> ids;
    for (const QVariant &value : *m_model->GetDataList()) {
        const uiContactItemData *row = rowOf(value);
        if (row && row->bSelected)
            ids.append(row->nContactId);
    }
    return ids;
}

int ListContactWidget::contactIdAt(int row)
{
    qvListDataModel *model = GetModel();
    if (!model)
        return -1;
    const QVariant value = model->GetData(row);
    const uiContactItemData *data = rowOf(value);
    return data ? data->nContactId : -1;
}

// ---- no-match labels ----

void ListContactWidget::setNoMatchVisible(bool visible)
{
    ImageNoSearch->setVisible(visible);
    LabelNoSearch->setVisible(visible);
    if (visible) {
        ImageNoSearch->raise();
        LabelNoSearch->raise();
    }
}

void ListContactWidget::updateNoMatchLabels()
{
    setNoMatchVisible(m_model->GetCount() == 0 && !m_searchKey.isEmpty());
}

bool ListContactWidget::isNoMatchShown() const
{
    return !ImageNoSearch->isHidden() && !LabelNoSearch->isHidden();
}

// ---- loading, searching, adding ----

void ListContactWidget::setDirType(int dirType)
{
    m_dirType = dirType;
}

void ListContactWidget::loadGroup(int groupId)
{
    m_groupId = groupId;
    replaceRows(rowsFor(listedContactIds(groupId)));
}

int ListContactWidget::searchContacts(const QString &key)
{
    m_searchKey = key;
    QList<QVariant> rows;
    if (isLocal(m_dirType)) {
        QList<LocalContact *> found;
        LocalDirectory::instance().searchContacts(m_groupId, key, found);
        rows.reserve(found.size());
        for (const LocalContact *contact : qAsConst(found))
            rows.append(makeRow(contact->id, contact->display_name, m_batch));
    } else if (isRemote(m_dirType)) {
        QList<RemoteContact *> found;
        RemoteDirectory::instance().searchContacts(m_groupId, key, found);
        rows.reserve(found.size());
        for (const RemoteContact *contact : qAsConst(found))
            rows.append(makeRow(contact->id, contact->name, m_batch));
    }
    replaceRows(rows);
    qDebug() << "Search Contact, key:" << key << "size:" << rows.size();
    setNoMatchVisible(rows.isEmpty() && !key.isEmpty());
    return rows.size();
}

PhonebookResult ListContactWidget::addContact()
{
    PhonebookResult result = PhonebookResult::NoSuchGroup;
    int contactId = -1;
    QString name;
    if (isLocal(m_dirType)) {
        LocalContact *contact = nullptr;
        result = LocalDirectory::instance().addContact(m_groupId, &contact);
        if (result == PhonebookResult::Done && contact) {
            contactId = contact->id;
            name = contact->display_name;
        }
    } else if (isRemote(m_dirType)) {
        RemoteContact *contact = nullptr;
        result = RemoteDirectory::instance().addContact(m_groupId, &contact);
        if (result == PhonebookResult::Done && contact) {
            contactId = contact->id;
            name = contact->name;
        }
    }
    if (result != PhonebookResult::Done)
        return result;
    qDebug() << "Add Contact, ContactId:" << contactId;
    m_model->AppendRow(makeRow(contactId, name, m_batch));
    recountTicks(false);
    updateNoMatchLabels();
    setCurrentRow(m_model->GetCount() - 1);
    return PhonebookResult::Done;
}

// ---- batch mode ----

void ListContactWidget::setBatchState(bool batch)
{
    if (batch == m_batch)
        return;
    m_batch = batch;
    qDebug() << "Set Contact BatchState:" << batch << "GroupId:" << m_groupId;
    editAllRows([batch](uiContactItemData &row) {
        row.bBatch = batch;
        row.bSelected = false;
    });
    m_tickedCount = 0;
    m_allSelected = false;
}

void ListContactWidget::slotItemclicked(const QModelIndex &index)
{
    if (!m_batch || !index.isValid())
        return;
    QVariant value = m_model->GetData(index.row());
    uiContactItemData *row = editableRowOf(value);
    if (!row)
        return;
    row->bSelected = !row->bSelected;
    m_tickedCount += row->bSelected ? 1 : -1;
    m_model->SetData(index.row(), value);
    recountTicks(false);
}

void ListContactWidget::setAllSelect(bool allSelect)
{
    editAllRows([allSelect](uiContactItemData &row) { row.bSelected = allSelect; });
    m_tickedCount = allSelect ? m_model->GetCount() : 0;
    m_allSelected = allSelect;
    emit sigContactAllSelect(allSelect);
    qDebug() << "Set Contact All Select:" << allSelect;
}

// ---- questions ----

bool ListContactWidget::confirmDelete()
{
    return MessageboxDialog::showMessage(
               this, Langtranslater::mark(QStringLiteral("Note")),
               Langtranslater::mark(QStringLiteral("Whether to delete the selected contact?")),
               QDialogButtonBox::Ok | QDialogButtonBox::Cancel) == QDialogButtonBox::Ok;
}

bool ListContactWidget::confirmMove(int dstGroupId)
{
    const QString text =
        Langtranslater::mark(QStringLiteral("Whether to move selected contacts to")) +
        QLatin1Char(' ') + PhonebookManager::groupName(m_dirType, dstGroupId) + QLatin1Char('?');
    return MessageboxDialog::showMessage(this, Langtranslater::mark(QStringLiteral("Note")), text,
                                         QDialogButtonBox::Ok | QDialogButtonBox::Cancel) ==
           QDialogButtonBox::Ok;
}

// ---- batch delete and move ----

void ListContactWidget::deleteSelectedContacts()
{
    const QList<int> ids = selectedContactIds();
    if (ids.isEmpty()) {
        showWarning(Langtranslater::lookup(QStringLiteral("No contact selected!")));
        return;
    }
    if (!confirmDelete())
        return;
    for (const int id : ids)
        PhonebookManager::deleteContact(m_dirType, m_groupId, id);

    // The rows show what the group lists now; ticked rows the store kept stay ticked.
    const QSet<int> dropped = dropRowsNotListed(false);
    int deleted = 0;
    for (const int id : ids)
        deleted += dropped.contains(id) ? 1 : 0;
    qDebug() << "Delete Select Contact, Group ID:" << m_groupId << "size:" << m_model->GetCount();
    updateNoMatchLabels();
    if (deleted == ids.size())
        showSuccess(Langtranslater::lookup(QStringLiteral("Deleted successfully!")));
    else if (deleted == 0)
        showWarning(Langtranslater::lookup(QStringLiteral("Delete failed!")));
    else
        showWarning(Langtranslater::lookup(QStringLiteral("Some contacts could not be deleted!")));
    recountTicks(true);
    emit sigContactCountChanged(m_model->GetCount());
}

void ListContactWidget::moveSelectedContacts(int dstGroupId)
{
    const QList<int> ids = selectedContactIds();
    if (ids.isEmpty()) {
        showWarning(Langtranslater::lookup(QStringLiteral("No contact selected!")));
        return;
    }
    if (dstGroupId == m_groupId) {
        showWarning(Langtranslater::lookup(QStringLiteral("Cannot move to the same group!")));
        return;
    }
    if (!confirmMove(dstGroupId))
        return;
    // The store says how many it moved; a refused move keeps every row and tick, a partial
    // one shows what the store holds now.
    const int moved = PhonebookManager::moveContactsToGroup(m_dirType, ids, m_groupId, dstGroupId);
    dropRowsNotListed(moved > 0);
    updateNoMatchLabels();
    if (moved == 0) {
        showWarning(Langtranslater::lookup(QStringLiteral("Move failed!")));
        return;
    }
    qDebug() << "Move Select Contact, Group ID:" << m_groupId << "size:" << m_model->GetCount();
    if (moved == ids.size())
        showSuccess(Langtranslater::lookup(QStringLiteral("Moved successfully!")));
    else
        showWarning(Langtranslater::lookup(QStringLiteral("Some contacts could not be moved!")));
    m_tickedCount = 0;
    recountTicks(true);
    emit sigContactCountChanged(m_model->GetCount());
}

// ---- context menu ----

void ListContactWidget::slotCustomContextMenu(const QPoint &pos)
{
    if (m_batch)
        return;
    QListWidgetItem *rowItem = itemAt(pos);
    if (!rowItem)
        return;
    m_menuRow = row(rowItem);
    m_menuContactId = contactIdAt(m_menuRow);
    m_menuGlobalPos = viewport()->mapToGlobal(pos);

    qvMenu menu(this, QStringLiteral("qvMenu"));
    QWidgetAction *deleteAction =
        menu.AddTextAction(Langtranslater::lookup(QStringLiteral("Delete")));
    QWidgetAction *moveAction =
        menu.AddTextAction(Langtranslater::lookup(QStringLiteral("Move to")));
    connect(deleteAction, &QAction::triggered, this, &ListContactWidget::slotMenuDeleteContact);
    connect(moveAction, &QAction::triggered, this, &ListContactWidget::slotMenuMoveToContact);
    menu.exec(m_menuGlobalPos);
}

void ListContactWidget::deleteCurrentContact()
{
    m_menuRow = currentRow();
    m_menuContactId = contactIdAt(m_menuRow);
    slotMenuDeleteContact();
}

void ListContactWidget::moveCurrentContact(int dstGroupId)
{
    m_menuRow = currentRow();
    m_menuContactId = contactIdAt(m_menuRow);
    slotPopupSelectedGroup(dstGroupId);
}

void ListContactWidget::slotMenuDeleteContact()
{
    const int row = rowOfContact(m_menuContactId, m_menuRow);
    if (row < 0)
        return;
    const int contactId = m_menuContactId;
    if (!confirmDelete())
        return;
    PhonebookManager::deleteContact(m_dirType, m_groupId, contactId);
    if (listedContactIds(m_groupId).contains(contactId) && findStoredName(contactId, nullptr)) {
        showWarning(Langtranslater::lookup(QStringLiteral("Delete failed!")));
        return;
    }
    m_model->RemoveRow(row);
    updateNoMatchLabels();
    showSuccess(Langtranslater::lookup(QStringLiteral("Deleted successfully!")));
    emit sigContactCountChanged(m_model->GetCount());
}

void ListContactWidget::slotMenuMoveToContact()
{
    m_groupSelect->prepareForDirType(m_dirType);
    m_groupSelect->move(m_menuGlobalPos);
    m_groupSelect->show();
}

void ListContactWidget::slotPopupSelectedGroup(int nGroupId)
{
    const int row = rowOfContact(m_menuContactId, m_menuRow);
    if (row < 0)
        return;
    const int contactId = m_menuContactId;
    if (nGroupId == m_groupId) {
        showWarning(Langtranslater::lookup(QStringLiteral("Cannot move to the same group!")));
        return;
    }
    if (!confirmMove(nGroupId))
        return;
    if (PhonebookManager::moveContactsToGroup(m_dirType, {contactId}, m_groupId, nGroupId) == 0) {
        showWarning(Langtranslater::lookup(QStringLiteral("Move failed!")));
        return;
    }
    // A local contact moved out of "All Contacts" into a group of its own is still listed
    // there, so it keeps its row.
    if (!listedContactIds(m_groupId).contains(contactId))
        m_model->RemoveRow(row);
    updateNoMatchLabels();
    qDebug() << "Move Select Contact, Contact ID:" << contactId << "nGroupId:" << nGroupId;
    showSuccess(Langtranslater::lookup(QStringLiteral("Moved successfully!")));
    m_allSelected = false;
    emit sigContactAllSelect(false);
    emit sigContactCountChanged(m_model->GetCount());
}

// ---- edits from the detail editor ----

void ListContactWidget::slotEditContactSuccess(int nContactId)
{
    QString name;
    findStoredName(nContactId, &name);
    const int row = rowOfContact(nContactId, -1);
    if (row < 0)
        return;
    QVariant value = m_model->GetData(row);
    if (uiContactItemData *data = editableRowOf(value)) {
        data->strName = name;
        m_model->SetData(row, value);
    }
}
