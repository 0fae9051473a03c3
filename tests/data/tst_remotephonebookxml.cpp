#include "data/remotedirectory.h"
#include "testfiles.h"
#include "testworkdir.h"

#include <QtTest>

// Menu and directory files: exact layouts written, what the reader accepts, file names and URLs,
// number labels, and saved menus re-pointed at a new server address. Failed saves and hostile
// files: tst_savefaults and tst_hostileinputs.
class TestRemotePhonebookXml : public QObject
{
    Q_OBJECT

private:
    const QString baseUrl = QStringLiteral("http://192.0.2.10:80/");
    static void writeAll(const QString &path, const QByteArray &bytes)
    {
        QVERIFY2(writeFile(path, bytes), qPrintable(path));
    }
    static QByteArray menu(const QByteArray &inner)
    {
        return "<QuelvoxIPPhoneMenu>" + inner + "</QuelvoxIPPhoneMenu>";
    }
    static QByteArray directory(const QByteArray &inner)
    {
        return "<QuelvoxIPPhoneDirectory>" + inner + "</QuelvoxIPPhoneDirectory>";
    }
    static QStringList filesIn(const QString &folder)
    {
        return QDir(folder).entryList(
            QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    }
    // Root with "Sales" (Ann, as in the documented example) and an empty "Support".
    static void buildExample(RemoteDirectory &dir)
    {
        dir.resetToRoot();
        RemoteGroup *sales = dir.addGroup(0);
        sales->name = QStringLiteral("Sales");
        dir.addGroup(0)->name = QStringLiteral("Support");
        RemoteContact *ann = nullptr;
        dir.addContact(sales->id, &ann);
        ann->name = QStringLiteral("Ann Example");
        ann->numbers = {{QStringLiteral("1001"), QStringLiteral("Office")},
                        {QStringLiteral("2002"), QStringLiteral("Mobile")},
                        {QString(), QString()}};
        ann->extras = {{QStringLiteral("B 4"), QStringLiteral("Room")}};
    }
    static QStringList groupNames(const RemoteDirectory &dir)
    {
        QStringList names;
        for (int id : dir.groupIds())
            names.append(dir.groupName(id));
        return names;
    }

private slots:
    void savesRootWithSeveralGroupsInTheDocumentedLayout()
    {
        TestWorkDir work;
        RemoteDirectory dir;
        buildExample(dir);
        QVERIFY(dir.isChanged());
        QVERIFY(dir.saveFile(work.filePath(QStringLiteral("book.xml")), baseUrl));
        QVERIFY(!dir.isChanged());
        QCOMPARE(filesIn(work.path()),
                 (texts({"RemotePhoneBook_Sales.xml", "RemotePhoneBook_Support.xml", "book.xml"})));
        QCOMPARE(readAll(work.filePath(QStringLiteral("book.xml"))),
                 QByteArray("<QuelvoxIPPhoneMenu>\n<Title>Root Directory</Title>\n"
                            "<MenuItem>\n<Name>Sales</Name>\n"
                            "<URL>http://192.0.2.10:80/RemotePhoneBook_Sales.xml</URL>\n"
                            "</MenuItem>\n<MenuItem>\n<Name>Support</Name>\n"
                            "<URL>http://192.0.2.10:80/RemotePhoneBook_Support.xml</URL>\n"
                            "</MenuItem>\n</QuelvoxIPPhoneMenu>\n"));
        QCOMPARE(readAll(work.filePath(QStringLiteral("RemotePhoneBook_Sales.xml"))),
                 QByteArray("<QuelvoxIPPhoneDirectory>\n<Title>Sales</Title>\n"
                            "<DirectoryEntry>\n<Name>Ann Example</Name>\n"
                            "<Telephone label=\"Office\">1001</Telephone>\n"
                            "<Telephone label=\"Mobile\">2002</Telephone>\n"
                            "<Telephone></Telephone>\n<Extra label=\"Room\">B 4</Extra>\n"
                            "</DirectoryEntry>\n</QuelvoxIPPhoneDirectory>\n"));
        // An empty group is a menu without items.
        QCOMPARE(readAll(work.filePath(QStringLiteral("RemotePhoneBook_Support.xml"))),
                 QByteArray("<QuelvoxIPPhoneMenu>\n<Title>Support</Title>\n"
                            "</QuelvoxIPPhoneMenu>\n"));
    }

    // A number is written with the phonebook's label for its place unless that is the default
    // one ("Number2"), else with its own; with none where the phonebook's label is empty.
    void singleTopGroupGoesToTheChosenPathAlone()
    {
        TestWorkDir work;
        RemoteDirectory dir;
        dir.initDefaultGroup();
        RemoteContact *contact = nullptr;
        dir.addContact(1, &contact);
        contact->numbers = {{QStringLiteral("1"), QStringLiteral("own1")},
                            {QStringLiteral("2"), QStringLiteral("own2")},
                            {QStringLiteral("3"), QStringLiteral("own3")},
                            {QStringLiteral("4"), QStringLiteral("own4")}};
        dir.setNumberLabels(QString(), QStringLiteral("Number2"), QStringLiteral("Home"));
        QVERIFY(dir.saveFile(work.filePath(QStringLiteral("one.xml")), baseUrl));
        QCOMPARE(filesIn(work.path()), texts({"one.xml"}));
        QCOMPARE(readAll(work.filePath(QStringLiteral("one.xml"))),
                 QByteArray("<QuelvoxIPPhoneDirectory>\n<Title>Default</Title>\n"
                            "<DirectoryEntry>\n<Name>Name</Name>\n<Telephone>1</Telephone>\n"
                            "<Telephone label=\"own2\">2</Telephone>\n"
                            "<Telephone label=\"Home\">3</Telephone>\n"
                            "<Telephone label=\"own4\">4</Telephone>\n"
                            "</DirectoryEntry>\n</QuelvoxIPPhoneDirectory>\n"));
        // Read back, the directory file sits under a new root.
        RemoteDirectory back;
        QVERIFY(back.importFile(work.filePath(QStringLiteral("one.xml"))));
        QCOMPARE(groupNames(back), (texts({"Root Directory", "Default"})));
        QVERIFY(!back.findGroup(1)->isMenu);
        QCOMPARE(back.contactCount(1), 1);
        QVERIFY(!back.isChanged());
    }

    void fileNamesAndUrls_data()
    {
        // Files are named RemotePhoneBook_<stem>.xml; no URL stems: the URLs use the file stems.
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("stems");
        QTest::addColumn<QStringList>("urlStems");
        QTest::addRow("duplicates numbered by id")
            << texts({"Sales", "Sales", "Sales"}) << texts({"Sales", "Sales_1", "Sales_2"})
            << QStringList();
        QTest::addRow("space, hash, percent, question mark")
            << texts({"Sales Team #1 100%?"}) << texts({"Sales Team #1 100%_"})
            << texts({"Sales%20Team%20%231%20100%25_"});
        QTest::addRow("chinese letters in UTF-8")
            << texts({"销售"}) << texts({"销售"}) << texts({"%E9%94%80%E5%94%AE"});
        QTest::addRow("slashes, reserved and control characters")
            << texts({"a/b\\c:d*e\"f<g>h|i", "../up", "a\tb\nc"})
            << texts({"a_b_c_d_e_f_g_h_i", ".._up", "a_b_c"}) << QStringList();
        QTest::addRow("replaced names stay unique")
            << texts({"a/b", "a_b"}) << texts({"a_b", "a_b_1"}) << QStringList();
        QTest::addRow("names differing only in case")
            << texts({"Sales", "SALES"}) << texts({"Sales", "SALES_1"}) << QStringList();
        QTest::addRow("group named like the chosen file")
            << texts({"x", "top"}) << texts({"x", "top_1"}) << QStringList();
    }

    void fileNamesAndUrls()
    {
        QFETCH(QStringList, names);
        QFETCH(QStringList, stems);
        QFETCH(QStringList, urlStems);
        TestWorkDir work;
        const QString folder = work.mkpath(QStringLiteral("book"));
        RemoteDirectory dir;
        dir.resetToRoot();
        for (const QString &name : names)
            dir.addGroup(0)->name = name;
        // A second top-level group keeps the root as the top file.
        dir.addGroup(0)->name = QStringLiteral("Zz");
        const QString top = folder + QStringLiteral("/RemotePhoneBook_top.xml");
        QVERIFY(dir.saveFile(top, baseUrl));
        QStringList expectedFiles = texts({"RemotePhoneBook_top.xml", "RemotePhoneBook_Zz.xml"});
        for (const QString &stem : stems)
            expectedFiles << QStringLiteral("RemotePhoneBook_") + stem + QStringLiteral(".xml");
        expectedFiles.sort();
        QCOMPARE(filesIn(folder), expectedFiles);
        QCOMPARE(filesIn(work.path()), texts({"book"}));
        const QByteArray menu = readAll(top);
        for (const QString &stem : urlStems.isEmpty() ? stems : urlStems)
            QVERIFY2(menu.contains("<URL>" + baseUrl.toUtf8() + "RemotePhoneBook_" + stem.toUtf8() +
                                   ".xml</URL>"),
                     menu.constData());

        // Read back: every group found again under its own name.
        RemoteDirectory back;
        QVERIFY(back.importFile(top));
        QStringList expectedNames = names;
        expectedNames.prepend(QStringLiteral("Root Directory"));
        expectedNames.append(QStringLiteral("Zz"));
        QCOMPARE(groupNames(back), expectedNames);
    }

    // A tree two menus deep, with text that needs escaping, read back as it was saved.
    void roundTrip()
    {
        TestWorkDir work;
        RemoteDirectory dir;
        dir.resetToRoot();
        RemoteGroup *region = dir.addGroup(0);
        region->name = QStringLiteral("Region");
        const int regionId = region->id;
        dir.addGroup(regionId)->name = QStringLiteral("Office A");
        dir.addGroup(0)->name = QStringLiteral("R&D <lab>");
        RemoteContact *contact = nullptr;
        QCOMPARE(dir.addContact(regionId + 1, &contact), PhonebookResult::Done);
        contact->name = QStringLiteral("\"Bob\" & 'Al' <x>\r\nline");
        contact->customPhoto = QStringLiteral("photos/bob.png");
        contact->numbers = {{QStringLiteral("1 < 2"), QStringLiteral("a\"b\tc")},
                            {QString(), QString()},
                            {QStringLiteral("3"), QString()},
                            {QStringLiteral("4"), QStringLiteral("Fax")}};
        contact->extras = {{QStringLiteral("bell\x07"), QString()}};
        const QString path = work.filePath(QStringLiteral("tree.xml"));
        QVERIFY(dir.saveFile(path, baseUrl));
        QVERIFY(readAll(work.filePath(QStringLiteral("RemotePhoneBook_Office A.xml")))
                    .contains("<Custom_photo>photos/bob.png</Custom_photo>\n"));

        RemoteDirectory back;
        QVERIFY(back.importFile(path));
        QCOMPARE(groupNames(back), (texts({"Root Directory", "Region", "Office A", "R&D <lab>"})));
        QVERIFY(back.findGroup(1)->isMenu);
        QVERIFY(!back.findGroup(2)->isMenu);
        QCOMPARE(back.findGroup(2)->parentId, 1);
        QCOMPARE(back.findGroup(1)->url, baseUrl + QStringLiteral("RemotePhoneBook_Region.xml"));
        const RemoteContact *read = back.findContact(3);
        QVERIFY(read);
        QCOMPARE(read->name, contact->name);
        QCOMPARE(read->customPhoto, contact->customPhoto);
        QCOMPARE(read->numbers, contact->numbers);
        // A character XML cannot carry is dropped instead of making the file unreadable.
        QCOMPARE(read->extras, (QVector<LabeledValue>{{QStringLiteral("bell"), QString()}}));
    }

    void readsIndentedFilesWithDeclarationAndUnknownElements()
    {
        TestWorkDir work;
        writeAll(work.filePath(QStringLiteral("menu.XML")),
                 "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                 "<QuelvoxIPPhoneMenu>\r\n"
                 "    <Prompt>ignored</Prompt>\r\n"
                 "    <SoftKeyItem><Name>Not a group</Name><URL>x.xml</URL></SoftKeyItem>\r\n"
                 "    <MenuItem>\r\n"
                 "        <URL>http://other.example:8080/sub/d.xml</URL>\r\n"
                 "        <Name>Item name wins when last</Name>\r\n"
                 "    </MenuItem>\r\n"
                 "    <Title>Top</Title>\r\n"
                 "</QuelvoxIPPhoneMenu>\r\n");
        writeAll(work.filePath(QStringLiteral("d.xml")),
                 "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                 "<QuelvoxIPPhoneDirectory>\n"
                 "  <Title>Dir</Title>\n"
                 "  <DirectoryEntry>\n"
                 "    <Telephone label=\"Office\">1</Telephone>\n"
                 "    <Unknown><Name>no</Name></Unknown>\n"
                 "    <Name>J\xF6rg</Name>\n"
                 "    <Extra>e</Extra>\n"
                 "    <Telephone>2</Telephone>\n"
                 "  </DirectoryEntry>\n"
                 "</QuelvoxIPPhoneDirectory>\n");
        RemoteDirectory dir;
        QVERIFY(dir.importFile(work.filePath(QStringLiteral("menu.XML"))));
        QCOMPARE(groupNames(dir), (texts({"Top", "Item name wins when last"})));
        const RemoteContact *contact = dir.findContact(2);
        QVERIFY(contact);
        QCOMPARE(contact->name, QStringLiteral("J\u00f6rg"));
        QCOMPARE(contact->numbers,
                 (QVector<LabeledValue>{{QStringLiteral("1"), QStringLiteral("Office")},
                                        {QStringLiteral("2"), QString()}}));
        QCOMPARE(contact->extras, (QVector<LabeledValue>{{QStringLiteral("e"), QString()}}));
    }

    void menuItemUrlsAreReadBesideTheMenu_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("group");
        QTest::addColumn<int>("contacts");
        QTest::addRow("another host") << "http://198.51.100.7:8080/RemotePhoneBook_A.xml"
                                      << "A" << 1;
        QTest::addRow("percent-encoded") << "http://h/RemotePhoneBook_%41.xml"
                                         << "A" << 1;
        QTest::addRow("old file name with a literal percent")
            << "http://h/RemotePhoneBook_50%41.xml"
            << "Half" << 1;
        // The item keeps its own name, empty, and nothing is read from outside the folder.
        QTest::addRow("missing file") << "http://h/RemotePhoneBook_Gone.xml"
                                      << "n" << 0;
        QTest::addRow("escaped slashes do not leave the folder") << "http://h/..%2Fsecret.xml"
                                                                 << "n" << 0;
    }

