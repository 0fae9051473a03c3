// Guards the shipped language files: every key the code translates is in both files, both files
// load through Langtranslater, and no line of them is silently ignored by the loader.

#include "langtranslater.h"
#include "testfiles.h"
#include "testworkdir.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QMap>
#include <QPair>
#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QTextCodec>

namespace {

const QString englishFileName = QStringLiteral("1.GUI.English.lang");
const QString chineseFileName = QStringLiteral("2.GUI.Chinese.lang");

// Where a key is used in the code, for failure messages.
struct KeyUse
{
    QString key;
    QString where; // "file:line"
};

struct ScanResult
{
    QList<KeyUse> uses;
    QStringList unreadable; // call sites whose argument is not a plain string literal
};

struct LanguageFile
{
    QString path;
    bool validUtf8 = false;
    QStringList displayNames;               // values of every "[Name]" line
    int firstTranslationLine = 0;           // 1-based, 0 when there is none
    int displayLine = 0;                    // 1-based line of the first "[Name]" line
    QList<QPair<QString, QString>> entries; // key, value in file order
    QStringList malformed;                  // "line N: text"
};

bool isIdentifierChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// Replaces comments by spaces (line breaks kept, so line numbers stay right); string and
// character literals are left alone, so "http://" inside a string is no comment.
QString blankComments(const QString &source)
{
    QString out = source;
    const int n = source.size();
    int i = 0;
    while (i < n) {
        const QChar c = source.at(i);
        const QChar next = i + 1 < n ? source.at(i + 1) : QChar();
        if (c == QLatin1Char('/') && next == QLatin1Char('/')) {
            while (i < n && source.at(i) != QLatin1Char('\n'))
                out[i++] = QLatin1Char(' ');
        } else if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
            const int end = source.indexOf(QStringLiteral("*/"), i + 2);
            const int stop = end < 0 ? n : end + 2;
            for (; i < stop; ++i) {
                if (source.at(i) != QLatin1Char('\n'))
                    out[i] = QLatin1Char(' ');
            }
        } else if (c == QLatin1Char('"') && i > 0 && source.at(i - 1) == QLatin1Char('R')) {
            // Raw string: R"delim( ... )delim"
            const int open = source.indexOf(QLatin1Char('('), i + 1);
            if (open < 0)
                return out;
            const QString closing =
                QLatin1Char(')') + source.mid(i + 1, open - i - 1) + QLatin1Char('"');
            const int end = source.indexOf(closing, open + 1);
            i = end < 0 ? n : end + closing.size();
        } else if (c == QLatin1Char('"') ||
                   (c == QLatin1Char('\'') && (i == 0 || !isIdentifierChar(source.at(i - 1))))) {
            // Ordinary string or character literal (a quote after a digit is a digit separator).
            ++i;
            while (i < n && source.at(i) != c && source.at(i) != QLatin1Char('\n')) {
                if (source.at(i) == QLatin1Char('\\'))
                    ++i;
                ++i;
            }
            ++i;
        } else {
            ++i;
        }
    }
    return out;
}

// Reads the argument of mark(QStringLiteral(...)) from pos: one or more adjacent string
// literals, closed by "))", with the escapes \" \\ \n \t \r and \uXXXX decoded. False for
// anything else (a key built at run time, or an escape this reader does not know).
bool readLiteralArgument(const QString &text, int pos, QString *key)
{
    static const QRegularExpression literal(QStringLiteral("\\G\\s*\"((?:[^\"\\\\\\n]|\\\\.)*)\""));
    static const QRegularExpression closing(QStringLiteral("\\G\\s*\\)\\s*\\)"));
    static const QRegularExpression escape(QStringLiteral("\\\\(u[0-9A-Fa-f]{4}|.)"));
    key->clear();
    QRegularExpressionMatch match = literal.match(text, pos);
    if (!match.hasMatch())
        return false;
    for (; match.hasMatch(); match = literal.match(text, pos)) {
        const QString body = match.captured(1);
        int done = 0;
        for (QRegularExpressionMatchIterator it = escape.globalMatch(body); it.hasNext();) {
            const QRegularExpressionMatch e = it.next();
            key->append(body.mid(done, e.capturedStart() - done));
            done = e.capturedEnd();
            const QString code = e.captured(1);
            const int simple = QStringLiteral("\"\\ntr").indexOf(code);
            if (code.size() == 5)
                key->append(QChar(code.midRef(1).toUShort(nullptr, 16)));
            else if (simple >= 0)
                key->append(QStringLiteral("\"\\\n\t\r").at(simple));
            else
                return false;
        }
        key->append(body.mid(done));
        pos = match.capturedEnd();
    }
    return closing.match(text, pos).hasMatch();
}

