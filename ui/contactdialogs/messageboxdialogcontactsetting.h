#pragma once

#include "dialogs/messageboxdialogbase.h"

#include <QString>

class QAbstractButton;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// Edits the remote phonebook's three phone-number labels. Each label shows as text with an edit
// button that swaps it for an input. "Save" stores the three labels and emits
// sigContactSettingChanged when any of them changed; a label left empty falls back to its
// default ("Number1" ...), which lets every contact's own label show again. Cancel stores
// nothing. Modal, deletes itself when closed.
class MessageboxDialogContactSetting : public MessageboxDialogBase
{
    Q_OBJECT
public:
    // Reads the labels from the remote store.
    explicit MessageboxDialogContactSetting(QWidget *parent = nullptr);

signals:
    void sigContactSettingChanged();

private slots:
    void on_btnOfficeNumber_clicked();
    void on_btnMobileNumber_clicked();
    void on_btnOtherNumber_clicked();
    void onButtonClicked(QAbstractButton *pBtn);

private:
    struct LabelLine
    {
        QPushButton *button = nullptr; // owned via Qt parent, as are the others
        QLabel *name = nullptr;
        QLineEdit *edit = nullptr;
    };
    // position: 0 to 2, the label's place among the three.
    LabelLine addLine(const QString &what, int y, const QString &label, int position);
    void startEditing(const LabelLine &line);

    QLabel *labelBackground = nullptr; // owned via Qt parent, as are the others
    QLabel *labelTitle = nullptr;
    QLabel *labelTips = nullptr;
    LabelLine office;
    LabelLine mobile;
    LabelLine other;
};
