#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QIODevice;

// Saves one file or several as one step: either every file gets its new content or every file
// stays as it was. Each file is written to a temporary file beside it; every write, the flush and
// the sync to disk are checked. commit() then renames the temporary files over the targets,
// keeping the old versions (as hard links) until the last rename worked, so that a failure
// part-way puts them back. Error texts name the file and the system's reason, for example
// "book.xml: No space left on device". One set serves one save; GUI thread only.
class AtomicFileSet
{
public:
    AtomicFileSet();
    // Removes the temporary files of a set that was not committed.
    ~AtomicFileSet();
    AtomicFileSet(const AtomicFileSet &) = delete;
    AtomicFileSet &operator=(const AtomicFileSet &) = delete;

    // Starts the next file; write its content to the device, then call finishFile(). None when
    // the temporary file cannot be created. The device belongs to the set.
    QIODevice *beginFile(const QString &path);
    // Flushes, syncs and closes the file begun last. False when any write to it failed.
    bool finishFile();
    // beginFile, one write, finishFile.
    bool addFile(const QString &path, const QByteArray &content);
    // Puts every finished file in place. False (and every target as it was, as far as the
    // system allows: see unrestoredFiles) when the set failed before or a rename fails.
    bool commit();
    // Drops every temporary file; the targets stay as they were.
    void cancel();

    bool hasFailed() const { return !m_error.isEmpty(); }
    // "path: reason" of the first failure; empty while none happened.
    QString errorString() const { return m_error; }
    // The system's reason alone ("No space left on device").
    QString reason() const { return m_reason; }
    // Targets that a failed commit could neither finish nor put back as they were.
    QStringList unrestoredFiles() const { return m_unrestored; }

    // Fault injection for tests. spaceLeft: the bytes all sets together may still write before
    // every write fails with "No space left on device" (-1: no limit). failRenameAt: the index
    // (counting from 0 over all commits) of the rename that fails (-1: none).
    static void setFaultsForTesting(qint64 spaceLeft, int failRenameAt);

private:
    class StagedFile;
    struct Entry
    {
        QString target;
        QString temporary;
        QString backup; // hard link to the old version while the commit runs; empty if none
        bool existed = false;
    };

    void fail(const QString &path, const QString &reason);
    void rollBack(int renamed);

    std::vector<Entry> m_entries;
    std::unique_ptr<StagedFile> m_current;
    QString m_error;
    QString m_reason;
    QStringList m_unrestored;
    bool m_committed = false;
};
