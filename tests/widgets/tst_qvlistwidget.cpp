#include "qvlistdatamodel.h"
#include "qvlistwidget.h"
#include "qvlistwidgetitem.h"
#include "qvwidget.h"
#include "viewtestsupport.h"

#include <QPointer>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

constexpr int RowHeight = 30; // rows of key A
constexpr int ViewHeight = 300;

QList<QVariant> valuesA(int count, const QString &prefix = QStringLiteral("A:"))
{
    QList<QVariant> values;
    values.reserve(count);
    for (int i = 0; i < count; ++i)
        values.append(QString(prefix + QString::number(i)));
    return values;
}

// A list whose viewport is exactly 10 rows of key A high.
struct ListFixture
{
    explicit ListFixture(int rows, bool innerScrollBar = false)
        : list(nullptr, QStringLiteral("qvListWidget"), innerScrollBar)
    {
        model.GetDataList()->append(valuesA(rows));
        list.setFrameShape(QFrame::NoFrame);
        list.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list.SetItemSizeValue(QStringList{
            QStringLiteral("qmap"), QStringLiteral("TestDelegate#A, 30,\n TestDelegate#B,45")});
        list.resize(200, ViewHeight);
        list.SetDelegate(&delegate);
        list.SetModel(&model);
        list.show();
    }

    // Rows that carry an item widget, in order.
    QList<int> attached() const
    {
        QList<int> rows;
        for (int r = 0; r < list.count(); ++r) {
            if (list.GetItemWidget(r))
                rows.append(r);
        }
        return rows;
    }
    TestItemWidget *widgetAt(int row) const
    {
        return static_cast<TestItemWidget *>(list.GetItemWidget(row));
    }
    void scrollTo(int value) { list.verticalScrollBar()->setValue(value); }

    qvListDataModel model;
    TestListDelegate delegate;
    qvListWidget list;
};

QList<int> range(int first, int last)
{
    QList<int> rows;
    for (int r = first; r <= last; ++r)
        rows.append(r);
    return rows;
}

} // namespace

class TestListWidget : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void windowAfterLoad_data();
    void windowAfterLoad();
    void scrollingMovesTheWindow_data();
    void scrollingMovesTheWindow();
    void scrollingKeepsWidgetsStillInView();
    void keyEndScrollsToLastRows();
    void insertAboveWindowKeepsWidgets();
    void insertPastEndUsesTheAppendedRow();
    void removeRowsAboveWindow();
    void removeRowInsideWindow();
    void typeKeyChange_data();
    void typeKeyChange();
    void typeChangeOutsideWindowCreatesNoWidget();
    void resetWithFewerRows();
    void resetWithMoreRowsFollowsNewTypes();
    void innerScrollBarShowsAndHides();
    void clicksReachViewAndRelay();
    void releasedWidgetNoLongerRelays();
    void sameModelTwiceDoesNothing();
    void itemSizeFromStyleSheet();
    void rowWithoutWidgetKeepsItsSpace();
    void modelDestroyedBeforeView();
    void traceLines_data();
    void traceLines();
};

void TestListWidget::init()
{
    TestItemWidget::live = 0;
    TestItemWidget::created = 0;
}

void TestListWidget::windowAfterLoad_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<QList<int>>("expected");
    QTest::addRow("10000 rows") << 10000 << range(0, 9);
    QTest::addRow("fewer rows than fit") << 4 << range(0, 3);
    QTest::addRow("empty") << 0 << QList<int>();
}

void TestListWidget::windowAfterLoad()
{
    QFETCH(int, rows);
    QFETCH(QList<int>, expected);
    ListFixture f(rows);
    QVERIFY(QTest::qWaitForWindowExposed(&f.list));
    QTRY_COMPARE(f.attached(), expected);
    for (int r : expected) {
        QCOMPARE(f.widgetAt(r)->GetRow(), r);
        QCOMPARE(f.widgetAt(r)->lastData, QStringLiteral("A:%1").arg(r));
        QCOMPARE(f.list.visualItemRect(f.list.item(r)).height(), RowHeight);
    }
    flushDeferredDeletes();
    QCOMPARE(TestItemWidget::live, expected.size());
}

