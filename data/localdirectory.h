#pragma once

#include "data/localcontact.h"
#include "data/localgroup.h"
#include "data/phonebookresult.h"
#include "data/readresult.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QVector>

#include <map>
#include <memory>
#include <vector>

class ContactIdListEditor;

// The local phonebook: a flat list of groups (index 0 "All Contacts", index 1 "Blocklist") and
// a flat list of contacts. The store owns every record; callers get non-owning pointers that stay
// valid until the record is deleted or the phonebook is reset or imported. GUI thread only.
class LocalDirectory
{
public:
    static constexpr int AllContactsId = 0;
    static constexpr int BlocklistId = 1;
    // Contacts addContact accepts; imports may hold more.
    static constexpr int MaxContacts = 1000;

    static QString allContactsName() { return QStringLiteral("All Contacts"); }
    static QString blocklistName() { return QStringLiteral("Blocklist"); }

    // The process-wide store, created on first use.
    static LocalDirectory &instance();

    // A separate, empty store (no groups until initDefaultGroup()).
    LocalDirectory();
    ~LocalDirectory();
    LocalDirectory(const LocalDirectory &) = delete;
    LocalDirectory &operator=(const LocalDirectory &) = delete;

    // Copies of the ordered lists.
    QList<LocalGroup *> groups() const;
    QVector<LocalContact *> contacts() const;

    LocalGroup *findGroup(int groupId) const;
    LocalContact *findContact(int contactId) const;
    QString groupName(int groupId) const;
    // -1: all contacts; otherwise the length of the group's list, 0 for an unknown group.
    int contactCount(int groupId) const;

    // Done, NoSuchGroup or LimitReached; on Done *contact (when given) is the new contact.
    PhonebookResult addContact(int groupId, LocalContact **contact);
    LocalGroup *addGroup();
    bool deleteContact(int groupId, int contactId);
    // Deletes the group's contacts from the whole phonebook, then the group.
    bool deleteGroup(int groupId);
    // Done, NameTaken or NoSuchGroup.
    PhonebookResult renameGroup(int groupId, const QString &name);
    // Copies the fields the detail editor edits; everything else stays.
    void updateContact(int contactId, const LocalContact &source);
    // Moves the listed contacts that exist and are not in dstGroupId already; the contact's own
    // group decides where it leaves (srcGroupId only names the caller's view). Refuses an
    // unknown target. Sets the changed flag when anything moved; returns how many moved.
    int moveContacts(const QList<int> &contactIds, int srcGroupId, int dstGroupId);
    // Appends the group's contacts that contain key in their name or a number (any case).
    void searchContacts(int groupId, const QString &key, QList<LocalContact *> &result) const;
    bool isGroupEditable(int groupId) const;
    void initDefaultGroup();
    bool isChanged() const { return m_changed; }

    // XML or CSV by the path's extension (PhonebookFileKind::localFormat), and content that looks
    // like a local phonebook of that format. Files that InputFile refuses (not regular, larger
    // than InputFile::MaxFileBytes) are not local files.
    static bool isLocalFile(const QString &path);
    // Replaces the phonebook with the file's; a path that cannot be read or is refused leaves it
    // untouched and returns false. True means the phonebook now holds what was read: check
    // readResult(), which says whether reading stopped early (malformed XML) and where.
    bool importFile(const QString &path);
    // How the last importFile went: NotRead (with the reason) after false; Complete, or
    // PartlyRead with the line and reason of the problem, after true.
    const ReadResult &readResult() const { return m_readResult; }
    // Writes atomically: every write, the flush and the sync are checked, and a failed save
    // leaves the previous file byte for byte as it was.
    bool saveFile(const QString &path);
    // Why the last saveFile failed, as the system said it ("No space left on device"); empty
    // after a successful one.
    QString saveError() const { return m_saveError; }

    // base, else base1 .. base999, else base again.
    static QString uniqueName(const QString &base, const QSet<QString> &existing);

    int lastContactId() const { return m_lastContactId; }
    int lastGroupId() const { return m_lastGroupId; }

private:
    // The file readers fill a freshly reset store through the building blocks below, which
    // neither mark the phonebook changed nor apply the contact limit.
    friend class LocalXmlFormat;
    friend class LocalCsvFormat;

    using EditorMap = std::map<int, std::unique_ptr<ContactIdListEditor>>;

    // Attaches a contact just appended to the contacts by its group_id_name, creating the
    // group when no group of that name exists.
    void linkContact(LocalContact *contact);
    bool hasGroupNamed(const QString &name) const;
    LocalGroup *appendGroup(const QString &name);
    // Gives the contact the next id, appends and links it; an empty group name means
    // "All Contacts" so that no nameless group appears.
    LocalContact *appendContact(std::unique_ptr<LocalContact> contact);

    // First group from index 1 on with that name (how linkContact matches names).
    LocalGroup *findNamedGroupAfterFirst(const QString &name) const;
    void rebuildNameIndex() const;
    ContactIdListEditor *editorFor(EditorMap &editors, int groupId);
    void deleteContacts(const QList<int> &contactIds);
    void addContactIdToGroup(EditorMap &editors, int groupId, int contactId, bool update,
                             bool updateWhenListed);

    std::vector<std::unique_ptr<LocalGroup>> m_groups;     // owned
    std::vector<std::unique_ptr<LocalContact>> m_contacts; // owned
    // Indexes beside the ordered lists; they never change the order.
    QHash<int, LocalGroup *> m_groupById;     // not owned
    QHash<int, LocalContact *> m_contactById; // not owned
    // Name -> groups of that name in store order; rebuilt after renames and deletes.
    mutable QHash<QString, QVector<LocalGroup *>> m_groupsByName; // not owned
    mutable bool m_nameIndexStale = false;
    int m_lastContactId = 0;
    int m_lastGroupId = 0;
    bool m_changed = false;
    QString m_saveError;
    ReadResult m_readResult;
};
