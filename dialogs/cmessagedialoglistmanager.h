#pragma once

#include <QObject>

// Tells the main window when a modal dialog of the editor appears or goes, so that it can dim
// itself behind it. One object per process.
class CMessageDialogListManager : public QObject
{
    Q_OBJECT
public:
    static CMessageDialogListManager *instance();

signals:
    // true when a dialog is created or shown, false when one is destroyed or hidden. Not counted:
    // with two dialogs open, the first one to go already sends false.
    void sigShowMessagebox(bool bShow);

private:
    CMessageDialogListManager() = default;
};
