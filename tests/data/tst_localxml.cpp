// The local XML file: exact bytes written, what the reader takes from any layout, the probe,
// the extension rule, failed imports and atomic saves.

#include "data/localdirectory.h"
#include "data/localxmlformat.h"
#include "data/phonebookfilekind.h"
#include "localstorenames.h"
#include "testfiles.h"
#include "testworkdir.h"

#include <QFile>
#include <QFileInfo>
#include <QtTest>

#include <unistd.h>

namespace {
const QByteArray editorFile = QByteArrayLiteral(
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

} // namespace

class TestLocalXml : public QObject
{
    Q_OBJECT

private slots:
    void writesEditorLayout();
    void roundTripKeepsValues_data();
    void roundTripKeepsValues();
    void writerDropsCharactersXmlCannotCarry();
    void readsAnyLayout_data();
    void readsAnyLayout();
    void malformedKeepsWhatCameBefore();
    void groupsFromContacts();
    void importResetsIds();
    void probe_data();
    void probe();
    void extensionRule_data();
    void extensionRule();
    void failedImportKeepsPhonebook_data();
    void failedImportKeepsPhonebook();
    void saveReplacesFileAtomically();
    void failedSaveKeepsFlagAndFile();
};

void TestLocalXml::writesEditorLayout()
{
    TestWorkDir dir;
    LocalDirectory store;
    fillExample(store);
    QVERIFY(store.isChanged());
    const QString path = dir.filePath(QStringLiteral("book.xml"));
    QVERIFY(store.saveFile(path));
    QVERIFY(!store.isChanged());
    QCOMPARE(readAll(path), editorFile);

    // Reading the editor's own file and writing it again changes no byte.
    LocalDirectory again;
    QVERIFY(again.importFile(path));
    const QString second = dir.filePath(QStringLiteral("again.xml"));
    QVERIFY(again.saveFile(second));
    QCOMPARE(readAll(second), editorFile);

    again.initDefaultGroup();
    QVERIFY(again.saveFile(second));
    QCOMPARE(readAll(second),
             QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<root_group>\n"
                        "    <group display_name=\"All Contacts\"/>\n"
                        "    <group display_name=\"Blocklist\"/>\n"
                        "</root_group>\n<root_contact/>\n"));
}

void TestLocalXml::roundTripKeepsValues_data()
{
    QTest::addColumn<QString>("value");
    QTest::addRow("chinese") << QStringLiteral("张三 李四");
    QTest::addRow("quotes") << QStringLiteral("say \"hi\" 'there'");
    QTest::addRow("ampersand and brackets") << QStringLiteral("A&B <c> &amp;");
    QTest::addRow("line feed") << QStringLiteral("a\nb");
    QTest::addRow("carriage return") << QStringLiteral("a\rb");
    QTest::addRow("edge spaces") << QStringLiteral("  x  ");
    QTest::addRow("emoji") << QStringLiteral("\U0001F600 ok");
    QTest::addRow("empty") << QString();
}

void TestLocalXml::roundTripKeepsValues()
{
    QFETCH(QString, value);
    TestWorkDir dir;
    LocalDirectory store;
    store.initDefaultGroup();
    store.addGroup();
    store.addGroup(); // lists no contact, still written
    LocalContact *contact = nullptr;
    store.addContact(2, &contact);
    setEveryField(*contact, value, 2);
    if (!value.isEmpty())
        store.renameGroup(2, value);
    store.addContact(1, nullptr);

    const QString path = dir.filePath(QStringLiteral("values.xml"));
    QVERIFY(store.saveFile(path));
    LocalDirectory loaded;
    QVERIFY(loaded.isLocalFile(path));
    QVERIFY(loaded.importFile(path));
    QCOMPARE(groupNames(loaded), groupNames(store));
    QCOMPARE(loaded.contacts().size(), 2);
    const LocalContact *back = loaded.contacts().at(0);
    const auto written = [](const LocalContact &c) {
        return QStringList{c.display_name,      c.office_number,  c.mobile_number,
                           c.other_number,      c.line,           c.ring,
                           c.default_photo,     c.selected_photo, c.auto_divert,
                           c.eyepea_contact_id, c.group_id_name};
    };
    QCOMPARE(written(*back), written(*contact));
    QCOMPARE(back->groupId, 2);
    QCOMPARE(back->priority, QString());
    QCOMPARE(back->photo_data, QString());
    QCOMPARE(loaded.contacts().at(1)->groupId, 1);
    QCOMPARE(loaded.contactCount(0), 1);
}