void TestListWidget::scrollingMovesTheWindow_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addRow("two rows down") << 60 << 2 << 11;
    QTest::addRow("half a row") << 15 << 0 << 10;
    QTest::addRow("far down") << 150000 << 5000 << 5009;
    QTest::addRow("to the end") << 10000 * RowHeight - ViewHeight << 9990 << 9999;
}

void TestListWidget::scrollingMovesTheWindow()
{
    QFETCH(int, value);
    QFETCH(int, first);
    QFETCH(int, last);
    ListFixture f(10000);
    QVERIFY(QTest::qWaitForWindowExposed(&f.list));
    QTRY_COMPARE(f.attached(), range(0, 9));
    f.scrollTo(value);
    QCOMPARE(f.list.verticalScrollBar()->value(), value);
    QCOMPARE(f.attached(), range(first, last));
    QCOMPARE(f.list.GetCacheStart(), first);
    QCOMPARE(f.list.GetCacheEnd(), last);
    for (int r = first; r <= last; ++r) {
        QCOMPARE(f.widgetAt(r)->GetRow(), r);
        // Each widget covers its row exactly.
        QCOMPARE(f.widgetAt(r)->geometry(), f.list.visualItemRect(f.list.item(r)));
        QVERIFY(f.widgetAt(r)->isVisible());
    }
    flushDeferredDeletes();
    QCOMPARE(TestItemWidget::live, last - first + 1);
}

void TestListWidget::scrollingKeepsWidgetsStillInView()
{
    ListFixture f(1000);
    QVERIFY(QTest::qWaitForWindowExposed(&f.list));
    QTRY_COMPARE(f.attached(), range(0, 9));
    const int createdBefore = TestItemWidget::created;
    QList<QPointer<TestItemWidget>> before;
    QList<int> setDataBefore;
    for (int r = 0; r <= 9; ++r) {
        before.append(f.widgetAt(r));
        setDataBefore.append(f.widgetAt(r)->setDataCalls);
    }
    // Six single steps of 10 px: two rows leave at the top, two enter at the bottom.
    for (int i = 0; i < 6; ++i)
        f.list.verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(f.list.verticalScrollBar()->value(), 60);
    QCOMPARE(f.attached(), range(2, 11));
    for (int r = 2; r <= 9; ++r) {
        QCOMPARE(f.widgetAt(r), before.at(r).data());
        QCOMPARE(f.widgetAt(r)->setDataCalls, setDataBefore.at(r));
    }
    QCOMPARE(before.at(0)->releaseCalls, 1);
    QCOMPARE(TestItemWidget::created, createdBefore + 2);
    flushDeferredDeletes();
    QVERIFY(before.at(0).isNull());
    QVERIFY(before.at(1).isNull());
    QCOMPARE(TestItemWidget::live, 10);
}

void TestListWidget::keyEndScrollsToLastRows()
{
    ListFixture f(500);
    QVERIFY(QTest::qWaitForWindowExposed(&f.list));
    f.list.setFocus();
    QTest::keyClick(&f.list, Qt::Key_End);
    QCOMPARE(f.list.currentRow(), 499);
    QTRY_COMPARE(f.attached(), range(490, 499));
    QTest::keyClick(&f.list, Qt::Key_Home);
    QTRY_COMPARE(f.attached(), range(0, 9));
}

