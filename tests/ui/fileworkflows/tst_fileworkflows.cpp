// The file workflows as a user meets them: the save-changes prompt in front of close, new file,
// import and history, the quick save, save and save as with their names and failures, and files
// that cannot be loaded or only partly.

#include "../../dialogs/dialogdriver.h"
#include "data/localdirectory.h"
#include "data/phonebookfilekind.h"
#include "data/phonebookmanager.h"
#include "dialogs/messageboxdialogcombobox.h"
#include "dialogs/messageboxdialogsavefile.h"
#include "dialogs/tipwidget.h"
#include "freshstate.h"
#include "modaldriver.h"
#include "shell/config.h"
#include "shell/langtranslater.h"
#include "testfiles.h"
#include "ui/fileworkflows/fileworkflows.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

namespace {

enum Workflow
{
    Close,
    NewFile,
    DropFile,
    History
};

enum Answer
{
    Save = QDialogButtonBox::Ok,
    DontSave = QDialogButtonBox::No,
    Cancel = QDialogButtonBox::Cancel,
    Escape = -1
};

const char *promptTitle(Workflow workflow)
{
    switch (workflow) {
    case Close:
        return "Exit the program";
    case NewFile:
        return "New File";
    case DropFile:
        return "Import file";
    case History:
        return "History";
    }
    return "";
}

void answerPrompt(const char *title, Answer answer)
{
    whenDialogShown(Langtranslater::mark(QLatin1String(title)), [answer](MessageboxDialog *d) {
        if (answer == Escape)
            QTest::keyClick(d, Qt::Key_Escape);
        else
            QTest::mouseClick(buttonOf(d, QDialogButtonBox::StandardButton(answer)),
                              Qt::LeftButton);
    });
}

QString toastText()
{
    TipWidget *toast = TipWidget::current();
    if (!toast || !toast->isVisible())
        return QString();
    return toast->findChild<QLabel *>(QStringLiteral("mainwidowTipLabel"))->text();
}

QString toastIcon()
{
    TipWidget *toast = TipWidget::current();
    return toast ? toast->findChild<QLabel *>(QStringLiteral("mainwidowTipIcon"))
                       ->property("icontype")
                       .toString()
                 : QString();
}

// A local phonebook with a group "Family", unsaved.
void changeLocalPhonebook(const QString &groupName = QStringLiteral("Family"))
{
    LocalGroup *group = LocalDirectory::instance().addGroup();
    QCOMPARE(LocalDirectory::instance().renameGroup(group->id, groupName), PhonebookResult::Done);
}

QStringList groupNames()
{
    QStringList names;
    for (const LocalGroup *group : LocalDirectory::instance().groups())
        names << group->name;
    return names;
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files);
}

