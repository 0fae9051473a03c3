#pragma once

#include "dialogs/messageboxdialogbase.h"

#include <QString>

class QAbstractButton;
class QLineEdit;

// The import dialog: "Import file", a path field with a Browse button and OK/Cancel. OK emits the
// field's text as it stands (possibly empty; the caller validates); Cancel emits nothing.
// Browse starts in the field's path, else in the folder given by setBrowseFolder (the caller
// passes Config::lastImportFolder), else in <working directory>/target, and reports the folder
// of the chosen file so that the caller can keep it for the next import.
class MessageDialogImportFile : public MessageboxDialogBase
{
    Q_OBJECT
public:
    explicit MessageDialogImportFile(QWidget *parent = nullptr);

    // The path field, for the caller to give it the keyboard focus.
    QLineEdit *pathEdit() const { return lineEditBrowser; }
    // Where Browse starts when the path field is empty; empty means <working directory>/target.
    void setBrowseFolder(const QString &folder) { browseFolder = folder; }
    // The open-file dialogs' filter for phonebook files. Without a trailing ";" after the
    // parenthesis: the toolkit would then read the text as two odd patterns and list no file.
    static QString phonebookFilter() { return QStringLiteral("(*.xml *.csv)"); }

signals:
    void sigMessageboxInput(QString strInput);
    // Browse chose a file: the absolute path of its folder.
    void sigBrowseFolderChosen(QString strFolder);

private slots:
    void onButtonClicked(QAbstractButton *pBtn);
    void on_btnBrowser_clicked();

private:
    QLineEdit *lineEditBrowser = nullptr; // owned via Qt parent
    QString browseFolder;
};
