// dump, convert and info on remote phonebook files, run as real processes of the editor without
// a display; and a saved phonebook walked over HTTP from the menu to every directory file.

#include "editorprocess.h"
#include "testfiles.h"
#include "testworkdir.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpSocket>
#include <QUrl>
#include <QXmlStreamReader>
#include <QtTest>

namespace {
// A menu leading to a sub-menu and two directories, one of them missing, and names that need
// escaping in file names and URLs.
void writeSample(const QString &folder)
{
    writeFile(folder + QStringLiteral("/menu.xml"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<QuelvoxIPPhoneMenu>\n"
              "  <Title>Company</Title>\n"
              "  <MenuItem><Name>Sales Team</Name><URL>http://198.51.100.1/sales.xml</URL>"
              "</MenuItem>\n"
              "  <MenuItem><Name>Regions</Name><URL>regions.xml</URL></MenuItem>\n"
              "  <MenuItem><Name>Gone</Name><URL>http://h/gone.xml</URL></MenuItem>\n"
              "</QuelvoxIPPhoneMenu>\n");
    writeFile(folder + QStringLiteral("/sales.xml"),
              "<QuelvoxIPPhoneDirectory><Title>Sales Team</Title>"
              "<DirectoryEntry><Name>Ann \"A\"</Name><Custom_photo>ann.png</Custom_photo>"
              "<Telephone label=\"Office\">1001</Telephone><Telephone>2002</Telephone>"
              "<Extra label=\"Room\">B 4</Extra></DirectoryEntry>"
              "<DirectoryEntry><Name>Bob</Name><Telephone label=\"Office\">3</Telephone>"
              "</DirectoryEntry></QuelvoxIPPhoneDirectory>");
    writeFile(folder + QStringLiteral("/regions.xml"),
              "<QuelvoxIPPhoneMenu><Title>Regions</Title>"
              "<MenuItem><Name>x</Name><URL>http://h/north.xml</URL></MenuItem>"
              "</QuelvoxIPPhoneMenu>");
    writeFile(folder + QStringLiteral("/north.xml"),
              "<QuelvoxIPPhoneDirectory><Title>销售/北 #1</Title>"
              "<DirectoryEntry><Name>张三</Name><Telephone "
              "label=\"Office\">9</Telephone></DirectoryEntry>"
              "</QuelvoxIPPhoneDirectory>");
}

// One GET over a fresh connection, as a phone does; the body, or a null array on failure.
QByteArray httpGet(const QString &url)
{
    const QUrl parsed(url, QUrl::StrictMode);
    QTcpSocket socket;
    socket.connectToHost(parsed.host(), quint16(parsed.port(80)));
    if (!socket.waitForConnected(5000))
        return QByteArray();
    socket.write("GET " + parsed.path(QUrl::FullyEncoded).toLatin1() +
                 " HTTP/1.1\r\nHost: " + parsed.host().toLatin1() + "\r\n\r\n");
    QByteArray response;
    while (socket.state() == QAbstractSocket::ConnectedState && socket.waitForReadyRead(5000))
        response += socket.readAll();
    response += socket.readAll();
    const int split = response.indexOf("\r\n\r\n");
    if (!response.startsWith("HTTP/1.1 200") || split < 0)
        return QByteArray();
    return response.mid(split + 4);
}

QString rootElementAndTitle(const QByteArray &xml, QStringList *urls)
{
    QXmlStreamReader reader(xml);
    QString root, title;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (root.isEmpty())
            root = reader.name().toString();
        else if (reader.name() == QLatin1String("Title"))
            title = reader.readElementText();
        else if (reader.name() == QLatin1String("URL"))
            urls->append(reader.readElementText());
    }
    return reader.hasError() ? QString() : root + QLatin1Char(':') + title;
}
// JSON written with ' for " (and \' for \").
QJsonDocument fromJson(const char *text)
{
    return QJsonDocument::fromJson(QByteArray(text).replace('\'', '"'));
}
} // namespace

