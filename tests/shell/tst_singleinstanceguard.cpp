#include "shell/singleinstanceguard.h"
#include "testfiles.h"
#include "testworkdir.h"

#include <QTest>

#include <csignal>
#include <memory>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QString key = QStringLiteral("GuardTest");

int modeOf(const QString &path)
{
    struct stat status;
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? int(status.st_mode & 0777)
                                                                      : -1;
}

} // namespace

// Every test gets its own runtime and temporary folders through the environment.
class TestSingleInstanceGuard : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_work = std::make_unique<TestWorkDir>();
        m_tmp = m_work->mkpath(QStringLiteral("tmp"));
        qputenv("TMPDIR", QFile::encodeName(m_tmp));
        qunsetenv("XDG_RUNTIME_DIR");
        m_private =
            m_tmp + QLatin1Char('/') + key + QLatin1Char('-') + QString::number(::geteuid());
    }
    void cleanup()
    {
        qunsetenv("TMPDIR");
        qunsetenv("XDG_RUNTIME_DIR");
        m_work.reset();
    }

    void chosenFolder_data()
    {
        QTest::addColumn<QString>("runtime"); // what XDG_RUNTIME_DIR names; empty: unset
        QTest::addColumn<int>("runtimeMode");
        QTest::addColumn<QString>("setup");    // what already lies at the temporary private folder
        QTest::addColumn<QString>("expected"); // "runtime", "private" or "" (no place)

        const QString run = QStringLiteral("run"), none, priv = QStringLiteral("private");
        QTest::addRow("private runtime folder") << run << 0700 << none << QStringLiteral("runtime");
        QTest::addRow("no runtime folder: private temporary one") << none << 0 << none << priv;
        QTest::addRow("runtime folder open to others") << run << 0777 << none << priv;
        QTest::addRow("runtime folder readable by the group") << run << 0750 << none << priv;
        QTest::addRow("runtime folder is a link")
            << QStringLiteral("runlink") << 0700 << none << priv;
        QTest::addRow("relative runtime path")
            << QStringLiteral("relative") << 0700 << none << priv;
        QTest::addRow("own temporary folder with a loose mode is mended")
            << none << 0 << QStringLiteral("loose") << priv;
        QTest::addRow("temporary folder is a planted link")
            << none << 0 << QStringLiteral("link") << none;
        QTest::addRow("temporary folder of another user")
            << none << 0 << QStringLiteral("foreign") << none;
    }

    void chosenFolder()
    {
        QFETCH(QString, runtime);
        QFETCH(int, runtimeMode);
        QFETCH(QString, setup);
        QFETCH(QString, expected);

        const QString run = m_work->mkpath(QStringLiteral("run"));
        QCOMPARE(::chmod(QFile::encodeName(run).constData(), mode_t(runtimeMode)), 0);
        if (runtime == QLatin1String("runlink"))
            QVERIFY(QFile::link(run, m_work->filePath(runtime)));
        if (runtime == QLatin1String("relative")) // the same folder, named from the working one
            qputenv("XDG_RUNTIME_DIR", "run");
        else if (!runtime.isEmpty())
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_work->filePath(runtime)));

        const QString elsewhere = m_work->mkpath(QStringLiteral("elsewhere"));
        if (setup == QLatin1String("loose")) {
            QVERIFY(QDir().mkdir(m_private));
            QCOMPARE(::chmod(QFile::encodeName(m_private).constData(), 0777), 0);
        } else if (setup == QLatin1String("link")) {
            QVERIFY(QFile::link(elsewhere, m_private));
        } else if (setup == QLatin1String("foreign")) {
            if (::geteuid() != 0)
                QSKIP("giving a folder to another user needs root");
            QVERIFY(QDir().mkdir(m_private));
            QCOMPARE(::chmod(QFile::encodeName(m_private).constData(), 0700), 0);
            QCOMPARE(::chown(QFile::encodeName(m_private).constData(), 65534, 65534), 0);
        }

        const QString path = SingleInstanceGuard::lockPath(key);
        const QString fileName = QLatin1Char('/') + key + QStringLiteral(".lock");
        if (expected == QLatin1String("runtime")) {
            QCOMPARE(path, run + fileName);
        } else if (expected == QLatin1String("private")) {
            QCOMPARE(path, m_private + fileName);
            QCOMPARE(modeOf(m_private), 0700);
        } else {
            QCOMPARE(path, QString());
        }

        // Without a private place the editor still starts, and creates nothing anywhere.
        SingleInstanceGuard guard(key);
        QVERIFY(guard.tryAcquire());
        QCOMPARE(QDir(elsewhere).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
        if (!path.isEmpty())
            QCOMPARE(modeOf(path), 0600);
    }

    void linkAtLockPathNotFollowed()
    {
        const QString path = SingleInstanceGuard::lockPath(key);
        const QString victim = m_work->filePath(QStringLiteral("victim"));
        QVERIFY(QFile::link(victim, path));
        SingleInstanceGuard guard(key);
        QVERIFY(guard.tryAcquire());
        QVERIFY(!QFile::exists(victim));
    }

    void killedHolderReleases()
    {
        int ready[2];
        QCOMPARE(::pipe(ready), 0);
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            SingleInstanceGuard guard(key);
            const char state = guard.tryAcquire() ? 'y' : 'n';
            (void)!::write(ready[1], &state, 1);
            ::pause(); // killed below; no destructor ever runs
            ::_exit(0);
        }
        ::close(ready[1]);
        char state = 0;
        QCOMPARE(::read(ready[0], &state, 1), ssize_t(1));
        ::close(ready[0]);
        QCOMPARE(state, 'y');

        auto guard = std::make_unique<SingleInstanceGuard>(key);
        const bool acquiredWhileHeld = guard->tryAcquire();
        ::kill(child, SIGKILL);
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(!acquiredWhileHeld);
        QVERIFY(guard->tryAcquire());
        // Held in this process now: refused to another holder until released.
        SingleInstanceGuard next(key);
        QVERIFY(!next.tryAcquire());
        guard.reset();
        QVERIFY(next.tryAcquire());
    }

private:
    std::unique_ptr<TestWorkDir> m_work;
    QString m_tmp;
    QString m_private;
};

QTEST_GUILESS_MAIN(TestSingleInstanceGuard)
#include "tst_singleinstanceguard.moc"
