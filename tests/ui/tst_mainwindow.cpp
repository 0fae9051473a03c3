// The main window on real widgets: what it adds to its panes. The frame, veil and title-bar drag,
// the empty-group panel and the title count, the batch bar, the keys, contact drops on the tree,
// closing, opening a file, language change, and the HTTP switch with the address rewrite.

#include "../dialogs/dialogdriver.h"
#include "data/localdirectory.h"
#include "data/localgroup.h"
#include "data/phonebookmanager.h"
#include "data/remotedirectory.h"
#include "data/remotegroup.h"
#include "dialogs/tipwidget.h"
#include "freshstate.h"
#include "http/httpserver.h"
#include "menuandtoast.h"
#include "shell/config.h"
#include "shell/cucstyle.h"
#include "shell/langtranslater.h"
#include "testfiles.h"
#include "ui/contactlist/listcontactwidget.h"
#include "ui/contactlist/nocontactwidget.h"
#include "ui/groupselect/treegroupselectwidget.h"
#include "ui/mainwindow.h"
#include "widgets/qvtreewidget.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QTcpServer>
#include <QTest>
#include <QTreeWidget>

#include <functional>
#include <memory>

namespace {

template <typename W = QWidget> W *part(MainWindow &window, const char *name)
{
    return window.findChild<W *>(QLatin1String(name));
}

// A started window in a fresh working folder, shown and active.
struct Started
{
    FreshState state;
    std::unique_ptr<MainWindow> window = std::make_unique<MainWindow>();

    explicit Started(const std::function<void()> &beforeInit = {})
    {
        if (beforeInit)
            beforeInit();
        window->init();
        window->show();
        activate();
    }
    ~Started()
    {
        window.reset();
        HttpServer::instance()->setOpen(false);
    }
    QWidget *operator()(const char *name) { return part(*window, name); }
    // Offscreen, a closed popup hands activation back to no window.
    void activate()
    {
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }
    QTreeWidget *tree() { return window->findChild<QTreeWidget *>(); }
    ListContactWidget *list() { return window->findChild<ListContactWidget *>(); }
    QPushButton *createNow()
    {
        return window->findChild<NoContactWidget *>()->findChild<QPushButton *>(
            QStringLiteral("pushButton"));
    }
    QString title()
    {
        return Langtranslater::resolve(part<QLabel>(*window, "labelGroupTitle")->text());
    }
    void selectGroup(int row) { tree()->setCurrentItem(tree()->topLevelItem(row)); }
    // Keys go to the window, not to an editor that had the focus.
    void focusTitle() { QTest::mouseClick(operator()("wgtTitle"), Qt::LeftButton, {}, {800, 20}); }
    // Opens batch mode from "more"; returns the menu's items.
    QStringList enterBatch()
    {
        const QStringList items =
            runMenu([&] { QTest::mouseClick(operator()("btnContactMore"), Qt::LeftButton); },
                    QStringLiteral("Batch Operation"));
        activate();
        return items;
    }
    // Two contacts in "All Contacts", shown, and a third group.
    void twoContactsAndAGroup()
    {
        QTest::mouseClick(createNow(), Qt::LeftButton);
        QTest::mouseClick(operator()("btnAddContact"), Qt::LeftButton);
        QTest::mouseClick(operator()("btnAddGroup"), Qt::LeftButton);
        selectGroup(0);
        QTRY_VERIFY(operator()("wgtContact")->isVisible());
    }
    QString switchState()
    {
        return operator()("btnSwitchHttpserver")->property("switch").toString();
    }
};

int freePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::AnyIPv4, 0) ? probe.serverPort() : 0;
}

