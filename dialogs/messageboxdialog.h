#pragma once

#include "dialogs/messageboxdialogbase.h"

#include <QDialogButtonBox>
#include <QMap>
#include <QString>

class QAbstractButton;
class QLabel;
class QWidget;

// The editor's general question or note: a title, a word-wrapped message and standard buttons
// on a white rounded card. Use the static showMessage functions.
class MessageboxDialog : public MessageboxDialogBase
{
    Q_OBJECT
public:
    explicit MessageboxDialog(QWidget *parent = nullptr);

    // Runs a modal dialog and returns the standard button that closed it (QDialogButtonBox
    // values: Ok 0x400, No 0x10000, Cancel 0x400000), Cancel when it was closed any other way,
    // Escape included. Title and text may be marker text or display text.
    static int showMessage(QWidget *parent, const QString &title, const QString &text,
                           QDialogButtonBox::StandardButtons buttons = QDialogButtonBox::Ok |
                                                                       QDialogButtonBox::Cancel);
    // The same, with texts for some of the buttons (key: standard-button value). Texts for
    // buttons that were not asked for are ignored.
    static int showMessage(QWidget *parent, const QString &title, const QString &text,
                           QDialogButtonBox::StandardButtons buttons,
                           const QMap<int, QString> &buttonTexts);

private slots:
    void onButtonClicked(QAbstractButton *pBtn);

private:
    void setupForm();

    QWidget *wgtBackBg = nullptr;             // owned via Qt parent
    QLabel *labTitle = nullptr;               // owned via Qt parent
    QLabel *labNote = nullptr;                // owned via Qt parent
    QAbstractButton *clickedButton = nullptr; // not owned
    // This dialog's own answer: a dialog opened on top of another never changes the other's.
    int messageResult = QDialogButtonBox::Cancel;
};
