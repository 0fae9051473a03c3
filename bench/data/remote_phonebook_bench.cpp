// Remote phonebook at scale: 100 000 contacts in 1 000 directory groups under 20 menus.
// Prints name=value lines; every timing comes with a baseline taken in the same run and the
// ratio between them. Best of several runs.
#include "data/remotedirectory.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>

namespace {
const int menuCount = 20;
const int directoriesPerMenu = 50;
const int contactTotal = 100000;
const int repeats = 3;

double bestMs(const std::function<void()> &setup, const std::function<void()> &work)
{
    double best = 1e30;
    for (int i = 0; i < repeats; ++i) {
        setup();
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

// Menu and directory files as a phone would fetch them; the first directory holds 1 000
// contacts (the search case), the rest share the others. Returns the top menu's path.
QString generate(const QString &folder)
{
    const int directoryCount = menuCount * directoriesPerMenu;
    const int rest = contactTotal - 1000;
    const QByteArray url = "http://127.0.0.1:80/";
    QByteArray top = "<QuelvoxIPPhoneMenu>\n<Title>Root Directory</Title>\n";
    int serial = 0;
    for (int m = 0; m < menuCount; ++m) {
        const QByteArray menuFile = "RemotePhoneBook_Menu" + QByteArray::number(m) + ".xml";
        top += "<MenuItem>\n<Name>Menu " + QByteArray::number(m) + "</Name>\n<URL>" + url +
               menuFile + "</URL>\n</MenuItem>\n";
        QByteArray menu =
            "<QuelvoxIPPhoneMenu>\n<Title>Menu " + QByteArray::number(m) + "</Title>\n";
        for (int d = 0; d < directoriesPerMenu; ++d) {
            const int index = m * directoriesPerMenu + d;
            const QByteArray name = "Directory " + QByteArray::number(index);
            const QByteArray file =
                "RemotePhoneBook_Directory" + QByteArray::number(index) + ".xml";
            menu += "<MenuItem>\n<Name>" + name + "</Name>\n<URL>" + url + file +
                    "</URL>\n</MenuItem>\n";
            int count = rest / (directoryCount - 1) + (index - 1 < rest % (directoryCount - 1));
            if (index == 0)
                count = 1000;
            QByteArray directory = "<QuelvoxIPPhoneDirectory>\n<Title>" + name + "</Title>\n";
            for (int c = 0; c < count; ++c, ++serial) {
                directory += "<DirectoryEntry>\n<Name>Contact " + QByteArray::number(serial) +
                             "</Name>\n<Telephone label=\"Office\">+1 555 " +
                             QByteArray::number(serial).rightJustified(6, '0') +
                             "</Telephone>\n<Telephone label=\"Mobile\">" +
                             QByteArray::number(serial * 7) +
                             "</Telephone>\n<Telephone></Telephone>\n<Extra label=\"Room\">Room " +
                             QByteArray::number(serial % 97) + "</Extra>\n</DirectoryEntry>\n";
            }
            directory += "</QuelvoxIPPhoneDirectory>\n";
            writeFile(folder + QLatin1Char('/') + QString::fromLatin1(file), directory);
        }
        menu += "</QuelvoxIPPhoneMenu>\n";
        writeFile(folder + QLatin1Char('/') + QString::fromLatin1(menuFile), menu);
    }
    top += "</QuelvoxIPPhoneMenu>\n";
    const QString topPath = folder + QStringLiteral("/RemotePhonebook_bench.xml");
    writeFile(topPath, top);
    return topPath;
}

QStringList xmlFiles(const QString &folder)
{
    QStringList list;
    for (const QString &name : QDir(folder).entryList({QStringLiteral("*.xml")}, QDir::Files))
        list.append(folder + QLatin1Char('/') + name);
    return list;
}

// What the files cost to read at all: every token of every file, nothing kept.
void bareRead(const QStringList &files)
{
    for (const QString &path : files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        QXmlStreamReader xml(&file);
        while (!xml.atEnd())
            xml.readNext();
    }
}

void print(const char *name, double value)
{
    std::printf("%s=%.3f\n", name, value);
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // The log lines of a save would dominate the figures.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    QTemporaryDir work;
    const QString in = work.filePath(QStringLiteral("in"));
    const QString out = work.filePath(QStringLiteral("out"));
    const QString plain = work.filePath(QStringLiteral("plain"));
    for (const QString &folder : {in, out, plain})
        QDir().mkpath(folder);
    const QString top = generate(in);
    const QStringList files = xmlFiles(in);

    RemoteDirectory imported;
    const double floorMs = bestMs([] {}, [&] { bareRead(files); });
    const double importMs = bestMs([] {}, [&] { imported.importFile(top); });
    std::printf("files=%d\ncontacts=%d\ngroups=%d\n", int(files.size()), imported.contactCount(-1),
                int(imported.groupIds().size()));
    print("import_ms", importMs);
    print("import_floor_ms", floorMs);
    print("import_over_floor", importMs / floorMs);

    // The save against the same bytes written to as many plain files.
    const QString saved = out + QStringLiteral("/RemotePhonebook_bench.xml");
    const double saveMs =
        bestMs([] {}, [&] { imported.saveFile(saved, QStringLiteral("http://127.0.0.1:80/")); });
    QList<QByteArray> contents;
    for (const QString &path : xmlFiles(out)) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            contents.append(file.readAll());
    }
    const double writeFloorMs =
        bestMs([] {},
               [&] {
                   for (int i = 0; i < contents.size(); ++i)
                       writeFile(plain + QStringLiteral("/%1.xml").arg(i), contents.at(i));
               });
    // Writing them atomically (temporary file, flush to disk, rename) as the save does.
    const double atomicFloorMs =
        bestMs([] {},
               [&] {
                   for (int i = 0; i < contents.size(); ++i) {
                       QSaveFile file(plain + QStringLiteral("/%1.xml").arg(i));
                       if (file.open(QIODevice::WriteOnly)) {
                           file.write(contents.at(i));
                           file.commit();
                       }
                   }
               });
    std::printf("saved_files=%d\n", int(contents.size()));
    print("save_ms", saveMs);
    print("save_plain_write_ms", writeFloorMs);
    print("save_over_plain_write", saveMs / writeFloorMs);
    print("save_atomic_write_ms", atomicFloorMs);
    print("save_over_atomic_write", saveMs / atomicFloorMs);

    // Counting: the whole phonebook, and the root's recursive sum against a plain walk.
    int sink = 0;
    const double countAllMs = bestMs([] {},
                                     [&] {
                                         for (int i = 0; i < 1000; ++i)
                                             sink += imported.contactCount(-1);
                                     });
    const double countRootMs = bestMs([] {}, [&] { sink += imported.contactCount(0); });
    const double walkMs = bestMs([] {},
                                 [&] {
                                     for (int id : imported.groupIds()) {
                                         const RemoteGroup *group = imported.findGroup(id);
                                         if (!group->isMenu)
                                             sink += group->childIds.size();
                                     }
                                 });
    print("contact_count_all_ns", countAllMs * 1e6 / 1000);
    print("contact_count_root_ms", countRootMs);
    print("contact_count_plain_walk_ms", walkMs);
    print("contact_count_root_over_walk", countRootMs / walkMs);

    // Search in the 1 000-contact directory against a bare scan of the same names and numbers.
    const int bigId = imported.findGroup(imported.findGroup(0)->childIds.first())->childIds.first();
    const QString key = QStringLiteral("555 0009");
    QList<RemoteContact *> found;
    const double searchMs = bestMs([&] { found.clear(); },
                                   [&] {
                                       for (int i = 0; i < 100; ++i)
                                           imported.searchContacts(bigId, key, found);
                                   });
    const double scanMs =
        bestMs([] {},
               [&] {
                   for (int i = 0; i < 100; ++i) {
                       for (int id : imported.findGroup(bigId)->childIds) {
                           const RemoteContact *contact = imported.findContact(id);
                           bool match = contact->name.contains(key, Qt::CaseInsensitive);
                           for (const LabeledValue &number : contact->numbers)
                               match = match || number.value.contains(key, Qt::CaseInsensitive);
                           sink += match;
                       }
                   }
               });
    print("search_1000_us", searchMs * 1000 / 100);
    print("search_plain_scan_us", scanMs * 1000 / 100);
    print("search_over_plain_scan", searchMs / scanMs);

    // Deleting one menu (50 directories, about 5 000 contacts) against freeing as many records.
    const int menuId = imported.findGroup(0)->childIds.last();
    const int menuContacts = imported.contactCount(menuId);
    double deleteMs = 1e30;
    double freeMs = 1e30;
    for (int r = 0; r < repeats; ++r) {
        imported.importFile(top);
        QElapsedTimer timer;
        timer.start();
        imported.deleteGroup(menuId);
        deleteMs = std::min(deleteMs, timer.nsecsElapsed() / 1e6);

        std::map<int, std::unique_ptr<RemoteContact>> records;
        for (int i = 0; i < menuContacts; ++i) {
            auto contact = std::make_unique<RemoteContact>(*imported.findContact(bigId + 1));
            records.emplace(i, std::move(contact));
        }
        timer.restart();
        records.clear();
        freeMs = std::min(freeMs, timer.nsecsElapsed() / 1e6);
    }
    std::printf("delete_menu_contacts=%d\n", menuContacts);
    print("delete_menu_ms", deleteMs);
    print("delete_plain_free_ms", freeMs);
    print("delete_over_plain_free", deleteMs / freeMs);
    std::printf("sink=%d\n", sink % 2);
    return 0;
}
