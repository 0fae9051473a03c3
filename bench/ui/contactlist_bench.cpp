// The contact list over a remote directory of 100 000 contacts: group load, search keystrokes,
// live row widgets, batch select all, and deleting and moving 10 000 ticked rows. Prints
// name=value lines; each figure comes with a baseline from the same run (the store and the
// list model alone, without the view) and the ratio or limit it is held to.
//   QT_QPA_PLATFORM=offscreen contactlist_bench [--contacts N] [--only
//   load|search|select|delete|move]

#include "bench/ui/benchphonebook.h"
#include "data/phonebookmanager.h"
#include "data/remotedirectory.h"
#include "shell/qvthememan.h"
#include "ui/contactlist/listcontactitem.h"
#include "ui/contactlist/listcontactwidget.h"
#include "ui/contactlist/uicontactitemdata.h"
#include "widgets/qvlistdatamodel.h"
#include "widgets/qvlistwidget.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using namespace benchphonebook;

int contactTotal = 100000;
const int repeats = 3;

// A menu that leads to one directory of contactTotal contacts, plus an empty second directory
// (the move target). Returns the menu's path.
QString generate(const QString &folder)
{
    int serial = 0;
    const QByteArray big = directoryXml("Big", contactTotal, serial, [](int c) -> QByteArray {
        return "<DirectoryEntry>\n<Name>Contact " + QByteArray::number(c) +
               "</Name>\n<Telephone label=\"Office\">+1 555 " +
               QByteArray::number(c).rightJustified(6, '0') +
               "</Telephone>\n<Telephone label=\"Mobile\">" + QByteArray::number(c * 7) +
               "</Telephone>\n<Telephone></Telephone>\n</DirectoryEntry>\n";
    });
    // One placeholder entry makes the target a directory; it is deleted after the import.
    const QByteArray target = directoryXml("Target", 1, serial, [](int) {
        return QByteArray("<DirectoryEntry>\n<Name>x</Name>\n</DirectoryEntry>\n");
    });
    writeFile(folder + QStringLiteral("/RemotePhoneBook_Big.xml"), big);
    writeFile(folder + QStringLiteral("/RemotePhoneBook_Target.xml"), target);
    return writeTopMenu(
        folder, {{"Big", "RemotePhoneBook_Big.xml"}, {"Target", "RemotePhoneBook_Target.xml"}},
        "http://127.0.0.1:80/");
}

struct Groups
{
    int big = -1;
    int target = -1;
};

Groups importBook(const QString &path)
{
    RemoteDirectory &store = RemoteDirectory::instance();
    store.importFile(path);
    Groups groups;
    for (const int id : store.findGroup(0)->childIds) {
        const QString name = store.groupName(id);
        if (name == QLatin1String("Big"))
            groups.big = id;
        else if (name == QLatin1String("Target"))
            groups.target = id;
    }
    RemoteGroup *target = store.findGroup(groups.target);
    const QList<int> placeholder = target->childIds;
    for (const int id : placeholder)
        store.deleteContact(groups.target, id);
    target->isMenu = false;
    return groups;
}

double bestMs(const std::function<void()> &setup, const std::function<void()> &work,
              int runs = repeats)
{
    return benchphonebook::bestMs(runs, setup, work);
}

// Answers the next question with Ok as soon as it is shown.
void answerOkSoon()
{
    QTimer::singleShot(0, [] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            if (auto *box = dialog->findChild<QDialogButtonBox *>())
                box->button(QDialogButtonBox::Ok)->click();
        }
    });
}

// What loadGroup cannot do without: walk the group in the store and fill a list model.
void walkAndFill(qvListDataModel &model, int groupId)
{
    RemoteDirectory &store = RemoteDirectory::instance();
    QList<QVariant> rows;
    const RemoteGroup *group = store.findGroup(groupId);
    rows.reserve(group->childIds.size());
    for (const int id : group->childIds) {
        if (const RemoteContact *contact = store.findContact(id)) {
            uiContactItemData row;
            row.nContactId = id;
            row.strName = contact->name;
            rows.append(QVariant::fromValue(row));
        }
    }
    model.Clear();
    model.AppendRows(rows);
}

