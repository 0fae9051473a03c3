#include "data/inputfile.h"
#include "data/localdirectory.h"
#include "data/phonebookmanager.h"
#include "data/remotedirectory.h"
#include "data/remotephonebookreader.h"
#include "testfiles.h"
#include "testworkdir.h"

#include <QTextCodec>
#include <QtTest>

#include <sys/stat.h>

// Files a user may be unlucky enough to import: bad bytes, foreign encodings, malformed or
// truncated XML, stray quotes and NULs in CSV, things that are not files at all, files far too
// large, and remote menus built to explode. Each either reads whole, or reads what it can and
// says where it stopped, or is refused before a byte is read; none hangs or crashes.
class TestHostileInputs : public QObject
{
    Q_OBJECT

private slots:
    void localReads_data();
    void localReads();
    void refusedBeforeReading_data();
    void refusedBeforeReading();
    void remoteReads_data();
    void remoteReads();
    void remoteTreesStayBounded_data();
    void remoteTreesStayBounded();
    void repeatedFileGivesEachReferenceItsGroups();
};

namespace {
// A local XML file in the editor's layout: contact i (from 1) stands on line 6 + i and is named
// "C<i>" unless `names` gives it another (raw) name.
QByteArray localXml(int count, const QMap<int, QByteArray> &names = {},
                    const QByteArray &declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>")
{
    QByteArray xml = declaration + "\n<root_group>\n    <group display_name=\"All Contacts\"/>\n"
                                   "    <group display_name=\"Blocklist\"/>\n</root_group>\n"
                                   "<root_contact>\n";
    for (int i = 1; i <= count; ++i)
        xml += "    <contact display_name=\"" + names.value(i, "C" + QByteArray::number(i)) +
               "\" office_number=\"" + QByteArray::number(1000 + i) + "\"/>\n";
    return xml + "</root_contact>\n";
}

QByteArray csvLines(int count, const QMap<int, QByteArray> &lines = {})
{
    QByteArray csv = "display_name,office_number,mobile_number,other_number,line,ring,"
                     "auto_divert,priority,group_id_name,default_photo,photo_data\r\n";
    for (int i = 1; i <= count; ++i)
        csv += lines.value(i, "C" + QByteArray::number(i) + ",1,,,-1,Auto,,,,,") + "\r\n";
    return csv;
}

QByteArray encoded(const char *codec, const QString &text)
{
    return QTextCodec::codecForName(codec)->fromUnicode(text);
}

} // namespace

void TestHostileInputs::localReads_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("contacts");
    QTest::addColumn<QString>("contactName"); // of contact 2 when there is one
    QTest::addColumn<int>("problemLine");     // 0: read whole
    QTest::addColumn<QString>("problem");

