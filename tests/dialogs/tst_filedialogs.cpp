// The file dialogs as a user meets them: what OK, Cancel and Escape report, and where the two
// Browse buttons start and what they change.

#include "dialogs/messageboxdialogcombobox.h"
#include "dialogs/messageboxdialogsavefile.h"
#include "dialogs/messagedialogimportfile.h"
#include "freshstate.h"
#include "modaldriver.h"
#include "testfiles.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

class TestFileDialogs : public QObject
{
    Q_OBJECT
private slots:
    void answer_data()
    {
        QTest::addColumn<int>("dialog"); // 0 new file, 1 import, 2 save as
        QTest::addColumn<int>("key");    // Qt::Key_Escape, or 0 for a click on button
        QTest::addColumn<int>("button");
        QTest::addColumn<QStringList>("expected"); // empty: no signal
        QTest::addRow("new file, OK")
            << 0 << 0 << int(QDialogButtonBox::Ok) << texts({"Local Phonebook"});
        QTest::addRow("new file, Escape") << 0 << int(Qt::Key_Escape) << 0 << QStringList();
        QTest::addRow("import, OK") << 1 << 0 << int(QDialogButtonBox::Ok) << texts({"/a/b.csv"});
        QTest::addRow("save as, OK: name, folder, first type")
            << 2 << 0 << int(QDialogButtonBox::Ok)
            << texts({"book", "/out", "LocalPhonebook(.xml)"});
        QTest::addRow("save as, Cancel")
            << 2 << 0 << int(QDialogButtonBox::Cancel) << QStringList();
    }

    // OK reports the answer once; anything else reports nothing.
    void answer()
    {
        QFETCH(int, dialog);
        QFETCH(int, key);
        QFETCH(int, button);
        QFETCH(QStringList, expected);
        FreshState state;
        MessageboxDialogBase *shown = nullptr;
        std::unique_ptr<QSignalSpy> spy;
        if (dialog == 0) {
            auto *d = new MessageboxDialogComboBox;
            d->addItems(texts({"Local Phonebook", "Remote Phonebook"}));
            spy = std::make_unique<QSignalSpy>(d, &MessageboxDialogComboBox::sigComboboxSelect);
            shown = d;
        } else if (dialog == 1) {
            auto *d = new MessageDialogImportFile;
            d->pathEdit()->setText(QStringLiteral("/a/b.csv"));
            spy = std::make_unique<QSignalSpy>(d, &MessageDialogImportFile::sigMessageboxInput);
            shown = d;
        } else {
            auto *d = new MessageboxDialogSaveFile;
            d->setFileName(QStringLiteral("book"));
            d->setFileTypes({QStringLiteral("LocalPhonebook(.xml)")});
            d->setFileTypes({QStringLiteral("LocalPhonebook(.cvs)")});
            d->setSavePath(QStringLiteral("/out"));
            spy = std::make_unique<QSignalSpy>(d, &MessageboxDialogSaveFile::sigSaveFile);
            shown = d;
        }
        whenModalShown<MessageboxDialogBase>([key, button](MessageboxDialogBase *d) {
            if (key)
                QTest::keyClick(d, Qt::Key(key));
            else
                QTest::mouseClick(d->findChild<QDialogButtonBox *>()->button(
                                      QDialogButtonBox::StandardButton(button)),
                                  Qt::LeftButton);
        });
        shown->exec(); // deletes the dialog
        QCOMPARE(spy->size(), expected.isEmpty() ? 0 : 1);
        QStringList got;
        for (const QVariant &argument : spy->value(0))
            got << argument.toString();
        QCOMPARE(got, expected);
    }

    void importBrowse_data()
    {
        QTest::addColumn<QString>("field");      // "" empty
        QTest::addColumn<QString>("browseFrom"); // the caller's folder
        QTest::addColumn<QString>("startsIn");
        QTest::addColumn<bool>("choose");
        QTest::addRow("empty field, no folder yet: target") << ""
                                                            << ""
                                                            << "target" << true;
        QTest::addRow("empty field: the caller's folder") << ""
                                                          << "last"
                                                          << "last" << true;
        QTest::addRow("a path in the field wins, cancelled") << "other/x.csv"
                                                             << "last"
                                                             << "other" << false;
    }

    // Where the chooser starts; choosing fills the field and reports the folder, cancelling
    // changes nothing.
    void importBrowse()
    {
        QFETCH(QString, field);
        QFETCH(QString, browseFrom);
        QFETCH(QString, startsIn);
        QFETCH(bool, choose);
        FreshState state;
        for (const char *folder : {"target", "last", "other"})
            state.mkpath(QLatin1String(folder));
        const QString picked = state.filePath(QStringLiteral("picked/book.xml"));
        QVERIFY(writeFile(picked, "<x/>"));
        MessageDialogImportFile dialog;
        const QString fieldText = field.isEmpty() ? QString() : state.filePath(field);
        dialog.pathEdit()->setText(fieldText);
        dialog.setBrowseFolder(browseFrom.isEmpty() ? QString() : state.filePath(browseFrom));
        QSignalSpy folder(&dialog, &MessageDialogImportFile::sigBrowseFolderChosen);
        QString startedIn;
        whenModalShown<QFileDialog>([&](QFileDialog *chooser) {
            startedIn = chooser->directory().absolutePath();
            chooser->selectFile(picked);
            choose ? static_cast<QDialog *>(chooser)->accept() : chooser->reject();
        });
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("btnBrowser")),
                          Qt::LeftButton);
        QCOMPARE(startedIn, QDir(state.filePath(startsIn)).canonicalPath());
        QCOMPARE(dialog.pathEdit()->text(), choose ? picked : fieldText);
        QCOMPARE(folder.value(0).value(0).toString(),
                 choose ? state.filePath(QStringLiteral("picked")) : QString());
    }

    // A cleared path field starts the folder chooser in the proposed folder.
    void saveAsBrowse()
    {
        FreshState state;
        const QString proposed = state.mkpath(QStringLiteral("proposed"));
        const QString chosen = state.mkpath(QStringLiteral("chosen"));
        MessageboxDialogSaveFile dialog;
        dialog.setSavePath(proposed);
        auto *pathField = dialog.findChild<QLineEdit *>(QStringLiteral("lineEditBrowser"));
        pathField->clear();
        QString startedIn;
        whenModalShown<QFileDialog>([&](QFileDialog *chooser) {
            startedIn = chooser->directory().absolutePath();
            chooser->setDirectory(chosen);
            static_cast<QDialog *>(chooser)->accept();
        });
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("btnBrowser")),
                          Qt::LeftButton);
        QCOMPARE(startedIn, QDir(proposed).canonicalPath());
        QCOMPARE(QDir(pathField->text()).canonicalPath(), QDir(chosen).canonicalPath());
    }
};

QTEST_MAIN(TestFileDialogs)
#include "tst_filedialogs.moc"
