#include "widgets/qvlistdatamodel.h"

#include <QMetaType>

qvListDataModel::qvListDataModel(QObject *parent) : qvDataModel(parent)
{
    // Lets RowsInsertedSignal cross queued connections and signal spies.
    qRegisterMetaType<size_t>("size_t");
}

bool qvListDataModel::AppendRow(const QVariant &value)
{
    return InsertRow(GetCount(), value);
}

bool qvListDataModel::AppendRows(const QList<QVariant> &values)
{
    return InsertRows(GetCount(), values);
}

bool qvListDataModel::InsertRow(int index, const QVariant &value)
{
    if (index < 0)
        return false;
    m_rows.insert(qMin(index, m_rows.size()), value);
    emit RowInsertedSignal(index);
    return true;
}

bool qvListDataModel::InsertRows(int index, const QList<QVariant> &values)
{
    if (index < 0 || values.isEmpty())
        return false;
    int at = qMin(index, m_rows.size());
    m_rows.reserve(m_rows.size() + values.size());
    for (const QVariant &value : values)
        m_rows.insert(at++, value);
    emit RowsInsertedSignal(index, static_cast<size_t>(values.size()));
    return true;
}

bool qvListDataModel::RemoveRow(int index)
{
    if (index < 0 || index >= m_rows.size())
        return false;
    m_rows.removeAt(index);
    emit RowRemovedSignal(index);
    return true;
}

bool qvListDataModel::RemoveRows(int start, int end)
{
    if (start < 0 || start > end || end >= m_rows.size())
        return false;
    m_rows.erase(m_rows.begin() + start, m_rows.begin() + end + 1);
    emit RowsRemovedSignal(start, end);
    return true;
}

bool qvListDataModel::SetData(int index, const QVariant &value)
{
    if (index < 0 || index >= m_rows.size())
        return false;
    m_rows[index] = value;
    emit DataChangeSignal(index);
    return true;
}

QVariant qvListDataModel::GetData(int index)
{
    return m_rows.value(index);
}

QList<QVariant> *qvListDataModel::GetDataList()
{
    return &m_rows;
}

int qvListDataModel::GetCount()
{
    return m_rows.size();
}

void qvListDataModel::Clear()
{
    m_rows.clear();
    emit ClearSignal();
}

bool qvListDataModel::BeginResetModel()
{
    return blockSignals(true);
}

void qvListDataModel::EndResetModel()
{
    blockSignals(false);
    emit ResetModelSignal();
}
