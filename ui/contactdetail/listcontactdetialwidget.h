#pragma once

#include "ui/contactdetail/contactdetailprompts.h"

#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QStringList>

class ListContactDetailItem;
class ListContactDetailItemBase;
class QListWidget;
class QListWidgetItem;
class QPushButton;
struct LocalContact;
struct RemoteContact;

// The contact detail editor. Not a widget itself: it drives a list widget and an edit button
// that the main window's layout owns, filling the list with one row widget per field of the
// contact that is current in the contact list, switching the rows between viewing and editing
// and committing the edits to the contact's store. Holds only ids; the stores own the records.
class ListContactDetialWidget : public QObject
{
    Q_OBJECT
public:
    explicit ListContactDetialWidget(QObject *parent = nullptr);

    // Attaches the two widgets (not owned; guarded, so their loss is harmless). Once.
    void bindWidgets(QListWidget *listWidget, QPushButton *editButton);
    // The dialogs that ask for a custom label's name and for an avatar link.
    void setPrompts(const ContactDetailPrompts &prompts);
    // Shows the contact of the phonebook kind (-1: none) as seen from groupId, in view mode,
    // or in edit mode with the name selected when bNew is set. Uncommitted edits are dropped.
    void showContact(int dirType, int contactId, int groupId, bool bNew);
    // Shows the same contact again from the store, keeping the mode.
    void refresh();
    // Re-sets the texts that were stored already translated.
    void retranslate();

    int dirType() const { return m_dirType; }
    int contactId() const { return m_contactId; }
    bool isEditing() const { return m_editing; }

    // Display items of the account combo box in the current language: "Auto", "Line 1".."16".
    static QStringList accountItems();
    // Stored line value <-> combo index: "-1" is 0, "n" is n + 1; -1 for an unknown value.
    static int accountIndexOfLine(const QString &line);
    static QString lineOfAccountIndex(int index);

signals:
    void sigEditContactSuccess(int nContactId);

public slots:
    void slotBtnEditContactClick();
    void slotBtnAddItemClick();
    void slotMessageboxInput(QString strInput);
    void slotDelteDetailItem(QWidget *pWidget);

private:
    enum class CommitResult
    {
        Done,
        EmptyName,
        ContactGone
    };

    // Rebuilds every row from the store; false (and no rows) when there is no such contact.
    bool rebuildRows();
    void clearRows();
    void buildLocalRows(const LocalContact &contact);
    void buildRemoteRows(const RemoteContact &contact);
    ListContactDetailItem *appendDetailRow(const QString &label, const QString &icon,
                                           const QString &value, int type, bool numbers);
    void appendRow(QWidget *widget, const QSize &size);
    void setEditMode(bool editing);
    void updateEditButton();
    void showAddItemRow(bool show);
    int addItemRow() const;
    CommitResult commitLocal();
    CommitResult commitRemote();
    // The commit found no contact: a warning, and the pane is left empty and out of edit mode.
    void dropVanishedContact();

    QPointer<QListWidget> m_list;       // not owned
    QPointer<QPushButton> m_editButton; // not owned
    ContactDetailPrompts m_prompts;
    int m_dirType = 1;
    int m_contactId = -1;
    int m_groupId = -1;
    bool m_editing = false;
};
