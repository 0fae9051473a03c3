#include "shell/basiclogging.h"

#include <QDir>
#include <QFile>
#include <QMutexLocker>
#include <QTime>

#include <cstdio>
#include <cstdlib>

BasicLogging *BasicLogging::instance()
{
    static BasicLogging logging;
    return &logging;
}

void BasicLogging::init()
{
    init(QDir::currentPath() + QStringLiteral("/app/log/"));
}

void BasicLogging::init(const QString &folder)
{
    {
        QMutexLocker locker(&m_mutex);
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

void BasicLogging::writeLineLocked(const QString &label, const QString &text)
{
    if (m_logFolder.isEmpty())
        return;
    const QByteArray line =
        QStringLiteral("%1 %2: %3")
            .arg(QTime::currentTime().toString(QStringLiteral("hh:mm:ss.zzz")), label, text)
            .toLocal8Bit() +
        '\n';
    const QString current = m_logFolder + QStringLiteral("log1.txt");
    QFile file(current);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    if (file.size() >= RotateSize) {
        file.close();
        const QString previous = m_logFolder + QStringLiteral("log2.txt");
        QFile::remove(previous);
        QFile::copy(current, previous);
        QFile::remove(current);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
            return;
    }
    file.write(line);
    file.close();
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
