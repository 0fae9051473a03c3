// dump, info and convert on inputs and outputs a user may be unlucky with, run as real processes:
// files that are not files or are far too large, files read only in part, an exploding remote
// menu, standard output that cannot be written and a disk that fills up during a convert.

#include "editorprocess.h"
#include "testfiles.h"
#include "testworkdir.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

namespace {
// A local XML file in the editor's layout; contact i (from 1) stands on line 6 + i.
QByteArray localXml(int count, int odd = 0, const QByteArray &oddName = QByteArray())
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<root_group>\n"
                     "<group display_name=\"All Contacts\"/>\n"
                     "<group display_name=\"Blocklist\"/>\n</root_group>\n<root_contact>\n";
    for (int i = 1; i <= count; ++i)
        xml += "<contact display_name=\"" + (i == odd ? oddName : "C" + QByteArray::number(i)) +
               "\"/>\n";
    return xml + "</root_contact>\n";
}

QByteArray menuFile(const QByteArray &file)
{
    return "<QuelvoxIPPhoneMenu><MenuItem><URL>" + file + "</URL></MenuItem><MenuItem><URL>" +
           file + "</URL></MenuItem></QuelvoxIPPhoneMenu>";
}

// Creates the input the row names in the folder; returns its path.
QString makeInput(const QString &folder, const QString &kind)
{
    const QString path = folder + QStringLiteral("/in.xml");
    if (kind == QLatin1String("fifo")) {
        mkfifo(QFile::encodeName(path).constData(), 0600);
    } else if (kind == QLatin1String("ampersand")) {
        writeFile(path, localXml(1000, 500, "A & B"));
    } else if (kind == QLatin1String("bad byte")) {
        writeFile(path, localXml(1000, 2, "A\377B"));
    } else if (kind == QLatin1String("broken directory")) {
        writeFile(path, menuFile("d.xml"));
        writeFile(folder + QStringLiteral("/d.xml"), "<QuelvoxIPPhoneDirectory>\n<DirectoryEntry>"
                                                     "<Name>Ann & Bob</Name></DirectoryEntry>\n"
                                                     "</QuelvoxIPPhoneDirectory>\n");
    } else if (kind == QLatin1String("doubling")) {
        // Every menu names the next one twice: 2^20 groups if nothing stopped it.
        for (int level = 0; level <= 20; ++level)
            writeFile(level == 0 ? path : folder + QStringLiteral("/m%1.xml").arg(level),
                      level == 20 ? QByteArray("<QuelvoxIPPhoneDirectory><DirectoryEntry><Name>x"
                                               "</Name></DirectoryEntry></QuelvoxIPPhoneDirectory>")
                                  : menuFile("m" + QByteArray::number(level + 1) + ".xml"));
    }
    return path;
}

int jsonContacts(const QByteArray &out)
{
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(out, &error);
    return error.error == QJsonParseError::NoError
               ? json.object().value(QStringLiteral("contacts")).toArray().size()
               : -1;
}
} // namespace

class TestHostileCommands : public QObject
{
    Q_OBJECT

private slots:
    void hostileInputs_data();
    void hostileInputs();
    void convertNeverReplacesWithLess();
    void unwritableOutput_data();
    void unwritableOutput();
    void convertOntoFullDisk();
};

void TestHostileCommands::hostileInputs_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("err"); // all of stderr after the program name; %1: the input
    // In dump's JSON or info's total; -1: stdout must be empty; -2: whole JSON, any number.
    QTest::addColumn<int>("contacts");

    const QString partial =
        QStringLiteral("warning: %1: line %2; only part of the phonebook was read\n");
    const QString ampersand = QStringLiteral("Expected '#' or '[a-zA-Z]', but got ' '.");
    QTest::addRow("dump a fifo") << "dump"
                                 << "fifo" << 1 << "%1: is not a regular file\n"
                                 << -1;
    QTest::addRow("dump a file read in part")
        << "dump"
        << "ampersand" << 1
        << partial.arg(QStringLiteral("%1"), QStringLiteral("506: ") + ampersand) << 499;
    QTest::addRow("info a file read in part")
        << "info"
        << "ampersand" << 1
        << partial.arg(QStringLiteral("%1"), QStringLiteral("506: ") + ampersand) << 499;
    QTest::addRow("dump a remote phonebook one of whose files is read in part")
        << "dump"
        << "broken directory" << 1
        << partial.arg(QStringLiteral("%2/d.xml"), QStringLiteral("2: ") + ampersand) << -2;
    QTest::addRow("dump a menu that would explode")
        << "dump"
        << "doubling" << 1
        << "warning: %1: more than 20000 groups; only part of the phonebook was read\n"
        << -2;
    QTest::addRow("dump a file with an invalid byte") << "dump"
                                                      << "bad byte" << 0 << "" << 1000;
}