// Finds every Langtranslater::mark(QStringLiteral("...")) and ...lookup(...) in one source text.
void scanText(const QString &source, const QString &fileName, ScanResult *result)
{
    static const QRegularExpression call(QStringLiteral(
        "\\bLangtranslater\\s*::\\s*(?:mark|lookup)\\s*\\(\\s*(?:QStringLiteral|QLatin1String)"
        "\\s*\\(\\s*"));
    const QString text = blankComments(source);
    QRegularExpressionMatchIterator it = call.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        const int line = text.left(match.capturedStart()).count(QLatin1Char('\n')) + 1;
        const QString where = fileName + QLatin1Char(':') + QString::number(line);
        QString key;
        if (readLiteralArgument(text, match.capturedEnd(), &key))
            result->uses.append({key, where});
        else
            result->unreadable.append(where);
    }
}

ScanResult scanSources(int *filesScanned)
{
    ScanResult result;
    *filesScanned = 0;
    const QDir root(QStringLiteral(QCD_SOURCE_DIR));
    const QStringList layers = {QStringLiteral("shell"),   QStringLiteral("data"),
                                QStringLiteral("http"),    QStringLiteral("widgets"),
                                QStringLiteral("dialogs"), QStringLiteral("ui"),
                                QStringLiteral("cli")};
    for (const QString &layer : layers) {
        QStringList files;
        QDirIterator it(root.filePath(layer), {QStringLiteral("*.h"), QStringLiteral("*.cpp")},
                        QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            files.append(it.next());
        files.sort();
        for (const QString &path : files) {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                continue;
            ++*filesScanned;
            scanText(QString::fromUtf8(file.readAll()), root.relativeFilePath(path), &result);
        }
    }
    return result;
}

// Reads a language file with the loader's own rules, and records every line the loader would
// silently skip although it is neither comment, blank nor the display line.
LanguageFile parseLanguageFile(const QString &path)
{
    LanguageFile parsed;
    parsed.path = path;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return parsed;
    const QByteArray bytes = file.readAll();
    QTextCodec::ConverterState state;
    QString text =
        QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    parsed.validUtf8 = state.invalidChars == 0;
    if (text.startsWith(QChar(0xfeff)))
        text.remove(0, 1);

    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
            continue;
        const QStringList parts = line.split(QLatin1Char('='));
        const QString first = parts.at(0).trimmed();
        const QString second = parts.size() > 1 ? parts.at(1).trimmed() : QString();
        if (parts.size() == 2 && first == QLatin1String("[Name]") && !second.isEmpty()) {
            parsed.displayNames.append(second);
            if (parsed.displayLine == 0)
                parsed.displayLine = i + 1;
            continue;
        }
        const auto quoted = [](const QString &field) {
            return field.size() >= 3 && field.startsWith(QLatin1Char('"')) &&
                   field.endsWith(QLatin1Char('"'));
        };
        if (parts.size() == 2 && quoted(first) && quoted(second)) {
            parsed.entries.append(
                {first.mid(1, first.size() - 2), second.mid(1, second.size() - 2)});
            if (parsed.firstTranslationLine == 0)
                parsed.firstTranslationLine = i + 1;
            continue;
        }
        parsed.malformed.append(QStringLiteral("line %1: %2").arg(i + 1).arg(line));
    }
    return parsed;
}

