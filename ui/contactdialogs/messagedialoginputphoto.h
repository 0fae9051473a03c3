#pragma once

#include "dialogs/messageboxdialogbase.h"

#include <QString>

class QAbstractButton;
class QLabel;
class QLineEdit;
class QWidget;

// Asks for the image link of a contact's avatar (at most 128 characters). Modal, deletes itself
// when closed. "Save" with a link emits sigMessageboxInput; "Save" with an empty edit and Cancel
// close it without a signal, so the stored link stays.
class MessageDialogInputPhoto : public MessageboxDialogBase
{
    Q_OBJECT
public:
    static constexpr int MaxInputLength = 128;

    explicit MessageDialogInputPhoto(QWidget *parent = nullptr);

    // Shows the contact's current link in the edit and gives the edit the focus.
    void setInputText(const QString &link);
    QLineEdit *inputEdit() const { return lineEditInput; }

signals:
    void sigMessageboxInput(QString strInput);

private slots:
    void onButtonClicked(QAbstractButton *pBtn);

private:
    QLabel *labelBackground = nullptr; // owned via Qt parent, as are the others
    QLabel *labelTitle = nullptr;
    QLabel *labelTips = nullptr;
    QLabel *label = nullptr;
    QLineEdit *lineEditInput = nullptr;
};
