#include "ui/fileworkflows/fileworkflows.h"

#include "data/localdirectory.h"
#include "data/phonebookfilekind.h"
#include "data/phonebookmanager.h"
#include "data/readresult.h"
#include "data/remotedirectory.h"
#include "dialogs/messageboxdialog.h"
#include "dialogs/messageboxdialogcombobox.h"
#include "dialogs/messageboxdialogsavefile.h"
#include "dialogs/messagedialogimportfile.h"
#include "dialogs/tipwidget.h"
#include "shell/config.h"
#include "shell/langtranslater.h"
#include "widgets/qvmenu.h"

#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QWidgetAction>

#include <memory>

const QString FileWorkflows::LocalXmlType = QStringLiteral("LocalPhonebook(.xml)");
const QString FileWorkflows::LocalCsvType = QStringLiteral("LocalPhonebook(.cvs)");
const QString FileWorkflows::RemoteXmlType = QStringLiteral("RemotePhonebook(.xml)");

namespace {

QString targetFolder()
{
    return QDir::current().absolutePath() + QStringLiteral("/target");
}

QString storeSaveError(int dirType)
{
    if (dirType == PhonebookManager::LocalDir)
        return LocalDirectory::instance().saveError();
    if (dirType == PhonebookManager::RemoteDir)
        return RemoteDirectory::instance().saveError();
    return QStringLiteral("no phonebook of that kind");
}

} // namespace

FileWorkflows::FileWorkflows(QWidget *window, QObject *parent) : QObject(parent), m_window(window)
{}

QString FileWorkflows::automaticName(int dirType, const QDateTime &when)
{
    const QString prefix = dirType == PhonebookManager::RemoteDir
                               ? QStringLiteral("RemotePhonebook_")
                               : QStringLiteral("LocalPhonebook_");
    return prefix + when.toString(QStringLiteral("yyyyMMddhhmmss"));
}

QStringList FileWorkflows::saveTypes(int dirType)
{
    if (dirType == PhonebookManager::RemoteDir)
        return {RemoteXmlType};
    return {LocalXmlType, LocalCsvType};
}

QString FileWorkflows::fullSaveName(const QString &fileName, const QString &path,
                                    const QString &type)
{
    QString full = path + QLatin1Char('/') + fileName;
    if (type == LocalXmlType || type == RemoteXmlType)
        full += QStringLiteral(".xml");
    else if (type == LocalCsvType)
        full += QStringLiteral(".csv");
    return full;
}

bool FileWorkflows::saveChangesPrompt(const QString &title)
{
    if (!PhonebookManager::isChanged(m_dirType))
        return true;
    const QMap<int, QString> texts{
        {QDialogButtonBox::Ok, Langtranslater::mark(QStringLiteral("Save"))},
        {QDialogButtonBox::No, Langtranslater::mark(QStringLiteral("Don't Save"))}};
    const int answer = MessageboxDialog::showMessage(
        m_window, title,
        Langtranslater::mark(
            QStringLiteral("Do you want to save the changes you made to the current phonebook?")),
        QDialogButtonBox::Ok | QDialogButtonBox::No | QDialogButtonBox::Cancel, texts);
    if (answer == QDialogButtonBox::No)
        return true;
    if (answer == QDialogButtonBox::Ok)
        return quickSave();
    return false;
}

bool FileWorkflows::quickSave()
{
    const QString folder = targetFolder() + QLatin1Char('/');
    const QString name = automaticName(m_dirType) + QStringLiteral(".xml");
    if (!QDir().mkpath(folder)) {
        qDebug() << "Save File failed:" << folder << "the folder cannot be created";
        TipWidget::showTip(Langtranslater::lookup(QStringLiteral("Failed to save the file!")),
                           TipWidget::Failure);
        return false;
    }
    if (!writeFile(folder + name))
        return false;
    MessageboxDialog::showMessage(
        m_window, Langtranslater::mark(QStringLiteral("Save File")),
        name + QLatin1Char(' ') + Langtranslater::lookup(QStringLiteral("was saved in")) +
            QStringLiteral(" target ") + Langtranslater::lookup(QStringLiteral("folder")),
        QDialogButtonBox::Ok);
    return true;
}

