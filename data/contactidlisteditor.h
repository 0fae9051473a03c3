#pragma once

#include <QHash>
#include <QList>

#include <vector>

// Applies many removals and appends to one group's contact id list at linear total cost: the
// list is read once, edits are recorded, and commit() writes the result back. Without it, bulk
// moves and deletes over large groups would rescan the list for every id.
class ContactIdListEditor
{
public:
    explicit ContactIdListEditor(QList<int> *ids);

    bool contains(int id) const;
    // Removes every occurrence of the id.
    void remove(int id);
    void append(int id);
    // Writes the edited list back; the editor must not be used afterwards.
    void commit();

private:
    struct Entry
    {
        int id;
        int serial;
    };

    QList<int> *m_ids; // not owned
    std::vector<Entry> m_entries;
    QHash<int, int> m_liveCount;
    // Entries of an id older than this serial were removed.
    QHash<int, int> m_removedBefore;
    int m_nextSerial = 0;
    bool m_edited = false;
};
