// Fills the group selection popup from a remote phonebook of 20 menus of 50 directories (1 020
// groups) holding 100 000 contacts, read from generated files, and prints name=value lines with
// two baselines taken in the same run from the same rows:
//   fill_model_ms          a bare tree data model that no view watches
//   fill_model_view_ms     the same model watched by a tree view of the popup's size, delegate
//                          and row height, expanded: what the view framework itself costs
//   prepare_ms             prepareForDirType(2) on the shown popup
//   prepare_vs_model, prepare_vs_model_view   the ratios
//   live_row_widgets, visible_rows   row widgets after the fill; rows in view plus the one at
//                                    the bottom edge
// Each time is the GUI thread's CPU time, best of --runs fills (default 9), which keeps other
// processes on the machine out of the figures. --menus, --dirs and --contacts shrink the phonebook.

#include "bench/ui/benchphonebook.h"
#include "data/phonebookmanager.h"
#include "data/remotedirectory.h"
#include "data/remotegroup.h"
#include "ui/groupselect/grouptreeselectitemdelegate.h"
#include "ui/groupselect/treegroupselectwidget.h"
#include "ui/groupselect/uigroupselectitemdata.h"
#include "widgets/qvtreedatamodel.h"
#include "widgets/qvtreeitem.h"
#include "widgets/qvtreewidget.h"
#include "widgets/qvviewitemwidget.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

using namespace benchphonebook;

// Menu and directory files as the editor saves them; returns the top menu's path.
QString generate(const QString &folder, int menus, int dirs, int contacts)
{
    const int perDirectory = contacts / qMax(1, menus * dirs);
    return writeMenusOfDirectories(
        folder, menus, dirs, [perDirectory](int) { return perDirectory; }, QByteArray(),
        [](int serial) -> QByteArray {
            return "<DirectoryEntry>\n<Name>Contact " + QByteArray::number(serial) +
                   "</Name>\n<Telephone>" + QByteArray::number(serial) +
                   "</Telephone>\n</DirectoryEntry>\n";
        });
}

qvTreeItem *row(const RemoteGroup &group)
{
    uiGroupSelectItemData data;
    data.nGroupId = group.id;
    data.strGroupName = group.name;
    data.nDirType = PhonebookManager::RemoteDir;
    data.bSelectable = PhonebookManager::canHoldContacts(PhonebookManager::RemoteDir, group.id);
    return new qvTreeItem(QVariant::fromValue(data));
}

// The baseline: the same rows into a model that no view watches.
void fillModel(qvTreeDataModel &model)
{
    qDeleteAll(model.TakeAllItems());
    const RemoteDirectory &store = RemoteDirectory::instance();
    for (int id : store.findGroup(0)->childIds) {
        const RemoteGroup *menu = store.findGroup(id);
        qvTreeItem *item = row(*menu);
        for (int childId : menu->childIds)
            item->AddChild(row(*store.findGroup(childId)));
        model.AppendTopLevelItem(item);
    }
}

// Row widgets released by the last fill are deleted by the event loop; not timed.
double bestMs(int runs, const std::function<void()> &fill)
{
    return benchphonebook::bestMs(runs, settle, fill, Clock::ThreadCpu);
}

int countWidgets(qvTreeWidget *tree)
{
    int count = 0;
    for (QTreeWidgetItem *item = tree->topLevelItem(0); item; item = tree->itemBelow(item))
        count += tree->GetItemWidget(item) ? 1 : 0;
    return count;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({QStringLiteral("menus"), QStringLiteral("Menus."), QStringLiteral("n"),
                      QStringLiteral("20")});
    parser.addOption({QStringLiteral("dirs"), QStringLiteral("Directories per menu."),
                      QStringLiteral("n"), QStringLiteral("50")});
    parser.addOption({QStringLiteral("contacts"), QStringLiteral("Contacts in all."),
                      QStringLiteral("n"), QStringLiteral("100000")});
    parser.addOption({QStringLiteral("runs"), QStringLiteral("Fills per figure."),
                      QStringLiteral("n"), QStringLiteral("9")});
    parser.process(app);
    const int runs = qMax(1, parser.value(QStringLiteral("runs")).toInt());

    // The reader's log lines would only slow the set-up.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    QTemporaryDir folder;
    const QString top = generate(folder.path(), parser.value(QStringLiteral("menus")).toInt(),
                                 parser.value(QStringLiteral("dirs")).toInt(),
                                 parser.value(QStringLiteral("contacts")).toInt());
    if (!RemoteDirectory::instance().importFile(top))
        return 1;

    qvTreeDataModel model;
    const double modelMs = bestMs(runs, [&] { fillModel(model); });

    GroupTreeSelectItemDelegate delegate;
    qvTreeDataModel viewModel;
    qvTreeWidget view(nullptr, QStringLiteral("TreeGroupSelectWidget"));
    view.setHeaderHidden(true);
    view.setIndentation(16);
    view.SetItemSizeValue(QStringList{
        QStringLiteral("qmap"),
        QStringLiteral("GroupTreeSelectItemDelegate#CreateGroupTreeSelectItemWidget,38")});
    view.resize(284, 266);
    view.SetDelegate(&delegate);
    view.SetModel(&viewModel);
    view.show();
    if (!QTest::qWaitForWindowExposed(&view))
        return 1;
    const double viewMs = bestMs(runs, [&] {
        fillModel(viewModel);
        view.ExpandAll();
    });

    TreeGroupSelectWidget popup;
    popup.prepareForDirType(PhonebookManager::RemoteDir);
    popup.show();
    if (!QTest::qWaitForWindowExposed(&popup))
        return 1;
    const double prepareMs =
        bestMs(runs, [&] { popup.prepareForDirType(PhonebookManager::RemoteDir); });
    QApplication::processEvents();

    qvTreeWidget *tree = popup.treeWidget();
    const int rowHeight = TreeGroupSelectWidget::RowHeight;
    std::printf("groups=%d\n", int(RemoteDirectory::instance().groupIds().size()) - 1);
    std::printf("contacts=%d\n", RemoteDirectory::instance().contactCount(-1));
    std::printf("fill_model_ms=%.3f\n", modelMs);
    std::printf("prepare_ms=%.3f\n", prepareMs);
    std::printf("fill_model_view_ms=%.3f\n", viewMs);
    std::printf("prepare_vs_model=%.2f\n", prepareMs / qMax(modelMs, 1e-6));
    std::printf("prepare_vs_model_view=%.2f\n", prepareMs / qMax(viewMs, 1e-6));
    std::printf("live_row_widgets=%d\n", countWidgets(tree));
    std::printf("visible_rows=%d\n", tree->viewport()->height() / rowHeight + 1);
    return 0;
}
