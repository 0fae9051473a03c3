// The local phonebook files, XML and CSV side by side where they share a shape: exact bytes
// written, values and groups read back, what each reader takes beyond the writer's layout, the
// file-kind probe, the extension rule and failed imports. (Atomic saves: tst_savefaults.)

#include "data/localcontactfields.h"
#include "data/localdirectory.h"
#include "data/phonebookfilekind.h"
#include "data/remotedirectory.h"
#include "testfiles.h"
#include "testworkdir.h"

#include <QtTest>

namespace {
using Fields = QVector<LocalContactFields::Field>;
using Kind = PhonebookFileKind::Kind;

const QByteArray editorXml = QByteArrayLiteral(
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<root_group>\n"
    "    <group display_name=\"All Contacts\"/>\n"
    "    <group display_name=\"Blocklist\"/>\n"
    "    <group display_name=\"Sales\"/>\n"
    "</root_group>\n"
    "<root_contact>\n"
    "    <contact display_name=\"Ann Example\" office_number=\"1001\" mobile_number=\"\" "
    "other_number=\"\" line=\"-1\" ring=\"Auto\" group_id_name=\"Sales\" default_photo=\"\" "
    "selected_photo=\"0\" eyepea_contact_id=\"\"/>\n"
    "    <contact display_name=\"Bob Example\" office_number=\"\" mobile_number=\"2002\" "
    "other_number=\"\" line=\"0\" ring=\"Auto\" group_id_name=\"All Contacts\" "
    "default_photo=\"\" selected_photo=\"0\" auto_divert=\"3003\" eyepea_contact_id=\"\"/>\n"
    "</root_contact>\n");
const QByteArray emptyXml = QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                              "<root_group>\n"
                                              "    <group display_name=\"All Contacts\"/>\n"
                                              "    <group display_name=\"Blocklist\"/>\n"
                                              "</root_group>\n"
                                              "<root_contact/>\n");
const QByteArray bom = QByteArrayLiteral("\xEF\xBB\xBF");
const QByteArray header = QByteArrayLiteral(
    "display_name,office_number,mobile_number,other_number,line,ring,auto_divert,priority,"
    "group_id_name,default_photo,photo_data");
const QByteArray editorCsv = bom + header +
                             "\r\n"
                             "Ann Example,1001,,,-1,Auto,,,Sales,,\r\n"
                             "Bob Example,,2002,,0,Auto,3003,,All Contacts,,\r\n"
                             "\r\n";
const QByteArray emptyCsv = bom + header + "\r\n\r\n";

bool isXml(const QString &path)
{
    return PhonebookFileKind::localFormat(path) == PhonebookFileKind::LocalXml;
}

QStringList values(const LocalContact &contact, const Fields &fields)
{
    QStringList result;
    for (const LocalContactFields::Field &field : fields)
        result << contact.*field.member;
    return result;
}

// Every group as "name: the names of the contacts it lists".
QStringList listing(const LocalDirectory &store)
{
    QStringList lines;
    for (const LocalGroup *group : store.groups()) {
        QStringList names;
        for (const int id : group->contactIds)
            names << store.findContact(id)->display_name;
        lines << group->name + QStringLiteral(": ") + names.join(QLatin1Char(' '));
    }
    return lines;
}

// Ann Example (office 1001, in "Sales") and Bob Example (mobile 2002, line 0, auto divert 3003,
// in "All Contacts"), made through the store's own operations.
void fillExample(LocalDirectory &store)
{
    store.initDefaultGroup();
    store.renameGroup(store.addGroup()->id, QStringLiteral("Sales"));
    LocalContact *ann = nullptr;
    store.addContact(2, &ann);
    LocalContact *bob = nullptr;
    store.addContact(0, &bob);
    ann->display_name = QStringLiteral("Ann Example");
    ann->office_number = QStringLiteral("1001");
    bob->display_name = QStringLiteral("Bob Example");
    bob->mobile_number = QStringLiteral("2002");
    bob->line = QStringLiteral("0");
    bob->auto_divert = QStringLiteral("3003");
}

// Imports the bytes as a file of the given name (its extension picks the format).
void importBytes(const QByteArray &bytes, LocalDirectory &store,
                 const QString &name = QStringLiteral("in.csv"))
{
    TestWorkDir dir;
    const QString path = dir.filePath(name);
    QVERIFY(writeFile(path, bytes));
    QVERIFY(store.importFile(path));
}
} // namespace

Q_DECLARE_METATYPE(PhonebookFileKind::Kind)

