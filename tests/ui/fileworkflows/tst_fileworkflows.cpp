// The file workflows as a user meets them: the save-changes prompt with the quick save behind
// it, the save menu, save as with its names and failures, and files that load badly or not at all.

#include "../../dialogs/dialogdriver.h"
#include "data/localdirectory.h"
#include "data/phonebookfilekind.h"
#include "data/phonebookmanager.h"
#include "dialogs/messageboxdialogcombobox.h"
#include "dialogs/messageboxdialogsavefile.h"
#include "dialogs/messagedialogimportfile.h"
#include "freshstate.h"
#include "menuandtoast.h"
#include "testfiles.h"
#include "ui/fileworkflows/fileworkflows.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QSignalSpy>

namespace {

enum Workflow
{
    Close,
    NewFile,
    Import,
    History
};
constexpr int Escape = -1;
constexpr int SaveFails = -2; // Save, but the quick save cannot write
constexpr QDialogButtonBox::StandardButton Save = QDialogButtonBox::Ok;
constexpr QDialogButtonBox::StandardButton DontSave = QDialogButtonBox::No;
constexpr int Local = PhonebookManager::LocalDir;
constexpr int Remote = PhonebookManager::RemoteDir;

void answerPrompt(const char *title, int answer)
{
    whenDialogShown(Langtranslater::mark(QLatin1String(title)), [answer](MessageboxDialog *d) {
        if (answer == Escape)
            QTest::keyClick(d, Qt::Key_Escape);
        else
            QTest::mouseClick(buttonOf(d, QDialogButtonBox::StandardButton(answer)),
                              Qt::LeftButton);
    });
}

// Answers a file dialog with OK. Over the window's own style sheet, Cancel must keep the
// family's outlined look (80 wide and a 16 px margin) instead of the platform's button.
void clickOk(QDialog *dialog)
{
    QDialogButtonBox *box = dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
    const QSize cancel = box->button(QDialogButtonBox::Cancel)->size();
    QTest::mouseClick(box->button(Save), Qt::LeftButton); // first, so a failure cannot hang
    QCOMPARE(cancel, QSize(96, 38));
}

// An unsaved local phonebook with a group of that name; returns the group's id.
int addLocalGroup(const QString &name = QStringLiteral("Family"))
{
    LocalGroup *group = LocalDirectory::instance().addGroup();
    LocalDirectory::instance().renameGroup(group->id, name);
    return group->id;
}

// A fresh state; a window with the toast and a style sheet of its own, as the editor's; the flows.
struct Scene : FreshState
{
    Scene()
    {
        widget.resize(1280, 720);
        widget.setStyleSheet(QStringLiteral("QMainWindow\n{\nborder:none;\n}"));
        TipWidget::create(&widget);
        widget.show();
    }
    QWidget widget;
    FileWorkflows flows{&widget};
};

} // namespace

class TestFileWorkflows : public QObject
{
    Q_OBJECT
private slots:
    void prompt_data()
    {
        QTest::addColumn<int>("workflow");
        QTest::addColumn<int>("answer");
        QTest::addRow("close, Save fails") << int(Close) << SaveFails;
        QTest::addRow("new file, Cancel") << int(NewFile) << int(QDialogButtonBox::Cancel);
        QTest::addRow("new file, Save") << int(NewFile) << int(Save);
        QTest::addRow("import, Escape") << int(Import) << Escape;
        QTest::addRow("import, Don't Save") << int(Import) << int(DontSave);
        QTest::addRow("history, Escape") << int(History) << Escape;
        QTest::addRow("history, Don't Save") << int(History) << int(DontSave);
    }