class TestRemoteCommands : public QObject
{
    Q_OBJECT

private slots:
    void dumpPrintsTheWholeTree()
    {
        TestWorkDir work;
        writeSample(work.path());
        const EditorRun result =
            runEditor({QStringLiteral("dump"), work.filePath(QStringLiteral("menu.xml"))});
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.err, QByteArray());
        QVERIFY(result.out.startsWith("{\"kind\": \"remote\",\n \"numberLabels\": ["));
        QJsonParseError error;
        const QJsonObject json = QJsonDocument::fromJson(result.out, &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(json.keys(), texts({"contacts", "groups", "kind", "numberLabels"}));
        QCOMPARE(json.value(QStringLiteral("numberLabels")).toArray(),
                 QJsonArray::fromStringList(texts({"Office", "Number2", "Number3"})));

        QCOMPARE(json.value(QStringLiteral("groups")).toArray(),
                 fromJson("[{'id': 0, 'parentId': -1, 'name': 'Company', 'isMenu': true, "
                          "'childIds': [1, 4, 7], 'url': ''},"
                          "{'id': 1, 'parentId': 0, 'name': 'Sales Team', 'isMenu': false, "
                          "'childIds': [2, 3], 'url': 'http://198.51.100.1/sales.xml'},"
                          "{'id': 4, 'parentId': 0, 'name': 'Regions', 'isMenu': true, "
                          "'childIds': [5], 'url': 'regions.xml'},"
                          "{'id': 5, 'parentId': 4, 'name': '销售/北 #1', 'isMenu': false, "
                          "'childIds': [6], 'url': 'http://h/north.xml'},"
                          "{'id': 7, 'parentId': 0, 'name': 'Gone', 'isMenu': true, "
                          "'childIds': [], 'url': 'http://h/gone.xml'}]")
                     .array());

        const QJsonArray contacts = json.value(QStringLiteral("contacts")).toArray();
        QCOMPARE(contacts.size(), 3);
        // A number without a label keeps an empty one; extras keep theirs.
        QCOMPARE(contacts.at(0).toObject(),
                 fromJson("{'id': 2, 'name': 'Ann \\'A\\'', 'customPhoto': 'ann.png', 'numbers': "
                          "[{'value': '1001', 'label': 'Office'}, {'value': '2002', 'label': ''}],"
                          "'extras': [{'value': 'B 4', 'label': 'Room'}]}")
                     .object());
        QCOMPARE(contacts.at(2).toObject().value(QStringLiteral("name")).toString(),
                 QStringLiteral("张三"));
    }

    void remoteKindIsProbedFirst()
    {
        TestWorkDir work;
        // Both probes accept this file; the editor takes it as remote.
        writeFile(work.filePath(QStringLiteral("both.xml")),
                  "<x><group display_name=\"G\"/><QuelvoxIPPhoneDirectory><Title>D</Title>"
                  "</QuelvoxIPPhoneDirectory></x>");
        const EditorRun result =
            runEditor({QStringLiteral("dump"), work.filePath(QStringLiteral("both.xml"))});
        QCOMPARE(result.exitCode, 0);
        QVERIFY(result.out.startsWith("{\"kind\": \"remote\""));
        QVERIFY(result.out.contains("\"name\": \"D\", \"isMenu\": false"));
    }

    void info()
    {
        TestWorkDir work;
        writeSample(work.path());
        const QString path = work.filePath(QStringLiteral("menu.xml"));
        const EditorRun result = runEditor({QStringLiteral("info"), path});
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(QString::fromUtf8(result.out),
                 path + QStringLiteral(": remote phonebook\nGroups: 4\n"
                                       "  Company (menu): 3\n"
                                       "    Sales Team: 2\n"
                                       "    Regions (menu): 1\n"
                                       "      销售/北 #1: 1\n"
                                       "    Gone (menu): 0\n"
                                       "Total contacts: 3\n"));
    }

    void convertWritesMenuAndDirectoriesWithTheGivenPrefix_data()
    {
        QTest::addColumn<QString>("prefix");
        QTest::addRow("plain") << "http://192.0.2.5:8080/";
        QTest::addRow("used exactly as given") << "https://phones.example:8443/pb/";
    }

    void convertWritesMenuAndDirectoriesWithTheGivenPrefix()
    {
        QFETCH(QString, prefix);
        TestWorkDir work;
        writeSample(work.path());
        const QString out = work.mkpath(QStringLiteral("out"));
        const EditorRun result =
            runEditor({QStringLiteral("convert"), work.filePath(QStringLiteral("menu.xml")),
                       out + QStringLiteral("/top.xml"), QStringLiteral("--base-url"), prefix});
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.err, QByteArray());
        QCOMPARE(
            QDir(out).entryList(QDir::Files, QDir::Name),
            texts({"RemotePhoneBook_Gone.xml", "RemotePhoneBook_Regions.xml",
                   "RemotePhoneBook_Sales Team.xml", "RemotePhoneBook_销售_北 #1.xml", "top.xml"}));
        const QByteArray top = readAll(out + QStringLiteral("/top.xml"));
        QVERIFY2(top.contains("<URL>" + prefix.toUtf8() + "RemotePhoneBook_Sales%20Team.xml</URL>"),
                 top.constData());
        QVERIFY(readAll(out + QStringLiteral("/RemotePhoneBook_Regions.xml"))
                    .contains("<URL>" + prefix.toUtf8() +
                              "RemotePhoneBook_%E9%94%80%E5%94%AE_%E5%8C%97%20%231.xml</URL>"));
        // Each number keeps its own label through the conversion.
        QVERIFY(readAll(out + QStringLiteral("/RemotePhoneBook_Sales Team.xml"))
                    .contains("<Telephone label=\"Office\">1001</Telephone>\n"
                              "<Telephone>2002</Telephone>\n"));

