// Loads and scrolls a qvListWidget of 100 000 rows and a qvTreeWidget of 1 000 groups with 10
// sub-groups each, side by side with a QListWidget / QTreeWidget that puts an item widget on every
// row, and prints name=value lines with the naive views as the baseline.
//
// Each variant runs in a child process of its own so that its peak memory is its own:
//   view_bench                  all variants and the ratios
//   view_bench --variant NAME   one of list, naive_list, tree, naive_tree
// --rows N and --groups N shrink the data; --scroll-budget-ms caps the naive scrolls (default
// 20000): a naive view that moves 100 000 child widgets per step cannot finish, so its full time
// is extrapolated from the steps it made.

#include "widgets/qvlistdatamodel.h"
#include "widgets/qvlistwidget.h"
#include "widgets/qvlistwidgetdelegate.h"
#include "widgets/qvtreedatamodel.h"
#include "widgets/qvtreeitem.h"
#include "widgets/qvtreewidget.h"
#include "widgets/qvvboxlayout.h"
#include "widgets/qvviewitemdelegate.h"
#include "widgets/qvviewitemwidget.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMap>
#include <QProcess>
#include <QScrollBar>
#include <QTest>
#include <QTextStream>
#include <QTreeWidget>

#include <cstdio>
#include <memory>

namespace {

constexpr int RowHeight = 30;
constexpr int ViewWidth = 300;
constexpr int ViewHeight = 300; // 10 rows

// A simple row widget: a frame with one label.
class BenchItemWidget : public qvViewItemWidget
{
public:
    static inline int live = 0;
    static inline int peak = 0;

