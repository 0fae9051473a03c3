// What the product's sources name is shipped: every key the code translates (Langtranslater::mark
// or lookup of a string literal) is in both language files, and a key the scan cannot read fails
// too, so none slips past unseen; every image the sources and style sheets name is compiled into
// ":/image/" and paints something, and the variants of one place have one size but differ.

#include "testfiles.h"

#include <QDirIterator>
#include <QImage>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {

// The text of every product source (not the tests) matching the patterns, by relative path.
QMap<QString, QString> productSources(const QStringList &patterns)
{
    const QDir root(QStringLiteral(QCD_SOURCE_DIR));
    QMap<QString, QString> texts;
    QDirIterator it(root.path(), patterns, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = root.relativeFilePath(it.next());
        if (!path.startsWith(QLatin1String("tests/")) && !path.startsWith(QLatin1String("build")))
            texts.insert(path, QString::fromUtf8(readAll(root.filePath(path))));
    }
    return texts;
}

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

QImage image(const QString &name)
{
    return QImage(QStringLiteral(":/image/") + name).convertToFormat(QImage::Format_ARGB32);
}

int visiblePixels(const QImage &image)
{
    int visible = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            visible += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
    }
    return visible;
}

} // namespace

class TestShipped : public QObject
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

        QStringList problems;
        int uses = 0;
        const auto sources = productSources({QStringLiteral("*.h"), QStringLiteral("*.cpp")});
        for (auto source = sources.cbegin(); source != sources.cend(); ++source) {
            // Comment markers inside string literals ("http://") only shorten that line.
            const QString text = QString(source.value()).remove(comment);
            for (auto calls = call.globalMatch(text); calls.hasNext();) {
                const int end = calls.next().capturedEnd();
                const QRegularExpressionMatch match =
                    argument.match(text, end, QRegularExpression::NormalMatch,
                                   QRegularExpression::AnchoredMatchOption);
                const QString where = source.key() + QLatin1Char(':') +
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
        QVERIFY(uses > 0);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    }

    void namedImagesPaint()
    {
        static const QRegularExpression named(QStringLiteral(":/image/([^\"')]+)"));
        const QStringList all = QDir(QStringLiteral(":/image")).entryList(QDir::Files);
        QVERIFY(!all.isEmpty());
        QSet<QString> names(all.cbegin(), all.cend());
        for (const QString &text : productSources(
                 {QStringLiteral("*.cpp"), QStringLiteral("*.h"), QStringLiteral("*.qss")})) {
            for (auto m = named.globalMatch(text); m.hasNext();)
                names.insert(m.next().captured(1));
        }
        QStringList broken;
        for (const QString &name : qAsConst(names)) {
            // The slimmest glyph (the minimise bar) paints ten pixels; fewer means a lost drawing.
            if (visiblePixels(image(name)) < 10)
                broken.append(name);
        }
        QVERIFY2(broken.isEmpty(), qPrintable(broken.join(QLatin1Char('\n'))));
    }

    void stateVariantsDiffer_data()
    {
        // Swapped in place by hover or a dynamic property: same size, so nothing moves, but each
        // variant visibly differs from the others of its group.
        QTest::addColumn<QStringList>("group");
        for (const char *group :
             {"more.png,more_click.png", "edit.png,edit_click.png", "copy.png,copy_press.png",
              "delete.png,delete_press.png", "add group.png,add group_click.png",
              "add contact.png,add contact_click.png", "finish_nor.png,finish.png",
              "switch_off.png,switch_on.png", "check_off.png,check_on.png,check_no_all.png",
              "tic_toast_warn.png,tic_toast_success.png,ic_toast_fail.png",
              "arrow_dow.png,arrow_right.png,arrow_up.png"})
            QTest::addRow("%s", group) << QString::fromLatin1(group).split(QLatin1Char(','));
    }

    void stateVariantsDiffer()
    {
        QFETCH(QStringList, group);
        for (int i = 0; i < group.size(); ++i) {
            for (int j = i + 1; j < group.size(); ++j) {
                const QImage a = image(group.at(i));
                QVERIFY(!a.isNull());
                QCOMPARE(a.size(), image(group.at(j)).size());
                QVERIFY2(a != image(group.at(j)), qPrintable(group.join(QLatin1Char(' '))));
            }
        }
    }
};

QTEST_MAIN(TestShipped)
#include "tst_shipped.moc"
