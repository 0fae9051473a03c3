#include "shell/singleinstanceguard.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A real folder (not a link) of this user that nobody else may write into or look into.
bool isPrivateFolder(const QByteArray &path)
{
    struct stat status;
    return ::lstat(path.constData(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == ::geteuid() && (status.st_mode & 077) == 0;
}

// The private folder below the temporary folder, made (or its mode mended) when it is ours.
bool makePrivateFolder(const QByteArray &path)
{
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat status;
    if (::lstat(path.constData(), &status) != 0 || !S_ISDIR(status.st_mode) ||
        status.st_uid != ::geteuid())
        return false; // someone else's, or a link planted in a shared folder
    if ((status.st_mode & 077) != 0 && ::chmod(path.constData(), 0700) != 0)
        return false;
    return isPrivateFolder(path);
}

} // namespace

SingleInstanceGuard::SingleInstanceGuard(const QString &key) : m_key(key) {}

SingleInstanceGuard::~SingleInstanceGuard()
{
    if (m_fd >= 0)
        ::close(m_fd); // releases the lock; the file itself may stay, it holds nothing
}

QString SingleInstanceGuard::lockPath(const QString &key)
{
    const QString fileName = key + QStringLiteral(".lock");
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (runtime.startsWith('/') && isPrivateFolder(runtime))
        return QFile::decodeName(runtime) + QLatin1Char('/') + fileName;

    const QString folder =
        QDir::tempPath() + QLatin1Char('/') + key + QLatin1Char('-') + QString::number(::geteuid());
    if (makePrivateFolder(QFile::encodeName(folder)))
        return folder + QLatin1Char('/') + fileName;
    return QString();
}

bool SingleInstanceGuard::tryAcquire()
{
    if (m_fd >= 0)
        return true;
    const QString path = lockPath(m_key);
    if (path.isEmpty())
        return true;
    // The folder is private, yet a link there could still point anywhere: never follow one.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return true; // cannot tell: let this copy run rather than refuse every start
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool held = errno == EWOULDBLOCK;
        ::close(fd);
        return !held;
    }
    m_fd = fd;
    return true;
}
