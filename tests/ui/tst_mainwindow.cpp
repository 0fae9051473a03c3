// The main window on real widgets: the title-bar drag, the empty-group panel and the title count,
// the batch bar, contact menu and drops on the tree, closing, a file opened at start, language
// change, and the HTTP switch with the address rewrite.

#include "../dialogs/dialogdriver.h"
#include "data/localdirectory.h"
#include "data/localgroup.h"
#include "data/phonebookmanager.h"
#include "data/remotedirectory.h"
#include "data/remotegroup.h"
#include "dialogs/tipwidget.h"
#include "menuandtoast.h"
#include "freshstate.h"
#include "http/httpserver.h"
#include "http/panel/httpserversettingwidget.h"
#include "http/panel/httpserverurlfiledialog.h"
#include "shell/config.h"
#include "shell/cucstyle.h"
#include "shell/langtranslater.h"
#include "ui/contactlist/listcontactwidget.h"
#include "ui/contactlist/nocontactwidget.h"
#include "ui/groupselect/treegroupselectwidget.h"
#include "ui/mainwindow.h"
#include "widgets/qvmenu.h"
#include "widgets/qvtreewidget.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTcpServer>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWidgetAction>

#include <functional>
#include <memory>

namespace {

const QString languageDir = QStringLiteral(QCD_SOURCE_DIR "/app/language/");

template <typename W = QWidget> W *part(MainWindow &window, const char *name)
{
    return window.findChild<W *>(QLatin1String(name));
}

// A started window in a fresh working folder, shown and active.
struct Started
{
    FreshState state;
    std::unique_ptr<MainWindow> window = std::make_unique<MainWindow>();

    Started(bool show = true)
    {
        window->init();
        if (show) {
            window->show();
            window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(window.get()));
        }
    }
    ~Started()
    {
        window.reset();
        HttpServer::instance()->setOpen(false);
    }
    template <typename W = QWidget> W *operator()(const char *name)
    {
        return part<W>(*window, name);
    }
};

QPushButton *createNow(MainWindow &window)
{
    auto *panel = window.findChild<NoContactWidget *>();
    return panel ? panel->findChild<QPushButton *>(QStringLiteral("pushButton")) : nullptr;
}

QString groupTitle(MainWindow &window)
{
    return Langtranslater::resolve(part<QLabel>(window, "labelGroupTitle")->text());
}

int freePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::AnyIPv4, 0) ? probe.serverPort() : 0;
}

QString switchState(Started &s)
{
    return s("btnSwitchHttpserver")->property("switch").toString();
}

// A saved remote phonebook in target whose menu points at the address given.
QString saveRemoteMenu(const QString &baseUrl)
{
    RemoteDirectory &remote = RemoteDirectory::instance();
    if (RemoteGroup *group = remote.addGroup(0))
        remote.addContact(group->id, nullptr);
    QDir().mkpath(QStringLiteral("target"));
    const QString path = QDir::current().absoluteFilePath(QStringLiteral("target/book.xml"));
    remote.saveFile(path, baseUrl);
    return path;
}

