// Which first arguments start a headless command and which start the editor, with or without a
// phonebook file to load.

#include "cli/commandline.h"
#include "testworkdir.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <vector>

class TestCommandLine : public QObject
{
    Q_OBJECT
private slots:
    void firstArgument_data()
    {
        QTest::addColumn<QString>("argument"); // empty: no argument at all
        QTest::addColumn<bool>("command");
        QTest::addColumn<bool>("opensFile");
        QTest::newRow("none") << QString() << false << false;
        QTest::newRow("known command") << "dump" << true << false;
        QTest::newRow("known option") << "--version" << true << false;
        QTest::newRow("toolkit option") << "-platform" << false << false;
        QTest::newRow("existing file") << "book.xml" << false << true;
        QTest::newRow("existing file, path") << "sub/my book.csv" << false << true;
        QTest::newRow("existing file named like a command") << "info" << true << false;
        QTest::newRow("missing file") << "gone.xml" << true << false;
        QTest::newRow("folder") << "sub" << true << false;
        QTest::newRow("unknown word") << "frobnicate" << true << false;
    }
    void firstArgument()
    {
        QFETCH(QString, argument);
        QFETCH(bool, command);
        QFETCH(bool, opensFile);
        TestWorkDir dir;
        dir.mkpath(QStringLiteral("sub"));
        for (const char *name : {"book.xml", "sub/my book.csv", "info"}) {
            QFile file(dir.filePath(QLatin1String(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }

        QByteArray program("quelvox-contact-desk");
        QByteArray first = argument.toLocal8Bit();
        std::vector<char *> argv{program.data()};
        if (!argument.isEmpty())
            argv.push_back(first.data());
        argv.push_back(nullptr);
        const int argc = int(argv.size()) - 1;

        QCOMPARE(CommandLine::isCommand(argc, argv.data()), command);
        const QString file = CommandLine::fileArgument(argc, argv.data());
        QCOMPARE(file, opensFile ? QDir::cleanPath(dir.filePath(argument)) : QString());
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
