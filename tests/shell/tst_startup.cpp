#include "testfiles.h"
#include "testworkdir.h"

#include <QFile>
#include <QProcess>
#include <QTest>

#include <memory>

// Starts the real editor as a separate process: the single-instance guard and the start-up
// sequence only show their worth across processes.
class Editor
{
public:
    explicit Editor(const QString &workDir)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TMPDIR"), workDir); // keeps the guard private to this test
        m_process.setProcessEnvironment(env);
        m_process.setWorkingDirectory(workDir);
        m_process.start(QStringLiteral(QCD_EDITOR_PATH), QStringList());
    }
    ~Editor()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(10000);
        }
    }
    QProcess &process() { return m_process; }
    QString errorText()
    {
        m_stderr += m_process.readAllStandardError();
        return QString::fromLocal8Bit(m_stderr);
    }
    bool started() { return errorText().contains(QLatin1String("Start editor tool.")); }

private:
    QProcess m_process;
    QByteArray m_stderr;
};

namespace {
QString readText(const QString &path)
{
    return QString::fromLocal8Bit(readAll(path));
}

// Bytes of a literal that may hold NULs.
template <std::size_t N> QByteArray raw(const char (&text)[N])
{
    return QByteArray(text, int(N - 1));
}

constexpr int startTimeout = 60000; // sanitizer builds start slowly on a loaded machine
} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void normalStartLogsInOrder();
    void secondCopyExitsAtOnce();
    void killedCopyDoesNotBlockTheNext();
    void badInputStillStarts_data();
    void badInputStillStarts();
};

void TestStartup::normalStartLogsInOrder()
{
    TestWorkDir work;
    QVERIFY(writeFile(work.filePath(QStringLiteral("app/language/2.GUI.German.lang")),
                      "[Name] = Deutsch\n\"Save\" = \"Speichern\"\n"));
    QVERIFY(writeFile(work.filePath(QStringLiteral("app/config/Config.ini")),
                      "[user]\nlanguage=German\n"));

    Editor editor(work.path());
    QTRY_VERIFY_WITH_TIMEOUT(editor.started(), startTimeout);
    QCOMPARE(editor.process().state(), QProcess::Running);

    const QString log = readText(work.filePath(QStringLiteral("app/log/log1.txt")));
    const int scan = log.indexOf(QLatin1String(" : Init Lang:"));
    const int config = log.indexOf(QLatin1String(" : Open config:"));
    const int load = log.indexOf(QLatin1String(" : Load Lang:"));
    const int start = log.indexOf(QLatin1String(" : Start editor tool."));
    QVERIFY2(scan >= 0 && scan < config && config < load && load < start, qPrintable(log));
    QVERIFY(log.contains(QLatin1String("2.GUI.German.lang")));
}

void TestStartup::secondCopyExitsAtOnce()
{
    TestWorkDir work;
    work.mkpath(QStringLiteral("app"));
    Editor first(work.path());
    QTRY_VERIFY_WITH_TIMEOUT(first.started(), startTimeout);
    const QString logBefore = readText(work.filePath(QStringLiteral("app/log/log1.txt")));

    Editor second(work.path());
    QVERIFY(second.process().waitForFinished(startTimeout));
    QCOMPARE(second.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.process().exitCode(), 0);
    QCOMPARE(second.errorText(), QString()); // refused before any log line
    QCOMPARE(readText(work.filePath(QStringLiteral("app/log/log1.txt"))), logBefore);
    QCOMPARE(first.process().state(), QProcess::Running);
}

void TestStartup::killedCopyDoesNotBlockTheNext()
{
    TestWorkDir work;
    work.mkpath(QStringLiteral("app"));
    {
        Editor first(work.path());
        QTRY_VERIFY_WITH_TIMEOUT(first.started(), startTimeout);
        first.process().kill(); // SIGKILL: no clean-up runs
        QVERIFY(first.process().waitForFinished(10000));
    }
    Editor next(work.path());
    QTRY_VERIFY_WITH_TIMEOUT(next.started() || next.process().state() == QProcess::NotRunning,
                             startTimeout);
    QVERIFY2(next.started(), qPrintable(next.errorText()));
    QCOMPARE(next.process().state(), QProcess::Running);
}

void TestStartup::badInputStillStarts_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content");
    QTest::addRow("no app folder") << QString() << QByteArray();
    QTest::addRow("empty language file")
        << QStringLiteral("app/language/1.GUI.English.lang") << QByteArray();
    QTest::addRow("language file not UTF-8") << QStringLiteral("app/language/1.GUI.English.lang")
                                             << raw("[Name]=\xff\xfe\n\"\xc3\"=\"\x80\"\n=\n\"\n");
    QTest::addRow("config not INI")
        << QStringLiteral("app/config/Config.ini") << raw("\x00\x01<<[[user]]>>\nlanguage\xff=\n");
    QTest::addRow("port not a number")
        << QStringLiteral("app/config/Config.ini")
        << QByteArray("[user]\nport=eighty\nhttpserver=off\nlanguage=English\n");
}

void TestStartup::badInputStillStarts()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    TestWorkDir work;
    if (!file.isEmpty()) {
        work.mkpath(QStringLiteral("app/language"));
        work.mkpath(QStringLiteral("app/config"));
        QVERIFY(writeFile(work.filePath(file), content));
    }
    Editor editor(work.path());
    QTRY_VERIFY_WITH_TIMEOUT(editor.started() || editor.process().state() == QProcess::NotRunning,
                             startTimeout);
    QVERIFY2(editor.started(), qPrintable(editor.errorText()));
    QCOMPARE(editor.process().state(), QProcess::Running);
    if (file.isEmpty())
        QVERIFY(!QFile::exists(work.filePath(QStringLiteral("app"))));
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
