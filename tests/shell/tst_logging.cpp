#include "messagecapture.h"
#include "shell/basiclogging.h"
#include "testfiles.h"
#include "testworkdir.h"

#include <QRegularExpression>
#include <QTest>
#include <QThread>

namespace {
QStringList readLines(const QString &path)
{
    return QString::fromLocal8Bit(readAll(path)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
} // namespace

class TestLogging : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_work = std::make_unique<TestWorkDir>();
        m_work->mkpath(QStringLiteral("app"));
        BasicLogging::instance()->init();
        m_folder = m_work->path() + QStringLiteral("/app/log/");
        QCOMPARE(BasicLogging::instance()->logFolder(), m_folder);
    }

    void cleanup()
    {
        MessageCapture::install(); // init() put the log's handler in its place
        m_work.reset();
    }

    void levels_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("expected"); // text after the time stamp; empty: no line
        QTest::addRow("debug has an empty label") << int(QtDebugMsg) << QStringLiteral(" : Start.");
        QTest::addRow("warning") << int(QtWarningMsg) << QStringLiteral(" QWarning: Start.");
        QTest::addRow("critical") << int(QtCriticalMsg) << QStringLiteral(" QCritical: Start.");
        QTest::addRow("info leaves no trace") << int(QtInfoMsg) << QString();
    }

    void levels()
    {
        QFETCH(int, level);
        QFETCH(QString, expected);
        qt_message_output(QtMsgType(level), QMessageLogContext(), QStringLiteral("Start."));
        qDebug() << "Open config:" << QStringLiteral("/a/b"); // appended below
        const QStringList lines = readLines(m_folder + QStringLiteral("log1.txt"));
        QCOMPARE(lines.size(), expected.isEmpty() ? 1 : 2);
        QCOMPARE(lines.last().mid(12), QStringLiteral(" : Open config: \"/a/b\""));
        const QRegularExpression stamp(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d"));
        QVERIFY2(stamp.match(lines.first()).hasMatch(), qPrintable(lines.first()));
        if (!expected.isEmpty())
            QCOMPARE(lines.first().mid(12), expected);
    }

    void rotatesAtOneMebibyte()
    {
        const QString older = m_folder + QStringLiteral("log2.txt");
        const QString current = m_folder + QStringLiteral("log1.txt");
        const QByteArray filler(BasicLogging::RotateSize - 1, 'x');
        QVERIFY(writeFile(older, "oldest\n"));
        QVERIFY(writeFile(current, filler));

        qDebug("just below the limit: appended");
        QCOMPARE(QFileInfo(current).size(), BasicLogging::RotateSize - 1 + 12 + 3 + 30 + 1);
        qDebug("first line of the new log");

        const QStringList lines = readLines(current);
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines.first().mid(12), QStringLiteral(" : first line of the new log"));
        const QByteArray previous = readAll(older);
        QVERIFY(previous.startsWith(filler));
        QVERIFY(previous.endsWith(" : just below the limit: appended\n"));
        QVERIFY(!previous.contains("oldest"));
    }

    void threadsDoNotInterleave()
    {
        constexpr int threads = 4;
        constexpr int perThread = 300;
        std::vector<std::unique_ptr<QThread>> workers;
        for (int t = 0; t < threads; ++t) {
            workers.emplace_back(QThread::create([t] {
                for (int i = 0; i < perThread; ++i)
                    qWarning("thread %d line %d with some padding text", t, i);
            }));
            workers.back()->start();
        }
        for (auto &worker : workers)
            QVERIFY(worker->wait(60000));

        const QStringList lines = readLines(m_folder + QStringLiteral("log1.txt"));
        QCOMPARE(lines.size(), threads * perThread);
        const QRegularExpression shape(
            QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d QWarning: "
                           "thread \\d line \\d+ with some padding text$"));
        for (const QString &line : lines)
            QVERIFY2(shape.match(line).hasMatch(), qPrintable(line));
    }

    // The file stays open between messages; a removed or replaced file is seen within a second
    // and no message is lost in a file nobody can open.
    void removedLogIsCreatedAgain_data()
    {
        QTest::addColumn<bool>("replace"); // else removed
        QTest::addRow("removed") << false;
        QTest::addRow("replaced by another file") << true;
    }

    void removedLogIsCreatedAgain()
    {
        QFETCH(bool, replace);
        const QString log = m_folder + QStringLiteral("log1.txt");
        qDebug("before");
        QVERIFY(readAll(log).endsWith(" : before\n"));
        QVERIFY(QFile::remove(log));
        if (replace)
            QVERIFY(writeFile(log, "someone else's\n"));
        int line = 0;
        const auto logAndLook = [&line, &log] {
            qDebug("line %d", ++line);
            return readAll(log).contains(" : line ");
        };
        QTRY_VERIFY_WITH_TIMEOUT(logAndLook(), 5000);
        const QByteArray text = readAll(log);
        QCOMPARE(text.startsWith("someone else's\n"), replace);
        QVERIFY(!text.contains("before"));
        QVERIFY(text.endsWith(" : line " + QByteArray::number(line) + "\n"));
    }

private:
    std::unique_ptr<TestWorkDir> m_work;
    QString m_folder;
};

QTEST_GUILESS_MAIN(TestLogging)
#include "tst_logging.moc"
