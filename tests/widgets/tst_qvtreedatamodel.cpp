#include "viewtestsupport.h"
#include "widgets/qvtreedatamodel.h"
#include "widgets/qvtreeitem.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

// Top-level g0 (3 children), g1 (4 children), g2 (0 children).
void fill(qvTreeDataModel &model)
{
    model.AppendTopLevelItem(makeGroup(QStringLiteral("g0"), 3));
    model.AppendTopLevelItem(makeGroup(QStringLiteral("g1"), 4));
    model.AppendTopLevelItem(makeGroup(QStringLiteral("g2"), 0));
}

} // namespace

class TestTreeDataModel : public QObject
{
    Q_OBJECT
private slots:
    void getItem_data()
    {
        QTest::addColumn<qvModelIndex>("index");
        QTest::addColumn<QString>("expected"); // empty: none

        QTest::addRow("top level") << path({1}) << "g1";
        QTest::addRow("third child of second group") << path({1, 2}) << "g1.2";
        QTest::addRow("child out of range") << path({0, 5}) << "";
        QTest::addRow("negative step") << path({0, -1}) << "";
        QTest::addRow("empty path names the root") << qvModelIndex(QList<int>()) << "";
        QTest::addRow("invalid index") << qvModelIndex() << "";
        QTest::addRow("valid but not a path")
            << qvModelIndex(QVariant(QStringLiteral("0")), true) << "";
        QTest::addRow("path too deep") << path({1, 2, 0}) << "";
    }

    void getItem()
    {
        QFETCH(qvModelIndex, index);
        QFETCH(QString, expected);
        qvTreeDataModel model;
        fill(model);
        qvTreeItem *item = model.GetItem(index);
        QCOMPARE(item ? item->GetData().toString() : QString(), expected);
        QCOMPARE(model.GetData(index).toString(), expected);
        QCOMPARE(model.GetData(index).isValid(), !expected.isEmpty());
    }

    void indexRoundTrip()
    {
        qvTreeDataModel model;
        fill(model);
        qvTreeItem *item = model.GetChildItem(model.GetTopLevelItem(1), 2);
        QCOMPARE(model.GetIndex(item), path({1, 2}));
        std::unique_ptr<qvTreeItem> detached(makeGroup(QStringLiteral("x"), 1));
        QVERIFY(!model.GetIndex(detached.get()).IsValid());
        QVERIFY(!model.GetIndex(detached->GetChildren().first()).IsValid());
        QVERIFY(!model.GetIndex(nullptr).IsValid());
        QCOMPARE(model.GetChildCount(nullptr), -1);
        QCOMPARE(model.GetParentIndex(path({1, 2})), path({1}));
        QCOMPARE(model.GetParentIndex(path({1})), qvModelIndex());
        QCOMPARE(model.GetParentIndex(path({1, 9})), qvModelIndex());
    }

    void insertRefusals()
    {
        qvTreeDataModel model;
        fill(model);
        QSignalSpy inserted(&model, &qvTreeDataModel::InsertItemSignal);
        qvTreeItem *attached = model.GetTopLevelItem(0);

        QVERIFY(!model.AppendTopLevelItem(nullptr));
        std::unique_ptr<qvTreeItem> loose(new qvTreeItem);
        QVERIFY(!model.InsertItem(nullptr, loose.get()));
        QVERIFY(!model.AppendTopLevelItem(model.GetChildItem(attached, 0)));

        // A node attached below its own subtree would make a cycle.
        std::unique_ptr<qvTreeItem> group(makeGroup(QStringLiteral("cycle"), 1));
        QVERIFY(!model.InsertItem(group->GetChildren().first(), group.get()));
        group->AddChild(group.get());
        QVERIFY(group->GetChildren().size() == 1);
        group->GetChildren().first()->AddChild(group.get());
        QVERIFY(group->GetChildren().first()->GetChildren().isEmpty());

        // A node that already has a parent is refused on a detached node too.
        std::unique_ptr<qvTreeItem> other(new qvTreeItem);
        other->AddChild(group->GetChildren().first());
        QVERIFY(other->GetChildren().isEmpty());

        // A parent of another model is refused.
        qvTreeDataModel second;
        second.AppendTopLevelItem(new qvTreeItem);
        QVERIFY(!model.InsertItem(second.GetTopLevelItem(0), loose.get()));
        QVERIFY(!loose->GetParent());

        QCOMPARE(inserted.count(), 0);
        QCOMPARE(model.GetTopLevelCount(), 3);
    }

