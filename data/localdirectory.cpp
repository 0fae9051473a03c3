#include "data/localdirectory.h"

#include "data/atomicfileset.h"
#include "data/contactidlisteditor.h"
#include "data/inputfile.h"
#include "data/localcsvformat.h"
#include "data/localxmlformat.h"
#include "data/phonebookfilekind.h"
#include "shell/langtranslater.h"

#include <QDebug>

#include <algorithm>

LocalDirectory &LocalDirectory::instance()
{
    static LocalDirectory directory;
    return directory;
}

LocalDirectory::LocalDirectory() = default;

LocalDirectory::~LocalDirectory() = default;

QList<LocalGroup *> LocalDirectory::groups() const
{
    QList<LocalGroup *> result;
    result.reserve(static_cast<int>(m_groups.size()));
    for (const auto &group : m_groups)
        result.append(group.get());
    return result;
}

QVector<LocalContact *> LocalDirectory::contacts() const
{
    QVector<LocalContact *> result;
    result.reserve(static_cast<int>(m_contacts.size()));
    for (const auto &contact : m_contacts)
        result.append(contact.get());
    return result;
}

LocalGroup *LocalDirectory::findGroup(int groupId) const
{
    return m_groupById.value(groupId);
}

LocalContact *LocalDirectory::findContact(int contactId) const
{
    return m_contactById.value(contactId);
}

QString LocalDirectory::groupName(int groupId) const
{
    const LocalGroup *group = findGroup(groupId);
    return group ? group->name : QString();
}

int LocalDirectory::contactCount(int groupId) const
{
    if (groupId == -1)
        return static_cast<int>(m_contacts.size());
    const LocalGroup *group = findGroup(groupId);
    return group ? group->contactIds.size() : 0;
}

PhonebookResult LocalDirectory::addContact(int groupId, LocalContact **contact)
{
    if (m_contacts.size() >= static_cast<size_t>(MaxContacts))
        return PhonebookResult::LimitReached;
    const LocalGroup *group = findGroup(groupId);
    if (!group)
        return PhonebookResult::NoSuchGroup;

    m_changed = true;
    QSet<QString> names;
    names.reserve(static_cast<int>(m_contacts.size()));
    for (const auto &existing : m_contacts)
        names.insert(existing->display_name);

    auto created = std::make_unique<LocalContact>();
    created->id = ++m_lastContactId;
    created->display_name = uniqueName(Langtranslater::lookup(QStringLiteral("Name")), names);
    created->group_id_name = group->name;
    created->groupId = group->id;
    LocalContact *raw = created.get();
    m_contacts.push_back(std::move(created));
    m_contactById.insert(raw->id, raw);
    linkContact(raw);
    if (contact)
        *contact = raw;
    return PhonebookResult::Done;
}

LocalGroup *LocalDirectory::addGroup()
{
    m_changed = true;
    QSet<QString> names;
    for (const auto &group : m_groups)
        names.insert(group->name);
    return appendGroup(uniqueName(Langtranslater::lookup(QStringLiteral("Default")), names));
}

bool LocalDirectory::deleteContact(int groupId, int contactId)
{
    Q_UNUSED(groupId) // the contact's own group is what counts
    m_changed = true;
    deleteContacts({contactId});
    return true;
}

bool LocalDirectory::deleteGroup(int groupId)
{
    m_changed = true;
    const LocalGroup *group = findGroup(groupId);
    if (!group)
        return true;
    const QList<int> contactIds = group->contactIds;
    deleteContacts(contactIds);

    m_groupById.remove(groupId);
    m_nameIndexStale = true;
    const auto it = std::find_if(m_groups.begin(), m_groups.end(),
                                 [group](const auto &g) { return g.get() == group; });
    m_groups.erase(it);
    return true;
}

PhonebookResult LocalDirectory::renameGroup(int groupId, const QString &name)
{
    m_changed = true;
    LocalGroup *group = findGroup(groupId);
    if (!group)
        return PhonebookResult::NoSuchGroup;
    if (name == group->name)
        return PhonebookResult::Done;
    if (hasGroupNamed(name))
        return PhonebookResult::NameTaken;
    group->name = name;
    m_nameIndexStale = true;
    for (const auto &contact : m_contacts) {
        if (contact->groupId == groupId)
            contact->group_id_name = name;
    }
    return PhonebookResult::Done;
}

void LocalDirectory::updateContact(int contactId, const LocalContact &source)
{
    m_changed = true;
    LocalContact *contact = findContact(contactId);
    if (!contact)
        return;
    qDebug() << "Update local contact, ContactId:" << contactId << source.display_name;
    contact->display_name = source.display_name;
    contact->office_number = source.office_number;
    contact->mobile_number = source.mobile_number;
    contact->other_number = source.other_number;
    contact->auto_divert = source.auto_divert;
    contact->line = source.line;
}