    void menuItemUrlsAreReadBesideTheMenu()
    {
        QFETCH(QString, url);
        QFETCH(QString, group);
        QFETCH(int, contacts);
        TestWorkDir work;
        const QString folder = work.mkpath(QStringLiteral("book"));
        // Files of these names one level up must not be the ones read.
        writeAll(work.filePath(QStringLiteral("RemotePhoneBook_A.xml")),
                 directory("<Title>Wrong</Title><DirectoryEntry/>"));
        writeAll(work.filePath(QStringLiteral("secret.xml")),
                 directory("<Title>Secret</Title><DirectoryEntry/>"));
        writeAll(folder + QStringLiteral("/RemotePhoneBook_A.xml"),
                 directory("<Title>A</Title><DirectoryEntry/>"));
        writeAll(folder + QStringLiteral("/RemotePhoneBook_50%41.xml"),
                 directory("<Title>Half</Title><DirectoryEntry/>"));
        writeAll(folder + QStringLiteral("/menu.xml"),
                 menu("<MenuItem><Name>n</Name><URL>" + url.toUtf8() + "</URL></MenuItem>"));
        RemoteDirectory dir;
        QVERIFY(dir.importFile(folder + QStringLiteral("/menu.xml")));
        QCOMPARE(dir.groupName(1), group);
        QCOMPARE(dir.findGroup(1)->url, url);
        QCOMPARE(dir.contactCount(-1), contacts);
    }