// A saved remote phonebook in target whose menu points at the address given: after the default
// directory, a directory holding one contact and a menu holding an empty directory.
QString saveRemoteMenu(const QString &baseUrl)
{
    RemoteDirectory &remote = RemoteDirectory::instance();
    if (RemoteGroup *group = remote.addGroup(0))
        remote.addContact(group->id, nullptr);
    if (RemoteGroup *menu = remote.addGroup(0))
        remote.addGroup(menu->id);
    QDir().mkpath(QStringLiteral("target"));
    const QString path = QDir::current().absoluteFilePath(QStringLiteral("target/book.xml"));
    remote.saveFile(path, baseUrl);
    return path;
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

    // The grey veil covers the window exactly while a message dialog exists, under the toast, and
    // leaves no trace. A dialog outliving the window's destructor still says it is going; that
    // must not reach the half-destroyed window.
    void veil()
    {
        Started s;
        MainWindow &window = *s.window;
        QWidget *veil = s("wgtOverlay");
        TipWidget *tip = TipWidget::current();
        const QImage clear = window.grab().toImage();
        TipWidget::showTip(QStringLiteral("Saved successfully!"), TipWidget::Success);
        auto *dialog = new MessageboxDialog(&window);
        dialog->show();
        QCOMPARE(veil->isVisible() ? veil->geometry() : QRect(), window.rect());
        const QObjectList siblings = window.children();
        QVERIFY(tip->isVisible() && siblings.indexOf(tip) > siblings.indexOf(veil));
        const QImage dimmed = window.grab().toImage();
        for (const QPoint &at : {QPoint(5, 5), QPoint(640, 360), QPoint(1275, 715)})
            QVERIFY2(QColor(dimmed.pixel(at)).lightness() < QColor(clear.pixel(at)).lightness(),
                     qPrintable(QStringLiteral("not dimmed at %1,%2").arg(at.x()).arg(at.y())));
        delete dialog;
        QVERIFY(veil->isHidden());
        tip->hide();
        QCOMPARE(window.grab().toImage(), clear);

        QPointer<MessageboxDialog> open = new MessageboxDialog(&window); // owned by the window
        open->show();
        s.window.reset();
        QVERIFY(open.isNull());
    }

    // Where a press starts decides whether the window follows the mouse.
    void drag_data()
    {
        QTest::addColumn<QString>("pressed"); // object name of the widget under the press
        QTest::addColumn<QPoint>("at");       // window coordinates
        QTest::addColumn<bool>("moves");
        QTest::newRow("free title bar") << "wgtTitle" << QPoint(800, 20) << true;
        QTest::newRow("title-bar button") << "btnNewFile" << QPoint(60, 60) << false;
    }
    void drag()
    {
        QFETCH(QString, pressed);
        QFETCH(QPoint, at);
        QFETCH(bool, moves);
        Started s;
        MainWindow &window = *s.window;
        QWidget *target = window.childAt(at);
        QCOMPARE(target ? target->objectName() : QString(), pressed);
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

    // The list shows only for a group with contacts; the title counts the whole phonebook; a new
    // contact opens for editing.
    void emptyGroupAndCount()
    {
        Started s;
        QWidget *contacts = s("wgtContact");
        QPushButton *create = s.createNow();
        QVERIFY(create->isVisible() && contacts->isHidden());
        QCOMPARE(s.title(), QStringLiteral("Local Group (0)"));

        QTest::mouseClick(create, Qt::LeftButton);
        QVERIFY(contacts->isVisible() && !create->isVisible());
        QCOMPARE(s.title(), QStringLiteral("Local Group (1)"));
        QTRY_COMPARE(part<QPushButton>(*s.window, "btnEditContact")->text(), QStringLiteral("OK"));
        QTest::mouseClick(s("btnAddContact"), Qt::LeftButton);
        QCOMPARE(s.title(), QStringLiteral("Local Group (2)"));
    }

    // At the contact limit the add button shows the note instead of adding a contact.
    void contactLimit()
    {
        Started s;
        for (int i = 0; i < LocalDirectory::MaxContacts; ++i)
            LocalDirectory::instance().addContact(0, nullptr);
        s.selectGroup(1);
        s.selectGroup(0);
        QString note;
        answerNote(QDialogButtonBox::Ok, &note);
        QTest::mouseClick(s("btnAddContact"), Qt::LeftButton);
        QCOMPARE(note,
                 QStringLiteral("Sorry, the number of contacts has reached the maximum value!"));
        QCOMPARE(s.title(), QStringLiteral("Local Group (1000)"));
    }

    // The batch bar replaces the search bar; its icon follows the list's all-select signal;
    // Cancel, Escape and another group leave it; Ctrl+F finds the search field only where it shows.
    void batchBar()
    {
        Started s;
        QTest::mouseClick(s.createNow(), Qt::LeftButton);
        QWidget *search = s("wgtSearchWidget");
        QWidget *icon = s("labContactAllSelectIcon");
        const auto bar = [&] { // which bar shows, with the list agreeing
            QWidget *batch = s("wgtContactBatch");
            if (!batch->isHidden() && search->isHidden() && s.list()->batchState())
                return "batch";
            return batch->isHidden() && !search->isHidden() && !s.list()->batchState() ? "search"
                                                                                       : "mixed";
        };
        QCOMPARE(s.enterBatch(), QStringList{QStringLiteral("Batch Operation")}); // local: no more
        QCOMPARE(bar(), "batch");
        QCOMPARE(icon->property("select").toString(), QStringLiteral("off"));
        QTest::mouseClick(s("btnContactAllSelect"), Qt::LeftButton);
        QCOMPARE(icon->property("select").toString(), QStringLiteral("all"));
        QTest::mouseClick(s("btnContactAllSelect"), Qt::LeftButton);
        QCOMPARE(icon->property("select").toString(), QStringLiteral("off"));
        QTest::mouseClick(s("btnContactBathCancle"), Qt::LeftButton);
        QCOMPARE(bar(), "search");

        s.enterBatch();
        s.focusTitle();
        QTest::keyClick(s.window.get(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(!s("editSearchContact")->hasFocus());
        QTest::keyClick(s.window.get(), Qt::Key_Escape);
        QCOMPARE(bar(), "search");
        QTest::keyClick(s.window.get(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(s("editSearchContact")->hasFocus());

        s.enterBatch();
        QCOMPARE(bar(), "batch");
        s.selectGroup(1);
        QTRY_COMPARE(bar(), "search");
    }

    // The ticked contacts (by the batch bar's "Move to" and the window's picker, or dragged onto
    // a group of the tree) or outside batch mode the current one (dragged) move after the "Move
    // to" question. Drags of anything else are refused.
    void moveContacts_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("ticked, by the picker") << "picker";
        QTest::newRow("ticked, dropped on a group") << "ticked";
        QTest::newRow("current, dropped on a group") << "current";
    }
    void moveContacts()
    {
        QFETCH(QString, how);
        Started s;
        s.twoContactsAndAGroup();
        QList<int> moving{s.list()->contactIdAt(1)};
        if (how == QLatin1String("current")) {
            s.list()->setCurrentRow(1);
        } else {
            s.enterBatch();
            QTest::mouseClick(s("btnContactAllSelect"), Qt::LeftButton);
            moving = s.list()->selectedContactIds();
        }
        QString note;
        answerNote(QDialogButtonBox::Ok, &note);
        if (how == QLatin1String("picker")) {
            QTest::mouseClick(s("btnContactMoveto"), Qt::LeftButton);
            auto *picker =
                s.window->findChild<TreeGroupSelectWidget *>(QString(), Qt::FindDirectChildrenOnly);
            QVERIFY(picker && picker->isVisible());
            picker->treeWidget()->setCurrentItem(picker->treeWidget()->topLevelItem(2));
        } else {
            // Offscreen drags end at once: the events arrive as the tree's viewport would get them.
            QWidget *onto = s.tree()->viewport();
            const QPoint added = s.tree()->visualItemRect(s.tree()->topLevelItem(2)).center();
            QMimeData text;
            text.setText(QStringLiteral("Alice"));
            QDragEnterEvent foreign(added, Qt::MoveAction, &text, Qt::LeftButton, {});
            QApplication::sendEvent(onto, &foreign);
            QVERIFY(!foreign.isAccepted());
            QMimeData data;
            data.setData(MainWindow::contactDragFormat(), how == QLatin1String("ticked")
                                                              ? QByteArray()
                                                              : MainWindow::currentContactDrag());
            QDragEnterEvent enter(added, Qt::MoveAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(onto, &enter);
            QVERIFY(enter.isAccepted());
            QDropEvent drop(added, Qt::MoveAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(onto, &drop);
        }
        QVERIFY(!note.isEmpty());
        QCOMPARE(LocalDirectory::instance().groups().last()->contactIds, moving);
    }

    // Delete asks, then deletes the ticked contacts in batch mode, else the current one.
    void deleteKey_data()
    {
        QTest::addColumn<bool>("batch");
        QTest::newRow("batch mode: the ticked") << true;
        QTest::newRow("outside: the current") << false;
    }
    void deleteKey()
    {
        QFETCH(bool, batch);
        Started s;
        s.twoContactsAndAGroup();
        if (batch) {
            s.enterBatch();
            QTest::mouseClick(s("btnContactAllSelect"), Qt::LeftButton);
        }
        s.focusTitle();
        QString note;
        answerNote(QDialogButtonBox::Ok, &note);
        QTest::keyClick(s.window.get(), Qt::Key_Delete);
        QVERIFY(!note.isEmpty());
        QCOMPARE(s.title(),
                 batch ? QStringLiteral("Local Group (0)") : QStringLiteral("Local Group (1)"));
        QCOMPARE(s.createNow()->isVisible(), batch); // an emptied group shows the panel
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
        if (changed)
            QTest::mouseClick(s.createNow(), Qt::LeftButton);
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
        QCOMPARE(s.window->close(), closes);
        QCOMPARE(asked, answer != QDialogButtonBox::NoButton);
        QCOMPARE(s.window->isVisible(), !closes);
        QVERIFY(QDir(QStringLiteral("target")).entryList(QDir::Files).isEmpty()); // nothing saved
    }

    // A phonebook file named on the command line or dropped from a file manager opens like an
    // import: the remote title, panes per kind of group (a menu holding groups shows neither the
    // list nor the empty-group panel) and the remote contact menu. Other dropped files do not.
    void openFile_data()
    {
        QTest::addColumn<QString>("dropped"); // the dropped file's name; empty: named at start
        QTest::addColumn<bool>("opens");
        QTest::newRow("named at start") << QString() << true;
        QTest::newRow("dropped menu file") << "book.xml" << true;
        QTest::newRow("dropped text file") << "book.txt" << false;
    }
    void openFile()
    {
        QFETCH(QString, dropped);
        QFETCH(bool, opens);
        Started s;
        const QString path = saveRemoteMenu(QStringLiteral("http://192.0.2.7:80/"));
        RemoteDirectory::instance().initDefaultGroup();
        if (dropped.isEmpty()) {
            s.window->openFile(path);
        } else {
            const QString renamed = QFileInfo(path).absolutePath() + QLatin1Char('/') + dropped;
            QVERIFY(renamed == path || QFile::rename(path, renamed));
            QMimeData mime;
            mime.setUrls({QUrl::fromLocalFile(renamed)});
            QDragEnterEvent enter({640, 400}, Qt::CopyAction, &mime, Qt::LeftButton, {});
            QApplication::sendEvent(s.window.get(), &enter);
            QCOMPARE(enter.isAccepted(), opens);
            QDropEvent drop({640, 400}, Qt::CopyAction, &mime, Qt::LeftButton, {});
            QApplication::sendEvent(s.window.get(), &drop);
        }
        if (!opens) {
            QCOMPARE(s.title(), QStringLiteral("Local Group (0)"));
            return;
        }
        QTRY_COMPARE(s.title(), QStringLiteral("Remote Group (1)"));
        // The empty default directory, the one holding the contact, the menu.
        QCOMPARE(s.tree()->topLevelItemCount(), 3);
        QTRY_VERIFY(s.createNow()->isVisible() && s("wgtContact")->isHidden());
        s.selectGroup(1);
        QTRY_VERIFY(s("wgtContact")->isVisible() && !s.createNow()->isVisible());
        QCOMPARE(s.list()->count(), 1);
        s.selectGroup(2);
        QTRY_VERIFY(s("wgtContact")->isHidden() && !s.createNow()->isVisible());

        s.activate();
        const QStringList items =
            runMenu([&] { QTest::mouseClick(s("btnContactMore"), Qt::LeftButton); });
        QCOMPARE(items, (QStringList{QStringLiteral("Contact Settings"),
                                     QStringLiteral("Batch Operation")}));
    }

    // Choosing a language in the settings retranslates the window and its panes at once, and back.
    void languageChange()
    {
        Started s([] { // the shipped languages in the working folder
            QDir().mkpath(QStringLiteral("app"));
            QFile::link(QStringLiteral(QCD_SOURCE_DIR "/app/language"),
                        QStringLiteral("app/language"));
            Langtranslater::scanLanguages();
        });
        // The window's own texts, then the tree's first group and the detail pane's button.
        const auto texts = [&] {
            return QStringList{part<QPushButton>(*s.window, "btnNewFile")->text(),
                               part<QLineEdit>(*s.window, "editSearchContact")->placeholderText(),
                               s("btnClose")->toolTip(),
                               s.title(),
                               part<QLabel>(*s.window, "labelGruopName")->text(),
                               part<QPushButton>(*s.window, "btnEditContact")->text()};
        };
        QTest::mouseClick(s("btnSetting"), Qt::LeftButton);
        auto *combo = s.window->findChild<QComboBox *>(QStringLiteral("comboBox"));
        QVERIFY(combo && combo->isVisible());
        combo->setCurrentIndex(1);
        QCOMPARE(texts(), QString::fromUtf8("新建文件|搜索联系人|关闭|本地分组 (0)|所有联系人|编辑")
                              .split(QLatin1Char('|')));
        combo->setCurrentIndex(0);
        QCOMPARE(texts(),
                 QStringLiteral("New File|Search Contact|Close|Local Group (0)|All Contacts|Edit")
                     .split(QLatin1Char('|')));
    }

    // The switch shows what the server really does; success is told only when it listens.
    // Switching on re-points the saved remote menus only when the host's address changed.
    void httpSwitch()
    {
        Started s;
        HttpServer *server = HttpServer::instance();
        QCOMPARE(s.switchState(), QStringLiteral("off"));
        server->setPort(freePort());
        Config::instance()->setValue(QStringLiteral("user"), QStringLiteral("ip"),
                                     QStringLiteral("192.0.2.7"));
        const QString menu = saveRemoteMenu(QStringLiteral("http://192.0.2.7:80/"));
        QTest::mouseClick(s("btnSwitchHttpserver"), Qt::LeftButton);
        QVERIFY(server->isListening());
        QCOMPARE(s.switchState(), QStringLiteral("on"));
        QCOMPARE(toastText(),
                 Langtranslater::lookup(QStringLiteral("Opened the HTTP server successfully!")));
        const QString ip = server->localIp();
        QCOMPARE(Config::instance()->value(QStringLiteral("user"), QStringLiteral("ip")).toString(),
                 ip);
        QVERIFY(!readAll(menu).contains("192.0.2.7"));
        QVERIFY(readAll(menu).contains(
            QStringLiteral("http://%1:%2/").arg(ip).arg(server->port()).toUtf8()));

        QTest::mouseClick(s("btnSwitchHttpserver"), Qt::LeftButton);
        QVERIFY(!server->isListening() && !server->isOpen());
        QCOMPARE(s.switchState(), QStringLiteral("off"));
        // Same address: a menu saved meanwhile stays as it is.
        saveRemoteMenu(QStringLiteral("http://192.0.2.8:80/"));
        QTest::mouseClick(s("btnSwitchHttpserver"), Qt::LeftButton);
        QVERIFY(server->isListening());
        QVERIFY(readAll(menu).contains("192.0.2.8"));
        QTest::mouseClick(s("btnSwitchHttpserver"), Qt::LeftButton);

        QTcpServer blocker;
        QVERIFY(blocker.listen(QHostAddress::AnyIPv4, 0));
        server->setPort(blocker.serverPort());
        QTest::mouseClick(s("btnSwitchHttpserver"), Qt::LeftButton);
        QCOMPARE(toastWithKind(), QStringLiteral("warn: ") + HttpServer::listenFailedText());
        QCOMPARE(s.switchState(), QStringLiteral("off"));
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
        QTcpServer blocker;
        Started s([&] {
            QVERIFY(blocker.listen(QHostAddress::AnyIPv4, 0));
            HttpServer::instance()->setPort(blocker.serverPort());
            if (portFree)
                blocker.close();
            const QSignalBlocker quiet(HttpServer::instance()); // no window yet to tell
            HttpServer::instance()->setOpen(true);
        });
        QCOMPARE(s.switchState(), shown);
        QCOMPARE(toastText(), toast);
        QCOMPARE(HttpServer::instance()->isListening(), portFree);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
