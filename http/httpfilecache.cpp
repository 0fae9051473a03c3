#include "http/httpfilecache.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <memory>

#include <fcntl.h>
#include <unistd.h>

HttpFileCache::HttpFileCache(const QString &rootPath) : m_rootPath(rootPath) {}

QByteArray HttpFileCache::head(qint64 bodyLength)
{
    return QByteArrayLiteral("HTTP/1.1 200 OK\r\n"
                             "Server: nginx\r\n"
                             "Content-Type: application/octet-stream;charset=utf-8\r\n"
                             "Connection: close\r\n"
                             "Content-Length: ") +
           QByteArray::number(bodyLength) + QByteArrayLiteral("\r\n\r\n");
}

QByteArray HttpFileCache::body(const QByteArray &fileBytes)
{
    return HttpBodyFilter::convert(fileBytes);
}

bool HttpFileCache::isInsideRoot(const QString &canonicalPath) const
{
    const QString root = QFileInfo(m_rootPath).canonicalFilePath();
    if (root.isEmpty() || canonicalPath.isEmpty())
        return false;
    if (root == QLatin1String("/"))
        return canonicalPath.size() > 1;
    return canonicalPath.size() > root.size() + 1 && canonicalPath.startsWith(root) &&
           canonicalPath.at(root.size()) == QLatin1Char('/');
}

QString HttpFileCache::canonicalKey(const QString &relativePath)
{
    QString key;
    key.reserve(relativePath.size());
    for (const QStringRef &segment : relativePath.splitRef(QLatin1Char('/'))) {
        if (segment.isEmpty() || segment == QLatin1String("."))
            continue;
        if (!key.isEmpty())
            key += QLatin1Char('/');
        key += segment;
    }
    return key;
}

QByteArray HttpFileCache::response(const QString &relativePath)
{
    Answer answer = lookup(relativePath);
    return answer.stream ? answer.stream->readAll() : answer.response;
}

HttpFileCache::Answer HttpFileCache::lookup(const QString &relativePath)
{
    const QString key = canonicalKey(relativePath);
    if (key.isEmpty())
        return Answer();
    const QString path = m_rootPath + key;
    Stamp before;
    if (!Stamp::of(QFile::encodeName(path), &before)) {
        forget(key);
        m_scans.remove(key);
        return Answer();
    }

    auto cached = m_entries.find(key);
    if (cached != m_entries.end()) {
        if (cached->stamp == before) {
            m_order.splice(m_order.end(), m_order, cached->place);
            Answer answer;
            answer.response = cached->response;
            answer.file = cached->file;
            return answer;
        }
        forget(key);
    }

    // Symbolic links may point anywhere: only what really lies inside the folder is opened.
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (!isInsideRoot(canonical))
        return Answer();
    const int fd = ::open(QFile::encodeName(canonical).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return Answer();
    Stamp opened;
    if (!Stamp::of(fd, &opened)) {
        ::close(fd);
        return Answer();
    }

    // Cache only what was read whole from a file that has been still for a while: a change
    // within the file system's time granularity could otherwise keep the same stamp.
    const qint64 nowNs = QDateTime::currentMSecsSinceEpoch() * 1000000;
    const bool settled = nowNs - qMax(opened.modifiedNs, opened.changedNs) >= m_settleMs * 1000000;
    Answer answer;
    if (opened.size <= (settled ? qMax(m_maxEntrySize, m_maxBufferedSize) : m_maxBufferedSize)) {
        QByteArray raw;
        Stamp after;
        // A file written while it was read may mix old and new bytes: nothing is better.
        const bool whole = HttpFileStream::readAt(fd, 0, opened.size, &raw) &&
                           Stamp::of(fd, &after) && after == opened && raw.size() == opened.size;
        ::close(fd);
        if (!whole)
            return Answer();
        const QByteArray content = body(raw);
        answer.response = head(content.size()) + content;
        if (settled && opened.size <= m_maxEntrySize) {
            if (const Entry *entry = store(key, answer.response, opened))
                answer.file = entry->file;
        }
        return answer;
    }
    answer.stream = std::make_unique<HttpFileStream>(fd, opened, scanFor(key, fd, opened));
    return answer;
}

std::shared_ptr<HttpFileStream::Scan> HttpFileCache::scanFor(const QString &key, int fd,
                                                             const Stamp &stamp)
{
    auto known = m_scans.find(key);
    if (known != m_scans.end() && (*known)->stamp().sameContent(stamp))
        return *known;
    // Few large files are served at a time; forgetting a pass only costs another one.
    if (m_scans.size() >= MaxScans)
        m_scans.clear();
    auto scan = std::make_shared<HttpFileStream::Scan>(::fcntl(fd, F_DUPFD_CLOEXEC, 0), stamp);
    m_scans.insert(key, scan);
    return scan;
}

void HttpFileCache::forget(const QString &key)
{
    const auto it = m_entries.find(key);
    if (it == m_entries.end())
        return;
    m_totalSize -= it->cost;
    m_order.erase(it->place);
    m_entries.erase(it);
}

const HttpFileCache::Entry *HttpFileCache::store(const QString &key, const QByteArray &response,
                                                 const Stamp &stamp)
{
    Entry entry;
    entry.response = response;
    entry.stamp = stamp;
    if (response.size() >= HttpMemoryFile::MinSize && response.size() <= HttpMemoryFile::MaxSize)
        entry.file.reset(HttpMemoryFile::create(response));
    // The key is held twice (hash and order) in UTF-16, plus the nodes around it.
    entry.cost = response.size() + (entry.file ? entry.file->size() : 0) + 4 * qint64(key.size()) +
                 EntryOverhead;
    if (entry.cost > m_maxTotalSize)
        return nullptr;
    while (!m_order.empty() && m_totalSize + entry.cost > m_maxTotalSize)
        forget(QString(m_order.front())); // a copy: forgetting frees the node
    entry.place = m_order.insert(m_order.end(), key);
    m_totalSize += entry.cost;
    return &*m_entries.insert(key, entry);
}

void HttpFileCache::clear()
{
    m_scans.clear();
    m_entries.clear();
    m_order.clear();
    m_totalSize = 0;
}
