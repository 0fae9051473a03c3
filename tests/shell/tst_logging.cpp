#include "basiclogging.h"
#include "testfiles.h"
#include "testworkdir.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QThread>

namespace {
QStringList readLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromLocal8Bit(file.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}
} // namespace

class TestLogging : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void levels_data();
    void levels();
    void appendsBelowLimit();
    void rotatesAtOneMebibyte();
    void threadsDoNotInterleave();
    void missingParentLosesLinesQuietly();

private:
    std::unique_ptr<TestWorkDir> m_work;
    QString m_folder;
};

void TestLogging::init()
{
    m_work = std::make_unique<TestWorkDir>();
    m_work->mkpath(QStringLiteral("app"));
    BasicLogging::instance()->init();
    m_folder = m_work->path() + QStringLiteral("/app/log/");
    QCOMPARE(BasicLogging::instance()->logFolder(), m_folder);
}

void TestLogging::cleanup()
{
    qInstallMessageHandler(nullptr);
    m_work.reset();
}

void TestLogging::levels_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("expected"); // pattern after the time stamp; empty: no line
    QTest::addRow("debug has an empty label")
        << int(QtDebugMsg) << QStringLiteral(" : Start editor tool.");
    QTest::addRow("warning") << int(QtWarningMsg)
                             << QStringLiteral(" QWarning: Start editor tool.");
    QTest::addRow("critical") << int(QtCriticalMsg)
                              << QStringLiteral(" QCritical: Start editor tool.");
    QTest::addRow("info leaves no trace") << int(QtInfoMsg) << QString();
}

void TestLogging::levels()
{
    QFETCH(int, level);
    QFETCH(QString, expected);
    switch (level) {
    case QtDebugMsg:
        qDebug("Start editor tool.");
        break;
    case QtWarningMsg:
        qWarning("Start editor tool.");
        break;
    case QtCriticalMsg:
        qCritical("Start editor tool.");
        break;
    default:
        qInfo("Start editor tool.");
        break;
    }
    const QStringList lines = readLines(m_folder + QStringLiteral("log1.txt"));
    if (expected.isEmpty()) {
        QVERIFY2(lines.isEmpty(), qPrintable(lines.join(QLatin1Char('|'))));
        return;
    }
    QCOMPARE(lines.size(), 1);
    const QRegularExpression stamp(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d"));
    QVERIFY2(stamp.match(lines.first()).hasMatch(), qPrintable(lines.first()));
    QCOMPARE(lines.first().mid(12), expected);
}

void TestLogging::appendsBelowLimit()
{
    qDebug() << "Open config:" << QStringLiteral("/a/b");
    qDebug() << "second";
    const QStringList lines = readLines(m_folder + QStringLiteral("log1.txt"));
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.at(0).mid(12), QStringLiteral(" : Open config: \"/a/b\""));
    QVERIFY(!QFile::exists(m_folder + QStringLiteral("log2.txt")));
}

void TestLogging::rotatesAtOneMebibyte()
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

void TestLogging::threadsDoNotInterleave()
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
    const QRegularExpression shape(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d QWarning: "
                                                  "thread \\d line \\d+ with some padding text$"));
    for (const QString &line : lines)
        QVERIFY2(shape.match(line).hasMatch(), qPrintable(line));
}

void TestLogging::missingParentLosesLinesQuietly()
{
    BasicLogging::instance()->init(m_work->path() + QStringLiteral("/no/such/log/"));
    qDebug("lost");
    QVERIFY(!QFile::exists(m_work->path() + QStringLiteral("/no")));
}

QTEST_GUILESS_MAIN(TestLogging)
#include "tst_logging.moc"
