#pragma once

#include <QDebug>
#include <QList>
#include <QMetaType>
#include <QVariant>

// Addresses a tree node by its path from the root: element 0 is the position among the top-level
// nodes, element k the position among the children reached after k steps. Positional: an index
// taken before a structure change may name another node afterwards.
class qvModelIndex
{
public:
    // Invalid.
    qvModelIndex();
    // Valid index for path.
    explicit qvModelIndex(const QList<int> &path);
    // Any value with an explicit validity flag; a value that is not an integer list names no node.
    qvModelIndex(const QVariant &value, bool valid);
    virtual ~qvModelIndex();
    qvModelIndex(const qvModelIndex &) = default;
    qvModelIndex &operator=(const qvModelIndex &) = default;

    // Registers the type under the name "qvModelIndex"; cheap to call again.
    static void RegisterMetaType();

    bool IsValid() const { return m_valid; }
    QVariant GetValue() const { return m_value; }
    // True when the value holds a QList<int>.
    bool IsIntList() const;
    // The path; empty when the value is not an integer list.
    QList<int> GetPath() const;
    // Valid and an integer list: the only indexes that can name a node.
    bool IsUsable() const { return m_valid && IsIntList(); }

    bool operator==(const qvModelIndex &other) const;
    bool operator!=(const qvModelIndex &other) const { return !(*this == other); }

private:
    QVariant m_value;
    bool m_valid = false;
};

Q_DECLARE_METATYPE(qvModelIndex)

QDebug operator<<(QDebug debug, const qvModelIndex &index);
