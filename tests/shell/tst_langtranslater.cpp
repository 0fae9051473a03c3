#include "langtranslater.h"
#include "testfiles.h"
#include "testworkdir.h"

#include <QFile>
#include <QTest>

namespace {
QString longKey(int length)
{
    QString key;
    for (int i = 0; key.size() < length; ++i)
        key += QChar(QLatin1Char('a' + i % 26));
    return key;
}

const QString open = QStringLiteral("?`");
} // namespace

class TestLangtranslater : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void bucket_data();
    void bucket();
    void mark_data();
    void mark();
    void resolve_data();
    void resolve();
    void longKeysRoundTrip_data();
    void longKeysRoundTrip();
    void scanning();
    void loadingRules();
    void sameFileIsNotReloaded();
    void badFilesDoNotBreakTheTable();

private:
    std::unique_ptr<TestWorkDir> m_work;
    QString m_german;
};

void TestLangtranslater::init()
{
    m_work = std::make_unique<TestWorkDir>();
    const QString folder = m_work->mkpath(QStringLiteral("app/language"));
    m_german = folder + QStringLiteral("/2.GUI.German.lang");
    QByteArray text = "[Name] = Deutsch\n"
                      "\"Save\" = \"Speichern\"\n"
                      "\"Cancel\"=\"Abbrechen\"\n"
                      "\"Local Group\" = \"Lokale Gruppe\"\n"
                      "\"Broken ?`9\" = \"whole\"\n";
    text += "\"" + longKey(150).toLatin1() + "\" = \"lang150\"\n";
    text += "\"" + longKey(255).toLatin1() + "\" = \"lang255\"\n";
    QVERIFY(writeFile(m_german, text));
    Langtranslater::setLanguage(QString()); // forget whatever the previous test loaded
    Langtranslater::setLanguage(m_german);
}

void TestLangtranslater::bucket_data()
{
    // Expected buckets come from an independent evaluation of h = h*33 + signed byte, mod 1459.
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("bucket");
    QTest::addRow("empty") << QString() << 0;
    QTest::addRow("one letter") << QStringLiteral("a") << 97;
    QTest::addRow("Save") << QStringLiteral("Save") << 778;
    QTest::addRow("Cancel") << QStringLiteral("Cancel") << 790;
    QTest::addRow("with space") << QStringLiteral("All Contacts") << 518;
    QTest::addRow("latin-1 high bytes count negative") << QStringLiteral("\u00e9t\u00e9") << 214;
    QTest::addRow("wraps at 32 bits")
        << QStringLiteral("The quick brown fox jumps over the lazy dog") << 854;
}

void TestLangtranslater::bucket()
{
    QFETCH(QString, key);
    QFETCH(int, bucket);
    QCOMPARE(Langtranslater::bucketOf(key), bucket);
}

void TestLangtranslater::mark_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("marked");
    QTest::addRow("short key gets a leading zero")
        << QStringLiteral("Save") << open + QStringLiteral("04Save");
    QTest::addRow("two digits") << QStringLiteral("Local Group")
                                << open + QStringLiteral("11Local Group");
    QTest::addRow("99 characters") << longKey(99) << open + QStringLiteral("99") + longKey(99);
    QTest::addRow("empty stays empty") << QString() << QString();
    QTest::addRow("the opening pair itself") << open << open;
    QTest::addRow("256 characters stay plain") << longKey(256) << longKey(256);
}

void TestLangtranslater::mark()
{
    QFETCH(QString, key);
    QFETCH(QString, marked);
    QCOMPARE(Langtranslater::mark(key), marked);
}

void TestLangtranslater::resolve_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("display");
    const QString save = Langtranslater::mark(QStringLiteral("Save"));
    QTest::addRow("empty") << QString() << QString();
    QTest::addRow("no marker is unchanged")
        << QStringLiteral("plain (3)") << QStringLiteral("plain (3)");
    QTest::addRow("inline marker") << QStringLiteral("Total: ") + save + QStringLiteral(" (3)")
                                   << QStringLiteral("Total: Speichern (3)");
    QTest::addRow("two markers") << save + QStringLiteral("/") +
                                        Langtranslater::mark(QStringLiteral("Cancel"))
                                 << QStringLiteral("Speichern/Abbrechen");
    QTest::addRow("untranslated key shows itself")
        << Langtranslater::mark(QStringLiteral("Nope")) + QStringLiteral("!")
        << QStringLiteral("Nope!");
    QTest::addRow("whole-text marker") << QStringLiteral("`?Cancel") << QStringLiteral("Abbrechen");
    QTest::addRow("whole-text marker, unknown")
        << QStringLiteral("`?Other") << QStringLiteral("Other");
    QTest::addRow("malformed: too few after the pair")
        << QStringLiteral("x?`0") << QStringLiteral("x?`0");
    QTest::addRow("malformed: key runs past the end")
        << QStringLiteral("Total: ?`04Save (3)") + QStringLiteral("?`09Save")
        << QStringLiteral("Total: ?`04Save (3)?`09Save");
    QTest::addRow("malformed text is looked up whole")
        << QStringLiteral("Broken ?`9") << QStringLiteral("whole");
    QTest::addRow("malformed: letters for digits")
        << QStringLiteral("a?`xySave") << QStringLiteral("a?`xySave");
}

void TestLangtranslater::resolve()
{
    QFETCH(QString, text);
    QFETCH(QString, display);
    QCOMPARE(Langtranslater::resolve(text), display);
}

void TestLangtranslater::longKeysRoundTrip_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("display");
    QTest::addRow("100 untranslated") << 100 << longKey(100);
    QTest::addRow("150 translated") << 150 << QStringLiteral("lang150");
    QTest::addRow("255 translated") << 255 << QStringLiteral("lang255");
    QTest::addRow("256 is plain text") << 256 << longKey(256);
}

