#include "widgets/qvlistdatamodel.h"

#include <QStringList>
#include <QTest>

namespace {

// Every signal of the model, written as "Name(args)" in emission order.
class SignalLog
{
public:
    explicit SignalLog(qvListDataModel *model)
    {
        const auto add = [this](const char *name) {
            return [this, name](auto... arguments) {
                const QStringList values{QString::number(arguments)...};
                entries.append(QLatin1String(name) + QLatin1Char('(') +
                               values.join(QLatin1Char(',')) + QLatin1Char(')'));
            };
        };
        QObject::connect(model, &qvListDataModel::DataChangeSignal, add("DataChange"));
        QObject::connect(model, &qvListDataModel::RowInsertedSignal, add("RowInserted"));
        QObject::connect(model, &qvListDataModel::RowsInsertedSignal, add("RowsInserted"));
        QObject::connect(model, &qvListDataModel::RowRemovedSignal, add("RowRemoved"));
        QObject::connect(model, &qvListDataModel::RowsRemovedSignal, add("RowsRemoved"));
        QObject::connect(model, &qvListDataModel::ClearSignal, add("Clear"));
        QObject::connect(model, &qvListDataModel::ResetModelSignal, add("ResetModel"));
        QObject::connect(model, &qvListDataModel::UpdateSignal, add("Update"));
    }
    QStringList entries;
};

QStringList rowsOf(qvListDataModel &model)
{
    QStringList rows;
    for (int i = 0; i < model.GetCount(); ++i)
        rows.append(model.GetData(i).toString());
    return rows;
}

} // namespace

class TestListDataModel : public QObject
{
    Q_OBJECT
private slots:
    void operations_data()
    {
        QTest::addColumn<QString>("op");
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QStringList>("emitted");
        QTest::addColumn<QStringList>("rows");

        // The model starts with rows r0, r1, r2.
        const QStringList start{QStringLiteral("r0"), QStringLiteral("r1"), QStringLiteral("r2")};
        auto rows = [](const char *list) {
            return QString::fromLatin1(list).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        };
        auto sig = [](const char *s) { return QStringList{QString::fromLatin1(s)}; };

        QTest::addRow("insert at -1 refused")
            << "insert" << -1 << 0 << false << QStringList() << start;
        QTest::addRow("insert in the middle")
            << "insert" << 1 << 0 << true << sig("RowInserted(1)") << rows("r0 v r1 r2");
        QTest::addRow("insert past the end appends, signal keeps the index")
            << "insert" << 8 << 0 << true << sig("RowInserted(8)") << rows("r0 r1 r2 v");
        QTest::addRow("insert rows keeps list order")
            << "insertRows" << 1 << 2 << true << sig("RowsInserted(1,2)") << rows("r0 v0 v1 r1 r2");
        QTest::addRow("insert no rows refused")
            << "insertRows" << 0 << 0 << false << QStringList() << start;
        QTest::addRow("append rows")
            << "appendRows" << 0 << 2 << true << sig("RowsInserted(3,2)") << rows("r0 r1 r2 v0 v1");
        QTest::addRow("remove row")
            << "remove" << 1 << 0 << true << sig("RowRemoved(1)") << rows("r0 r2");
        QTest::addRow("remove row at count refused")
            << "remove" << 3 << 0 << false << QStringList() << start;
        QTest::addRow("remove rows")
            << "removeRows" << 0 << 1 << true << sig("RowsRemoved(0,1)") << rows("r2");
        QTest::addRow("remove rows start after end refused")
            << "removeRows" << 2 << 1 << false << QStringList() << start;
        QTest::addRow("get data at -1") << "get" << -1 << 0 << false << QStringList() << start;
        QTest::addRow("get data at count") << "get" << 3 << 0 << false << QStringList() << start;
        QTest::addRow("remove rows up to count refused")
            << "removeRows" << 0 << 3 << false << QStringList() << start;
        QTest::addRow("set data") << "set" << 2 << 0 << true << sig("DataChange(2)")
                                  << rows("r0 r1 v");
        QTest::addRow("set data at count refused")
            << "set" << 3 << 0 << false << QStringList() << start;
        QTest::addRow("clear") << "clear" << 0 << 0 << true << sig("Clear()") << QStringList();
    }

    void operations()
    {
        QFETCH(QString, op);
        QFETCH(int, a);
        QFETCH(int, b);
        QFETCH(bool, result);
        QFETCH(QStringList, emitted);
        QFETCH(QStringList, rows);

        qvListDataModel model;
        for (const char *row : {"r0", "r1", "r2"})
            model.GetDataList()->append(QString::fromLatin1(row));
        SignalLog log(&model);
        const QVariant value(QStringLiteral("v"));
        QList<QVariant> values;
        for (int i = 0; i < b; ++i)
            values.append(QStringLiteral("v%1").arg(i));

        bool ok = true;
        if (op == QLatin1String("insert"))
            ok = model.InsertRow(a, value);
        else if (op == QLatin1String("get"))
            ok = model.GetData(a).isValid();
        else if (op == QLatin1String("insertRows"))
            ok = model.InsertRows(a, values);
        else if (op == QLatin1String("appendRows"))
            ok = model.AppendRows(values);
        else if (op == QLatin1String("remove"))
            ok = model.RemoveRow(a);
        else if (op == QLatin1String("removeRows"))
            ok = model.RemoveRows(a, b);
        else if (op == QLatin1String("set"))
            ok = model.SetData(a, value);
        else if (op == QLatin1String("clear"))
            model.Clear();
        else
            QFAIL("unknown operation");

        QCOMPARE(ok, result);
        QCOMPARE(log.entries, emitted);
        QCOMPARE(rowsOf(model), rows);
    }

    void resetBracketSuppressesEverySignal()
    {
        qvListDataModel model;
        model.AppendRow(QStringLiteral("old"));
        SignalLog log(&model);
        QCOMPARE(model.BeginResetModel(), false);
        QCOMPARE(model.BeginResetModel(), true); // nested: reports the bracket already open
        model.Clear();
        model.AppendRow(QStringLiteral("a"));
        model.InsertRow(0, QStringLiteral("b"));
        model.SetData(1, QStringLiteral("c"));
        QVERIFY(log.entries.isEmpty());
        model.EndResetModel();
        QVERIFY(!model.signalsBlocked());
        QCOMPARE(log.entries, QStringList{QStringLiteral("ResetModel()")});
        QCOMPARE(rowsOf(model), (QStringList{QStringLiteral("b"), QStringLiteral("c")}));

        // Clear on an empty model still reports.
        model.BeginResetModel();
        model.Clear();
        model.EndResetModel();
        log.entries.clear();
        model.Clear();
        QCOMPARE(log.entries, QStringList{QStringLiteral("Clear()")});
    }
};

QTEST_GUILESS_MAIN(TestListDataModel)
#include "tst_qvlistdatamodel.moc"