    void numberLabelsDerivedOverTheWholeImport_data()
    {
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("second");
        QTest::addColumn<QStringList>("labels");
        const QByteArray omh = "<DirectoryEntry><Telephone label=\"Office\"/><Telephone label="
                               "\"Mobile\"/><Telephone label=\"Home\"/></DirectoryEntry>";
        QTest::addRow("all share three labels")
            << omh << omh << texts({"Office", "Mobile", "Home"});
        QTest::addRow("one differs in the second file")
            << omh
            << QByteArray("<DirectoryEntry><Telephone label=\"Office\"/><Telephone label="
                          "\"Work\"/></DirectoryEntry>")
            << texts({"Office", "Number2", "Home"});
        QTest::addRow("first contact without numbers")
            << QByteArray("<DirectoryEntry/>") << omh << texts({"Number1", "Number2", "Number3"});
    }

    void numberLabelsDerivedOverTheWholeImport()
    {
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, second);
        QFETCH(QStringList, labels);
        TestWorkDir work;
        writeAll(
            work.filePath(QStringLiteral("menu.xml")),
            menu("<MenuItem><URL>a.xml</URL></MenuItem><MenuItem><URL>b.xml</URL></MenuItem>"));
        writeAll(work.filePath(QStringLiteral("a.xml")), directory(first));
        writeAll(work.filePath(QStringLiteral("b.xml")), directory(second));
        RemoteDirectory dir;
        // Labels of an earlier phonebook do not leak into this one.
        dir.setNumberLabels(QStringLiteral("Old1"), QStringLiteral("Old2"), QStringLiteral("Old3"));
        QVERIFY(dir.importFile(work.filePath(QStringLiteral("menu.xml"))));
        QString l1, l2, l3;
        dir.getNumberLabels(l1, l2, l3);
        QCOMPARE((QStringList{l1, l2, l3}), labels);
        // Saved and read again, every number keeps its own label.
        const QString out = work.mkpath(QStringLiteral("out")) + QStringLiteral("/menu.xml");
        QVERIFY(dir.saveFile(out, baseUrl));
        RemoteDirectory back;
        QVERIFY(back.importFile(out));
        QCOMPARE(back.contactIds(), dir.contactIds());
        for (const int id : dir.contactIds())
            QCOMPARE(back.findContact(id)->numbers, dir.findContact(id)->numbers);
    }

    // Saved menus re-pointed at a new server address: only the host part of an http URL changes,
    // and a changed menu is rewritten as UTF-8 with a declaration and indentation; every other
    // file stays as it was, its time stamp included.
    void updateTargetUrls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("after"); // empty: left alone
        const auto item = [](const QByteArray &url) {
            return menu("<MenuItem><URL>" + url + "</URL></MenuItem>");
        };
        const auto rewritten = [](const QByteArray &url) -> QByteArray {
            return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<QuelvoxIPPhoneMenu>\n"
                   "    <MenuItem>\n        <URL>" +
                   url + "</URL>\n    </MenuItem>\n</QuelvoxIPPhoneMenu>\n";
        };
        QTest::addRow("host without port")
            << "m.xml" << item("http://phones/a.xml") << rewritten("http://10.0.0.2:81/a.xml");
        QTest::addRow("old host inside the file name")
            << "m.xml" << item("http://h:80/RemotePhoneBook_h:80.xml")
            << rewritten("http://10.0.0.2:81/RemotePhoneBook_h:80.xml");
        QTest::addRow("escaped name kept as written")
            << "m.xml" << item("http://192.0.2.10:80/RemotePhoneBook_%E9%94%80%20x.xml")
            << rewritten("http://10.0.0.2:81/RemotePhoneBook_%E9%94%80%20x.xml");
        QTest::addRow("another encoding declared, other schemes untouched")
            << "m.XML"
            << QByteArray("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><QuelvoxIPPhoneMenu>"
                          "<Title>K\xF6ln</Title><MenuItem><Name>Sales</Name>"
                          "<URL>http://192.0.2.10:80/RemotePhoneBook_Sales.xml</URL></MenuItem>"
                          "<MenuItem><URL>ftp://h/x.xml</URL></MenuItem></QuelvoxIPPhoneMenu>")
            << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<QuelvoxIPPhoneMenu>\n"
                          "    <Title>K\xC3\xB6ln</Title>\n"
                          "    <MenuItem>\n"
                          "        <Name>Sales</Name>\n"
                          "        <URL>http://10.0.0.2:81/RemotePhoneBook_Sales.xml</URL>\n"
                          "    </MenuItem>\n"
                          "    <MenuItem>\n"
                          "        <URL>ftp://h/x.xml</URL>\n"
                          "    </MenuItem>\n"
                          "</QuelvoxIPPhoneMenu>\n");
        QTest::addRow("directory file")
            << "dir.xml"
            << directory("<Title>T</Title><DirectoryEntry><Name><URL>http://192.0.2.1:1/x</URL>"
                         "</Name></DirectoryEntry>")
            << QByteArray();
        QTest::addRow("malformed")
            << "bad.xml" << QByteArray("<QuelvoxIPPhoneMenu><URL>http://a/") << QByteArray();
    }

    void updateTargetUrls()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, after);
        TestWorkDir work;
        const QString path = work.filePath(name);
        QVERIFY(writeFile(path, content));
        const QDateTime before = QFileInfo(path).lastModified();
        QVERIFY(RemoteDirectory::updateTargetUrls(work.path(), QStringLiteral("10.0.0.2"), 81));
        QCOMPARE(readAll(path), after.isEmpty() ? content : after);
        if (after.isEmpty())
            QCOMPARE(QFileInfo(path).lastModified(), before);
        QCOMPARE(filesIn(work.path()), QStringList{name});
    }
};

QTEST_GUILESS_MAIN(TestRemotePhonebookXml)
#include "tst_remotephonebookxml.moc"
