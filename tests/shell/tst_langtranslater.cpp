#include "freshstate.h"
#include "shell/langtranslater.h"
#include "testfiles.h"

#include <QTest>

namespace {
QString longKey(int length)
{
    return QString(length, QLatin1Char('k'));
}

const QString open = QStringLiteral("?`");
} // namespace

class TestLangtranslater : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { m_state.reset(); }
    void init()
    {
        m_state = std::make_unique<FreshState>();
        m_german = m_state->filePath(QStringLiteral("app/language/2.GUI.German.lang"));
        QVERIFY(writeFile(m_german, "[Name] = Deutsch\n\"Save\" = \"Speichern\"\n"
                                    "\"Cancel\"=\"Abbrechen\"\n\"Broken ?`9\" = \"whole\"\n\"" +
                                        longKey(255).toLatin1() + "\" = \"lang255\"\n"));
        Langtranslater::setLanguage(m_german);
    }

    void resolve_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("display");
        const QString save = Langtranslater::mark(QStringLiteral("Save"));
        // A marked key between other text resolves, up to the longest key.
        const auto between = [&save](const QString &key) -> QString {
            return QLatin1Char('<') + Langtranslater::mark(key) + save;
        };
        QTest::addRow("99 untranslated")
            << between(longKey(99)) << QLatin1Char('<') + longKey(99) + QStringLiteral("Speichern");
        QTest::addRow("255 translated")
            << between(longKey(255)) << QStringLiteral("<lang255Speichern");
        QTest::addRow("256 stays plain")
            << between(longKey(256))
            << QLatin1Char('<') + longKey(256) + QStringLiteral("Speichern");
        QTest::addRow("empty stays empty") << between(QString()) << QStringLiteral("<Speichern");
        QTest::addRow("no marker is unchanged")
            << QStringLiteral("plain (3)") << QStringLiteral("plain (3)");
        QTest::addRow("two inline markers") << QStringLiteral("Total: ") + save + QLatin1Char('/') +
                                                   Langtranslater::mark(QStringLiteral("Cancel"))
                                            << QStringLiteral("Total: Speichern/Abbrechen");
        QTest::addRow("untranslated key shows itself")
            << Langtranslater::mark(QStringLiteral("Nope")) + QStringLiteral("!")
            << QStringLiteral("Nope!");
        QTest::addRow("whole-text marker")
            << QStringLiteral("`?Cancel") << QStringLiteral("Abbrechen");
        QTest::addRow("malformed: too few after the pair")
            << QStringLiteral("x?`0") << QStringLiteral("x?`0");
        QTest::addRow("malformed: key runs past the end")
            << QStringLiteral("Total: ?`04Save (3)?`09Save")
            << QStringLiteral("Total: ?`04Save (3)?`09Save");
        QTest::addRow("malformed text is looked up whole")
            << QStringLiteral("Broken ?`9") << QStringLiteral("whole");
        QTest::addRow("malformed: letters for digits")
            << QStringLiteral("a?`xySave") << QStringLiteral("a?`xySave");
    }

    void resolve()
    {
        QFETCH(QString, text);
        QFETCH(QString, display);
        QCOMPARE(Langtranslater::resolve(text), display);
    }

    void scanning()
    {
        const QString folder = m_state->filePath(QStringLiteral("app/language"));
        // A UTF-8 mark first; only the first [Name] counts.
        QVERIFY(writeFile(folder + QStringLiteral("/1.GUI.English.lang"),
                          "\xef\xbb\xbf[Name]=English\n# c\n[Name]=2\n"));
        QVERIFY(writeFile(folder + QStringLiteral("/3.GUI.Empty.lang"), ""));
        for (const char *skipped :
             {"x.GUI.NoNumber.lang", "notes.lang", "4.GUI..lang", "5.GUI.Fr.txt"})
            QVERIFY(writeFile(folder + QLatin1Char('/') + QLatin1String(skipped), "[Name]=x\n"));
        Langtranslater::scanLanguages(folder);
        QStringList found;
        for (const LangInfo &info : Langtranslater::languages()) {
            found << info.name + QLatin1Char('=') + info.displayName;
            QCOMPARE(QFileInfo(info.path).absolutePath(), folder);
        }
        QCOMPARE(found, texts({"English=English", "German=Deutsch", "Empty="}));

        Langtranslater::scanLanguages(m_state->filePath(QStringLiteral("missing")));
        QVERIFY(Langtranslater::languages().isEmpty());
    }

    void loadingRules()
    {
        // Bytes that are no text, and a long run of broken lines, do not break the table.
        static const char junk[] = "\xff\xfe\x00\x01=\"\xc3\x28\"=\"\xa0\"\n";
        QByteArray lines(junk, sizeof junk - 1);
        for (int i = 0; i < 2000; ++i)
            lines += "=\"\"==\"\n";
        const QString path = m_state->filePath(QStringLiteral("app/language/5.GUI.Rules.lang"));
        QVERIFY(writeFile(
            path, lines + "Save = Sichern\n" // unquoted: ignored
                          "\"Open\" = \"Offnen\"\n"
                          "\"Open\" = \"Second\"\n" // duplicate: first wins
                          "\"Quit\"\n"              // no '='
                          "\"\" = \"empty key\"\n"
                          "\"Empty\" = \"\"\n"
                          "   \"Spaced\"   =   \"Padded\"   \n"
                          "\"A\" = \"B\" = \"C\"\n" // only the first two parts count
                          "\"\xc3\xa9t\xc3\xa9\" = \"Sommer\"\n")); // high bytes in the hash
        Langtranslater::setLanguage(path);
        QStringList looked;
        for (const char *key :
             {"Save", "Open", "Quit", "Empty", "Spaced", "A", "", "\xc3\xa9t\xc3\xa9"})
            looked << Langtranslater::lookup(QString::fromUtf8(key));
        QCOMPARE(looked, texts({"Save", "Offnen", "Quit", "Empty", "Padded", "B", "", "Sommer"}));
    }

private:
    std::unique_ptr<FreshState> m_state;
    QString m_german;
};

QTEST_GUILESS_MAIN(TestLangtranslater)
#include "tst_langtranslater.moc"