void TestLocalXml::writerDropsCharactersXmlCannotCarry()
{
    TestWorkDir dir;
    LocalDirectory store;
    store.initDefaultGroup();
    LocalContact *contact = nullptr;
    store.addContact(0, &contact);
    contact->display_name = QStringLiteral("a") + QChar(0x01) + QStringLiteral("b") +
                            QChar(0xFFFF) + QChar(0xD800) + QStringLiteral("c");
    store.addContact(0, nullptr);
    const QString path = dir.filePath(QStringLiteral("controls.xml"));
    QVERIFY(store.saveFile(path));
    LocalDirectory loaded;
    QVERIFY(loaded.importFile(path));
    QCOMPARE(contactNames(loaded), texts({"abc", "Name"}));
}

void TestLocalXml::readsAnyLayout_data()
{
    QTest::addColumn<QByteArray>("content");

    QByteArray oneLine = editorFile;
    oneLine.replace('\n', "");
    QByteArray noDeclaration = editorFile.mid(editorFile.indexOf('\n') + 1);
    QByteArray crlf = editorFile;
    crlf.replace("\n", "\r\n");

    QTest::addRow("editor layout") << editorFile;
    QTest::addRow("one line") << oneLine;
    QTest::addRow("cr lf") << crlf;
    QTest::addRow("byte-order mark") << QByteArray("\xEF\xBB\xBF") + editorFile;
    QTest::addRow("declaration and first element on one line")
        << QByteArray(editorFile).replace("?>\n<root_group>", "?><root_group>");
    QTest::addRow("comment and doctype before")
        << QByteArray("<?xml version=\"1.0\"?>\n<!-- saved by hand -->\n"
                      "<!DOCTYPE root_group [<!ENTITY x \"y\">]>\n") +
               noDeclaration;
    QTest::addRow("whitespace before declaration") << QByteArray("\n  ") + editorFile;
    QTest::addRow("attributes split over lines")
        << QByteArray(editorFile).replace(" office_number", "\n        office_number");
    QTest::addRow("nested deeper") << QByteArray("<a><b>") + noDeclaration + QByteArray("</b></a>");
}

void TestLocalXml::readsAnyLayout()
{
    QFETCH(QByteArray, content);
    TestWorkDir dir;
    const QString path = dir.filePath(QStringLiteral("layout.xml"));
    QVERIFY(writeFile(path, content));
    LocalDirectory store;
    QVERIFY(store.isLocalFile(path));
    QVERIFY(store.importFile(path));
    QCOMPARE(groupNames(store), texts({"All Contacts", "Blocklist", "Sales"}));
    QCOMPARE(contactNames(store), texts({"Ann Example", "Bob Example"}));
    QCOMPARE(store.findContact(1)->groupId, 2);
    QCOMPARE(store.findContact(2)->auto_divert, QStringLiteral("3003"));
    QCOMPARE(store.findGroup(0)->contactIds, (QList<int>{1, 2}));
    QCOMPARE(store.findGroup(2)->contactIds, (QList<int>{1}));
}

void TestLocalXml::malformedKeepsWhatCameBefore()
{
    TestWorkDir dir;
    const QString path = dir.filePath(QStringLiteral("broken.xml"));
    QByteArray broken = editorFile;
    broken.insert(broken.indexOf("    <contact display_name=\"Bob"), "<oops a=1>\n");
    QVERIFY(writeFile(path, broken));

    LocalDirectory store;
    QVERIFY(store.isLocalFile(path));
    QVERIFY(store.importFile(path));
    QCOMPARE(contactNames(store), texts({"Ann Example"}));
    QCOMPARE(store.groups().size(), 3);

    // A file cut off in the middle keeps every complete element.
    QVERIFY(writeFile(path,
                      editorFile.left(editorFile.indexOf("    <contact display_name=\"Bob") + 20)));
    QVERIFY(store.importFile(path));
    QCOMPARE(contactNames(store), texts({"Ann Example"}));
}

