#include "widgets/qvmenu.h"

#include <QColor>
#include <QImage>
#include <QTest>

class TestItemWidgets : public QObject
{
    Q_OBJECT
private slots:
    void menuPaintsPanelAndShadow_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QString>("expect"); // white, clear, shadow

        QTest::addRow("panel edge") << QPoint(11, 50) << "white";
        QTest::addRow("inside rounded corner") << QPoint(15, 15) << "white";
        QTest::addRow("cut corner") << QPoint(10, 10) << "shadow";
        QTest::addRow("outer outline") << QPoint(1, 50) << "shadow";
        QTest::addRow("beyond the shadow") << QPoint(199, 50) << "clear";
    }

    void menuPaintsPanelAndShadow()
    {
        QFETCH(QPoint, point);
        QFETCH(QString, expect);
        qvMenu menu(nullptr, QStringLiteral("qvMenu"));
        menu.resize(200, 100);
        const QImage image = menu.grab().toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(image.size(), QSize(200, 100));
        const QColor pixel = image.pixelColor(point);
        if (expect == QLatin1String("white")) {
            QCOMPARE(pixel, QColor(Qt::white));
        } else if (expect == QLatin1String("clear")) {
            QCOMPARE(pixel.alpha(), 0);
        } else {
            QVERIFY2(pixel.alpha() > 0 && pixel.alpha() < 60,
                     qPrintable(pixel.name(QColor::HexArgb)));
            QVERIFY(pixel.blue() > pixel.red()); // the bluish grey of the shadow
            // Its alpha falls off outwards.
            QVERIFY(image.pixelColor(9, 50).alpha() > image.pixelColor(5, 50).alpha());
            QVERIFY(image.pixelColor(5, 50).alpha() > image.pixelColor(1, 50).alpha());
        }
    }
};

QTEST_MAIN(TestItemWidgets)
#include "tst_qvitemwidgets.moc"
