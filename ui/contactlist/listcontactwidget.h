#pragma once

#include "data/phonebookresult.h"
#include "widgets/qvlistwidget.h"

#include <QList>
#include <QModelIndex>
#include <QPoint>
#include <QSet>
#include <QString>
#include <QVariant>

class ContactItemDelegate;
class QLabel;
class TreeGroupSelectWidget;
class qvListDataModel;

// The middle pane: the contacts of one group of the open phonebook, one row each, with search,
// add, a per-row context menu (Delete, Move to) and a batch mode whose rows carry check boxes.
// Rows hold only ids and names; the contacts live in the stores, and after every delete or move
// the rows are made to match what the store now lists for the group, whatever it was asked.
// Only the visible rows have row widgets (see qvListWidget), so groups of any size stay cheap.
class ListContactWidget : public qvListWidget
{
    Q_OBJECT
public:
    explicit ListContactWidget(QWidget *parent = nullptr);
    ~ListContactWidget() override;

    // The phonebook kind (PhonebookManager::DirType) the next loads and edits work on.
    void setDirType(int dirType);
    int dirType() const { return m_dirType; }
    // Shows every contact the group lists, in its order; row 0 becomes current.
    void loadGroup(int groupId);
    int groupId() const { return m_groupId; }
    // Adds a contact to the current group and makes its row current. Done, or the store's code
    // (LimitReached for the 1001st local contact); on failure no row is added.
    PhonebookResult addContact();
    // Rows of the current group whose name or a number contains key (any case); an empty key
    // lists the whole group. Shows the no-match picture when a non-empty key finds nothing.
    // Returns the number of rows.
    int searchContacts(const QString &key);
    QString searchKey() const { return m_searchKey; }

    // Batch mode shows a check box on every row and turns clicks into ticks; entering or
    // leaving it unticks every row.
    void setBatchState(bool batch);
    bool batchState() const { return m_batch; }
    bool isAllSelected() const { return m_allSelected; }
    void setAllSelect(bool allSelect);
    // Ids of the ticked rows in row order.
    QList<int> selectedContactIds() const;
    // Asks, then deletes the ticked contacts.
    void deleteSelectedContacts();
    // Asks, then moves the ticked contacts into dstGroupId.
    void moveSelectedContacts(int dstGroupId);
    // Asks, then deletes the current row's contact, as the context menu's "Delete" does.
    void deleteCurrentContact();
    // Asks, then moves the current row's contact, as the context menu's "Move to" does.
    void moveCurrentContact(int dstGroupId);

    // The contact id of a row; -1 when the row holds no contact.
    int contactIdAt(int row);
    // The no-match picture and text are showing.
    bool isNoMatchShown() const;
    // The pane's own group selection popup of "Move to" (hidden between uses).
    TreeGroupSelectWidget *groupSelectPopup() const { return m_groupSelect; }

signals:
    // The all-ticked state changed (batch mode).
    void sigContactAllSelect(bool bAllSelect);
    // Rows were deleted or moved away; nSize is the number of rows left.
    void sigContactCountChanged(int nSize);

public slots:
    void slotItemclicked(const QModelIndex &index);
    // The detail editor changed the contact: its row shows the stored name again.
    void slotEditContactSuccess(int nContactId);
    void slotCustomContextMenu(const QPoint &pos);
    void slotMenuDeleteContact();
    void slotMenuMoveToContact();
    void slotPopupSelectedGroup(int nGroupId);

private:
    // Ids the group lists now, in its order; empty for a missing group or a remote menu.
    QList<int> listedContactIds(int groupId) const;
    // Whether the store of the current kind has the contact; its name goes to *name if given.
    bool findStoredName(int contactId, QString *name) const;
    // Rows for the given contacts, skipping ids without a contact.
    QList<QVariant> rowsFor(const QList<int> &contactIds) const;
    // Clear, then every row with one append; row 0 becomes current.
    void replaceRows(const QList<QVariant> &rows);
    // Drops the rows whose contact the current group no longer lists, keeping order (and ticks
    // unless untick), in one model reset; the current row follows its contact. Returns the ids
    // of the dropped rows.
    QSet<int> dropRowsNotListed(bool untick);
    // Applies edit to every row without a signal per row, then refreshes the visible widgets.
    template <typename Edit> void editAllRows(Edit edit);
    // Counts ticks again and reports the all-ticked state when it changed (or always, if asked).
    void recountTicks(bool alwaysReport);
    // Row of the contact, preferring hint; -1 when no row shows it.
    int rowOfContact(int contactId, int hint) const;
    void updateNoMatchLabels();
    void setNoMatchVisible(bool visible);
    // "Whether to move selected contacts to <group>?"; true on Ok.
    bool confirmMove(int dstGroupId);
    bool confirmDelete();

    qvListDataModel *m_model = nullptr;             // owned via Qt parent
    ContactItemDelegate *m_delegate = nullptr;      // owned via Qt parent
    TreeGroupSelectWidget *m_groupSelect = nullptr; // owned via Qt parent
    QLabel *ImageNoSearch = nullptr;                // owned via Qt parent
    QLabel *LabelNoSearch = nullptr;                // owned via Qt parent
    int m_dirType = 1;
    int m_groupId = 0;
    bool m_batch = false;
    bool m_allSelected = false;
    int m_tickedCount = 0;    // ticked rows, kept in step with every change of ticks
    int m_menuRow = -1;       // row the context menu was opened on
    int m_menuContactId = -1; // and its contact, in case rows moved meanwhile
    QPoint m_menuGlobalPos;
    QString m_searchKey;
};
