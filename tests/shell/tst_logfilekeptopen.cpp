#include "shell/basiclogging.h"
#include "testfiles.h"
#include "testworkdir.h"

#include <QTest>

// The log file stays open between messages; what others do to it must still be seen.
class TestLogFileKeptOpen : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { MessageCapture::install(); } // init() put the log's handler in its place

    void removedLogIsCreatedAgain_data()
    {
        QTest::addColumn<bool>("replace"); // else removed
        QTest::addRow("removed") << false;
        QTest::addRow("replaced by another file") << true;
    }

    void removedLogIsCreatedAgain()
    {
        QFETCH(bool, replace);
        TestWorkDir work;
        work.mkpath(QStringLiteral("app"));
        BasicLogging::instance()->init();
        const QString log = work.filePath(QStringLiteral("app/log/log1.txt"));
        qDebug("before");
        QVERIFY(readAll(log).endsWith(" : before\n"));

        QVERIFY(QFile::remove(log));
        if (replace)
            QVERIFY(writeFile(log, "someone else's\n"));
        // Seen within a second; no message may be lost in a file nobody can open.
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

    void sizeWrittenByOthersCountsForRotation()
    {
        TestWorkDir work;
        work.mkpath(QStringLiteral("app"));
        BasicLogging::instance()->init();
        const QString log = work.filePath(QStringLiteral("app/log/log1.txt"));
        qDebug("first");
        // Another writer appends to the same open file: the log is full within a second.
        {
            QFile file(log);
            QVERIFY(file.open(QIODevice::Append));
            QVERIFY(file.write(QByteArray(BasicLogging::RotateSize, 'x')) > 0);
        }
        const auto logAndLook = [&log] {
            qDebug("after");
            return QFileInfo(log).size() < BasicLogging::RotateSize;
        };
        QTRY_VERIFY_WITH_TIMEOUT(logAndLook(), 5000);
        const QByteArray previous = readAll(work.filePath(QStringLiteral("app/log/log2.txt")));
        QVERIFY(previous.contains(" : first\nxxx"));
    }
};

QTEST_GUILESS_MAIN(TestLogFileKeptOpen)
#include "tst_logfilekeptopen.moc"
