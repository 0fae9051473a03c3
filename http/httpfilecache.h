#pragma once

#include "http/httpfilestream.h"
#include "http/httpmemoryfile.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <list>
#include <memory>

// Builds the responses for the files under one folder and keeps recent ones in memory. A kept
// response is used only while a stat of the file (size, inode, modification and change times)
// still says what it said when the file was read, and only files that have been still for a
// while are kept, so a save is always served at once. Entries are keyed by the path with "."
// segments and doubled slashes removed, so every spelling of a file shares one entry; their
// keys count against the size limit, and the least recently used entry goes first, at once.
class HttpFileCache
{
public:
    // Settled files up to this size are kept; larger ones are streamed.
    static constexpr qint64 MaxEntrySize = 16 * 1024 * 1024;
    // Files that are not kept are read whole up to this size and streamed above it, so that
    // memory does not grow with the number of clients fetching a fresh file.
    static constexpr qint64 MaxBufferedSize = 1024 * 1024;
    static constexpr qint64 MaxTotalSize = 64 * 1024 * 1024;
    // What an entry costs beyond its response and key: hash node, list node, string headers.
    static constexpr qint64 EntryOverhead = 160;
    // A file touched less than this long ago may still change within the file system's time
    // granularity without its times showing it.
    static constexpr qint64 DefaultSettleMs = 2000;
    // Length passes of streamed files remembered at most.
    static constexpr int MaxScans = 64;

    // rootPath: the served folder, ending in a slash.
    explicit HttpFileCache(const QString &rootPath);

    QString rootPath() const { return m_rootPath; }
    // Serves another folder from now on; forgets everything kept.
    void setRootPath(const QString &rootPath)
    {
        clear();
        m_rootPath = rootPath;
    }

    using Stamp = HttpFileStream::Stamp;

    // The response for one request: whole bytes (shared with the cache), or a stream for a file
    // too large to hold; neither when there is nothing to serve.
    struct Answer
    {
        QByteArray response;
        // The same bytes as a sealed memory file, for responses of a size where that pays.
        std::shared_ptr<HttpMemoryFile> file;
        std::unique_ptr<HttpFileStream> stream;
        bool isEmpty() const { return response.isEmpty() && !stream; }
    };

    // The answer for the file at the relative path (as HttpRequestLine::toRelativePath gives
    // it); empty when it is missing, not a regular file, unreadable, resolves outside the root or
    // changed while it was read.
    Answer lookup(const QString &relativePath);
    // Head and body at once, streamed files read whole; for tests and tools.
    QByteArray response(const QString &relativePath);

    // The response head for a body of that many bytes.
    static QByteArray head(qint64 bodyLength);
    // The body served for a file's bytes: CR LF line ends become LF, a leading byte order mark is
    // dropped and invalid UTF-8 is replaced, as the phones have always received it.
    static QByteArray body(const QByteArray &fileBytes);

    // The path with "." segments and empty segments removed; empty when nothing is left.
    static QString canonicalKey(const QString &relativePath);

    int entryCount() const { return m_entries.size(); }
    // Bytes the entries hold, their keys and bookkeeping included; at most maxTotalSize().
    qint64 totalSize() const { return m_totalSize; }
    qint64 maxTotalSize() const { return m_maxTotalSize; }
    // Whether a response for the path is kept.
    bool holds(const QString &relativePath) const
    {
        return m_entries.contains(canonicalKey(relativePath));
    }
    void clear();
    void setSettleMs(qint64 ms) { m_settleMs = ms; }
    void setMaxTotalSize(qint64 bytes) { m_maxTotalSize = bytes; }
    void setSizeLimits(qint64 maxEntrySize, qint64 maxBufferedSize)
    {
        m_maxEntrySize = maxEntrySize;
        m_maxBufferedSize = maxBufferedSize;
    }

private:
    struct Entry
    {
        QByteArray response;
        std::shared_ptr<HttpMemoryFile> file;
        Stamp stamp;
        qint64 cost = 0;
        std::list<QString>::iterator place; // in m_order
    };

    std::shared_ptr<HttpFileStream::Scan> scanFor(const QString &key, int fd, const Stamp &stamp);
    bool isInsideRoot(const QString &canonicalPath) const;
    void forget(const QString &key);
    // The kept entry, or null when the response does not fit.
    const Entry *store(const QString &key, const QByteArray &response, const Stamp &stamp);

    QString m_rootPath;
    qint64 m_settleMs = DefaultSettleMs;
    qint64 m_maxTotalSize = MaxTotalSize;
    qint64 m_maxEntrySize = MaxEntrySize;
    qint64 m_maxBufferedSize = MaxBufferedSize;
    // The length passes of streamed files, one per path; a newer version replaces an older.
    QHash<QString, std::shared_ptr<HttpFileStream::Scan>> m_scans;
    QHash<QString, Entry> m_entries;
    std::list<QString> m_order; // keys, least recently used first
    qint64 m_totalSize = 0;
};
