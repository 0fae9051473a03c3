#include "http/httpmemoryfile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

HttpMemoryFile *HttpMemoryFile::create(const QByteArray &bytes)
{
#if defined(MFD_ALLOW_SEALING) && defined(F_ADD_SEALS)
    const int fd = ::memfd_create("qcd-response", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (fd < 0)
        return nullptr;
    qint64 written = 0;
    while (written < bytes.size()) {
        const ssize_t count =
            ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            ::close(fd);
            return nullptr;
        }
        written += count;
    }
    if (::fcntl(fd, F_ADD_SEALS, F_SEAL_WRITE | F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_SEAL) != 0) {
        ::close(fd);
        return nullptr;
    }
    return new HttpMemoryFile(fd, bytes.size());
#else
    Q_UNUSED(bytes)
    return nullptr;
#endif
}

HttpMemoryFile::~HttpMemoryFile()
{
    ::close(m_fd);
}
