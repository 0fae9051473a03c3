// Start-up of the editor window, offscreen, median of 10: constructing MainWindow, init (style
// sheets, panes, HTTP switch) and showing it until it is exposed. Prints name=value lines:
//   bare_window_ms   baseline from the same run: a plain frameless 1280 x 720 main window with
//                    the same application style sheets, shown until exposed
//   startup_ms       the editor window (budget 300 ms)
// and, for a local XML file of 1 000 contacts, median of 10:
//   store_import_ms  baseline: LocalDirectory::importFile alone
//   open_file_ms     MainWindow::openFile until its first group shows (budget 100 ms)
#include "data/localdirectory.h"
#include "shell/cucstyle.h"
#include "shell/qvthememan.h"
#include "ui/mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QTemporaryDir>
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
    return exposed ? 0 : 1;
}
