// Local phonebook speed at 1 000 and 100 000 contacts over 50 groups. Prints name=value lines;
// every time comes with a ratio to a baseline measured in the same run:
//   xml_import vs a bare QXmlStreamReader pass over the same file that builds nothing,
//   xml_input_checks (the encoding check and the attribute scan every XML import now makes
//   before parsing) vs the same bare pass, showing what they add to an import,
//   csv_import vs decoding the same file and splitting it into lines and fields,
//   xml_save / csv_save vs writing the same number of bytes in one call,
//   delete_group (the group holding half the contacts) and search (group 0, empty and
//   non-matching key) vs importing the same phonebook from XML.
// Usage: local_phonebook_bench [--small]   (--small: 1 000 contacts only)

#include "data/inputfile.h"
#include "data/localdirectory.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {
constexpr int groupCount = 50;

// Best of `rounds` runs, in milliseconds.
double timeMs(int rounds, const std::function<void()> &setup, const std::function<void()> &work)
{
    double best = 1e300;
    for (int i = 0; i < rounds; ++i) {
        setup();
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    return best;
}

void print(const QByteArray &name, double value)
{
    std::printf("%s=%.3f\n", name.constData(), value);
    std::fflush(stdout);
}

// Half the contacts in "Group 0", the rest spread over the 49 other groups, in that group
// order; built through an import, the one way to hold more contacts than the editor adds.
void fill(LocalDirectory &store, int contacts, const QString &path)
{
    QString text = QStringLiteral("display_name,office_number,mobile_number,other_number,line,"
                                  "ring,auto_divert,group_id_name\n");
    for (int i = 0; i < contacts; ++i) {
        text += QStringLiteral("Contact %1 名字,10%1,13%2,").arg(i).arg(i * 7);
        text += i % 3 ? QString() : QStringLiteral("20%1").arg(i);
        text += QStringLiteral(",%1,Auto,").arg(i % 4 - 1);
        text += i % 5 ? QString() : QStringLiteral("3003");
        text += QStringLiteral(",Group %1\n").arg(i % 2 == 0 ? 0 : 1 + (i / 2) % (groupCount - 1));
    }
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(text.toUtf8());
    file.close();
    store.importFile(path);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// The floor an XML import is measured against: read the file, put the two top-level elements
// into one outer element (without the declaration, as the import does), and stream every token
// without looking at it.
int bareXmlPass(const QString &path)
{
    const QByteArray bytes = readFile(path);
    const int declarationEnd = bytes.indexOf("?>") + 2;
    QByteArray wrapped;
    wrapped.reserve(bytes.size() + 16);
    wrapped += "<root>";
    wrapped.append(bytes.constData() + declarationEnd, bytes.size() - declarationEnd);
    wrapped += "</root>";
    QXmlStreamReader reader(wrapped);
    int elements = 0;
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement)
            ++elements;
    }
    return elements;
}

// The floor a CSV import is measured against: read, decode, split into lines and fields.
int bareCsvPass(const QString &path)
{
    const QString text = QString::fromUtf8(readFile(path));
    int fields = 0;
    for (const QStringRef &line : text.splitRef(QLatin1Char('\n')))
        fields += line.split(QLatin1Char(',')).size();
    return fields;
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
}

