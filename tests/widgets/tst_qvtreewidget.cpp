#include "viewtestsupport.h"
#include "widgets/qvtreedatamodel.h"
#include "widgets/qvtreeitem.h"
#include "widgets/qvtreewidget.h"

#include <QHeaderView>
#include <QPointer>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

constexpr int RowHeight = 30;

// 50 collapsed groups "A:gN" of 4 children each, in a view 10 rows of 30 px high.
struct TreeFixture
{
    TreeFixture() : tree(nullptr, QStringLiteral("qvTreeWidget"))
    {
        for (int g = 0; g < 50; ++g)
            model.AppendTopLevelItem(makeGroup(QStringLiteral("A:g%1").arg(g), 4));
        tree.header()->hide();
        showView(tree, delegate, model, QStringLiteral("TreeDelegate"));
    }

    // Paths of the rows that carry widgets, top to bottom.
    QList<qvModelIndex> widgeted() const
    {
        QList<qvModelIndex> paths;
        for (QTreeWidgetItem *row = tree.topLevelItem(0); row; row = tree.itemBelow(row)) {
            if (tree.GetItemWidget(row))
                paths.append(tree.GetModelIndex(row));
        }
        return paths;
    }
    // Each widget stands for its own row and shows it; no other widget is alive.
    QString windowProblem()
    {
        const QList<qvModelIndex> rows = widgeted();
        for (const qvModelIndex &index : rows) {
            if (widgetAt(index)->GetModelIndex() != index)
                return QStringLiteral("a row has the widget of another");
            const QString problem = rowWidgetProblem(widgetAt(index), model.GetData(index),
                                                     tree.visualItemRect(tree.GetTreeItem(index)));
            if (!problem.isEmpty())
                return problem;
        }
        return liveWidgets() == rows.size() ? QString() : QStringLiteral("stray widgets alive");
    }
    TestItemWidget *widgetAt(const qvModelIndex &index) const
    {
        return static_cast<TestItemWidget *>(tree.GetItemWidget(tree.GetTreeItem(index)));
    }

    qvTreeDataModel model;
    TestTreeDelegate delegate;
    qvTreeWidget tree;
};

QList<qvModelIndex> topLevel(int first, int last)
{
    QList<qvModelIndex> paths;
    for (int g = first; g <= last; ++g)
        paths.append(path({g}));
    return paths;
}

// Waits until the tree shows its first eleven groups with their widgets.
#define WAIT_SHOWN(f)                                                                              \
    QVERIFY(QTest::qWaitForWindowExposed(&(f).tree));                                              \
    QTRY_COMPARE((f).widgeted(), topLevel(0, 10))

} // namespace

