#include "widgets/qvdatamodel.h"
#include "widgets/qvmenu.h"
#include "widgets/qvwidget.h"

#include <QColor>
#include <QImage>
#include <QTest>
#include <QUuid>

namespace {

class CountingWidget : public qvWidget
{
public:
    int changes = 0;
    QVariant last;

protected:
    void OnDataChange(const QUuid &, const QVariant &data) override
    {
        ++changes;
        last = data;
    }
};

} // namespace

class TestItemWidgets : public QObject
{
    Q_OBJECT
private slots:
    void setDataModelConnectsOnce()
    {
        qvDataModel first;
        qvDataModel second;
        CountingWidget widget;
        widget.SetDataModel(&first);
        widget.SetDataModel(&first);
        widget.SetDataModel(nullptr);
        QCOMPARE(widget.GetDataModel(), &first);
        emit first.DataChangedSignal(QUuid::createUuid(), 1);
        QCOMPARE(widget.changes, 1);

        widget.SetDataModel(&second);
        emit first.DataChangedSignal(QUuid::createUuid(), 2);
        QCOMPARE(widget.changes, 1);
        emit second.DataChangedSignal(QUuid::createUuid(), 3);
        QCOMPARE(widget.changes, 2);
        QCOMPARE(widget.last.toInt(), 3);
    }

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
