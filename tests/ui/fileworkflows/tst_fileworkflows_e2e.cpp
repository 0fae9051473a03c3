// The built editor, driven as a person would under a private X server with xdotool: import a
// CSV file, rename a group, edit a contact, save as XML, open it again from History and close
// with changes, answering Cancel and Don't Save, and in a second run Save. The files written are
// compared byte for byte and the log must tell the same story. Waits are on what shows: windows,
// colours on the screen (Xvfb keeps it in a file) and log lines; never on the clock.

#include "testfiles.h"
#include "testworkdir.h"

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <functional>
#include <memory>

namespace {

constexpr int Patience = 60000; // ms: sanitizer builds on a busy two-core machine are slow
constexpr QRgb Blue = 0x278CF8; // the border of the rename field and of a focused field

bool waitFor(const std::function<bool()> &done)
{
    return QTest::qWaitFor(done, Patience);
}

const QByteArray sampleCsv =
    QByteArray(
        "\xef\xbb\xbf"
        R"(display_name,office_number,mobile_number,other_number,line,ring,auto_divert,priority,group_id_name,default_photo,photo_data
Ann Example,1001,,,-1,Auto,,,Sales,,
Bob Example,,2002,,0,Auto,3003,,All Contacts,,

)")
        .replace("\n", "\r\n");

// The sample after the session's edits, laid out as the editor writes a local XML file.
QByteArray savedXml(const QByteArray &group)
{
    return QByteArray(R"(<?xml version="1.0" encoding="UTF-8"?>
<root_group>
    <group display_name="All Contacts"/>
    <group display_name="Blocklist"/>
    <group display_name="GROUP"/>
</root_group>
<root_contact>
    <contact display_name="Ann Smith" office_number="1002" mobile_number="" other_number="" line="-1" ring="Auto" group_id_name="GROUP" default_photo="" selected_photo="0" eyepea_contact_id=""/>
    <contact display_name="Bob Example" office_number="" mobile_number="2002" other_number="" line="0" ring="Auto" group_id_name="All Contacts" default_photo="" selected_photo="0" auto_divert="3003" eyepea_contact_id=""/>
</root_contact>
)")
        .replace("GROUP", group);
}

struct Window
{
    QString id;
    QRect rect;
};

} // namespace

class TestFileWorkflowsE2e : public QObject
{
    Q_OBJECT

    QTemporaryDir m_xFolder; // Xvfb keeps its screen here as an XWD file
    QProcess m_xvfb;
    std::unique_ptr<TestWorkDir> m_work;
    QProcess m_editor;
    Window m_main;