void TestListWidget::insertAboveWindowKeepsWidgets()
{
    ListFixture f(1000);
    QVERIFY(QTest::qWaitForWindowExposed(&f.list));
    f.scrollTo(100 * RowHeight);
    QCOMPARE(f.attached(), range(100, 109));
    QList<TestItemWidget *> before;
    for (int r = 100; r <= 109; ++r)
        before.append(f.widgetAt(r));

    QVERIFY(f.model.InsertRow(5, QStringLiteral("A:new")));
    // Same pixel offset: rows 100..109 now show what was 99..108.
    QCOMPARE(f.list.count(), 1001);
    QCOMPARE(f.attached(), range(100, 109));
    for (int r = 101; r <= 109; ++r) {
        QCOMPARE(f.widgetAt(r), before.at(r - 101));
        QCOMPARE(f.widgetAt(r)->GetRow(), r);
    }
    QCOMPARE(f.widgetAt(100)->lastData, QStringLiteral("A:99"));
    QCOMPARE(before.last()->releaseCalls, 1);
    flushDeferredDeletes();
    QCOMPARE(TestItemWidget::live, 10);

    TestItemWidget *top = f.widgetAt(100);
    QVERIFY(f.model.InsertRows(0, valuesA(3, QStringLiteral("A:x"))));
    QCOMPARE(f.list.count(), 1004);
    QCOMPARE(f.attached(), range(100, 109));
    QCOMPARE(f.widgetAt(103), top);
    QCOMPARE(f.widgetAt(103)->GetRow(), 103);
    flushDeferredDeletes();
    QCOMPARE(TestItemWidget::live, 10);
}

void TestListWidget::insertPastEndUsesTheAppendedRow()
{
    ListFixture f(3);
    QVERIFY(QTest::qWaitForWindowExposed(&f.list));
    QVERIFY(f.model.InsertRow(8, QStringLiteral("B:tail")));
    QCOMPARE(f.list.count(), 4);
    QCOMPARE(f.list.GetListItem(3)->GetTypeKey(), QStringLiteral("TestDelegate#B"));
    QCOMPARE(f.list.visualItemRect(f.list.item(3)).height(), 45);
    QCOMPARE(f.widgetAt(3)->kind(), QLatin1Char('B'));
    QCOMPARE(f.widgetAt(3)->lastData, QStringLiteral("B:tail"));

    QVERIFY(f.model.InsertRows(50, {QStringLiteral("A:t1"), QStringLiteral("B:t2")}));
    QCOMPARE(f.list.count(), 6);
    QCOMPARE(f.list.GetListItem(5)->GetTypeKey(), QStringLiteral("TestDelegate#B"));
    QCOMPARE(f.widgetAt(4)->lastData, QStringLiteral("A:t1"));
}

void TestListWidget::removeRowsAboveWindow()
{
    ListFixture f(100);
    QVERIFY(QTest::qWaitForWindowExposed(&f.list));
    f.scrollTo(5 * RowHeight);
    QCOMPARE(f.attached(), range(5, 14));
    QList<TestItemWidget *> before;
    for (int r = 5; r <= 14; ++r)
        before.append(f.widgetAt(r));

    QVERIFY(f.model.RemoveRows(2, 4));
    QCOMPARE(f.list.count(), 97);
    // The old rows 8..14 are now 5..11 and keep their widgets; 12..14 are new.
    QCOMPARE(f.attached(), range(5, 14));
    for (int r = 5; r <= 11; ++r) {
        QCOMPARE(f.widgetAt(r), before.at(r - 2));
        QCOMPARE(f.widgetAt(r)->GetRow(), r);
    }
    QCOMPARE(f.widgetAt(12)->lastData, QStringLiteral("A:15"));
    flushDeferredDeletes();
    QCOMPARE(TestItemWidget::live, 10);
}

void TestListWidget::removeRowInsideWindow()
{
    ListFixture f(100);
    QVERIFY(QTest::qWaitForWindowExposed(&f.list));
    QTRY_COMPARE(f.attached(), range(0, 9));
    QPointer<TestItemWidget> removed = f.widgetAt(3);
    TestItemWidget *below = f.widgetAt(4);
    QVERIFY(f.model.RemoveRow(3));
    QCOMPARE(f.list.count(), 99);
    QCOMPARE(f.attached(), range(0, 9));
    QCOMPARE(f.widgetAt(3), below);
    QCOMPARE(f.widgetAt(3)->GetRow(), 3);
    QCOMPARE(f.widgetAt(9)->lastData, QStringLiteral("A:10"));
    flushDeferredDeletes();
    QVERIFY(removed.isNull());
    QCOMPARE(TestItemWidget::live, 10);
}

