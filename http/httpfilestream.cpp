#include "http/httpfilestream.h"

#include "http/httpfilecache.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {
bool fromStatus(const struct stat &status, HttpFileStream::Stamp *stamp)
{
    if (!S_ISREG(status.st_mode))
        return false;
    stamp->size = status.st_size;
    stamp->modifiedNs = qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    stamp->changedNs = qint64(status.st_ctim.tv_sec) * 1000000000 + status.st_ctim.tv_nsec;
    stamp->device = status.st_dev;
    stamp->inode = status.st_ino;
    return true;
}
} // namespace

bool HttpFileStream::Stamp::of(int fd, Stamp *stamp)
{
    struct stat status;
    return ::fstat(fd, &status) == 0 && fromStatus(status, stamp);
}

bool HttpFileStream::Stamp::of(const QByteArray &path, Stamp *stamp)
{
    struct stat status;
    return ::stat(path.constData(), &status) == 0 && fromStatus(status, stamp);
}

bool HttpFileStream::readAt(int fd, qint64 offset, qint64 length, QByteArray *bytes)
{
    bytes->resize(int(length));
    qint64 done = 0;
    while (done < length) {
        const ssize_t count =
            ::pread(fd, bytes->data() + done, size_t(length - done), off_t(offset + done));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return false;
        if (count == 0)
            break;
        done += count;
    }
    bytes->resize(int(done));
    return true;
}

namespace {

// Whether the file still is the version the stamp describes.
bool unchanged(int fd, const HttpFileStream::Stamp &stamp)
{
    HttpFileStream::Stamp now;
    return HttpFileStream::Stamp::of(fd, &now) && now.sameContent(stamp);
}

} // namespace

HttpFileStream::Scan::Scan(int fd, const Stamp &stamp) : m_fd(fd), m_stamp(stamp) {}

HttpFileStream::Scan::~Scan()
{
    ::close(m_fd);
}

HttpFileStream::Result HttpFileStream::Scan::step()
{
    if (m_failed)
        return Changed;
    if (m_done)
        return Done;
    QByteArray bytes;
    for (qint64 read = 0; read < ScanStepSize && !m_done;) {
        // A hole in a sparse file reads as zeros, which pass unchanged once the filter has
        // seen one of them: no need to read it.
        const off_t data = ::lseek(m_fd, off_t(m_offset), SEEK_DATA);
        const qint64 holeEnd = data >= 0 ? qint64(data) : (errno == ENXIO ? m_stamp.size : -1);
        if (holeEnd > m_offset + 1) {
            m_bodyLength += m_filter.feed(QByteArray(1, '\0')).size() + (holeEnd - m_offset - 1);
            m_offset = holeEnd;
        }
        if (!readAt(m_fd, m_offset, PieceSize, &bytes) || !unchanged(m_fd, m_stamp)) {
            m_failed = true;
            return Changed;
        }
        m_offset += bytes.size();
        read += bytes.size();
        m_bodyLength += m_filter.feed(bytes).size();
        if (bytes.size() < PieceSize) {
            m_bodyLength += m_filter.finish().size();
            if (m_offset != m_stamp.size) {
                m_failed = true;
                return Changed;
            }
            m_identity = m_filter.isIdentity() && m_bodyLength == m_offset;
            m_done = true;
        }
    }
    return m_done ? Done : Pending;
}

HttpFileStream::HttpFileStream(int fd, const Stamp &stamp, std::shared_ptr<Scan> scan)
    : m_fd(fd), m_stamp(stamp), m_scan(std::move(scan))
{}

HttpFileStream::~HttpFileStream()
{
    ::close(m_fd);
}

HttpFileStream::Result HttpFileStream::next(QByteArray *piece)
{
    if (m_done)
        return Done;
    if (!m_headSent) {
        const Result scanned = m_scan->step();
        if (scanned != Done)
            return scanned;
        m_headSent = true;
        *piece = HttpFileCache::head(m_scan->bodyLength());
        return Piece;
    }

    QByteArray bytes;
    if (!readAt(m_fd, m_offset, PieceSize, &bytes) || !unchanged(m_fd, m_stamp))
        return Changed;
    m_offset += bytes.size();
    const bool atEnd = bytes.size() < PieceSize;
    if (m_scan->isIdentity()) {
        *piece = bytes;
    } else {
        *piece = m_filter.feed(bytes);
        if (atEnd)
            *piece += m_filter.finish();
    }
    m_produced += piece->size();
    // The head has announced the length: never a byte more, and never less without breaking off.
    if (m_produced > m_scan->bodyLength() || (atEnd && m_produced != m_scan->bodyLength()))
        return Changed;
    if (atEnd)
        m_done = true;
    return Piece;
}

QByteArray HttpFileStream::readAll()
{
    QByteArray all;
    for (;;) {
        QByteArray piece;
        switch (next(&piece)) {
        case Piece:
            all += piece;
            break;
        case Pending:
            break;
        case Done:
            return all;
        case Changed:
            return QByteArray();
        }
    }
}
