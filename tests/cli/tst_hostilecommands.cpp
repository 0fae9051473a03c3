// dump, info and convert on inputs and outputs a user may be unlucky with, run as real processes:
// files read only in part and standard output that cannot be written. What the stores do with
// hostile files and full disks is guarded in tests/data (tst_hostileinputs, tst_savefaults); here
// only how the command line reports it.

#include "editorprocess.h"
#include "testfiles.h"
#include "testworkdir.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

namespace {
// Creates the input the row names in the folder; returns its path.
QString makeInput(const QString &folder, const QString &kind)
{
    const QString path = folder + QStringLiteral("/in.xml");
    if (kind == QLatin1String("ampersand")) {
        writeFile(path, localXml(1000, {{500, "A & B"}}));
    } else if (kind == QLatin1String("bad byte")) {
        writeFile(path, localXml(1000, {{2, "A\377B"}}));
    } else if (kind == QLatin1String("broken directory")) {
        writeFile(path, "<QuelvoxIPPhoneMenu><MenuItem><URL>d.xml</URL></MenuItem>"
                        "</QuelvoxIPPhoneMenu>");
        writeFile(folder + QStringLiteral("/d.xml"), "<QuelvoxIPPhoneDirectory>\n<DirectoryEntry>"
                                                     "<Name>Ann & Bob</Name></DirectoryEntry>\n"
                                                     "</QuelvoxIPPhoneDirectory>\n");
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
};

void TestHostileCommands::hostileInputs_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("err"); // all of stderr after the program name; %1: the input
    // In dump's JSON or info's total; -2: whole JSON, any number.
    QTest::addColumn<int>("contacts");

    const QString partial =
        QStringLiteral("warning: %1: line %2; only part of the phonebook was read\n");
    const QString ampersand = QStringLiteral("Expected '#' or '[a-zA-Z]', but got ' '.");
    QTest::addRow("dump a file read in part")
        << "dump"
        << "ampersand" << 1
        << partial.arg(QStringLiteral("%1"), QStringLiteral("506: ") + ampersand) << 499;
    QTest::addRow("dump a remote phonebook one of whose files is read in part")
        << "dump"
        << "broken directory" << 1
        << partial.arg(QStringLiteral("%2/d.xml"), QStringLiteral("2: ") + ampersand) << -2;
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
    if (command == QLatin1String("info"))
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

QTEST_GUILESS_MAIN(TestHostileCommands)
#include "tst_hostilecommands.moc"
