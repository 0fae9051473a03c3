#pragma once

// Row widgets and delegates shared by the view tests. Values are strings: "A:..." rows get an
// A widget, "B:..." rows a B widget, "none" rows no widget at all.

#include "widgets/qvlistwidgetdelegate.h"
#include "widgets/qvviewitemdelegate.h"
#include "widgets/qvviewitemwidget.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QString>
#include <QVariant>

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

// Runs the deletions that detached widgets have queued, so TestItemWidget::live is exact.
inline void flushDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Item widgets alive once the queued deletions have run.
inline int liveWidgets()
{
    flushDeferredDeletes();
    return TestItemWidget::live;
}
