// The images compiled into ":/image/": every name the widgets and style sheets ask for is there,
// decodes, is drawn at the size its place shows it, and state pairs really differ.

#include <QDir>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTest>

namespace {

struct Expected
{
    const char *name;
    QSize size;
};

// Sizes are those of the labels and buttons that show the images at their natural size.
const Expected kImages[] = {
    {"new_file.png", {20, 20}},
    {"import_file.png", {20, 20}},
    {"savefile.png", {20, 20}},
    {"history.png", {20, 20}},
    {"setup.png", {20, 20}},
    {"logo.png", {20, 20}},
    {"logo_large.png", {62, 62}},
    {"title_minimize.png", {32, 32}},
    {"title_close.png", {32, 32}},
    {"switch_on.png", {30, 14}},
    {"switch_off.png", {30, 14}},
    {"openhttp.png", {20, 20}},
    {"add group.png", {20, 20}},
    {"add group_click.png", {20, 20}},
    {"add contact.png", {20, 20}},
    {"add contact_click.png", {20, 20}},
    {"more.png", {20, 20}},
    {"more_click.png", {20, 20}},
    {"edit.png", {20, 20}},
    {"edit_click.png", {20, 20}},
    {"copy.png", {20, 20}},
    {"copy_press.png", {20, 20}},
    {"search.png", {20, 20}},
    {"delete.png", {24, 24}},
    {"delete_press.png", {24, 24}},
    {"finish_nor.png", {20, 20}},
    {"finish.png", {20, 20}},
    {"arrow_dow.png", {16, 16}},
    {"arrow_right.png", {16, 16}},
    {"arrow_up.png", {16, 16}},
    {"group.png", {20, 20}},
    {"group_small.png", {20, 20}},
    {"office_number.png", {20, 20}},
    {"mobile_number.png", {20, 20}},
    {"other_number.png", {20, 20}},
    {"auto_divert.png", {20, 20}},
    {"Ring.png", {20, 20}},
    {"account.png", {20, 20}},
    {"check_off.png", {20, 20}},
    {"check_on.png", {20, 20}},
    {"check_no_all.png", {20, 20}},
    {"tic_toast_warn.png", {20, 20}},
    {"tic_toast_success.png", {20, 20}},
    {"ic_toast_fail.png", {20, 20}},
    {"default_image.png", {24, 24}},
    {"default_big_image.png", {90, 90}},
    {"background.png", {1280, 720}},
};

QString imagePath(const QString &name)
{
    return QStringLiteral(":/image/") + name;
}

int visiblePixels(const QImage &image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    int count = 0;
    for (int y = 0; y < argb.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            count += qAlpha(line[x]) > 0 ? 1 : 0;
    }
    return count;
}

} // namespace

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void imageLoads_data();
    void imageLoads();
    void folderHoldsExactlyTheNamedImages();
    void stateVariantsDiffer_data();
    void stateVariantsDiffer();
};

void TestResources::imageLoads_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    for (const Expected &e : kImages)
        QTest::addRow("%s", e.name) << QString::fromLatin1(e.name) << e.size;
}

void TestResources::imageLoads()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);

    const QImage image(imagePath(name));
    QVERIFY2(!image.isNull(), qPrintable(imagePath(name)));
    QCOMPARE(image.size(), size);
    // The slimmest glyph (the minimise bar) paints ten pixels; fewer means a lost drawing.
    QVERIFY2(visiblePixels(image) >= 10, qPrintable(QStringLiteral("%1 is empty").arg(name)));
}

void TestResources::folderHoldsExactlyTheNamedImages()
{
    QStringList expected;
    for (const Expected &e : kImages)
        expected << QString::fromLatin1(e.name);
    expected.sort();
    QCOMPARE(expected.size(), 47);
    QCOMPARE(expected.removeDuplicates(), 0);

    QStringList actual = QDir(QStringLiteral(":/image")).entryList(QDir::Files);
    actual.sort();
    QCOMPARE(actual, expected);
}

void TestResources::stateVariantsDiffer_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    const struct
    {
        const char *row, *first, *second;
    } pairs[] = {
        {"more hover", "more.png", "more_click.png"},
        {"edit hover", "edit.png", "edit_click.png"},
        {"copy hover", "copy.png", "copy_press.png"},
        {"delete press", "delete.png", "delete_press.png"},
        {"add group hover", "add group.png", "add group_click.png"},
        {"add contact hover", "add contact.png", "add contact_click.png"},
        {"finish", "finish_nor.png", "finish.png"},
        {"switch", "switch_off.png", "switch_on.png"},
        {"check off/on", "check_off.png", "check_on.png"},
        {"check on/part", "check_on.png", "check_no_all.png"},
        {"check off/part", "check_off.png", "check_no_all.png"},
        {"toast warn/success", "tic_toast_warn.png", "tic_toast_success.png"},
        {"toast success/fail", "tic_toast_success.png", "ic_toast_fail.png"},
        {"toast warn/fail", "tic_toast_warn.png", "ic_toast_fail.png"},
        {"branch open/closed", "arrow_dow.png", "arrow_right.png"},
        {"branch down/up", "arrow_dow.png", "arrow_up.png"},
    };
    for (const auto &p : pairs)
        QTest::addRow("%s", p.row) << QString::fromLatin1(p.first) << QString::fromLatin1(p.second);
}

// Swapped in place by hover or a dynamic property: same size, so nothing moves, but a
// visible change.
void TestResources::stateVariantsDiffer()
{
    QFETCH(QString, first);
    QFETCH(QString, second);

    const QImage a = QImage(imagePath(first)).convertToFormat(QImage::Format_ARGB32);
    const QImage b = QImage(imagePath(second)).convertToFormat(QImage::Format_ARGB32);
    QVERIFY(!a.isNull());
    QVERIFY(!b.isNull());
    QCOMPARE(a.size(), b.size());
    QVERIFY2(a != b, qPrintable(first + QStringLiteral(" equals ") + second));
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