void TestListWidget::typeKeyChange_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("replaced");
    QTest::addColumn<int>("height");
    QTest::addRow("other type key") << "B:3" << true << 45;
    QTest::addRow("same type key") << "A:changed" << false << RowHeight;
}

void TestListWidget::typeKeyChange()
{
    QFETCH(QString, value);
    QFETCH(bool, replaced);
    QFETCH(int, height);
    ListFixture f(50);
    QVERIFY(QTest::qWaitForWindowExposed(&f.list));
    QTRY_COMPARE(f.attached(), range(0, 9));
    f.list.setCurrentRow(3);
    QSignalSpy currentChanged(&f.list, &QListWidget::currentRowChanged);
    QPointer<TestItemWidget> old = f.widgetAt(3);
    const int callsBefore = old->setDataCalls;

    QVERIFY(f.model.SetData(3, value));
    TestItemWidget *now = f.widgetAt(3);
    QVERIFY(now);
    QCOMPARE(now->lastData, value);
    QCOMPARE(now->GetRow(), 3);
    QCOMPARE(f.list.visualItemRect(f.list.item(3)).height(), height);
    QCOMPARE(f.list.currentRow(), 3);
    QCOMPARE(currentChanged.count(), 0);
    if (replaced) {
        QVERIFY(now != old);
        QCOMPARE(now->kind(), QLatin1Char('B'));
        QCOMPARE(f.list.GetListItem(3)->GetTypeKey(), QStringLiteral("TestDelegate#B"));
        QCOMPARE(old->releaseCalls, 1);
        flushDeferredDeletes();
        QVERIFY(old.isNull());
    } else {
        QCOMPARE(now, old.data());
        QCOMPARE(now->setDataCalls, callsBefore + 1);
    }
    QCOMPARE(f.attached(), range(0, f.attached().last()));
}

void TestListWidget::typeChangeOutsideWindowCreatesNoWidget()
{
    ListFixture f(1000);
    QVERIFY(QTest::qWaitForWindowExposed(&f.list));
    QTRY_COMPARE(f.attached(), range(0, 9));
    QVERIFY(f.model.SetData(500, QStringLiteral("B:500")));
    QCOMPARE(f.list.GetListItem(500)->GetTypeKey(), QStringLiteral("TestDelegate#B"));
    QCOMPARE(f.attached(), range(0, 9));
    // It gets its widget when it comes into view.
    f.scrollTo(495 * RowHeight);
    QVERIFY(f.attached().contains(500));
    QCOMPARE(f.widgetAt(500)->kind(), QLatin1Char('B'));
}

void TestListWidget::resetWithFewerRows()
{
    ListFixture f(50);
    QVERIFY(QTest::qWaitForWindowExposed(&f.list));
    QTRY_COMPARE(f.attached(), range(0, 9));
    QList<QPointer<TestItemWidget>> before;
    for (int r = 0; r <= 9; ++r)
        before.append(f.widgetAt(r));
    QSignalSpy reset(&f.model, &qvListDataModel::ResetModelSignal);

    f.model.BeginResetModel();
    f.model.Clear();
    f.model.AppendRows(valuesA(20, QStringLiteral("A:n")));
    QCOMPARE(f.list.count(), 50); // nothing reached the view yet
    f.model.EndResetModel();

    QCOMPARE(reset.count(), 1);
    QCOMPARE(f.list.count(), 20);
    QCOMPARE(f.attached(), range(0, 9));
    for (int r = 0; r <= 9; ++r) {
        QVERIFY(f.widgetAt(r) != before.at(r).data());
        QCOMPARE(f.widgetAt(r)->lastData, QStringLiteral("A:n%1").arg(r));
    }
    flushDeferredDeletes();
    for (const auto &old : before)
        QVERIFY(old.isNull());
    QCOMPARE(TestItemWidget::live, 10);
}