class TestLocalFiles : public QObject
{
    Q_OBJECT

private slots:
    void writesEditorLayout_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("example");
        QTest::addColumn<QByteArray>("empty");
        QTest::addRow("xml") << QStringLiteral("book.xml") << editorXml << emptyXml;
        QTest::addRow("csv") << QStringLiteral("book.csv") << editorCsv << emptyCsv;
        QTest::addRow("xml before csv") << QStringLiteral("book.xml.CSV") << editorXml << emptyXml;
    }

    void writesEditorLayout()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, example);
        QFETCH(QByteArray, empty);
        TestWorkDir dir;
        const QString path = dir.filePath(name);
        LocalDirectory store;
        fillExample(store);
        QVERIFY(store.isChanged());
        QVERIFY(store.saveFile(path));
        QVERIFY(!store.isChanged());
        QCOMPARE(readAll(path), example);
        // Reading the editor's own file and writing it again changes no byte.
        LocalDirectory again;
        QVERIFY(again.importFile(path));
        QVERIFY(again.saveFile(path));
        QCOMPARE(readAll(path), example);

        again.initDefaultGroup();
        QVERIFY(again.saveFile(path));
        QCOMPARE(readAll(path), empty);
        QVERIFY(store.importFile(path));
        QCOMPARE(listing(store), texts({"All Contacts: ", "Blocklist: "}));
    }

    void roundTripKeepsValues_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("readBack");
        const QList<QPair<const char *, QString>> values{
            {"chinese and emoji", QStringLiteral("张三 \U0001F600")},
            {"markup and csv punctuation", QStringLiteral("Smith, \"hi\" 'A&B' <c> &amp;")},
            {"line breaks", QStringLiteral("a\nb\rc\r\nd")},
            {"tab and edge spaces", QStringLiteral("  tab\there  ")},
            {"empty", QString()}};
        for (const char *name : {"book.xml", "book.csv"}) {
            for (const auto &value : values)
                QTest::addRow("%s %s", name, value.first)
                    << QString::fromLatin1(name) << value.second << value.second;
        }
        // Dropped, so that the file stays readable.
        QTest::addRow("book.xml characters XML cannot carry")
            << "book.xml"
            << QStringLiteral("a") + QChar(0x01) + QStringLiteral("b") + QChar(0xFFFF) +
                   QChar(0xD800) + QStringLiteral("c")
            << "abc";
    }

    // Every field the format carries comes back.
    void roundTripKeepsValues()
    {
        QFETCH(QString, name);
        QFETCH(QString, value);
        QFETCH(QString, readBack);
        const Fields &carried =
            isXml(name) ? LocalContactFields::xmlAttributes() : LocalContactFields::csvColumns();
        TestWorkDir dir;
        LocalDirectory store;
        store.initDefaultGroup();
        store.addGroup();
        store.addGroup(); // lists no contact: only the XML file keeps it
        LocalContact *contact = nullptr;
        store.addContact(2, &contact);
        int n = 0;
        for (const LocalContactFields::Field &field : LocalContactFields::all()) {
            if (field.member != &LocalContact::group_id_name)
                (*contact).*field.member = value + QString::number(++n);
        }
        if (!value.isEmpty())
            store.renameGroup(2, value);
        store.addContact(1, nullptr);

        const QString path = dir.filePath(name);
        QVERIFY(store.saveFile(path));
        LocalDirectory loaded;
        QVERIFY(LocalDirectory::isLocalFile(path));
        QVERIFY(loaded.importFile(path));
        QStringList groups = listing(store).replaceInStrings(value, readBack);
        if (!isXml(name))
            groups.removeAll(QStringLiteral("Default1: "));
        QCOMPARE(listing(loaded), groups);
        const LocalContact *back = loaded.findContact(1);
        QCOMPARE(values(*back, carried),
                 values(*contact, carried).replaceInStrings(value, readBack));
    }

    // Fields with a comma, a quote or a line break are quoted; nothing else is.
    void csvQuoting_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("written");
        QTest::addRow("plain") << QStringLiteral("Ann") << QByteArray("Ann");
        QTest::addRow("comma") << QStringLiteral("Smith, Ann") << QByteArray("\"Smith, Ann\"");
        QTest::addRow("quote") << QStringLiteral("say \"hi\"") << QByteArray("\"say \"\"hi\"\"\"");
        QTest::addRow("leading quote") << QStringLiteral("\"x") << QByteArray("\"\"\"x\"");
        QTest::addRow("line feed") << QStringLiteral("a\nb") << QByteArray("\"a\nb\"");
        QTest::addRow("carriage return") << QStringLiteral("a\rb") << QByteArray("\"a\rb\"");
        QTest::addRow("spaces kept bare") << QStringLiteral(" a b ") << QByteArray(" a b ");
    }

    void csvQuoting()
    {
        QFETCH(QString, value);
        QFETCH(QByteArray, written);
        TestWorkDir dir;
        LocalDirectory store;
        store.initDefaultGroup();
        store.addGroup();
        LocalContact *contact = nullptr;
        store.addContact(2, &contact);
        contact->display_name = value;
        contact->auto_divert = value;
        contact->photo_data = value;
        store.renameGroup(2, value);
        const QString path = dir.filePath(QStringLiteral("q.csv"));
        QVERIFY(store.saveFile(path));
        QCOMPARE(readAll(path), bom + header + "\r\n" + written + ",,,,-1,Auto," + written + ",," +
                                    written + ",," + written + "\r\n\r\n");
    }

    // Layouts of other tools and hand edits (the editor's own: writesEditorLayout).
    void xmlReadsAnyLayout_data()
    {
        QTest::addColumn<QByteArray>("content");
        QByteArray oneLine = editorXml;
        oneLine.replace('\n', "");
        const QByteArray noDeclaration = editorXml.mid(editorXml.indexOf('\n') + 1);
        QTest::addRow("one line") << oneLine;
        QTest::addRow("cr lf") << QByteArray(editorXml).replace("\n", "\r\n");
        QTest::addRow("byte-order mark") << bom + editorXml;
        QTest::addRow("no declaration") << noDeclaration;
    }

    void xmlReadsAnyLayout()
    {
        QFETCH(QByteArray, content);
        LocalDirectory store;
        importBytes(content, store, QStringLiteral("layout.xml"));
        QCOMPARE(listing(store), texts({"All Contacts: Ann Example Bob Example",
                                        "Blocklist: ", "Sales: Ann Example"}));
        QCOMPARE(store.findContact(2)->auto_divert, QStringLiteral("3003"));
    }

    // Groups come from the group list (XML only) and from the contacts' group names in order of
    // first use: "Blocklist" lists a contact there only, "All Contacts", an empty or a missing
    // name in "All Contacts" only. An import starts the ids afresh.
    void groupsFromContacts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("expected");
        const QList<QPair<QByteArray, QByteArray>> contacts{{"A", "Support"}, {"B", "Blocklist"},
                                                            {"C", "Sales"},   {"D", "All Contacts"},
                                                            {"E", "sales"},   {"F", ""}};
        QByteArray xml = "<?xml version=\"1.0\"?>\n<root_group>\n"
                         "<group display_name=\"\"/><group/>"
                         "<group display_name=\"Blocklist\"/><group display_name=\"Sales\"/>"
                         "<group display_name=\"Sales\"/><group display_name=\"Empty\"/>\n"
                         "</root_group>\n<root_contact>\n";
        QByteArray csv = bom + header + "\r\n";
        for (const auto &contact : contacts) {
            xml += "<contact display_name=\"" + contact.first + "\" group_id_name=\"" +
                   contact.second + "\"/>\n";
            csv += contact.first + ",,,,-1,Auto,,," + contact.second + ",,\r\n";
        }
        xml += "<contact display_name=\"Solo\" extra=\"ignored\" ring=\"Ring3\"/>\n"
               "<unknown display_name=\"not a contact\"/>\n</root_contact>\n";
        // A header line further down is an ordinary contact.
        csv += "Solo,,,,,Ring3\r\n" + header + "\r\n";
        QTest::addRow("xml") << QStringLiteral("groups.xml") << xml
                             << texts({"All Contacts: A C D E F Solo", "Blocklist: B", "Sales: C",
                                       "Empty: ", "Support: A", "sales: E"});
        QTest::addRow("csv") << QStringLiteral("groups.csv") << csv
                             << texts({"All Contacts: A C D E F Solo display_name", "Blocklist: B",
                                       "Support: A", "Sales: C", "sales: E",
                                       "group_id_name: display_name"});
    }

    void groupsFromContacts()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QStringList, expected);
        LocalDirectory store;
        store.initDefaultGroup();
        for (int i = 0; i < 5; ++i) {
            store.addGroup();
            store.addContact(0, nullptr);
        }
        importBytes(content, store, name);
        QCOMPARE(listing(store), expected);
        for (const LocalContact *contact : store.contacts())
            QCOMPARE(contact->group_id_name, store.groupName(contact->groupId));
        QVERIFY(!store.isChanged());
        QCOMPARE(store.contacts().first()->id, 1);
        QCOMPARE(store.lastContactId(), store.contacts().size());
        QCOMPARE(store.lastGroupId(), expected.size() - 1);
        // A missing attribute reads as empty text, not as the record's default.
        const LocalContact *solo = store.contacts().at(6);
        QCOMPARE(solo->ring, QStringLiteral("Ring3"));
        QCOMPARE(solo->line, QString());
    }

    // What the CSV reader takes beyond the writer's layout. Each contact is expected as its fields
    // in column order, '|' between them, "@" for "All Contacts".
    void csvReader_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("contacts");
        const QByteArray head = bom + header + "\r\n";
        QTest::addRow("eleven, extra ignored")
            << head + "a,1,2,3,0,R,9,5,G,p,d,x" << texts({"a|1|2|3|0|R|9|5|G|p|d"});
        QTest::addRow("nine") << head + "a,1,2,3,0,R,9,5,G" << texts({"a|1|2|3|0|R|9|5|G||"});
        QTest::addRow("name only") << head + "Solo" << texts({"Solo||||-1|Auto|||@||"});
        QTest::addRow("quoted line break")
            << head + "\"two\r\nlines\",\"1,5\",,,-1,Auto,,,\"Sales, EU\",,"
            << texts({"two\r\nlines|1,5|||-1|Auto|||Sales, EU||"});
        QTest::addRow("quote inside bare field")
            << head + "Ann \"the\" Boss,1" << texts({"Ann \"the\" Boss|1|||-1|Auto|||@||"});
        QTest::addRow("empty quoted, text after closing quote is plain")
            << head + "\"\",\"a\"b" << texts({"|\"a\"b|||-1|Auto|||@||"});
        QTest::addRow("lone cr is data") << head + "a\rb,1" << texts({"a\rb|1|||-1|Auto|||@||"});
        QTest::addRow("stray quote does not swallow the rest")
            << head + "\"Ann,1\r\nBob,2\r\nCy,3\r\n"
            << texts({"\"Ann|1|||-1|Auto|||@||", "Bob|2|||-1|Auto|||@||", "Cy|3|||-1|Auto|||@||"});
        QTest::addRow("blank lines give no contact")
            << head + "\r\nA,1\r\n   \r\n\nB,2\n\r\n\r\n"
            << texts({"A|1|||-1|Auto|||@||", "B|2|||-1|Auto|||@||"});
        // Other tools' headers: the columns are taken by name.
        QTest::addRow("header reordered")
            << QByteArray("group_id_name,mobile_number,display_name\r\nSales,555,Ann\r\n")
            << texts({"Ann||555||-1|Auto|||Sales||"});
        QTest::addRow("header with unknown columns")
            << QByteArray("id,display_name,email,office_number,ring\n7,Bob,b@x,100,Ring2\n")
            << texts({"Bob|100|||-1|Ring2|||@||"});
        QTest::addRow("header names quoted and padded")
            << QByteArray("\"display_name\", line ,photo_data,priority\nCy,2,pd,4\n")
            << texts({"Cy||||2|Auto||4|@||pd"});
    }

    void csvReader()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, contacts);
        LocalDirectory store;
        importBytes(content, store);
        QStringList read;
        for (const LocalContact *contact : store.contacts()) {
            QStringList fields = values(*contact, LocalContactFields::csvColumns());
            fields.replaceInStrings(QRegularExpression(QStringLiteral("^All Contacts$")),
                                    QStringLiteral("@"));
            read << fields.join(QLatin1Char('|'));
        }
        QCOMPARE(read, contacts);
    }

    void importIgnoresLimit()
    {
        QByteArray content = bom + header + "\r\n";
        for (int i = 0; i < 1500; ++i)
            content += "C" + QByteArray::number(i) + ",,,,-1,Auto,,,G" + QByteArray::number(i % 7) +
                       ",,\r\n";
        LocalDirectory store;
        importBytes(content, store);
        QCOMPARE(store.contactCount(-1), 1500);
        QCOMPARE(store.groups().size(), 9);
        QCOMPARE(store.addContact(0, nullptr), PhonebookResult::LimitReached);
    }

    void probe_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<Kind>("kind");
        const QByteArray menu = "<QuelvoxIPPhoneMenu/>";
        const QByteArray decl = "<?xml version=\"1.0\"?>\n";
        // XML: a group or contact element before any parse error, at any depth.
        QTest::addRow("xml editor file") << "a.xml" << editorXml << Kind::LocalXml;
        QTest::addRow("xml group deep inside")
            << "a.xml" << decl + "<a>\n<b><c><group/></c></b></a>" << Kind::LocalXml;
        QTest::addRow("xml error after group")
            << "a.xml" << decl + "<root_group><group/><<</root_group>" << Kind::LocalXml;
        QTest::addRow("xml other elements only")
            << "a.xml" << decl + "<groups><contacts/></groups>" << Kind::NotAPhonebook;
        QTest::addRow("xml error before group")
            << "a.xml" << decl + "<a><<<group/></a>" << Kind::NotAPhonebook;
        QTest::addRow("xml empty file") << "a.xml" << QByteArray() << Kind::NotAPhonebook;
        // The extension rule: a case-sensitive substring test, ".xml" before ".csv".
        QTest::addRow("upper-case XML") << "a.XML" << editorXml << Kind::LocalXml;
        QTest::addRow("no extension") << "a" << editorXml << Kind::NotAPhonebook;
        // CSV: a first line with a display_name column.
        QTest::addRow("csv editor file") << "a.csv" << editorCsv << Kind::LocalCsv;
        QTest::addRow("csv name column only")
            << "a.csv" << QByteArray("display_name") << Kind::LocalCsv;
        QTest::addRow("csv quoted name")
            << "a.csv" << QByteArray("\"display_name\",x\n") << Kind::LocalCsv;
        QTest::addRow("csv without header")
            << "a.csv" << QByteArray("Ann,1001,,,-1,Auto,,,Sales,,\r\n") << Kind::NotAPhonebook;
        QTest::addRow("csv header on second line") << "a.csv"
                                                   << "x\n" + header << Kind::NotAPhonebook;
        // Remote first: a menu or directory element before any parse error.
        QTest::addRow("remote menu") << "a.xml" << menu << Kind::Remote;
        QTest::addRow("both kinds: remote wins")
            << "a.xml"
            << QByteArray("<x><group display_name=\"G\"/><QuelvoxIPPhoneDirectory><Title>D"
                          "</Title></QuelvoxIPPhoneDirectory></x>")
            << Kind::Remote;
        QTest::addRow("remote wrong extension") << "a.txt" << menu << Kind::NotAPhonebook;
    }

    void probe()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(Kind, kind);
        TestWorkDir dir;
        const QString path = dir.filePath(name);
        QVERIFY(writeFile(path, content));
        QCOMPARE(PhonebookFileKind::probe(path), kind);
        QCOMPARE(RemoteDirectory::isRemoteFile(path), kind == Kind::Remote);
        if (kind != Kind::Remote)
            QCOMPARE(LocalDirectory::isLocalFile(path), kind != Kind::NotAPhonebook);
    }

    // The file is probed before the phonebook is reset, so a failed import costs nothing. (Files
    // refused before reading, missing ones included: tst_hostileinputs.)
    void failedImportKeepsPhonebook()
    {
        TestWorkDir dir;
        const QString plain = dir.filePath(QStringLiteral("plain"));
        const QString menu = dir.filePath(QStringLiteral("menu.txt"));
        QVERIFY(writeFile(plain, editorXml));
        QVERIFY(writeFile(menu, "<QuelvoxIPPhoneMenu><Title>T</Title></QuelvoxIPPhoneMenu>"));
        LocalDirectory store;
        fillExample(store);
        LocalContact *ann = store.findContact(1);
        QVERIFY(!store.importFile(plain));
        QCOMPARE(listing(store), texts({"All Contacts: Ann Example Bob Example",
                                        "Blocklist: ", "Sales: Ann Example"}));
        QCOMPARE(store.findContact(1), ann);
        QCOMPARE(store.lastContactId(), 2);
        QVERIFY(store.isChanged());
        RemoteDirectory remote;
        remote.initDefaultGroup();
        QVERIFY(!remote.importFile(menu));
        QCOMPARE(remote.groupIds().size(), 2);
    }

    void failedSaveKeepsFlagAndFile()
    {
        TestWorkDir dir;
        LocalDirectory store;
        fillExample(store);
        // A name with neither extension (the rule the probe table checks), or a folder in the way
        // of the file: nothing is written, nothing is left behind. (Full disks: tst_savefaults.)
        QVERIFY(!store.saveFile(dir.filePath(QStringLiteral("book.Xml"))));
        QVERIFY(!store.saveError().isEmpty());
        dir.mkpath(QStringLiteral("taken.csv"));
        QVERIFY(!store.saveFile(dir.filePath(QStringLiteral("taken.csv"))));
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("taken.csv"))).isDir());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
        QVERIFY(store.isChanged());
    }
};

QTEST_GUILESS_MAIN(TestLocalFiles)
#include "tst_localfiles.moc"