QString readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QApplication::setStyle(new CUCStyle); // the application owns it
    }

    // Where a press starts decides whether the window follows the mouse.
    void drag_data()
    {
        QTest::addColumn<QString>("pressed"); // object name of the widget under the press
        QTest::addColumn<QPoint>("at");       // window coordinates
        QTest::addColumn<bool>("active");
        QTest::addColumn<bool>("moves");
        QTest::newRow("free title bar") << "wgtTitle" << QPoint(800, 20) << true << true;
        QTest::newRow("title-bar name") << "labelTitlebarName" << QPoint(100, 20) << true << true;
        QTest::newRow("title-bar button") << "btnNewFile" << QPoint(60, 60) << true << false;
        QTest::newRow("content area") << "wgtContactDetail" << QPoint(680, 300) << true << false;
        QTest::newRow("inactive window") << "wgtTitle" << QPoint(800, 20) << false << false;
    }
    void drag()
    {
        QFETCH(QString, pressed);
        QFETCH(QPoint, at);
        QFETCH(bool, active);
        QFETCH(bool, moves);
        Started s;
        MainWindow &window = *s.window;
        QWidget *target = window.childAt(at);
        QVERIFY(target);
        QCOMPARE(target->objectName(), pressed);
        QWidget other;
        if (!active) {
            other.show();
            other.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&other));
            QVERIFY(!window.isActiveWindow());
        }
        const QPoint start = window.pos();
        const QPoint local = target->mapFrom(&window, at);
        QTest::mousePress(target, Qt::LeftButton, {}, local);
        // Mouse grabs are the window's own; the move arrives where the press went.
        QWidget *grabber = QWidget::mouseGrabber() ? QWidget::mouseGrabber() : target;
        const QPoint to = grabber->mapFromGlobal(target->mapToGlobal(local) + QPoint(30, 40));
        QMouseEvent move(QEvent::MouseMove, to, grabber->mapToGlobal(to), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(grabber, &move);
        QTest::mouseRelease(grabber, Qt::LeftButton, {}, to);
        QCOMPARE(window.pos(), moves ? start + QPoint(30, 40) : start);
        QVERIFY(!QWidget::mouseGrabber());
    }

    // The menu behind "more" and the batch bar it opens.
    void batchBar()
    {
        Started s;
        QTest::mouseClick(createNow(*s.window), Qt::LeftButton);
        QWidget *search = s("wgtSearchWidget");
        QWidget *batch = s("wgtContactBatch");
        QWidget *icon = s("labContactAllSelectIcon");
        QVERIFY(search->isVisible() && batch->isHidden());

        const QStringList items =
            runMenu([&] { QTest::mouseClick(s("btnContactMore"), Qt::LeftButton); },
                    QStringLiteral("Batch Operation"));
        QCOMPARE(items, QStringList{QStringLiteral("Batch Operation")}); // local: no settings
        QTRY_VERIFY(batch->isVisible());
        QVERIFY(search->isHidden());
        QCOMPARE(icon->property("select").toString(), QStringLiteral("off"));

        auto *list = s.window->findChild<ListContactWidget *>();
        QVERIFY(list->batchState());
        QTest::mouseClick(s("btnContactAllSelect"), Qt::LeftButton);
        QCOMPARE(icon->property("select").toString(), QStringLiteral("all"));
        QCOMPARE(list->selectedContactIds().size(), 1);
        QTest::mouseClick(s("btnContactAllSelect"), Qt::LeftButton);
        QCOMPARE(icon->property("select").toString(), QStringLiteral("off"));

        QTest::mouseClick(s("btnContactBathCancle"), Qt::LeftButton);
        QVERIFY(search->isVisible() && batch->isHidden());
        QVERIFY(!list->batchState());

        // Escape leaves batch mode; Ctrl+F goes to the search field, but only where it shows.
        runMenu([&] { QTest::mouseClick(s("btnContactMore"), Qt::LeftButton); },
                QStringLiteral("Batch Operation"));
        QTRY_VERIFY(batch->isVisible());
        // Offscreen, a closed popup hands activation back to no window.
        s.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(s.window.get()));
        QTest::mouseClick(s("wgtTitle"), Qt::LeftButton, {},
                          QPoint(800, 20)); // focus leaves the editor
        QTest::keyClick(s.window.get(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(!s("editSearchContact")->hasFocus());
        QTest::keyClick(s.window.get(), Qt::Key_Escape);
        QVERIFY(search->isVisible() && batch->isHidden());
        QTest::keyClick(s.window.get(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(s("editSearchContact")->hasFocus());

        // A group change leaves batch mode too.
        runMenu([&] { QTest::mouseClick(s("btnContactMore"), Qt::LeftButton); },
                QStringLiteral("Batch Operation"));
        QTRY_VERIFY(batch->isVisible());
        auto *tree = s.window->findChild<QTreeWidget *>();
        QVERIFY(tree && tree->topLevelItemCount() >= 2);
        tree->setCurrentItem(tree->topLevelItem(1));
        QTRY_VERIFY(!list->batchState());
        QVERIFY(batch->isHidden());
    }

    // The batch bar's "Move to" opens the window's picker below the bar and moves the ticked
    // contacts after the question; Delete (button or key) deletes them after its question.
    void batchMoveAndDelete()
    {
        Started s;
        MainWindow &window = *s.window;
        QTest::mouseClick(createNow(window), Qt::LeftButton);
        QTest::mouseClick(s("btnAddContact"), Qt::LeftButton);
        QTest::mouseClick(s("btnAddGroup"), Qt::LeftButton); // third row, current
        auto *tree = window.findChild<QTreeWidget *>();
        QCOMPARE(tree->topLevelItemCount(), 3);
        tree->setCurrentItem(tree->topLevelItem(0));
        QTRY_VERIFY(s("wgtContact")->isVisible());
        runMenu([&] { QTest::mouseClick(s("btnContactMore"), Qt::LeftButton); },
                QStringLiteral("Batch Operation"));
        QTRY_VERIFY(s("wgtContactBatch")->isVisible());
        QTest::mouseClick(s("btnContactAllSelect"), Qt::LeftButton);

        QTest::mouseClick(s("btnContactMoveto"), Qt::LeftButton);
        TreeGroupSelectWidget *picker = nullptr;
        for (auto *candidate : window.findChildren<TreeGroupSelectWidget *>())
            if (candidate->parentWidget() == &window)
                picker = candidate;
        QVERIFY(picker && picker->isVisible());
        QCOMPARE(picker->pos(), window.mapToGlobal(QPoint(450, 160)));
        const int target = LocalDirectory::instance().groups().last()->id;
        whenDialogShown(Langtranslater::mark(QStringLiteral("Note")), [](MessageboxDialog *dialog) {
            QTest::mouseClick(buttonOf(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
        });
        picker->treeWidget()->setCurrentItem(picker->treeWidget()->topLevelItem(2));
        QCOMPARE(PhonebookManager::contactCount(1, target), 2);
        QCOMPARE(groupTitle(window), QStringLiteral("Local Group (2)"));

        tree->setCurrentItem(tree->topLevelItem(2));
        QTRY_VERIFY(s("wgtContact")->isVisible());
        runMenu([&] { QTest::mouseClick(s("btnContactMore"), Qt::LeftButton); },
                QStringLiteral("Batch Operation"));
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::mouseClick(s("btnContactAllSelect"), Qt::LeftButton);
        whenDialogShown(Langtranslater::mark(QStringLiteral("Note")), [](MessageboxDialog *dialog) {
            QTest::mouseClick(buttonOf(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
        });
        QTest::mouseClick(s("wgtTitle"), Qt::LeftButton, {}, QPoint(800, 20));
        QTest::keyClick(&window, Qt::Key_Delete);
        QCOMPARE(PhonebookManager::contactCount(1, -1), 0);
        QCOMPARE(groupTitle(window), QStringLiteral("Local Group (0)"));
        QVERIFY(createNow(window)->isVisible()); // the group is empty now
    }

    // F2 renames the current editable group; Delete outside batch mode asks, then deletes the
    // current contact only.
    void renameAndDeleteKeys()
    {
        Started s;
        MainWindow &window = *s.window;
        QTest::mouseClick(createNow(window), Qt::LeftButton);
        QTest::mouseClick(s("btnAddContact"), Qt::LeftButton);
        QCOMPARE(PhonebookManager::contactCount(1, -1), 2);
        auto *tree = window.findChild<QTreeWidget *>();
        const auto renaming = [&] {
            for (auto *edit : tree->findChildren<QLineEdit *>(QStringLiteral("editGruopName")))
                if (edit->isVisible())
                    return true;
            return false;
        };
        QTest::mouseClick(s("wgtTitle"), Qt::LeftButton, {}, QPoint(800, 20));
        QTest::keyClick(&window, Qt::Key_F2); // "All Contacts" is built in
        QVERIFY(!renaming());
        QTest::mouseClick(s("btnAddGroup"), Qt::LeftButton);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_VERIFY(!renaming());
        QTest::mouseClick(s("wgtTitle"), Qt::LeftButton, {}, QPoint(800, 20));
        QTest::keyClick(&window, Qt::Key_F2);
        QTRY_VERIFY(renaming());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);

        tree->setCurrentItem(tree->topLevelItem(0));
        QTRY_VERIFY(s("wgtContact")->isVisible());
        QTest::mouseClick(s("wgtTitle"), Qt::LeftButton, {}, QPoint(800, 20));
        bool asked = false;
        whenDialogShown(Langtranslater::mark(QStringLiteral("Note")),
                        [&asked](MessageboxDialog *dialog) {
                            asked = true;
                            QTest::mouseClick(buttonOf(dialog, QDialogButtonBox::Ok),
                                              Qt::LeftButton);
                        });
        QTest::keyClick(&window, Qt::Key_Delete);
        QVERIFY(asked);
        QCOMPARE(PhonebookManager::contactCount(1, -1), 1);
    }

    // Ticked contacts dragged onto a group of the tree move there after the same question.
    void dragContactsOntoGroup()
    {
        Started s;
        MainWindow &window = *s.window;
        QTest::mouseClick(createNow(window), Qt::LeftButton);
        QTest::mouseClick(s("btnAddGroup"), Qt::LeftButton);
        auto *tree = window.findChild<QTreeWidget *>();
        tree->setCurrentItem(tree->topLevelItem(0));
        QTRY_VERIFY(s("wgtContact")->isVisible());
        runMenu([&] { QTest::mouseClick(s("btnContactMore"), Qt::LeftButton); },
                QStringLiteral("Batch Operation"));
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::mouseClick(s("btnContactAllSelect"), Qt::LeftButton);

        // Offscreen drags end at once, so the drop arrives as the tree's viewport would get it.
        QWidget *onto = tree->viewport();
        const QPoint blocklist = tree->visualItemRect(tree->topLevelItem(1)).center();
        const QPoint added = tree->visualItemRect(tree->topLevelItem(2)).center();
        QMimeData data;
        data.setData(MainWindow::contactDragFormat(), QByteArray());
        QDragEnterEvent enter(added, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(onto, &enter);
        QVERIFY(enter.isAccepted());
        QMimeData text;
        text.setText(QStringLiteral("Alice"));
        QDragMoveEvent foreign(blocklist, Qt::MoveAction, &text, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(onto, &foreign);
        QVERIFY(!foreign.isAccepted());

        bool asked = false;
        whenDialogShown(
            Langtranslater::mark(QStringLiteral("Note")), [&](MessageboxDialog *dialog) {
                asked = true;
                QTest::mouseClick(buttonOf(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
            });
        QDropEvent drop(added, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(onto, &drop);
        QVERIFY(asked);
        const int group = LocalDirectory::instance().groups().last()->id;
        QCOMPARE(PhonebookManager::contactCount(1, group), 1);
        QCOMPARE(tree->topLevelItemCount(), 3);
    }

    // Outside batch mode the current contact alone is dragged, with the same question.
    void dragCurrentContactOntoGroup()
    {
        Started s;
        MainWindow &window = *s.window;
        QTest::mouseClick(createNow(window), Qt::LeftButton);
        QTest::mouseClick(s("btnAddContact"), Qt::LeftButton);
        QTest::mouseClick(s("btnAddGroup"), Qt::LeftButton);
        auto *tree = window.findChild<QTreeWidget *>();
        tree->setCurrentItem(tree->topLevelItem(0));
        QTRY_VERIFY(s("wgtContact")->isVisible());
        auto *list = window.findChild<ListContactWidget *>();
        list->setCurrentRow(1);
        const int moving = list->contactIdAt(1);
        whenDialogShown(Langtranslater::mark(QStringLiteral("Note")), [](MessageboxDialog *dialog) {
            QTest::mouseClick(buttonOf(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
        });
        QMimeData data;
        data.setData(MainWindow::contactDragFormat(), MainWindow::currentContactDrag());
        const QPoint added = tree->visualItemRect(tree->topLevelItem(2)).center();
        QDragEnterEvent enter(added, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(tree->viewport(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(added, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(tree->viewport(), &drop);
        const int group = LocalDirectory::instance().groups().last()->id;
        QCOMPARE(LocalDirectory::instance().findGroup(group)->contactIds, QList<int>{moving});
    }

    // Closing by the window manager asks about unsaved changes as the close button does.
    void closeAsksFirst_data()
    {
        QTest::addColumn<bool>("changed");
        QTest::addColumn<int>("answer"); // a QDialogButtonBox::StandardButton; NoButton: no prompt
        QTest::addColumn<bool>("closes");
        QTest::newRow("unchanged") << false << int(QDialogButtonBox::NoButton) << true;
        QTest::newRow("changed, Cancel") << true << int(QDialogButtonBox::Cancel) << false;
        QTest::newRow("changed, Don't Save") << true << int(QDialogButtonBox::No) << true;
    }
    void closeAsksFirst()
    {
        QFETCH(bool, changed);
        QFETCH(int, answer);
        QFETCH(bool, closes);
        Started s;
        MainWindow &window = *s.window;
        if (changed)
            QTest::mouseClick(createNow(window), Qt::LeftButton);
        bool asked = false;
        if (answer != QDialogButtonBox::NoButton)
            whenDialogShown(Langtranslater::mark(QStringLiteral("Exit the program")),
                            [&](MessageboxDialog *dialog) {
                                asked = true;
                                QTest::mouseClick(
                                    buttonOf(dialog, QDialogButtonBox::StandardButton(answer)),
                                    Qt::LeftButton);
                            });
        // The close event the window manager's close button or Alt+F4 leads to.
        QCOMPARE(window.close(), closes);
        QCOMPARE(asked, answer != QDialogButtonBox::NoButton);
        QCOMPARE(window.isVisible(), !closes);
        QVERIFY(QDir(QStringLiteral("target")).entryList(QDir::Files).isEmpty()); // nothing saved
    }

    // A file named on the command line opens like an import: a remote menu brings the remote
    // panes, the remote title and the remote entries of the contact menu.
    void openFileAtStart()
    {
        Started s;
        MainWindow &window = *s.window;
        const QString menu = saveRemoteMenu(QStringLiteral("http://192.0.2.7:80/"));
        RemoteDirectory::instance().initDefaultGroup();
        window.openFile(menu);
        QCOMPARE(groupTitle(window), QStringLiteral("Remote Group (1)"));
        auto *tree = window.findChild<QTreeWidget *>();
        // The first group is the empty default directory; the saved one holds the contact.
        QTRY_VERIFY(createNow(window)->isVisible());
        QVERIFY(s("wgtContact")->isHidden());
        QCOMPARE(tree->topLevelItemCount(), 2);
        tree->setCurrentItem(tree->topLevelItem(1));
        QTRY_VERIFY(s("wgtContact")->isVisible());
        QCOMPARE(window.findChild<ListContactWidget *>()->count(), 1);

        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const QStringList items =
            runMenu([&] { QTest::mouseClick(s("btnContactMore"), Qt::LeftButton); });
        QCOMPARE(items, (QStringList{QStringLiteral("Contact Settings"),
                                     QStringLiteral("Batch Operation")}));
    }

    // A phonebook file dropped from a file manager loads like an import; other drops do not.
    void fileDrop_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("accepted");
        QTest::addRow("menu file") << QStringLiteral("book.xml") << true;
        QTest::addRow("upper-case extension") << QStringLiteral("BOOK.XML") << true;
        QTest::addRow("text file") << QStringLiteral("book.txt") << false;
    }

    void fileDrop()
    {
        QFETCH(QString, name);
        QFETCH(bool, accepted);
        Started s;
        MainWindow &window = *s.window;
        const QString saved = saveRemoteMenu(QStringLiteral("http://192.0.2.7:80/"));
        const QString path = QFileInfo(saved).absolutePath() + QLatin1Char('/') + name;
        if (path != saved)
            QVERIFY(QFile::rename(saved, path));
        RemoteDirectory::instance().initDefaultGroup();
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(path)});
        const QPoint at(640, 400);
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &enter);
        QCOMPARE(enter.isAccepted(), accepted);
        QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &drop);
        if (accepted)
            QTRY_COMPARE(groupTitle(window), QStringLiteral("Remote Group (1)"));
        else
            QCOMPARE(groupTitle(window), QStringLiteral("Local Group (0)"));
    }

    // The list shows only for a group with contacts; the title counts the whole phonebook.
    void emptyGroupAndCount()
    {
        Started s;
        MainWindow &window = *s.window;
        QWidget *contacts = s("wgtContact");
        QPushButton *create = createNow(window);
        QVERIFY(create && create->isVisible());
        QVERIFY(contacts->isHidden());
        QCOMPARE(groupTitle(window), QStringLiteral("Local Group (0)"));

        QTest::mouseClick(create, Qt::LeftButton);
        QVERIFY(contacts->isVisible() && !create->isVisible());
        QCOMPARE(groupTitle(window), QStringLiteral("Local Group (1)"));
        // The new contact opens for editing.
        QTRY_VERIFY(s("btnEditContact")->isVisible());
        QCOMPARE(part<QPushButton>(window, "btnEditContact")->text(), QStringLiteral("OK"));

        QTest::mouseClick(s("btnAddContact"), Qt::LeftButton);
        QCOMPARE(groupTitle(window), QStringLiteral("Local Group (2)"));
        QCOMPARE(window.findChild<ListContactWidget *>()->count(), 2);

        auto *tree = window.findChild<QTreeWidget *>();
        tree->setCurrentItem(tree->topLevelItem(1)); // Blocklist: empty
        QTRY_VERIFY(create->isVisible());
        QVERIFY(contacts->isHidden());
        tree->setCurrentItem(tree->topLevelItem(0));
        QTRY_VERIFY(contacts->isVisible());
        QVERIFY(!create->isVisible());
    }

    // A remote menu that holds sub-groups takes no contacts: neither the list nor the panel.
    void menuWithSubGroupsShowsNeither()
    {
        Started s;
        MainWindow &window = *s.window;
        RemoteDirectory &remote = RemoteDirectory::instance();
        RemoteGroup *menu = remote.addGroup(0);
        QVERIFY(menu && remote.addGroup(menu->id));
        QDir().mkpath(QStringLiteral("target"));
        const QString path = QDir::current().absoluteFilePath(QStringLiteral("target/menu.xml"));
        QVERIFY(remote.saveFile(path, QStringLiteral("http://192.0.2.7:80/")));
        window.openFile(path);
        auto *tree = window.findChild<QTreeWidget *>();
        QTreeWidgetItem *menuRow = nullptr;
        for (int i = 0; i < tree->topLevelItemCount() && !menuRow; ++i)
            if (tree->topLevelItem(i)->childCount() > 0)
                menuRow = tree->topLevelItem(i);
        QVERIFY(menuRow);
        tree->setCurrentItem(menuRow->child(0)); // an empty directory: the panel
        QTRY_VERIFY(createNow(window)->isVisible());
        tree->setCurrentItem(menuRow);
        QTRY_VERIFY(!createNow(window)->isVisible());
        QVERIFY(s("wgtContact")->isHidden());
    }

    // At the limit the window says so and still shows the right counts.
    void contactLimit()
    {
        Started s;
        MainWindow &window = *s.window;
        for (int i = 0; i < LocalDirectory::MaxContacts; ++i)
            LocalDirectory::instance().addContact(0, nullptr);
        auto *tree = window.findChild<QTreeWidget *>();
        tree->setCurrentItem(tree->topLevelItem(1));
        tree->setCurrentItem(tree->topLevelItem(0));
        QTRY_VERIFY(s("wgtContact")->isVisible());
        QString shown;
        whenDialogShown(
            Langtranslater::mark(QStringLiteral("Note")), [&](MessageboxDialog *dialog) {
                shown = dialog->findChild<QLabel *>(QStringLiteral("labNote"))->text();
                QTest::mouseClick(buttonOf(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
            });
        QTest::mouseClick(s("btnAddContact"), Qt::LeftButton);
        QCOMPARE(Langtranslater::resolve(shown),
                 QStringLiteral("Sorry, the number of contacts has reached the maximum value!"));
        QCOMPARE(groupTitle(window), QStringLiteral("Local Group (1000)"));
        QVERIFY(s("wgtContact")->isVisible());
        QCOMPARE(window.findChild<ListContactWidget *>()->count(), 1000);
    }

    // Choosing a language in the settings retranslates the window at once, and back again.
    void languageChange()
    {
        FreshState state;
        QDir().mkpath(QStringLiteral("app/language"));
        for (const char *name : {"1.GUI.English.lang", "2.GUI.Chinese.lang"})
            QVERIFY(QFile::copy(languageDir + QLatin1String(name),
                                QStringLiteral("app/language/") + QLatin1String(name)));
        Langtranslater::scanLanguages();
        MainWindow window;
        window.init();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *newFile = part<QPushButton>(window, "btnNewFile");
        auto *search = part<QLineEdit>(window, "editSearchContact");
        QCOMPARE(newFile->text(), QStringLiteral("New File"));

        QTest::mouseClick(part(window, "btnSetting"), Qt::LeftButton);
        auto *combo = window.findChild<QComboBox *>(QStringLiteral("comboBox"));
        QVERIFY(combo && combo->isVisible());
        QCOMPARE(combo->count(), 2);
        combo->setCurrentIndex(1);
        QCOMPARE(newFile->text(), QString::fromUtf8("新建文件"));
        QCOMPARE(search->placeholderText(), QString::fromUtf8("搜索联系人"));
        QCOMPARE(part<QPushButton>(window, "btnClose")->toolTip(), QString::fromUtf8("关闭"));
        QCOMPARE(groupTitle(window), QString::fromUtf8("本地分组 (0)"));
        combo->setCurrentIndex(0);
        QCOMPARE(newFile->text(), QStringLiteral("New File"));
        QCOMPARE(search->placeholderText(), QStringLiteral("Search Contact"));
        Langtranslater::setLanguage(QString());
    }

    // The switch shows what the server really does; success is told only when it listens.
    void httpSwitch()
    {
        Started s;
        HttpServer *server = HttpServer::instance();
        QCOMPARE(switchState(s), QStringLiteral("off"));

        server->setPort(freePort());
        QTest::mouseClick(s("btnSwitchHttpserver"), Qt::LeftButton);
        QVERIFY(server->isListening());
        QCOMPARE(switchState(s), QStringLiteral("on"));
        QCOMPARE(toastText(),
                 Langtranslater::lookup(QStringLiteral("Opened the HTTP server successfully!")));

        QTest::mouseClick(s("btnSwitchHttpserver"), Qt::LeftButton);
        QVERIFY(!server->isListening() && !server->isOpen());
        QCOMPARE(switchState(s), QStringLiteral("off"));
        QCOMPARE(toastText(),
                 Langtranslater::lookup(QStringLiteral("Closed the HTTP server successfully!")));

        QTcpServer blocker;
        QVERIFY(blocker.listen(QHostAddress::AnyIPv4, 0));
        server->setPort(blocker.serverPort());
        QTest::mouseClick(s("btnSwitchHttpserver"), Qt::LeftButton);
        QCOMPARE(toastText(), HttpServer::listenFailedText());
        QCOMPARE(switchState(s), QStringLiteral("off"));
        QVERIFY(!server->isOpen());
        QCOMPARE(Config::instance()
                     ->value(QStringLiteral("user"), QStringLiteral("httpserver"))
                     .toString(),
                 QStringLiteral("off"));
    }

    // The stored switch is applied at start-up, and a port that cannot listen is reported then.
    void httpSwitchAtStart_data()
    {
        QTest::addColumn<bool>("portFree");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("toast");
        QTest::newRow("listens") << true << "on" << QString();
        QTest::newRow("port taken") << false << "off" << HttpServer::listenFailedText();
    }
    void httpSwitchAtStart()
    {
        QFETCH(bool, portFree);
        QFETCH(QString, shown);
        QFETCH(QString, toast);
        FreshState state;
        QTcpServer blocker;
        QVERIFY(blocker.listen(QHostAddress::AnyIPv4, 0));
        const int port = blocker.serverPort();
        if (portFree)
            blocker.close();
        HttpServer::instance()->setPort(port);
        {
            const QSignalBlocker quiet(HttpServer::instance()); // no window yet to tell
            HttpServer::instance()->setOpen(true);
        }
        MainWindow window;
        window.init();
        QCOMPARE(part(window, "btnSwitchHttpserver")->property("switch").toString(), shown);
        TipWidget *tip = TipWidget::current();
        const auto *label = tip->findChild<QLabel *>(QStringLiteral("mainwidowTipLabel"));
        QCOMPARE(tip->isHidden() ? QString() : label->text(), toast);
        QCOMPARE(HttpServer::instance()->isListening(), portFree);
        HttpServer::instance()->setOpen(false);
    }

    // The globe button opens the server card below it, filled afresh; its link opens the
    // served-file list, with the window dimmed.
    void httpPanel()
    {
        Started s;
        MainWindow &window = *s.window;
        auto *panel = window.findChild<HttpServerSettingWidget *>();
        auto *files = window.findChild<HttpServerUrlFileDialog *>();
        QVERIFY(panel && panel->isHidden() && files && files->isHidden());
        HttpServer::instance()->setPort(freePort());
        QTest::mouseClick(s("btnSwitchHttpserver"), Qt::LeftButton);

        QTest::mouseClick(s("btnShowHttpserver"), Qt::LeftButton);
        QVERIFY(panel->isVisible());
        QCOMPARE(panel->pos(), window.mapToGlobal(QPoint(1056, 81)));
        const QString status =
            panel->findChild<QLabel *>(QStringLiteral("labelHttpStatus"))->text();
        QVERIFY2(status.endsWith(Langtranslater::lookup(QStringLiteral("On"))), qPrintable(status));

        QTest::mouseClick(panel->findChild<QPushButton *>(QStringLiteral("pushButton")),
                          Qt::LeftButton);
        QTRY_VERIFY(files->isVisible());
        QVERIFY(s("wgtOverlay")->isVisible());
        QTest::mouseClick(files->findChild<QPushButton *>(QStringLiteral("btnClose")),
                          Qt::LeftButton);
        QVERIFY(files->isHidden());
        QVERIFY(s("wgtOverlay")->isHidden());
    }

    // Switching on re-points the saved remote menus only when the host's address changed.
    void addressRewrite()
    {
        Started s;
        HttpServer *server = HttpServer::instance();
        server->setPort(freePort());
        const QString ip = server->localIp();
        Config::instance()->setValue(QStringLiteral("user"), QStringLiteral("ip"),
                                     QStringLiteral("192.0.2.7"));
        const QString menu = saveRemoteMenu(QStringLiteral("http://192.0.2.7:80/"));
        QVERIFY(readAll(menu).contains(QStringLiteral("192.0.2.7")));

        QTest::mouseClick(s("btnSwitchHttpserver"), Qt::LeftButton);
        QVERIFY(server->isListening());
        QCOMPARE(Config::instance()->value(QStringLiteral("user"), QStringLiteral("ip")).toString(),
                 ip);
        const QString rewritten = readAll(menu);
        QVERIFY2(!rewritten.contains(QStringLiteral("192.0.2.7")), qPrintable(rewritten));
        QVERIFY(rewritten.contains(QStringLiteral("http://%1:%2/").arg(ip).arg(server->port())));

        // Same address: a menu saved elsewhere stays as it is.
        QTest::mouseClick(s("btnSwitchHttpserver"), Qt::LeftButton);
        saveRemoteMenu(QStringLiteral("http://192.0.2.8:80/"));
        QTest::mouseClick(s("btnSwitchHttpserver"), Qt::LeftButton);
        QVERIFY(server->isListening());
        QVERIFY(readAll(menu).contains(QStringLiteral("192.0.2.8")));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
