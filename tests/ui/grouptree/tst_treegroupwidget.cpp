// The group tree pane on real widgets: rename rules, menus per kind, deleting with the current
// row moving on, rows without widgets, immediate rename of new rows, counts, language and look.

#include "../../dialogs/dialogdriver.h"
#include "data/localdirectory.h"
#include "data/phonebookmanager.h"
#include "data/remotedirectory.h"
#include "dialogs/tipwidget.h"
#include "shell/cucstyle.h"
#include "shell/langtranslater.h"
#include "shell/qvthememan.h"
#include "ui/grouptree/treegroupitem.h"
#include "ui/grouptree/treegroupwidget.h"
#include "ui/grouptree/uigroupitemdata.h"
#include "widgets/qvmenu.h"
#include "widgets/qvtreedatamodel.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWidgetAction>

#include <memory>

namespace {

const QString languageDir = QStringLiteral(QCD_SOURCE_DIR "/app/language/");

QStringList logLines;
void keepLog(QtMsgType, const QMessageLogContext &, const QString &text)
{
    logLines.append(text);
}

// The pane at the main window's size in a host that also carries the toast.
struct Pane
{
    explicit Pane(int dirType, const std::function<void()> &fillStore = {})
    {
        host.resize(300, 600);
        TipWidget::create(&host);
        tree = new TreeGroupWidget(&host);
        tree->setGeometry(10, 62, 266, 532);
        if (fillStore) {
            PhonebookManager::initDefaultGroup(dirType);
            fillStore();
            tree->loadGroupTree(dirType);
        } else {
            tree->initGroupTree(dirType);
        }
        spy = std::make_unique<QSignalSpy>(tree, &TreeGroupWidget::sigSelectedGroupChanged);
        host.show();
    }
    int dirType() const { return tree->dirType(); }
    int idOf(const QString &name) const
    {
        for (int id = 0; id < 2000; ++id) {
            if (tree->findGroupIndex(id).IsValid() &&
                PhonebookManager::groupName(dirType(), id) == name)
                return id;
        }
        return -1;
    }
    QTreeWidgetItem *row(int id) const { return tree->GetTreeItem(tree->findGroupIndex(id)); }
    TreeGroupItem *widget(int id) const
    {
        return qobject_cast<TreeGroupItem *>(tree->GetItemWidget(row(id)));
    }
    template <typename T> T *part(int id, const char *name) const
    {
        TreeGroupItem *w = widget(id);
        return w ? w->findChild<T *>(QString::fromLatin1(name)) : nullptr;
    }
    QLineEdit *edit(int id) const { return part<QLineEdit>(id, "editGruopName"); }
    QString shownName(int id) const { return part<QLabel>(id, "labelGruopName")->text(); }
    QString shownCount(int id) const { return part<QLabel>(id, "labelContactCount")->text(); }
    uiGroupItemData data(int id) const
    {
        return tree->GetModel()->GetData(tree->findGroupIndex(id)).value<uiGroupItemData>();
    }
    int lastReported() const { return spy->isEmpty() ? -100 : spy->last().at(0).toInt(); }
    void click(int id) { QTest::mouseClick(widget(id), Qt::LeftButton, {}, QPoint(60, 24)); }
    void rightClick(int id)
    {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(60, 24),
                                widget(id)->mapToGlobal(QPoint(60, 24)));
        QApplication::sendEvent(widget(id), &event);
    }

    QWidget host;
    TreeGroupWidget *tree = nullptr; // owned by host
    std::unique_ptr<QSignalSpy> spy;
};

QString toastText()
{
    TipWidget *tip = TipWidget::current();
    const auto *label =
        tip ? tip->findChild<QLabel *>(QStringLiteral("mainwidowTipLabel")) : nullptr;
    return tip && tip->isVisible() && label ? label->text() : QString();
}

// Runs open(); while a qvMenu is up, records its item texts and then clicks the item named
// choose (or closes the menu when choose is empty). Returns the texts; empty when no menu came.
QStringList runMenu(const std::function<void()> &open, const QString &choose = QString())
{
    QStringList items;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *menu = qobject_cast<qvMenu *>(QApplication::activePopupWidget());
        if (!menu || !menu->isVisible())
            return;
        poll.stop();
        QLabel *chosen = nullptr;
        for (QAction *action : menu->actions()) {
            auto *label =
                qobject_cast<QLabel *>(static_cast<QWidgetAction *>(action)->defaultWidget());
            items.append(label->text());
            if (label->text() == choose)
                chosen = label;
        }
        if (chosen)
            QTest::mouseClick(chosen, Qt::LeftButton, {}, QPoint(20, 20));
        else
            menu->close();
    });
    poll.start();
    open();
    poll.stop();
    return items;
}

