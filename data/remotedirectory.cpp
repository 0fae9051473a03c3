#include "data/remotedirectory.h"

#include "data/remotephonebookreader.h"
#include "data/remotephonebookwriter.h"
#include "data/remoteurlupdater.h"
#include "shell/langtranslater.h"

#include <QDebug>

namespace {
const int rootId = 0;
} // namespace

RemoteDirectory &RemoteDirectory::instance()
{
    static RemoteDirectory directory;
    return directory;
}

RemoteDirectory::RemoteDirectory()
{
    for (int i = 0; i < 3; ++i)
        m_numberLabels[i] = defaultNumberLabel(i);
}

RemoteDirectory::~RemoteDirectory() = default;

QString RemoteDirectory::defaultNumberLabel(int position)
{
    return QStringLiteral("Number%1").arg(position + 1);
}

RemoteGroup *RemoteDirectory::findGroup(int groupId)
{
    const auto it = m_groups.find(groupId);
    return it == m_groups.end() ? nullptr : it->second.get();
}

const RemoteGroup *RemoteDirectory::findGroup(int groupId) const
{
    const auto it = m_groups.find(groupId);
    return it == m_groups.end() ? nullptr : it->second.get();
}

RemoteContact *RemoteDirectory::findContact(int contactId)
{
    const auto it = m_contacts.find(contactId);
    return it == m_contacts.end() ? nullptr : it->second.get();
}

const RemoteContact *RemoteDirectory::findContact(int contactId) const
{
    const auto it = m_contacts.find(contactId);
    return it == m_contacts.end() ? nullptr : it->second.get();
}

QString RemoteDirectory::groupName(int groupId) const
{
    const RemoteGroup *group = findGroup(groupId);
    return group ? group->name : QString();
}

int RemoteDirectory::contactCount(int groupId) const
{
    if (groupId == -1)
        return int(m_contacts.size());
    const RemoteGroup *group = findGroup(groupId);
    if (!group)
        return 0;
    if (!group->isMenu)
        return group->childIds.size();
    int count = 0;
    for (int childId : group->childIds)
        count += contactCount(childId);
    return count;
}

RemoteGroup *RemoteDirectory::createGroup()
{
    auto group = std::make_unique<RemoteGroup>();
    group->id = ++m_lastId;
    RemoteGroup *raw = group.get();
    m_groups.emplace_hint(m_groups.end(), raw->id, std::move(group));
    return raw;
}

RemoteContact *RemoteDirectory::createContact()
{
    auto contact = std::make_unique<RemoteContact>();
    contact->id = ++m_lastId;
    RemoteContact *raw = contact.get();
    m_contacts.emplace_hint(m_contacts.end(), raw->id, std::move(contact));
    return raw;
}

void RemoteDirectory::destroyContact(int contactId)
{
    m_contacts.erase(contactId);
}

QString RemoteDirectory::uniqueName(const QString &base, bool forGroup) const
{
    // One pass marking which of base, base1 .. base999 are taken: no copies, so adding to a
    // phonebook of any size stays cheap.
    bool taken[1000] = {};
    const auto mark = [&](const QString &name) {
        const int extra = name.size() - base.size();
        if (extra < 0 || extra > 3 || !name.startsWith(base))
            return;
        if (extra == 0) {
            taken[0] = true;
            return;
        }
        int number = 0;
        for (int i = base.size(); i < name.size(); ++i) {
            const ushort u = name.at(i).unicode();
            if (u < '0' || u > '9' || (i == base.size() && u == '0'))
                return;
            number = number * 10 + (u - '0');
        }
        taken[number] = true;
    };
    if (forGroup) {
        for (const auto &entry : m_groups)
            mark(entry.second->name);
    } else {
        for (const auto &entry : m_contacts)
            mark(entry.second->name);
    }
    for (int i = 0; i <= 999; ++i) {
        if (!taken[i])
            return i == 0 ? base : base + QString::number(i);
    }
    return base;
}

