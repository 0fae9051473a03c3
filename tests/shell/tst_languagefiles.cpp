// Every key the code translates (Langtranslater::mark or lookup of a string literal) is shipped
// in both language files; a key the scan cannot read fails too, so none slips past unseen.

#include "testfiles.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {

// The keys of a language file: the first quoted field of each "key" = "value" line.
QSet<QString> shippedKeys(const QString &fileName)
{
    static const QRegularExpression line(QStringLiteral("^\\s*\"([^\"]+)\"\\s*=\\s*\"[^\"]*\""),
                                         QRegularExpression::MultilineOption);
    const QString text =
        QString::fromUtf8(readAll(QStringLiteral(QCD_SOURCE_DIR "/app/language/") + fileName));
    QSet<QString> keys;
    for (auto it = line.globalMatch(text); it.hasNext();)
        keys.insert(it.next().captured(1));
    return keys;
}

} // namespace

class TestLanguageFiles : public QObject
{
    Q_OBJECT
private slots:
    void sourceKeysAreShipped()
    {
        // A call, then adjacent plain literals (no escapes) closed by "))".
        static const QRegularExpression call(
            QStringLiteral("\\bLangtranslater\\s*::\\s*(?:mark|lookup)\\s*\\(\\s*"
                           "(?:QStringLiteral|QLatin1String)\\s*\\("));
        static const QRegularExpression argument(
            QStringLiteral("((?:\\s*\"[^\"\\\\\\n]*\")+)\\s*\\)\\s*\\)"));
        static const QRegularExpression literal(QStringLiteral("\"([^\"]*)\""));
        static const QRegularExpression comment(QStringLiteral("//[^\\n]*|/\\*[\\s\\S]*?\\*/"));
        const QSet<QString> english = shippedKeys(QStringLiteral("1.GUI.English.lang"));
        const QSet<QString> chinese = shippedKeys(QStringLiteral("2.GUI.Chinese.lang"));
        QVERIFY(!english.isEmpty() && !chinese.isEmpty());

        const QDir root(QStringLiteral(QCD_SOURCE_DIR));
        QStringList problems;
        int uses = 0;
        for (const char *layer : {"shell", "widgets", "dialogs", "http", "data", "ui", "cli"}) {
            QDirIterator it(root.filePath(QLatin1String(layer)),
                            {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString path = it.next();
                // Comment markers inside string literals ("http://") only shorten that line.
                const QString text = QString::fromUtf8(readAll(path)).remove(comment);
                for (auto calls = call.globalMatch(text); calls.hasNext();) {
                    const int end = calls.next().capturedEnd();
                    const QRegularExpressionMatch match =
                        argument.match(text, end, QRegularExpression::NormalMatch,
                                       QRegularExpression::AnchoredMatchOption);
                    const QString where = root.relativeFilePath(path) + QLatin1Char(':') +
                                          text.mid(end).section(QLatin1Char('\n'), 0, 0).left(60);
                    QString key;
                    for (auto parts = literal.globalMatch(match.captured(1)); parts.hasNext();)
                        key += parts.next().captured(1);
                    ++uses;
                    if (!match.hasMatch())
                        problems.append(where + QStringLiteral(": not one plain literal"));
                    else if (!english.contains(key) || !chinese.contains(key))
                        problems.append(where + QStringLiteral(": not in both files"));
                }
            }
        }
        QVERIFY(uses > 0);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    }
};

QTEST_GUILESS_MAIN(TestLanguageFiles)
#include "tst_languagefiles.moc"