class TestTreeWidget : public QObject
{
    Q_OBJECT
private slots:
    void windowFollowsViewport_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addRow("top") << 0 << 0 << 10;
        QTest::addRow("two rows down") << 2 * RowHeight << 2 << 12;
        QTest::addRow("bottom") << 50 * RowHeight - 300 << 40 << 49;
    }

    void windowFollowsViewport()
    {
        QFETCH(int, value);
        QFETCH(int, first);
        QFETCH(int, last);
        TreeFixture f;
        WAIT_SHOWN(f);
        f.tree.verticalScrollBar()->setValue(value);
        QCOMPARE(f.tree.verticalScrollBar()->value(), value);
        QCOMPARE(f.widgeted(), topLevel(first, last));
        VERIFY_NO_PROBLEM(f.windowProblem());
    }

    void expandAndCollapse()
    {
        TreeFixture f;
        WAIT_SHOWN(f);
        QPointer<TestItemWidget> pushedOut = f.widgetAt(path({8}));
        TestItemWidget *group0 = f.widgetAt(path({0}));

        f.tree.SetItemExpanded(path({0}), true);
        QList<qvModelIndex> expected{path({0}), path({0, 0}), path({0, 1}), path({0, 2}),
                                     path({0, 3})};
        expected += topLevel(1, 6);
        QCOMPARE(f.widgeted(), expected);
        QCOMPARE(f.widgetAt(path({0})), group0);
        VERIFY_NO_PROBLEM(f.windowProblem());
        QVERIFY(pushedOut.isNull());

        QPointer<TestItemWidget> child = f.widgetAt(path({0, 1}));
        f.tree.SetItemExpanded(path({0}), false);
        QCOMPARE(f.widgeted(), topLevel(0, 10));
        VERIFY_NO_PROBLEM(f.windowProblem());
        QVERIFY(child.isNull());

        // Qt's own expansion of one row gives its children widgets at once, not a turn later.
        f.tree.GetTreeItem(path({1}))->setExpanded(true);
        QVERIFY(f.widgetAt(path({1, 3})));
        VERIFY_NO_PROBLEM(f.windowProblem());
        f.tree.GetTreeItem(path({1}))->setExpanded(false);

        // The delegate may open a group when its widget is made.
        f.delegate.expandOnCreate = QStringLiteral("A:g45");
        QVERIFY(!f.tree.GetTreeItem(path({45}))->isExpanded());
        f.tree.verticalScrollBar()->setValue(40 * RowHeight);
        QVERIFY(f.tree.GetTreeItem(path({45}))->isExpanded());
        QVERIFY(!f.tree.GetTreeItem(path({44}))->isExpanded());
    }

    void expandAllWhileWidgetsExist()
    {
        // The view reports these expansions from inside its own row layout.
        TreeFixture f;
        f.delegate.expandOnCreate = QStringLiteral("A:g0.1");
        WAIT_SHOWN(f);
        f.tree.expandAll();
        QList<qvModelIndex> expected{path({0}), path({0, 0}), path({0, 1}), path({0, 2}),
                                     path({0, 3})};
        expected += QList<qvModelIndex>{path({1}),    path({1, 0}), path({1, 1}),
                                        path({1, 2}), path({1, 3}), path({2})};
        QTRY_COMPARE(f.widgeted(), expected);
        f.tree.ExpandAll();
        QCOMPARE(f.widgeted(), expected);
        VERIFY_NO_PROBLEM(f.windowProblem());
    }

    void insertSubtreeWithOneSignal()
    {
        TreeFixture f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.tree));
        f.tree.SetItemExpanded(path({1}), true);
        QVERIFY(
            f.model.InsertItem(f.model.GetTopLevelItem(1), makeGroup(QStringLiteral("A:new"), 5)));
        QTreeWidgetItem *row = f.tree.GetTreeItem(path({1, 4}));
        QVERIFY(row);
        QCOMPARE(row->childCount(), 5);
        QCOMPARE(f.tree.GetModelIndex(row->child(4)), path({1, 4, 4}));
        QList<qvModelIndex> expected{path({0}),    path({1}),    path({1, 0}), path({1, 1}),
                                     path({1, 2}), path({1, 3}), path({1, 4})};
        expected += topLevel(2, 5);
        QCOMPARE(f.widgeted(), expected);
        VERIFY_NO_PROBLEM(f.windowProblem());

        // A new top-level group at the end gets a row but no widget while out of view.
        QVERIFY(f.model.AppendTopLevelItem(makeGroup(QStringLiteral("A:last"), 2)));
        QCOMPARE(f.tree.topLevelItemCount(), 51);
        QCOMPARE(f.tree.GetTreeItem(path({50}))->childCount(), 2);
        QVERIFY(!f.widgetAt(path({50})));
    }

    void removeGroupReleasesItsWidgets()
    {
        TreeFixture f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.tree));
        f.tree.SetItemExpanded(path({2}), true);
        QPointer<TestItemWidget> group = f.widgetAt(path({2}));
        QPointer<TestItemWidget> child = f.widgetAt(path({2, 1}));
        QVERIFY(group && child);

        std::unique_ptr<qvTreeItem> taken(f.model.RemoveItemAt(path({2})));
        QVERIFY(taken);
        QCOMPARE(f.tree.topLevelItemCount(), 49);
        QCOMPARE(f.widgeted(), topLevel(0, 10));
        VERIFY_NO_PROBLEM(f.windowProblem()); // row 2 shows A:g3 now
        QVERIFY(group.isNull() && child.isNull());
    }

    void dataChange_data()
    {
        QTest::addColumn<QString>("value"); // "none": no widget
        QTest::addColumn<bool>("sameWidget");
        QTest::addRow("same creator") << "A:renamed" << true;
        QTest::addRow("other creator") << "B:renamed" << false;
        QTest::addRow("no creator") << "none" << false;
    }

    void dataChange()
    {
        QFETCH(QString, value);
        QFETCH(bool, sameWidget);
        TreeFixture f;
        WAIT_SHOWN(f);
        QPointer<TestItemWidget> old = f.widgetAt(path({3}));
        const int calls = old->setDataCalls;

        f.model.GetTopLevelItem(3)->SetData(value);
        TestItemWidget *now = f.widgetAt(path({3}));
        QCOMPARE(!now, value == QLatin1String("none"));
        QCOMPARE(now == old.data(), sameWidget);
        if (sameWidget)
            QCOMPARE(now->setDataCalls, calls + 1);
        VERIFY_NO_PROBLEM(f.windowProblem());
        QCOMPARE(old.isNull(), !sameWidget);
        // A change to a row out of view creates nothing.
        const int created = TestItemWidget::created;
        f.model.GetTopLevelItem(30)->SetData(QStringLiteral("B:far"));
        QCOMPARE(TestItemWidget::created, created);
    }

    void suspendedUpdates()
    {
        TreeFixture f;
        WAIT_SHOWN(f);
        const int created = TestItemWidget::created;

        emit f.model.SetUpdateStatusSignal(false);
        QVERIFY(f.tree.IsSuspended());
        f.tree.verticalScrollBar()->setValue(3 * RowHeight);
        f.model.InsertItem(f.model.GetTopLevelItem(5), makeGroup(QStringLiteral("A:sub"), 3));
        f.tree.SetItemExpanded(path({5}), true);
        f.model.GetTopLevelItem(4)->SetData(QStringLiteral("B:g4"));
        QCOMPARE(TestItemWidget::created, created);
        QCOMPARE(f.tree.GetWidgetedItems().size(), 11);
        QVERIFY(f.tree.GetTreeItem(path({5, 4})));

        emit f.model.SetUpdateStatusSignal(true);
        QVERIFY(!f.tree.IsSuspended());
        QList<qvModelIndex> expected = topLevel(3, 5);
        for (int c = 0; c < 5; ++c)
            expected.append(path({5, c}));
        expected += topLevel(6, 7); // row 4 is now a 45 px B row
        QCOMPARE(f.widgeted(), expected);
        VERIFY_NO_PROBLEM(f.windowProblem());
    }

    void clicksAndOperationsGivePaths()
    {
        TreeFixture f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.tree));
        f.tree.SetItemExpanded(path({0}), true);
        QSignalSpy clicked(&f.tree, &qvTreeWidget::ClickedItem);
        QSignalSpy doubleClicked(&f.tree, &qvTreeWidget::DoubleClickedItem);
        QSignalSpy operation(&f.tree, &qvTreeWidget::ItemUserOperationIndexSignals);

        QTest::mouseClick(f.widgetAt(path({0, 3})), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(clicked.at(0).at(0).value<qvModelIndex>(), path({0, 3}));
        QCOMPARE(f.tree.currentItem(), f.tree.GetTreeItem(path({0, 3})));
        // A double click is a click followed by a double-click event on the same row.
        TestItemWidget *group2 = f.widgetAt(path({2}));
        QTest::mouseClick(group2, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
        QTest::mouseDClick(group2, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
        QCOMPARE(doubleClicked.count(), 1);
        QCOMPARE(doubleClicked.at(0).at(0).value<qvModelIndex>(), path({2}));

        group2->emitUserOperation(QStringLiteral("rename"));
        QCOMPARE(operation.count(), 1);
        QCOMPARE(operation.at(0).at(0).value<qvModelIndex>(), path({2}));
        QCOMPARE(operation.at(0).at(1).toString(), QStringLiteral("rename"));
        f.tree.verticalScrollBar()->setValue(20 * RowHeight);
        QVERIFY(!f.widgetAt(path({2})));
        group2->emitUserOperation(QStringLiteral("late")); // detached, not yet deleted
        QCOMPARE(operation.count(), 1);
    }

    void itemSizeFromStyleSheet()
    {
        TreeFixture f;
        f.model.GetTopLevelItem(1)->SetData(QStringLiteral("B:h"));
        f.tree.SetItemExpanded(path({0}), true);
        f.tree.setStyleSheet(QStringLiteral("qvTreeWidget { qproperty-qv_item_size: "
                                            "qmap(TreeDelegate#A, 48, TreeDelegate#B,38); }"));
        QTRY_COMPARE(f.tree.visualItemRect(f.tree.GetTreeItem(path({0, 1}))).height(), 48);
        QCOMPARE(f.tree.visualItemRect(f.tree.GetTreeItem(path({1}))).height(), 38);
    }
};

QTEST_MAIN(TestTreeWidget)
#include "tst_qvtreewidget.moc"
