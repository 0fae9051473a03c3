// The group tree pane over a remote phonebook of 1 000 groups (20 menus of 50 directories) with
// 100 000 contacts. Prints name=value lines; each timing is the best of several runs and comes
// with its baselines from the same run:
//   model_only_ms      filling the same tree model with the same rows, no view attached
//   model_in_view_ms   the same, with the model shown by a plain tree widget of the pane's size,
//                      rows, style and delegate, expanded and with its first row current
//   load_ms            TreeGroupWidget::loadGroupTree, which also reads the store
// and the live row widgets against the rows in view, and updateContactCounts (budget 20 ms).
#include "bench/ui/benchphonebook.h"
#include "data/remotedirectory.h"
#include "shell/cucstyle.h"
#include "shell/qvthememan.h"
#include "ui/grouptree/grouptreeitemdelegate.h"
#include "ui/grouptree/treegroupitem.h"
#include "ui/grouptree/treegroupwidget.h"
#include "ui/grouptree/uigroupitemdata.h"
#include "widgets/qvtreedatamodel.h"
#include "widgets/qvtreeitem.h"
#include "widgets/qvtreewidget.h"

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

using namespace benchphonebook;

const int menuCount = 20;
const int directoriesPerMenu = 50;
const int contactsPerDirectory = 100; // 100 000 in all
const int repeats = 7;

// The menu and directory files of the phonebook; returns the top menu's path.
QString generate(const QString &folder)
{
    return writeMenusOfDirectories(
        folder, menuCount, directoriesPerMenu, [](int) { return contactsPerDirectory; },
        "http://127.0.0.1:80/",
        [](int serial) -> QByteArray {
            return "<DirectoryEntry>\n<Name>Contact " + QByteArray::number(serial) +
                   "</Name>\n<Telephone label=\"Office\">" + QByteArray::number(serial) +
                   "</Telephone>\n</DirectoryEntry>\n";
        });
}

double bestMs(const std::function<void()> &work)
{
    return benchphonebook::bestMs(repeats, {}, work);
}

// The rows the pane shows, built beforehand from the store: what a fill without the pane needs.
struct Row
{
    QVariant data;
    QList<Row> children;
};

QList<Row> rowsFromStore()
{
    const RemoteDirectory &store = RemoteDirectory::instance();
    std::function<Row(const RemoteGroup *)> build = [&](const RemoteGroup *group) {
        uiGroupItemData data;
        data.nGroupId = group->id;
        data.strGroupName = group->name;
        data.nContactCount = group->childIds.size();
        data.nDirType = 2;
        Row row{QVariant::fromValue(data), {}};
        if (group->isMenu) {
            for (int id : group->childIds)
                row.children.append(build(store.findGroup(id)));
        }
        return row;
    };
    QList<Row> rows;
    for (int id : store.findGroup(0)->childIds)
        rows.append(build(store.findGroup(id)));
    return rows;
}

qvTreeItem *itemOf(const Row &row)
{
    auto *item = new qvTreeItem(row.data);
    for (const Row &child : row.children)
        item->AddChild(itemOf(child));
    return item;
}

void fill(qvTreeDataModel &model, const QList<Row> &rows)
{
    qDeleteAll(model.TakeAllItems());
    for (const Row &row : rows)
        model.AppendTopLevelItem(itemOf(row));
}

int liveRowWidgets(QWidget *view)
{
    settle();
    return view->findChildren<TreeGroupItem *>().size();
}

// Rows that intersect the viewport, the one at its bottom edge included.
int rowsInView(QTreeWidget *tree)
{
    const int bottom = tree->viewport()->height();
    int count = 0;
    for (QTreeWidgetItem *row = tree->itemAt(0, 0); row; row = tree->itemBelow(row)) {
        if (tree->visualItemRect(row).top() > bottom)
            break;
        ++count;
    }
    return count;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(new CUCStyle);
    app.setStyleSheet(qvThemeMan::loadStyleSheet(QStringLiteral(":/qss/"), false));
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});

    QTemporaryDir folder;
    if (!RemoteDirectory::instance().importFile(generate(folder.path()))) {
        std::fprintf(stderr, "import failed\n");
        return 1;
    }
    const QList<Row> rows = rowsFromStore();
    print("groups", int(RemoteDirectory::instance().groupIds().size() - 1));
    print("contacts", RemoteDirectory::instance().contactCount(-1));

    qvTreeDataModel bareModel;
    print("model_only_ms", bestMs([&] { fill(bareModel, rows); }));

    QWidget plainHost;
    plainHost.resize(300, 600);
    GroupTreeItemDelegate plainDelegate;
    qvTreeDataModel plainModel;
    auto *plain = new qvTreeWidget(&plainHost, QStringLiteral("GroupTreeWidget"));
    plain->header()->hide();
    plain->setIndentation(16);
    plain->setFrameShape(QFrame::NoFrame);
    plain->setGeometry(10, 62, 266, 532);
    plain->SetDelegate(&plainDelegate);
    plain->SetModel(&plainModel);
    plain->SetItemSizeValue(
        QStringList{QStringLiteral("qmap"),
                    GroupTreeItemDelegate::createFuncTypeKey() + QStringLiteral(",48")});
    plainHost.show();
    settle();
    const double inView = bestMs([&] {
        fill(plainModel, rows);
        plain->ExpandAll();
        plain->setCurrentItem(plain->topLevelItem(0));
    });
    print("model_in_view_ms", inView);
    plainHost.hide();

    QWidget host;
    host.resize(300, 600);
    auto *pane = new TreeGroupWidget(&host);
    pane->setGeometry(10, 62, 266, 532);
    host.show();
    settle();
    const double load = bestMs([&] { pane->loadGroupTree(2); });
    print("load_ms", load);
    print("load_vs_model_in_view_ratio", load / inView);
    print("load_vs_model_only_ratio", load / bestMs([&] { fill(bareModel, rows); }));

    print("rows", pane->topLevelItemCount() * (1 + directoriesPerMenu));
    print("live_row_widgets", liveRowWidgets(pane->viewport()));
    print("visible_rows", rowsInView(pane));
    pane->verticalScrollBar()->setValue(pane->verticalScrollBar()->maximum() / 2);
    print("live_row_widgets_scrolled", liveRowWidgets(pane->viewport()));
    print("visible_rows_scrolled", rowsInView(pane));

    // After a load the menus show their sub-group counts: the first update changes 20 rows.
    RemoteDirectory &store = RemoteDirectory::instance();
    const auto timedUpdate = [&](const std::function<void()> &setup) {
        return benchphonebook::bestMs(
            repeats,
            [&] {
                setup();
                settle();
            },
            [&] { pane->updateContactCounts(); });
    };
    print("update_counts_menus_changed_ms", timedUpdate([&] { pane->loadGroupTree(2); }));
    print("update_counts_unchanged_ms", timedUpdate([] {}));
    // Every directory gains or loses a contact: all 1 020 rows change.
    QList<int> directories;
    for (int id : store.groupIds()) {
        if (id != 0 && !store.findGroup(id)->isMenu)
            directories.append(id);
    }
    QList<int> added;
    print("update_counts_all_changed_ms", timedUpdate([&] {
              if (added.isEmpty()) {
                  for (int id : qAsConst(directories)) {
                      RemoteContact *contact = nullptr;
                      store.addContact(id, &contact);
                      added.append(contact->id);
                  }
              } else {
                  for (int i = 0; i < directories.size(); ++i)
                      store.deleteContact(directories.at(i), added.at(i));
                  added.clear();
              }
          }));
    print("update_counts_budget_ms", 20.0);
    return 0;
}
