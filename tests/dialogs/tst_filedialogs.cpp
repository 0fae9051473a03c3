// The three file dialogs as a user meets them: what OK, Cancel and Escape report, what the
// save-as dialog's fields hand over, and where the two Browse buttons start and what they change.

#include "dialogs/messageboxdialogcombobox.h"
#include "dialogs/messageboxdialogsavefile.h"
#include "dialogs/messagedialogimportfile.h"
#include "freshstate.h"
#include "modaldriver.h"
#include "shell/langtranslater.h"
#include "testfiles.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

enum Action
{
    ClickOk,
    ClickCancel,
    PressEscape
};

enum Which
{
    NewFileDialog,
    ImportDialog,
    SaveAsDialog
};

// Runs the dialog modally and does action; returns the arguments of each signal it emitted.
QList<QList<QVariant>> runDialog(Which which, Action action, QWidget *parent)
{
    MessageboxDialogBase *dialog = nullptr;
    std::unique_ptr<QSignalSpy> spy;
    if (which == NewFileDialog) {
        auto *d = new MessageboxDialogComboBox(parent);
        d->addItems({QStringLiteral("Local Phonebook"), QStringLiteral("Remote Phonebook")});
        d->addItems({QStringLiteral("Third")});
        spy = std::make_unique<QSignalSpy>(d, &MessageboxDialogComboBox::sigComboboxSelect);
        dialog = d;
    } else if (which == ImportDialog) {
        auto *d = new MessageDialogImportFile(parent);
        d->pathEdit()->setText(QStringLiteral("/some/book.csv"));
        spy = std::make_unique<QSignalSpy>(d, &MessageDialogImportFile::sigMessageboxInput);
        dialog = d;
    } else {
        auto *d = new MessageboxDialogSaveFile(parent);
        d->setFileName(QStringLiteral("book"));
        d->setFileTypes({QStringLiteral("LocalPhonebook(.xml)")});
        d->setFileTypes({QStringLiteral("LocalPhonebook(.cvs)")});
        d->setSavePath(QStringLiteral("/data/out"));
        spy = std::make_unique<QSignalSpy>(d, &MessageboxDialogSaveFile::sigSaveFile);
        dialog = d;
    }
    QPointer<MessageboxDialogBase> alive(dialog);
    whenModalShown<MessageboxDialogBase>([action](MessageboxDialogBase *d) {
        auto *box = d->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
        if (action == PressEscape)
            QTest::keyClick(d, Qt::Key_Escape);
        else
            QTest::mouseClick(
                box->button(action == ClickOk ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel),
                Qt::LeftButton);
    });
    dialog->exec();
    if (alive)
        qWarning("the dialog outlived its modal run");
    return *spy;
}

} // namespace