void TestHostileCommands::hostileInputs()
{
    QFETCH(QString, command);
    QFETCH(QString, input);
    QFETCH(int, exitCode);
    QFETCH(QString, err);
    QFETCH(int, contacts);
    TestWorkDir work;
    const QString path = makeInput(work.path(), input);
    const EditorRun result = runEditor({command, path});
    QCOMPARE(result.exitCode, exitCode);
    if (!err.isEmpty())
        err = QStringLiteral("quelvox-contact-desk: ") +
              err.replace(QLatin1String("%1"), path).replace(QLatin1String("%2"), work.path());
    QCOMPARE(QString::fromUtf8(result.err), err);
    if (contacts == -1)
        QCOMPARE(result.out, QByteArray());
    else if (command == QLatin1String("info"))
        QVERIFY(result.out.endsWith("Total contacts: " + QByteArray::number(contacts) + '\n'));
    else if (contacts == -2)
        QVERIFY(jsonContacts(result.out) > 0);
    else
        QCOMPARE(jsonContacts(result.out), contacts);
}

// convert bad.xml bad.xml: never an empty or shorter phonebook in place of the file.
void TestHostileCommands::convertNeverReplacesWithLess()
{
    TestWorkDir work;
    const QString partial = makeInput(work.path(), QStringLiteral("ampersand"));
    const QByteArray before = readAll(partial);
    EditorRun result = runEditor({QStringLiteral("convert"), partial, partial});
    QCOMPARE(result.exitCode, 1);
    QVERIFY2(result.err.endsWith("only part of the phonebook was read, " + partial.toUtf8() +
                                 " was not written\n"),
             result.err.constData());
    QCOMPARE(readAll(partial), before);

    const QString badByte = makeInput(work.path(), QStringLiteral("bad byte"));
    QCOMPARE(runEditor({QStringLiteral("convert"), badByte, badByte}).exitCode, 0);
    result = runEditor({QStringLiteral("info"), badByte});
    QVERIFY2(result.out.endsWith("Total contacts: 1000\n"), result.out.constData());
}

void TestHostileCommands::unwritableOutput_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("book");
    QTest::addRow("dump local") << "dump" << localXml(3);
    QTest::addRow("info remote") << "info"
                                 << QByteArray(
                                        "<QuelvoxIPPhoneDirectory><DirectoryEntry><Name>x"
                                        "</Name></DirectoryEntry></QuelvoxIPPhoneDirectory>");
}

// Output that does not arrive whole is a failure, never exit 0.
void TestHostileCommands::unwritableOutput()
{
    QFETCH(QString, command);
    QFETCH(QByteArray, book);
    TestWorkDir work;
    const QString path = work.filePath(QStringLiteral("book.xml"));
    QVERIFY(writeFile(path, book));
    QCOMPARE(runEditor({command, path}).exitCode, 0);
    QProcess process;
    process.setProcessEnvironment(headlessEnvironment());
    process.setStandardOutputFile(QStringLiteral("/dev/full"));
    process.start(QStringLiteral(QCD_EDITOR_PATH), {command, path});
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 1);
    QCOMPARE(
        process.readAllStandardError(),
        QByteArray("quelvox-contact-desk: cannot write the output (No space left on device)\n"));
}

// The reproduction of a truncated book.xml: a 64 KiB tmpfs with about 4 KiB free.
void TestHostileCommands::convertOntoFullDisk()
{
    TestWorkDir work;
    const QString folder = work.mkpath(QStringLiteral("disk"));
    const QByteArray path = QFile::encodeName(folder);
    if (::mount("tmpfs", path.constData(), "tmpfs", 0, "size=64k") != 0)
        QSKIP("cannot mount a tmpfs here (needs the right to mount); tst_savefaults injects it");
    const auto unmount = qScopeGuard([&path] { ::umount2(path.constData(), MNT_DETACH); });
    const QString book = folder + QStringLiteral("/book.xml");
    QVERIFY(writeFile(book, localXml(5)));
    struct statvfs info;
    QCOMPARE(::statvfs(path.constData(), &info), 0);
    const qint64 free = qint64(info.f_bavail) * qint64(info.f_bsize);
    QVERIFY(writeFile(folder + QStringLiteral("/filler"), QByteArray(int(free - 4096), 'x')));
    const QString input = work.filePath(QStringLiteral("sixty.xml")); // about 8 KiB
    QVERIFY(writeFile(input, localXml(60).replace("=\"C", "=\"" + QByteArray(100, 'n'))));

    const EditorRun result = runEditor({QStringLiteral("convert"), input, book});
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(QString::fromUtf8(result.err),
             QStringLiteral("quelvox-contact-desk: %1: cannot be written (No space left on "
                            "device)\n")
                 .arg(book));
    QCOMPARE(readAll(book), localXml(5));
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), texts({"book.xml", "filler"}));
}

QTEST_GUILESS_MAIN(TestHostileCommands)
#include "tst_hostilecommands.moc"
