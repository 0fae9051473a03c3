#include "data/phonebookmanager.h"

#include "data/localdirectory.h"
#include "data/remotedirectory.h"

#include <QDebug>
#include <QDir>

bool PhonebookManager::deleteContact(int dirType, int groupId, int contactId)
{
    qDebug() << "Delete Contact, Dirtype:" << dirType << "GroupID:" << groupId
             << "ContactID:" << contactId;
    if (dirType == LocalDir)
        return LocalDirectory::instance().deleteContact(groupId, contactId);
    if (dirType == RemoteDir)
        return RemoteDirectory::instance().deleteContact(groupId, contactId);
    return false;
}

bool PhonebookManager::deleteGroup(int dirType, int groupId)
{
    qDebug() << "Delete Group, Dirtype:" << dirType << "GroupID:" << groupId;
    if (dirType == LocalDir)
        return LocalDirectory::instance().deleteGroup(groupId);
    if (dirType == RemoteDir)
        return RemoteDirectory::instance().deleteGroup(groupId);
    return false;
}

int PhonebookManager::contactCount(int dirType, int groupId)
{
    if (dirType == LocalDir)
        return LocalDirectory::instance().contactCount(groupId);
    if (dirType == RemoteDir)
        return RemoteDirectory::instance().contactCount(groupId);
    return 0;
}

QString PhonebookManager::groupName(int dirType, int groupId)
{
    if (dirType == LocalDir)
        return LocalDirectory::instance().groupName(groupId);
    if (dirType == RemoteDir)
        return RemoteDirectory::instance().groupName(groupId);
    return QString();
}

void PhonebookManager::initDefaultGroup(int dirType)
{
    qDebug() << "Init New Dafault Group, Dirtype:" << dirType;
    if (dirType == LocalDir)
        LocalDirectory::instance().initDefaultGroup();
    else if (dirType == RemoteDir)
        RemoteDirectory::instance().initDefaultGroup();
}

bool PhonebookManager::isGroupEditable(int dirType, int groupId)
{
    if (dirType == LocalDir)
        return LocalDirectory::instance().isGroupEditable(groupId);
    return true;
}

bool PhonebookManager::isChanged(int dirType)
{
    if (dirType == LocalDir)
        return LocalDirectory::instance().isChanged();
    if (dirType == RemoteDir)
        return RemoteDirectory::instance().isChanged();
    return false;
}

bool PhonebookManager::canHoldContacts(int dirType, int groupId)
{
    if (dirType == LocalDir)
        return true;
    if (dirType == RemoteDir)
        return RemoteDirectory::instance().canHoldContacts(groupId);
    return false;
}

int PhonebookManager::moveContactsToGroup(int dirType, const QList<int> &contactIds,
                                          int srcGroupId, int dstGroupId)
{
    if (contactIds.isEmpty())
        return 0;
    qDebug() << "Move Contact To Group, SrcGroupId:" << srcGroupId << "DstGroupId:" << dstGroupId
             << "size:" << contactIds.size();
    if (dirType == LocalDir)
        return LocalDirectory::instance().moveContacts(contactIds, srcGroupId, dstGroupId);
    if (dirType == RemoteDir)
        return RemoteDirectory::instance().moveContacts(contactIds, srcGroupId, dstGroupId);
    return 0;
}

bool PhonebookManager::saveFile(int dirType, const QString &path)
{
    if (dirType == LocalDir)
        return LocalDirectory::instance().saveFile(path);
    if (dirType == RemoteDir)
        return RemoteDirectory::instance().saveFile(path);
    return false;
}

ReadResult PhonebookManager::readResult(int dirType)
{
    if (dirType == LocalDir)
        return LocalDirectory::instance().readResult();
    if (dirType == RemoteDir)
        return RemoteDirectory::instance().readResult();
    return ReadResult();
}

PhonebookResult PhonebookManager::updateGroup(int dirType, int groupId, const QString &name)
{
    qDebug() << "Update Group, Dirtype:" << dirType << "GroupID:" << groupId
             << "Group Name:" << name;
    if (name.isEmpty())
        return PhonebookResult::EmptyName;
    if (dirType == LocalDir)
        return LocalDirectory::instance().renameGroup(groupId, name);
    if (dirType == RemoteDir)
        return RemoteDirectory::instance().renameGroup(groupId, name);
    return PhonebookResult::Done;
}

void PhonebookManager::updateTargetFileUrl(const QString &ip, int port)
{
    qDebug() << "Update Target File Url, IP:" << ip << "Port:" << port;
    RemoteDirectory::updateTargetUrls(QDir::current().absolutePath() + QStringLiteral("/target"),
                                      ip, port);
}
