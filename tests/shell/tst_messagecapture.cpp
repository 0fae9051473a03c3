// The shared message capture every test runs under: a connection that Qt refuses with a warning
// fails the run, from the main thread and from others alike.

#include "messagecapture.h"

#include <QProcess>
#include <QTest>
#include <QThread>

#include <memory>

namespace {
const char childVariable[] = "QCD_CAPTURE_CHILD";

void connectToMissingSignal()
{
    QObject object;
    QObject::connect(&object, SIGNAL(noSuchSignal()), &object, SLOT(deleteLater()));
}
} // namespace

class TestMessageCapture : public QObject
{
    Q_OBJECT
private slots:
    void connectWarningFailsTheRun_data()
    {
        QTest::addColumn<QString>("function");
        QTest::addColumn<bool>("fails");
        QTest::addRow("sound connection passes") << QStringLiteral("soundConnection") << false;
        QTest::addRow("main thread") << QStringLiteral("brokenOnMainThread") << true;
        QTest::addRow("worker thread") << QStringLiteral("brokenOnWorkerThread") << true;
    }

    void connectWarningFailsTheRun()
    {
        QFETCH(QString, function);
        QFETCH(bool, fails);
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(childVariable), QStringLiteral("1"));
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(), {function});
        QVERIFY(child.waitForFinished(60000));
        const QByteArray output = child.readAll();
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QVERIFY2((child.exitCode() != 0) == fails, output.constData());
        QCOMPARE(output.contains("noSuchSignal"), fails);
    }

    // The children of connectWarningFailsTheRun.
    void soundConnection()
    {
        if (!isChild())
            QSKIP("a child of connectWarningFailsTheRun");
        QObject object;
        QVERIFY(QObject::connect(&object, SIGNAL(destroyed()), &object, SLOT(deleteLater())));
    }
    void brokenOnMainThread()
    {
        if (!isChild())
            QSKIP("a child of connectWarningFailsTheRun");
        connectToMissingSignal();
    }
    void brokenOnWorkerThread()
    {
        if (!isChild())
            QSKIP("a child of connectWarningFailsTheRun");
        std::unique_ptr<QThread> worker(QThread::create(connectToMissingSignal));
        worker->start();
        QVERIFY(worker->wait(60000));
    }

private:
    static bool isChild() { return qEnvironmentVariableIsSet(childVariable); }
};

QTEST_GUILESS_MAIN(TestMessageCapture)
#include "tst_messagecapture.moc"
