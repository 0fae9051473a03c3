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
QByteArray localXml(int count, int brokenContact = 0, const QByteArray &broken = QByteArray())
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<root_group>\n"
                     "    <group display_name=\"All Contacts\"/>\n"
                     "    <group display_name=\"Blocklist\"/>\n</root_group>\n<root_contact>\n";
    for (int i = 1; i <= count; ++i)
        xml += "    <contact display_name=\"" +
               (i == brokenContact ? broken : "C" + QByteArray::number(i)) + "\"/>\n";
    return xml + "</root_contact>\n";
}

QByteArray menuFile(const QList<QByteArray> &files)
{
    QByteArray xml = "<QuelvoxIPPhoneMenu><Title>M</Title>";
    for (const QByteArray &file : files)
        xml += "<MenuItem><Name>n</Name><URL>" + file + "</URL></MenuItem>";
    return xml + "</QuelvoxIPPhoneMenu>";
}

// Creates the input the row names in the folder; returns its path.
QString makeInput(const QString &folder, const QString &kind)
{
    const QString path = folder + QStringLiteral("/in.xml");
    if (kind == QLatin1String("fifo")) {
        mkfifo(QFile::encodeName(path).constData(), 0600);
    } else if (kind == QLatin1String("zero") || kind == QLatin1String("urandom")) {
        QFile::link(QStringLiteral("/dev/") + kind, path);
    } else if (kind == QLatin1String("large")) {
        QFile file(folder + QStringLiteral("/in.csv"));
        file.open(QIODevice::WriteOnly);
        file.resize(qint64(1100) * 1024 * 1024); // sparse
        return file.fileName();
    } else if (kind == QLatin1String("ampersand")) {
        writeFile(path, localXml(1000, 500, "A & B"));
    } else if (kind == QLatin1String("bad byte")) {
        writeFile(path, localXml(1000, 2,
                                 "A\xFF"
                                 "B"));
    } else if (kind == QLatin1String("utf-16")) {
        const QString text = QChar(0xFEFF) + QString::fromUtf8(localXml(3));
        writeFile(path, QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2));
    } else if (kind == QLatin1String("broken directory")) {
        writeFile(path, menuFile({"d.xml"}));
        writeFile(folder + QStringLiteral("/d.xml"),
                  "<QuelvoxIPPhoneDirectory>\n<DirectoryEntry><Name>Ann</Name></DirectoryEntry>\n"
                  "<DirectoryEntry><Name>A & B</Name></DirectoryEntry>\n"
                  "</QuelvoxIPPhoneDirectory>\n");
    } else if (kind == QLatin1String("doubling")) {
        // Every menu names the next one twice: 2^20 groups if nothing stopped it.
        for (int level = 0; level < 21; ++level) {
            const QByteArray next = "m" + QByteArray::number(level + 1) + ".xml";
            writeFile(level == 0 ? path : folder + QStringLiteral("/m%1.xml").arg(level),
                      level == 20 ? QByteArray("<QuelvoxIPPhoneDirectory><DirectoryEntry><Name>x"
                                               "</Name></DirectoryEntry></QuelvoxIPPhoneDirectory>")
                                  : menuFile({next, next}));
        }
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

// The editor with stdout going to a file such as /dev/full.
EditorRun runWithOutputTo(const QStringList &args, const QString &outputFile)
{
    QProcess process;
    process.setProcessEnvironment(headlessEnvironment());
    process.setStandardOutputFile(outputFile);
    process.start(QStringLiteral(QCD_EDITOR_PATH), args);
    EditorRun result;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    result.err = process.readAllStandardError();
    return result;
}
} // namespace

class TestHostileCommands : public QObject
{
    Q_OBJECT

private slots:
    void hostileInputs_data();
    void hostileInputs();
    void convertNeverReplacesWithLess_data();
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
    QTest::addColumn<QString>("err"); // the whole stderr; %1: the input's path, %2: its folder
    // In dump's JSON; -1: stdout must be empty; -2: whole JSON, any number.
    QTest::addColumn<int>("contacts");

