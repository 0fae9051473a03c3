// dump, convert and info, run as real processes of the editor without a display: one smoke
// test per command over local and remote phonebooks, output that cannot be written, and one table
// of exit codes for every command (serve's included), phonebooks read only in part among them. What
// the stores do with hostile files and full disks: tst_hostileinputs and tst_savefaults; here only
// how the command line reports it.

#include "data/localdirectory.h"
#include "editorprocess.h"
#include "testfiles.h"
#include "testworkdir.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QtTest>

namespace {
// A local phonebook, a remote one (a menu leading to a sub-menu and two
// directories, one of them missing, with names that need escaping in file names and URLs),
// phonebooks read only in part, a file that is no phonebook, and settings naming port 8123.
void writeSamples(const TestWorkDir &work)
{
    const auto write = [&work](const char *name, const QByteArray &bytes) {
        QVERIFY(writeFile(work.filePath(QString::fromLatin1(name)), bytes));
    };
    write("book.xml",
          "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<root_group>\n"
          "    <group display_name=\"All Contacts\"/>\n    <group display_name=\"Blocklist\"/>\n"
          "    <group display_name=\"销售\"/>\n    <group display_name=\"Empty\"/>\n"
          "</root_group>\n<root_contact>\n"
          "    <contact display_name=\"张三 &quot;Z&quot;\" office_number=\"1001\" "
          "mobile_number=\"\" other_number=\"\" line=\"-1\" ring=\"Auto\" group_id_name=\"销售\" "
          "default_photo=\"\" selected_photo=\"0\" eyepea_contact_id=\"e1\"/>\n"
          "    <contact display_name=\"Bob&#9;B\\x\" mobile_number=\"2002\" line=\"0\" "
          "group_id_name=\"Blocklist\" auto_divert=\"3003\"/>\n"
          "    <contact display_name=\"Cy&#10;Line\" other_number=\"9\" line=\"1\" "
          "group_id_name=\"All Contacts\"/>\n</root_contact>\n");
    write("menu.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<QuelvoxIPPhoneMenu>\n"
                      "  <Title>Company</Title>\n"
                      "  <MenuItem><Name>Sales Team</Name><URL>http://198.51.100.1/sales.xml</URL>"
                      "</MenuItem>\n"
                      "  <MenuItem><Name>Regions</Name><URL>regions.xml</URL></MenuItem>\n"
                      "  <MenuItem><Name>Gone</Name><URL>http://h/gone.xml</URL></MenuItem>\n"
                      "</QuelvoxIPPhoneMenu>\n");
    write("sales.xml", "<QuelvoxIPPhoneDirectory><Title>Sales Team</Title>"
                       "<DirectoryEntry><Name>Ann \"A\"</Name><Custom_photo>ann.png</Custom_photo>"
                       "<Telephone label=\"Office\">1001</Telephone><Telephone>2002</Telephone>"
                       "<Extra label=\"Room\">B 4</Extra></DirectoryEntry>"
                       "<DirectoryEntry><Name>Bob</Name><Telephone label=\"Office\">3</Telephone>"
                       "</DirectoryEntry></QuelvoxIPPhoneDirectory>");
    write("regions.xml", "<QuelvoxIPPhoneMenu><Title>Regions</Title>"
                         "<MenuItem><Name>x</Name><URL>http://h/north.xml</URL></MenuItem>"
                         "</QuelvoxIPPhoneMenu>");
    write("north.xml", "<QuelvoxIPPhoneDirectory><Title>销售/北 #1</Title><DirectoryEntry>"
                       "<Name>张三</Name><Telephone label=\"Office\">9</Telephone>"
                       "</DirectoryEntry></QuelvoxIPPhoneDirectory>");
    write("other.xml", "<a><b/></a>");
    write("app/config/Config.ini", "[user]\nport=8123\n");
    write("partial.xml", localXml(1000, {{500, "A & B"}}));
    write("broken.xml", "<QuelvoxIPPhoneMenu><MenuItem><URL>bad.xml</URL></MenuItem>"
                        "</QuelvoxIPPhoneMenu>");
    write("bad.xml", "<QuelvoxIPPhoneDirectory>\n<DirectoryEntry><Name>Ann & Bob</Name>"
                     "</DirectoryEntry>\n</QuelvoxIPPhoneDirectory>\n");
}

// Every file of the folder with its bytes.
QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> files;
    for (const QString &name : QDir(folder).entryList(QDir::Files))
        files.insert(name, readAll(folder + QLatin1Char('/') + name));
    return files;
}

