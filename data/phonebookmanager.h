#pragma once

#include "data/phonebookresult.h"
#include "data/readresult.h"

#include <QList>
#include <QString>

// The one entry point for the phonebook operations that name the kind: each forwards to the
// local (DirType 1) or the remote (DirType 2) store, logs what destroys or renames, and answers
// any other kind with a neutral result. Static only, never instantiated.
class PhonebookManager
{
public:
    enum DirType
    {
        LocalDir = 1,
        RemoteDir = 2
    };

    PhonebookManager() = delete;

    static bool deleteContact(int dirType, int groupId, int contactId);
    static bool deleteGroup(int dirType, int groupId);
    static int contactCount(int dirType, int groupId);
    static QString groupName(int dirType, int groupId);
    static void initDefaultGroup(int dirType);
    // False only for the two built-in local groups.
    static bool isGroupEditable(int dirType, int groupId);
    static bool isChanged(int dirType);
    // Every local group takes contacts; a remote one unless it is a menu with sub-groups.
    static bool canHoldContacts(int dirType, int groupId);
    // An empty list does nothing at all. Returns how many contacts the store moved.
    static int moveContactsToGroup(int dirType, const QList<int> &contactIds, int srcGroupId,
                                    int dstGroupId);
    // A remote phonebook's menu items point at the HTTP server's current address.
    static bool saveFile(int dirType, const QString &path);
    // How the kind's last import went (see ReadResult): an import workflow warns about a
    // PartlyRead file and does not make it the current file. NotRead for any other kind.
    static ReadResult readResult(int dirType);
    // EmptyName before any store is asked; otherwise the store's result (NameTaken only for a
    // local group); Done for any other kind.
    static PhonebookResult updateGroup(int dirType, int groupId, const QString &name);
    // Re-points the saved menu files in <working directory>/target at ip:port.
    static void updateTargetFileUrl(const QString &ip, int port);
};
