#include "viewtestsupport.h"
#include "widgets/qvlistdatamodel.h"
#include "widgets/qvlistwidget.h"
#include "widgets/qvlistwidgetitem.h"
#include "widgets/qvwidget.h"

#include <QMap>
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
    for (int i = 0; i < count; ++i)
        values.append(QString(prefix + QString::number(i)));
    return values;
}

QList<int> range(int first, int last)
{
    QList<int> rows;
    for (int r = first; r <= last; ++r)
        rows.append(r);
    return rows;
}

// A shown list whose viewport is exactly 10 rows of key A high.
struct ListFixture
{
    explicit ListFixture(int rows, bool innerScrollBar = false)
        : list(nullptr, QStringLiteral("qvListWidget"), innerScrollBar)
    {
        model.GetDataList()->append(valuesA(rows));
        showView(list, delegate, model, QStringLiteral("TestDelegate"));
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
    QList<TestItemWidget *> widgets(int first, int last) const
    {
        QList<TestItemWidget *> result;
        for (int r = first; r <= last; ++r)
            result.append(widgetAt(r));
        return result;
    }
    void scrollTo(int value) { list.verticalScrollBar()->setValue(value); }
    int rowHeight(int row) const { return list.visualItemRect(list.item(row)).height(); }
    // Each attached widget stands for its own row and shows it; no other widget is alive.
    QString windowProblem()
    {
        const QList<int> rows = attached();
        for (int r : rows) {
            if (widgetAt(r)->GetRow() != r)
                return QStringLiteral("row %1 has the widget of row %2")
                    .arg(r)
                    .arg(widgetAt(r)->GetRow());
            const QString problem =
                rowWidgetProblem(widgetAt(r), model.GetData(r), list.visualItemRect(list.item(r)));
            if (!problem.isEmpty())
                return problem;
        }
        return liveWidgets() == rows.size() ? QString() : QStringLiteral("stray widgets alive");
    }

    qvListDataModel model;
    TestListDelegate delegate;
    qvListWidget list;
};

// Waits until the list shows the first rows with their widgets.
#define WAIT_SHOWN(f, lastRow)                                                                     \
    QVERIFY(QTest::qWaitForWindowExposed(&(f).list));                                              \
    QTRY_COMPARE((f).attached(), range(0, lastRow))

} // namespace