    // The prompt in front of every workflow that replaces or leaves a changed phonebook; a
    // quick save into a missing target folder creates it, and one that fails stops the workflow.
    void prompt()
    {
        QFETCH(int, workflow);
        QFETCH(int, answer);
        const bool goesOn = answer == Save || answer == DontSave;
        Scene scene;
        const QString other = scene.filePath(QStringLiteral("other.xml"));
        addLocalGroup(QStringLiteral("Other"));
        QVERIFY(LocalDirectory::instance().saveFile(other));
        LocalDirectory::instance().initDefaultGroup();
        addLocalGroup();
        if (answer == SaveFails) // root writes anywhere, so the failure comes from a plain file
            QVERIFY(writeFile(scene.filePath(QStringLiteral("target")), "x"));
        Config::instance()->currentFile = QStringLiteral("previous.xml");
        QSignalSpy quit(&scene.flows, &FileWorkflows::sigQuit);
        QSignalSpy created(&scene.flows, &FileWorkflows::sigNewPhonebook);
        QSignalSpy loaded(&scene.flows, &FileWorkflows::sigPhonebookLoaded);

        const char *titles[] = {"Exit the program", "New File", "Import file", "History"};
        answerPrompt(titles[workflow], answer == SaveFails ? Save : answer);
        QString note;
        const bool quickSaves = answer == Save;
        if (quickSaves)
            whenDialogShown(Langtranslater::mark(QStringLiteral("Save File")),
                            [&note](MessageboxDialog *d) {
                                note = d->findChild<QLabel *>(QStringLiteral("labNote"))->text();
                                QTest::mouseClick(buttonOf(d, Save), Qt::LeftButton);
                            });
        QPointer<QTimer> ownDialog; // withdrawn below when its dialog rightly never came
        if (workflow == Close) {
            scene.flows.close();
        } else if (workflow == NewFile) {
            ownDialog = whenModalShown<MessageboxDialogComboBox>([](MessageboxDialogComboBox *d) {
                d->findChild<QComboBox *>()->setCurrentIndex(1); // Remote Phonebook
                clickOk(d);
            });
            scene.flows.newFile();
        } else if (workflow == Import) {
            ownDialog =
                whenModalShown<MessageDialogImportFile>([other](MessageDialogImportFile *d) {
                    QVERIFY(d->pathEdit()->hasFocus());
                    d->pathEdit()->setText(other);
                    clickOk(d);
                });
            scene.flows.importPath(other);
        } else {
            ownDialog = whenModalShown<QFileDialog>([other](QFileDialog *d) {
                d->setDirectory(QFileInfo(other).absolutePath());
                d->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))
                    ->setText(QFileInfo(other).fileName());
                static_cast<QDialog *>(d)->done(
                    QDialog::Accepted); // accept() could stop at a "file not found" box
            });
            scene.flows.history();
        }
        delete ownDialog.data();

        const QStringList written = QDir(QStringLiteral("target")).entryList(QDir::Files);
        QCOMPARE(written.size(), quickSaves ? 1 : 0);
        const QRegularExpression automatic(QStringLiteral("^LocalPhonebook_\\d{14}\\.xml$"));
        QCOMPARE(written.filter(automatic), written);
        if (quickSaves)
            QCOMPARE(note, written.first() + QStringLiteral(" was saved in target folder"));
        QCOMPARE(toastWithKind(), answer == SaveFails
                                      ? QStringLiteral("fail: Failed to save the file!")
                                      : QString());
        QCOMPARE(quit.size(), workflow == Close && goesOn ? 1 : 0);
        QCOMPARE(created.value(0).value(0).toInt(), workflow == NewFile && goesOn ? Remote : 0);
        const bool loads = (workflow == Import || workflow == History) && goesOn;
        QCOMPARE(loaded.size(), loads ? 1 : 0);
        QCOMPARE(LocalDirectory::instance().groups().last()->name,
                 QLatin1String(loads ? "Other" : "Family"));
        QCOMPARE(Config::instance()->currentFile, loads ? other
                                                  : workflow == NewFile && goesOn
                                                      ? QString()
                                                      : QStringLiteral("previous.xml"));
    }

    void saveAs_data()
    {
        QTest::addColumn<QString>("entered"); // "folder/name", relative to the work folder
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("written"); // relative; empty: nothing written
        QTest::addColumn<QString>("toast");
        const QString xml = FileWorkflows::LocalXmlType;
        const QString ok = QStringLiteral("success: Saved successfully!");
        const QString none;
        QTest::addRow("\".cvs\" key writes .csv")
            << "out/book" << FileWorkflows::LocalCsvType << "out/book.csv" << ok;
        QTest::addRow(".xml is appended again")
            << "out/book.xml" << xml << "out/book.xml.xml" << ok;
        QTest::addRow("missing folders are created") << "a/b/book" << xml << "a/b/book.xml" << ok;
        QTest::addRow("empty name") << "out/" << xml << none << "warn: File name cannot be empty!";
        QTest::addRow("empty path") << "book" << xml << none << "warn: File path cannot be empty!";
        // Root writes anywhere; a folder below a plain file cannot exist for anyone.
        QTest::addRow("name taken by a folder")
            << "out/taken" << xml << none << "fail: Failed to save the file!";
        QTest::addRow("unwritable folder")
            << "plain/sub/book" << xml << none << "fail: Failed to save the file!";
    }

    // Through the dialog: the file written, the toast, and the current file and last folder
    // changed only by a save that worked.
    void saveAs()
    {
        QFETCH(QString, entered);
        QFETCH(QString, type);
        QFETCH(QString, written);
        QFETCH(QString, toast);
        const int slash = entered.lastIndexOf(QLatin1Char('/'));
        Scene scene;
        QVERIFY(writeFile(scene.filePath(QStringLiteral("plain")), "x"));
        scene.mkpath(QStringLiteral("out/taken.xml"));
        addLocalGroup();
        Config *config = Config::instance();
        config->currentFile = QStringLiteral("previous.xml");
        const QString last = config->lastSaveFolder = scene.mkpath(QStringLiteral("last"));
        const QString path = slash < 0 ? QString() : scene.filePath(entered.left(slash));
        QString proposed;
        whenModalShown<MessageboxDialogSaveFile>([&](MessageboxDialogSaveFile *d) {
            auto *pathEdit = d->findChild<QLineEdit *>(QStringLiteral("lineEditBrowser"));
            proposed = pathEdit->text();
            pathEdit->setText(path);
            d->findChild<QLineEdit *>(QStringLiteral("lineEditFileName"))
                ->setText(entered.mid(slash + 1));
            d->findChild<QComboBox *>()->setCurrentText(type);
            clickOk(d);
        });
        scene.flows.saveAs();
        QCOMPARE(proposed, last);
        QCOMPARE(toastWithKind(), toast);
        QCOMPARE(config->currentFile,
                 written.isEmpty() ? QStringLiteral("previous.xml") : scene.filePath(written));
        QCOMPARE(config->lastSaveFolder, written.isEmpty() ? last : path);
        if (!written.isEmpty())
            QCOMPARE(PhonebookFileKind::probe(scene.filePath(written)),
                     written.endsWith(QLatin1String(".csv")) ? PhonebookFileKind::LocalCsv
                                                             : PhonebookFileKind::LocalXml);
    }

    void saveMenu_data()
    {
        QTest::addColumn<QString>("choice"); // the item clicked; empty: Escape
        QTest::addColumn<int>("dirType");
        QTest::addColumn<QString>("imported");   // the phonebook's file; empty: a new phonebook
        QTest::addColumn<bool>("writes");        // the imported file, at once
        QTest::addColumn<QStringList>("offers"); // the save-as dialog's types; empty: no dialog
        const QStringList local = texts({"LocalPhonebook(.xml)", "LocalPhonebook(.cvs)"});
        const QStringList none;
        QTest::addRow("Save writes the imported file")
            << "Save" << Local << "book.xml" << true << none;
        QTest::addRow("Save after a CSV import writes CSV there")
            << "Save" << Local << "book.csv" << true << none;
        QTest::addRow("Save on a new phonebook asks") << "Save" << Local << "" << false << local;
        QTest::addRow("Save on a new remote phonebook asks")
            << "Save" << Remote << "" << false << texts({"RemotePhonebook(.xml)"});
        QTest::addRow("Save as asks even with a file")
            << "Save as" << Local << "book.xml" << false << local;
        QTest::addRow("Escape does nothing") << "" << Local << "book.xml" << false << none;
    }

    // The save menu: "Save" writes an imported file again in its own format; "Save as", and Save
    // on a new phonebook, propose the kind's automatic name of the moment, types and target folder.
    void saveMenu()
    {
        QFETCH(QString, choice);
        QFETCH(QString, imported);
        QFETCH(int, dirType);
        QFETCH(bool, writes);
        QFETCH(QStringList, offers);
        Scene scene;
        QPushButton anchor(&scene.widget);
        const QString path = scene.filePath(imported);
        LocalContact *contact = nullptr; // groups without contacts are not kept in CSV
        if (!imported.isEmpty()) {
            LocalDirectory::instance().addContact(addLocalGroup(), &contact);
            QVERIFY(LocalDirectory::instance().saveFile(path));
            LocalDirectory::instance().initDefaultGroup();
            scene.flows.importPath(path); // nothing changed: no prompt
            QCOMPARE(Config::instance()->currentFile, path);
        }
        scene.flows.setDirType(dirType);
        LocalDirectory::instance().addContact(addLocalGroup(QStringLiteral("Friends")), &contact);
        QString name;
        QString folder;
        QStringList offered;
        QPointer<QTimer> saveAs =
            whenModalShown<MessageboxDialogSaveFile>([&](MessageboxDialogSaveFile *d) {
                name = d->findChild<QLineEdit *>(QStringLiteral("lineEditFileName"))->text();
                folder = d->findChild<QLineEdit *>(QStringLiteral("lineEditBrowser"))->text();
                auto *box = d->findChild<QComboBox *>();
                for (int i = 0; i < box->count(); ++i)
                    offered << box->itemText(i);
                QTest::keyClick(d, Qt::Key_Escape);
            });
        const QString format = QStringLiteral("yyyyMMddhhmmss");
        const QString before = QDateTime::currentDateTime().toString(format);
        const QStringList items = runMenu([&] { scene.flows.saveButton(&anchor); }, choice);
        const QString after = QDateTime::currentDateTime().toString(format);
        delete saveAs.data(); // withdrawn when its dialog rightly never came

        QCOMPARE(items, texts({"Save", "Save as"}));
        QCOMPARE(offered, offers);
        if (!offers.isEmpty()) {
            const QString prefix =
                QLatin1String(dirType == Remote ? "Remote" : "Local") + QLatin1String("Phonebook_");
            const QString time = name.mid(prefix.size());
            QVERIFY2(name.startsWith(prefix) && time.size() == 14 && time >= before &&
                         time <= after,
                     qPrintable(name));
            QCOMPARE(folder, QDir::current().absolutePath() + QStringLiteral("/target"));
        }
        QCOMPARE(readAll(path).contains("Friends"), writes);
        if (writes)
            QCOMPARE(PhonebookFileKind::probe(path), imported.endsWith(QLatin1String(".csv"))
                                                         ? PhonebookFileKind::LocalCsv
                                                         : PhonebookFileKind::LocalXml);
        QCOMPARE(QDir().entryList(QDir::Files),
                 imported.isEmpty() ? QStringList() : QStringList{imported});
        QCOMPARE(toastWithKind(),
                 writes ? QStringLiteral("success: Saved successfully!") : QString());
    }

    void badFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("toast");
        QTest::addColumn<QString>("current"); // Config::currentFile afterwards; empty: partly read
        const QString unsupported = QStringLiteral("warn: Unsupported file format!");
        const QByteArray twoContacts = localXml(2);
        QTest::addRow("XML that is no phonebook")
            << QByteArray("<html/>") << unsupported << "previous.xml";
        // Save must not write the shortened phonebook over the file.
        QTest::addRow("a file that breaks off") << twoContacts.left(twoContacts.indexOf("C2"))
                                                << "warn: The file could only be partly read!"
                                                << "";
    }

    // A file no store takes leaves the phonebook and the current file as they were; one that breaks
    // off shows as far as it was read but does not become the current file. Both with a warning.
    void badFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, toast);
        QFETCH(QString, current);
        Scene scene;
        const QString path = scene.filePath(QStringLiteral("book.xml"));
        QVERIFY(writeFile(path, content));
        addLocalGroup(QStringLiteral("Old"));
        Config::instance()->currentFile = QStringLiteral("previous.xml");
        QSignalSpy loaded(&scene.flows, &FileWorkflows::sigPhonebookLoaded);
        answerPrompt("Import file", DontSave);
        scene.flows.importPath(path);
        QCOMPARE(toastWithKind(), toast);
        const bool partly = current.isEmpty();
        QCOMPARE(loaded.size(), partly ? 1 : 0);
        QCOMPARE(Config::instance()->currentFile, current);
        QCOMPARE(LocalDirectory::instance().groups().last()->name,
                 QLatin1String(partly ? "Blocklist" : "Old"));
        QCOMPARE(LocalDirectory::instance().contacts().size(), partly ? 1 : 0);
    }

    void chooserListsPhonebooks_data()
    {
        QTest::addColumn<bool>("history"); // else the import dialog's Browse
        QTest::addRow("History") << true;
        QTest::addRow("Import, Browse") << false;
    }

    // The open-file dialogs show the phonebook files of the folder they open in, and only them.
    void chooserListsPhonebooks()
    {
        QFETCH(bool, history);
        Scene scene;
        const QString folder = scene.mkpath(QStringLiteral("target"));
        for (const char *name : {"book.xml", "book.csv", "notes.txt"})
            QVERIFY(writeFile(folder + QLatin1Char('/') + QLatin1String(name), "x"));
        QStringList listed;
        whenModalShown<QFileDialog>([&](QFileDialog *d) {
            auto *model = d->findChild<QFileSystemModel *>();
            const QModelIndex shown = model->index(folder);
            // The folder is read in the background; both phonebooks show when it is done.
            (void)QTest::qWaitFor([&] { return model->rowCount(shown) >= 2; });
            for (int row = 0; row < model->rowCount(shown); ++row)
                listed << model->index(row, 0, shown).data().toString();
            d->reject();
        });
        if (!history)
            whenModalShown<MessageDialogImportFile>([](MessageDialogImportFile *d) {
                QTest::mouseClick(d->findChild<QPushButton *>(QStringLiteral("btnBrowser")),
                                  Qt::LeftButton);
                d->reject();
            });
        history ? scene.flows.history() : scene.flows.importFile();
        listed.sort();
        QCOMPARE(listed, texts({"book.csv", "book.xml"}));
    }
};

QTEST_MAIN(TestFileWorkflows)
#include "tst_fileworkflows.moc"
