// Start-up of the editor window, offscreen, median of 10: constructing MainWindow, init (style
// sheets, panes, HTTP switch) and showing it until it is exposed. Prints name=value lines:
//   bare_window_ms   baseline from the same run: a plain frameless 1280 x 720 main window with
//                    the same application style sheets, shown until exposed
//   startup_ms       the editor window (budget 300 ms)
// and, for a local XML file of 1 000 contacts, median of 10:
//   store_import_ms  baseline: LocalDirectory::importFile alone
//   open_file_ms     MainWindow::openFile until its first group shows (budget 100 ms)
// and, for a remote phonebook of 100 000 contacts in two directories, median of 10:
//   group_switch_ms  making the other directory current in the tree until its rows are laid out
//                    (budget 100 ms); baseline store_walk_ms: reading that group's contacts
//   search_key_ms    clearing the search field and typing one character, so two searches of
//                    the 50 000-contact group (budget 100 ms for one)
#include "bench/ui/benchphonebook.h"
#include "data/localdirectory.h"
#include "data/remotedirectory.h"
#include "shell/cucstyle.h"
#include "shell/qvthememan.h"
#include "ui/mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

const int starts = 10;

double medianMs(const std::function<void()> &run)
{
    std::vector<double> times;
    for (int i = 0; i < starts; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return (times[starts / 2 - 1] + times[starts / 2]) / 2;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(new CUCStyle); // the application owns it
    QTemporaryDir work;                   // settings and log land here, not in the caller's tree
    QDir::setCurrent(work.path());

    bool exposed = true;
    const double bare = medianMs([&exposed] {
        QMainWindow window;
        window.setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
        window.setFixedSize(1280, 720);
        qApp->setStyleSheet(qvThemeMan::loadStyleSheet(QStringLiteral(":/qss/"), false));
        window.show();
        exposed = QTest::qWaitForWindowExposed(&window) && exposed;
    });
    const double editor = medianMs([&exposed] {
        MainWindow window;
        window.init();
        window.show();
        exposed = QTest::qWaitForWindowExposed(&window) && exposed;
    });
    std::printf("bare_window_ms=%.1f\nstartup_ms=%.1f\nstartup_budget_ms=300\n", bare, editor);

    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<root_group>\n"
                     "    <group display_name=\"All Contacts\"/>\n"
                     "    <group display_name=\"Blocklist\"/>\n</root_group>\n<root_contact>\n";
    for (int i = 0; i < 1000; ++i)
        xml += "    <contact display_name=\"Contact " + QByteArray::number(i) +
               "\" office_number=\"" + QByteArray::number(1000 + i) +
               "\" mobile_number=\"\" other_number=\"\" line=\"-1\" ring=\"Auto\" "
               "group_id_name=\"All Contacts\" default_photo=\"\" selected_photo=\"0\" "
               "eyepea_contact_id=\"\"/>\n";
    xml += "</root_contact>\n";
    const QString path = work.filePath(QStringLiteral("book.xml"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(xml) != xml.size())
        return 1;
    file.close();

    const double store = medianMs([&path] { LocalDirectory::instance().importFile(path); });
    MainWindow window;
    window.init();
    window.show();
    exposed = QTest::qWaitForWindowExposed(&window) && exposed;
    const double open = medianMs([&window, &path] {
        window.openFile(path);
        QCoreApplication::processEvents(); // the first group's rows are laid out
    });
    std::printf("store_import_ms=%.1f\nopen_file_ms=%.1f\nopen_file_budget_ms=100\n", store, open);

    // 100 000 remote contacts in two directories of 50 000.
    int serial = 0;
    const auto entry = [](int c) -> QByteArray {
        return "<DirectoryEntry>\n<Name>Contact " + QByteArray::number(c) +
               "</Name>\n<Telephone label=\"Office\">" + QByteArray::number(100000 + c) +
               "</Telephone>\n</DirectoryEntry>\n";
    };
    benchphonebook::writeFile(work.filePath(QStringLiteral("RemotePhoneBook_A.xml")),
                              benchphonebook::directoryXml("A", 50000, serial, entry));
    benchphonebook::writeFile(work.filePath(QStringLiteral("RemotePhoneBook_B.xml")),
                              benchphonebook::directoryXml("B", 50000, serial, entry));
    const QString menu = benchphonebook::writeTopMenu(
        work.path(), {{"A", "RemotePhoneBook_A.xml"}, {"B", "RemotePhoneBook_B.xml"}},
        "http://127.0.0.1:80/");
    window.openFile(menu);
    QCoreApplication::processEvents();
    auto *tree = window.findChild<QTreeWidget *>();
    if (!tree || tree->topLevelItemCount() != 2)
        return 1;
    int next = 1;
    const double storeWalk = medianMs([&next] {
        const RemoteDirectory &remote = RemoteDirectory::instance();
        const RemoteGroup *group = remote.findGroup(remote.findGroup(0)->childIds.at(next));
        int named = 0;
        for (const int id : group->childIds)
            named += remote.findContact(id) ? 1 : 0;
        next = 1 - next;
        if (named != 50000)
            std::printf("unexpected_count=%d\n", named);
    });
    const double groupSwitch = medianMs([&tree, &next] {
        tree->setCurrentItem(tree->topLevelItem(next));
        QCoreApplication::processEvents();
        next = 1 - next;
    });
    auto *search = window.findChild<QLineEdit *>(QStringLiteral("editSearchContact"));
    const double searchKey = medianMs([&search] {
        search->clear();
        QCoreApplication::processEvents();
        QTest::keyClick(search, Qt::Key_7);
        QCoreApplication::processEvents();
    });
    std::printf("store_walk_ms=%.1f\ngroup_switch_ms=%.1f\nsearch_key_ms=%.1f\n"
                "switch_search_budget_ms=100\n",
                storeWalk, groupSwitch, searchKey);
    return exposed ? 0 : 1;
}
