#pragma once

// Row widgets and delegates shared by the view tests. Values are strings: "A:..." rows get an
// A widget, "B:..." rows a B widget, "none" rows no widget at all.

#include "widgets/qvlistwidgetdelegate.h"
#include "widgets/qvmodelindex.h"
#include "widgets/qvtreeitem.h"
#include "widgets/qvviewitemdelegate.h"
#include "widgets/qvviewitemwidget.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFrame>
#include <QMouseEvent>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QVariant>

#include <initializer_list>

class TestItemWidget : public qvViewItemWidget
{
public:
    static inline int live = 0;
    static inline int created = 0;

    explicit TestItemWidget(QChar kind)
        : qvViewItemWidget(nullptr, QStringLiteral("qvViewItemWidget")), m_kind(kind)
    {
        ++live;
        ++created;
    }
    ~TestItemWidget() override { --live; }

    bool SetData(const QVariant &data) override
    {
        ++setDataCalls;
        lastData = data.toString();
        return true;
    }
    bool SetSelectStatus(const bool &isCurrent) override
    {
        current = isCurrent;
        return true;
    }
    void SetUserValue(quint64 value) override { userValueSeen = value; }
    void OnRelease() override { ++releaseCalls; }

    QChar kind() const { return m_kind; }

    int setDataCalls = 0;
    int releaseCalls = 0;
    bool current = false;
    quint64 userValueSeen = 0;
    QString lastData;

    // Emits its click signals like a real row widget would, and lets the press reach the view.
    void emitUserOperation(const QVariant &data)
    {
        emit UserOperationSignals(7, data);
        emit UserOperationIndexSignals(GetModelIndex(), data);
    }

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        emit PressedSignals(GetRow());
        if (event->button() == Qt::RightButton)
            emit RightMouseClickedSignals(GetRow());
        event->ignore();
    }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton)
            emit ClickedSignals(GetRow());
        event->ignore();
    }
    void mouseDoubleClickEvent(QMouseEvent *event) override
    {
        emit DoubleClickedSignals(GetRow());
        event->ignore();
    }

private:
    QChar m_kind;
};

inline qvViewItemWidget *CreateTestWidgetA()
{
    return new TestItemWidget(QLatin1Char('A'));
}

inline qvViewItemWidget *CreateTestWidgetB()
{
    return new TestItemWidget(QLatin1Char('B'));
}

inline qvCreateItemWidgetFunc TestCreatorFor(const QVariant &data)
{
    const QString text = data.toString();
    if (text == QLatin1String("none"))
        return nullptr;
    return text.startsWith(QLatin1String("B:")) ? &CreateTestWidgetB : &CreateTestWidgetA;
}

// A delegate of either view that registers both creators under "<prefix>#A" and "<prefix>#B".
template <typename Base> class TestDelegate : public Base
{
public:
    explicit TestDelegate(const QString &prefix)
    {
        this->RegisterCreateFuncTypeKey(&CreateTestWidgetA, prefix + QStringLiteral("#A"));
        this->RegisterCreateFuncTypeKey(&CreateTestWidgetB, prefix + QStringLiteral("#B"));
    }
    qvCreateItemWidgetFunc GetCreateFunc(const QVariant &data) override
    {
        return TestCreatorFor(data);
    }
};

class TestListDelegate : public TestDelegate<qvListWidgetDelegate>
{
public:
    TestListDelegate() : TestDelegate(QStringLiteral("TestDelegate")) {}
};

class TestTreeDelegate : public TestDelegate<qvViewItemDelegate>
{
public:
    TestTreeDelegate() : TestDelegate(QStringLiteral("TreeDelegate")) {}
    bool GetExpandState(const QVariant &data, bool current) override
    {
        return data.toString() == expandOnCreate ? true : current;
    }
    // Rows with this value open when their widget is made.
    QString expandOnCreate;
};

inline qvModelIndex path(std::initializer_list<int> steps)
{
    return qvModelIndex(QList<int>(steps));
}

// A detached tree node with count children named name.0, name.1, ...
inline qvTreeItem *makeGroup(const QString &name, int count)
{
    auto *group = new qvTreeItem(name);
    for (int i = 0; i < count; ++i)
        group->AddChild(new qvTreeItem(QStringLiteral("%1.%2").arg(name).arg(i)));
    return group;
}

// Item widgets alive once the deletions that detached widgets have queued have run.
inline int liveWidgets()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return TestItemWidget::live;
}

// Gives a view of either kind its test delegate and model, rows of key A 30 px and of key B
// 45 px high, and shows it 200 x 300 px without a frame or a horizontal scroll bar. The widget
// counts start afresh with each view.
template <typename View, typename Delegate, typename Model>
void showView(View &view, Delegate &delegate, Model &model, const QString &prefix)
{
    TestItemWidget::live = 0;
    TestItemWidget::created = 0;
    view.setFrameShape(QFrame::NoFrame);
    view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.SetItemSizeValue(
        QStringList{QStringLiteral("qmap"), QStringLiteral("%1#A, 30,\n %1#B,45").arg(prefix)});
    view.resize(200, 300);
    view.SetDelegate(&delegate);
    view.SetModel(&model);
    view.show();
}

// Why widget does not show data on rect as a row of showView's sizes should; empty when it does.
inline QString rowWidgetProblem(qvViewItemWidget *widget, const QVariant &data, const QRect &rect)
{
    const auto *item = static_cast<TestItemWidget *>(widget);
    const QString text = data.toString();
    const bool b = text.startsWith(QLatin1String("B:"));
    if (item->lastData != text || item->kind() != (b ? QLatin1Char('B') : QLatin1Char('A')))
        return QStringLiteral("a %1 widget shows %2 for %3")
            .arg(item->kind())
            .arg(item->lastData, text);
    if (item->geometry() != rect || !item->isVisible())
        return QStringLiteral("the widget of %1 is hidden or off its row").arg(text);
    if (rect.height() != (b ? 45 : 30))
        return QStringLiteral("the row of %1 is %2 px high").arg(text).arg(rect.height());
    return QString();
}

// Fails the test with the text of a problem unless it is empty.
#define VERIFY_NO_PROBLEM(problem)                                                                 \
    do {                                                                                           \
        const QString found = (problem);                                                           \
        QVERIFY2(found.isEmpty(), qPrintable(found));                                              \
    } while (false)