bool FileWorkflows::writeFile(const QString &path)
{
    if (PhonebookManager::saveFile(m_dirType, path))
        return true;
    qDebug() << "Save File failed:" << path << storeSaveError(m_dirType);
    TipWidget::showTip(Langtranslater::lookup(QStringLiteral("Failed to save the file!")),
                       TipWidget::Failure);
    return false;
}

void FileWorkflows::newFile()
{
    if (!saveChangesPrompt(Langtranslater::mark(QStringLiteral("New File"))))
        return;
    QString chosen;
    bool answered = false;
    auto *dialog = new MessageboxDialogComboBox(m_window); // deletes itself when closed
    dialog->setButtonText(QDialogButtonBox::Ok, Langtranslater::mark(QStringLiteral("Create")));
    dialog->addItems({Langtranslater::lookup(QStringLiteral("Local Phonebook")),
                      Langtranslater::lookup(QStringLiteral("Remote Phonebook"))});
    connect(dialog, &MessageboxDialogComboBox::sigComboboxSelect, this, [&](const QString &text) {
        chosen = text;
        answered = true;
    });
    dialog->exec();
    // Acted on once the dialog is gone, so nothing the answer starts runs inside its loop.
    if (answered)
        slotComboboxSelectDirectory(chosen);
}

void FileWorkflows::slotComboboxSelectDirectory(QString strSelect)
{
    if (strSelect == Langtranslater::lookup(QStringLiteral("Local Phonebook")))
        m_dirType = PhonebookManager::LocalDir;
    else if (strSelect == Langtranslater::lookup(QStringLiteral("Remote Phonebook")))
        m_dirType = PhonebookManager::RemoteDir;
    Config::instance()->currentFile.clear();
    emit sigNewPhonebook(m_dirType);
}

void FileWorkflows::importFile()
{
    if (!saveChangesPrompt(Langtranslater::mark(QStringLiteral("Import file"))))
        return;
    QString path;
    bool answered = false;
    auto *dialog = new MessageDialogImportFile(m_window); // deletes itself when closed
    dialog->setBrowseFolder(Config::instance()->lastImportFolder);
    connect(dialog, &MessageDialogImportFile::sigBrowseFolderChosen, this,
            [](const QString &folder) { Config::instance()->lastImportFolder = folder; });
    connect(dialog, &MessageDialogImportFile::sigMessageboxInput, this, [&](const QString &text) {
        path = text;
        answered = true;
    });
    dialog->show();
    dialog->pathEdit()->setFocus();
    dialog->exec();
    if (answered)
        slotImportFileMessageboxInput(path);
}

void FileWorkflows::slotImportFileMessageboxInput(QString fileName)
{
    qDebug() << "Import File" << fileName;
    loadFile(fileName);
}

void FileWorkflows::importPath(const QString &path)
{
    if (!saveChangesPrompt(Langtranslater::mark(QStringLiteral("Import file"))))
        return;
    slotImportFileMessageboxInput(path);
}

void FileWorkflows::history()
{
    if (!saveChangesPrompt(Langtranslater::mark(QStringLiteral("History"))))
        return;
    const QString path =
        QFileDialog::getOpenFileName(m_window, Langtranslater::lookup(QStringLiteral("History")),
                                     targetFolder(), MessageDialogImportFile::phonebookFilter());
    qDebug() << "Open History File:" << path;
    loadFile(path);
}

void FileWorkflows::loadFile(const QString &path)
{
    if (path.isEmpty())
        return;
    const PhonebookFileKind::Kind kind = PhonebookFileKind::probe(path);
    int loadedType = 0;
    if (kind == PhonebookFileKind::Remote && RemoteDirectory::instance().importFile(path))
        loadedType = PhonebookManager::RemoteDir;
    else if (PhonebookFileKind::isLocal(kind) && LocalDirectory::instance().importFile(path))
        loadedType = PhonebookManager::LocalDir;
    if (loadedType == 0) {
        // Neither store took it, so the phonebook and the current file are as they were.
        qDebug() << "Import File failed, not a phonebook or unreadable:" << path;
        TipWidget::showTip(Langtranslater::lookup(QStringLiteral("Unsupported file format!")),
                           TipWidget::Warning);
        return;
    }
    m_dirType = loadedType;
    // A partly read file never becomes the current file, so a later Save cannot write the
    // shortened phonebook over the original; Save goes through Save as instead.
    const bool partial = lastImportWasPartial(m_dirType);
    Config::instance()->currentFile = partial ? QString() : path;
    emit sigPhonebookLoaded(m_dirType);
    if (partial)
        TipWidget::showTip(
            Langtranslater::lookup(QStringLiteral("The file could only be partly read!")),
            TipWidget::Warning);
}