void TestListWidget::resetWithMoreRowsFollowsNewTypes()
{
    ListFixture f(3);
    QVERIFY(QTest::qWaitForWindowExposed(&f.list));
    f.model.BeginResetModel();
    f.model.Clear();
    f.model.AppendRows({QStringLiteral("B:0"), QStringLiteral("A:1"), QStringLiteral("A:2"),
                        QStringLiteral("B:3")});
    f.model.EndResetModel();
    QCOMPARE(f.list.count(), 4);
    // Row 0 kept its list item but now holds a B value.
    QCOMPARE(f.list.GetListItem(0)->GetTypeKey(), QStringLiteral("TestDelegate#B"));
    QCOMPARE(f.list.visualItemRect(f.list.item(0)).height(), 45);
    QCOMPARE(f.widgetAt(0)->kind(), QLatin1Char('B'));
    QCOMPARE(f.widgetAt(3)->kind(), QLatin1Char('B'));
}

void TestListWidget::innerScrollBarShowsAndHides()
{
    ListFixture f(11, true);
    QVERIFY(QTest::qWaitForWindowExposed(&f.list));
    qvWidget *container = f.list.GetInnerScrollBarContainer();
    QVERIFY(container);
    QCOMPARE(container->objectName(), QStringLiteral("ListInsideScrollBarWidget"));
    QCOMPARE(f.list.verticalScrollBar()->objectName(), QStringLiteral("ListInsideScrollBar"));
    QCOMPARE(f.list.verticalScrollBar()->parentWidget(), container);

    // 11 rows are one too many for the view.
    QTRY_VERIFY(container->isVisible());
    // It floats over the rows' right edge instead of taking room beside them.
    QCOMPARE(f.list.viewport()->width(), f.list.width());
    QVERIFY(container->geometry().right() <= f.list.width());
    QVERIFY(container->geometry().left() > f.list.width() / 2);
    // The overlay bar still scrolls the rows.
    f.list.verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
    QCOMPARE(f.attached(), range(1, 10));

    f.model.RemoveRow(10); // 10 rows: exactly the view's height
    QTRY_VERIFY(!container->isVisible());
    f.model.AppendRow(QStringLiteral("A:again"));
    QTRY_VERIFY(container->isVisible());
    f.model.RemoveRows(2, 9);
    QTRY_VERIFY(!container->isVisible());
}

