#pragma once

#include "dialogs/messageboxdialogbase.h"

#include <QString>

class QAbstractButton;
class QLabel;
class QLineEdit;
class QWidget;

// Asks for the name of a new custom number label (at most 128 characters). Modal, deletes
// itself when closed; the edit has the focus when the dialog shows. "Add" with a name emits
// sigMessageboxInput; "Add" with an empty edit and Cancel close it without a signal.
class InputMessageboxdialog : public MessageboxDialogBase
{
    Q_OBJECT
public:
    static constexpr int MaxInputLength = 128;

    explicit InputMessageboxdialog(QWidget *parent = nullptr);

    QLineEdit *inputEdit() const { return lineEditInput; }

signals:
    void sigMessageboxInput(QString strInput);

private slots:
    void onButtonClicked(QAbstractButton *pBtn);

private:
    QLabel *labelBackground = nullptr; // owned via Qt parent, as are the others
    QLabel *labelTitle = nullptr;
    QLineEdit *lineEditInput = nullptr;
};
