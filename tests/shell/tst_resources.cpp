// The images compiled into ":/image/": every name the widgets and style sheets ask for is there,
// decodes, is drawn at the size its place shows it, and state pairs really differ.

#include <QDir>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTest>

namespace {

// Sizes are those of the labels and buttons that show the images at their natural size.
const struct
{
    QSize size;
    const char *names; // separated by commas
} kImages[] = {
    {{20, 20},
     "new_file.png,import_file.png,savefile.png,history.png,setup.png,logo.png,openhttp.png,"
     "add group.png,add group_click.png,add contact.png,add contact_click.png,more.png,"
     "more_click.png,edit.png,edit_click.png,copy.png,copy_press.png,search.png,finish_nor.png,"
     "finish.png,group.png,group_small.png,office_number.png,mobile_number.png,"
     "other_number.png,auto_divert.png,Ring.png,account.png,check_off.png,check_on.png,"
     "check_no_all.png,tic_toast_warn.png,tic_toast_success.png,ic_toast_fail.png"},
    {{62, 62}, "logo_large.png"},
    {{32, 32}, "title_minimize.png,title_close.png"},
    {{30, 14}, "switch_on.png,switch_off.png"},
    {{24, 24}, "delete.png,delete_press.png,default_image.png"},
    {{16, 16}, "arrow_dow.png,arrow_right.png,arrow_up.png"},
    {{90, 90}, "default_big_image.png"},
    {{1280, 720}, "background.png"},
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
    for (const auto &group : kImages) {
        for (const QString &name : QString::fromLatin1(group.names).split(QLatin1Char(',')))
            QTest::addRow("%s", qPrintable(name)) << name << group.size;
    }
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
    for (const auto &group : kImages)
        expected << QString::fromLatin1(group.names).split(QLatin1Char(','));
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