    void oneSignalForWholeSubtree()
    {
        qvTreeDataModel model;
        fill(model);
        QSignalSpy inserted(&model, &qvTreeDataModel::InsertItemSignal);
        qvTreeItem *subtree = makeGroup(QStringLiteral("new"), 5);
        QVERIFY(model.InsertItem(model.GetTopLevelItem(1), subtree));
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(inserted.at(0).at(0).value<qvModelIndex>(), path({1, 4}));
        QCOMPARE(model.GetData(path({1, 4, 4})).toString(), QStringLiteral("new.4"));
        QCOMPARE(subtree->GetChildren().at(2)->GetModel(), &model);

        // Adding to an attached node goes through the model and signals.
        subtree->AddChild(new qvTreeItem(QStringLiteral("late")));
        QCOMPARE(inserted.count(), 2);
        QCOMPARE(inserted.at(1).at(0).value<qvModelIndex>(), path({1, 4, 5}));
    }

    void removeItemShiftsPositions()
    {
        qvTreeDataModel model;
        fill(model);
        QSignalSpy removed(&model, &qvTreeDataModel::RemoveItemSignal);
        std::unique_ptr<qvTreeItem> taken(model.RemoveItemAt(path({1})));
        QVERIFY(taken);
        QCOMPARE(taken->GetData().toString(), QStringLiteral("g1"));
        QCOMPARE(removed.count(), 1);
        QCOMPARE(removed.at(0).at(0).value<qvModelIndex>(), path({1}));
        QCOMPARE(model.GetData(path({1})).toString(), QStringLiteral("g2"));
        QVERIFY(!taken->GetModel());
        QVERIFY(!taken->GetChildren().first()->GetModel());
        QVERIFY(!model.RemoveItem(nullptr));
        QVERIFY(!model.RemoveItem(taken.get())); // no longer in the model
        QCOMPARE(removed.count(), 1);
        // A removed node can be attached again, subtree and all.
        QVERIFY(!taken->GetParent());
        QVERIFY(model.AppendTopLevelItem(taken.get()));
        qvTreeItem *back = taken.release();
        QCOMPARE(model.GetIndex(back), path({2}));
        QCOMPARE(model.GetData(path({2, 3})).toString(), QStringLiteral("g1.3"));
    }

    void takeAllItems()
    {
        qvTreeDataModel model;
        fill(model);
        model.AppendTopLevelItem(new qvTreeItem(QStringLiteral("g3")));
        QSignalSpy cleared(&model, &qvTreeDataModel::ClearSignal);
        QList<qvTreeItem *> taken = model.TakeAllItems();
        std::vector<std::unique_ptr<qvTreeItem>> owned(taken.begin(), taken.end());
        QCOMPARE(taken.size(), 4);
        QCOMPARE(cleared.count(), 1);
        QCOMPARE(model.GetTopLevelCount(), 0);
        for (qvTreeItem *item : taken) {
            QVERIFY(!item->GetParent());
            QVERIFY(!item->GetModel());
        }
        // Subtrees stay intact.
        QCOMPARE(taken.at(1)->GetChildren().size(), 4);
        QVERIFY(!taken.at(1)->GetChildren().first()->GetModel());
    }

    void deletingAttachedNodeLeavesNoDanglingChild()
    {
        qvTreeDataModel model;
        fill(model);
        qvTreeItem *group = model.GetTopLevelItem(1);
        QPointer<qvTreeItem> child = group->GetChildren().first();
        std::unique_ptr<qvTreeItem> owned(model.RemoveItem(group));
        owned.reset();
        QVERIFY(child.isNull()); // the subtree went with its node

        // A child deleted while attached disappears from its parent's list.
        qvTreeItem *first = model.GetTopLevelItem(0);
        std::unique_ptr<qvTreeItem> victim(first->GetChildren().at(1));
        victim.reset();
        QCOMPARE(first->GetChildren().size(), 2);
        QCOMPARE(model.GetData(path({0, 1})).toString(), QStringLiteral("g0.2"));
    }
};

QTEST_GUILESS_MAIN(TestTreeDataModel)
#include "tst_qvtreedatamodel.moc"
