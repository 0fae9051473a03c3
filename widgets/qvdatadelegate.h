#pragma once

#include <QObject>

// Base of every delegate: the object that turns a row's value into its item widget. The actual
// interface lives in qvViewItemDelegate.
class qvDataDelegate : public QObject
{
    Q_OBJECT
public:
    explicit qvDataDelegate(QObject *parent = nullptr);

    // Hook for subclasses that need late set-up; the framework never calls it.
    virtual void Init();
};