    const QString replaced = QStringLiteral("A\uFFFDB");
    QTest::addRow("invalid utf-8 byte") << "bad.xml"
                                        << localXml(1000, {{2, "A\xFF"
                                                               "B"}})
                                        << 1000 << replaced << 0 << "";
    QTest::addRow("truncated utf-8 sequence")
        << "bad.xml"
        << localXml(1000, {{2, "A\xE4\xB8"
                               "B"}})
        << 1000 << QStringLiteral("A\uFFFD\uFFFDB") << 0 << "";
    QTest::addRow("iso-8859-1 declared")
        << "latin.xml"
        << localXml(3, {{2, "Zo\xEB"}}, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>") << 3
        << QStringLiteral("Zo\u00EB") << 0 << "";
    QTest::addRow("unknown encoding declared: utf-8 with replacements")
        << "odd.xml" << localXml(3, {{2, "Zo\xEB"}}, "<?xml version=\"1.0\" encoding=\"x-none\"?>")
        << 3 << QStringLiteral("Zo\uFFFD") << 0 << "";
    const QString utf16Text = QString::fromUtf8(localXml(3, {{2, "张三"}}));
    QTest::addRow("utf-16le with byte-order mark")
        << "wide.xml" << encoded("UTF-16LE", QChar(0xFEFF) + utf16Text) << 3
        << QStringLiteral("张三") << 0 << "";
    QTest::addRow("utf-16be with byte-order mark")
        << "wide.xml" << encoded("UTF-16BE", QChar(0xFEFF) + utf16Text) << 3
        << QStringLiteral("张三") << 0 << "";
    QTest::addRow("bare ampersand at contact 500 of 1000")
        << "amp.xml" << localXml(1000, {{500, "A & B"}}) << 499 << "C2" << 506 << "Expected";
    QTest::addRow("nul byte at contact 10") << "nul.xml"
                                            << localXml(20, {{10, QByteArray("P\0"
                                                                             "10",
                                                                             4)}})
                                            << 9 << "C2" << 16 << "";
    QTest::addRow("truncated file") << "cut.xml" << localXml(50).left(localXml(50).size() - 40)
                                    << 49 << "C2" << 56 << "Expected";
    QByteArray crowded = "<contact display_name=\"X\"";
    for (int i = 0; i < 300; ++i)
        crowded += " a" + QByteArray::number(i) + "=\"\"";
    QTest::addRow("element with 300 attributes")
        << "crowded.xml" << localXml(5, {{4, "D\"" + crowded.mid(25) + " x=\""}}) << 3 << "C2" << 10
        << "more than 256 attributes";
    QTest::addRow("csv: nul byte in row 11 of 1000")
        << "nul.csv"
        << csvLines(1000, {{11, QByteArray("P\0"
                                           "10,1,,,-1,Auto,,,,,",
                                           20)}})
        << 1000 << "C2" << 0 << "";
    QTest::addRow("csv: invalid utf-8 byte") << "bad.csv"
                                             << csvLines(4, {{2, "A\xFF"
                                                                 "B,1,,,-1,Auto,,,,,"}})
                                             << 4 << replaced << 0 << "";
    QTest::addRow("csv: utf-16le with byte-order mark")
        << "wide.csv"
        << encoded("UTF-16LE",
                   QChar(0xFEFF) + QString::fromUtf8(csvLines(3, {{2, "张三,1,,,-1,Auto,,,,,"}})))
        << 3 << QStringLiteral("张三") << 0 << "";
    // A field is quoted only when its closing quote ends it.
    QTest::addRow("csv: stray opening quote does not swallow the next line")
        << "quote.csv"
        << csvLines(3, {{2, "\"Ann,1001,,,-1,Auto,,,,,"},
                        {3, "Bob \"The Builder\",2002,,,-1,Auto,,,,,"}})
        << 3 << "\"Ann" << 0 << "";
    QTest::addRow("csv: quoted start with text after the quote keeps its quotes")
        << "quote.csv" << csvLines(2, {{2, "\"Big\" Boss,1,,,-1,Auto,,,,,"}}) << 2 << "\"Big\" Boss"
        << 0 << "";
    QTest::addRow("csv: quoted field with comma and line break")
        << "quote.csv" << csvLines(3, {{2, "\"a,\"\"b\"\"\r\nc\",1,,,-1,Auto,,,,,"}}) << 3
        << "a,\"b\"\r\nc" << 0 << "";
}

// Contact counts, decoded names and the read result together: a read that stops says where.
void TestHostileInputs::localReads()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(int, contacts);
    QFETCH(QString, contactName);
    QFETCH(int, problemLine);
    QFETCH(QString, problem);
    TestWorkDir work;
    const QString path = work.filePath(name);
    QVERIFY(writeFile(path, bytes));
    LocalDirectory store;
    QVERIFY(store.isLocalFile(path));
    QVERIFY(store.importFile(path));
    QCOMPARE(store.contactCount(-1), contacts);
    QCOMPARE(store.contacts().at(1)->display_name, contactName);
    const ReadResult &result = store.readResult();
    QCOMPARE(result.file, path);
    if (problemLine == 0) {
        QCOMPARE(result.status, ReadResult::Complete);
        QVERIFY2(result.reason.isEmpty(), qPrintable(result.reason));
        return;
    }
    QCOMPARE(result.status, ReadResult::PartlyRead);
    QCOMPARE(result.line, qint64(problemLine));
    QVERIFY2(result.reason.contains(problem), qPrintable(result.reason));
    QVERIFY(result.describe().startsWith(path + QStringLiteral(": line ")));
}

