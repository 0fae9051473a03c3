#pragma once

#include "data/phonebookresult.h"
#include "data/readresult.h"
#include "data/remotecontact.h"
#include "data/remotegroup.h"

#include <QList>

#include <QMap>
#include <QString>
#include <functional>

#include <map>
#include <memory>

// The remote phonebook in memory: a tree of menu groups whose leaves are directory groups of
// contacts. Groups and contacts draw their ids from one counter; the root is group 0. The store
// owns every record; the pointers it hands out stay valid until that record is deleted or the
// phonebook is reset or imported. GUI thread only.
class RemoteDirectory
{
public:
    // The editor's one store, created on first use. Tests and tools may build their own.
    static RemoteDirectory &instance();

    RemoteDirectory();
    ~RemoteDirectory();
    RemoteDirectory(const RemoteDirectory &) = delete;
    RemoteDirectory &operator=(const RemoteDirectory &) = delete;

    RemoteGroup *findGroup(int groupId);
    const RemoteGroup *findGroup(int groupId) const;
    RemoteContact *findContact(int contactId);
    const RemoteContact *findContact(int contactId) const;
    QString groupName(int groupId) const;
    // -1: every contact; a directory: its entries; a menu: the sum over its sub-groups.
    int contactCount(int groupId) const;
    // Done, or NoSuchGroup when no group with that id can take contacts. The new contact has
    // three empty numbers and turns the group into a directory; *contact (when given) points at it.
    PhonebookResult addContact(int groupId, RemoteContact **contact);
    // A new empty menu under a menu; none when the parent is unknown or is a directory.
    RemoteGroup *addGroup(int parentGroupId);
    bool deleteContact(int groupId, int contactId);
    // Deletes the group with its whole subtree and every contact below it.
    bool deleteGroup(int groupId);
    // Done or NoSuchGroup; names need not be unique.
    PhonebookResult renameGroup(int groupId, const QString &name);
    // Takes name, photo and extras; number values by position, keeping the stored labels.
    bool updateContact(int contactId, const RemoteContact &source);
    // Moves the contacts srcGroupId lists into dstGroupId when that group can hold contacts.
    // Sets the changed flag when anything moved; returns how many moved.
    int moveContacts(const QList<int> &contactIds, int srcGroupId, int dstGroupId);
    // Appends the group's contacts whose name or a number contains key (any case).
    void searchContacts(int groupId, const QString &key, QList<RemoteContact *> &result);
    // True for a directory and for a menu that lists nothing.
    bool canHoldContacts(int groupId) const;

    void getNumberLabels(QString &label1, QString &label2, QString &label3) const;
    void setNumberLabels(const QString &label1, const QString &label2, const QString &label3);

    // Root plus one empty group; the number labels are kept.
    void initDefaultGroup();
    // Root only, ids restart; the number labels are kept.
    void resetToRoot();
    bool isChanged() const { return m_changed; }

    // Whether the file is a menu or directory file; the store is not touched.
    static bool isRemoteFile(const QString &path);
    // Replaces the phonebook with the file and the files its menus lead to. On false (no .xml
    // extension, the file unreadable or refused) the phonebook is as it was. True means the
    // phonebook holds what was read: readResult() says whether that is everything (see
    // RemotePhonebookReader for the limits an import stops at).
    bool importFile(const QString &path);
    // How the last importFile went: NotRead after false; Complete, or PartlyRead naming the first
    // file that was malformed or could not be read, or the limit reached, after true.
    const ReadResult &readResult() const { return m_readResult; }
    // Where saved menus point their URLs; the program installs the HTTP server's base URL at
    // start, so the data layer never asks the server itself. Unset, URLs are relative.
    using BaseUrlProvider = std::function<QString()>;
    static void setBaseUrlProvider(BaseUrlProvider provider);
    static QString baseUrlFromProvider();
    // Writes the tree with URLs based on the installed provider's base URL, all files or none:
    // when any file cannot be written, every file is left as it was (saveError() names the file
    // and the reason, and any file the system would not let be put back).
    bool saveFile(const QString &path);
    // Same with the URL prefix given; baseUrl should end with "/".
    bool saveFile(const QString &path, const QString &baseUrl);
    // Which file the last saveFile could not write and why; empty after a complete save.
    QString saveError() const { return m_saveError; }
    // Re-points the URLs of every menu file in folder at ip:port. Always true.
    static bool updateTargetUrls(const QString &folder, const QString &ip, int port);

    // Ids in ascending order, root included.
    QList<int> groupIds() const;
    QList<int> contactIds() const;
    QString baseDir() const { return m_baseDir; }
    QString baseUrl() const { return m_baseUrl; }
    // File-name part given to the group by the last save; empty when it had none.
    QString fileNamePart(int groupId) const { return m_fileNames.value(groupId); }

    static QString defaultNumberLabel(int position); // "Number1".."Number3" for 0..2

private:
    friend class RemotePhonebookReader;

    RemoteGroup *createGroup();
    RemoteContact *createContact();
    void destroyContact(int contactId);
    void addContactIdToGroup(int groupId, int contactId);
    QString uniqueName(const QString &base, bool forGroup) const;

    std::map<int, std::unique_ptr<RemoteGroup>> m_groups;     // owned
    std::map<int, std::unique_ptr<RemoteContact>> m_contacts; // owned
    int m_lastId = 0;
    QString m_baseDir;
    QString m_baseUrl;
    QString m_numberLabels[3];
    bool m_changed = false;
    QMap<int, QString> m_fileNames;
    QString m_saveError;
    ReadResult m_readResult;
};
