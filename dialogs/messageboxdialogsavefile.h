#pragma once

#include "dialogs/messageboxdialogbase.h"

#include <QString>
#include <QStringList>

class QAbstractButton;
class QComboBox;
class QLineEdit;

// The save-as dialog: file name, file type and folder, with Save/Cancel. Save emits name, folder
// and type exactly as shown (the caller validates them); Cancel emits nothing.
class MessageboxDialogSaveFile : public MessageboxDialogBase
{
    Q_OBJECT
public:
    explicit MessageboxDialogSaveFile(QWidget *parent = nullptr);

    void setFileName(const QString &name);
    // Appended to the type list; the first type of an empty list becomes current.
    void setFileTypes(const QStringList &types);
    // The proposed folder: shown in the path field, and where Browse starts once that is empty.
    void setSavePath(const QString &folder);

signals:
    void sigSaveFile(QString strFileName, QString strPath, QString srtItemType);

private slots:
    void onButtonClicked(QAbstractButton *pBtn);
    void on_btnBrowser_clicked();

private:
    QLineEdit *lineEditFileName = nullptr; // owned via Qt parent
    QComboBox *comboBoxFileType = nullptr; // owned via Qt parent
    QLineEdit *lineEditBrowser = nullptr;  // owned via Qt parent
    QString savePath;
};
