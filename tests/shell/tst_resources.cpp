// The images compiled into ":/image/": every one the sources and style sheets name is there and
// paints something, and the variants of one place have one size but differ.

#include "testfiles.h"

#include <QDirIterator>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {

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

class TestResources : public QObject
{
    Q_OBJECT
private slots:
    void namedImagesPaint()
    {
        static const QRegularExpression named(QStringLiteral(":/image/([^\"')]+)"));
        QSet<QString> names;
        const QStringList all = QDir(QStringLiteral(":/image")).entryList(QDir::Files);
        for (const QString &name : all)
            names.insert(name);
        QDirIterator it(QStringLiteral(QCD_SOURCE_DIR),
                        {QStringLiteral("*.cpp"), QStringLiteral("*.h"), QStringLiteral("*.qss")},
                        QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (path.contains(QLatin1String("/tests/")) || path.contains(QLatin1String("/build")))
                continue;
            for (auto m = named.globalMatch(QString::fromUtf8(readAll(path))); m.hasNext();)
                names.insert(m.next().captured(1));
        }
        QVERIFY(!all.isEmpty());
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

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