    const auto message = [](const char *text) -> QString {
        return QStringLiteral("quelvox-contact-desk: ") + QString::fromUtf8(text);
    };
    QTest::addRow("dump a fifo") << "dump"
                                 << "fifo" << 1 << message("%1: is not a regular file\n") << -1;
    QTest::addRow("info a link to /dev/zero")
        << "info"
        << "zero" << 1 << message("%1: is not a regular file\n") << -1;
    QTest::addRow("dump a link to /dev/urandom")
        << "dump"
        << "urandom" << 1 << message("%1: is not a regular file\n") << -1;
    QTest::addRow("info a 1.1 GB csv")
        << "info"
        << "large" << 1
        << message("%1: is larger than 64 MiB, the most a phonebook file may have\n") << -1;
    QTest::addRow("dump a file read in part")
        << "dump"
        << "ampersand" << 1
        << message("warning: %1: line 506: Expected '#' or '[a-zA-Z]', but got ' '.; only part "
                   "of the phonebook was read\n")
        << 499;
    QTest::addRow("dump a remote phonebook one of whose files is read in part")
        << "dump"
        << "broken directory" << 1
        << message("warning: %2/d.xml: line 3: Expected '#' or '[a-zA-Z]', but got ' '.; only "
                   "part of the phonebook was read\n")
        << 2;
    QTest::addRow("dump a menu that would explode")
        << "dump"
        << "doubling" << 1
        << message("warning: %1: more than 20000 groups; only part of the phonebook was read\n")
        << -2;
    QTest::addRow("dump a file with an invalid byte") << "dump"
                                                      << "bad byte" << 0 << "" << 1000;
    QTest::addRow("dump utf-16 with a byte-order mark") << "dump"
                                                        << "utf-16" << 0 << "" << 3;
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
    QCOMPARE(QString::fromUtf8(result.err),
             err.replace(QLatin1String("%1"), path).replace(QLatin1String("%2"), work.path()));
    if (contacts == -1)
        QCOMPARE(result.out, QByteArray());
    else if (contacts == -2)
        QVERIFY(jsonContacts(result.out) > 0);
    else
        QCOMPARE(jsonContacts(result.out), contacts);
}

void TestHostileCommands::convertNeverReplacesWithLess_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("totalAfter"); // what info says of the file afterwards
    QTest::addRow("read in part: the file stays") << "ampersand" << 1 << "";
    QTest::addRow("invalid byte: every contact stays")
        << "bad byte" << 0 << "Total contacts: 1000\n";
}

// convert bad.xml bad.xml: never an empty or shorter phonebook in place of the file.
void TestHostileCommands::convertNeverReplacesWithLess()
{
    QFETCH(QString, input);
    QFETCH(int, exitCode);
    QFETCH(QString, totalAfter);
    TestWorkDir work;
    const QString path = makeInput(work.path(), input);
    const QByteArray before = readAll(path);
    const EditorRun result = runEditor({QStringLiteral("convert"), path, path});
    QCOMPARE(result.exitCode, exitCode);
    if (exitCode != 0) {
        QVERIFY2(result.err.endsWith("only part of the phonebook was read, " + path.toUtf8() +
                                     " was not written\n"),
                 result.err.constData());
        QCOMPARE(readAll(path), before);
        return;
    }
    const EditorRun info = runEditor({QStringLiteral("info"), path});
    QCOMPARE(info.exitCode, 0);
    QVERIFY2(info.out.endsWith(totalAfter.toUtf8()), info.out.constData());
}

void TestHostileCommands::unwritableOutput_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("kind");
    QTest::addRow("dump local") << "dump"
                                << "local";
    QTest::addRow("info local") << "info"
                                << "local";
    QTest::addRow("dump remote") << "dump"
                                 << "remote";
    QTest::addRow("info remote") << "info"
                                 << "remote";
}

// Output that does not arrive whole is a failure, never exit 0.
void TestHostileCommands::unwritableOutput()
{
    QFETCH(QString, command);
    QFETCH(QString, kind);
    TestWorkDir work;
    const QString path = work.filePath(QStringLiteral("book.xml"));
    QVERIFY(
        writeFile(path, kind == QLatin1String("local")
                            ? localXml(3)
                            : QByteArray("<QuelvoxIPPhoneDirectory><DirectoryEntry><Name>x"
                                         "</Name></DirectoryEntry></QuelvoxIPPhoneDirectory>")));
    QCOMPARE(runEditor({command, path}).exitCode, 0);
    const EditorRun result = runWithOutputTo({command, path}, QStringLiteral("/dev/full"));
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(result.err, QByteArray("quelvox-contact-desk: cannot write the output (No space left "
                                    "on device)\n"));
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
    const QString input = work.filePath(QStringLiteral("sixty.xml"));
    // About 8 KiB: more than is free.
    QVERIFY(writeFile(input, localXml(60).replace("display_name=\"C",
                                                  "display_name=\"" + QByteArray(100, 'n') + "C")));

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