    // Runs xdotool with the words (split at spaces) and then the extra arguments; ok tells
    // whether it succeeded (a window may vanish in the middle of a query).
    QByteArray xdo(const QString &words, const QStringList &more = {}, bool *ok = nullptr)
    {
        QProcess xdotool;
        xdotool.start(QStringLiteral("xdotool"), words.split(QLatin1Char(' ')) + more);
        if (!xdotool.waitForFinished(Patience))
            xdotool.kill();
        xdotool.waitForFinished();
        if (ok)
            *ok = xdotool.exitStatus() == QProcess::NormalExit && xdotool.exitCode() == 0;
        return xdotool.readAllStandardOutput();
    }
    // Gives the window the keyboard, waiting until it has it, then sends the keys ("type" takes
    // the text as the one extra argument).
    void keys(const Window &window, const QString &words, const QStringList &text = {})
    {
        xdo(QStringLiteral("windowfocus --sync ") + window.id + QLatin1Char(' ') + words, text);
    }
    void click(const Window &window, QPoint at)
    {
        at += window.rect.topLeft();
        xdo(QStringLiteral("mousemove %1 %2 click 1").arg(at.x()).arg(at.y()));
    }
    // This editor's visible windows (whose title matches the pattern).
    QList<Window> windows(const QString &pattern = QStringLiteral(".*"), bool *ok = nullptr)
    {
        const QString out = QString::fromLatin1(
            xdo(QStringLiteral("search --onlyvisible --all --pid %1 --name ^%2$ getwindowgeometry "
                               "--shell %@")
                    .arg(m_editor.processId())
                    .arg(pattern),
                {}, ok));
        QRegularExpressionMatchIterator it =
            QRegularExpression(
                QStringLiteral("WINDOW=(\\d+)\\nX=(.*)\\nY=(.*)\\nWIDTH=(.*)\\nHEIGHT=(.*)"))
                .globalMatch(out);
        QList<Window> found;
        while (it.hasNext()) {
            const QRegularExpressionMatch m = it.next();
            found.append({m.captured(1), QRect(m.captured(2).toInt(), m.captured(3).toInt(),
                                               m.captured(4).toInt(), m.captured(5).toInt())});
        }
        return found;
    }
    bool waitWindow(const std::function<bool(const Window &)> &match, Window *found,
                    const QString &pattern = QStringLiteral(".*"))
    {
        return waitFor([&] {
            for (const Window &window : windows(pattern))
                if (match(window))
                    return *found = window, true;
            return false;
        });
    }
    bool waitDialog(QSize size, Window *found, const QString &notId = QString())
    {
        return waitWindow([&](const Window &w) { return w.rect.size() == size && w.id != notId; },
                          found);
    }
    // Waits until a clean answer says that the window shows (or does not).
    bool waitShown(const Window &window, bool shown)
    {
        return waitFor([&] {
            bool ok = false;
            bool found = false;
            for (const Window &w : windows(QStringLiteral(".*"), &ok))
                found = found || w.id == window.id;
            return ok && found == shown;
        });
    }
    // What the screen shows now.
    QImage screen() const
    {
        QFile file(m_xFolder.filePath(QStringLiteral("Xvfb_screen0")));
        const QByteArray xwd = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        const auto field = [&xwd](int i) {
            return int(qFromBigEndian<quint32>(xwd.data() + 4 * i));
        };
        if (xwd.size() < 100 || field(11) != 32) // 32 bits a pixel
            return QImage();
        const int pixels = field(0) + 12 * field(19); // after the header and the colour map
        if (xwd.size() < pixels + field(12) * field(5))
            return QImage();
        return QImage(reinterpret_cast<const uchar *>(xwd.constData()) + pixels, field(4), field(5),
                      field(12), QImage::Format_RGB32)
            .copy();
    }
    // Waits until the area (window coordinates) shows that colour somewhere.
    bool waitColour(const Window &window, const QRect &area, QRgb colour)
    {
        return waitFor([&] {
            const QImage image = screen().copy(area.translated(window.rect.topLeft()));
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if ((image.pixel(x, y) & 0xffffff) == colour)
                        return true;
            return false;
        });
    }
    // The texts of the log lines ("hh:mm:ss.zzz : text"), in order.
    QStringList log() const
    {
        QStringList texts;
        const QRegularExpression line(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d{3} : (.*)$"));
        const QByteArray bytes = readAll(m_work->filePath(QStringLiteral("app/log/log1.txt")));
        for (const QString &text : QString::fromLocal8Bit(bytes).split(QLatin1Char('\n')))
            if (const QRegularExpressionMatch m = line.match(text); m.hasMatch())
                texts.append(m.captured(1));
        return texts;
    }
    bool waitLog(const QString &text, int count = 1)
    {
        return waitFor([&] { return log().count(text) >= count; });
    }

    bool startEditor()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *desktop : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION",
                                    "QT_QPA_PLATFORMTHEME", "QT_STYLE_OVERRIDE", "WAYLAND_DISPLAY"})
            env.remove(QString::fromLatin1(desktop)); // the same dialogs and buttons everywhere
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("TMPDIR"), m_work->path()); // a private single-instance guard
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_work->path());
        env.insert(QStringLiteral("NO_AT_BRIDGE"), QStringLiteral("1"));
        m_work->mkpath(QStringLiteral("app"));
        m_editor.setProcessEnvironment(env);
        m_editor.setProcessChannelMode(QProcess::MergedChannels);
        m_editor.setWorkingDirectory(m_work->path());
        m_editor.start(QStringLiteral(QCD_EDITOR_PATH), QStringList());
        // Only this editor's window counts: the last one's may linger while the server drops it.
        return m_editor.waitForStarted(Patience) &&
               waitWindow([](const Window &w) { return w.rect.size() == QSize(1280, 720); },
                          &m_main, QStringLiteral("Quelvox.Contact.Desk"));
    }
    bool editorQuit()
    {
        return m_editor.waitForFinished(Patience) &&
               m_editor.exitStatus() == QProcess::NormalExit && m_editor.exitCode() == 0;
    }
    // Selects the third group (the one the sample adds) and renames it through F2.
    bool renameGroup(const QString &name)
    {
        click(m_main, {150, 287});
        keys(m_main, QStringLiteral("key F2"));
        if (!waitColour(m_main, {66, 266, 194, 42}, Blue))
            return false;
        const int before = log().count(QStringLiteral("Update GroupName result: 0"));
        keys(m_main, QStringLiteral("key ctrl+a type"), {name});
        keys(m_main, QStringLiteral("key Return"));
        return waitLog(QStringLiteral("Update GroupName result: 0"), before + 1);
    }
    // History, choosing the file by name in the folder it opens in (target).
    bool openFromHistory()
    {
        keys(m_main, QStringLiteral("key ctrl+h"));
        Window chooser;
        if (!waitWindow([](const Window &) { return true; }, &chooser, QStringLiteral("History")))
            return false;
        keys(chooser, QStringLiteral("type"), {QStringLiteral("book.xml")});
        keys(chooser, QStringLiteral("key Return"));
        return waitShown(chooser, false) &&
               waitLog(QStringLiteral("Open History File: \"") +
                       m_work->filePath(QStringLiteral("target/book.xml")) + QLatin1Char('"'));
    }
    // The close button, then the button at x in the save-changes prompt.
    bool closeAnswering(int x, Window *prompt)
    {
        click(m_main, {1256, 21});
        if (!waitDialog({490, 210}, prompt))
            return false;
        click(*prompt, {x, 170});
        return true;
    }

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty() ||
            QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            QSKIP("Xvfb and xdotool are needed (scripts/setup.sh installs them)");
        // -noreset: the server must not restart whenever its last client (xdotool) leaves.
        m_xvfb.start(QStringLiteral("Xvfb"),
                     texts({"-displayfd", "1", "-noreset", "-nolisten", "tcp", "-screen", "0",
                            "1600x1000x24", "-fbdir"})
                         << m_xFolder.path());
        QVERIFY(waitFor(
            [this] { return m_xvfb.canReadLine() || m_xvfb.state() == QProcess::NotRunning; }));
        const QByteArray display = m_xvfb.readLine().trimmed();
        QVERIFY2(!display.isEmpty(), m_xvfb.readAllStandardError().constData());
        qputenv("DISPLAY", ':' + display); // for xdotool and the editor
    }
    void init() { m_work = std::make_unique<TestWorkDir>(); }
    void cleanup()
    {
        if (QTest::currentTestFailed()) {
            screen().save(m_work->filePath(QStringLiteral("screen.png")));
            qWarning("editor state %d, exit code %d, output:\n%s", m_editor.state(),
                     m_editor.exitCode(), m_editor.readAll().constData());
        }
        if (m_editor.state() != QProcess::NotRunning) {
            m_editor.kill();
            m_editor.waitForFinished();
        }
        m_work.reset();
    }
    void cleanupTestCase()
    {
        m_xvfb.terminate();
        m_xvfb.waitForFinished();
    }

    // Import, rename, edit, save as, History; close with changes: Cancel keeps the window and
    // Don't Save quits without writing. A second run opens the file again, changes it, and Save
    // writes it under an automatic name in target, says so and quits.
    void session()
    {
        const QDir target(m_work->filePath(QStringLiteral("target")));
        const QString book = target.filePath(QStringLiteral("book.xml"));
        const QString csv = m_work->filePath(QStringLiteral("in/book.csv"));
        QVERIFY(writeFile(csv, sampleCsv));
        QVERIFY(startEditor());

        keys(m_main, QStringLiteral("key ctrl+o"));
        Window dialog;
        QVERIFY(waitDialog({490, 220}, &dialog));
        click(dialog, {174, 91}); // the path field
        keys(dialog, QStringLiteral("type"), {csv});
        keys(dialog, QStringLiteral("key Return"));
        QVERIFY(waitShown(dialog, false));
        QVERIFY(waitLog(QStringLiteral("Import File \"") + csv + QLatin1Char('"')));

        QVERIFY(renameGroup(QStringLiteral("Team")));

        click(m_main, {1189, 134});                             // Edit
        QVERIFY(waitColour(m_main, {852, 178, 320, 60}, Blue)); // the name field has the focus
        keys(m_main, QStringLiteral("type"), {QStringLiteral("Ann Smith")});
        click(m_main, {1050, 320}); // Office Number
        keys(m_main, QStringLiteral("key ctrl+a type 1002"));
        click(m_main, {1189, 134}); // OK
        QVERIFY(waitLog(QStringLiteral("Update local contact, ContactId: 1 \"Ann Smith\"")));

        click(m_main, {317, 62}); // Save File: its menu opens below the button
        Window menu;
        const QPoint menuAt = m_main.rect.topLeft() + QPoint(248, 76);
        QVERIFY(waitWindow([&](const Window &w) { return w.rect.topLeft() == menuAt; }, &menu));
        click(menu, {60, 84}); // Save as
        QVERIFY(waitDialog({490, 418}, &dialog));
        click(dialog, {245, 121}); // the file name
        keys(dialog, QStringLiteral("key ctrl+a type book"));
        keys(dialog, QStringLiteral("key Return"));
        QVERIFY(waitShown(dialog, false));
        QTRY_COMPARE_WITH_TIMEOUT(readAll(book), savedXml("Team"), Patience);

        QVERIFY(openFromHistory());
        QVERIFY(renameGroup(QStringLiteral("Crew")));
        Window prompt;
        QVERIFY(closeAnswering(424, &prompt)); // Cancel
        QVERIFY(waitShown(prompt, false));
        QVERIFY(waitShown(m_main, true));
        QVERIFY(closeAnswering(322, &prompt)); // Don't Save
        QVERIFY(editorQuit());
        QCOMPARE(target.entryList(QDir::Files), texts({"book.xml"}));

        QVERIFY(startEditor());
        QVERIFY(openFromHistory());
        QVERIFY(renameGroup(QStringLiteral("Crew")));
        QVERIFY(closeAnswering(220, &prompt)); // Save
        Window note;
        QVERIFY(waitDialog({490, 210}, &note, prompt.id)); // "... was saved in target folder"
        keys(note, QStringLiteral("key Return"));
        QVERIFY(editorQuit());

        const QStringList written = target.entryList(QDir::Files);
        const QString saved = target.filePath(
            written.filter(QRegularExpression(QStringLiteral("^LocalPhonebook_\\d{14}\\.xml$")))
                .value(0));
        QCOMPARE(written.size(), 2);
        QCOMPARE(readAll(saved), savedXml("Crew"));
        QCOMPARE(readAll(book), savedXml("Team"));
        // Each step left its line, in this order and no more: no save from Cancel or Don't Save.
        const QRegularExpression steps(QStringLiteral(
            "^(Start|Import|Update (GroupName|local)|SaveLocal|Open History|Close)"));
        const auto quoted = [](const char *text, const QString &path) -> QString {
            return QLatin1String(text) + QLatin1String(" \"") + path + QLatin1Char('"');
        };
        const QString start = QStringLiteral("Start editor tool.");
        const QString renamed = QStringLiteral("Update GroupName result: 0");
        const QString opened = quoted("Open History File:", book);
        const QString close = QStringLiteral("Close editor tool.");
        QCOMPARE(log().filter(steps),
                 QStringList({start, quoted("Import File", csv), renamed,
                              QStringLiteral("Update local contact, ContactId: 1 \"Ann Smith\""),
                              quoted("SaveLocalDirectoryXml", book), opened, renamed, close, start,
                              opened, renamed, quoted("SaveLocalDirectoryXml", saved), close}));
    }
};

QTEST_GUILESS_MAIN(TestFileWorkflowsE2e)
#include "tst_fileworkflows_e2e.moc"
