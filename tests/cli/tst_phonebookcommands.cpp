// dump, convert and info on local phonebook files, run as real processes of the editor without
// a display: exit codes, stdout, stderr and the JSON they print.

#include "data/localdirectory.h"
#include "data/phonebookfilekind.h"
#include "editorprocess.h"
#include "testfiles.h"
#include "testworkdir.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

namespace {
const QByteArray xmlBook = QByteArrayLiteral(
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<root_group>\n"
    "    <group display_name=\"All Contacts\"/>\n"
    "    <group display_name=\"Blocklist\"/>\n"
    "    <group display_name=\"销售\"/>\n"
    "    <group display_name=\"Empty\"/>\n"
    "</root_group>\n"
    "<root_contact>\n"
    "    <contact display_name=\"张三 &quot;Z&quot;\" office_number=\"1001\" mobile_number=\"\" "
    "other_number=\"\" line=\"-1\" ring=\"Auto\" group_id_name=\"销售\" default_photo=\"\" "
    "selected_photo=\"0\" eyepea_contact_id=\"e1\"/>\n"
    "    <contact display_name=\"Bob&#9;B\\x\" office_number=\"\" mobile_number=\"2002\" "
    "other_number=\"\" line=\"0\" ring=\"Auto\" group_id_name=\"Blocklist\" "
    "default_photo=\"\" selected_photo=\"0\" auto_divert=\"3003\" eyepea_contact_id=\"\"/>\n"
    "    <contact display_name=\"Cy&#10;Line\" office_number=\"\" mobile_number=\"\" "
    "other_number=\"9\" line=\"1\" ring=\"Auto\" group_id_name=\"All Contacts\" "
    "default_photo=\"\" selected_photo=\"0\" eyepea_contact_id=\"\"/>\n"
    "</root_contact>\n");

QJsonObject parse(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        qWarning("not JSON: %s", qPrintable(error.errorString()));
    return document.object();
}

} // namespace

class TestPhonebookCommands : public QObject
{
    Q_OBJECT

private slots:
    void dumpXml();
    void dumpCsvKeepsCsvFields();
    void convert_data();
    void convert();
    void info();
    void failures_data();
    void failures();
    void usage_data();
    void usage();
    void helpAndVersion();
};

void TestPhonebookCommands::dumpXml()
{
    TestWorkDir dir;
    QVERIFY(writeFile(dir.filePath(QStringLiteral("book.xml")), xmlBook));
    const EditorRun result =
        runEditor({QStringLiteral("dump"), dir.filePath(QStringLiteral("book.xml"))});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.err, QByteArray());
    // The keys appear in the documented order.
    QVERIFY(result.out.startsWith("{\"kind\": \"local\",\n \"groups\": ["));
    QVERIFY(result.out.contains("{\"id\": 1, \"groupId\": 2, \"display_name\": "));
    QVERIFY(result.out.contains("\"selected_photo\": \"0\", \"photo_data\": \"\", "
                                "\"group_id_name\": \"销售\", \"auto_divert\": \"\", "
                                "\"eyepea_contact_id\": \"e1\", \"priority\": \"\"}"));

    const QJsonObject root = parse(result.out);
    QCOMPARE(root.keys().size(), 3);
    QCOMPARE(root.value(QStringLiteral("kind")).toString(), QStringLiteral("local"));
    QVERIFY(result.out.contains(
        "\"groups\": [\n  {\"id\": 0, \"name\": \"All Contacts\", \"contactIds\": [1, 3]},\n"));
    const QJsonArray groups = root.value(QStringLiteral("groups")).toArray();
    QCOMPARE(groups.size(), 4);
    QCOMPARE(groups.at(2).toObject(), QJsonObject({{QStringLiteral("id"), 2},
                                                   {QStringLiteral("name"), QStringLiteral("销售")},
                                                   {QStringLiteral("contactIds"), QJsonArray{1}}}));

    const QJsonArray contacts = root.value(QStringLiteral("contacts")).toArray();
    QCOMPARE(contacts.size(), 3);
    QCOMPARE(contacts.at(0).toObject().keys().size(), 15);
    const auto field = [&contacts](int index, const char *key) {
        return contacts.at(index).toObject().value(QLatin1String(key));
    };
    QCOMPARE(field(0, "id"), QJsonValue(1));
    QCOMPARE(field(0, "display_name"), QJsonValue(QStringLiteral("张三 \"Z\"")));
    QCOMPARE(field(1, "groupId"), QJsonValue(1));
    QCOMPARE(field(1, "display_name"), QJsonValue(QStringLiteral("Bob\tB\\x")));
    QCOMPARE(field(1, "auto_divert"), QJsonValue(QStringLiteral("3003")));
    QCOMPARE(field(2, "groupId"), QJsonValue(0));
    QCOMPARE(field(2, "display_name"), QJsonValue(QStringLiteral("Cy\nLine")));
}

