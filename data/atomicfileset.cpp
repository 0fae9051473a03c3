#include "data/atomicfileset.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
qint64 spaceLeftForTesting = -1;
int failRenameAtForTesting = -1;
int renameCountForTesting = 0;

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QByteArray nativePath(const QString &path)
{
    return QFile::encodeName(path);
}

// A name beside the target that no phonebook file pattern ("*.xml", "*.csv") matches.
QString sideName(const QString &target, const char *kind)
{
    const QFileInfo info(target);
    return info.absolutePath() + QStringLiteral("/.") + info.fileName() + QLatin1Char('.') +
           QLatin1String(kind) + QLatin1Char('-') +
           QString::number(QRandomGenerator::global()->generate(), 16);
}
} // namespace

// A write-only device over a new file that remembers the first failure and its reason; output
// is collected in large pieces so that small writes cost no system call each.
class AtomicFileSet::StagedFile : public QIODevice
{
public:
    ~StagedFile() override
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    // Creates the file exclusively, with the target's permissions when it exists.
    bool create(const QString &path, const QString &target)
    {
        m_fd = ::open(nativePath(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd < 0) {
            m_reason = systemReason(errno);
            return false;
        }
        struct stat old;
        if (::stat(nativePath(target).constData(), &old) == 0)
            ::fchmod(m_fd, old.st_mode & 07777);
        return QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

    bool finish()
    {
        if (m_fd < 0)
            return false;
        const bool written = writeBuffer();
        if (written && ::fsync(m_fd) != 0 && errno != EINVAL)
            m_reason = systemReason(errno);
        if (::close(m_fd) != 0 && m_reason.isEmpty())
            m_reason = systemReason(errno);
        m_fd = -1;
        QIODevice::close();
        return m_reason.isEmpty();
    }

    QString reason() const { return m_reason; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        if (!m_reason.isEmpty())
            return -1;
        m_buffer.append(data, int(size));
        if (m_buffer.size() >= pieceSize && !writeBuffer())
            return -1;
        return size;
    }

private:
    static constexpr int pieceSize = 256 * 1024;

    bool writeBuffer()
    {
        const char *data = m_buffer.constData();
        qint64 left = m_buffer.size();
        while (left > 0 && m_reason.isEmpty()) {
            qint64 allowed = left;
            if (spaceLeftForTesting >= 0)
                allowed = qMin(left, spaceLeftForTesting);
            if (allowed == 0) {
                m_reason = systemReason(ENOSPC);
                break;
            }
            const ssize_t done = ::write(m_fd, data, size_t(allowed));
            if (done < 0) {
                if (errno != EINTR)
                    m_reason = systemReason(errno);
                continue;
            }
            if (spaceLeftForTesting >= 0)
                spaceLeftForTesting -= done;
            data += done;
            left -= done;
        }
        m_buffer.clear();
        if (!m_reason.isEmpty())
            setErrorString(m_reason);
        return m_reason.isEmpty();
    }

    int m_fd = -1;
    QByteArray m_buffer;
    QString m_reason;
};

AtomicFileSet::AtomicFileSet() = default;

AtomicFileSet::~AtomicFileSet()
{
    if (!m_committed)
        cancel();
}

void AtomicFileSet::setFaultsForTesting(qint64 spaceLeft, int failRenameAt)
{
    spaceLeftForTesting = spaceLeft;
    failRenameAtForTesting = failRenameAt;
    renameCountForTesting = 0;
}

QIODevice *AtomicFileSet::beginFile(const QString &path)
{
    if (m_current)
        finishFile();
    if (hasFailed())
        return nullptr;
    Entry entry;
    const QFileInfo info(path);
    // A link stays a link: the file it points at gets the new content.
    entry.target =
        info.isSymLink() && info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    auto staged = std::make_unique<StagedFile>();
    for (int attempt = 0; attempt < 100; ++attempt) {
        entry.temporary = sideName(entry.target, "saving");
        staged = std::make_unique<StagedFile>();
        if (staged->create(entry.temporary, entry.target))
            break;
        entry.temporary.clear();
        if (errno != EEXIST)
            break;
    }
    if (entry.temporary.isEmpty()) {
        fail(path, staged->reason());
        return nullptr;
    }
    m_entries.push_back(entry);
    m_current = std::move(staged);
    return m_current.get();
}

bool AtomicFileSet::finishFile()
{
    if (!m_current)
        return !hasFailed();
    const bool finished = m_current->finish();
    if (!finished)
        fail(m_entries.back().target, m_current->reason());
    m_current.reset();
    return finished;
}

bool AtomicFileSet::addFile(const QString &path, const QByteArray &content)
{
    QIODevice *device = beginFile(path);
    if (!device)
        return false;
    device->write(content);
    return finishFile();
}

bool AtomicFileSet::commit()
{
    finishFile();
    if (hasFailed() || m_committed) {
        cancel();
        return false;
    }
    for (int i = 0; i < int(m_entries.size()); ++i) {
        Entry &entry = m_entries[size_t(i)];
        struct stat old;
        entry.existed = ::lstat(nativePath(entry.target).constData(), &old) == 0;
        const QString backup = sideName(entry.target, "old");
        if (entry.existed &&
            ::link(nativePath(entry.target).constData(), nativePath(backup).constData()) == 0)
            entry.backup = backup;
        int error = 0;
        if (failRenameAtForTesting >= 0 && renameCountForTesting++ == failRenameAtForTesting)
            error = EIO;
        else if (::rename(nativePath(entry.temporary).constData(),
                          nativePath(entry.target).constData()) != 0)
            error = errno;
        if (error != 0) {
            fail(entry.target, systemReason(error));
            if (!entry.backup.isEmpty())
                ::unlink(nativePath(entry.backup).constData());
            entry.backup.clear();
            rollBack(i);
            cancel();
            return false;
        }
        entry.temporary.clear();
    }
    for (const Entry &entry : m_entries) {
        if (!entry.backup.isEmpty())
            ::unlink(nativePath(entry.backup).constData());
    }
    m_entries.clear();
    m_committed = true;
    return true;
}

void AtomicFileSet::rollBack(int renamed)
{
    for (int i = renamed - 1; i >= 0; --i) {
        Entry &entry = m_entries[size_t(i)];
        bool restored = false;
        if (!entry.backup.isEmpty())
            restored = ::rename(nativePath(entry.backup).constData(),
                                nativePath(entry.target).constData()) == 0;
        else if (!entry.existed)
            restored = ::unlink(nativePath(entry.target).constData()) == 0;
        // Without a hard link (a file system that takes none) the old version is gone; a link
        // that could not be renamed back is left beside the target rather than deleted.
        entry.backup.clear();
        if (!restored)
            m_unrestored.append(entry.target);
    }
}

void AtomicFileSet::cancel()
{
    m_current.reset();
    for (const Entry &entry : m_entries) {
        if (!entry.temporary.isEmpty())
            ::unlink(nativePath(entry.temporary).constData());
        if (!entry.backup.isEmpty())
            ::unlink(nativePath(entry.backup).constData());
    }
    m_entries.clear();
}

void AtomicFileSet::fail(const QString &path, const QString &reason)
{
    if (!m_error.isEmpty())
        return;
    m_error = QFileInfo(path).fileName() + QStringLiteral(": ") + reason;
    m_reason = reason;
}