void TestLangtranslater::longKeysRoundTrip()
{
    QFETCH(int, length);
    QFETCH(QString, display);
    const QString marked = Langtranslater::mark(longKey(length));
    QCOMPARE(Langtranslater::resolve(marked), display);
    // Embedded between other text the key still resolves, and the text around it survives.
    QCOMPARE(Langtranslater::resolve(QStringLiteral("<") + marked + QStringLiteral(">")),
             QStringLiteral("<") + display + QStringLiteral(">"));
    QCOMPARE(Langtranslater::resolve(marked + Langtranslater::mark(QStringLiteral("Save"))),
             display + QStringLiteral("Speichern"));
}

void TestLangtranslater::scanning()
{
    const QString folder = m_work->filePath(QStringLiteral("app/language"));
    QVERIFY(
        writeFile(folder + QStringLiteral("/1.GUI.English.lang"),
                  "\xef\xbb\xbf[Name]=English\n# comment\n[Name]=Second\n")); // UTF-8 mark first
    QVERIFY(writeFile(folder + QStringLiteral("/3.GUI.Empty.lang"), ""));
    QVERIFY(writeFile(folder + QStringLiteral("/x.GUI.NoNumber.lang"), "[Name]=x\n"));
    QVERIFY(writeFile(folder + QStringLiteral("/notes.lang"), "[Name]=notes\n"));
    QVERIFY(writeFile(folder + QStringLiteral("/4.GUI..lang"), "[Name]=empty tag\n"));
    QVERIFY(writeFile(folder + QStringLiteral("/5.GUI.French.txt"), "[Name]=wrong extension\n"));
    Langtranslater::scanLanguages(folder);
    const QList<LangInfo> found = Langtranslater::languages();
    QStringList names, displays;
    for (const LangInfo &info : found) {
        names << info.name;
        displays << info.displayName;
        QCOMPARE(info.path, folder + QLatin1Char('/') + QFileInfo(info.path).fileName());
    }
    QCOMPARE(names, texts({"English", "German", "Empty"}));
    QCOMPARE(displays,
             (QStringList{QStringLiteral("English"), QStringLiteral("Deutsch"), QString()}));

    Langtranslater::scanLanguages(m_work->filePath(QStringLiteral("missing")));
    QVERIFY(Langtranslater::languages().isEmpty());
}

void TestLangtranslater::loadingRules()
{
    const QString path = m_work->filePath(QStringLiteral("app/language/5.GUI.Rules.lang"));
    QVERIFY(writeFile(path, "Save = Sichern\n" // unquoted: ignored
                            "\"Open\" = \"Offnen\"\n"
                            "\"Open\" = \"Second\"\n" // duplicate: first wins
                            "\"Quit\"\n"              // no '='
                            "\"\" = \"empty key\"\n"
                            "\"Empty\" = \"\"\n"
                            "   \"Spaced\"   =   \"Padded\"   \n"
                            "\"A\" = \"B\" = \"C\"\n")); // only the first two parts count
    Langtranslater::setLanguage(path);
    QCOMPARE(Langtranslater::lookup(QStringLiteral("Save")), QStringLiteral("Save"));
    QCOMPARE(Langtranslater::lookup(QStringLiteral("Open")), QStringLiteral("Offnen"));
    QCOMPARE(Langtranslater::lookup(QStringLiteral("Quit")), QStringLiteral("Quit"));
    QCOMPARE(Langtranslater::lookup(QStringLiteral("Empty")), QStringLiteral("Empty"));
    QCOMPARE(Langtranslater::lookup(QStringLiteral("Spaced")), QStringLiteral("Padded"));
    QCOMPARE(Langtranslater::lookup(QStringLiteral("A")), QStringLiteral("B"));
    QCOMPARE(Langtranslater::lookup(QString()), QString());
}

void TestLangtranslater::sameFileIsNotReloaded()
{
    QVERIFY(writeFile(m_german, "\"Save\" = \"Changed\"\n"));
    Langtranslater::setLanguage(m_german);
    QCOMPARE(Langtranslater::lookup(QStringLiteral("Save")), QStringLiteral("Speichern"));
    Langtranslater::setLanguage(QString());
    QCOMPARE(Langtranslater::lookup(QStringLiteral("Save")), QStringLiteral("Save"));
    Langtranslater::setLanguage(m_german);
    QCOMPARE(Langtranslater::lookup(QStringLiteral("Save")), QStringLiteral("Changed"));
}

void TestLangtranslater::badFilesDoNotBreakTheTable()
{
    const QString path = m_work->filePath(QStringLiteral("app/language/6.GUI.Bad.lang"));
    static const char bytes[] = "\xff\xfe\x00\x01=\"\xc3\x28\"=\"\xa0\"\n\"ok\"=\"fine\"\n";
    QByteArray junk(bytes, sizeof bytes - 1);
    for (int i = 0; i < 2000; ++i)
        junk += "=\"\"==\"\n";
    QVERIFY(writeFile(path, junk));
    Langtranslater::setLanguage(path);
    QCOMPARE(Langtranslater::lookup(QStringLiteral("ok")), QStringLiteral("fine"));
    Langtranslater::setLanguage(m_work->filePath(QStringLiteral("app/language/missing.lang")));
    QCOMPARE(Langtranslater::lookup(QStringLiteral("ok")), QStringLiteral("ok"));
    QCOMPARE(Langtranslater::currentPath(),
             m_work->filePath(QStringLiteral("app/language/missing.lang")));
}

QTEST_GUILESS_MAIN(TestLangtranslater)
#include "tst_langtranslater.moc"
