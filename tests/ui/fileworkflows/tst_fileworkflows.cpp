// The file workflows as a user meets them: the save-changes prompt in front of close, new file,
// import and history with the quick save behind it, save and save as with their names and
// failures, and files that cannot be loaded or only partly.

#include "../../dialogs/dialogdriver.h"
#include "data/localdirectory.h"
#include "data/phonebookfilekind.h"
#include "data/phonebookmanager.h"
#include "dialogs/messageboxdialogcombobox.h"
#include "dialogs/messageboxdialogsavefile.h"
#include "dialogs/messagedialogimportfile.h"
#include "dialogs/tipwidget.h"
#include "freshstate.h"
#include "modaldriver.h"
#include "testfiles.h"
#include "ui/fileworkflows/fileworkflows.h"
#include "widgets/qvmenu.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QWidgetAction>

namespace {

enum Workflow
{
    Close,
    NewFile,
    Import,
    History
};
constexpr int Escape = -1;
constexpr QDialogButtonBox::StandardButton Save = QDialogButtonBox::Ok;
constexpr QDialogButtonBox::StandardButton DontSave = QDialogButtonBox::No;

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

// "text icon" of the visible toast, empty when none shows.
QString toast()
{
    TipWidget *tip = TipWidget::current();
    if (!tip || !tip->isVisible())
        return QString();
    return tip->findChild<QLabel *>(QStringLiteral("mainwidowTipLabel"))->text() +
           QLatin1Char(' ') +
           tip->findChild<QLabel *>(QStringLiteral("mainwidowTipIcon"))
               ->property("icontype")
               .toString();
}

// An unsaved local phonebook with a group of that name; returns the group's id.
int addLocalGroup(const QString &name = QStringLiteral("Family"))
{
    LocalGroup *group = LocalDirectory::instance().addGroup();
    LocalDirectory::instance().renameGroup(group->id, name);
    return group->id;
}

bool hasGroup(const QString &name)
{
    for (const LocalGroup *group : LocalDirectory::instance().groups())
        if (group->name == name)
            return true;
    return false;
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
        QTest::addColumn<bool>("targetIsFile"); // the quick save cannot write
        QTest::addColumn<bool>("goesOn");
        QTest::addRow("close, Escape") << int(Close) << Escape << false << false;
        QTest::addRow("close, Don't Save") << int(Close) << int(DontSave) << false << true;
        QTest::addRow("close, Save") << int(Close) << int(Save) << false << true;
        QTest::addRow("close, Save fails") << int(Close) << int(Save) << true << false;
        QTest::addRow("new file, Cancel")
            << int(NewFile) << int(QDialogButtonBox::Cancel) << false << false;
        QTest::addRow("new file, Save") << int(NewFile) << int(Save) << false << true;
        QTest::addRow("import, Escape") << int(Import) << Escape << false << false;
        QTest::addRow("import, Don't Save") << int(Import) << int(DontSave) << false << true;
        QTest::addRow("history, Escape") << int(History) << Escape << false << false;
        QTest::addRow("history, Don't Save") << int(History) << int(DontSave) << false << true;
    }

