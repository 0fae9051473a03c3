#pragma once

#include <QString>

// Marks the one running copy of the editor. Backed by an exclusive advisory lock on a file in the
// temporary folder: the kernel drops the lock when the process ends, even when it is killed,
// so a crash never blocks the next start.
class SingleInstanceGuard
{
public:
    explicit SingleInstanceGuard(const QString &key);
    ~SingleInstanceGuard();

    SingleInstanceGuard(const SingleInstanceGuard &) = delete;
    SingleInstanceGuard &operator=(const SingleInstanceGuard &) = delete;

    // True when this process now holds the guard; false when another copy holds it.
    bool tryAcquire();

private:
    QString m_path;
    int m_fd = -1;
};
