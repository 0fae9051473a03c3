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

// Files a user may be unlucky enough to import: bad bytes, foreign encodings, malformed XML,
// NULs in CSV (stray quotes: tst_localfiles), things that are not files, files far too large,
// and remote menus built to explode. Each reads whole, or reads what it can and says where it
// stopped, or is refused before a byte is read; none hangs or crashes.
class TestHostileInputs : public QObject
{
    Q_OBJECT

private slots:
    void reads_data();
    void reads();
    void refusedBeforeReading_data();
    void refusedBeforeReading();
    void remoteTreesStayBounded_data();
    void remoteTreesStayBounded();
    void repeatedFileGivesEachReferenceItsGroups();
};

namespace {
QByteArray csvLines(int count, const QMap<int, QByteArray> &lines = {})
{
    QByteArray csv = "display_name,office_number\r\n";
    for (int i = 1; i <= count; ++i)
        csv += lines.value(i, "C" + QByteArray::number(i) + ",1") + "\r\n";
    return csv;
}

QByteArray menuFile(const QList<QByteArray> &files)
{
    QByteArray xml = "<QuelvoxIPPhoneMenu>\n<Title>Menu</Title>\n";
    for (const QByteArray &file : files)
        xml += "<MenuItem><Name>n</Name><URL>http://h/" + file + "</URL></MenuItem>\n";
    return xml + "</QuelvoxIPPhoneMenu>\n";
}

// Entry i (from 1) has its Name on line 3 * i.
QByteArray directoryFile(const QList<QByteArray> &names, const QByteArray &declaration = "")
{
    QByteArray xml = declaration + "<QuelvoxIPPhoneDirectory>\n";
    for (const QByteArray &name : names)
        xml += "<DirectoryEntry>\n<Name>" + name +
               "</Name><Telephone>1</Telephone>\n"
               "</DirectoryEntry>\n";
    return xml + "</QuelvoxIPPhoneDirectory>\n";
}

QByteArray utf16(const char *codec, const QByteArray &utf8)
{
    return QTextCodec::codecForName(codec)->fromUnicode(QChar(0xFEFF) + QString::fromUtf8(utf8));
}

QByteArray crowded(int attributes)
{
    QByteArray tag = "<Telephone";
    for (int i = 0; i < attributes; ++i)
        tag += " a" + QByteArray::number(i) + "=\"\"";
    return tag + ">";
}
} // namespace

void TestHostileInputs::reads_data()
{
    QTest::addColumn<QStringList>("names"); // the first is imported, as the editor does it
    QTest::addColumn<QByteArrayList>("contents");
    QTest::addColumn<int>("contacts");
    QTest::addColumn<QString>("second"); // name of the second contact
    QTest::addColumn<int>("line");       // of the problem; -1: read whole
    QTest::addColumn<QString>("reason"); // part of it
    const QString latin1 = QStringLiteral("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n");

    const auto local = [](const char *row, const char *name, const QByteArray &bytes) {
        return &(QTest::addRow("%s", row) << texts({name}) << QByteArrayList{bytes});
    };
    *local("invalid utf-8 byte", "in.xml", localXml(1000, {{2, "A\377B"}}))
        << 1000 << "A\uFFFDB" << -1 << "";
    *local("iso-8859-1 declared", "in.xml", localXml(3, {{2, "Zo\353"}}, latin1.toLatin1()))
        << 3 << "Zoë" << -1 << "";
    *local("utf-16 with byte-order mark", "in.xml", utf16("UTF-16BE", localXml(3, {{2, "张"}})))
        << 3 << "张" << -1 << "";
    *local("bare ampersand at contact 500 of 1000", "in.xml", localXml(1000, {{500, "A & B"}}))
        << 499 << "C2" << 506 << "Expected";
    *local("cut off inside contact 3", "in.xml", localXml(5).left(localXml(5).indexOf("C3")))
        << 2 << "C2" << 9 << "";
    *local("nul byte at contact 10", "in.xml", localXml(20, {{10, QByteArray("P\00010", 4)}}))
        << 9 << "C2" << 16 << "";
    *local("element with 300 attributes", "in.xml",
           localXml(5, {{4, "D\"" + crowded(300).mid(10).chopped(1) + " x=\""}}))
        << 3 << "C2" << 10 << "more than 256 attributes";
    *local("csv: nul byte in row 11 of 1000", "in.csv",
           csvLines(1000, {{11, QByteArray("P\00010,1", 6)}}))
        << 1000 << "C2" << -1 << "";
    *local("csv: utf-16 with byte-order mark", "in.csv", utf16("UTF-16LE", csvLines(3)))
        << 3 << "C2" << -1 << "";

    const auto remote = [](const char *row, const QByteArray &second) {
        return &(QTest::addRow("%s", row)
                 << texts({"menu.xml", "a.xml", "b.xml"})
                 << QByteArrayList{menuFile({"a.xml", "b.xml"}), directoryFile({"Ann"}), second});
    };
    *remote("remote: invalid utf-8 byte", directoryFile({"B\377b"})) << 2 << "B\uFFFDb" << -1 << "";
    *remote("remote: iso-8859-1 declared", directoryFile({"Zo\353"}, latin1.toLatin1()))
        << 2 << "Zoë" << -1 << "";
    *remote("remote: utf-16 with byte-order mark", utf16("UTF-16LE", directoryFile({"张"})))
        << 2 << "张" << -1 << "";
    *remote("remote: bare ampersand in the second entry", directoryFile({"Bob", "A & B", "Bea"}))
        << 3 << "Bob" << 6 << "Expected";
    *remote("remote: element with 300 attributes",
            directoryFile({"Bob"}).replace("<Telephone>", crowded(300)))
        << 2 << "Bob" << 3 << "more than 256 attributes";
    *remote("remote: missing file, an empty group as before", QByteArray()) << 1 << "" << -1 << "";
    *remote("remote: a folder where a file should be", "folder") << 1 << "" << 0 << "is a folder";
}

