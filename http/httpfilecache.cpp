#include "http/httpfilecache.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTextCodec>
#include <QTextDecoder>

#include <memory>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

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
    const char *data = fileBytes.constData();
    const int size = fileBytes.size();
    // Plain ASCII without carriage returns is served as it is.
    bool plain = true;
    for (int i = 0; i < size && plain; ++i)
        plain = data[i] != '\r' && (uchar(data[i]) & 0x80) == 0;
    if (plain)
        return fileBytes;

    int start = 0;
    if (fileBytes.startsWith("\xEF\xBB\xBF"))
        start = 3;

    QByteArray text(size - start, Qt::Uninitialized);
    char *out = text.data();
    int length = 0;
    for (int i = start; i < size; ++i) {
        if (data[i] == '\r' && i + 1 < size && data[i + 1] == '\n')
            continue;
        out[length++] = data[i];
    }
    text.truncate(length);

    // Valid UTF-8 survives the round trip unchanged; anything else gets replacement characters.
    QTextCodec *codec = QTextCodec::codecForMib(106);
    const std::unique_ptr<QTextDecoder> decoder(codec->makeDecoder(QTextCodec::IgnoreHeader));
    const QByteArray normalised = decoder->toUnicode(text).toUtf8();
    return normalised == text ? text : normalised;
}

bool HttpFileCache::stampOf(const QString &path, Stamp *stamp)
{
#ifdef Q_OS_UNIX
    // One stat call: QFileInfo's times go through the local time zone, which costs several
    // system calls per request, and it has no inode.
    struct stat status;
    if (::stat(QFile::encodeName(path).constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    stamp->size = status.st_size;
    stamp->modifiedNs = qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    stamp->changedNs = qint64(status.st_ctim.tv_sec) * 1000000000 + status.st_ctim.tv_nsec;
    stamp->device = status.st_dev;
    stamp->inode = status.st_ino;
    return true;
#else
    const QFileInfo info(path);
    if (!info.isFile())
        return false;
    stamp->size = info.size();
    stamp->modifiedNs = info.lastModified().toMSecsSinceEpoch() * 1000000;
    stamp->changedNs = info.metadataChangeTime().toMSecsSinceEpoch() * 1000000;
    return true;
#endif
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
    const QString key = canonicalKey(relativePath);
    if (key.isEmpty())
        return QByteArray();
    const QString path = m_rootPath + key;
    Stamp before;
    if (!stampOf(path, &before)) {
        forget(key);
        return QByteArray();
    }

    auto cached = m_entries.find(key);
    if (cached != m_entries.end()) {
        if (cached->stamp == before) {
            m_order.splice(m_order.end(), m_order, cached->place);
            return cached->response;
        }
        forget(key);
    }

    // Symbolic links may point anywhere: only what really lies inside the folder is opened.
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (!isInsideRoot(canonical))
        return QByteArray();

    QFile file(canonical);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    const QByteArray raw = file.readAll();
    const bool readFailed = file.error() != QFileDevice::NoError;
    file.close();
    if (readFailed)
        return QByteArray();

    // A file written while it was read may mix old and new bytes: nothing is better than that.
    Stamp after;
    if (!stampOf(canonical, &after) || after.size != raw.size() ||
        (after.modifiedNs != before.modifiedNs || after.changedNs != before.changedNs))
        return QByteArray();

    const QByteArray content = body(raw);
    const QByteArray response = head(content.size()) + content;

    // Cache only what was read whole from a file that has been still for a while: a change
    // within the file system's time granularity could otherwise keep the same stamp.
    const qint64 nowNs = QDateTime::currentMSecsSinceEpoch() * 1000000;
    const bool settled = nowNs - qMax(before.modifiedNs, before.changedNs) >= m_settleMs * 1000000;
    if (settled && after == before && raw.size() <= MaxEntrySize)
        store(key, response, after);
    return response;
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

void HttpFileCache::store(const QString &key, const QByteArray &response, const Stamp &stamp)
{
    // The key is held twice (hash and order) in UTF-16, plus the nodes around it.
    const qint64 cost = response.size() + 4 * qint64(key.size()) + EntryOverhead;
    if (cost > m_maxTotalSize)
        return;
    while (!m_order.empty() && m_totalSize + cost > m_maxTotalSize)
        forget(QString(m_order.front())); // a copy: forgetting frees the node
    Entry entry;
    entry.response = response;
    entry.stamp = stamp;
    entry.cost = cost;
    entry.place = m_order.insert(m_order.end(), key);
    m_entries.insert(key, entry);
    m_totalSize += cost;
}

void HttpFileCache::clear()
{
    m_entries.clear();
    m_order.clear();
    m_totalSize = 0;
}
