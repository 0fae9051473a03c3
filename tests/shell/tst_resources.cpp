// The images compiled into ":/image/": every name the widgets and style sheets ask for is there,
// decodes, is drawn at the size its place shows it, and state variants really differ.

#include <QDir>
#include <QImage>
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

QImage image(const QString &name)
{
    return QImage(QStringLiteral(":/image/") + name).convertToFormat(QImage::Format_ARGB32);
}

QStringList names(const char *list)
{
    return QString::fromLatin1(list).split(QLatin1Char(','));
}

} // namespace

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void imageLoads_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        for (const auto &group : kImages) {
            for (const QString &name : names(group.names))
                QTest::addRow("%s", qPrintable(name)) << name << group.size;
        }
    }

    void imageLoads()
    {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        const QImage loaded = image(name);
        QCOMPARE(loaded.size(), size);
        // The slimmest glyph (the minimise bar) paints ten pixels; fewer means a lost drawing.
        int visible = 0;
        for (int y = 0; y < loaded.height(); ++y) {
            for (int x = 0; x < loaded.width(); ++x)
                visible += qAlpha(loaded.pixel(x, y)) > 0 ? 1 : 0;
        }
        QVERIFY2(visible >= 10, qPrintable(name));
    }

    void folderHoldsExactlyTheNamedImages()
    {
        QStringList expected;
        for (const auto &group : kImages)
            expected << names(group.names);
        expected.sort();
        QCOMPARE(expected.size(), 47);
        QCOMPARE(expected.removeDuplicates(), 0);
        QStringList actual = QDir(QStringLiteral(":/image")).entryList(QDir::Files);
        actual.sort();
        QCOMPARE(actual, expected);
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
            QTest::addRow("%s", group) << names(group);
    }

    void stateVariantsDiffer()
    {
        QFETCH(QStringList, group);
        for (int i = 0; i < group.size(); ++i) {
            for (int j = i + 1; j < group.size(); ++j) {
                const QImage a = image(group.at(i));
                const QImage b = image(group.at(j));
                QVERIFY(!a.isNull());
                QCOMPARE(a.size(), b.size());
                QVERIFY2(a != b,
                         qPrintable(group.at(i) + QStringLiteral(" equals ") + group.at(j)));
            }
        }
    }
};

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