int LocalDirectory::moveContacts(const QList<int> &contactIds, int srcGroupId, int dstGroupId)
{
    Q_UNUSED(srcGroupId)
    // An unknown target would leave the contacts listed nowhere.
    if (!findGroup(dstGroupId))
        return 0;
    EditorMap editors;
    int moved = 0;
    for (const int id : contactIds) {
        const LocalContact *contact = findContact(id);
        if (!contact || contact->groupId == dstGroupId)
            continue;
        ++moved;
        // Where it comes from is the record's own group, whatever list the caller showed.
        const bool fromBlocklist = contact->groupId == BlocklistId;
        if (dstGroupId == BlocklistId) {
            if (ContactIdListEditor *all = editorFor(editors, AllContactsId))
                all->remove(id);
        }
        if (contact->groupId != AllContactsId) {
            if (ContactIdListEditor *own = editorFor(editors, contact->groupId))
                own->remove(id);
        }
        if (fromBlocklist && dstGroupId != AllContactsId) {
            addContactIdToGroup(editors, AllContactsId, id, false, false);
            addContactIdToGroup(editors, dstGroupId, id, true, false);
        } else {
            // A contact moved into "All Contacts" is already listed there; it still has to
            // leave its old group in the record, or a save and reload would put it back.
            addContactIdToGroup(editors, dstGroupId, id, true, dstGroupId == AllContactsId);
        }
    }
    for (auto &entry : editors)
        entry.second->commit();
    // A move is an edit like any other: closing without saving must ask first.
    if (moved > 0)
        m_changed = true;
    return moved;
}

void LocalDirectory::searchContacts(int groupId, const QString &key,
                                    QList<LocalContact *> &result) const
{
    const LocalGroup *group = findGroup(groupId);
    if (!group)
        return;
    // Contact ids run from 1 to m_lastContactId: a bit per id keeps each contact to one hit.
    std::vector<bool> seen(static_cast<size_t>(m_lastContactId) + 1, false);
    for (const int id : group->contactIds) {
        LocalContact *contact = findContact(id);
        if (!contact || seen[static_cast<size_t>(id)])
            continue;
        if (key.isEmpty() || contact->display_name.contains(key, Qt::CaseInsensitive) ||
            contact->office_number.contains(key, Qt::CaseInsensitive) ||
            contact->mobile_number.contains(key, Qt::CaseInsensitive) ||
            contact->other_number.contains(key, Qt::CaseInsensitive)) {
            seen[static_cast<size_t>(id)] = true;
            result.append(contact);
        }
    }
}

bool LocalDirectory::isGroupEditable(int groupId) const
{
    return groupId != AllContactsId && groupId != BlocklistId;
}

void LocalDirectory::initDefaultGroup()
{
    m_contactById.clear();
    m_groupById.clear();
    m_groupsByName.clear();
    m_nameIndexStale = false;
    m_contacts.clear();
    m_groups.clear();
    m_lastGroupId = -1;
    appendGroup(allContactsName());
    appendGroup(blocklistName());
    m_lastContactId = 0;
    m_changed = false;
}

bool LocalDirectory::isLocalFile(const QString &path)
{
    return PhonebookFileKind::probeLocal(path) != PhonebookFileKind::NotAPhonebook;
}

bool LocalDirectory::importFile(const QString &path)
{
    const PhonebookFileKind::Kind format = PhonebookFileKind::localFormat(path);
    if (format == PhonebookFileKind::NotAPhonebook) {
        m_readResult =
            ReadResult::failed(ReadResult::NotRead, path, 0,
                               QStringLiteral("has neither an .xml nor a .csv extension"));
        return false;
    }
    // Read everything before resetting, so that a file we cannot read costs nothing.
    QByteArray content;
    QString problem;
    if (!InputFile::read(path, &content, &problem)) {
        m_readResult = ReadResult::failed(ReadResult::NotRead, path, 0, problem);
        return false;
    }

    initDefaultGroup();
    m_readResult = format == PhonebookFileKind::LocalXml ? LocalXmlFormat::read(content, *this)
                                                         : LocalCsvFormat::read(content, *this);
    m_readResult.file = path;
    if (m_readResult.isPartlyRead())
        qDebug() << "Local phonebook read stopped:" << m_readResult.describe();
    return true;
}

bool LocalDirectory::saveFile(const QString &path)
{
    const PhonebookFileKind::Kind format = PhonebookFileKind::localFormat(path);
    if (format == PhonebookFileKind::NotAPhonebook) {
        m_saveError = QStringLiteral("the name has neither an .xml nor a .csv extension");
        return false;
    }
    if (format == PhonebookFileKind::LocalXml)
        qDebug() << "SaveLocalDirectoryXml" << path;

    AtomicFileSet files;
    if (QIODevice *device = files.beginFile(path)) {
        if (format == PhonebookFileKind::LocalXml)
            LocalXmlFormat::write(*this, device);
        else
            LocalCsvFormat::write(*this, device);
    }
    // The set saw every write; its commit leaves the old file untouched on any failure.
    if (!files.commit()) {
        m_saveError = files.reason();
        qDebug() << "Save local phonebook failed:" << files.errorString();
        return false;
    }
    m_saveError.clear();
    m_changed = false;
    return true;
}