    // The prompt in front of every workflow that replaces or leaves a changed phonebook.
    void prompt()
    {
        QFETCH(int, workflow);
        QFETCH(int, answer);
        QFETCH(bool, targetIsFile);
        QFETCH(bool, goesOn);
        FreshState state;
        Window window;
        const QString other = state.filePath(QStringLiteral("other.xml"));
        addLocalGroup(QStringLiteral("Other"));
        QVERIFY(LocalDirectory::instance().saveFile(other));
        LocalDirectory::instance().initDefaultGroup();
        addLocalGroup();
        if (targetIsFile) // root writes anywhere, so the failure comes from a plain file
            QVERIFY(writeFile(state.filePath(QStringLiteral("target")), "x"));
        Config::instance()->currentFile = QStringLiteral("previous.xml");
        FileWorkflows flows(&window.widget);
        QSignalSpy quit(&flows, &FileWorkflows::sigQuit);
        QSignalSpy created(&flows, &FileWorkflows::sigNewPhonebook);
        QSignalSpy loaded(&flows, &FileWorkflows::sigPhonebookLoaded);

        const char *titles[] = {"Exit the program", "New File", "Import file", "History"};
        answerPrompt(titles[workflow], answer);
        QString note;
        const bool quickSaves = answer == Save && !targetIsFile;
        if (quickSaves)
            whenDialogShown(Langtranslater::mark(QStringLiteral("Save File")),
                            [&note](MessageboxDialog *d) {
                                note = d->findChild<QLabel *>(QStringLiteral("labNote"))->text();
                                QTest::mouseClick(buttonOf(d, Save), Qt::LeftButton);
                            });
        QPointer<QTimer> ownDialog; // withdrawn below when its dialog rightly never came
        if (workflow == NewFile)
            ownDialog = whenModalShown<MessageboxDialogComboBox>([](MessageboxDialogComboBox *d) {
                d->findChild<QComboBox *>()->setCurrentIndex(1); // Remote Phonebook
                QTest::mouseClick(d->findChild<QDialogButtonBox *>()->button(Save), Qt::LeftButton);
            });
        if (workflow == Import)
            ownDialog =
                whenModalShown<MessageDialogImportFile>([other](MessageDialogImportFile *d) {
                    QVERIFY(d->pathEdit()->hasFocus());
                    d->pathEdit()->setText(other);
                    QTest::mouseClick(d->findChild<QDialogButtonBox *>()->button(Save),
                                      Qt::LeftButton);
                });
        if (workflow == History)
            ownDialog = whenModalShown<QFileDialog>([other](QFileDialog *d) {
                d->setDirectory(QFileInfo(other).absolutePath());
                d->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))
                    ->setText(QFileInfo(other).fileName());
                static_cast<QDialog *>(d)->done(
                    QDialog::Accepted); // accept() could stop at a "file not found" box
            });
        switch (workflow) {
        case Close:
            flows.close();
            break;
        case NewFile:
            flows.newFile();
            break;
        case Import:
            flows.importPath(other);
            break;
        case History:
            flows.history();
            break;
        }
        delete ownDialog.data();

        const QStringList written = QDir(QStringLiteral("target")).entryList(QDir::Files);
        QCOMPARE(written.size(), quickSaves ? 1 : 0);
        if (quickSaves) {
            QVERIFY(QRegularExpression(QStringLiteral("^LocalPhonebook_\\d{14}\\.xml$"))
                        .match(written.first())
                        .hasMatch());
            QCOMPARE(note, written.first() + QStringLiteral(" was saved in target folder"));
            QVERIFY(readAll(QStringLiteral("target/") + written.first()).contains("Family"));
        }
        QCOMPARE(toast(),
                 targetIsFile ? QStringLiteral("Failed to save the file! fail") : QString());
        QCOMPARE(quit.size(), workflow == Close && goesOn ? 1 : 0);
        QCOMPARE(created.value(0).value(0).toInt(), workflow == NewFile && goesOn ? 2 : 0);
        const bool loads = (workflow == Import || workflow == History) && goesOn;
        QCOMPARE(loaded.size(), loads ? 1 : 0);
        QCOMPARE(hasGroup(QStringLiteral("Other")), loads);
        QCOMPARE(Config::instance()->currentFile, loads ? other
                                                  : workflow == NewFile && goesOn
                                                      ? QString()
                                                      : QStringLiteral("previous.xml"));
    }

    void saveAs_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("folder"); // relative to the work folder; "" empty
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("written"); // relative; empty: nothing written
        QTest::addColumn<QString>("toast");
        const QString xml = FileWorkflows::LocalXmlType;
        const QString ok = QStringLiteral("Saved successfully! success");
        QTest::addRow("\".cvs\" key writes .csv")
            << "book"
            << "out" << FileWorkflows::LocalCsvType << "out/book.csv" << ok;
        QTest::addRow("name ending in .xml gets .xml again")
            << "book.xml"
            << "out" << xml << "out/book.xml.xml" << ok;
        QTest::addRow("missing folders are created") << "book"
                                                     << "a/b" << xml << "a/b/book.xml" << ok;
        QTest::addRow("empty name") << ""
                                    << "out" << xml << ""
                                    << "File name cannot be empty! warn";
        QTest::addRow("empty path") << "book"
                                    << "" << xml << ""
                                    << "File path cannot be empty! warn";
        // Root writes anywhere; a folder below a plain file cannot exist for anyone.
        QTest::addRow("unwritable folder") << "book"
                                           << "plain/sub" << xml << ""
                                           << "Failed to save the file! fail";
    }

    // Through the dialog: the file written, the toast, and the current file and last folder
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
        addLocalGroup();
        Config *config = Config::instance();
        config->currentFile = QStringLiteral("previous.xml");
        const QString last = config->lastSaveFolder = state.mkpath(QStringLiteral("last"));
        const QString path = folder.isEmpty() ? QString() : state.filePath(folder);
        QString proposed;
        whenModalShown<MessageboxDialogSaveFile>([&](MessageboxDialogSaveFile *d) {
            auto *pathEdit = d->findChild<QLineEdit *>(QStringLiteral("lineEditBrowser"));
            proposed = pathEdit->text();
            pathEdit->setText(path);
            d->findChild<QLineEdit *>(QStringLiteral("lineEditFileName"))->setText(name);
            d->findChild<QComboBox *>()->setCurrentText(type);
            QTest::mouseClick(d->findChild<QDialogButtonBox *>()->button(Save), Qt::LeftButton);
        });
        FileWorkflows(&window.widget).saveAs();
        QCOMPARE(proposed, last);
        QCOMPARE(::toast(), toast);
        QCOMPARE(config->currentFile,
                 written.isEmpty() ? QStringLiteral("previous.xml") : state.filePath(written));
        QCOMPARE(config->lastSaveFolder, written.isEmpty() ? last : path);
        if (!written.isEmpty())
            QCOMPARE(PhonebookFileKind::probe(state.filePath(written)),
                     written.endsWith(QLatin1String(".csv")) ? PhonebookFileKind::LocalCsv
                                                             : PhonebookFileKind::LocalXml);
    }

    void proposal_data()
    {
        QTest::addColumn<int>("dirType");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QStringList>("types");
        QTest::addRow("local") << 1 << "LocalPhonebook_"
                               << texts({"LocalPhonebook(.xml)", "LocalPhonebook(.cvs)"});
        QTest::addRow("remote") << 2 << "RemotePhonebook_" << texts({"RemotePhonebook(.xml)"});
    }

    // Save on a new phonebook proposes the automatic name of the moment, the kind's types and
    // the target folder.
    void proposal()
    {
        QFETCH(int, dirType);
        QFETCH(QString, prefix);
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
        const QString format = QStringLiteral("yyyyMMddhhmmss");
        const QString before = prefix + QDateTime::currentDateTime().toString(format);
        flows.save();
        const QString after = prefix + QDateTime::currentDateTime().toString(format);
        QVERIFY2(name.size() == after.size() && name >= before && name <= after, qPrintable(name));
        QCOMPARE(folder, QDir::current().absolutePath() + QStringLiteral("/target"));
        QCOMPARE(offered, types);
    }

    // After importing a CSV file, Save writes CSV again to the same path.
    void saveAfterCsvImport()
    {
        FreshState state;
        Window window;
        const QString path = state.filePath(QStringLiteral("book.csv"));
        LocalContact *contact = nullptr;
        QCOMPARE(LocalDirectory::instance().addContact(addLocalGroup(), &contact),
                 PhonebookResult::Done);
        QVERIFY(LocalDirectory::instance().saveFile(path));
        LocalDirectory::instance().initDefaultGroup();
        FileWorkflows flows(&window.widget);
        flows.importPath(path); // nothing changed: no prompt
        QCOMPARE(Config::instance()->currentFile, path);
        QVERIFY(hasGroup(QStringLiteral("Family")));
        addLocalGroup(QStringLiteral("Friends"));
        LocalDirectory::instance().addContact(LocalDirectory::instance().groups().last()->id,
                                              &contact);
        flows.save();
        QCOMPARE(toast(), QStringLiteral("Saved successfully! success"));
        QCOMPARE(PhonebookFileKind::probe(path), PhonebookFileKind::LocalCsv);
        QVERIFY(readAll(path).contains("Friends"));
        QCOMPARE(QDir().entryList(QDir::Files), QStringList{QStringLiteral("book.csv")});
    }

    void notLoaded_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty: the file does not exist
        QTest::addRow("XML that is no phonebook") << QByteArray("<html/>");
        QTest::addRow("a missing file") << QByteArray();
    }

    // A file no store takes: a warning; phonebook, kind and current file stay.
    void notLoaded()
    {
        QFETCH(QByteArray, content);
        FreshState state;
        Window window;
        addLocalGroup();
        const QString path = state.filePath(QStringLiteral("page.xml"));
        if (!content.isEmpty())
            QVERIFY(writeFile(path, content));
        Config::instance()->currentFile = QStringLiteral("previous.xml");
        FileWorkflows flows(&window.widget);
        QSignalSpy loaded(&flows, &FileWorkflows::sigPhonebookLoaded);
        answerPrompt("Import file", DontSave);
        flows.importPath(path);
        QCOMPARE(toast(), QStringLiteral("Unsupported file format! warn"));
        QCOMPARE(loaded.size(), 0);
        QCOMPARE(flows.dirType(), 1);
        QCOMPARE(Config::instance()->currentFile, QStringLiteral("previous.xml"));
        QVERIFY(hasGroup(QStringLiteral("Family")));
    }

    void saveMenu_data()
    {
        QTest::addColumn<QString>("choice"); // the item clicked; empty: Escape
        QTest::addColumn<bool>("hasCurrentFile");
        QTest::addColumn<bool>("writes"); // the current file, at once
        QTest::addColumn<bool>("asks");   // the save-as dialog opens
        QTest::addRow("Save writes the current file") << "Save" << true << true << false;
        QTest::addRow("Save on a new phonebook asks") << "Save" << false << false << true;
        QTest::addRow("Save as asks even with a file") << "Save as" << true << false << true;
        QTest::addRow("Escape does nothing") << "" << true << false << false;
    }

    // The Save File button's menu, below the button: "Save" and "Save as", each doing its own.
    void saveMenu()
    {
        QFETCH(QString, choice);
        QFETCH(bool, hasCurrentFile);
        QFETCH(bool, writes);
        QFETCH(bool, asks);
        FreshState state;
        Window window;
        QPushButton anchor(&window.widget);
        anchor.setGeometry(258, 40, 120, 44);
        anchor.show();
        addLocalGroup();
        const QString current = state.filePath(QStringLiteral("book.xml"));
        QVERIFY(writeFile(current, "before"));
        Config::instance()->currentFile = hasCurrentFile ? current : QString();
        bool asked = false;
        QPointer<QTimer> saveAs =
            whenModalShown<MessageboxDialogSaveFile>([&asked](MessageboxDialogSaveFile *d) {
                asked = true, QTest::keyClick(d, Qt::Key_Escape);
            });
        QStringList items;
        QPoint at;
        QTimer poll; // acts on the menu from inside its loop
        poll.setInterval(5);
        connect(&poll, &QTimer::timeout, [&] {
            auto *menu = qobject_cast<qvMenu *>(QApplication::activePopupWidget());
            if (!menu || !menu->isVisible())
                return;
            poll.stop();
            at = menu->pos();
            QLabel *chosen = nullptr;
            for (QAction *action : menu->actions()) {
                auto *label =
                    static_cast<QLabel *>(static_cast<QWidgetAction *>(action)->defaultWidget());
                items << label->text();
                if (label->text() == choice)
                    chosen = label;
            }
            if (chosen)
                QTest::mouseClick(chosen, Qt::LeftButton, {}, QPoint(20, 10));
            else
                QTest::keyClick(menu, Qt::Key_Escape);
        });
        poll.start();
        FileWorkflows(&window.widget).saveButton(&anchor);
        delete saveAs.data(); // withdrawn when its dialog rightly never came

        QCOMPARE(items, texts({"Save", "Save as"}));
        QCOMPARE(at, anchor.mapToGlobal(QPoint(-10, anchor.height() - 8)));
        QCOMPARE(asked, asks);
        QCOMPARE(readAll(current) != "before", writes);
        QCOMPARE(toast(), writes ? QStringLiteral("Saved successfully! success") : QString());
        QCOMPARE(QApplication::activePopupWidget(), nullptr);
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
        FreshState state;
        Window window;
        const QString folder = state.mkpath(QStringLiteral("target"));
        for (const char *name : {"book.xml", "book.csv", "notes.txt"})
            QVERIFY(writeFile(folder + QLatin1Char('/') + QLatin1String(name), "x"));
        QStringList listed;
        whenModalShown<QFileDialog>([&](QFileDialog *d) {
            auto *model = d->findChild<QFileSystemModel *>();
            // The folder is read in the background; both phonebooks show when it is done.
            (void)QTest::qWaitFor([&] { return model->rowCount(model->index(folder)) >= 2; });
            for (int row = 0; row < model->rowCount(model->index(folder)); ++row)
                listed << model->index(row, 0, model->index(folder)).data().toString();
            d->reject();
        });
        FileWorkflows flows(&window.widget);
        if (history) {
            flows.history();
        } else {
            whenModalShown<MessageDialogImportFile>([](MessageDialogImportFile *d) {
                QTest::mouseClick(d->findChild<QPushButton *>(QStringLiteral("btnBrowser")),
                                  Qt::LeftButton);
                d->reject();
            });
            flows.importFile();
        }
        listed.sort();
        QCOMPARE(listed, texts({"book.csv", "book.xml"}));
    }

    void fileDialogLook_data()
    {
        QTest::addColumn<int>("workflow");
        QTest::addRow("new file") << int(NewFile);
        QTest::addRow("import") << int(Import);
        QTest::addRow("save as") << int(Close); // stands for save as here
    }

    // Over the main window, which has a style sheet of its own, Cancel keeps the family's
    // outlined 80 x 38 look like OK instead of falling back to the platform's button.
    void fileDialogLook()
    {
        QFETCH(int, workflow);
        FreshState state;
        Window window;
        window.widget.setStyleSheet(QStringLiteral("QMainWindow\n{\nborder:none;\n}"));
        QSize ok;
        QSize cancel;
        whenModalShown<MessageboxDialogBase>([&](MessageboxDialogBase *d) {
            auto *box = d->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
            ok = box->button(QDialogButtonBox::Ok)->size();
            cancel = box->button(QDialogButtonBox::Cancel)->size();
            d->reject();
        });
        FileWorkflows flows(&window.widget);
        if (workflow == NewFile)
            flows.newFile();
        else if (workflow == Import)
            flows.importFile();
        else
            flows.saveAs();
        QCOMPARE(ok, QSize(96, 38)); // 80 wide and a 16 px margin
        QCOMPARE(cancel, ok);
    }

    // A file that breaks off is shown as far as it was read, with a warning, and does not become
    // the current file, so Save cannot write the shortened phonebook over it.
    void partlyRead()
    {
        FreshState state;
        Window window;
        const QString path = state.filePath(QStringLiteral("cut.xml"));
        addLocalGroup();
        addLocalGroup(QStringLiteral("Work"));
        QVERIFY(LocalDirectory::instance().saveFile(path));
        const QByteArray whole = readAll(path);
        QVERIFY(writeFile(path, whole.left(whole.indexOf("Work"))));
        LocalDirectory::instance().initDefaultGroup();
        Config::instance()->currentFile = QStringLiteral("previous.xml");
        FileWorkflows flows(&window.widget);
        flows.importPath(path);
        QVERIFY(hasGroup(QStringLiteral("Family")));
        QCOMPARE(toast(), QStringLiteral("The file could only be partly read! warn"));
        QCOMPARE(Config::instance()->currentFile, QString());
    }
};

QTEST_MAIN(TestFileWorkflows)
#include "tst_fileworkflows.moc"
