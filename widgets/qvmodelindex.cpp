#include "widgets/qvmodelindex.h"

#include <QDebugStateSaver>

qvModelIndex::qvModelIndex() = default;

qvModelIndex::qvModelIndex(const QList<int> &path)
    : m_value(QVariant::fromValue(path)), m_valid(true)
{}

qvModelIndex::qvModelIndex(const QVariant &value, bool valid) : m_value(value), m_valid(valid) {}

qvModelIndex::~qvModelIndex() = default;

void qvModelIndex::RegisterMetaType()
{
    static const int id = qRegisterMetaType<qvModelIndex>("qvModelIndex");
    Q_UNUSED(id)
}

bool qvModelIndex::IsIntList() const
{
    return m_value.userType() == qMetaTypeId<QList<int>>();
}

QList<int> qvModelIndex::GetPath() const
{
    return IsIntList() ? m_value.value<QList<int>>() : QList<int>();
}

bool qvModelIndex::operator==(const qvModelIndex &other) const
{
    if (m_valid != other.m_valid)
        return false;
    if (IsIntList() && other.IsIntList())
        return GetPath() == other.GetPath();
    return m_value == other.m_value;
}

QDebug operator<<(QDebug debug, const qvModelIndex &index)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "qvModelIndex(";
    if (!index.IsValid())
        debug << "invalid ";
    if (index.IsIntList())
        debug << index.GetPath();
    else
        debug << index.GetValue();
    debug << ')';
    return debug;
}
