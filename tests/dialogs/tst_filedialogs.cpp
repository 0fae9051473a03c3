// The import dialog's Browse button: where the file chooser starts and what choosing or
// cancelling changes. (OK, Cancel and Escape of the file dialogs are driven by the workflow tests.)

#include "dialogs/messagedialogimportfile.h"
#include "freshstate.h"
#include "modaldriver.h"
#include "testfiles.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

class TestFileDialogs : public QObject
{
    Q_OBJECT
private slots:
    void importBrowse_data()
    {
        QTest::addColumn<QString>("field");      // "" empty
        QTest::addColumn<QString>("browseFrom"); // the caller's folder
        QTest::addColumn<QString>("startsIn");
        QTest::addColumn<bool>("choose");
        const QString last = QStringLiteral("last");
        QTest::addRow("empty field, no folder yet: target")
            << QString() << QString() << QStringLiteral("target") << true;
        QTest::addRow("empty field: the caller's folder") << QString() << last << last << true;
        QTest::addRow("a path in the field wins, cancelled")
            << QStringLiteral("other/x.csv") << last << QStringLiteral("other") << false;
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
            chooser->setDirectory(QFileInfo(picked).absolutePath()); // as a user opens it
            // Typed as a user would: selectFile() leaves a focused name field empty.
            chooser->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))
                ->setText(QFileInfo(picked).fileName());
            // done() rather than accept(): no "file not found" box while the model still loads
            static_cast<QDialog *>(chooser)->done(choose ? QDialog::Accepted : QDialog::Rejected);
        });
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("btnBrowser")),
                          Qt::LeftButton);
        QCOMPARE(startedIn, QDir(state.filePath(startsIn)).canonicalPath());
        QCOMPARE(dialog.pathEdit()->text(), choose ? picked : fieldText);
        QCOMPARE(folder.value(0).value(0).toString(),
                 choose ? state.filePath(QStringLiteral("picked")) : QString());
    }
};

QTEST_MAIN(TestFileDialogs)
#include "tst_filedialogs.moc"