class TestFileDialogs : public QObject
{
    Q_OBJECT
private slots:
    void answer_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<int>("action");
        QTest::addColumn<QStringList>("expected"); // empty: no signal
        const QStringList none;
        QTest::addRow("new file, OK: the current (first) item")
            << int(NewFileDialog) << int(ClickOk) << texts({"Local Phonebook"});
        QTest::addRow("new file, Cancel") << int(NewFileDialog) << int(ClickCancel) << none;
        QTest::addRow("new file, Escape") << int(NewFileDialog) << int(PressEscape) << none;
        QTest::addRow("import, OK: the field")
            << int(ImportDialog) << int(ClickOk) << texts({"/some/book.csv"});
        QTest::addRow("import, Escape") << int(ImportDialog) << int(PressEscape) << none;
        QTest::addRow("save as, OK: name, folder, first type")
            << int(SaveAsDialog) << int(ClickOk)
            << texts({"book", "/data/out", "LocalPhonebook(.xml)"});
        QTest::addRow("save as, Cancel") << int(SaveAsDialog) << int(ClickCancel) << none;
    }

    // OK reports the dialog's answer once, and the dialog is gone afterwards; anything else
    // reports nothing.
    void answer()
    {
        QFETCH(int, which);
        QFETCH(int, action);
        QFETCH(QStringList, expected);
        FreshState state;
        QWidget window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QList<QList<QVariant>> emitted = runDialog(Which(which), Action(action), &window);
        if (expected.isEmpty()) {
            QVERIFY(emitted.isEmpty());
        } else {
            QCOMPARE(emitted.size(), 1);
            QStringList got;
            for (const QVariant &argument : emitted.first())
                got << argument.toString();
            QCOMPARE(got, expected);
        }
    }

    void saveAsOkButtonReadsSave()
    {
        FreshState state;
        Langtranslater::setLanguage(
            QStringLiteral(QCD_SOURCE_DIR "/app/language/2.GUI.Chinese.lang"));
        auto *dialog = new MessageboxDialogSaveFile;
        std::unique_ptr<QDialog> owner(dialog);
        auto *box = dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
        QCOMPARE(Langtranslater::resolve(box->button(QDialogButtonBox::Ok)->text()),
                 Langtranslater::lookup(QStringLiteral("Save")));
        QVERIFY(Langtranslater::lookup(QStringLiteral("Save")) != QStringLiteral("Save"));
    }

    void importBrowse_data()
    {
        QTest::addColumn<QString>("field");      // relative to the work folder; "" empty
        QTest::addColumn<QString>("browseFrom"); // given by the caller
        QTest::addColumn<QString>("startsIn");
        QTest::addColumn<bool>("choose");
        QTest::addRow("empty field, no folder yet: target") << ""
                                                            << ""
                                                            << "target" << true;
        QTest::addRow("empty field: the caller's folder") << ""
                                                          << "last"
                                                          << "last" << true;
        QTest::addRow("a path in the field wins") << "other/x.csv"
                                                  << "last"
                                                  << "other" << true;
        QTest::addRow("cancelled: field kept") << "other/x.csv"
                                               << ""
                                               << "other" << false;
    }

    // Where the file chooser starts, and what choosing or cancelling changes.
    void importBrowse()
    {
        QFETCH(QString, field);
        QFETCH(QString, browseFrom);
        QFETCH(QString, startsIn);
        QFETCH(bool, choose);
        FreshState state;
        for (const char *folder : {"target", "last", "other", "picked"})
            state.mkpath(QLatin1String(folder));
        const QString picked = state.filePath(QStringLiteral("picked/book.xml"));
        QVERIFY(writeFile(picked, "<x/>"));
        QVERIFY(writeFile(state.filePath(QStringLiteral("other/x.csv")), "a"));

        auto *dialog = new MessageDialogImportFile;
        std::unique_ptr<QDialog> owner(dialog);
        const QString fieldText = field.isEmpty() ? QString() : state.filePath(field);
        dialog->pathEdit()->setText(fieldText);
        dialog->setBrowseFolder(browseFrom.isEmpty() ? QString() : state.filePath(browseFrom));
        QSignalSpy folderSpy(dialog, &MessageDialogImportFile::sigBrowseFolderChosen);
        dialog->show();
        QString startedIn;
        whenModalShown<QFileDialog>([&](QFileDialog *chooser) {
            startedIn = chooser->directory().absolutePath();
            if (choose) {
                chooser->selectFile(picked);
                static_cast<QDialog *>(chooser)->accept();
            } else {
                chooser->reject();
            }
        });
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("btnBrowser")),
                          Qt::LeftButton);
        QCOMPARE(startedIn, QDir(state.filePath(startsIn)).canonicalPath());
        QCOMPARE(dialog->pathEdit()->text(), choose ? picked : fieldText);
        QCOMPARE(folderSpy.size(), choose ? 1 : 0);
        if (choose)
            QCOMPARE(folderSpy.first().first().toString(),
                     state.filePath(QStringLiteral("picked")));
    }

    // A cleared path field starts the folder chooser in the proposed folder; the chosen folder
    // lands in the field and is what Save hands over.
    void saveAsBrowse()
    {
        FreshState state;
        const QString proposed = state.mkpath(QStringLiteral("proposed"));
        const QString chosen = state.mkpath(QStringLiteral("chosen"));
        auto *dialog = new MessageboxDialogSaveFile;
        std::unique_ptr<QDialog> owner(dialog);
        dialog->setSavePath(proposed);
        auto *pathField = dialog->findChild<QLineEdit *>(QStringLiteral("lineEditBrowser"));
        pathField->clear();
        dialog->show();
        QString startedIn;
        whenModalShown<QFileDialog>([&](QFileDialog *chooser) {
            startedIn = chooser->directory().absolutePath();
            chooser->setDirectory(chosen);
            chooser->selectFile(chosen);
            static_cast<QDialog *>(chooser)->accept();
        });
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("btnBrowser")),
                          Qt::LeftButton);
        QCOMPARE(startedIn, QDir(proposed).canonicalPath());
        QCOMPARE(QDir(pathField->text()).canonicalPath(), QDir(chosen).canonicalPath());
    }
};

QTEST_MAIN(TestFileDialogs)
#include "tst_filedialogs.moc"