QJsonObject parse(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        qWarning("not JSON: %s", qPrintable(error.errorString()));
    return document.object();
}

// The dump without the groups' URLs, which a conversion points elsewhere.
QString withoutUrls(const QByteArray &dump)
{
    return QString::fromUtf8(dump).remove(
        QRegularExpression(QStringLiteral("\"url\": \"[^\"]*\"")));
}

} // namespace

class TestPhonebookCommands : public QObject
{
    Q_OBJECT

private slots:
    // dump prints the documented JSON: keys in their order, one group or contact per line, every
    // string escaped, the whole a valid document. info prints the groups, a remote tree with two
    // more spaces per level and a menu counting the contacts below it.
    void dumpAndInfo_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("groupLine");
        QTest::addColumn<QByteArray>("contactLine");
        QTest::addColumn<QString>("info"); // after the file's path
        QTest::addRow("local")
            << "book.xml"
            << QByteArray("{\"kind\": \"local\",\n \"groups\": [\n  {\"id\": 0, \"name\": "
                          "\"All Contacts\", \"contactIds\": [1, 3]},\n")
            << QByteArray("  {\"id\": 2, \"groupId\": 1, \"display_name\": \"Bob\\tB\\\\x\", "
                          "\"office_number\": \"\", \"mobile_number\": \"2002\", "
                          "\"other_number\": \"\", \"line\": \"0\", \"ring\": \"\", "
                          "\"default_photo\": \"\", \"selected_photo\": \"\", \"photo_data\": "
                          "\"\", \"group_id_name\": \"Blocklist\", \"auto_divert\": \"3003\", "
                          "\"eyepea_contact_id\": \"\", \"priority\": \"\"},\n")
            << ": local phonebook (XML)\nGroups: 4\n  All Contacts: 2\n  Blocklist: 1\n  销售: 1\n"
               "  Empty: 0\nTotal contacts: 3\n";
        QTest::addRow("remote")
            << "menu.xml"
            << QByteArray("{\"kind\": \"remote\",\n \"numberLabels\": [\"Office\", \"Number2\", "
                          "\"Number3\"],\n \"groups\": [\n  {\"id\": 0, \"parentId\": -1, "
                          "\"name\": \"Company\", \"isMenu\": true, \"url\": \"\", "
                          "\"childIds\": [1, 4, 7]},\n")
            << QByteArray("  {\"id\": 2, \"name\": \"Ann \\\"A\\\"\", \"customPhoto\": "
                          "\"ann.png\", \"numbers\": [{\"value\": \"1001\", \"label\": "
                          "\"Office\"}, {\"value\": \"2002\", \"label\": \"\"}], \"extras\": "
                          "[{\"value\": \"B 4\", \"label\": \"Room\"}]},\n")
            << ": remote phonebook\nGroups: 4\n  Company (menu): 3\n    Sales Team: 2\n"
               "    Regions (menu): 1\n      销售/北 #1: 1\n    Gone (menu): 0\nTotal contacts: "
               "3\n";
    }

    void dumpAndInfo()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, groupLine);
        QFETCH(QByteArray, contactLine);
        QFETCH(QString, info);
        TestWorkDir work;
        writeSamples(work);
        const EditorRun dump = runEditor({QStringLiteral("dump"), work.filePath(file)});
        QCOMPARE(dump.exitCode, 0);
        QCOMPARE(dump.err, QByteArray());
        QVERIFY2(dump.out.contains(groupLine), dump.out.constData());
        QVERIFY2(dump.out.contains(contactLine), dump.out.constData());
        QVERIFY(dump.out.endsWith("}]}\n"));
        QCOMPARE(parse(dump.out).value(QStringLiteral("contacts")).toArray().size(), 3);
        const EditorRun described = runEditor({QStringLiteral("info"), work.filePath(file)});
        QCOMPARE(described.exitCode, 0);
        QCOMPARE(described.err, QByteArray());
        QCOMPARE(QString::fromUtf8(described.out), work.filePath(file) + info);
    }

    // What convert writes reads back to the same phonebook; a local one is byte for byte what
    // the store writes, a remote one points its menus at the given prefix, used as given, or at
    // the server's address.
    void convert_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("baseUrl");   // null: a local phonebook; empty: none given
        QTest::addColumn<QString>("urlPrefix"); // a pattern
        const QString given = QStringLiteral("https://phones.example:8443/pb/");
        QTest::addRow("local, xml to csv") << "book.xml"
                                           << "out/copy.csv" << QString() << QString();
        QTest::addRow("remote, prefix as given")
            << "menu.xml"
            << "out/top.xml" << given << QRegularExpression::escape(given);
        QTest::addRow("remote, the server's address") << "menu.xml"
                                                      << "out/top.xml"
                                                      << ""
                                                      << "http://[0-9.]+:8123/";
    }

    void convert()
    {
        QFETCH(QString, in);
        QFETCH(QString, out);
        QFETCH(QString, baseUrl);
        QFETCH(QString, urlPrefix);
        TestWorkDir work;
        writeSamples(work);
        work.mkpath(QStringLiteral("out"));
        QStringList args{QStringLiteral("convert"), work.filePath(in), work.filePath(out)};
        if (!baseUrl.isEmpty())
            args << QStringLiteral("--base-url") << baseUrl;
        const EditorRun converted = runEditor(args);
        QCOMPARE(converted.exitCode, 0);
        QCOMPARE(converted.out + converted.err, QByteArray());
        if (baseUrl.isNull()) {
            LocalDirectory store;
            QVERIFY(store.importFile(work.filePath(in)));
            const QString expected = work.filePath(QStringLiteral("expected") + out.right(4));
            QVERIFY(store.saveFile(expected));
            QCOMPARE(readAll(work.filePath(out)), readAll(expected));
            return;
        }
        // How the group files are named and their URLs escaped: tst_remotephonebookxml.
        const QString top = QString::fromUtf8(readAll(work.filePath(out)));
        const QRegularExpression url(QStringLiteral("<URL>") + urlPrefix +
                                     QStringLiteral("RemotePhoneBook_Sales%20Team\\.xml</URL>"));
        QVERIFY2(url.match(top).hasMatch(), qPrintable(top));
        const EditorRun before = runEditor({QStringLiteral("dump"), work.filePath(in)});
        const EditorRun after = runEditor({QStringLiteral("dump"), work.filePath(out)});
        QCOMPARE(after.exitCode, 0);
        QCOMPARE(withoutUrls(after.out), withoutUrls(before.out));
    }

    // 0 done, 1 failed (one line on stderr naming the file), 2 wrong usage (the usage text);
    // a failed command changes no file.
    void exitCodes_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::addRow("dump missing")
            << texts({"dump", "gone.xml"}) << 1 << "gone.xml: no such file";
        QTest::addRow("dump not a phonebook")
            << texts({"dump", "other.xml"}) << 1 << "other.xml: not a phonebook";
        QTest::addRow("dump without file") << texts({"dump"}) << 2 << "expected 1 file";
        QTest::addRow("info unknown option")
            << texts({"info", "--fast", "book.xml"}) << 2 << "unknown option '--fast'";
        QTest::addRow("convert into missing folder")
            << texts({"convert", "book.xml", "no/where/out.xml"}) << 1
            << "no/where/out.xml: cannot be written";
        QTest::addRow("convert remote to csv")
            << texts({"convert", "menu.xml", "out.csv"}) << 1
            << "out.csv: a remote phonebook is saved as an .xml file";
        QTest::addRow("convert base url without value")
            << texts({"convert", "menu.xml", "out.xml", "--base-url"}) << 2
            << "--base-url needs a value";
        // A phonebook read only in part: dump shows what it read, convert writes nothing.
        QTest::addRow("dump a file read in part")
            << texts({"dump", "partial.xml"}) << 1 << "partial.xml: line 506: ";
        QTest::addRow("dump a remote phonebook with a file read in part")
            << texts({"dump", "broken.xml"}) << 1 << "bad.xml: line 2: ";
        QTest::addRow("convert a file read in part onto itself")
            << texts({"convert", "partial.xml", "partial.xml"}) << 1
            << "partial.xml was not written";
        QTest::addRow("serve port too large") << texts({"serve", "--port", "65536"}) << 2 << "";
        QTest::addRow("serve port in use")
            << texts({"serve", "--address", "127.0.0.1", "--port", "BUSY"}) << 1
            << "cannot listen on 127.0.0.1 port BUSY";
        QTest::addRow("unknown command") << texts({"frobnicate"}) << 2 << "frobnicate";
        QTest::addRow("help") << texts({"--help"}) << 0 << QString();
        QTest::addRow("version") << texts({"--version"}) << 0 << QString();
    }

    void exitCodes()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        TestWorkDir work;
        writeSamples(work);
        const QMap<QString, QByteArray> filesBefore = snapshot(work.path());
        // BUSY stands for a port another socket holds.
        QTcpServer blocker;
        QVERIFY(blocker.listen(QHostAddress::LocalHost, 0));
        args.replaceInStrings(QStringLiteral("BUSY"), QString::number(blocker.serverPort()));
        message.replace(QStringLiteral("BUSY"), QString::number(blocker.serverPort()));
        const EditorRun result = runEditor(args);
        QCOMPARE(result.exitCode, exitCode);
        const QString err = QString::fromUtf8(result.err);
        QVERIFY2(err.contains(message), qPrintable(err));
        QVERIFY(snapshot(work.path()) == filesBefore);
        if (exitCode == 0) {
            QCOMPARE(result.err, QByteArray());
            QVERIFY(args.first() != QLatin1String("--version") ||
                    result.out == "quelvox-contact-desk " QCD_VERSION "\n");
            QVERIFY(args.first() != QLatin1String("--help") || result.out.contains("Usage:"));
        } else if (exitCode == 2) {
            QVERIFY(result.err.contains("Usage: quelvox-contact-desk"));
            QCOMPARE(result.out, QByteArray());
        } else {
            if (args.first() != QLatin1String("serve")) // which logs as it goes
                QCOMPARE(result.err.count('\n'), 1);
            if (result.err.endsWith("only part of the phonebook was read\n"))
                QVERIFY(!parse(result.out).value(QStringLiteral("contacts")).toArray().isEmpty());
            else
                QCOMPARE(result.out, QByteArray());
        }
    }

    void unwritableOutput_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("file");
        QTest::addRow("dump local") << "dump"
                                    << "book.xml";
        QTest::addRow("info remote") << "info"
                                     << "menu.xml";
    }

    // Output that does not arrive whole is a failure, never exit 0.
    void unwritableOutput()
    {
        QFETCH(QString, command);
        QFETCH(QString, file);
        TestWorkDir work;
        writeSamples(work);
        QProcess process;
        process.setProcessEnvironment(headlessEnvironment());
        process.setStandardOutputFile(QStringLiteral("/dev/full"));
        process.start(QStringLiteral(QCD_EDITOR_PATH), {command, work.filePath(file)});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 1);
        QCOMPARE(process.readAllStandardError(),
                 QByteArray(
                     "quelvox-contact-desk: cannot write the output (No space left on device)\n"));
    }
};

QTEST_GUILESS_MAIN(TestPhonebookCommands)
#include "tst_phonebookcommands.moc"
