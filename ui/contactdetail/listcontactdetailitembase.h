#pragma once

#include <QString>
#include <QWidget>

// Base of every row of the contact detail editor. A row knows which store field it edits (its
// type) and whether the user may remove it; the controller reads rows back through valueText()
// and labelText() when it commits.
class ListContactDetailItemBase : public QWidget
{
    Q_OBJECT
public:
    // The store field a row edits; the values are part of the editor's contract.
    enum RowType
    {
        NoRowType = -1,
        NameRow = 0,         // local display_name; remote name and customPhoto
        OfficeNumberRow = 1, // local office_number
        MobileNumberRow = 2, // local mobile_number
        OtherNumberRow = 3,  // local other_number
        AccountRow = 4,      // local line, through the combo index
        GroupRow = 6,        // local group name, read-only
        AutoDivertRow = 7,   // local auto_divert
        RemoteNumberRow = 8, // value of one remote number
        CustomNumberRow = 9  // value and label of one remote extra
    };

    explicit ListContactDetailItemBase(QWidget *parent = nullptr);

    // Swaps between the read-only view and the editors.
    virtual void setEditable(bool editable) = 0;
    // Focuses the row's editor with its text selected on the next turn of the event loop.
    virtual void startEditing(bool start);
    virtual QString valueText() const;
    virtual QString labelText() const;
    virtual void setDeletable(bool deletable);

    int type() const { return m_type; }
    void setType(int type) { m_type = type; }
    bool isDeletable() const { return m_deletable; }
    // Whether edit mode changes this row (every type but the group row).
    static bool followsEditMode(int type);

private:
    int m_type = NoRowType;
    bool m_deletable = false;
};