    BenchItemWidget() : qvViewItemWidget(nullptr, QStringLiteral("qvViewItemWidget"))
    {
        auto *layout = new qvVBoxLayout(this);
        m_label = new QLabel(this);
        layout->addWidget(m_label);
        peak = qMax(peak, ++live);
    }
    ~BenchItemWidget() override { --live; }
    bool SetData(const QVariant &data) override
    {
        m_label->setText(data.toString());
        return true;
    }

private:
    QLabel *m_label = nullptr; // not owned: child
};

qvViewItemWidget *CreateBenchItemWidget()
{
    return new BenchItemWidget;
}

class BenchListDelegate : public qvListWidgetDelegate
{
public:
    BenchListDelegate()
    {
        RegisterCreateFuncTypeKey(&CreateBenchItemWidget, QStringLiteral("BenchDelegate#Row"));
    }
    qvCreateItemWidgetFunc GetCreateFunc(const QVariant &) override
    {
        return &CreateBenchItemWidget;
    }
};

class BenchTreeDelegate : public qvViewItemDelegate
{
public:
    BenchTreeDelegate()
    {
        RegisterCreateFuncTypeKey(&CreateBenchItemWidget, QStringLiteral("BenchDelegate#Row"));
    }
    qvCreateItemWidgetFunc GetCreateFunc(const QVariant &) override
    {
        return &CreateBenchItemWidget;
    }
};

const QVariant RowSizes =
    QStringList{QStringLiteral("qmap"), QStringLiteral("BenchDelegate#Row,%1").arg(RowHeight)};

// kB figures from /proc/self/status.
qint64 statusKb(const char *field)
{
    QFile file(QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix(field);
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void print(const QString &variant, const char *name, double value)
{
    std::printf("%s_%s=%.6g\n", qPrintable(variant), name, value);
    std::fflush(stdout);
}

struct ScrollResult
{
    double ms = 0;
    int steps = 0;
    int totalSteps = 0;
    bool complete = true;
};

// Single steps from top to bottom; events are processed (painting, deferred deletes) every 50
// steps and once at the end.
ScrollResult scrollToEnd(QAbstractScrollArea *view, qint64 budgetMs)
{
    QScrollBar *bar = view->verticalScrollBar();
    ScrollResult result;
    const int step = qMax(bar->singleStep(), 1);
    result.totalSteps = (bar->maximum() - bar->value() + step - 1) / step;
    QElapsedTimer timer;
    timer.start();
    while (bar->value() < bar->maximum()) {
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        ++result.steps;
        if (result.steps % 50 == 0)
            settle();
        if (budgetMs > 0 && timer.elapsed() > budgetMs) {
            result.complete = bar->value() >= bar->maximum();
            break;
        }
    }
    settle();
    result.ms = timer.nsecsElapsed() / 1e6;
    return result;
}

void reportScroll(const QString &variant, const ScrollResult &scroll)
{
    print(variant, "scroll_steps", scroll.steps);
    print(variant, "scroll_steps_total", scroll.totalSteps);
    print(variant, "scroll_complete", scroll.complete ? 1 : 0);
    print(variant, "scroll_ms_per_step", scroll.steps ? scroll.ms / scroll.steps : 0);
    // A scroll cut short by the budget is extrapolated to all steps.
    print(variant, "scroll_ms",
          scroll.complete || !scroll.steps ? scroll.ms
                                           : scroll.ms / scroll.steps * scroll.totalSteps);
}

void prepare(QAbstractScrollArea *view)
{
    view->setFrameShape(QFrame::NoFrame);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->resize(ViewWidth, ViewHeight);
}

void perPixel(QAbstractItemView *view)
{
    view->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    view->verticalScrollBar()->setSingleStep(10);
}

// Scrolls the loaded view top to bottom and prints the scroll, widget and memory figures.
int scrollAndReport(const QString &variant, QAbstractScrollArea *view, qint64 budget,
                    qint64 rssBefore)
{
    BenchItemWidget::peak = BenchItemWidget::live;
    reportScroll(variant, scrollToEnd(view, budget));
    print(variant, "live_widgets_at_end", BenchItemWidget::live);
    print(variant, "live_widgets_peak_while_scrolling", BenchItemWidget::peak);
    print(variant, "peak_rss_kb", statusKb("VmHWM:"));
    print(variant, "rss_growth_kb", statusKb("VmHWM:") - rssBefore);
    return 0;
}

int runList(int rows, qint64 budget)
{
    const QString variant = QStringLiteral("list");
    qvListDataModel model;
    QList<QVariant> values;
    values.reserve(rows);
    for (int r = 0; r < rows; ++r)
        values.append(QStringLiteral("Contact %1").arg(r));
    model.GetDataList()->append(values);
    BenchListDelegate delegate;
    qvListWidget view(nullptr, QStringLiteral("qvListWidget"));
    prepare(&view);
    view.SetItemSizeValue(RowSizes);
    view.SetDelegate(&delegate);
    view.show();
    if (!QTest::qWaitForWindowExposed(&view))
        return 1;
    const qint64 rssBefore = statusKb("VmRSS:");

    QElapsedTimer timer;
    timer.start();
    view.SetModel(&model);
    settle();
    print(variant, "load_ms", timer.nsecsElapsed() / 1e6);
    print(variant, "rows", view.count());
    print(variant, "live_widgets_after_load", BenchItemWidget::live);

    return scrollAndReport(variant, &view, budget, rssBefore);
}

int runNaiveList(int rows, qint64 budget)
{
    const QString variant = QStringLiteral("naive_list");
    QList<QVariant> values;
    values.reserve(rows);
    for (int r = 0; r < rows; ++r)
        values.append(QStringLiteral("Contact %1").arg(r));
    QListWidget view;
    prepare(&view);
    perPixel(&view);
    view.show();
    if (!QTest::qWaitForWindowExposed(&view))
        return 1;
    const qint64 rssBefore = statusKb("VmRSS:");

    QElapsedTimer timer;
    timer.start();
    // Rows first, then a widget on each: attaching while rows are still being added would also
    // make every insertion walk all the widgets' persistent indexes.
    for (int r = 0; r < rows; ++r) {
        auto *item = new QListWidgetItem;
        item->setSizeHint(QSize(0, RowHeight));
        view.addItem(item);
    }
    for (int r = 0; r < rows; ++r) {
        auto *widget = new BenchItemWidget;
        widget->SetData(values.at(r));
        view.setItemWidget(view.item(r), widget);
    }
    settle();
    print(variant, "load_ms", timer.nsecsElapsed() / 1e6);
    print(variant, "rows", view.count());
    print(variant, "live_widgets_after_load", BenchItemWidget::live);

    perPixel(&view);
    return scrollAndReport(variant, &view, budget, rssBefore);
}

int runTree(int groups, qint64 budget)
{
    const QString variant = QStringLiteral("tree");
    qvTreeDataModel model;
    for (int g = 0; g < groups; ++g) {
        auto *group = new qvTreeItem(QStringLiteral("Group %1").arg(g));
        for (int s = 0; s < 10; ++s)
            group->AddChild(new qvTreeItem(QStringLiteral("Group %1.%2").arg(g).arg(s)));
        model.AppendTopLevelItem(group);
    }
    BenchTreeDelegate delegate;
    qvTreeWidget view(nullptr, QStringLiteral("qvTreeWidget"));
    prepare(&view);
    view.header()->hide();
    view.SetItemSizeValue(RowSizes);
    view.SetDelegate(&delegate);
    view.show();
    if (!QTest::qWaitForWindowExposed(&view))
        return 1;
    const qint64 rssBefore = statusKb("VmRSS:");

    QElapsedTimer timer;
    timer.start();
    view.SetModel(&model);
    view.ExpandAll();
    settle();
    print(variant, "load_ms", timer.nsecsElapsed() / 1e6);
    int rows = 0;
    for (QTreeWidgetItem *row = view.topLevelItem(0); row; row = view.itemBelow(row))
        ++rows;
    print(variant, "rows", rows);
    print(variant, "live_widgets_after_load", BenchItemWidget::live);

    return scrollAndReport(variant, &view, budget, rssBefore);
}

int runNaiveTree(int groups, qint64 budget)
{
    const QString variant = QStringLiteral("naive_tree");
    QTreeWidget view;
    prepare(&view);
    view.header()->hide();
    perPixel(&view);
    view.show();
    if (!QTest::qWaitForWindowExposed(&view))
        return 1;
    const qint64 rssBefore = statusKb("VmRSS:");

    // Rows first, then a widget on each, as for the naive list.
    QElapsedTimer timer;
    timer.start();
    for (int g = 0; g < groups; ++g) {
        auto *group = new QTreeWidgetItem;
        group->setSizeHint(0, QSize(RowHeight, RowHeight));
        for (int s = 0; s < 10; ++s) {
            auto *child = new QTreeWidgetItem;
            child->setSizeHint(0, QSize(RowHeight, RowHeight));
            group->addChild(child);
        }
        view.addTopLevelItem(group);
    }
    for (int g = 0; g < groups; ++g) {
        QTreeWidgetItem *group = view.topLevelItem(g);
        auto *widget = new BenchItemWidget;
        widget->SetData(QStringLiteral("Group %1").arg(g));
        view.setItemWidget(group, 0, widget);
        for (int s = 0; s < 10; ++s) {
            auto *child = new BenchItemWidget;
            child->SetData(QStringLiteral("Group %1.%2").arg(g).arg(s));
            view.setItemWidget(group->child(s), 0, child);
        }
    }
    view.expandAll();
    settle();
    print(variant, "load_ms", timer.nsecsElapsed() / 1e6);
    int rows = 0;
    for (QTreeWidgetItem *row = view.topLevelItem(0); row; row = view.itemBelow(row))
        ++rows;
    print(variant, "rows", rows);
    print(variant, "live_widgets_after_load", BenchItemWidget::live);

    perPixel(&view);
    return scrollAndReport(variant, &view, budget, rssBefore);
}

// Runs every variant as a child process, forwards its lines and adds the ratios.
int runAll(const QStringList &passOn)
{
    QMap<QString, double> figures;
    for (const char *variant : {"list", "naive_list", "tree", "naive_tree"}) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(),
                    QStringList{QStringLiteral("--variant"), QString::fromLatin1(variant)} +
                        passOn);
        if (!child.waitForFinished(-1) || child.exitCode() != 0) {
            std::fprintf(stderr, "variant %s failed\n", variant);
            return 1;
        }
        for (const QByteArray &line : child.readAllStandardOutput().split('\n')) {
            const int eq = line.indexOf('=');
            if (eq <= 0)
                continue;
            std::printf("%s\n", line.constData());
            figures.insert(QString::fromLatin1(line.left(eq)), line.mid(eq + 1).toDouble());
        }
    }
    auto ratio = [&figures](const QString &name, const QString &baseline, const QString &measured) {
        const double b = figures.value(baseline);
        const double m = figures.value(measured);
        std::printf("%s=%.4g\n", qPrintable(name), m > 0 ? b / m : 0.0);
    };
    for (const char *kindName : {"list", "tree"}) {
        const QString kind = QString::fromLatin1(kindName);
        const QString naive = QStringLiteral("naive_") + kind;
        for (const char *figure : {"load", "scroll"}) {
            const QString suffix =
                QLatin1Char('_') + QString::fromLatin1(figure) + QStringLiteral("_ms");
            ratio(kind + QLatin1Char('_') + QString::fromLatin1(figure) +
                      QStringLiteral("_speedup"),
                  naive + suffix, kind + suffix);
        }
        ratio(kind + QStringLiteral("_memory_growth_ratio"),
              naive + QStringLiteral("_rss_growth_kb"), kind + QStringLiteral("_rss_growth_kb"));
        ratio(kind + QStringLiteral("_live_widget_ratio"),
              naive + QStringLiteral("_live_widgets_after_load"),
              kind + QStringLiteral("_live_widgets_after_load"));
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption variantOption(
        QStringLiteral("variant"), QStringLiteral("One variant only."), QStringLiteral("name"));
    const QCommandLineOption rowsOption(QStringLiteral("rows"), QStringLiteral("List rows."),
                                        QStringLiteral("n"), QStringLiteral("100000"));
    const QCommandLineOption groupsOption(QStringLiteral("groups"), QStringLiteral("Tree groups."),
                                          QStringLiteral("n"), QStringLiteral("1000"));
    const QCommandLineOption budgetOption(QStringLiteral("scroll-budget-ms"),
                                          QStringLiteral("Cap on a naive view's scroll."),
                                          QStringLiteral("ms"), QStringLiteral("20000"));
    parser.addOptions({variantOption, rowsOption, groupsOption, budgetOption});
    parser.addHelpOption();
    parser.process(app);
    const int rows = parser.value(rowsOption).toInt();
    const int groups = parser.value(groupsOption).toInt();
    const qint64 budget = parser.value(budgetOption).toLongLong();

    const QString variant = parser.value(variantOption);
    if (variant.isEmpty()) {
        return runAll({QStringLiteral("--rows"), QString::number(rows), QStringLiteral("--groups"),
                       QString::number(groups), QStringLiteral("--scroll-budget-ms"),
                       QString::number(budget)});
    }
    // The virtualised views are never cut short: they must reach the end.
    if (variant == QLatin1String("list"))
        return runList(rows, 0);
    if (variant == QLatin1String("naive_list"))
        return runNaiveList(rows, budget);
    if (variant == QLatin1String("tree"))
        return runTree(groups, 0);
    if (variant == QLatin1String("naive_tree"))
        return runNaiveTree(groups, budget);
    std::fprintf(stderr, "unknown variant\n");
    return 2;
}