// Contacts, decoded names and the read result together: a read that stops says where and why.
void TestHostileInputs::reads()
{
    QFETCH(QStringList, names);
    QFETCH(QByteArrayList, contents);
    QFETCH(int, contacts);
    QFETCH(QString, second);
    QFETCH(int, line);
    QFETCH(QString, reason);
    TestWorkDir work;
    for (int i = 0; i < names.size(); ++i) {
        if (contents.at(i) == "folder")
            QVERIFY(QDir().mkpath(work.filePath(names.at(i))));
        else if (!contents.at(i).isEmpty())
            QVERIFY(writeFile(work.filePath(names.at(i)), contents.at(i)));
    }
    const QString path = work.filePath(names.first());
    LocalDirectory &local = LocalDirectory::instance();
    RemoteDirectory &remote = RemoteDirectory::instance();
    const bool isRemote = RemoteDirectory::isRemoteFile(path);
    QCOMPARE(isRemote, names.size() > 1);
    QCOMPARE(local.isLocalFile(path), !isRemote);
    const int kind = isRemote ? PhonebookManager::RemoteDir : PhonebookManager::LocalDir;
    QVERIFY(isRemote ? remote.importFile(path) : local.importFile(path));
    QCOMPARE(PhonebookManager::contactCount(kind, -1), contacts);
    if (contacts > 1)
        QCOMPARE(isRemote ? remote.findContact(remote.contactIds().at(1))->name
                          : local.findContact(2)->display_name,
                 second);
    // What the editor's import workflow asks.
    const ReadResult result = PhonebookManager::readResult(kind);
    QCOMPARE(result.status, line < 0 ? ReadResult::Complete : ReadResult::PartlyRead);
    QCOMPARE(result.file, line < 0 ? path : work.filePath(names.last()));
    QCOMPARE(result.line, qint64(qMax(line, 0)));
    QVERIFY2(result.reason.contains(reason), qPrintable(result.reason));
}

void TestHostileInputs::refusedBeforeReading_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::addRow("fifo") << "fifo"
                          << "is not a regular file";
    QTest::addRow("link to /dev/zero") << "/dev/zero"
                                       << "is not a regular file";
    QTest::addRow("folder") << "folder"
                            << "is a folder";
    QTest::addRow("one byte over the limit") << "large"
                                             << "is larger than 64 MiB";
    QTest::addRow("dangling link") << "gone"
                                   << "is a link to nothing";
    QTest::addRow("missing") << "missing"
                             << "no such file";
}