class TestListWidget : public QObject
{
    Q_OBJECT
private slots:
    void visibleWindow_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("value");
        QTest::addColumn<QList<int>>("expected");
        QTest::addRow("top of 10000 rows") << 10000 << 0 << range(0, 9);
        QTest::addRow("fewer rows than fit") << 4 << 0 << range(0, 3);
        QTest::addRow("empty") << 0 << 0 << QList<int>();
        QTest::addRow("half a row") << 10000 << 15 << range(0, 10);
        QTest::addRow("far down") << 10000 << 150000 << range(5000, 5009);
        QTest::addRow("to the end") << 10000 << 10000 * RowHeight - ViewHeight << range(9990, 9999);
    }

    void visibleWindow()
    {
        QFETCH(int, rows);
        QFETCH(int, value);
        QFETCH(QList<int>, expected);
        ListFixture f(rows);
        WAIT_SHOWN(f, qMin(rows, 10) - 1);
        QMap<int, QPointer<TestItemWidget>> before;
        for (int r : f.attached())
            before.insert(r, f.widgetAt(r));
        const int created = TestItemWidget::created;
        QCOMPARE(f.list.verticalScrollBar()->singleStep(), 10); // scrolling is per pixel
        f.scrollTo(value);
        QCOMPARE(f.list.verticalScrollBar()->value(), value);
        QCOMPARE(f.attached(), expected);
        VERIFY_NO_PROBLEM(f.windowProblem());
        // Rows still in view keep their widget, filled once; the others lose theirs.
        int kept = 0;
        for (auto it = before.cbegin(); it != before.cend(); ++it) {
            QCOMPARE(it.value().isNull(), !expected.contains(it.key()));
            if (it.value()) {
                QVERIFY(f.widgetAt(it.key()) == it.value() && it.value()->setDataCalls == 1);
                ++kept;
            }
        }
        QCOMPARE(TestItemWidget::created, created + expected.size() - kept);
    }

    void releaseWhileScrolling()
    {
        ListFixture f(50);
        WAIT_SHOWN(f, 9);
        f.list.GetListItem(0)->SetUserValue(42);
        f.scrollTo(RowHeight); // release row 0
        f.scrollTo(0);         // row 0 gets a fresh widget with the user value
        TestItemWidget *fresh = f.widgetAt(0);
        QCOMPARE(fresh->userValueSeen, quint64(42));

        QSignalSpy clicked(&f.list, &qvListWidget::ItemClickedSignals);
        f.scrollTo(20 * RowHeight);
        QVERIFY(!f.widgetAt(0));
        QCOMPARE(fresh->releaseCalls, 1);
        QCOMPARE(fresh->GetUserValue(), quint64(0));
        QVERIFY(fresh->isHidden());
        emit fresh->ClickedSignals(0); // detached, not yet deleted: must not reach the view
        QCOMPARE(clicked.count(), 0);
    }

    void rowChangesKeepWidgets()
    {
        ListFixture f(1000);
        WAIT_SHOWN(f, 9);
        // Removing a row inside the window: the rows below move up with their widgets.
        QPointer<TestItemWidget> removed = f.widgetAt(3);
        const QList<TestItemWidget *> below = f.widgets(4, 9);
        QVERIFY(f.model.RemoveRow(3));
        QCOMPARE(f.attached(), range(0, 9));
        QCOMPARE(f.widgets(3, 8), below);
        VERIFY_NO_PROBLEM(f.windowProblem());
        QVERIFY(removed.isNull());

        // Inserting above the window keeps the pixel offset: rows shift down one.
        f.scrollTo(100 * RowHeight);
        QList<TestItemWidget *> window = f.widgets(100, 109);
        QVERIFY(f.model.InsertRow(5, QStringLiteral("A:new")));
        QCOMPARE(f.list.count(), 1000);
        QCOMPARE(f.attached(), range(100, 109));
        QCOMPARE(f.widgets(101, 109), window.mid(0, 9));
        QCOMPARE(window.last()->releaseCalls, 1);
        VERIFY_NO_PROBLEM(f.windowProblem());

        // Removing rows above the window shifts up; the rows that come in get new widgets.
        window = f.widgets(100, 109);
        QVERIFY(f.model.RemoveRows(2, 4));
        QCOMPARE(f.attached(), range(100, 109));
        QCOMPARE(f.widgets(100, 106), window.mid(3));
        VERIFY_NO_PROBLEM(f.windowProblem());
    }

    void insertPastEndUsesTheAppendedRow()
    {
        ListFixture f(3);
        WAIT_SHOWN(f, 2);
        QVERIFY(f.model.InsertRow(8, QStringLiteral("B:tail")));
        QVERIFY(f.model.InsertRows(50, {QStringLiteral("A:t1"), QStringLiteral("B:t2")}));
        QCOMPARE(f.attached(), range(0, 5));
        VERIFY_NO_PROBLEM(f.windowProblem());
    }

    void typeKeyChange_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("replaced");
        QTest::addRow("other type key") << "B:3" << true;
        QTest::addRow("same type key") << "A:changed" << false;
    }

    void typeKeyChange()
    {
        QFETCH(QString, value);
        QFETCH(bool, replaced);
        ListFixture f(1000);
        WAIT_SHOWN(f, 9);
        f.list.setCurrentRow(3);
        QSignalSpy currentChanged(&f.list, &QListWidget::currentRowChanged);
        QPointer<TestItemWidget> old = f.widgetAt(3);
        const int callsBefore = old->setDataCalls;

        QVERIFY(f.model.SetData(3, value));
        QCOMPARE(f.list.currentRow(), 3);
        QCOMPARE(currentChanged.count(), 0);
        QCOMPARE(f.widgetAt(3) == old.data(), !replaced);
        if (replaced)
            QCOMPARE(old->releaseCalls, 1);
        else
            QCOMPARE(old->setDataCalls, callsBefore + 1);
        VERIFY_NO_PROBLEM(f.windowProblem());
        QCOMPARE(old.isNull(), replaced);
        QCOMPARE(f.attached(), range(0, f.attached().last()));

        // A row out of view changes its key without getting a widget until it is scrolled to.
        QVERIFY(f.model.SetData(500, QStringLiteral("B:500")));
        QVERIFY(!f.widgetAt(500));
        f.scrollTo(495 * RowHeight);
        QVERIFY(f.widgetAt(500));
        VERIFY_NO_PROBLEM(f.windowProblem());
    }

    void resetFollowsNewRowsAndTypes()
    {
        ListFixture f(50);
        WAIT_SHOWN(f, 9);
        QList<QPointer<TestItemWidget>> before;
        for (TestItemWidget *w : f.widgets(0, 9))
            before.append(w);

        f.model.BeginResetModel();
        f.model.Clear();
        f.model.AppendRows({QStringLiteral("B:0")});
        f.model.AppendRows(valuesA(19, QStringLiteral("A:n")));
        QCOMPARE(f.list.count(), 50); // nothing reached the view yet
        f.model.EndResetModel();

        QCOMPARE(f.list.count(), 20);
        QCOMPARE(f.attached(), range(0, 9));
        VERIFY_NO_PROBLEM(f.windowProblem()); // row 0 kept its list item but holds a B value now
        for (const auto &old : before)
            QVERIFY(old.isNull());
    }

    void innerScrollBarShowsAndHides()
    {
        ListFixture f(11, true); // one row too many for the view
        QVERIFY(QTest::qWaitForWindowExposed(&f.list));
        qvWidget *container = f.list.GetInnerScrollBarContainer();
        QVERIFY(container);
        QCOMPARE(f.list.verticalScrollBar()->parentWidget(), container);
        QTRY_VERIFY(container->isVisible());
        // It floats over the rows' right edge instead of taking room beside them.
        QCOMPARE(f.list.viewport()->width(), f.list.width());
        QVERIFY(container->geometry().right() <= f.list.width());
        QVERIFY(container->geometry().left() > f.list.width() / 2);
        f.list.verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
        QCOMPARE(f.attached(), range(1, 10));

        f.model.RemoveRow(10); // exactly the view's height
        QTRY_VERIFY(!container->isVisible());
        f.model.AppendRow(QStringLiteral("A:again"));
        QTRY_VERIFY(container->isVisible());
    }

    void clicksReachViewAndRelay()
    {
        ListFixture f(50);
        WAIT_SHOWN(f, 9);
        QSignalSpy current(&f.list, &QListWidget::currentRowChanged);
        QSignalSpy pressed(&f.list, &qvListWidget::ItemPressedSignals);
        QSignalSpy clicked(&f.list, &qvListWidget::ItemClickedSignals);
        QSignalSpy doubleClicked(&f.list, &qvListWidget::ItemDoubleClickedSignals);
        QSignalSpy rightClicked(&f.list, &qvListWidget::ItemRightMouseClickedSignals);
        QSignalSpy operation(&f.list, &qvListWidget::ItemUserOperationSignals);
        const QPoint at(20, 10);

        QTest::mouseClick(f.widgetAt(2), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(f.widgetAt(4), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseClick(f.widgetAt(6), Qt::RightButton, Qt::NoModifier, at);
        f.widgetAt(1)->emitUserOperation(QStringLiteral("payload"));
        const auto rowsOf = [](const QSignalSpy &spy) {
            QList<int> rows;
            for (const QList<QVariant> &args : spy)
                rows.append(args.at(0).toInt());
            return rows;
        };
        QCOMPARE(rowsOf(current), (QList<int>{2, 4, 6}));
        QCOMPARE(rowsOf(pressed), (QList<int>{2, 6})); // a double-click event alone is no press
        QCOMPARE(rowsOf(clicked), (QList<int>{2}));
        QCOMPARE(rowsOf(doubleClicked), (QList<int>{4}));
        QCOMPARE(rowsOf(rightClicked), (QList<int>{6}));
        QCOMPARE(operation.count(), 1);
        QCOMPARE(operation.at(0).at(0).toInt(), 7);
        QCOMPARE(operation.at(0).at(1).toString(), QStringLiteral("payload"));

        // A row scrolled in later gets a widget that knows whether it is current.
        f.list.setCurrentRow(12);
        f.scrollTo(5 * RowHeight);
        QVERIFY(f.widgetAt(12)->current);
        QVERIFY(!f.widgetAt(11)->current);
    }

    void itemSizes()
    {
        ListFixture f(0);
        f.list.setStyleSheet(QStringLiteral("qvListWidget { qproperty-qv_item_size: "
                                            "qmap(TestDelegate#A, 48, TestDelegate#B,22); }"));
        f.model.AppendRows({QStringLiteral("A:0"), QStringLiteral("B:1"), QStringLiteral("none"),
                            QStringLiteral("A:3")});
        QVERIFY(QTest::qWaitForWindowExposed(&f.list));
        QTRY_COMPARE(f.rowHeight(0), 48);
        QCOMPARE(f.rowHeight(1), 22);
        // A row without a widget keeps its space.
        QCOMPARE(f.attached(), (QList<int>{0, 1, 3}));
        QVERIFY(f.list.visualItemRect(f.list.item(3)).top() >
                f.list.visualItemRect(f.list.item(1)).bottom());
    }

    void modelDestroyedBeforeView()
    {
        auto model = std::make_unique<qvListDataModel>();
        model->AppendRows(valuesA(40));
        TestListDelegate delegate;
        qvListWidget list;
        showView(list, delegate, *model, QStringLiteral("TestDelegate"));
        QTRY_VERIFY(list.GetItemWidget(0));
        model.reset();
        QVERIFY(!list.GetModel());
        QCOMPARE(list.count(), 0);
        list.verticalScrollBar()->setValue(list.verticalScrollBar()->maximum());
        list.SetModel(nullptr);
    }
};

QTEST_MAIN(TestListWidget)
#include "tst_qvlistwidget.moc"
