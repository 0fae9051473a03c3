#pragma once

#include "ui/contactdetail/listcontactdetailitembase.h"

#include <QString>
#include <QStringList>

class QComboBox;
class QLabel;

// A detail row (420 x 48) whose value is picked from a list: icon, label, and a combo box while
// editing, the current item's text while viewing. Children are owned through Qt parents.
class ListContactDetailItemCombobox : public ListContactDetailItemBase
{
    Q_OBJECT
public:
    explicit ListContactDetailItemCombobox(QWidget *parent = nullptr);

    void setLabel(const QString &label);
    // A resource path; an empty path hides the icon.
    void setIcon(const QString &path);
    // Replaces the items; no item is current afterwards.
    void setItems(const QStringList &items);
    // -1 (or an index beyond the items) selects nothing and shows no text.
    void setCurrentIndex(int index);
    int currentIndex() const;

    void setEditable(bool editable) override;
    // The current index as decimal text; "-1" when nothing is selected.
    QString valueText() const override;

private:
    QLabel *labelAttribtute = nullptr; // owned via Qt parent
    QComboBox *comboBox = nullptr;     // owned via Qt parent
    QLabel *labelIcon = nullptr;       // owned via Qt parent
    QLabel *labelName = nullptr;       // owned via Qt parent
};