// Both stores refuse the path before reading, keep their phonebook and say why; probes say no.
void TestHostileInputs::refusedBeforeReading()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    TestWorkDir work;
    for (const QString &path :
         {work.filePath(QStringLiteral("x.xml")), work.filePath(QStringLiteral("x.csv"))}) {
        if (kind == QLatin1String("fifo")) {
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (kind == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(path));
        } else if (kind == QLatin1String("large")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(InputFile::MaxFileBytes + 1)); // sparse: costs no disk
        } else if (kind != QLatin1String("missing")) {
            QVERIFY(QFile::link(kind, path));
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
        QVERIFY(!remote.importFile(path));
        QCOMPARE(remote.groupIds().size(), 2);
    }
}

void TestHostileInputs::remoteTreesStayBounded_data()
{
    QTest::addColumn<QString>("shape");
    QTest::addColumn<int>("levels");
    QTest::addColumn<int>("groups"); // read, the root included
    QTest::addColumn<QString>("problem");
    const int maxDepth = RemotePhonebookReader::MaxDepth;
    const int maxGroups = RemotePhonebookReader::MaxGroups;
    QTest::addRow("21 menus each naming the next twice")
        << "doubling" << 21 << maxGroups + 1
        << QStringLiteral("more than %1 groups").arg(maxGroups);
    // The group of a refused file stays, empty, as for a missing file.
    QTest::addRow("a chain 2000 menus deep")
        << "chain" << 2000 << maxDepth + 2
        << QStringLiteral("menus nested deeper than %1 levels").arg(maxDepth);
    QTest::addRow("a chain as deep as allowed") << "chain" << maxDepth << maxDepth << "";
    // The item leading back is an empty group.
    QTest::addRow("a menu naming itself") << "cycle" << 1 << 2 << "";
    QTest::addRow("a sub-menu naming the top menu") << "cycle" << 2 << 3 << "";
}

// Trees that would explode or recurse without end stop at a documented limit and say so.
void TestHostileInputs::remoteTreesStayBounded()
{
    QFETCH(QString, shape);
    QFETCH(int, levels);
    QFETCH(int, groups);
    QFETCH(QString, problem);
    TestWorkDir work;
    const auto name = [](int level) -> QByteArray {
        return "m" + QByteArray::number(level) + ".xml";
    };
    for (int level = 0; level < levels; ++level) {
        QByteArray content = directoryFile({"Ann", "Bob"});
        if (shape == QLatin1String("cycle"))
            content = menuFile({name((level + 1) % levels)});
        else if (level < levels - 1 && shape == QLatin1String("doubling"))
            content = menuFile({name(level + 1), name(level + 1)});
        else if (level < levels - 1)
            content = menuFile({name(level + 1)});
        QVERIFY(writeFile(work.filePath(QString::fromLatin1(name(level))), content));
    }
    RemoteDirectory dir;
    QVERIFY(dir.importFile(work.filePath(QStringLiteral("m0.xml"))));
    QCOMPARE(dir.readResult().reason, problem);
    QCOMPARE(dir.readResult().status,
             problem.isEmpty() ? ReadResult::Complete : ReadResult::PartlyRead);
    // In a chain every group is one level deeper than the one before.
    QCOMPARE(dir.groupIds().size(), groups);
}

// Two menu items naming one file: each gets its own groups and contacts, in file order.
void TestHostileInputs::repeatedFileGivesEachReferenceItsGroups()
{
    TestWorkDir work;
    QVERIFY(writeFile(work.filePath(QStringLiteral("menu.xml")),
                      menuFile({"sub.xml", "d.xml", "sub.xml"})));
    QVERIFY(writeFile(work.filePath(QStringLiteral("sub.xml")), menuFile({"d.xml"})));
    QVERIFY(writeFile(work.filePath(QStringLiteral("d.xml")), directoryFile({"Ann", "Bob"})));
    RemoteDirectory dir;
    QVERIFY(dir.importFile(work.filePath(QStringLiteral("menu.xml"))));
    QCOMPARE(dir.readResult().status, ReadResult::Complete);
    // Depth first: Sub 1 (D 2: Ann 3, Bob 4), D 5 (6, 7), Sub 8 (D 9: 10, 11).
    QCOMPARE(dir.findGroup(0)->childIds, (QList<int>{1, 5, 8}));
    QCOMPARE(dir.findGroup(8)->childIds, (QList<int>{9}));
    QCOMPARE(dir.findGroup(9)->childIds, (QList<int>{10, 11}));
    QCOMPARE(dir.findContact(11)->name, QStringLiteral("Bob"));
    QCOMPARE(dir.contactCount(-1), 6);
}

QTEST_GUILESS_MAIN(TestHostileInputs)
#include "tst_hostileinputs.moc"
