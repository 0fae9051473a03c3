#pragma once

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class QWidget;

// The editor's file workflows: new phonebook, import, history, save, save as and close. Every
// question goes through the editor's modal dialogs (parented to the window), every short result
// through the toast. This is the only writer of Config::currentFile, lastSaveFolder and
// lastImportFolder. It never touches a pane: the window resets its panes on the signals below.
//
// Wiring in the main window (which owns this object):
//   btnNewFile      -> newFile()            btnImportFile -> importFile()
//   btnHistory      -> history()            btnSaveFile   -> saveButton(btnSaveFile)
//   btnClose        -> close()              sigQuit()     -> the window's close()
//   closeEvent(e)   -> if (!mayClose()) e->ignore();
//   a dropped file / a file on the command line -> importPath(path)
//   sigNewPhonebook(kind)     -> contact list setDirType(kind), group tree initGroupTree(kind)
//                                (which resets that store), group title
//   sigPhonebookLoaded(kind)  -> contact list setDirType(kind), group tree loadGroupTree(kind),
//                                group title
// The current kind lives here (dirType()); the window reads it or follows the two signals, which
// come after Config::currentFile has its new value.
class FileWorkflows : public QObject
{
    Q_OBJECT
public:
    // The save types offered in the save-as dialog, also the keys deciding the extension.
    static const QString LocalXmlType;  // "LocalPhonebook(.xml)"
    static const QString LocalCsvType;  // "LocalPhonebook(.cvs)": writes ".csv"
    static const QString RemoteXmlType; // "RemotePhonebook(.xml)"

    // window: parent of every dialog and menu; may be null in tests. Not owned.
    explicit FileWorkflows(QWidget *window, QObject *parent = nullptr);

    int dirType() const { return m_dirType; }
    // The kind the window starts with (no signal).
    void setDirType(int dirType) { m_dirType = dirType; }

    // "LocalPhonebook_" or "RemotePhonebook_" + yyyyMMddhhmmss (no extension).
    static QString automaticName(int dirType, const QDateTime &when = QDateTime::currentDateTime());
    // The types the save-as dialog offers for a kind, in order.
    static QStringList saveTypes(int dirType);
    // path + "/" + name + the type's extension (appended even when the name has one already).
    static QString fullSaveName(const QString &fileName, const QString &path, const QString &type);

public slots:
    // Save-changes prompt "New File", then the new-file dialog.
    void newFile();
    // Save-changes prompt "Import file", then the import dialog.
    void importFile();
    // Save-changes prompt "History", then the platform's open-file dialog in <cwd>/target.
    void history();
    // Drag-and-drop and the command line: save-changes prompt "Import file", then loads path.
    void importPath(const QString &path);
    // The save menu ("Save", "Save as") below the anchor (btnSaveFile).
    void saveButton(QWidget *anchor);
    // Writes the current file again; a new phonebook goes through saveAs().
    void save();
    // The save-as dialog, no prompt.
    void saveAs();
    // Save-changes prompt "Exit the program"; emits sigQuit() when the window may close.
    void close();

    // The new-file dialog's answer: the translated "Local Phonebook" or "Remote Phonebook".
    void slotComboboxSelectDirectory(QString strSelect);
    // The import dialog's answer (an empty path does nothing).
    void slotImportFileMessageboxInput(QString fileName);
    // The save-as dialog's answer.
    void slotSaveFile(QString strFileName, QString strPath, QString srtItemType);

public:
    // Every way of closing the window asks this: runs the save-changes prompt (unless a close
    // was already approved) and logs "Close editor tool." when the window may close.
    bool mayClose();

signals:
    // A new, empty phonebook of that kind: reset the panes (initGroupTree resets the store).
    void sigNewPhonebook(int dirType);
    // The store of that kind now holds a loaded file: rebuild the panes from it.
    void sigPhonebookLoaded(int dirType);
    // The user may leave: close the window.
    void sigQuit();

private:
    // True when the calling workflow may go on: nothing changed, "Don't Save", or "Save" and the
    // quick save succeeded. Cancel, Escape and a failed quick save stop it.
    bool saveChangesPrompt(const QString &title);
    bool quickSave();
    // Writes the current kind to path; on failure shows the failure toast and logs the reason.
    bool writeFile(const QString &path);
    void loadFile(const QString &path);
    // Whether the store of kind read only part of the file it just imported.
    bool lastImportWasPartial(int dirType) const;

    QPointer<QWidget> m_window;
    int m_dirType = 1;
    bool m_closeApproved = false;
};
