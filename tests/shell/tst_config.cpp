#include "shell/config.h"
#include "testfiles.h"
#include "testworkdir.h"

#include <QTest>

// Garbage in Config.ini is covered across processes in tst_startup (the editor still starts).
class TestConfig : public QObject
{
    Q_OBJECT
private slots:
    void missingFileInWorkingFolder()
    {
        TestWorkDir work;
        Config config;
        QCOMPARE(config.filePath(), work.filePath(QStringLiteral("app/config/Config.ini")));
        const QVariant port = config.value(QStringLiteral("user"), QStringLiteral("port"));
        QVERIFY(!port.isValid());
        QCOMPARE(port.toInt(), 0);
    }

    void valuesLandInSectionUser()
    {
        TestWorkDir work;
        work.mkpath(QStringLiteral("app/config"));
        {
            Config config;
            config.setValue(QStringLiteral("user"), QStringLiteral("language"),
                            QStringLiteral("Chinese"));
            config.setValue(QStringLiteral("user"), QStringLiteral("port"), QStringLiteral("8080"));
        }
        const QByteArray text = readAll(work.filePath(QStringLiteral("app/config/Config.ini")));
        QVERIFY2(text.contains("[user]") && text.contains("language=Chinese") &&
                     text.contains("port=8080"),
                 text.constData());
        Config again;
        QCOMPARE(again.value(QStringLiteral("user"), QStringLiteral("port")).toInt(), 8080);
        QVERIFY(!again.value(QStringLiteral("other"), QStringLiteral("port")).isValid());
    }

    void runTimeValuesAreNeverStored()
    {
        TestWorkDir work;
        work.mkpath(QStringLiteral("app/config"));
        {
            Config config;
            config.currentFile = QStringLiteral("/x/book.xml");
            config.lastSaveFolder = QStringLiteral("/x");
            config.lastImportFolder = QStringLiteral("/y");
            config.setValue(QStringLiteral("user"), QStringLiteral("ip"),
                            QStringLiteral("10.0.0.5"));
        }
        const QByteArray text = readAll(work.filePath(QStringLiteral("app/config/Config.ini")));
        QVERIFY2(!text.contains("book.xml") && !text.contains("/y"), text.constData());
        QVERIFY(Config().currentFile.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_config.moc"
