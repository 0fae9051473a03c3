// The local CSV file: exact bytes written, quoting, what the reader takes from blank, short,
// quoted and header-mapped lines, and the probe.

#include "data/localcsvformat.h"
#include "data/localdirectory.h"
#include "localstorenames.h"
#include "testfiles.h"
#include "testworkdir.h"

#include <QFile>
#include <QtTest>

namespace {
const QByteArray bom = QByteArrayLiteral("\xEF\xBB\xBF");
const QByteArray header = QByteArrayLiteral(
    "display_name,office_number,mobile_number,other_number,line,ring,auto_divert,priority,"
    "group_id_name,default_photo,photo_data");

// Every CSV field of a contact, in column order.
QStringList csvFields(const LocalContact &c)
{
    return {c.display_name, c.office_number, c.mobile_number, c.other_number,  c.line,      c.ring,
            c.auto_divert,  c.priority,      c.group_id_name, c.default_photo, c.photo_data};
}

// Expected CSV fields written as one text, '|' between them; "@" stands for "All Contacts".
QStringList fields(const char *text)
{
    QStringList result = QString::fromUtf8(text).split(QLatin1Char('|'));
    for (QString &field : result) {
        if (field == QLatin1String("@"))
            field = QStringLiteral("All Contacts");
    }
    return result;
}
} // namespace

class TestLocalCsv : public QObject
{
    Q_OBJECT

private slots:
    void writesEditorLayout();
    void roundTrip();
    void quoting_data();
    void quoting();
    void readerColumns_data();
    void readerColumns();
    void blankLinesGiveNoContact();
    void headerColumnsByName_data();
    void headerColumnsByName();
    void groupsFromNames();
    void strayQuoteDoesNotSwallowTheRest();
    void importIgnoresLimit();
    void probe_data();
    void probe();
};

void TestLocalCsv::writesEditorLayout()
{
    TestWorkDir dir;
    LocalDirectory store;
    fillExample(store);
    const QString path = dir.filePath(QStringLiteral("book.csv"));
    QVERIFY(store.isChanged());
    QVERIFY(store.saveFile(path));
    QVERIFY(!store.isChanged());
    QCOMPARE(readAll(path), bom + header +
                                "\r\n"
                                "Ann Example,1001,,,-1,Auto,,,Sales,,\r\n"
                                "Bob Example,,2002,,0,Auto,3003,,All Contacts,,\r\n"
                                "\r\n");
    // An empty phonebook is the header alone, and reads back as one.
    store.initDefaultGroup();
    const QString empty = dir.filePath(QStringLiteral("empty.CSV"));
    QVERIFY(store.saveFile(empty));
    QCOMPARE(readAll(empty), bom + header + "\r\n\r\n");
    QVERIFY(store.isLocalFile(empty));
    QVERIFY(store.importFile(empty));
    QCOMPARE(store.contactCount(-1), 0);
}

void TestLocalCsv::roundTrip()
{
    TestWorkDir dir;
    LocalDirectory store;
    store.initDefaultGroup();
    store.addGroup();
    store.addGroup(); // lists no contact: gone after the round trip
    store.renameGroup(store.addGroup()->id, QStringLiteral("销售"));
    const QStringList values{QStringLiteral("张三"), QStringLiteral("A&B <c>"),
                             QStringLiteral("tab\there"), QStringLiteral("plain")};
    for (int i = 0; i < values.size(); ++i) {
        LocalContact *contact = nullptr;
        store.addContact(i % 2 == 0 ? 4 : 1, &contact);
        setEveryField(*contact, values.at(i), i);
    }
    store.addContact(2, nullptr);

    const QString path = dir.filePath(QStringLiteral("book.csv"));
    QVERIFY(store.saveFile(path));
    LocalDirectory loaded;
    QVERIFY(loaded.isLocalFile(path));
    QVERIFY(loaded.importFile(path));
    QCOMPARE(groupNames(loaded), texts({"All Contacts", "Blocklist", "销售", "Default"}));
    const QVector<LocalContact *> before = store.contacts();
    const QVector<LocalContact *> after = loaded.contacts();
    QCOMPARE(after.size(), before.size());
    for (int i = 0; i < after.size(); ++i) {
        QCOMPARE(csvFields(*after[i]), csvFields(*before[i]));
        QCOMPARE(after[i]->selected_photo, QStringLiteral("0"));
        QCOMPARE(after[i]->eyepea_contact_id, QString());
    }
    QCOMPARE(loaded.contactCount(1), 2);
    QCOMPARE(loaded.contactCount(0), 3);
}

