#pragma once

#include <QMutex>
#include <QObject>
#include <QString>

// Sends every debug, warning, critical and fatal message to stderr and to a two-file rotating
// log (log1.txt, log2.txt) under app/log. log1.txt stays open between messages (a busy server
// logs two lines per request); once a second the handler checks that the name still leads to the
// open file and learns its size again, so a log removed or changed by someone else is picked up.
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
    ~BasicLogging() override;
    static void messageHandler(QtMsgType type, const QMessageLogContext &context,
                               const QString &message);
    void writeLineLocked(const QString &label, const QString &text);
    // Opens log1.txt when needed, or again when its name leads elsewhere now; false when it
    // cannot be opened.
    bool ensureOpenLocked(qint64 nowMs);
    // Milliseconds since local midnight.
    qint64 localMsOfDayLocked();
    void closeLocked();

    QString m_logFolder;
    int m_fd = -1;              // log1.txt, open for appending
    qint64 m_size = 0;          // its size as last learnt plus what was written since
    qint64 m_checkedAt = -1;    // when the name and size were last checked, ms since midnight
    qint64 m_offsetMs = 0;      // local time minus UTC, as last looked up
    qint64 m_offsetSecond = -1; // the UTC second of that look-up
    // Qt may log from its own threads: one writer at a time keeps lines whole and rotation sane.
    mutable QMutex m_mutex;
};
