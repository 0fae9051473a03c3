#pragma once

#include <QMutex>
#include <QObject>
#include <QString>

// Sends every debug, warning, critical and fatal message to stderr and to a two-file rotating
// log (log1.txt, log2.txt) under app/log.
class BasicLogging : public QObject
{
    Q_OBJECT
public:
    static BasicLogging *instance();

    // Log folder <working directory>/app/log/ (created one level deep), then installs the handler.
    void init();
    // Same with an explicit folder; used by tests and tools.
    void init(const QString &folder);

    QString logFolder() const;

    // Appends "hh:mm:ss.zzz <label>: <text>\n" to log1.txt, rotating at 1 MiB.
    void writeLine(const QString &label, const QString &text);

    static constexpr qint64 RotateSize = 0x100000;

private:
    BasicLogging() = default;
    static void messageHandler(QtMsgType type, const QMessageLogContext &context,
                               const QString &message);
    void writeLineLocked(const QString &label, const QString &text);

    QString m_logFolder;
    // Qt may log from its own threads: one writer at a time keeps lines whole and rotation sane.
    mutable QMutex m_mutex;
};