QString shippedPath(const QString &fileName)
{
    return QStringLiteral(QCD_SOURCE_DIR) + QStringLiteral("/app/language/") + fileName;
}

QStringList keysOf(const LanguageFile &file)
{
    QStringList keys;
    for (const auto &entry : file.entries)
        keys.append(entry.first);
    return keys;
}

QSet<QString> keySet(const LanguageFile &file)
{
    const QStringList keys = keysOf(file);
    return QSet<QString>(keys.begin(), keys.end());
}

QSet<QString> placeholders(const QString &text)
{
    static const QRegularExpression marker(QStringLiteral("%\\d+"));
    QSet<QString> found;
    QRegularExpressionMatchIterator it = marker.globalMatch(text);
    while (it.hasNext())
        found.insert(it.next().captured());
    return found;
}

bool hasHan(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x4e00 && c.unicode() <= 0x9fff)
            return true;
    }
    return false;
}

QString indentedLines(const QStringList &items)
{
    return QLatin1String("\n  ") + items.join(QLatin1String("\n  "));
}

} // namespace

class TestLanguageFiles : public QObject
{
    Q_OBJECT

private:
    QMap<QString, LanguageFile> m_files; // by file name

private slots:
    void initTestCase()
    {
        for (const QString &name : {englishFileName, chineseFileName}) {
            const QString path = shippedPath(name);
            QVERIFY2(QFileInfo::exists(path), qPrintable(path));
            m_files.insert(name, parseLanguageFile(path));
        }
    }

    void scanner_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<int>("unreadable");

