#pragma once

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

// A fresh working folder for one test: the process's current directory points into it while the
// object lives. A failed test keeps its folder for inspection and prints where it is.
class TestWorkDir
{
public:
    TestWorkDir() : m_previous(QDir::currentPath()) { QDir::setCurrent(m_dir.path()); }
    ~TestWorkDir()
    {
        QDir::setCurrent(m_previous);
        if (QTest::currentTestFailed()) {
            m_dir.setAutoRemove(false);
            qWarning("kept the failed test's folder: %s", qPrintable(m_dir.path()));
        }
    }
    TestWorkDir(const TestWorkDir &) = delete;
    TestWorkDir &operator=(const TestWorkDir &) = delete;

    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }
    // Creates a sub-folder (and its parents); returns its absolute path.
    QString mkpath(const QString &relative) const
    {
        QDir(m_dir.path()).mkpath(relative);
        return m_dir.filePath(relative);
    }

private:
    QString m_previous;
    QTemporaryDir m_dir;
};
