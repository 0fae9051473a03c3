#pragma once

#include "widgets/qvdatamodel.h"

#include <QList>
#include <QObject>
#include <QVariant>

#include <cstddef>

// Flat list of QVariant rows, indexed from 0. Every accepted change emits exactly one signal
// (none while signals are blocked by BeginResetModel); a refused change emits nothing.
class qvListDataModel : public qvDataModel
{
    Q_OBJECT
public:
    explicit qvListDataModel(QObject *parent = nullptr);

    virtual bool AppendRow(const QVariant &value);
    virtual bool AppendRows(const QList<QVariant> &values);
    // An index at or past the end appends; the signal still carries the requested index.
    virtual bool InsertRow(int index, const QVariant &value);
    virtual bool InsertRows(int index, const QList<QVariant> &values);
    virtual bool RemoveRow(int index);
    // Removes start..end inclusive.
    virtual bool RemoveRows(int start, int end);
    virtual bool SetData(int index, const QVariant &value);
    virtual QVariant GetData(int index);
    // Direct access to the rows; changes made through it emit nothing.
    virtual QList<QVariant> *GetDataList();
    virtual int GetCount();
    virtual void Clear();
    // Blocks every signal of the model until EndResetModel; returns the previous blocked state.
    virtual bool BeginResetModel();
    virtual void EndResetModel();

signals:
    // Row index was replaced by SetData; 0 <= index < count.
    void DataChangeSignal(const int &index);
    // One row was inserted; index is the position asked for (it may lie past the last row when
    // the row was appended).
    void RowInsertedSignal(const int &index);
    // size (>= 1) rows were inserted from index on, in order; index as for RowInsertedSignal.
    void RowsInsertedSignal(int index, size_t size);
    // The row that was at index is gone.
    void RowRemovedSignal(const int &index);
    // The rows that were at iStart..iEnd (inclusive, iStart <= iEnd) are gone.
    void RowsRemovedSignal(int iStart, int iEnd);
    // Views refresh their visible rows; the model never emits it.
    void UpdateSignal();
    // Every row is gone (also emitted for an empty model).
    void ClearSignal();
    // Reserved for panes that want to pause a view; the model never emits them.
    void LockUpdateSignal();
    void UnlockUpdateSignal();
    // Emitted once by EndResetModel: anything may have changed, views rebuild from GetCount().
    void ResetModelSignal();

private:
    QList<QVariant> m_rows;
};