struct Window
{
    Window()
    {
        widget.resize(1280, 720);
        TipWidget::create(&widget);
        widget.show();
    }
    QWidget widget;
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
        QTest::addColumn<bool>("goesOn");     // the workflow continued
        QTest::addColumn<bool>("quickSaved"); // a file appeared in target
        QTest::addRow("close, Cancel") << int(Close) << int(Cancel) << false << false;
        QTest::addRow("close, Escape") << int(Close) << int(Escape) << false << false;
        QTest::addRow("close, Don't Save") << int(Close) << int(DontSave) << true << false;
        QTest::addRow("close, Save") << int(Close) << int(Save) << true << true;
        QTest::addRow("new file, Escape") << int(NewFile) << int(Escape) << false << false;
        QTest::addRow("new file, Save") << int(NewFile) << int(Save) << true << true;
        QTest::addRow("dropped file, Cancel") << int(DropFile) << int(Cancel) << false << false;
        QTest::addRow("dropped file, Don't Save")
            << int(DropFile) << int(DontSave) << true << false;
        QTest::addRow("history, Cancel") << int(History) << int(Cancel) << false << false;
        QTest::addRow("history, Don't Save") << int(History) << int(DontSave) << true << false;
    }

    // Every answer of the prompt, in front of every workflow that can lose changes.
    void prompt()
    {
        QFETCH(int, workflow);
        QFETCH(int, answer);
        QFETCH(bool, goesOn);
        QFETCH(bool, quickSaved);
        FreshState state;
        Window window;
        // A file to load, written before the phonebook is changed.
        const QString other = state.filePath(QStringLiteral("books/other.xml"));
        changeLocalPhonebook(QStringLiteral("Other"));
        QDir().mkpath(state.filePath(QStringLiteral("books")));
        QVERIFY(LocalDirectory::instance().saveFile(other));
        LocalDirectory::instance().initDefaultGroup();
        changeLocalPhonebook();
        Config::instance()->currentFile = QStringLiteral("previous.xml");

        FileWorkflows flows(&window.widget);
        QSignalSpy quit(&flows, &FileWorkflows::sigQuit);
        QSignalSpy created(&flows, &FileWorkflows::sigNewPhonebook);
        QSignalSpy loaded(&flows, &FileWorkflows::sigPhonebookLoaded);
        QString savedNote;
        answerPrompt(promptTitle(Workflow(workflow)), Answer(answer));
        QPointer<QTimer> note;
        if (quickSaved)
            whenDialogShown(
                Langtranslater::mark(QStringLiteral("Save File")),
                [&savedNote](MessageboxDialog *d) {
                    savedNote = d->findChild<QLabel *>(QStringLiteral("labNote"))->text();
                    QTest::mouseClick(buttonOf(d, QDialogButtonBox::Ok), Qt::LeftButton);
                });
        QPointer<QTimer> ownDialog;
        bool dialogCame = false;
        if (workflow == NewFile)
            ownDialog = whenModalShown<MessageboxDialogComboBox>([&dialogCame](
                                                                     MessageboxDialogComboBox *d) {
                dialogCame = true;
                d->findChild<QComboBox *>()->setCurrentIndex(1); // Remote Phonebook
                QTest::mouseClick(d->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok),
                                  Qt::LeftButton);
            });
        else if (workflow == History)
            ownDialog = whenModalShown<QFileDialog>([other, &dialogCame](QFileDialog *d) {
                dialogCame = true;
                d->selectFile(other);
                static_cast<QDialog *>(d)->accept();
            });

        switch (Workflow(workflow)) {
        case Close:
            flows.close();
            break;
        case NewFile:
            flows.newFile();
            break;
        case DropFile:
            flows.importPath(other);
            break;
        case History:
            flows.history();
            break;
        }
        delete ownDialog.data(); // withdrawn when its dialog rightly never came

        const QStringList written = filesIn(state.filePath(QStringLiteral("target")));
        QCOMPARE(written.size(), quickSaved ? 1 : 0);
        if (quickSaved) {
            QVERIFY(QRegularExpression(QStringLiteral("^LocalPhonebook_\\d{14}\\.xml$"))
                        .match(written.first())
                        .hasMatch());
            QCOMPARE(savedNote, written.first() + QStringLiteral(" was saved in target folder"));
            QVERIFY(readAll(state.filePath(QStringLiteral("target/") + written.first()))
                        .contains("Family"));
        }
        switch (Workflow(workflow)) {
        case Close:
            QCOMPARE(quit.size(), goesOn ? 1 : 0);
            break;
        case NewFile:
            QCOMPARE(dialogCame, goesOn);
            QCOMPARE(created.size(), goesOn ? 1 : 0);
            if (goesOn)
                QCOMPARE(created.first().first().toInt(), int(PhonebookManager::RemoteDir));
            break;
        case History:
            QCOMPARE(dialogCame, goesOn);
            Q_FALLTHROUGH();
        case DropFile:
            QCOMPARE(loaded.size(), goesOn ? 1 : 0);
            QCOMPARE(groupNames().contains(QStringLiteral("Other")), goesOn);
            break;
        }
        const QString expectedCurrent = !goesOn ? QStringLiteral("previous.xml")
                                        : (workflow == DropFile || workflow == History) ? other
                                        : workflow == NewFile                           ? QString()
                                                              : QStringLiteral("previous.xml");
        QCOMPARE(Config::instance()->currentFile, expectedCurrent);
        if (!goesOn)
            QVERIFY(groupNames().contains(QStringLiteral("Family")));
    }

    // A quick save that cannot write stops the close and says so; the changes are still there.
    // (Tests run as root, so a read-only folder would not fail: target is a plain file here.)
    void failedQuickSaveStopsClose()
    {
        FreshState state;
        Window window;
        QVERIFY(writeFile(state.filePath(QStringLiteral("target")), "not a folder"));
        changeLocalPhonebook();
        FileWorkflows flows(&window.widget);
        QSignalSpy quit(&flows, &FileWorkflows::sigQuit);
        answerPrompt("Exit the program", Save);
        QVERIFY(!flows.mayClose());
        QCOMPARE(quit.size(), 0);
        QCOMPARE(toastText(), QStringLiteral("Failed to save the file!"));
        QCOMPARE(toastIcon(), QStringLiteral("fail"));
        QVERIFY(PhonebookManager::isChanged(PhonebookManager::LocalDir));
    }

    void saveAs_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("folder"); // relative to the work folder; "-" empty
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("written"); // relative; empty: nothing written
        QTest::addColumn<QString>("toast");
        QTest::addRow("\".cvs\" key writes .csv")
            << "book"
            << "out" << FileWorkflows::LocalCsvType << "out/book.csv"
            << "Saved successfully!";
        QTest::addRow("a name ending in .xml gets .xml again")
            << "book.xml"
            << "out" << FileWorkflows::LocalXmlType << "out/book.xml.xml"
            << "Saved successfully!";
        QTest::addRow("missing folders are created")
            << "book"
            << "a/b/c" << FileWorkflows::LocalXmlType << "a/b/c/book.xml"
            << "Saved successfully!";
        QTest::addRow("empty name") << ""
                                    << "out" << FileWorkflows::LocalXmlType << ""
                                    << "File name cannot be empty!";
        QTest::addRow("empty path") << "book"
                                    << "-" << FileWorkflows::LocalXmlType << ""
                                    << "File path cannot be empty!";
        // Root may write anywhere; a folder below a plain file cannot exist for anyone.
        QTest::addRow("unwritable folder") << "book"
                                           << "plain/sub" << FileWorkflows::LocalXmlType << ""
                                           << "Failed to save the file!";
    }

    // Through the save-as dialog: the file written, the toast, and the current file and folder
    // changed only by a save that worked.
    void saveAs()
    {
        QFETCH(QString, name);
        QFETCH(QString, folder);
        QFETCH(QString, type);
        QFETCH(QString, written);
        QFETCH(QString, toast);
        FreshState state;
        Window window;
        QVERIFY(writeFile(state.filePath(QStringLiteral("plain")), "x"));
        changeLocalPhonebook();
        Config::instance()->currentFile = QStringLiteral("previous.xml");
        Config::instance()->lastSaveFolder = state.mkpath(QStringLiteral("last"));
        const QString path = folder == QLatin1String("-") ? QString() : state.filePath(folder);
        QString proposedFolder;
        whenModalShown<MessageboxDialogSaveFile>([&](MessageboxDialogSaveFile *d) {
            auto *nameEdit = d->findChild<QLineEdit *>(QStringLiteral("lineEditFileName"));
            auto *pathEdit = d->findChild<QLineEdit *>(QStringLiteral("lineEditBrowser"));
            proposedFolder = pathEdit->text();
            nameEdit->setText(name);
            pathEdit->setText(path);
            d->findChild<QComboBox *>()->setCurrentText(type);
            QTest::mouseClick(d->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok),
                              Qt::LeftButton);
        });
        FileWorkflows flows(&window.widget);
        flows.saveAs();

        QCOMPARE(proposedFolder, state.filePath(QStringLiteral("last")));
        QCOMPARE(toastText(), toast);
        Config *config = Config::instance();
        if (written.isEmpty()) {
            QCOMPARE(toastIcon(), QString::fromLatin1(
                                      toast.startsWith(QLatin1String("Failed")) ? "fail" : "warn"));
            QCOMPARE(config->currentFile, QStringLiteral("previous.xml"));
            QCOMPARE(config->lastSaveFolder, state.filePath(QStringLiteral("last")));
            QVERIFY(!QFileInfo::exists(state.filePath(QStringLiteral("out"))));
        } else {
            QCOMPARE(toastIcon(), QStringLiteral("success"));
            QCOMPARE(config->currentFile, state.filePath(written));
            QCOMPARE(config->lastSaveFolder, path);
            const PhonebookFileKind::Kind format = type == FileWorkflows::LocalCsvType
                                                       ? PhonebookFileKind::LocalCsv
                                                       : PhonebookFileKind::LocalXml;
            QCOMPARE(PhonebookFileKind::probe(state.filePath(written)), format);
        }
    }

    void proposal_data()
    {
        QTest::addColumn<int>("dirType");
        QTest::addColumn<QString>("namePattern");
        QTest::addColumn<QStringList>("types");
        QTest::addRow("local") << int(PhonebookManager::LocalDir) << "^LocalPhonebook_(\\d{14})$"
                               << texts({"LocalPhonebook(.xml)", "LocalPhonebook(.cvs)"});
        QTest::addRow("remote") << int(PhonebookManager::RemoteDir) << "^RemotePhonebook_(\\d{14})$"
                                << texts({"RemotePhonebook(.xml)"});
    }

    // Save on a new phonebook opens save as, proposing the automatic name of the moment, the
    // types of the kind and the target folder; Cancel writes nothing.
    void proposal()
    {
        QFETCH(int, dirType);
        QFETCH(QString, namePattern);
        QFETCH(QStringList, types);
        FreshState state;
        Window window;
        QString name;
        QString folder;
        QStringList offered;
        whenModalShown<MessageboxDialogSaveFile>([&](MessageboxDialogSaveFile *d) {
            name = d->findChild<QLineEdit *>(QStringLiteral("lineEditFileName"))->text();
            folder = d->findChild<QLineEdit *>(QStringLiteral("lineEditBrowser"))->text();
            auto *box = d->findChild<QComboBox *>();
            for (int i = 0; i < box->count(); ++i)
                offered << box->itemText(i);
            QTest::keyClick(d, Qt::Key_Escape);
        });
        FileWorkflows flows(&window.widget);
        flows.setDirType(dirType);
        const QString before =
            QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmss"));
        flows.save();
        const QString after =
            QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmss"));
        const QRegularExpressionMatch match = QRegularExpression(namePattern).match(name);
        QVERIFY2(match.hasMatch(), qPrintable(name));
        QVERIFY(match.captured(1) >= before && match.captured(1) <= after);
        QCOMPARE(folder, QDir::current().absolutePath() + QStringLiteral("/target"));
        QCOMPARE(offered, types);
        QVERIFY(!QFileInfo::exists(QStringLiteral("target")));
        QCOMPARE(
            FileWorkflows::automaticName(dirType, QDateTime(QDate(2024, 1, 31), QTime(9, 45, 2)))
                .right(15),
            QStringLiteral("_20240131094502"));
    }

    void saveMenu_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<bool>("dialogExpected");
        QTest::addRow("Save with a current file writes it") << 0 << false;
        QTest::addRow("Save as opens the dialog") << 1 << true;
    }

    // The menu under the save button: where it opens, and what each item starts.
    void saveMenu()
    {
        QFETCH(int, item);
        QFETCH(bool, dialogExpected);
        FreshState state;
        Window window;
        auto *anchor = new QPushButton(&window.widget);
        anchor->setGeometry(200, 20, 80, 30);
        anchor->show();
        QVERIFY(QTest::qWaitForWindowExposed(&window.widget));
        Config::instance()->currentFile = state.filePath(QStringLiteral("book.xml"));
        QPoint menuAt;
        QTimer::singleShot(0, [&] {
            QTRY_VERIFY(QApplication::activePopupWidget());
            QWidget *menu = QApplication::activePopupWidget();
            menuAt = menu->pos();
            const QList<QLabel *> labels = menu->findChildren<QLabel *>();
            QCOMPARE(labels.size(), 2);
            QTest::mouseClick(labels.at(item), Qt::LeftButton);
        });
        bool dialogCame = false;
        QPointer<QTimer> dialog =
            whenModalShown<MessageboxDialogSaveFile>([&](MessageboxDialogSaveFile *d) {
                dialogCame = true;
                QTest::keyClick(d, Qt::Key_Escape);
            });
        FileWorkflows flows(&window.widget);
        flows.saveButton(anchor);
        delete dialog.data();
        QCOMPARE(menuAt, window.widget.mapToGlobal(QPoint(190, 42)));
        QCOMPARE(dialogCame, dialogExpected);
        QCOMPARE(QFileInfo::exists(state.filePath(QStringLiteral("book.xml"))), !dialogExpected);
    }

    // After importing a CSV file, Save writes CSV again to the same path.
    void saveAfterCsvImport()
    {
        FreshState state;
        Window window;
        const QString path = state.filePath(QStringLiteral("book.csv"));
        changeLocalPhonebook();
        LocalContact *contact = nullptr;
        const int familyId = LocalDirectory::instance().groups().last()->id;
        QCOMPARE(LocalDirectory::instance().addContact(familyId, &contact), PhonebookResult::Done);
        LocalContact edited = *contact;
        edited.display_name = QStringLiteral("Ann");
        LocalDirectory::instance().updateContact(contact->id, edited);
        QVERIFY(LocalDirectory::instance().saveFile(path));
        LocalDirectory::instance().initDefaultGroup();

        FileWorkflows flows(&window.widget);
        QSignalSpy loaded(&flows, &FileWorkflows::sigPhonebookLoaded);
        flows.importPath(path); // nothing changed: no prompt
        QCOMPARE(loaded.size(), 1);
        QCOMPARE(Config::instance()->currentFile, path);
        const LocalGroup *family = nullptr;
        for (const LocalGroup *group : LocalDirectory::instance().groups())
            if (group->name == QLatin1String("Family"))
                family = group;
        QVERIFY(family);
        QCOMPARE(LocalDirectory::instance().renameGroup(family->id, QStringLiteral("Friends")),
                 PhonebookResult::Done);
        flows.save();
        QCOMPARE(toastText(), QStringLiteral("Saved successfully!"));
        QCOMPARE(PhonebookFileKind::probe(path), PhonebookFileKind::LocalCsv);
        QVERIFY(readAll(path).contains("Friends"));
        QCOMPARE(filesIn(state.path()), QStringList{QStringLiteral("book.csv")});
    }

    void unloadable_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content"); // empty: the file does not exist
        QTest::addRow("a text file") << "notes.txt" << QByteArray("Family,123\n");
        QTest::addRow("XML that is no phonebook") << "page.xml" << QByteArray("<html/>");
        QTest::addRow("a missing file") << "gone.xml" << QByteArray();
    }

    // A file no store takes: a warning, and the phonebook, its kind and the current file stay.
    void unloadable()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        FreshState state;
        Window window;
        changeLocalPhonebook();
        const QString path = state.filePath(name);
        if (!content.isEmpty())
            QVERIFY(writeFile(path, content));
        Config::instance()->currentFile = QStringLiteral("previous.xml");
        FileWorkflows flows(&window.widget);
        QSignalSpy loaded(&flows, &FileWorkflows::sigPhonebookLoaded);
        answerPrompt("Import file", DontSave);
        flows.importPath(path);
        QCOMPARE(toastText(), QStringLiteral("Unsupported file format!"));
        QCOMPARE(toastIcon(), QStringLiteral("warn"));
        QCOMPARE(loaded.size(), 0);
        QCOMPARE(flows.dirType(), int(PhonebookManager::LocalDir));
        QCOMPARE(Config::instance()->currentFile, QStringLiteral("previous.xml"));
        QVERIFY(groupNames().contains(QStringLiteral("Family")));
    }

    // A file that breaks off: what was read is shown, with a warning, and it does not become the
    // current file, so Save cannot write the shortened phonebook over it.
    void partlyRead()
    {
#if !__has_include("data/readresult.h")
        QSKIP("the stores do not report partly read files yet");
#endif
        FreshState state;
        Window window;
        const QString path = state.filePath(QStringLiteral("cut.xml"));
        changeLocalPhonebook();
        changeLocalPhonebook(QStringLiteral("Work"));
        QVERIFY(LocalDirectory::instance().saveFile(path));
        const QByteArray whole = readAll(path);
        const int cut = whole.indexOf("Work");
        QVERIFY(cut > 0);
        QVERIFY(writeFile(path, whole.left(cut)));
        LocalDirectory::instance().initDefaultGroup();
        Config::instance()->currentFile = QStringLiteral("previous.xml");

        FileWorkflows flows(&window.widget);
        QSignalSpy loaded(&flows, &FileWorkflows::sigPhonebookLoaded);
        flows.importPath(path);
        QCOMPARE(loaded.size(), 1);
        QVERIFY(groupNames().contains(QStringLiteral("Family")));
        QCOMPARE(toastText(), QStringLiteral("The file could only be partly read!"));
        QCOMPARE(Config::instance()->currentFile, QString());
    }
};

QTEST_MAIN(TestFileWorkflows)
#include "tst_fileworkflows.moc"
