#pragma once

#include <QString>

// Marks the one running copy of the editor for one user. Backed by an exclusive advisory lock on
// a file in a folder only that user can write: the per-user runtime folder (XDG_RUNTIME_DIR) when
// it is a private folder of the user, else "<temporary folder>/<key>-<uid>" created with mode
// 0700. Another user can then neither hold the lock nor plant a link where it is opened. The
// kernel drops the lock when the process ends, even when it is killed, so a crash never blocks
// the next start.
class SingleInstanceGuard
{
public:
    explicit SingleInstanceGuard(const QString &key);
    ~SingleInstanceGuard();

    SingleInstanceGuard(const SingleInstanceGuard &) = delete;
    SingleInstanceGuard &operator=(const SingleInstanceGuard &) = delete;

    // True when this process now holds the guard, or when no private place for it exists (a copy
    // is better let run than every start refused); false when another copy holds it.
    bool tryAcquire();

    // The lock file's path for the current environment, creating the private folder when needed;
    // empty when neither candidate folder is private to this user.
    static QString lockPath(const QString &key);

private:
    QString m_key;
    int m_fd = -1;
};