void tickEveryTenth(ListContactWidget &pane)
{
    for (int r = 0; r < pane.count(); r += 10)
        pane.slotItemclicked(pane.model()->index(r, 0));
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int at = args.indexOf(QStringLiteral("--contacts"));
    if (at >= 0 && at + 1 < args.size())
        contactTotal = args.at(at + 1).toInt();
    const int onlyAt = args.indexOf(QStringLiteral("--only"));
    const QString only = onlyAt >= 0 && onlyAt + 1 < args.size() ? args.at(onlyAt + 1) : QString();
    const auto wanted = [&only](const char *phase) {
        return only.isEmpty() || only == QLatin1String(phase);
    };
    // The per-operation log lines would dominate the figures.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});

    // Row heights come from the compiled-in sheets, as in the editor.
    app.setStyleSheet(qvThemeMan::loadStyleSheet(QStringLiteral(":/qss/"), false));
    QTemporaryDir work;
    const QString book = generate(work.path());
    Groups groups = importBook(book);

    ListContactWidget pane;
    pane.resize(332, 520);
    pane.show();
    pane.setDirType(PhonebookManager::RemoteDir);
    settle();

    // Group load against the store walk and model fill alone.
    qvListDataModel bare;
    if (wanted("load")) {
        // loadGroup itself (its rows, the view's list items and the first layout) against the
        // floor in alternating rounds, so that the machine's load drifts into both alike; the
        // median of the per-round ratios is the figure. Then the same with the event processing
        // that follows (deferred layout, the paint).
        // A second baseline: the same model shown by the framework's list view with no row
        // widgets, i.e. what the view itself costs per row before the pane adds anything.
        qvListDataModel shownModel;
        qvListWidget plainView(nullptr, QStringLiteral("ContactWidget"), false);
        plainView.resize(332, 520);
        plainView.SetModel(&shownModel);
        plainView.show();
        std::vector<double> floors, loads, ratios, viewFloors, viewRatios;
        for (int round = 0; round < 7; ++round) {
            pane.loadGroup(groups.target);
            shownModel.Clear();
            settle();
            bare.Clear(); // as the pane's list is empty before the load
            floors.push_back(elapsedMs([&] { walkAndFill(bare, groups.big); }));
            viewFloors.push_back(elapsedMs([&] { walkAndFill(shownModel, groups.big); }));
            loads.push_back(elapsedMs([&] { pane.loadGroup(groups.big); }));
            ratios.push_back(loads.back() / floors.back());
            viewRatios.push_back(loads.back() / viewFloors.back());
        }
        shownModel.Clear();
        const double shownMs = bestMs(
            [&] {
                pane.loadGroup(groups.target);
                settle();
            },
            [&] {
                pane.loadGroup(groups.big);
                settle();
            });
        std::printf("contacts=%d\nrows=%d\n", contactTotal, pane.count());
        print("load_floor_ms", median(floors));
        print("load_group_ms", median(loads));
        print("load_group_shown_ms", shownMs);
        print("load_ratio", median(ratios));
        print("load_model_in_view_ms", median(viewFloors));
        print("load_vs_model_in_view_ratio", median(viewRatios));
        std::printf("load_ratio_limit=1.5\n");
    }
    pane.loadGroup(groups.big);

    // Live row widgets against the rows the viewport shows.
    settle();
    int live = 0;
    for (ListContactItem *item : pane.findChildren<ListContactItem *>())
        live += item->parentWidget() ? 1 : 0;
    int visible = 0;
    for (int r = 0; r < pane.count() && r < 100; ++r)
        visible += pane.visualItemRect(pane.item(r)).intersects(pane.viewport()->rect()) ? 1 : 0;
    std::printf("live_row_widgets=%d\nvisible_rows=%d\n", live, visible);

    // Search keystrokes: a key that narrows the group to a few rows, and the first key of a
    // name, which keeps every row. The store's own search is the baseline.
    const QString narrow = QStringLiteral("Contact 4711");
    const QString broad = QStringLiteral("c");
    if (wanted("search")) {
        const double narrowFloorMs =
            bestMs([] {},
                   [&] {
                       QList<RemoteContact *> found;
                       RemoteDirectory::instance().searchContacts(groups.big, narrow, found);
                   });
        const double narrowMs = bestMs(
            [&] {
                pane.searchContacts(QString());
                settle();
            },
            [&] {
                pane.searchContacts(narrow);
                settle();
            });
        const double broadMs = bestMs(
            [&] {
                pane.searchContacts(narrow);
                settle();
            },
            [&] {
                pane.searchContacts(broad);
                settle();
            });
        print("search_store_floor_ms", narrowFloorMs);
        print("search_keystroke_ms", narrowMs);
        print("search_keystroke_all_rows_ms", broadMs);
        std::printf("search_limit_ms=50\n");
        pane.searchContacts(QString());
    }

    // Batch mode: select all.
    if (wanted("select")) {
        pane.setBatchState(true);
        const double selectAllMs = bestMs(
            [&] {
                pane.setAllSelect(false);
                settle();
            },
            [&] {
                pane.setAllSelect(true);
                settle();
            });
        print("select_all_ms", selectAllMs);
        std::printf("select_all_limit_ms=100\n");
        pane.setBatchState(false);
    }

    // Deleting and moving every tenth row: the store's own work is the baseline.
    const int ticked = (contactTotal + 9) / 10;
    // A fresh book, its big group loaded in batch mode with every tenth row ticked, and the
    // question that follows answered.
    const auto freshTickedGroup = [&] {
        groups = importBook(book);
        pane.setBatchState(false);
        pane.loadGroup(groups.big);
        pane.setBatchState(true);
        tickEveryTenth(pane);
        settle();
        answerOkSoon();
    };
    if (wanted("delete")) {
        const double storeDeleteMs =
            bestMs([&] { groups = importBook(book); },
                   [&] {
                       const QList<int> ids =
                           RemoteDirectory::instance().findGroup(groups.big)->childIds;
                       for (int i = 0; i < ids.size(); i += 10)
                           PhonebookManager::deleteContact(PhonebookManager::RemoteDir, groups.big,
                                                           ids.at(i));
                   });
        const double deleteMs = bestMs(freshTickedGroup, [&] {
            pane.deleteSelectedContacts();
            settle();
        });
        std::printf("ticked_rows=%d\nrows_after_delete=%d\n", ticked, pane.count());
        print("delete_store_floor_ms", storeDeleteMs);
        print("delete_ticked_ms", deleteMs);
    }
    if (wanted("move")) {
        const double storeMoveMs =
            bestMs([&] { groups = importBook(book); },
                   [&] {
                       const QList<int> all =
                           RemoteDirectory::instance().findGroup(groups.big)->childIds;
                       QList<int> ids;
                       for (int i = 0; i < all.size(); i += 10)
                           ids.append(all.at(i));
                       PhonebookManager::moveContactsToGroup(PhonebookManager::RemoteDir, ids,
                                                             groups.big, groups.target);
                   });
        const double moveMs = bestMs(freshTickedGroup, [&] {
            pane.moveSelectedContacts(groups.target);
            settle();
        });
        std::printf("rows_after_move=%d\n", pane.count());
        print("move_store_floor_ms", storeMoveMs);
        print("move_ticked_ms", moveMs);
    }
    std::printf("delete_move_limit_ms=1000\n");
    return 0;
}
