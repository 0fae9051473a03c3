#include "shell/basiclogging.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMutexLocker>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

BasicLogging *BasicLogging::instance()
{
    static BasicLogging logging;
    return &logging;
}

BasicLogging::~BasicLogging()
{
    closeLocked();
}

void BasicLogging::init()
{
    init(QDir::currentPath() + QStringLiteral("/app/log/"));
}

void BasicLogging::init(const QString &folder)
{
    {
        QMutexLocker locker(&m_mutex);
        closeLocked();
        m_logFolder = folder;
        if (!m_logFolder.endsWith(QLatin1Char('/')))
            m_logFolder += QLatin1Char('/');
        QDir dir(m_logFolder);
        if (!dir.exists())
            QDir().mkdir(m_logFolder); // one level only: a missing parent leaves logging to stderr
    }
    qInstallMessageHandler(&BasicLogging::messageHandler);
}

QString BasicLogging::logFolder() const
{
    QMutexLocker locker(&m_mutex);
    return m_logFolder;
}

void BasicLogging::writeLine(const QString &label, const QString &text)
{
    QMutexLocker locker(&m_mutex);
    writeLineLocked(label, text);
}

void BasicLogging::closeLocked()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_checkedAt = -1;
}

bool BasicLogging::ensureOpenLocked(qint64 nowMs)
{
    if (m_fd >= 0 && nowMs >= m_checkedAt && nowMs - m_checkedAt < 1000)
        return true;
    const QByteArray current = QFile::encodeName(m_logFolder + QStringLiteral("log1.txt"));
    struct stat named;
    struct stat open;
    if (m_fd >= 0 && (::stat(current.constData(), &named) != 0 || ::fstat(m_fd, &open) != 0 ||
                      named.st_ino != open.st_ino || named.st_dev != open.st_dev))
        closeLocked();
    if (m_fd < 0)
        m_fd = ::open(current.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (m_fd < 0 || ::fstat(m_fd, &open) != 0) {
        closeLocked();
        return false;
    }
    m_size = open.st_size;
    m_checkedAt = nowMs;
    return true;
}

qint64 BasicLogging::localMsOfDayLocked()
{
    // The zone's offset is looked up once a second: Qt's local time reads the zone file on every
    // call, which costs more than the rest of a line.
    const qint64 utcMs = QDateTime::currentMSecsSinceEpoch();
    if (utcMs / 1000 != m_offsetSecond) {
        m_offsetSecond = utcMs / 1000;
        m_offsetMs = qint64(QDateTime::fromMSecsSinceEpoch(utcMs).offsetFromUtc()) * 1000;
    }
    const qint64 msPerDay = 24 * 3600 * 1000;
    return ((utcMs + m_offsetMs) % msPerDay + msPerDay) % msPerDay;
}

void BasicLogging::writeLineLocked(const QString &label, const QString &text)
{
    if (m_logFolder.isEmpty())
        return;
    const qint64 nowMs = localMsOfDayLocked();
    char stamp[16]; // hh:mm:ss.zzz
    std::snprintf(stamp, sizeof stamp, "%02d:%02d:%02d.%03d", int(nowMs / 3600000),
                  int(nowMs / 60000 % 60), int(nowMs / 1000 % 60), int(nowMs % 1000));
    const QByteArray line =
        QStringLiteral("%1 %2: %3").arg(QLatin1String(stamp), label, text).toLocal8Bit() + '\n';
    if (!ensureOpenLocked(nowMs))
        return;
    if (m_size >= RotateSize) {
        // The line that finds the log full is the first line of the new one.
        closeLocked();
        const QString current = m_logFolder + QStringLiteral("log1.txt");
        const QString previous = m_logFolder + QStringLiteral("log2.txt");
        QFile::remove(previous);
        if (::rename(QFile::encodeName(current).constData(),
                     QFile::encodeName(previous).constData()) != 0)
            QFile::remove(current);
        if (!ensureOpenLocked(nowMs))
            return;
    }
    qint64 written = 0;
    while (written < line.size()) {
        const ssize_t count =
            ::write(m_fd, line.constData() + written, size_t(line.size() - written));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        written += count;
    }
    m_size += written;
}

void BasicLogging::messageHandler(QtMsgType type, const QMessageLogContext &,
                                  const QString &message)
{
    const char *prefix = nullptr;
    QString label;
    switch (type) {
    case QtDebugMsg:
        prefix = "";
        break;
    case QtWarningMsg:
        prefix = "Warning: ";
        label = QStringLiteral("QWarning");
        break;
    case QtCriticalMsg:
        prefix = "Critical: ";
        label = QStringLiteral("QCritical");
        break;
    case QtFatalMsg:
        prefix = "Fatal: ";
        label = QStringLiteral("QFatal");
        break;
    default:
        return; // info and unknown levels leave no trace
    }
    BasicLogging *self = instance();
    {
        QMutexLocker locker(&self->m_mutex);
        std::fprintf(stderr, "%s%s\n", prefix, message.toLocal8Bit().constData());
        std::fflush(stderr);
        self->writeLineLocked(label, message);
    }
    if (type == QtFatalMsg)
        std::abort();
}