        // What convert wrote reads back to the same phonebook.
        const EditorRun before =
            runEditor({QStringLiteral("dump"), work.filePath(QStringLiteral("menu.xml"))});
        const EditorRun after =
            runEditor({QStringLiteral("dump"), out + QStringLiteral("/top.xml")});
        QCOMPARE(after.exitCode, 0);
        const auto withoutUrls = [](QByteArray json) {
            QJsonObject object = QJsonDocument::fromJson(json).object();
            QJsonArray groups = object.value(QStringLiteral("groups")).toArray();
            for (int i = 0; i < groups.size(); ++i) {
                QJsonObject group = groups.at(i).toObject();
                group.remove(QStringLiteral("url"));
                groups[i] = group;
            }
            object.insert(QStringLiteral("groups"), groups);
            return object;
        };
        QCOMPARE(withoutUrls(after.out), withoutUrls(before.out));
    }

    void convertTakesTheServersAddressByDefault()
    {
        TestWorkDir work;
        writeSample(work.path());
        work.mkpath(QStringLiteral("app/config"));
        writeFile(work.filePath(QStringLiteral("app/config/Config.ini")), "[user]\nport=8123\n");
        const EditorRun result =
            runEditor({QStringLiteral("convert"), work.filePath(QStringLiteral("menu.xml")),
                       work.filePath(QStringLiteral("top.xml"))});
        QCOMPARE(result.exitCode, 0);
        const QByteArray top = readAll(work.filePath(QStringLiteral("top.xml")));
        const QRegularExpression url(
            QStringLiteral("<URL>http://[0-9.]*:8123/RemotePhoneBook_Regions.xml</URL>"));
        QVERIFY2(url.match(QString::fromUtf8(top)).hasMatch(), top.constData());
    }

    void convertFailures_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::addRow("remote phonebook to csv")
            << texts({"menu.xml", "out.csv"}) << 1
            << "out.csv: a remote phonebook is saved as an .xml file";
        QTest::addRow("missing folder")
            << texts({"menu.xml", "no/such/out.xml"}) << 1 << "no/such/out.xml: cannot be written";
        QTest::addRow("base url without value")
            << texts({"menu.xml", "out.xml", "--base-url"}) << 2 << "--base-url needs a value";
        QTest::addRow("base url twice")
            << texts({"--base-url", "a", "menu.xml", "out.xml", "--base-url", "b"}) << 2
            << "--base-url given twice";
    }

    void convertFailures()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        TestWorkDir work;
        writeSample(work.path());
        args.prepend(QStringLiteral("convert"));
        const EditorRun result = runEditor(args);
        QCOMPARE(result.exitCode, exitCode);
        QVERIFY2(result.err.contains(message.toUtf8()), result.err.constData());
        QCOMPARE(QDir(work.path()).entryList(QDir::Files).size(), 4);
    }

    void savedPhonebookCanBeWalkedOverHttp()
    {
        TestWorkDir work;
        writeSample(work.path());
        work.mkpath(QStringLiteral("target"));
        QProcess serve;
        serve.setProcessEnvironment(headlessEnvironment());
        serve.start(QStringLiteral(QCD_EDITOR_PATH),
                    {QStringLiteral("serve"), QStringLiteral("--address"),
                     QStringLiteral("127.0.0.1"), QStringLiteral("--port"), QStringLiteral("0")});
        QVERIFY(serve.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(serve.canReadLine(), 20000);
        const QString base = QString::fromUtf8(serve.readLine()).trimmed();
        QVERIFY2(base.startsWith(QLatin1String("http://127.0.0.1:")), qPrintable(base));

        const EditorRun converted =
            runEditor({QStringLiteral("convert"), work.filePath(QStringLiteral("menu.xml")),
                       work.filePath(QStringLiteral("target/phonebook.xml")),
                       QStringLiteral("--base-url"), base});
        QCOMPARE(converted.exitCode, 0);

        // From the menu's URL through every item to every directory file.
        QStringList pending{base + QStringLiteral("phonebook.xml")};
        QStringList visited;
        while (!pending.isEmpty()) {
            const QString url = pending.takeFirst();
            QVERIFY2(!visited.contains(url), qPrintable(url));
            const QByteArray body = httpGet(url);
            QVERIFY2(!body.isEmpty(), qPrintable(url));
            QStringList urls;
            visited.append(rootElementAndTitle(body, &urls));
            pending.append(urls);
        }
        serve.terminate();
        QVERIFY(serve.waitForFinished(10000));
        visited.sort();
        QCOMPARE(visited, texts({"QuelvoxIPPhoneDirectory:Sales Team",
                                 "QuelvoxIPPhoneDirectory:销售/北 #1", "QuelvoxIPPhoneMenu:Company",
                                 "QuelvoxIPPhoneMenu:Gone", "QuelvoxIPPhoneMenu:Regions"}));
    }
};

QTEST_GUILESS_MAIN(TestRemoteCommands)
#include "tst_remotecommands.moc"