void addLocalGroups(const QStringList &names)
{
    for (const QString &name : names)
        LocalDirectory::instance().renameGroup(LocalDirectory::instance().addGroup()->id, name);
}

} // namespace

class TestTreeGroupWidget : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QApplication::setStyle(new CUCStyle); // the application owns it
        qApp->setStyleSheet(qvThemeMan::loadStyleSheet(QStringLiteral(":/qss/"), false));
        Langtranslater::setLanguage(languageDir + QStringLiteral("1.GUI.English.lang"));
    }

    void renameRules_data()
    {
        QTest::addColumn<int>("dirType");
        QTest::addColumn<QString>("typed"); // empty: the selected name is erased
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("toast");
        QTest::addColumn<bool>("stillEditing");
        const int local = PhonebookManager::LocalDir;
        const int remote = PhonebookManager::RemoteDir;
        const QString taken = QStringLiteral("Cannot save group with the same name!");
        const QString empty = QStringLiteral("Name cannot be empty!");
        QTest::addRow("Return commits") << local << "Family" << int(Qt::Key_Return) << "Family"
                                        << "" << false;
        QTest::addRow("keypad Enter does not")
            << local << "Family" << int(Qt::Key_Enter) << "Default"
            << "" << true;
        QTest::addRow("same name") << local << "Default" << int(Qt::Key_Return) << "Default"
                                   << "" << false;
        QTest::addRow("built-in name taken")
            << local << "Blocklist" << int(Qt::Key_Return) << "Default" << taken << false;
        QTest::addRow("letter case differs")
            << local << "blocklist" << int(Qt::Key_Return) << "blocklist"
            << "" << false;
        QTest::addRow("empty") << local << "" << int(Qt::Key_Return) << "Default" << empty << false;
        QTest::addRow("blanks") << local << "   " << int(Qt::Key_Return) << "   "
                                << "" << false;
        QTest::addRow("129 characters")
            << local << QString(129, QLatin1Char('x')) << int(Qt::Key_Return)
            << QString(128, QLatin1Char('x')) << "" << false;
        QTest::addRow("remote name of another group")
            << remote << "Default" << int(Qt::Key_Return) << "Default"
            << "" << false;
        QTest::addRow("remote empty")
            << remote << "" << int(Qt::Key_Return) << "Default1" << empty << false;
    }

    void renameRules()
    {
        QFETCH(int, dirType);
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(QString, stored);
        QFETCH(QString, toast);
        QFETCH(bool, stillEditing);
        Pane p(dirType);
        QVERIFY(QTest::qWaitForWindowActive(&p.host));
        logLines.clear();
        QtMessageHandler previous = qInstallMessageHandler(keepLog);
        p.tree->addGroup();
        qInstallMessageHandler(previous);

        const int id = p.tree->currentGroupId();
        const QString defaultName = dirType == PhonebookManager::LocalDir
                                        ? QStringLiteral("Default")
                                        : QStringLiteral("Default1");
        QCOMPARE(logLines,
                 QStringList{
                     QStringLiteral("Add Group, GroupId: 2 GroupName: \"%1\"").arg(defaultName)});
        QCOMPARE(p.lastReported(), id);
        // The new row is current and in rename mode at once, its whole name selected.
        QLineEdit *edit = p.edit(id);
        QVERIFY(edit && edit->isVisible() && edit->hasFocus());
        QTRY_COMPARE(edit->selectedText(), defaultName);

        if (typed.isEmpty())
            QTest::keyClick(edit, Qt::Key_Backspace);
        else
            QTest::keyClicks(edit, typed);
        QTest::keyClick(edit, Qt::Key(key));

        QCOMPARE(PhonebookManager::groupName(dirType, id), stored);
        QCOMPARE(toastText(), toast);
        QCOMPARE(edit->isVisible(), stillEditing);
        if (stillEditing)
            return;
        QCOMPARE(p.shownName(id), stored);
        // The model no longer asks for rename mode, also after a refused name.
        QCOMPARE(p.data(id).strGroupName, stored);
        QVERIFY(!p.data(id).bEditing);
    }

    void renameEnds_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addRow("click on another row") << "click";
        QTest::addRow("row scrolled out of view") << "scroll";
        QTest::addRow("row stops being current") << "current";
    }

    void renameEnds()
    {
        QFETCH(QString, how);
        QStringList names;
        for (int i = 0; i < 20; ++i)
            names << QStringLiteral("G%1").arg(i);
        Pane p(PhonebookManager::LocalDir, [&] { addLocalGroups(names); });
        QVERIFY(QTest::qWaitForWindowActive(&p.host));
        const int id = p.idOf(QStringLiteral("G0"));
        p.click(id);
        QTest::mouseDClick(p.widget(id), Qt::LeftButton, {}, QPoint(60, 24));
        QTRY_COMPARE(p.edit(id)->selectedText(), QStringLiteral("G0"));
        QTest::keyClicks(p.edit(id), QStringLiteral("Work"));

        if (how == QLatin1String("click")) {
            p.click(p.idOf(QStringLiteral("G1")));
        } else if (how == QLatin1String("scroll")) {
            p.tree->verticalScrollBar()->setValue(p.tree->verticalScrollBar()->maximum());
            QVERIFY(!p.widget(id));
            p.tree->verticalScrollBar()->setValue(0);
        } else {
            p.tree->setCurrentItem(p.row(p.idOf(QStringLiteral("G5"))));
        }
        QCOMPARE(PhonebookManager::groupName(PhonebookManager::LocalDir, id),
                 QStringLiteral("Work"));
        QVERIFY(!p.edit(id)->isVisible());
        QCOMPARE(p.shownName(id), QStringLiteral("Work"));
        QVERIFY(!p.data(id).bEditing);
    }

    void doubleClick_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<bool>("renames");
        QTest::addRow("All Contacts") << 0 << false;
        QTest::addRow("Blocklist") << 1 << false;
        QTest::addRow("own group") << 2 << true;
    }

    void doubleClick()
    {
        QFETCH(int, id);
        QFETCH(bool, renames);
        Pane p(PhonebookManager::LocalDir, [] { addLocalGroups({QStringLiteral("Family")}); });
        QVERIFY(QTest::qWaitForWindowActive(&p.host));
        p.click(id);
        QTest::mouseDClick(p.widget(id), Qt::LeftButton, {}, QPoint(60, 24));
        QCOMPARE(p.edit(id)->isVisible(), renames);
        QCOMPARE(p.part<QPushButton>(id, "btnMore")->isVisible(), renames);
    }

    void contextMenu_data()
    {
        QTest::addColumn<int>("dirType");
        QTest::addColumn<int>("id");
        QTest::addColumn<bool>("byMoreButton");
        QTest::addColumn<QStringList>("items");
        const QStringList both{QStringLiteral("New Group"), QStringLiteral("Deleted Group")};
        const QStringList deleteOnly{QStringLiteral("Deleted Group")};
        QTest::addRow("local group") << int(PhonebookManager::LocalDir) << 2 << false << deleteOnly;
        QTest::addRow("local group, more")
            << int(PhonebookManager::LocalDir) << 2 << true << deleteOnly;
        QTest::addRow("built-in group")
            << int(PhonebookManager::LocalDir) << 1 << false << QStringList();
        QTest::addRow("remote menu") << int(PhonebookManager::RemoteDir) << 1 << false << both;
        QTest::addRow("remote menu, more") << int(PhonebookManager::RemoteDir) << 1 << true << both;
        QTest::addRow("remote directory")
            << int(PhonebookManager::RemoteDir) << 2 << false << deleteOnly;
    }

    void contextMenu()
    {
        QFETCH(int, dirType);
        QFETCH(int, id);
        QFETCH(bool, byMoreButton);
        QFETCH(QStringList, items);
        Pane p(dirType, [dirType] {
            if (dirType == PhonebookManager::LocalDir) {
                addLocalGroups({QStringLiteral("Family")});
                return;
            }
            RemoteDirectory &store = RemoteDirectory::instance();
            store.addContact(store.addGroup(0)->id, nullptr); // group 2, a directory
        });
        QVERIFY(QTest::qWaitForWindowActive(&p.host));
        p.click(id);
        if (byMoreButton) {
            QPushButton *more = p.part<QPushButton>(id, "btnMore");
            QVERIFY(more->isVisible());
            QCOMPARE(runMenu([more] { QTest::mouseClick(more, Qt::LeftButton); }), items);
        } else {
            QCOMPARE(runMenu([&] { p.rightClick(id); }), items);
        }
    }

    void deleteGroup_data()
    {
        QTest::addColumn<int>("dirType");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<bool>("goneBefore");
        QTest::addColumn<QString>("currentAfter"); // empty: no row is current
        QTest::addColumn<QString>("toast");
        const int local = PhonebookManager::LocalDir;
        const int remote = PhonebookManager::RemoteDir;
        const QString done = QStringLiteral("Deleted successfully!");
        QTest::addRow("next row takes over") << local << "B"
                                             << "B" << true << false << "C" << done;
        QTest::addRow("last row: previous") << local << "C"
                                            << "C" << true << false << "B" << done;
        QTest::addRow("other row: current stays") << local << "A"
                                                  << "C" << true << false << "A" << done;
        QTest::addRow("cancel") << local << "B"
                                << "B" << false << false << "B"
                                << "";
        QTest::addRow("menu of the current row") << remote << "B"
                                                 << "A" << true << false << "C" << done;
        QTest::addRow("store refuses") << remote << "A"
                                       << "A" << true << true << "A"
                                       << "Failed to delete the group!";
        QTest::addRow("only group") << remote << "C"
                                    << "C" << true << false << "" << done;
    }

    void deleteGroup()
    {
        QFETCH(int, dirType);
        QFETCH(QString, current);
        QFETCH(QString, target);
        QFETCH(bool, confirm);
        QFETCH(bool, goneBefore);
        QFETCH(QString, currentAfter);
        QFETCH(QString, toast);
        const bool onlyGroup = QByteArray(QTest::currentDataTag()) == "only group";
        // Local: A, B, C. Remote: menu A holding B, then C.
        Pane p(dirType, [&] {
            if (dirType == PhonebookManager::LocalDir) {
                addLocalGroups({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
                return;
            }
            RemoteDirectory &store = RemoteDirectory::instance();
            store.renameGroup(1, QStringLiteral("A"));
            store.renameGroup(store.addGroup(1)->id, QStringLiteral("B"));
            store.renameGroup(store.addGroup(0)->id, QStringLiteral("C"));
            if (onlyGroup)
                store.deleteGroup(1);
        });
        QVERIFY(QTest::qWaitForWindowActive(&p.host));
        const int targetId = p.idOf(target);
        const int afterId = currentAfter.isEmpty() ? -1 : p.idOf(currentAfter);
        const int currentId = p.idOf(current);
        p.tree->setCurrentItem(p.row(currentId));
        if (goneBefore)
            PhonebookManager::deleteGroup(dirType, targetId);
        p.spy->clear();

        whenDialogShown(
            Langtranslater::mark(QStringLiteral("Note")), [confirm](MessageboxDialog *d) {
                buttonOf(d, confirm ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
            });
        runMenu([&] { p.rightClick(targetId); }, QStringLiteral("Deleted Group"));

        const bool deleted = confirm && !goneBefore;
        QCOMPARE(p.tree->findGroupIndex(targetId).IsValid(), !deleted);
        QCOMPARE(toastText(), toast);
        QCOMPARE(p.tree->currentGroupId(), afterId);
        // The current group is reported exactly when it changed.
        if (afterId == currentId)
            QVERIFY(p.spy->isEmpty());
        else
            QCOMPARE(p.lastReported(), afterId);
        if (afterId >= 0)
            QVERIFY(p.part<QPushButton>(afterId, "btnMore")->isVisible());
    }

    void currentRowWithoutWidget()
    {
        QStringList names;
        for (int i = 0; i < 40; ++i)
            names << QStringLiteral("G%1").arg(i);
        Pane p(PhonebookManager::LocalDir, [&] { addLocalGroups(names); });
        QVERIFY(QTest::qWaitForWindowExposed(&p.host));
        const int id = p.idOf(QStringLiteral("G35"));
        emit p.tree->GetModel()->SetUpdateStatusSignal(false); // no widget appears meanwhile
        p.tree->setCurrentItem(p.row(id));
        QVERIFY(!p.widget(id));
        QCOMPARE(p.lastReported(), id);
        emit p.tree->GetModel()->SetUpdateStatusSignal(true);
        // Its widget, made later, knows it is current.
        QVERIFY(p.part<QPushButton>(id, "btnMore")->isVisible());
    }

    void clicksAndNewSubGroup()
    {
        Pane p(PhonebookManager::RemoteDir,
               [] { RemoteDirectory::instance().addGroup(1); }); // Default (1) holds Default1 (2)
        QVERIFY(QTest::qWaitForWindowActive(&p.host));
        QTreeWidgetItem *menuRow = p.row(1);
        QVERIFY(menuRow->isExpanded());
        p.click(1); // the first click only remembers the row
        QVERIFY(menuRow->isExpanded());
        p.click(1);
        QVERIFY(!menuRow->isExpanded());
        QVERIFY(!p.widget(2));

        QPushButton *more = p.part<QPushButton>(1, "btnMore");
        runMenu([more] { QTest::mouseClick(more, Qt::LeftButton); }, QStringLiteral("New Group"));
        // At once: the menu expanded, the new row current and in rename mode.
        const int id = p.tree->currentGroupId();
        QCOMPARE(PhonebookManager::groupName(PhonebookManager::RemoteDir, id),
                 QStringLiteral("Default2"));
        QVERIFY(menuRow->isExpanded());
        QCOMPARE(p.row(id)->parent(), menuRow);
        QCOMPARE(p.lastReported(), id);
        QVERIFY(p.edit(id) && p.edit(id)->isVisible());
        QTRY_COMPARE(p.edit(id)->selectedText(), QStringLiteral("Default2"));
        QCOMPARE(p.tree->GetModelIndex(p.row(id)).GetPath(), (QList<int>{0, 1}));
        // Qt's own expansion of a row gives its children widgets at once as well.
        menuRow->setExpanded(false);
        menuRow->setExpanded(true);
        QVERIFY(p.widget(2) && p.widget(id));
    }

    void countsAndLanguage()
    {
        Pane p(PhonebookManager::RemoteDir, [] {
            RemoteDirectory &store = RemoteDirectory::instance();
            for (int i = 0; i < 2; ++i) {
                const int dir = store.addGroup(1)->id;
                for (int c = 0; c < 3 + i; ++c)
                    store.addContact(dir, nullptr);
            }
        });
        QVERIFY(QTest::qWaitForWindowExposed(&p.host));
        QCOMPARE(p.shownCount(1), QStringLiteral("(2)")); // a menu counts its groups until ...
        p.tree->updateContactCounts();
        QCOMPARE(p.shownCount(1), QStringLiteral("(7)")); // ... the manager's counts arrive
        QCOMPARE(p.shownCount(2), QStringLiteral("(3)"));

        p.tree->initGroupTree(PhonebookManager::LocalDir);
        addLocalGroups({QStringLiteral("Family")});
        p.tree->loadGroupTree(PhonebookManager::LocalDir);
        Langtranslater::setLanguage(languageDir + QStringLiteral("2.GUI.Chinese.lang"));
        p.tree->refreshBuiltinGroupNames();
        const QString allContacts = p.shownName(0);
        const QString family = p.shownName(2);
        Langtranslater::setLanguage(languageDir + QStringLiteral("1.GUI.English.lang"));
        QCOMPARE(allContacts, QString::fromUtf8("所有联系人"));
        QCOMPARE(family, QStringLiteral("Family"));
        p.tree->refreshBuiltinGroupNames();
        QCOMPARE(p.shownName(1), QStringLiteral("Blocklist"));
    }

    void look()
    {
        Pane p(PhonebookManager::RemoteDir, [] { RemoteDirectory::instance().addGroup(1); });
        QVERIFY(QTest::qWaitForWindowExposed(&p.host));
        QTreeWidgetItem *menuRow = p.row(1);
        QTreeWidgetItem *childRow = p.row(2);
        QCOMPARE(p.tree->visualItemRect(menuRow).height(), 48);
        QCOMPARE(p.tree->visualItemRect(childRow).height(), 48);
        QCOMPARE(p.widget(2)->x() - p.widget(1)->x(), 16);
        const QImage image = p.tree->viewport()->grab().toImage();
        const int y = p.tree->visualItemRect(menuRow).center().y();
        const int childY = p.tree->visualItemRect(childRow).center().y();
        // The current row is #DAE3EE across the row and its branch area; the other row is not.
        QCOMPARE(QColor(image.pixel(2, y)), QColor(0xDA, 0xE3, 0xEE));
        QCOMPARE(QColor(image.pixel(p.tree->viewport()->width() - 40, y)),
                 QColor(0xDA, 0xE3, 0xEE));
        QVERIFY(QColor(image.pixel(p.tree->viewport()->width() - 40, childY)) !=
                QColor(0xDA, 0xE3, 0xEE));
        QLabel *name = p.part<QLabel>(1, "labelGruopName");
        QCOMPARE(name->font().pixelSize(), 16);
        QCOMPARE(name->palette().color(QPalette::WindowText), QColor(0x33, 0x33, 0x33));
        QCOMPARE(p.part<QPushButton>(1, "btnMore")->size(), QSize(20, 20));
        QVERIFY(!p.part<QPushButton>(2, "btnMore")->isVisible());
    }
};

QTEST_MAIN(TestTreeGroupWidget)
#include "tst_treegroupwidget.moc"