void TestLocalCsv::quoting_data()
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

void TestLocalCsv::quoting()
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
    store.addContact(0, nullptr);

    const QString path = dir.filePath(QStringLiteral("q.csv"));
    QVERIFY(store.saveFile(path));
    const QByteArray expectedLine =
        written + ",,,,-1,Auto," + written + ",," + written + ",," + written + "\r\n";
    QCOMPARE(readAll(path),
             bom + header + "\r\n" + expectedLine + "Name,,,,-1,Auto,,,All Contacts,,\r\n\r\n");

    LocalDirectory loaded;
    QVERIFY(loaded.importFile(path));
    QCOMPARE(loaded.contacts().size(), 2);
    QCOMPARE(csvFields(*loaded.contacts().at(0)), csvFields(*contact));
    QCOMPARE(loaded.contacts().at(1)->display_name, QStringLiteral("Name"));
}

void TestLocalCsv::readerColumns_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QStringList>("fields");

    // Expected fields in column order, '|' between them; "@" stands for "All Contacts".
    QTest::addRow("eleven, extra ignored")
        << QByteArray("a,1,2,3,0,R,9,5,G,p,d,x") << fields("a|1|2|3|0|R|9|5|G|p|d");
    QTest::addRow("nine") << QByteArray("a,1,2,3,0,R,9,5,G") << fields("a|1|2|3|0|R|9|5|G||");
    QTest::addRow("ten keeps the photo")
        << QByteArray("a,1,2,3,0,R,9,5,G,p") << fields("a|1|2|3|0|R|9|5|G|p|");
    QTest::addRow("name only") << QByteArray("Solo") << fields("Solo||||-1|Auto|||@||");
    QTest::addRow("empty group column")
        << QByteArray("a,,,,-1,Auto,,,,,") << fields("a||||-1|Auto|||@||");
    QTest::addRow("quoted line break")
        << QByteArray("\"two\r\nlines\",\"1,5\",,,-1,Auto,,,\"Sales, EU\",,")
        << fields("two\r\nlines|1,5|||-1|Auto|||Sales, EU||");
    QTest::addRow("quote inside bare field")
        << QByteArray("Ann \"the\" Boss,1") << fields("Ann \"the\" Boss|1|||-1|Auto|||@||");
    QTest::addRow("empty quoted, text after closing quote")
        << QByteArray("\"\",\"a\"b") << fields("|ab|||-1|Auto|||@||");
    QTest::addRow("lone cr is data") << QByteArray("a\rb,1") << fields("a\rb|1|||-1|Auto|||@||");
}

void TestLocalCsv::readerColumns()
{
    QFETCH(QByteArray, line);
    QFETCH(QStringList, fields);
    for (const QByteArray &prefix : {QByteArray(bom + header + "\r\n"), QByteArray()}) {
        LocalDirectory store;
        importBytes(prefix + line + "\r\nlast\r\n", store);
        QCOMPARE(store.contacts().size(), 2);
        QCOMPARE(csvFields(*store.contacts().at(0)), fields);
        QCOMPARE(store.contacts().at(0)->selected_photo, QStringLiteral("0"));
        QCOMPARE(store.contacts().at(1)->display_name, QStringLiteral("last"));
    }
}

void TestLocalCsv::blankLinesGiveNoContact()
{
    LocalDirectory store;
    importBytes(bom + header + "\r\n\r\nA,1\r\n   \r\n\nB,2\n\r\n\r\n", store);
    QCOMPARE(contactNames(store), texts({"A", "B"}));
    QCOMPARE(store.groups().size(), 2);

    // Saved and imported again: exactly the contacts saved, however often.
    TestWorkDir dir;
    const QString path = dir.filePath(QStringLiteral("again.csv"));
    for (int round = 0; round < 2; ++round) {
        QVERIFY(store.saveFile(path));
        QVERIFY(store.importFile(path));
        QCOMPARE(contactNames(store), texts({"A", "B"}));
        QCOMPARE(store.groups().size(), 2);
    }
}

void TestLocalCsv::headerColumnsByName_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("fields");

    QTest::addRow("reordered")
        << QByteArray("group_id_name,mobile_number,display_name\r\nSales,555,Ann\r\n")
        << fields("Ann||555||-1|Auto|||Sales||");
    QTest::addRow("unknown columns ignored")
        << QByteArray("id,display_name,email,office_number,ring\n7,Bob,b@x,100,Ring2\n")
        << fields("Bob|100|||-1|Ring2|||@||");
    QTest::addRow("quoted and padded names")
        << QByteArray("\"display_name\", line ,photo_data,priority\nCy,2,pd,4\n")
        << fields("Cy||||2|Auto||4|@||pd");
    QTest::addRow("repeated name takes the first")
        << QByteArray("display_name,display_name,auto_divert\nEve,Other,66\n")
        << fields("Eve||||-1|Auto|66||@||");
}

