// Guards the shipped language files: every key the code translates is in both files, both files
// load through Langtranslater, and no line of them is silently ignored by the loader.

#include "shell/langtranslater.h"
#include "testfiles.h"
#include "testworkdir.h"

#include <QDirIterator>
#include <QMap>
#include <QPair>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTextCodec>

namespace {

const QString englishFileName = QStringLiteral("1.GUI.English.lang");
const QString chineseFileName = QStringLiteral("2.GUI.Chinese.lang");

struct ScanResult
{
    QList<QPair<QString, QString>> uses; // key, "file:line"
    QStringList unreadable;              // call sites whose argument is not a plain literal
};

struct LanguageFile
{
    bool validUtf8 = false;
    QStringList displayNames;               // values of every "[Name]" line
    QList<QPair<QString, QString>> entries; // key, value in file order
    QSet<QString> keys;
    QStringList malformed; // "line N: text"
};

// Replaces comments by spaces (line breaks kept, so line numbers stay right); string and
// character literals are left alone, so "http://" inside a string is no comment.
QString blankComments(const QString &source)
{
    static const QRegularExpression token(QStringLiteral(
        "\"(?:[^\"\\\\\\n]|\\\\.)*\"|'(?:[^'\\\\\\n]|\\\\.)*'|//[^\\n]*|/\\*[\\s\\S]*?(?:\\*/|$)"));
    QString out = source;
    for (QRegularExpressionMatchIterator it = token.globalMatch(source); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        for (int i = match.capturedStart(); i < match.capturedEnd(); ++i) {
            if (match.captured().startsWith(QLatin1Char('/')) && out.at(i) != QLatin1Char('\n'))
                out[i] = QLatin1Char(' ');
        }
    }
    return out;
}

// Reads the argument of mark(QStringLiteral(...)) from pos: adjacent string literals without
// escapes, closed by "))". False for anything else, which the scan reports.
bool readLiteralArgument(const QString &text, int pos, QString *key)
{
    static const QRegularExpression literal(QStringLiteral("\\G\\s*\"([^\"\\\\\\n]*)\""));
    static const QRegularExpression closing(QStringLiteral("\\G\\s*\\)\\s*\\)"));
    key->clear();
    QRegularExpressionMatch match = literal.match(text, pos);
    if (!match.hasMatch())
        return false;
    for (; match.hasMatch(); match = literal.match(text, pos)) {
        key->append(match.captured(1));
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
    for (QRegularExpressionMatchIterator it = call.globalMatch(text); it.hasNext();) {
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

// Reads a language file with the loader's own rules, and records every line the loader would
// silently skip although it is neither comment, blank nor the display line.
LanguageFile parseLanguageFile(const QString &path)
{
    LanguageFile parsed;
    const QByteArray bytes = readAll(path);
    QTextCodec::ConverterState state;
    QString text =
        QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    parsed.validUtf8 = state.invalidChars == 0;
    if (text.startsWith(QChar(0xfeff)))
        text.remove(0, 1);
    const auto quoted = [](const QString &field) {
        return field.size() >= 3 && field.startsWith(QLatin1Char('"')) &&
               field.endsWith(QLatin1Char('"'));
    };
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString trimmed = lines.at(i).trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
            continue;
        const QStringList parts = trimmed.split(QLatin1Char('='));
        const QString first = parts.at(0).trimmed();
        const QString second = parts.value(1).trimmed();
        if (parts.size() == 2 && first == QLatin1String("[Name]") && !second.isEmpty()) {
            parsed.displayNames.append(second);
        } else if (parts.size() == 2 && quoted(first) && quoted(second) &&
                   !parsed.keys.contains(first.mid(1, first.size() - 2))) { // else a duplicate
            parsed.entries.append(
                {first.mid(1, first.size() - 2), second.mid(1, second.size() - 2)});
            parsed.keys.insert(parsed.entries.last().first);
        } else {
            parsed.malformed.append(QStringLiteral("line %1: %2").arg(i + 1).arg(lines.at(i)));
        }
    }
    return parsed;
}

QString shippedPath(const QString &fileName)
{
    return QStringLiteral(QCD_SOURCE_DIR "/app/language/") + fileName;
}

QSet<QString> placeholders(const QString &text)
{
    static const QRegularExpression marker(QStringLiteral("%\\d+"));
    QSet<QString> found;
    for (QRegularExpressionMatchIterator it = marker.globalMatch(text); it.hasNext();)
        found.insert(it.next().captured());
    return found;
}

bool hasHan(const QString &text)
{
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() >= 0x4e00 && c.unicode() <= 0x9fff; });
}

QString listed(const QString &title, QStringList items)
{
    items.sort();
    return title + QLatin1String("\n  ") + items.join(QLatin1String("\n  "));
}

// Fails with every item listed when the list of problems is not empty.
#define VERIFY_NONE(items, title) QVERIFY2((items).isEmpty(), qPrintable(listed(title, items)))

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
            QVERIFY2(QFileInfo::exists(shippedPath(name)), qPrintable(shippedPath(name)));
            m_files.insert(name, parseLanguageFile(shippedPath(name)));
        }
    }

    void scanner_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<int>("unreadable");
        const QString m = QStringLiteral("Langtranslater::mark(QStringLiteral(");
        const QString l = QStringLiteral("Langtranslater::lookup(QStringLiteral(");
        QTest::addRow("mark and lookup on one line")
            << m + QStringLiteral("\"A\")), ") + l + QStringLiteral("\"B%1\")).arg(n)")
            << texts({"A", "B%1"}) << 0;
        QTest::addRow("wrapped, adjacent literals join")
            << QStringLiteral(
                   "Langtranslater::lookup(\n  QStringLiteral(\n \"Do you \"\n \"save?\" ))")
            << texts({"Do you save?"}) << 0;
        QTest::addRow("comments ignored, slashes in strings are none")
            << QStringLiteral("// ") + m + QStringLiteral("\"Gone\"))\n/* ") + l +
                   QStringLiteral("\"Gone\")) */ u = \"http://x\"; ") + m +
                   QStringLiteral("\"Kept\"))")
            << texts({"Kept"}) << 0;
        QTest::addRow("other calls ignored")
            << QStringLiteral("Langtranslater::resolve(QStringLiteral(\"No\")); "
                              "Langtranslater::mark(name); lookup(QStringLiteral(\"No\"))")
            << QStringList{} << 0;
        QTest::addRow("escape and built key reported")
            << m + QStringLiteral("\"\\\"Hi\\\"\")); ") + m + QStringLiteral("\"Line\") + n)")
            << QStringList{} << 2;
    }

    void scanner()
    {
        QFETCH(QString, source);
        QFETCH(QStringList, keys);
        QFETCH(int, unreadable);
        ScanResult result;
        scanText(source, QStringLiteral("sample.cpp"), &result);
        QStringList found;
        for (const auto &use : result.uses)
            found.append(use.first);
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
        VERIFY_NONE(file.malformed, QStringLiteral("lines the loader would skip:"));
        QCOMPARE(file.displayNames, QStringList{displayName});

        // No value drops or renames a %1 the code fills in.
        QStringList wrong;
        for (const auto &entry : file.entries) {
            if (placeholders(entry.first) != placeholders(entry.second))
                wrong.append(entry.first + QLatin1String(" -> ") + entry.second);
        }
        VERIFY_NONE(wrong, QStringLiteral("placeholders differ:"));
    }

    // Same keys in both; English shows the key itself, Chinese (at most 5% left as is) Han text.
    void keysAndValuesMatch()
    {
        const QSet<QString> english = m_files[englishFileName].keys;
        const QSet<QString> chinese = m_files[chineseFileName].keys;
        QVERIFY(!english.isEmpty());
        QVERIFY2(english == chinese,
                 qPrintable(listed(QStringLiteral("in one file only:"),
                                   ((english - chinese) + (chinese - english)).values())));
        QStringList wrong, same;
        for (const auto &entry : m_files[englishFileName].entries) {
            if (entry.first != entry.second)
                wrong.append(QLatin1String("English: ") + entry.first + QLatin1String(" -> ") +
                             entry.second);
        }
        const auto &entries = m_files[chineseFileName].entries;
        for (const auto &entry : entries) {
            if (entry.first == entry.second)
                same.append(entry.first);
            else if (!hasHan(entry.second))
                wrong.append(QLatin1String("Chinese: ") + entry.first + QLatin1String(" -> ") +
                             entry.second);
        }
        VERIFY_NONE(wrong, QStringLiteral("values:"));
        QVERIFY2(same.size() * 100 <= entries.size() * 5,
                 qPrintable(listed(QStringLiteral("more than 5% left in English:"), same)));
    }

    // Loads both files the way the editor does: every line reaches the table with its value.
    void filesLoadThroughLangtranslater()
    {
        TestWorkDir work;
        const QString folder = work.mkpath(QStringLiteral("app/language"));
        for (const QString &name : {englishFileName, chineseFileName})
            QVERIFY(QFile::copy(shippedPath(name), folder + QLatin1Char('/') + name));

        Langtranslater::scanLanguages();
        const QList<LangInfo> languages = Langtranslater::languages();
        QCOMPARE(languages.size(), 2);
        QCOMPARE(languages.at(0).name + languages.at(0).displayName,
                 QStringLiteral("EnglishEnglish"));
        QCOMPARE(languages.at(1).name + languages.at(1).displayName,
                 QString::fromUtf8("Chinese中文"));
        for (const LangInfo &info : languages) {
            Langtranslater::setLanguage(info.path);
            QStringList wrong;
            for (const auto &entry : m_files[QFileInfo(info.path).fileName()].entries) {
                const QString looked = Langtranslater::lookup(entry.first);
                if (looked != entry.second ||
                    Langtranslater::resolve(Langtranslater::mark(entry.first)) != entry.second)
                    wrong.append(entry.first + QLatin1String(" -> ") + looked);
            }
            VERIFY_NONE(wrong, info.name + QStringLiteral(" loads differently:"));
        }
        QCOMPARE(Langtranslater::lookup(QStringLiteral("Save")), QString::fromUtf8("保存"));
    }

    void sourceKeysAreShipped()
    {
        ScanResult scan;
        const QDir root(QStringLiteral(QCD_SOURCE_DIR));
        int filesScanned = 0;
        for (const char *layer : {"shell", "data", "http", "widgets", "dialogs", "ui", "cli"}) {
            QDirIterator it(root.filePath(QLatin1String(layer)),
                            {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString path = it.next();
                ++filesScanned;
                scanText(QString::fromUtf8(readAll(path)), root.relativeFilePath(path), &scan);
            }
        }
        QVERIFY2(filesScanned > 0, "no source files found under " QCD_SOURCE_DIR);
        VERIFY_NONE(scan.unreadable, QStringLiteral("keys that are not one plain string literal:"));
        QVERIFY2(!scan.uses.isEmpty(), "no translated keys found in the sources");

        QStringList problems;
        for (const auto &use : scan.uses) {
            const QString shown = QLatin1Char('"') + use.first + QLatin1String("\" (") +
                                  use.second + QLatin1Char(')');
            if (use.first.contains(QLatin1Char('=')))
                problems.append(shown + QLatin1String(": a key cannot hold '='"));
            for (const QString &name : {englishFileName, chineseFileName}) {
                if (!m_files[name].keys.contains(use.first))
                    problems.append(shown + QLatin1String(" missing from ") + name);
            }
        }
        problems.removeDuplicates();
        VERIFY_NONE(problems, QStringLiteral("untranslatable keys:"));
    }
};

QTEST_GUILESS_MAIN(TestLanguageFiles)
#include "tst_languagefiles.moc"