PhonebookResult RemoteDirectory::addContact(int groupId, RemoteContact **contact)
{
    m_changed = true;
    RemoteGroup *group = findGroup(groupId);
    // A menu that lists sub-groups cannot list contacts too: its file would lose one or the other.
    if (!group || !canHoldContacts(groupId))
        return PhonebookResult::NoSuchGroup;
    const QString name = uniqueName(Langtranslater::lookup(QStringLiteral("Name")), false);
    RemoteContact *created = createContact();
    created->name = name;
    created->numbers.resize(3);
    group->childIds.append(created->id);
    group->isMenu = false;
    if (contact)
        *contact = created;
    return PhonebookResult::Done;
}

RemoteGroup *RemoteDirectory::addGroup(int parentGroupId)
{
    m_changed = true;
    RemoteGroup *parent = findGroup(parentGroupId);
    // A directory file lists contacts only, so a group under it could never be reached.
    if (!parent || !parent->isMenu)
        return nullptr;
    const QString name = uniqueName(Langtranslater::lookup(QStringLiteral("Default")), true);
    RemoteGroup *group = createGroup();
    group->name = name;
    group->parentId = parent->id;
    parent->childIds.append(group->id);
    return group;
}

void RemoteDirectory::addContactIdToGroup(int groupId, int contactId)
{
    RemoteGroup *group = findGroup(groupId);
    if (!group)
        return;
    group->childIds.append(contactId);
    group->isMenu = false;
}

bool RemoteDirectory::deleteContact(int groupId, int contactId)
{
    m_changed = true;
    destroyContact(contactId);
    if (RemoteGroup *group = findGroup(groupId))
        group->childIds.removeOne(contactId);
    return true;
}

bool RemoteDirectory::deleteGroup(int groupId)
{
    m_changed = true;
    RemoteGroup *group = findGroup(groupId);
    if (!group)
        return false;
    if (group->parentId != -1) {
        if (RemoteGroup *parent = findGroup(group->parentId))
            parent->childIds.removeOne(groupId);
    }
    const QList<int> children = group->childIds;
    const bool isMenu = group->isMenu;
    for (int childId : children) {
        if (isMenu)
            deleteGroup(childId);
        else
            destroyContact(childId);
    }
    if (groupId == rootId) {
        // The root stays so that the phonebook keeps its anchor; it is emptied instead.
        group->childIds.clear();
        group->isMenu = true;
        return true;
    }
    m_groups.erase(groupId);
    return true;
}

PhonebookResult RemoteDirectory::renameGroup(int groupId, const QString &name)
{
    m_changed = true;
    RemoteGroup *group = findGroup(groupId);
    if (!group)
        return PhonebookResult::NoSuchGroup;
    group->name = name;
    return PhonebookResult::Done;
}

bool RemoteDirectory::updateContact(int contactId, const RemoteContact &source)
{
    m_changed = true;
    RemoteContact *contact = findContact(contactId);
    if (!contact)
        return false;
    qDebug() << "Update remote contact, ContactId:" << contactId;
    contact->name = source.name;
    contact->customPhoto = source.customPhoto;
    const int common = std::min(source.numbers.size(), contact->numbers.size());
    for (int i = 0; i < common; ++i)
        contact->numbers[i].value = source.numbers.at(i).value;
    contact->extras = source.extras;
    return true;
}

int RemoteDirectory::moveContacts(const QList<int> &contactIds, int srcGroupId, int dstGroupId)
{
    qDebug() << "MoveContactToGroup" << srcGroupId << dstGroupId;
    RemoteGroup *source = findGroup(srcGroupId);
    // Moving into a group that cannot list contacts would orphan them or break its menu.
    if (!source || !canHoldContacts(dstGroupId) || srcGroupId == dstGroupId)
        return 0;
    int moved = 0;
    for (int contactId : contactIds) {
        // Only contacts the source really lists move, so no contact ends up in two groups.
        if (!findContact(contactId) || !source->childIds.removeOne(contactId))
            continue;
        addContactIdToGroup(dstGroupId, contactId);
        ++moved;
    }
    // A move is an edit like any other: closing without saving must ask first.
    if (moved > 0)
        m_changed = true;
    return moved;
}

