#include "freshstate.h"
#include "shell/config.h"
#include "testfiles.h"

#include <QTest>

// Garbage in Config.ini is covered across processes in tst_startup (the editor still starts).
class TestConfig : public QObject
{
    Q_OBJECT
private slots:
    void valuesLandInSectionUserOnly()
    {
        FreshState state;
        Config *config = Config::instance();
        QCOMPARE(config->filePath(), state.filePath(QStringLiteral("app/config/Config.ini")));
        QVERIFY(!config->value(QStringLiteral("user"), QStringLiteral("port")).isValid());
        config->setValue(QStringLiteral("user"), QStringLiteral("port"), QStringLiteral("8080"));
        config->currentFile = QStringLiteral("/x/book.xml");
        config->lastImportFolder = QStringLiteral("/y");
        config->sync();
        const QByteArray text = readAll(config->filePath());
        QVERIFY2(text.contains("[user]\nport=8080") && !text.contains("book.xml") &&
                     !text.contains("/y"),
                 text.constData());
        QCOMPARE(Config().value(QStringLiteral("user"), QStringLiteral("port")).toInt(), 8080);
        QVERIFY(!Config().value(QStringLiteral("other"), QStringLiteral("port")).isValid());
    }

    // Many tests share one process: the settings must follow each one's working folder.
    void settingsFollowTheWorkingFolder()
    {
        FreshState outer;
        Config *config = Config::instance();
        config->setValue(QStringLiteral("user"), QStringLiteral("port"), 1);
        {
            TestWorkDir inner;
            QVERIFY(writeFile(inner.filePath(QStringLiteral("app/config/Config.ini")),
                              "[user]\nport=2\n"));
            QCOMPARE(config->value(QStringLiteral("user"), QStringLiteral("port")).toInt(), 2);
        }
        QCOMPARE(config->value(QStringLiteral("user"), QStringLiteral("port")).toInt(), 1);
        config->sync();
        QVERIFY(
            readAll(outer.filePath(QStringLiteral("app/config/Config.ini"))).contains("port=1"));
    }
};

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_config.moc"