QString LocalDirectory::uniqueName(const QString &base, const QSet<QString> &existing)
{
    if (!existing.contains(base))
        return base;
    for (int i = 1; i <= 999; ++i) {
        const QString candidate = base + QString::number(i);
        if (!existing.contains(candidate))
            return candidate;
    }
    return base;
}

void LocalDirectory::linkContact(LocalContact *contact)
{
    if (!m_groups.empty() && contact->group_id_name != blocklistName()) {
        LocalGroup *first = m_groups.front().get();
        contact->groupId = first->id;
        first->contactIds.append(contact->id);
    }
    if (LocalGroup *named = findNamedGroupAfterFirst(contact->group_id_name)) {
        contact->groupId = named->id;
        named->contactIds.append(contact->id);
        return;
    }
    if (contact->group_id_name == allContactsName())
        return;
    LocalGroup *created = appendGroup(contact->group_id_name);
    contact->groupId = created->id;
    created->contactIds.append(contact->id);
}

bool LocalDirectory::hasGroupNamed(const QString &name) const
{
    if (m_nameIndexStale)
        rebuildNameIndex();
    return m_groupsByName.contains(name);
}

LocalGroup *LocalDirectory::appendGroup(const QString &name)
{
    auto group = std::make_unique<LocalGroup>();
    group->name = name;
    group->id = ++m_lastGroupId;
    LocalGroup *raw = group.get();
    m_groups.push_back(std::move(group));
    m_groupById.insert(raw->id, raw);
    if (!m_nameIndexStale)
        m_groupsByName[name].append(raw);
    return raw;
}

LocalContact *LocalDirectory::appendContact(std::unique_ptr<LocalContact> contact)
{
    contact->id = ++m_lastContactId;
    if (contact->group_id_name.isEmpty())
        contact->group_id_name = allContactsName();
    LocalContact *raw = contact.get();
    m_contacts.push_back(std::move(contact));
    m_contactById.insert(raw->id, raw);
    linkContact(raw);
    return raw;
}

LocalGroup *LocalDirectory::findNamedGroupAfterFirst(const QString &name) const
{
    if (m_groups.empty())
        return nullptr;
    if (m_nameIndexStale)
        rebuildNameIndex();
    const auto it = m_groupsByName.constFind(name);
    if (it == m_groupsByName.constEnd())
        return nullptr;
    const LocalGroup *first = m_groups.front().get();
    for (LocalGroup *group : it.value()) {
        if (group != first)
            return group;
    }
    return nullptr;
}

void LocalDirectory::rebuildNameIndex() const
{
    m_groupsByName.clear();
    for (const auto &group : m_groups)
        m_groupsByName[group->name].append(group.get());
    m_nameIndexStale = false;
}

ContactIdListEditor *LocalDirectory::editorFor(EditorMap &editors, int groupId)
{
    const auto it = editors.find(groupId);
    if (it != editors.end())
        return it->second.get();
    LocalGroup *group = findGroup(groupId);
    if (!group)
        return nullptr;
    auto editor = std::make_unique<ContactIdListEditor>(&group->contactIds);
    ContactIdListEditor *raw = editor.get();
    editors.emplace(groupId, std::move(editor));
    return raw;
}

void LocalDirectory::deleteContacts(const QList<int> &contactIds)
{
    // One pass per touched list instead of one per contact: deleting a group of 50 000
    // contacts would otherwise rescan "All Contacts" 50 000 times.
    EditorMap editors;
    QSet<int> doomed;
    for (const int id : contactIds) {
        const LocalContact *contact = findContact(id);
        if (!contact)
            continue;
        if (ContactIdListEditor *own = editorFor(editors, contact->groupId))
            own->remove(id);
        if (ContactIdListEditor *all = editorFor(editors, AllContactsId))
            all->remove(id);
        m_contactById.remove(id);
        doomed.insert(id);
    }
    if (doomed.isEmpty())
        return;
    for (auto &entry : editors)
        entry.second->commit();
    m_contacts.erase(std::remove_if(m_contacts.begin(), m_contacts.end(),
                                    [&doomed](const std::unique_ptr<LocalContact> &contact) {
                                        return doomed.contains(contact->id);
                                    }),
                     m_contacts.end());
}

void LocalDirectory::addContactIdToGroup(EditorMap &editors, int groupId, int contactId,
                                         bool update, bool updateWhenListed)
{
    ContactIdListEditor *editor = editorFor(editors, groupId);
    if (!editor)
        return;
    if (editor->contains(contactId)) {
        if (!updateWhenListed)
            return;
    } else {
        editor->append(contactId);
    }
    if (!update)
        return;
    if (LocalContact *contact = findContact(contactId)) {
        const LocalGroup *group = findGroup(groupId);
        contact->groupId = group->id;
        contact->group_id_name = group->name;
    }
}