void RemoteDirectory::searchContacts(int groupId, const QString &key,
                                     QList<RemoteContact *> &result)
{
    const RemoteGroup *group = findGroup(groupId);
    if (!group)
        return;
    for (int childId : group->childIds) {
        RemoteContact *contact = findContact(childId);
        if (!contact)
            continue;
        bool match = contact->name.contains(key, Qt::CaseInsensitive);
        for (int i = 0; !match && i < contact->numbers.size(); ++i)
            match = contact->numbers.at(i).value.contains(key, Qt::CaseInsensitive);
        if (match)
            result.append(contact);
    }
}

bool RemoteDirectory::canHoldContacts(int groupId) const
{
    const RemoteGroup *group = findGroup(groupId);
    if (!group)
        return false;
    return !group->isMenu || group->childIds.isEmpty();
}

void RemoteDirectory::getNumberLabels(QString &label1, QString &label2, QString &label3) const
{
    label1 = m_numberLabels[0];
    label2 = m_numberLabels[1];
    label3 = m_numberLabels[2];
}

void RemoteDirectory::setNumberLabels(const QString &label1, const QString &label2,
                                      const QString &label3)
{
    m_changed = true;
    m_numberLabels[0] = label1;
    m_numberLabels[1] = label2;
    m_numberLabels[2] = label3;
}

void RemoteDirectory::initDefaultGroup()
{
    resetToRoot();
    const QString name = uniqueName(Langtranslater::lookup(QStringLiteral("Default")), true);
    RemoteGroup *group = createGroup();
    group->name = name;
    group->parentId = rootId;
    findGroup(rootId)->childIds.append(group->id);
}

void RemoteDirectory::resetToRoot()
{
    m_changed = false;
    m_lastId = 0;
    m_contacts.clear();
    m_groups.clear();
    auto root = std::make_unique<RemoteGroup>();
    root->id = rootId;
    root->name = QStringLiteral("Root Directory");
    root->isMenu = true;
    m_groups.emplace(rootId, std::move(root));
}

bool RemoteDirectory::isRemoteFile(const QString &path)
{
    return RemotePhonebookReader::isRemoteFile(path);
}

bool RemoteDirectory::importFile(const QString &path)
{
    RemotePhonebookReader reader(*this);
    const bool imported = reader.importFile(path);
    m_readResult = reader.result();
    return imported;
}

namespace {
RemoteDirectory::BaseUrlProvider &baseUrlProvider()
{
    static RemoteDirectory::BaseUrlProvider provider;
    return provider;
}
} // namespace

void RemoteDirectory::setBaseUrlProvider(BaseUrlProvider provider)
{
    baseUrlProvider() = std::move(provider);
}

QString RemoteDirectory::baseUrlFromProvider()
{
    const BaseUrlProvider &provider = baseUrlProvider();
    return provider ? provider() : QString();
}

bool RemoteDirectory::saveFile(const QString &path)
{
    return saveFile(path, baseUrlFromProvider());
}

bool RemoteDirectory::saveFile(const QString &path, const QString &baseUrl)
{
    RemotePhonebookWriter writer(*this, baseUrl);
    const bool written = writer.save(path);
    m_baseDir = writer.baseDir();
    m_baseUrl = baseUrl;
    m_fileNames = writer.fileNames();
    m_saveError = writer.error();
    // A failed save leaves the phonebook marked as changed, so nothing is closed unsaved.
    if (written)
        m_changed = false;
    return written;
}

bool RemoteDirectory::updateTargetUrls(const QString &folder, const QString &ip, int port)
{
    RemoteUrlUpdater::updateFolder(folder, ip, port);
    return true;
}

QList<int> RemoteDirectory::groupIds() const
{
    QList<int> ids;
    ids.reserve(int(m_groups.size()));
    for (const auto &entry : m_groups)
        ids.append(entry.first);
    return ids;
}

QList<int> RemoteDirectory::contactIds() const
{
    QList<int> ids;
    ids.reserve(int(m_contacts.size()));
    for (const auto &entry : m_contacts)
        ids.append(entry.first);
    return ids;
}
