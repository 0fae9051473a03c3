#include "widgets/qvdatamodel.h"
#include "widgets/qvlistwidgetdelegate.h"
#include "widgets/qvmenu.h"
#include "widgets/qvwidget.h"
#include "viewtestsupport.h"

#include <QColor>
#include <QImage>
#include <QLabel>
#include <QTest>
#include <QUuid>
#include <QWidgetAction>

#include <memory>

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

class NoWidgetDelegate : public qvViewItemDelegate
{
public:
    qvCreateItemWidgetFunc GetCreateFunc(const QVariant &) override { return nullptr; }
};

} // namespace

class TestItemWidgets : public QObject
{
    Q_OBJECT
private slots:
    void setDataModelConnectsOnce();
    void delegateCreatesThroughCreator();
    void menuPaintsPanelAndShadow_data();
    void menuPaintsPanelAndShadow();
    void menuTextAction();
};

void TestItemWidgets::setDataModelConnectsOnce()
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

void TestItemWidgets::delegateCreatesThroughCreator()
{
    NoWidgetDelegate none;
    QVERIFY(!none.CreateItemWidget(QStringLiteral("A:x")));
    QCOMPARE(none.GetExpandState(QVariant(), true), true);
    QVERIFY(none.GetCreateFuncTypeKey(&CreateTestWidgetA).isEmpty());

    TestListDelegate delegate;
    std::unique_ptr<qvViewItemWidget> widget(delegate.CreateItemWidget(QStringLiteral("B:x")));
    QCOMPARE(static_cast<TestItemWidget *>(widget.get())->kind(), QLatin1Char('B'));
    QVERIFY(!widget->parent());
    QVERIFY(!delegate.CreateItemWidget(QStringLiteral("none")));
    QCOMPARE(delegate.GetItemTypeKey(QStringLiteral("A:1")), QStringLiteral("TestDelegate#A"));
    QCOMPARE(delegate.GetItemTypeKey(QStringLiteral("B:1")), QStringLiteral("TestDelegate#B"));
    QVERIFY(delegate.GetItemTypeKey(QStringLiteral("none")).isEmpty());
}

void TestItemWidgets::menuPaintsPanelAndShadow_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QString>("expect"); // white, clear, shadow

    QTest::addRow("panel edge") << QPoint(11, 50) << "white";
    QTest::addRow("inside rounded corner") << QPoint(15, 15) << "white";
    QTest::addRow("cut corner") << QPoint(10, 10) << "shadow";
    QTest::addRow("outer outline") << QPoint(1, 50) << "shadow";
    QTest::addRow("beyond the shadow") << QPoint(199, 50) << "clear";
}

void TestItemWidgets::menuPaintsPanelAndShadow()
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
        QVERIFY2(pixel.alpha() > 0 && pixel.alpha() < 60, qPrintable(pixel.name(QColor::HexArgb)));
        QVERIFY(pixel.blue() > pixel.red()); // the bluish grey of the shadow
        // Its alpha falls off outwards.
        QVERIFY(image.pixelColor(9, 50).alpha() > image.pixelColor(5, 50).alpha());
        QVERIFY(image.pixelColor(5, 50).alpha() > image.pixelColor(1, 50).alpha());
    }
}

void TestItemWidgets::menuTextAction()
{
    qvMenu menu(nullptr, QStringLiteral("qvMenu"));
    QWidgetAction *action = menu.AddTextAction(QStringLiteral("Save as"));
    QCOMPARE(action->parent(), &menu);
    QVERIFY(menu.actions().contains(action));
    auto *label = qobject_cast<QLabel *>(action->defaultWidget());
    QVERIFY(label);
    QCOMPARE(label->text(), QStringLiteral("Save as"));
}

QTEST_MAIN(TestItemWidgets)
#include "tst_qvitemwidgets.moc"