bool FileWorkflows::lastImportWasPartial(int dirType) const
{
    const ReadResult result = PhonebookManager::readResult(dirType);
    if (result.isPartlyRead())
        qDebug() << "Import File partly read:" << result.describe();
    return result.isPartlyRead();
}

void FileWorkflows::saveButton(QWidget *anchor)
{
    auto menu = std::make_unique<qvMenu>(m_window, QStringLiteral("qvMenu"));
    QWidgetAction *saveItem = menu->AddTextAction(Langtranslater::lookup(QStringLiteral("Save")));
    QWidgetAction *saveAsItem =
        menu->AddTextAction(Langtranslater::lookup(QStringLiteral("Save as")));
    // The bottom-left corner of the anchor's geometry, moved by (-10, -7).
    const QPoint at =
        anchor ? anchor->mapToGlobal(QPoint(0, anchor->height() - 1) + QPoint(-10, -7)) : QPoint();
    const QAction *chosen = menu->exec(at);
    const bool doSave = chosen && chosen == saveItem;
    const bool doSaveAs = chosen && chosen == saveAsItem;
    menu.reset(); // gone before any dialog opens
    if (doSave)
        save();
    else if (doSaveAs)
        saveAs();
}

void FileWorkflows::save()
{
    const QString current = Config::instance()->currentFile;
    if (current.isEmpty()) {
        saveAs();
        return;
    }
    if (writeFile(current))
        TipWidget::showTip(Langtranslater::lookup(QStringLiteral("Saved successfully!")),
                           TipWidget::Success);
}

void FileWorkflows::saveAs()
{
    QString folder = Config::instance()->lastSaveFolder;
    if (folder.isEmpty())
        folder = targetFolder();
    QString name;
    QString path;
    QString type;
    bool answered = false;
    auto *dialog = new MessageboxDialogSaveFile(m_window); // deletes itself when closed
    dialog->setSavePath(folder);
    dialog->setFileName(automaticName(m_dirType));
    dialog->setFileTypes(saveTypes(m_dirType));
    connect(dialog, &MessageboxDialogSaveFile::sigSaveFile, this,
            [&](const QString &n, const QString &p, const QString &t) {
                name = n;
                path = p;
                type = t;
                answered = true;
            });
    dialog->exec();
    if (answered)
        slotSaveFile(name, path, type);
}

void FileWorkflows::slotSaveFile(QString strFileName, QString strPath, QString srtItemType)
{
    if (strFileName.isEmpty()) {
        TipWidget::showTip(Langtranslater::lookup(QStringLiteral("File name cannot be empty!")),
                           TipWidget::Warning);
        return;
    }
    if (strPath.isEmpty()) {
        TipWidget::showTip(Langtranslater::lookup(QStringLiteral("File path cannot be empty!")),
                           TipWidget::Warning);
        return;
    }
    const QString full = fullSaveName(strFileName, strPath, srtItemType);
    if (!QDir().mkpath(strPath)) {
        qDebug() << "Save File failed:" << full << "the folder cannot be created";
        TipWidget::showTip(Langtranslater::lookup(QStringLiteral("Failed to save the file!")),
                           TipWidget::Failure);
        return;
    }
    if (!writeFile(full))
        return;
    Config::instance()->currentFile = full;
    Config::instance()->lastSaveFolder = strPath;
    TipWidget::showTip(Langtranslater::lookup(QStringLiteral("Saved successfully!")),
                       TipWidget::Success);
}

bool FileWorkflows::mayClose()
{
    if (m_closeApproved)
        return true;
    if (!saveChangesPrompt(Langtranslater::mark(QStringLiteral("Exit the program"))))
        return false;
    qDebug() << "Close editor tool.";
    m_closeApproved = true;
    return true;
}

void FileWorkflows::close()
{
    if (mayClose())
        emit sigQuit();
}