void TestPhonebookCommands::dumpCsvKeepsCsvFields()
{
    TestWorkDir dir;
    const QString path = dir.filePath(QStringLiteral("book.csv"));
    QVERIFY(writeFile(path, "\xEF\xBB\xBF"
                            "display_name,office_number,mobile_number,other_number,line,ring,"
                            "auto_divert,priority,group_id_name,default_photo,photo_data\r\n"
                            "\"Smith, Ann\",1,,,-1,Auto,,7,Sales,,pd\r\n\r\n"));
    const EditorRun result = runEditor({QStringLiteral("dump"), path});
    QCOMPARE(result.exitCode, 0);
    const QJsonArray contacts = parse(result.out).value(QStringLiteral("contacts")).toArray();
    QCOMPARE(contacts.size(), 1);
    const QJsonObject contact = contacts.at(0).toObject();
    QCOMPARE((QStringList{contact.value(QStringLiteral("display_name")).toString(),
                          contact.value(QStringLiteral("priority")).toString(),
                          contact.value(QStringLiteral("photo_data")).toString(),
                          contact.value(QStringLiteral("group_id_name")).toString()}),
             texts({"Smith, Ann", "7", "pd", "Sales"}));
}

void TestPhonebookCommands::convert_data()
{
    QTest::addColumn<QString>("via");
    QTest::addRow("xml to xml") << QStringLiteral("copy.xml");
    QTest::addRow("xml to csv") << QStringLiteral("copy.csv");
}

void TestPhonebookCommands::convert()
{
    QFETCH(QString, via);
    TestWorkDir dir;
    const QString in = dir.filePath(QStringLiteral("book.xml"));
    QVERIFY(writeFile(in, xmlBook));
    const QString out = dir.filePath(via);
    const EditorRun converted = runEditor({QStringLiteral("convert"), in, out});
    QCOMPARE(converted.exitCode, 0);
    QCOMPARE(converted.out, QByteArray());
    QCOMPARE(converted.err, QByteArray());

    // What the command wrote is exactly what the store writes for that phonebook.
    LocalDirectory store;
    QVERIFY(store.importFile(in));
    const QString expected =
        dir.filePath(QStringLiteral("expected") + via.mid(via.indexOf(QLatin1Char('.'))));
    QVERIFY(store.saveFile(expected));
    QCOMPARE(readAll(out), readAll(expected));

    const EditorRun before = runEditor({QStringLiteral("dump"), in});
    const EditorRun after = runEditor({QStringLiteral("dump"), out});
    QCOMPARE(after.exitCode, 0);
    if (PhonebookFileKind::localFormat(via) == PhonebookFileKind::LocalXml) {
        QCOMPARE(after.out, before.out);
        return;
    }
    // CSV keeps contacts, not the group list: "Empty" and its id are gone, the rest is the same.
    const QJsonArray groups = parse(after.out).value(QStringLiteral("groups")).toArray();
    QCOMPARE(groups.size(), 3);
    QCOMPARE(parse(after.out).value(QStringLiteral("contacts")).toArray().size(), 3);
}