// Groups come from the group list and from the contacts' group names; nameless groups, unknown
// elements and attributes are skipped, and missing attributes read empty.
void TestLocalXml::groupsFromContacts()
{
    LocalDirectory store;
    importBytes("<?xml version=\"1.0\"?>\n<root_group>\n"
                "<group display_name=\"\"/><group/>"
                "<group display_name=\"Blocklist\"/><group display_name=\"Sales\"/>"
                "<group display_name=\"Sales\"/><group display_name=\"Empty\"/>\n"
                "</root_group>\n<root_contact>\n"
                "<contact display_name=\"A\" group_id_name=\"Support\"/>\n"
                "<contact display_name=\"B\" group_id_name=\"Blocklist\"/>\n"
                "<contact display_name=\"C\" group_id_name=\"Sales\"/>\n"
                "<contact display_name=\"D\" group_id_name=\"All Contacts\"/>\n"
                "<contact display_name=\"E\" group_id_name=\"sales\"/>\n"
                "<contact display_name=\"F\" group_id_name=\"\"/>\n"
                "<contact display_name=\"Solo\" extra=\"ignored\" ring=\"Ring3\"/>\n"
                "<unknown display_name=\"not a contact\"/>\n"
                "</root_contact>\n",
                store, QStringLiteral("groups.xml"));
    QCOMPARE(groupNames(store),
             texts({"All Contacts", "Blocklist", "Sales", "Empty", "Support", "sales"}));
    QCOMPARE(contactNames(store), texts({"A", "B", "C", "D", "E", "F", "Solo"}));
    QCOMPARE(store.findGroup(0)->contactIds, (QList<int>{1, 3, 4, 5, 6, 7}));
    QCOMPARE(store.findGroup(1)->contactIds, (QList<int>{2}));
    QCOMPARE(store.findGroup(2)->contactIds, (QList<int>{3}));
    QCOMPARE(store.findGroup(3)->contactIds, (QList<int>{}));
    QCOMPARE(store.findGroup(4)->contactIds, (QList<int>{1}));
    QCOMPARE(store.findContact(2)->groupId, 1);
    for (const int id : {4, 6, 7}) {
        QCOMPARE(store.findContact(id)->group_id_name, QStringLiteral("All Contacts"));
        QCOMPARE(store.findContact(id)->groupId, 0);
    }
    const LocalContact *solo = store.findContact(7);
    QCOMPARE(solo->ring, QStringLiteral("Ring3"));
    QCOMPARE(solo->line, QString());
    QCOMPARE(solo->selected_photo, QString());
}

void TestLocalXml::importResetsIds()
{
    LocalDirectory store;
    store.initDefaultGroup();
    for (int i = 0; i < 5; ++i) {
        store.addGroup();
        store.addContact(0, nullptr);
    }
    importBytes(editorFile, store, QStringLiteral("book.xml"));
    QVERIFY(!store.isChanged());
    QCOMPARE(store.lastContactId(), 2);
    QCOMPARE(store.lastGroupId(), 2);
    QCOMPARE(store.contacts().at(0)->id, 1);
    QCOMPARE(store.findGroup(2)->name, QStringLiteral("Sales"));
}

void TestLocalXml::probe_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("expected");

    QTest::addRow("editor file") << editorFile << true;
    QTest::addRow("contact only") << QByteArray("<x><contact/></x>") << true;
    QTest::addRow("group deep inside")
        << QByteArray("<?xml version=\"1.0\"?>\n<a>\n<b><c><group/></c></b></a>") << true;
    QTest::addRow("error after group")
        << QByteArray("<?xml version=\"1.0\"?>\n<root_group><group/><<</root_group>") << true;
    QTest::addRow("other elements only")
        << QByteArray("<?xml version=\"1.0\"?>\n<groups><contacts/></groups>") << false;
    QTest::addRow("error before group")
        << QByteArray("<?xml version=\"1.0\"?>\n<a><<<group/></a>") << false;
    QTest::addRow("empty file") << QByteArray() << false;
    QTest::addRow("remote menu") << QByteArray("<?xml version=\"1.0\"?>\n<YealinkIPPhoneMenu>"
                                               "<MenuItem><Name>a</Name></MenuItem>"
                                               "</YealinkIPPhoneMenu>")
                                 << false;
}

void TestLocalXml::probe()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, expected);
    QCOMPARE(LocalXmlFormat::probe(content), expected);

    TestWorkDir dir;
    const QString path = dir.filePath(QStringLiteral("probe.xml"));
    QVERIFY(writeFile(path, content));
    LocalDirectory store;
    store.initDefaultGroup();
    store.addContact(0, nullptr);
    QCOMPARE(store.isLocalFile(path), expected);
    // Probing never touches the store.
    QCOMPARE(store.contactCount(-1), 1);
    QVERIFY(store.isChanged());
}

