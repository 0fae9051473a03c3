#include "data/contactidlisteditor.h"

ContactIdListEditor::ContactIdListEditor(QList<int> *ids) : m_ids(ids)
{
    m_entries.reserve(static_cast<size_t>(ids->size()));
    m_liveCount.reserve(ids->size());
    for (const int id : qAsConst(*ids)) {
        m_entries.push_back({id, m_nextSerial++});
        ++m_liveCount[id];
    }
}

bool ContactIdListEditor::contains(int id) const
{
    return m_liveCount.value(id) > 0;
}

void ContactIdListEditor::remove(int id)
{
    auto it = m_liveCount.find(id);
    if (it == m_liveCount.end() || it.value() == 0)
        return;
    it.value() = 0;
    m_removedBefore.insert(id, m_nextSerial);
    m_edited = true;
}

void ContactIdListEditor::append(int id)
{
    m_entries.push_back({id, m_nextSerial++});
    ++m_liveCount[id];
    m_edited = true;
}

void ContactIdListEditor::commit()
{
    if (!m_edited)
        return;
    QList<int> result;
    result.reserve(static_cast<int>(m_entries.size()));
    for (const Entry &entry : m_entries) {
        const auto removed = m_removedBefore.constFind(entry.id);
        if (removed != m_removedBefore.constEnd() && entry.serial < removed.value())
            continue;
        result.append(entry.id);
    }
    *m_ids = result;
    m_edited = false;
}