void TestPhonebookCommands::info()
{
    TestWorkDir dir;
    const QString path = dir.filePath(QStringLiteral("book.xml"));
    QVERIFY(writeFile(path, xmlBook));
    const EditorRun result = runEditor({QStringLiteral("info"), path});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.err, QByteArray());
    QCOMPARE(QString::fromUtf8(result.out),
             path + QStringLiteral(": local phonebook (XML)\nGroups: 4\n  All Contacts: 2\n"
                                   "  Blocklist: 1\n  销售: 1\n  Empty: 0\nTotal contacts: 3\n"));
}

void TestPhonebookCommands::failures_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("named");
    QTest::addColumn<QString>("reason");

    QTest::addRow("dump missing") << texts({"dump", "gone.xml"}) << "gone.xml"
                                  << "no such file";
    QTest::addRow("info folder") << texts({"info", "sub.xml"}) << "sub.xml"
                                 << "folder";
    QTest::addRow("dump not a phonebook") << texts({"dump", "other.xml"}) << "other.xml"
                                          << "not a phonebook";
    QTest::addRow("csv without header") << texts({"info", "bare.csv"}) << "bare.csv"
                                        << "not a phonebook";
    QTest::addRow("convert missing input")
        << texts({"convert", "gone.csv", "out.xml"}) << "gone.csv"
        << "no such file";
    QTest::addRow("convert into missing folder")
        << texts({"convert", "book.xml", "no/where/out.xml"}) << "no/where/out.xml"
        << "cannot be written";
    QTest::addRow("convert to unknown extension")
        << texts({"convert", "book.xml", "out.txt"}) << "out.txt"
        << "cannot be written";
}

void TestPhonebookCommands::failures()
{
    QFETCH(QStringList, args);
    QFETCH(QString, named);
    QFETCH(QString, reason);
    TestWorkDir dir;
    QVERIFY(writeFile(dir.filePath(QStringLiteral("book.xml")), xmlBook));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("other.xml")), "<a><b/></a>"));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("bare.csv")), "Ann,1\r\n"));
    dir.mkpath(QStringLiteral("sub.xml"));

    const EditorRun result = runEditor(args);
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(result.out, QByteArray());
    QCOMPARE(result.err.count('\n'), 1);
    const QString err = QString::fromUtf8(result.err);
    QVERIFY2(err.contains(named), qPrintable(err));
    QVERIFY2(err.contains(reason), qPrintable(err));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("out.xml"))));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("out.txt"))));
}

void TestPhonebookCommands::usage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addRow("dump without file") << texts({"dump"});
    QTest::addRow("convert one file") << texts({"convert", "a.xml"});
    QTest::addRow("info unknown option") << texts({"info", "--fast", "a.xml"});
    QTest::addRow("unknown command") << texts({"frobnicate"});
}

void TestPhonebookCommands::usage()
{
    QFETCH(QStringList, args);
    TestWorkDir dir;
    const EditorRun result = runEditor(args);
    QCOMPARE(result.exitCode, 2);
    QCOMPARE(result.out, QByteArray());
    QVERIFY(result.err.contains("Usage: quelvox-contact-desk"));
    QVERIFY(result.err.contains("dump FILE"));
}

void TestPhonebookCommands::helpAndVersion()
{
    const EditorRun help = runEditor({QStringLiteral("--help")});
    QCOMPARE(help.exitCode, 0);
    QVERIFY(help.out.contains("dump FILE"));
    QVERIFY(help.out.contains("convert IN OUT"));
    QVERIFY(help.out.contains("info FILE"));
    const EditorRun version = runEditor({QStringLiteral("--version")});
    QCOMPARE(version.exitCode, 0);
    QCOMPARE(version.out, QByteArray("quelvox-contact-desk " QCD_VERSION "\n"));
}

QTEST_GUILESS_MAIN(TestPhonebookCommands)
#include "tst_phonebookcommands.moc"