void TestLocalXml::extensionRule_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("format");

    QTest::addRow("xml") << QStringLiteral("book.xml") << int(PhonebookFileKind::LocalXml);
    QTest::addRow("XML") << QStringLiteral("book.XML") << int(PhonebookFileKind::LocalXml);
    QTest::addRow("mixed case") << QStringLiteral("book.Xml")
                                << int(PhonebookFileKind::NotAPhonebook);
    QTest::addRow("csv") << QStringLiteral("book.csv") << int(PhonebookFileKind::LocalCsv);
    QTest::addRow("CSV") << QStringLiteral("book.CSV") << int(PhonebookFileKind::LocalCsv);
    QTest::addRow("xml then csv") << QStringLiteral("book.xml.csv")
                                  << int(PhonebookFileKind::LocalXml);
    QTest::addRow("no extension") << QStringLiteral("book")
                                  << int(PhonebookFileKind::NotAPhonebook);
}

void TestLocalXml::extensionRule()
{
    QFETCH(QString, name);
    QFETCH(int, format);
    QCOMPARE(int(PhonebookFileKind::localFormat(name)), format);

    TestWorkDir dir;
    LocalDirectory store;
    fillExample(store);
    const QString path = dir.filePath(name);
    const bool accepted = format != PhonebookFileKind::NotAPhonebook;
    QCOMPARE(store.saveFile(path), accepted);
    QCOMPARE(QFileInfo::exists(path), accepted);
    QCOMPARE(store.isChanged(), !accepted);
    if (!accepted)
        return; // reading such a file is refused: see failedImportKeepsPhonebook
    QCOMPARE(readAll(path).startsWith("<?xml"), format == PhonebookFileKind::LocalXml);
    LocalDirectory loaded;
    QVERIFY(loaded.isLocalFile(path));
    QVERIFY(loaded.importFile(path));
    QCOMPARE(contactNames(loaded), contactNames(store));
}

void TestLocalXml::failedImportKeepsPhonebook_data()
{
    QTest::addColumn<QString>("name");
    QTest::addRow("missing file") << QStringLiteral("missing.xml");
    QTest::addRow("folder") << QStringLiteral("folder.xml");
    QTest::addRow("no extension") << QStringLiteral("plain");
}

void TestLocalXml::failedImportKeepsPhonebook()
{
    QFETCH(QString, name);
    TestWorkDir dir;
    dir.mkpath(QStringLiteral("folder.xml"));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("plain")), editorFile));
    LocalDirectory store;
    fillExample(store);
    LocalContact *ann = store.findContact(1);

    QVERIFY(!store.isLocalFile(dir.filePath(name)));
    QVERIFY(!store.importFile(dir.filePath(name)));
    QCOMPARE(contactNames(store), texts({"Ann Example", "Bob Example"}));
    QCOMPARE(store.findContact(1), ann);
    QCOMPARE(store.groups().size(), 3);
    QCOMPARE(store.lastContactId(), 2);
    QVERIFY(store.isChanged());
}

void TestLocalXml::saveReplacesFileAtomically()
{
    TestWorkDir dir;
    const QString path = dir.filePath(QStringLiteral("book.xml"));
    const QString link = dir.filePath(QStringLiteral("previous.xml"));
    QVERIFY(writeFile(path, "previous content"));
    // A second name for the old file: a save that rewrote the file in place would change it.
    QCOMPARE(::link(QFile::encodeName(path).constData(), QFile::encodeName(link).constData()), 0);
    LocalDirectory store;
    fillExample(store);
    QVERIFY(store.saveFile(path));
    QCOMPARE(readAll(path), editorFile);
    QCOMPARE(readAll(link), QByteArray("previous content"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

void TestLocalXml::failedSaveKeepsFlagAndFile()
{
    TestWorkDir dir;
    LocalDirectory store;
    fillExample(store);
    QVERIFY(!store.saveFile(dir.filePath(QStringLiteral("no/such/folder/book.xml"))));
    QVERIFY(store.isChanged());
    QVERIFY(!store.saveError().isEmpty());
    // A folder in the way of the file: nothing is written, nothing is left behind.
    dir.mkpath(QStringLiteral("taken.xml"));
    QVERIFY(!store.saveFile(dir.filePath(QStringLiteral("taken.xml"))));
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("taken.xml"))).isDir());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
    QVERIFY(store.isChanged());
}

QTEST_GUILESS_MAIN(TestLocalXml)
#include "tst_localxml.moc"
