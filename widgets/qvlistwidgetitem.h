#pragma once

#include <QListWidgetItem>
#include <QSize>
#include <QString>
#include <QVariant>

// The lightweight row of a qvListWidget: every model row has one, whether or not it is in view.
class qvListWidgetItem : public QListWidgetItem
{
public:
    static constexpr int Type = QListWidgetItem::UserType + 0x71;

    qvListWidgetItem();

    // Hook for subclasses; the view never calls it.
    virtual void Init();
    // The row's own height for a view of viewSize; -1 leaves it to the type key or the style.
    virtual int GetItemHeight(QSize viewSize);
    // The row's value changed while its type key stayed the same.
    virtual void SetData(const QVariant &data);

    QString GetTypeKey() const { return m_typeKey; }
    void SetTypeKey(const QString &typeKey) { m_typeKey = typeKey; }
    // Handed to the item widget made for this row.
    quint64 GetUserValue() const { return m_userValue; }
    void SetUserValue(quint64 value) { m_userValue = value; }

private:
    QString m_typeKey;
    quint64 m_userValue = 0;
};