void TestHostileInputs::refusedBeforeReading_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::addRow("fifo") << "fifo"
                          << "is not a regular file";
    QTest::addRow("link to /dev/zero") << "zero"
                                       << "is not a regular file";
    QTest::addRow("link to /dev/urandom") << "urandom"
                                          << "is not a regular file";
    QTest::addRow("folder") << "folder"
                            << "is a folder";
    QTest::addRow("one byte over the limit") << "large"
                                             << "is larger than 64 MiB";
    QTest::addRow("dangling link") << "dangling"
                                   << "is a link to nothing";
}

// Both stores refuse the path, keep their phonebook and say why; the probes say no.
void TestHostileInputs::refusedBeforeReading()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    TestWorkDir work;
    for (const QString &name : {QStringLiteral("x.xml"), QStringLiteral("x.csv")}) {
        const QString path = work.filePath(kind + name);
        if (kind == QLatin1String("fifo")) {
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (kind == QLatin1String("zero") || kind == QLatin1String("urandom")) {
            QVERIFY(QFile::link(QStringLiteral("/dev/") + kind, path));
        } else if (kind == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(path));
        } else if (kind == QLatin1String("dangling")) {
            QVERIFY(QFile::link(work.filePath(QStringLiteral("gone")), path));
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(InputFile::MaxFileBytes + 1)); // sparse: costs no disk
        }
        LocalDirectory local;
        local.initDefaultGroup();
        local.addContact(0, nullptr);
        QVERIFY(!local.isLocalFile(path));
        QVERIFY(!local.importFile(path));
        QCOMPARE(local.contactCount(-1), 1);
        QCOMPARE(local.readResult().status, ReadResult::NotRead);
        QVERIFY2(local.readResult().reason.contains(reason), qPrintable(local.readResult().reason));

        RemoteDirectory remote;
        remote.initDefaultGroup();
        QVERIFY(!RemoteDirectory::isRemoteFile(path));
        if (name.endsWith(QLatin1String(".xml"))) {
            QVERIFY(!remote.importFile(path));
            QCOMPARE(remote.groupIds().size(), 2);
            QVERIFY2(remote.readResult().reason.contains(reason),
                     qPrintable(remote.readResult().reason));
        }
    }
}

namespace {
QByteArray menuFile(const QByteArray &title, const QList<QByteArray> &files)
{
    QByteArray xml = "<QuelvoxIPPhoneMenu>\n<Title>" + title + "</Title>\n";
    for (const QByteArray &file : files)
        xml += "<MenuItem>\n<Name>" + file + "</Name>\n<URL>http://h/" + file +
               "</URL>\n</MenuItem>\n";
    return xml + "</QuelvoxIPPhoneMenu>\n";
}

QByteArray directoryFile(const QByteArray &title, const QList<QByteArray> &names,
                         const QByteArray &declaration = QByteArray())
{
    QByteArray xml = declaration + "<QuelvoxIPPhoneDirectory>\n<Title>" + title + "</Title>\n";
    for (const QByteArray &name : names)
        xml += "<DirectoryEntry>\n<Name>" + name +
               "</Name>\n<Telephone label=\"Office\">1</Telephone>\n</DirectoryEntry>\n";
    return xml + "</QuelvoxIPPhoneDirectory>\n";
}

QStringList contactNames(const RemoteDirectory &dir)
{
    QStringList names;
    for (const int id : dir.contactIds())
        names << dir.findContact(id)->name;
    return names;
}
} // namespace

