#include "config.h"
#include "testfiles.h"
#include "testworkdir.h"

#include <QTest>

class TestConfig : public QObject
{
    Q_OBJECT
private slots:
    void defaultPathFollowsWorkingFolder();
    void missingFileGivesInvalidValues();
    void valuesLandInSectionUser();
    void unreadableContent_data();
    void unreadableContent();
    void runTimeValuesAreNeverStored();
};

void TestConfig::defaultPathFollowsWorkingFolder()
{
    TestWorkDir work;
    Config config;
    QCOMPARE(config.filePath(), work.path() + QStringLiteral("/app/config/Config.ini"));
}

void TestConfig::missingFileGivesInvalidValues()
{
    TestWorkDir work;
    Config config;
    const QVariant port = config.value(QStringLiteral("user"), QStringLiteral("port"));
    QVERIFY(!port.isValid());
    QCOMPARE(port.toInt(), 0);
    QCOMPARE(port.toString(), QString());
}

void TestConfig::valuesLandInSectionUser()
{
    TestWorkDir work;
    work.mkpath(QStringLiteral("app/config"));
    {
        Config config;
        config.setValue(QStringLiteral("user"), QStringLiteral("language"),
                        QStringLiteral("Chinese"));
        config.setValue(QStringLiteral("user"), QStringLiteral("port"),
                        QStringLiteral("%1").arg(8080));
    }
    const QByteArray text = readAll(work.filePath(QStringLiteral("app/config/Config.ini")));
    QVERIFY2(text.contains("[user]"), text.constData());
    QVERIFY(text.contains("language=Chinese"));
    QVERIFY(text.contains("port=8080"));

    Config again;
    QCOMPARE(again.value(QStringLiteral("user"), QStringLiteral("port")).toInt(), 8080);
    QVERIFY(!again.value(QStringLiteral("other"), QStringLiteral("port")).isValid());
}

void TestConfig::unreadableContent_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addRow("binary") << QByteArray("\x00\xff\x01[\x02=\x03\n\xfe", 10);
    QTest::addRow("not ini") << QByteArray("<xml>port=12</xml>\n{\"user\": 1}\n");
    QTest::addRow("port not a number") << QByteArray("[user]\nport=abc\nhttpserver=maybe\n");
    QTest::addRow("unterminated section") << QByteArray("[user\nport=81\n");
}

void TestConfig::unreadableContent()
{
    QFETCH(QByteArray, content);
    TestWorkDir work;
    QVERIFY(writeFile(work.filePath(QStringLiteral("app/config/Config.ini")), content));
    Config config;
    // Whatever garbage is stored, a port reading converts to a number <= 0 or a real port.
    const int port = config.value(QStringLiteral("user"), QStringLiteral("port")).toInt();
    QVERIFY(port == 0 || port == 81);
    QVERIFY(config.value(QStringLiteral("user"), QStringLiteral("language")).toString().isEmpty());
}

void TestConfig::runTimeValuesAreNeverStored()
{
    TestWorkDir work;
    work.mkpath(QStringLiteral("app/config"));
    {
        Config config;
        QVERIFY(config.currentFile.isEmpty());
        config.currentFile = QStringLiteral("/x/book.xml");
        config.lastSaveFolder = QStringLiteral("/x");
        config.lastImportFolder = QStringLiteral("/y");
        config.setValue(QStringLiteral("user"), QStringLiteral("ip"), QStringLiteral("10.0.0.5"));
    }
    const QByteArray text = readAll(work.filePath(QStringLiteral("app/config/Config.ini")));
    QVERIFY(!text.contains("book.xml"));
    QVERIFY(!text.contains("/y"));
    Config again;
    QVERIFY(again.currentFile.isEmpty());
}

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_config.moc"