void run(int contacts, const QTemporaryDir &dir)
{
    const QByteArray n = QByteArray::number(contacts);
    const int rounds = contacts > 10000 ? 3 : 10;
    const QString xmlPath = dir.filePath(QStringLiteral("book%1.xml").arg(contacts));
    const QString csvPath = dir.filePath(QStringLiteral("book%1.csv").arg(contacts));
    const QString rawPath = dir.filePath(QStringLiteral("raw%1").arg(contacts));

    LocalDirectory store;
    fill(store, contacts, dir.filePath(QStringLiteral("fill%1.csv").arg(contacts)));
    const auto nothing = [] {};

    const double xmlSave = timeMs(rounds, nothing, [&] { store.saveFile(xmlPath); });
    const QByteArray xmlBytes = readFile(xmlPath);
    const double xmlRaw = timeMs(rounds, nothing, [&] { writeBytes(rawPath, xmlBytes); });
    const double csvSave = timeMs(rounds, nothing, [&] { store.saveFile(csvPath); });
    const QByteArray csvBytes = readFile(csvPath);
    const double csvRaw = timeMs(rounds, nothing, [&] { writeBytes(rawPath, csvBytes); });

    int sink = 0;
    // Floor runs before and after the imports, best of both: the first big allocations of a
    // run are slower, and neither side should carry that.
    double xmlFloor = timeMs(rounds, nothing, [&] { sink += bareXmlPass(xmlPath); });
    if (bareXmlPass(xmlPath) != contacts + groupCount + 5)
        std::fprintf(stderr, "the bare pass stopped early\n");
    const double xmlImport = timeMs(rounds, nothing, [&] { store.importFile(xmlPath); });
    xmlFloor = std::min(xmlFloor, timeMs(rounds, nothing, [&] { sink += bareXmlPass(xmlPath); }));
    const double xmlChecks = timeMs(rounds, nothing, [&] {
        sink += InputFile::xmlAsUtf8(xmlBytes).size() + InputFile::overfullTag(xmlBytes);
    });
    const double csvFloor = timeMs(rounds, nothing, [&] { sink += bareCsvPass(csvPath); });
    const double csvImport = timeMs(rounds, nothing, [&] { store.importFile(csvPath); });
    if (store.contactCount(-1) != contacts)
        std::fprintf(stderr, "import lost contacts: %d of %d\n", store.contactCount(-1), contacts);

    int halfGroup = -1;
    const double deleteGroup = timeMs(
        rounds,
        [&] {
            store.importFile(xmlPath);
            halfGroup = store.groups().at(2)->id;
        },
        [&] { store.deleteGroup(halfGroup); });
    if (store.contactCount(-1) != contacts / 2)
        std::fprintf(stderr, "delete left %d contacts\n", store.contactCount(-1));

    store.importFile(xmlPath);
    QList<LocalContact *> found;
    const double searchAll = timeMs(
        rounds, [&] { found.clear(); }, [&] { store.searchContacts(0, QString(), found); });
    const double searchNone = timeMs(
        rounds, [&] { found.clear(); },
        [&] { store.searchContacts(0, QStringLiteral("no such text"), found); });

    print("contacts_" + n, contacts);
    print("xml_bytes_" + n, xmlBytes.size());
    print("xml_import_ms_" + n, xmlImport);
    print("xml_floor_ms_" + n, xmlFloor);
    print("xml_import_vs_floor_" + n, xmlImport / xmlFloor);
    print("xml_input_checks_ms_" + n, xmlChecks);
    print("xml_input_checks_vs_floor_" + n, xmlChecks / xmlFloor);
    print("xml_save_ms_" + n, xmlSave);
    print("xml_save_vs_raw_write_" + n, xmlSave / xmlRaw);
    print("csv_import_ms_" + n, csvImport);
    print("csv_floor_ms_" + n, csvFloor);
    print("csv_import_vs_floor_" + n, csvImport / csvFloor);
    print("csv_save_ms_" + n, csvSave);
    print("csv_save_vs_raw_write_" + n, csvSave / csvRaw);
    print("delete_group_half_ms_" + n, deleteGroup);
    print("delete_group_half_vs_xml_import_" + n, deleteGroup / xmlImport);
    print("search_group0_empty_key_ms_" + n, searchAll);
    print("search_group0_no_match_ms_" + n, searchNone);
    print("search_group0_no_match_vs_xml_import_" + n, searchNone / xmlImport);
    if (sink == 42)
        std::printf("\n");
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    const bool small = app.arguments().contains(QStringLiteral("--small"));
    QTemporaryDir dir;
    run(1000, dir);
    if (!small)
        run(100000, dir);
    return 0;
}
