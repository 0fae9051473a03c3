#pragma once

#include "widgets/qvviewitemwidget.h"

#include <QVariant>

class QLabel;

// Row widget of the group selection popup: the group's name, greyed (the label's "visibility"
// property "false") when the group cannot take contacts. Created without parent by the
// delegate; the tree owns it once attached.
class TreeGroupSelectItem : public qvViewItemWidget
{
    Q_OBJECT
public:
    explicit TreeGroupSelectItem(QWidget *parent = nullptr);

    // Applies a uiGroupSelectItemData; other values are ignored. False only when the label is
    // missing.
    bool SetData(const QVariant &data) override;

    int groupId() const { return m_groupId; }
    int dirType() const { return m_dirType; }

private:
    QLabel *labelGruopName = nullptr; // owned via Qt parent
    int m_groupId = -1;
    int m_dirType = 0;
};
