#pragma once

#include "dialogs/messageboxdialogbase.h"

#include <QString>
#include <QStringList>

class QAbstractButton;
class QComboBox;

// The new-file dialog: "Create now", a combo box of phonebook kinds and OK/Cancel. OK emits the
// chosen item's text before the dialog closes; Cancel, Escape and closing emit nothing.
class MessageboxDialogComboBox : public MessageboxDialogBase
{
    Q_OBJECT
public:
    explicit MessageboxDialogComboBox(QWidget *parent = nullptr);

    // Appended after the items already there; the first item of an empty box becomes current.
    void addItems(const QStringList &items);

signals:
    void sigComboboxSelect(QString strSelected);

private slots:
    void onButtonClicked(QAbstractButton *pBtn);

private:
    QComboBox *comboBox = nullptr; // owned via Qt parent
};