        QTest::addRow("mark") << QStringLiteral(
                                     "x = Langtranslater::mark(QStringLiteral(\"Save\"));")
                              << texts({"Save"}) << 0;
        QTest::addRow("lookup wrapped over lines")
            << QStringLiteral("Langtranslater::lookup(\n    QStringLiteral(\n  \"Port:\" ))")
            << texts({"Port:"}) << 0;
        QTest::addRow("escaped quote and backslash")
            << QStringLiteral("Langtranslater::mark(QStringLiteral(\"Say \\\"Hi\\\" \\\\ now\"))")
            << QStringList{QStringLiteral("Say \"Hi\" \\ now")} << 0;
        QTest::addRow("newline and tab escapes")
            << QStringLiteral("Langtranslater::lookup(QStringLiteral(\"a\\nb\\tc\"))")
            << QStringList{QStringLiteral("a\nb\tc")} << 0;
        QTest::addRow("utf-8 text and universal escape")
            << QStringLiteral("Langtranslater::mark(QStringLiteral(\"contact’s \\u2019\"))")
            << QStringList{QString::fromUtf8("contact\xe2\x80\x99s \xe2\x80\x99")} << 0;
        QTest::addRow("unknown escape is reported")
            << QStringLiteral("Langtranslater::mark(QStringLiteral(\"\\x41\"))") << QStringList{}
            << 1;
        QTest::addRow("adjacent literals join")
            << QStringLiteral("Langtranslater::lookup(QStringLiteral(\"Do you want \"\n"
                              "                                     \"to save?\"))")
            << texts({"Do you want to save?"}) << 0;
        QTest::addRow("two on one line")
            << QStringLiteral("f(Langtranslater::mark(QStringLiteral(\"A\")), "
                              "Langtranslater::lookup(QStringLiteral(\"B\")));")
            << texts({"A", "B"}) << 0;
        QTest::addRow("line comment ignored")
            << QStringLiteral("// Langtranslater::mark(QStringLiteral(\"Gone\"))\n")
            << QStringList{} << 0;
        QTest::addRow("block comment ignored")
            << QStringLiteral("/* Langtranslater::lookup(QStringLiteral(\"Gone\")) */ "
                              "Langtranslater::lookup(QStringLiteral(\"Kept\"))")
            << texts({"Kept"}) << 0;
        QTest::addRow("slashes inside a string are no comment")
            << QStringLiteral("u = \"http://x\"; Langtranslater::mark(QStringLiteral(\"Kept\"))")
            << texts({"Kept"}) << 0;
        QTest::addRow("other calls ignored")
            << QStringLiteral("Langtranslater::resolve(QStringLiteral(\"No\")); "
                              "Langtranslater::mark(name); lookup(QStringLiteral(\"No\"))")
            << QStringList{} << 0;
        QTest::addRow("filled in after the call")
            << QStringLiteral("Langtranslater::lookup(QStringLiteral(\"Number%1\")).arg(n)")
            << texts({"Number%1"}) << 0;
        QTest::addRow("built key is reported")
            << QStringLiteral("Langtranslater::mark(QStringLiteral(\"Line\") + n)") << QStringList{}
            << 1;
    }

    void scanner()
    {
        QFETCH(QString, source);
        QFETCH(QStringList, keys);
        QFETCH(int, unreadable);
        ScanResult result;
        scanText(source, QStringLiteral("sample.cpp"), &result);
        QStringList found;
        for (const KeyUse &use : result.uses)
            found.append(use.key);
        QCOMPARE(found, keys);
        QCOMPARE(result.unreadable.size(), unreadable);
    }

    void linesAreWellFormed_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("displayName");
        QTest::addRow("English") << englishFileName << QStringLiteral("English");
        QTest::addRow("Chinese") << chineseFileName << QString::fromUtf8("中文");
    }

    void linesAreWellFormed()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, displayName);
        const LanguageFile &file = m_files[fileName];
        QVERIFY2(file.validUtf8, "not valid UTF-8");
        QVERIFY2(file.malformed.isEmpty(),
                 qPrintable(QStringLiteral("lines the loader would skip:") +
                            indentedLines(file.malformed)));
        QCOMPARE(file.displayNames, QStringList{displayName});
        QVERIFY2(file.displayLine < file.firstTranslationLine,
                 "the display line must come before the translations");

        // No key twice, and no value that drops or renames a %1 the code fills in.
        QSet<QString> seen;
        QStringList duplicates;
        QStringList wrong;
        for (const auto &entry : file.entries) {
            if (seen.contains(entry.first))
                duplicates.append(entry.first);
            seen.insert(entry.first);
            if (placeholders(entry.first) != placeholders(entry.second))
                wrong.append(entry.first + QLatin1String(" -> ") + entry.second);
        }
        QVERIFY2(duplicates.isEmpty(),
                 qPrintable(QStringLiteral("duplicated keys:") + indentedLines(duplicates)));
        QVERIFY2(wrong.isEmpty(),
                 qPrintable(QStringLiteral("placeholders differ:") + indentedLines(wrong)));
    }

    void sameKeySet()
    {
        const QSet<QString> english = keySet(m_files[englishFileName]);
        const QSet<QString> chinese = keySet(m_files[chineseFileName]);
        QStringList onlyEnglish = (english - chinese).values();
        QStringList onlyChinese = (chinese - english).values();
        onlyEnglish.sort();
        onlyChinese.sort();
        QVERIFY2(onlyEnglish.isEmpty(), qPrintable(QStringLiteral("missing from ") +
                                                   chineseFileName + indentedLines(onlyEnglish)));
        QVERIFY2(onlyChinese.isEmpty(), qPrintable(QStringLiteral("missing from ") +
                                                   englishFileName + indentedLines(onlyChinese)));
        QVERIFY(!english.isEmpty());
    }

    void englishValuesAreTheKeys()
    {
        QStringList differing;
        for (const auto &entry : m_files[englishFileName].entries) {
            if (entry.first != entry.second)
                differing.append(entry.first + QLatin1String(" -> ") + entry.second);
        }
        QVERIFY2(differing.isEmpty(),
                 qPrintable(QStringLiteral("English values differ from keys:") +
                            indentedLines(differing)));
    }

    void chineseValuesAreTranslated()
    {
        const auto &entries = m_files[chineseFileName].entries;
        QVERIFY(!entries.isEmpty());
        QStringList same;
        QStringList withoutHan;
        for (const auto &entry : entries) {
            if (entry.first == entry.second)
                same.append(entry.first);
            else if (!hasHan(entry.second))
                withoutHan.append(entry.first + QLatin1String(" -> ") + entry.second);
        }
        QVERIFY2(same.size() * 100 <= entries.size() * 5,
                 qPrintable(QStringLiteral("more than 5% left in English:") + indentedLines(same)));
        QVERIFY2(withoutHan.isEmpty(),
                 qPrintable(QStringLiteral("changed but without Chinese text:") +
                            indentedLines(withoutHan)));
    }

    // Loads both files from a working folder the way the editor does and checks that every
    // translation line reaches the table with the value the file gives.
    void filesLoadThroughLangtranslater()
    {
        TestWorkDir work;
        const QString folder = work.mkpath(QStringLiteral("app/language"));
        for (const QString &name : {englishFileName, chineseFileName})
            QVERIFY(QFile::copy(shippedPath(name), folder + QLatin1Char('/') + name));

        Langtranslater::scanLanguages();
        const QList<LangInfo> languages = Langtranslater::languages();
        QCOMPARE(languages.size(), 2);
        QCOMPARE(languages.at(0).name, QStringLiteral("English"));
        QCOMPARE(languages.at(0).displayName, QStringLiteral("English"));
        QCOMPARE(languages.at(1).name, QStringLiteral("Chinese"));
        QCOMPARE(languages.at(1).displayName, QString::fromUtf8("中文"));

        for (const LangInfo &info : languages) {
            Langtranslater::setLanguage(info.path);
            QCOMPARE(Langtranslater::currentPath(), info.path);
            const LanguageFile &file = m_files[QFileInfo(info.path).fileName()];
            QVERIFY(!file.entries.isEmpty());
            QStringList wrong;
            for (const auto &entry : file.entries) {
                const QString looked = Langtranslater::lookup(entry.first);
                const QString resolved = Langtranslater::resolve(Langtranslater::mark(entry.first));
                if (looked != entry.second || resolved != entry.second)
                    wrong.append(entry.first + QLatin1String(" -> ") + looked);
            }
            QVERIFY2(wrong.isEmpty(), qPrintable(info.name + QStringLiteral(" loads differently:") +
                                                 indentedLines(wrong)));
        }
        QCOMPARE(Langtranslater::lookup(QStringLiteral("Save")), QString::fromUtf8("保存"));
    }

    void sourceKeysAreShipped()
    {
        int filesScanned = 0;
        const ScanResult scan = scanSources(&filesScanned);
        QVERIFY2(filesScanned > 0, "no source files found under " QCD_SOURCE_DIR);
        QVERIFY2(scan.unreadable.isEmpty(),
                 qPrintable(QStringLiteral("keys that are not one plain string literal:") +
                            indentedLines(scan.unreadable)));
        QVERIFY2(!scan.uses.isEmpty(), "no translated keys found in the sources");

        const QMap<QString, QSet<QString>> shipped = {
            {englishFileName, keySet(m_files[englishFileName])},
            {chineseFileName, keySet(m_files[chineseFileName])}};
        QStringList problems;
        QSet<QString> reported;
        for (const KeyUse &use : scan.uses) {
            if (reported.contains(use.key))
                continue;
            const QString shown =
                QLatin1Char('"') + use.key + QLatin1String("\" (") + use.where + QLatin1Char(')');
            if (use.key.contains(QLatin1Char('=')) || use.key.contains(QLatin1Char('\n'))) {
                problems.append(shown + QLatin1String(": a key cannot hold '=' or a line break"));
                reported.insert(use.key);
                continue;
            }
            for (auto it = shipped.cbegin(); it != shipped.cend(); ++it) {
                if (!it.value().contains(use.key)) {
                    problems.append(shown + QLatin1String(" missing from ") + it.key());
                    reported.insert(use.key);
                }
            }
        }
        QVERIFY2(problems.isEmpty(),
                 qPrintable(QStringLiteral("untranslatable keys:") + indentedLines(problems)));
    }
};

QTEST_GUILESS_MAIN(TestLanguageFiles)
#include "tst_languagefiles.moc"