void TestLocalCsv::headerColumnsByName()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, fields);
    LocalDirectory store;
    importBytes(content, store);
    QCOMPARE(store.contacts().size(), 1);
    QCOMPARE(csvFields(*store.contacts().at(0)), fields);

    TestWorkDir dir;
    const QString path = dir.filePath(QStringLiteral("other.csv"));
    QVERIFY(writeFile(path, content));
    QVERIFY(store.isLocalFile(path));
}

void TestLocalCsv::groupsFromNames()
{
    LocalDirectory store;
    importBytes(bom + header +
                    "\r\n"
                    "a,,,,-1,Auto,,,Support,,\r\n"
                    "b,,,,-1,Auto,,,Blocklist,,\r\n"
                    "c,,,,-1,Auto,,,All Contacts,,\r\n"
                    "d,,,,-1,Auto,,,Sales,,\r\n"
                    "e,,,,-1,Auto,,,Support,,\r\n" +
                    header + "\r\n",
                store);
    QCOMPARE(groupNames(store),
             texts({"All Contacts", "Blocklist", "Support", "Sales", "group_id_name"}));
    QCOMPARE(store.findGroup(0)->contactIds, (QList<int>{1, 3, 4, 5, 6}));
    QCOMPARE(store.findGroup(1)->contactIds, (QList<int>{2}));
    QCOMPARE(store.findGroup(2)->contactIds, (QList<int>{1, 5}));
    // A header line further down is an ordinary contact.
    QCOMPARE(store.contacts().last()->display_name, QStringLiteral("display_name"));
}

void TestLocalCsv::strayQuoteDoesNotSwallowTheRest()
{
    LocalDirectory store;
    importBytes(bom + header + "\r\n\"Ann,1\r\nBob,2\r\nCy,3\r\n", store);
    QCOMPARE(contactNames(store),
             (QStringList{QStringLiteral("\"Ann"), QStringLiteral("Bob"), QStringLiteral("Cy")}));
    QCOMPARE(store.contacts().at(0)->office_number, QStringLiteral("1"));
}

void TestLocalCsv::importIgnoresLimit()
{
    QByteArray content = bom + header + "\r\n";
    for (int i = 0; i < 1500; ++i)
        content +=
            "C" + QByteArray::number(i) + ",,,,-1,Auto,,,G" + QByteArray::number(i % 7) + ",,\r\n";
    LocalDirectory store;
    importBytes(content, store);
    QCOMPARE(store.contactCount(-1), 1500);
    QCOMPARE(store.groups().size(), 9);
    QCOMPARE(store.addContact(0, nullptr), PhonebookResult::LimitReached);
}

void TestLocalCsv::probe_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("expected");

    QTest::addRow("editor header") << bom + header + "\r\n\r\n" << true;
    QTest::addRow("name only") << QByteArray("display_name") << true;
    QTest::addRow("quoted name") << QByteArray("\"display_name\",x\n") << true;
    QTest::addRow("unclosed quote after name") << QByteArray("display_name,\"abc\n") << true;
    QTest::addRow("no header") << QByteArray("Ann,1001,,,-1,Auto,,,Sales,,\r\n") << false;
    QTest::addRow("header on second line") << QByteArray("x\n") + header << false;
    QTest::addRow("other case") << QByteArray("Display_Name,office_number\n") << false;
    QTest::addRow("part of a word") << QByteArray("display_names\n") << false;
}

void TestLocalCsv::probe()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, expected);
    QCOMPARE(LocalCsvFormat::probe(content), expected);
    TestWorkDir dir;
    const QString path = dir.filePath(QStringLiteral("probe.csv"));
    QVERIFY(writeFile(path, content));
    LocalDirectory store;
    QCOMPARE(store.isLocalFile(path), expected);
    // The reader takes a file the probe refuses all the same.
    if (!expected && !content.isEmpty()) {
        QVERIFY(store.importFile(path));
        QVERIFY(store.contactCount(-1) > 0);
    }
}

QTEST_GUILESS_MAIN(TestLocalCsv)
#include "tst_localcsv.moc"