void TestListWidget::clicksReachViewAndRelay()
{
    ListFixture f(50);
    QVERIFY(QTest::qWaitForWindowExposed(&f.list));
    QTRY_COMPARE(f.attached(), range(0, 9));
    QSignalSpy current(&f.list, &QListWidget::currentRowChanged);
    QSignalSpy pressed(&f.list, &qvListWidget::ItemPressedSignals);
    QSignalSpy clicked(&f.list, &qvListWidget::ItemClickedSignals);
    QSignalSpy doubleClicked(&f.list, &qvListWidget::ItemDoubleClickedSignals);
    QSignalSpy rightClicked(&f.list, &qvListWidget::ItemRightMouseClickedSignals);
    QSignalSpy operation(&f.list, &qvListWidget::ItemUserOperationSignals);

    TestItemWidget *row2 = f.widgetAt(2);
    QTest::mouseClick(row2, Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
    QCOMPARE(current.count(), 1);
    QCOMPARE(current.at(0).at(0).toInt(), 2);
    QCOMPARE(pressed.count(), 1);
    QCOMPARE(pressed.at(0).at(0).toInt(), 2);
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.at(0).at(0).toInt(), 2);

    QTest::mouseDClick(f.widgetAt(4), Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
    QCOMPARE(doubleClicked.count(), 1);
    QCOMPARE(doubleClicked.at(0).at(0).toInt(), 4);
    QCOMPARE(f.list.currentRow(), 4);

    QTest::mouseClick(f.widgetAt(6), Qt::RightButton, Qt::NoModifier, QPoint(20, 10));
    QCOMPARE(rightClicked.count(), 1);
    QCOMPARE(rightClicked.at(0).at(0).toInt(), 6);

    f.widgetAt(1)->emitUserOperation(QStringLiteral("payload"));
    QCOMPARE(operation.count(), 1);
    QCOMPARE(operation.at(0).at(0).toInt(), 7);
    QCOMPARE(operation.at(0).at(1).toString(), QStringLiteral("payload"));

    // A row scrolled in later gets a widget that knows whether it is current.
    f.list.setCurrentRow(12);
    f.scrollTo(5 * RowHeight);
    QVERIFY(f.widgetAt(12)->current);
    QVERIFY(!f.widgetAt(11)->current);
}

void TestListWidget::releasedWidgetNoLongerRelays()
{
    ListFixture f(50);
    QVERIFY(QTest::qWaitForWindowExposed(&f.list));
    QTRY_COMPARE(f.attached(), range(0, 9));
    f.list.GetListItem(0)->SetUserValue(42);
    f.scrollTo(RowHeight); // release row 0
    f.scrollTo(0);         // row 0 gets a fresh widget with the user value
    TestItemWidget *fresh = f.widgetAt(0);
    QCOMPARE(fresh->userValueSeen, quint64(42));
    QCOMPARE(fresh->GetUserValue(), quint64(42));

    QSignalSpy clicked(&f.list, &qvListWidget::ItemClickedSignals);
    f.scrollTo(20 * RowHeight);
    QVERIFY(!f.widgetAt(0));
    QCOMPARE(fresh->releaseCalls, 1);
    QCOMPARE(fresh->GetUserValue(), quint64(0));
    QVERIFY(fresh->isHidden());
    emit fresh->ClickedSignals(0);
    QCOMPARE(clicked.count(), 0);
}

void TestListWidget::sameModelTwiceDoesNothing()
{
    ListFixture f(30);
    QVERIFY(QTest::qWaitForWindowExposed(&f.list));
    QTRY_COMPARE(f.attached(), range(0, 9));
    TestItemWidget *first = f.widgetAt(0);
    const int created = TestItemWidget::created;
    f.list.SetModel(&f.model);
    f.list.SetDelegate(&f.delegate);
    QCOMPARE(f.widgetAt(0), first);
    QCOMPARE(TestItemWidget::created, created);
    // One connection only: one change, one SetData.
    const int calls = first->setDataCalls;
    f.model.SetData(0, QStringLiteral("A:again"));
    QCOMPARE(first->setDataCalls, calls + 1);

    // A model of its own replaces every row.
    qvListDataModel other;
    other.AppendRows(valuesA(2, QStringLiteral("A:o")));
    f.list.SetModel(&other);
    QCOMPARE(f.list.count(), 2);
    QCOMPARE(f.widgetAt(1)->lastData, QStringLiteral("A:o1"));
    f.model.AppendRow(QStringLiteral("A:ignored"));
    QCOMPARE(f.list.count(), 2);
    f.list.SetModel(nullptr);
    QCOMPARE(f.list.count(), 0);
}

void TestListWidget::itemSizeFromStyleSheet()
{
    qvListDataModel model;
    model.AppendRows({QStringLiteral("A:0"), QStringLiteral("B:1")});
    TestListDelegate delegate;
    qvListWidget list(nullptr, QStringLiteral("qvListWidget"));
    list.setStyleSheet(QStringLiteral(
        "qvListWidget { qproperty-qv_item_size: qmap(TestDelegate#A, 48, TestDelegate#B,22); }"));
    list.SetDelegate(&delegate);
    list.SetModel(&model);
    list.resize(200, 300);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QCOMPARE(list.GetItemSizes().value(QStringLiteral("TestDelegate#A")), 48);
    QCOMPARE(list.GetItemSizes().value(QStringLiteral("TestDelegate#B")), 22);
    QTRY_COMPARE(list.visualItemRect(list.item(0)).height(), 48);
    QCOMPARE(list.visualItemRect(list.item(1)).height(), 22);

    // Only a two-part value with key/height pairs is taken.
    list.SetItemSizeValue(QStringList{QStringLiteral("qmap"), QStringLiteral("odd,1,parts")});
    list.SetItemSizeValue(QStringLiteral("TestDelegate#A,10"));
    QCOMPARE(list.GetItemSizes().size(), 2);
    list.SetItemSizeValue(QStringList{QStringLiteral("qmap"), QStringLiteral("X,abc")});
    QCOMPARE(list.GetItemSizes().value(QStringLiteral("X"), -1), 0);
}

void TestListWidget::rowWithoutWidgetKeepsItsSpace()
{
    ListFixture f(0);
    f.model.AppendRows({QStringLiteral("A:0"), QStringLiteral("none"), QStringLiteral("A:2")});
    QVERIFY(QTest::qWaitForWindowExposed(&f.list));
    QCOMPARE(f.list.count(), 3);
    QCOMPARE(f.attached(), (QList<int>{0, 2}));
    QVERIFY(f.list.visualItemRect(f.list.item(2)).top() >
            f.list.visualItemRect(f.list.item(0)).bottom());
}

void TestListWidget::modelDestroyedBeforeView()
{
    auto model = std::make_unique<qvListDataModel>();
    model->AppendRows(valuesA(40));
    TestListDelegate delegate;
    qvListWidget list;
    list.resize(200, 300);
    list.SetDelegate(&delegate);
    list.SetModel(model.get());
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QTRY_VERIFY(list.GetItemWidget(0));
    model.reset();
    QVERIFY(!list.GetModel());
    QCOMPARE(list.count(), 0);
    list.verticalScrollBar()->setValue(list.verticalScrollBar()->maximum());
    list.SetModel(nullptr);
    QCOMPARE(list.count(), 0);
}

void TestListWidget::traceLines_data()
{
    QTest::addColumn<QByteArray>("environment");
    QTest::addColumn<bool>("traced");
    QTest::addRow("off by default") << QByteArray() << false;
    QTest::addRow("switched on") << QByteArray("1") << true;
}

namespace {
QStringList capturedLines;
void captureMessage(QtMsgType, const QMessageLogContext &, const QString &message)
{
    capturedLines.append(message);
}
} // namespace

void TestListWidget::traceLines()
{
    QFETCH(QByteArray, environment);
    QFETCH(bool, traced);
    if (environment.isEmpty())
        qunsetenv("QCD_TRACE_LIST");
    else
        qputenv("QCD_TRACE_LIST", environment);
    capturedLines.clear();
    const QtMessageHandler previous = qInstallMessageHandler(captureMessage);
    {
        ListFixture f(30);
        QVERIFY(QTest::qWaitForWindowExposed(&f.list));
        QTRY_COMPARE(f.attached(), range(0, 9));
        f.model.RemoveRow(0);
    }
    qInstallMessageHandler(previous);
    qunsetenv("QCD_TRACE_LIST");
    QCOMPARE(
        capturedLines.contains(QStringLiteral("qvListWidget:UpdateItemWidget start[0] end[9]")),
        traced);
    QCOMPARE(capturedLines.contains(QStringLiteral("qvListWidget:OnRowRemoved start")), traced);
    if (!traced)
        QVERIFY(capturedLines.filter(QStringLiteral("qvListWidget:")).isEmpty());
}

QTEST_MAIN(TestListWidget)
#include "tst_qvlistwidget.moc"