void TestHostileInputs::remoteReads_data()
{
    QTest::addColumn<QByteArray>("second"); // the second directory file menu.xml lists
    QTest::addColumn<QStringList>("contacts");
    QTest::addColumn<int>("problemLine"); // -1: read whole
    QTest::addColumn<QString>("problem");

    const QByteArray good = directoryFile("B", {"Bob", "Bea"});
    QTest::addRow("well formed") << good << texts({"Ann", "Bob", "Bea"}) << -1 << "";
    QTest::addRow("invalid utf-8 byte")
        << directoryFile("B", {"B\xFFob", "Bea"}) << texts({"Ann", "B\uFFFDob", "Bea"}) << -1 << "";
    QTest::addRow("iso-8859-1 declared")
        << directoryFile("B", {"Zo\xEB"}, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n")
        << texts({"Ann", "Zoë"}) << -1 << "";
    QTest::addRow("utf-16 with byte-order mark")
        << encoded("UTF-16LE", QChar(0xFEFF) + QString::fromUtf8(directoryFile("B", {"张三"})))
        << texts({"Ann", "张三"}) << -1 << "";
    QTest::addRow("bare ampersand in the second entry")
        << directoryFile("B", {"Bob", "A & B", "Bea"}) << texts({"Ann", "Bob", ""}) << 8
        << "Expected";
    QTest::addRow("element with 300 attributes")
        << directoryFile("B", {"Bob"})
               .replace("label=\"Office\"", QByteArray(" a=\"\"").repeated(300))
        << texts({"Ann", "Bob"}) << 5 << "more than 256 attributes";
    QTest::addRow("missing file: an empty group, not a problem")
        << QByteArray() << texts({"Ann"}) << -1 << "";
    QTest::addRow("a folder where the file should be")
        << QByteArray("folder") << texts({"Ann"}) << 0 << "is a folder";
}

void TestHostileInputs::remoteReads()
{
    QFETCH(QByteArray, second);
    QFETCH(QStringList, contacts);
    QFETCH(int, problemLine);
    QFETCH(QString, problem);
    TestWorkDir work;
    QVERIFY(
        writeFile(work.filePath(QStringLiteral("menu.xml")), menuFile("Top", {"a.xml", "b.xml"})));
    QVERIFY(writeFile(work.filePath(QStringLiteral("a.xml")), directoryFile("A", {"Ann"})));
    const QString secondPath = work.filePath(QStringLiteral("b.xml"));
    if (second == "folder")
        QVERIFY(QDir().mkpath(secondPath));
    else if (!second.isEmpty())
        QVERIFY(writeFile(secondPath, second));

    // The probe finds the directory element whatever the encoding, before any damage.
    QCOMPARE(RemoteDirectory::isRemoteFile(secondPath), !second.isEmpty() && second != "folder");
    RemoteDirectory &dir = RemoteDirectory::instance();
    QVERIFY(dir.importFile(work.filePath(QStringLiteral("menu.xml"))));
    QCOMPARE(contactNames(dir), contacts);
    QCOMPARE(dir.groupIds().size(), 3); // the root, a and b
    // What the editor's import workflow asks.
    const ReadResult viaManager = PhonebookManager::readResult(PhonebookManager::RemoteDir);
    QCOMPARE(viaManager.status, dir.readResult().status);
    QCOMPARE(viaManager.describe(), dir.readResult().describe());
    if (problemLine < 0) {
        QCOMPARE(dir.readResult().status, ReadResult::Complete);
        return;
    }
    QCOMPARE(dir.readResult().status, ReadResult::PartlyRead);
    QCOMPARE(dir.readResult().file, secondPath);
    QCOMPARE(dir.readResult().line, qint64(problemLine));
    QVERIFY2(dir.readResult().reason.contains(problem), qPrintable(dir.readResult().reason));
}

void TestHostileInputs::remoteTreesStayBounded_data()
{
    QTest::addColumn<QString>("shape");
    QTest::addColumn<int>("levels");
    QTest::addColumn<QString>("problem");
    QTest::addRow("21 menus each naming the next twice")
        << "doubling" << 21
        << QStringLiteral("more than %1 groups").arg(RemotePhonebookReader::MaxGroups);
    QTest::addRow("a chain 2000 menus deep") << "chain" << 2000
                                             << QStringLiteral("menus nested deeper than %1 levels")
                                                    .arg(RemotePhonebookReader::MaxDepth);
    QTest::addRow("a chain as deep as allowed") << "chain" << RemotePhonebookReader::MaxDepth << "";
    QTest::addRow("a menu naming itself") << "self" << 1 << "";
}

// Trees that would explode or recurse without end stop at a documented limit and say so.
void TestHostileInputs::remoteTreesStayBounded()
{
    QFETCH(QString, shape);
    QFETCH(int, levels);
    QFETCH(QString, problem);
    TestWorkDir work;
    const auto name = [](int level) -> QByteArray {
        return "m" + QByteArray::number(level) + ".xml";
    };
    for (int level = 0; level < levels; ++level) {
        QByteArray content;
        if (shape == QLatin1String("self"))
            content = menuFile("Self", {name(0)});
        else if (level == levels - 1)
            content = directoryFile("Leaf", {"Ann", "Bob"});
        else if (shape == QLatin1String("doubling"))
            content = menuFile("Double", {name(level + 1), name(level + 1)});
        else
            content = menuFile("Chain", {name(level + 1)});
        QVERIFY(writeFile(work.filePath(QString::fromLatin1(name(level))), content));
    }
    RemoteDirectory dir;
    QVERIFY(dir.importFile(work.filePath(QString::fromLatin1(name(0)))));
    QVERIFY(dir.groupIds().size() <= RemotePhonebookReader::MaxGroups + 1);
    QVERIFY(dir.contactCount(-1) <= RemotePhonebookReader::MaxContacts);
    // The deepest group read, counted from the root.
    int depth = 0;
    for (const int id : dir.groupIds()) {
        int d = 0;
        for (const RemoteGroup *g = dir.findGroup(id); g->parentId >= 0;
             g = dir.findGroup(g->parentId))
            ++d;
        depth = qMax(depth, d);
    }
    if (problem.isEmpty()) {
        QCOMPARE(dir.readResult().status, ReadResult::Complete);
        if (shape == QLatin1String("chain")) {
            QCOMPARE(depth, levels - 1);
            QCOMPARE(dir.contactCount(-1), 2);
        }
        return;
    }
    QCOMPARE(dir.readResult().status, ReadResult::PartlyRead);
    QCOMPARE(dir.readResult().reason, problem);
    // The group of the refused file stays, empty, as for a missing file.
    if (shape == QLatin1String("chain"))
        QCOMPARE(depth, RemotePhonebookReader::MaxDepth + 1);
    else
        QCOMPARE(dir.groupIds().size(), RemotePhonebookReader::MaxGroups + 1);
}

// Two menu items naming one directory file: both groups get the contacts, in order and equal.
void TestHostileInputs::repeatedFileGivesEachReferenceItsGroups()
{
    TestWorkDir work;
    QVERIFY(writeFile(work.filePath(QStringLiteral("menu.xml")),
                      menuFile("Top", {"sub.xml", "d.xml", "sub.xml"})));
    QVERIFY(writeFile(work.filePath(QStringLiteral("sub.xml")), menuFile("Sub", {"d.xml"})));
    QVERIFY(writeFile(work.filePath(QStringLiteral("d.xml")), directoryFile("D", {"Ann", "Bob"})));
    RemoteDirectory dir;
    QVERIFY(dir.importFile(work.filePath(QStringLiteral("menu.xml"))));
    QCOMPARE(dir.readResult().status, ReadResult::Complete);
    // Ids in file order, depth first: Sub(1) D(2: 3, 4), D(5: 6, 7), Sub(8) D(9: 10, 11).
    QCOMPARE(dir.findGroup(0)->childIds, (QList<int>{1, 5, 8}));
    QCOMPARE(dir.findGroup(1)->childIds, (QList<int>{2}));
    QCOMPARE(dir.findGroup(2)->childIds, (QList<int>{3, 4}));
    QCOMPARE(dir.findGroup(9)->childIds, (QList<int>{10, 11}));
    QCOMPARE(contactNames(dir), texts({"Ann", "Bob", "Ann", "Bob", "Ann", "Bob"}));
    QCOMPARE(dir.groupName(9), QStringLiteral("D"));
    QCOMPARE(dir.findGroup(9)->parentId, 8);
}

QTEST_GUILESS_MAIN(TestHostileInputs)
#include "tst_hostileinputs.moc"
