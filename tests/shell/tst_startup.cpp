#include "testfiles.h"
#include "testworkdir.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

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
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), workDir);
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
    // Waits until the editor logged its start or ended; true when it started and still runs.
    bool startsAndRuns()
    {
        // Sanitizer builds start slowly on a loaded machine.
        return QTest::qWaitFor(
                   [this] { return started() || m_process.state() == QProcess::NotRunning; },
                   60000) &&
               started() && m_process.state() == QProcess::Running;
    }

private:
    QProcess m_process;
    QByteArray m_stderr;
};

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void configuredLanguageLoaded()
    {
        TestWorkDir work;
        QVERIFY(writeFile(work.filePath(QStringLiteral("app/language/2.GUI.German.lang")),
                          "[Name] = Deutsch\n\"Save\" = \"Speichern\"\n"));
        QVERIFY(writeFile(work.filePath(QStringLiteral("app/config/Config.ini")),
                          "[user]\nlanguage=German\n"));

        Editor editor(work.path());
        QVERIFY2(editor.startsAndRuns(), qPrintable(editor.errorText()));
        const QString log = work.filePath(QStringLiteral("app/log/log1.txt"));
        const auto lineOf = [&log](const char *pattern) {
            const QStringList lines = QString::fromUtf8(readAll(log)).split(QLatin1Char('\n'));
            return lines.indexOf(QRegularExpression(QString::fromLatin1(pattern)));
        };
        QTRY_VERIFY(lineOf(".*Start editor.*") >= 0); // the file gets each line after stderr
        // The configured file was loaded (named alone on a line) before the window came up.
        const int loaded = lineOf(".*: \"[^\"]*German.lang\"$");
        QVERIFY2(loaded >= 0 && loaded < lineOf(".*Start editor.*"), readAll(log).constData());
    }

    void secondCopyExitsAtOnce()
    {
        TestWorkDir work;
        work.mkpath(QStringLiteral("app"));
        Editor first(work.path());
        QVERIFY2(first.startsAndRuns(), qPrintable(first.errorText()));
        const QString log = work.filePath(QStringLiteral("app/log/log1.txt"));
        QTRY_VERIFY(readAll(log).contains("Start editor")); // the file gets lines after stderr

        Editor second(work.path());
        QVERIFY(second.process().waitForFinished(60000));
        QCOMPARE(second.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.process().exitCode(), 0);
        QCOMPARE(second.errorText(), QString()); // refused before any log line
        // The first copy may still be logging its start; the second must have added nothing.
        QCOMPARE(readAll(log).count("Start editor"), 1);
        QCOMPARE(readAll(log).count("Init Lang"), 1);
        QCOMPARE(first.process().state(), QProcess::Running);
    }

    void badInputStillStarts_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content");
        QTest::addRow("no app folder") << QString() << QByteArray();
        QTest::addRow("language file not UTF-8")
            << QStringLiteral("app/language/1.GUI.English.lang")
            << QByteArray("[Name]=\xff\xfe\n\"\xc3\"=\"\x80\"\n=\n\"\n");
        QTest::addRow("config not INI, port not a number")
            << QStringLiteral("app/config/Config.ini")
            << QByteArray("\x00\x01<<[[user]]>>\nlanguage\xff=\n[user]\nport=eighty\n", 45);
    }

    void badInputStillStarts()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        TestWorkDir work;
        QVERIFY(file.isEmpty() || writeFile(work.filePath(file), content));
        Editor editor(work.path());
        QVERIFY2(editor.startsAndRuns(), qPrintable(editor.errorText()));
        if (file.isEmpty())
            QVERIFY(!QFile::exists(work.filePath(QStringLiteral("app"))));
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
