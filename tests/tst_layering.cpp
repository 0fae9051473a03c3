// The layering of the sources: every layer folder has its CMakeLists.txt, and a layer includes
// and links only itself and the layers below it, naming each project header by its layer path;
// a pane of ui/ never includes another pane (the group selection popup of ui/groupselect/ is a
// chooser window, not a pane: the contact list owns one for "Move to"). main.cpp, tests/ and
// bench/ sit above everything.

#include "testfiles.h"
#include "testworkdir.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QTest>

namespace {

const QStringList layers = {QStringLiteral("resources"), QStringLiteral("shell"),
                            QStringLiteral("widgets"),   QStringLiteral("dialogs"),
                            QStringLiteral("http"),      QStringLiteral("data"),
                            QStringLiteral("ui"),        QStringLiteral("cli")};

// Where a path below the root stands, or -1 outside the layers: twice the layer's place, and
// the HTTP panel (http/panel/) between data and ui, since it builds on the stores.
int pathRank(const QString &relative)
{
    if (relative.startsWith(QLatin1String("http/panel/")))
        return 2 * layers.indexOf(QStringLiteral("data")) + 1;
    const int layer = layers.indexOf(relative.section(QLatin1Char('/'), 0, 0));
    return layer < 0 ? -1 : 2 * layer;
}

void checkLinks(const QString &root, const QString &cmakeFile, QStringList &faults)
{
    const int rank = pathRank(QDir(root).relativeFilePath(cmakeFile));
    static const QRegularExpression comment(QStringLiteral("#[^\n]*"));
    static const QRegularExpression library(QStringLiteral("\\bqcd_(\\w+)"));
    const QString text = QString::fromUtf8(readAll(cmakeFile)).remove(comment);
    for (auto it = library.globalMatch(text); it.hasNext();) {
        const QString name = it.next().captured(1);
        // The panes of ui/ build the library qcd_panes.
        const QString layer = name == QLatin1String("panes") ? QStringLiteral("ui") : name;
        if (pathRank(layer + QLatin1Char('/')) > rank)
            faults.append(QDir(root).relativeFilePath(cmakeFile) + QStringLiteral(": links qcd_") +
                          name + QStringLiteral(", a layer above"));
    }
}

void checkIncludes(const QString &root, const QString &path, QStringList &faults)
{
    static const QRegularExpression include(
        QStringLiteral("^\\s*#\\s*include\\s*([<\"])([^>\"]+)[>\"]"));
    const QString relative = QDir(root).relativeFilePath(path);
    const int rank = pathRank(relative);
    // A file in a sub-folder of ui/ belongs to that pane.
    const QString pane =
        relative.startsWith(QLatin1String("ui/")) && relative.count(QLatin1Char('/')) >= 2
            ? relative.section(QLatin1Char('/'), 1, 1)
            : QString();
    const QStringList lines = QString::fromUtf8(readAll(path)).split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QRegularExpressionMatch match = include.match(lines.at(i));
        if (!match.hasMatch())
            continue;
        const bool quoted = match.captured(1) == QLatin1String("\"");
        const QString target = match.captured(2);
        const int targetRank = pathRank(target);
        const QString where = relative + QLatin1Char(':') + QString::number(i + 1) +
                              QStringLiteral(": includes ") + target;
        if (targetRank < 0) {
            if (quoted && !target.endsWith(QLatin1String(".moc")))
                faults.append(where + QStringLiteral(" without its layer path"));
        } else if (targetRank > rank) {
            faults.append(where + QStringLiteral(", a layer above"));
        } else if (!pane.isEmpty() && target.count(QLatin1Char('/')) >= 2 &&
                   target.startsWith(QLatin1String("ui/")) &&
                   target.section(QLatin1Char('/'), 1, 1) != pane &&
                   !target.startsWith(QLatin1String("ui/groupselect/"))) {
            faults.append(where + QStringLiteral(", another pane"));
        }
    }
}

// Every breach of the layering below root, one line each, in layer order.
QStringList layeringFaults(const QString &root)
{
    QStringList faults;
    for (const QString &layer : layers) {
        const QString folder = root + QLatin1Char('/') + layer;
        if (!QFileInfo::exists(folder + QStringLiteral("/CMakeLists.txt")))
            faults.append(layer + QStringLiteral(": no CMakeLists.txt"));
        QStringList files;
        QDirIterator it(
            folder,
            {QStringLiteral("*.cpp"), QStringLiteral("*.h"), QStringLiteral("CMakeLists.txt")},
            QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            files.append(it.next());
        files.sort();
        for (const QString &file : qAsConst(files)) {
            if (file.endsWith(QLatin1String("CMakeLists.txt")))
                checkLinks(root, file, faults);
            else
                checkIncludes(root, file, faults);
        }
    }
    return faults;
}

} // namespace

class TestLayering : public QObject
{
    Q_OBJECT
private slots:
    void thisRepository()
    {
        const QStringList faults = layeringFaults(QStringLiteral(QCD_SOURCE_DIR));
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }

    // The check itself, on small made-up trees.
    void faultsFound_data()
    {
        QTest::addColumn<QStringList>("files"); // "path=content"; every layer has a CMakeLists.txt
        QTest::addColumn<QString>("withoutCMake");
        QTest::addColumn<QStringList>("faults");
        const QString none;
        QTest::addRow("sound tree")
            << texts({"widgets/w.cpp=#include \"widgets/w.h\"\n#include \"shell/s.h\"\n"
                      "#include <QWidget>\n#include \"w.moc\"",
                      "ui/grouptree/t.cpp=#include \"ui/grouptree/t.h\"\n#include \"data/d.h\"",
                      "ui/mainwindow.cpp=#include \"ui/grouptree/t.h\"",
                      "cli/CMakeLists.txt=target_link_libraries(qcd_cli qcd_data qcd_panes)",
                      "main.cpp=#include \"cli/c.h\"", "tests/t.cpp=#include \"../cli/c.h\""})
            << none << QStringList();
        QTest::addRow("a layer above, quoted or not")
            << texts({"widgets/w.cpp=#include \"shell/s.h\"\n#include \"data/d.h\"",
                      "http/h.h=  #  include <ui/mainwindow.h>"})
            << none
            << texts({"widgets/w.cpp:2: includes data/d.h, a layer above",
                      "http/h.h:1: includes ui/mainwindow.h, a layer above"});
        QTest::addRow("no layer path")
            << texts({"data/d.cpp=#include \"d.h\"\n#include \"../http/h.h\""}) << none
            << texts({"data/d.cpp:1: includes d.h without its layer path",
                      "data/d.cpp:2: includes ../http/h.h without its layer path"});
        QTest::addRow("the HTTP panel stands between data and ui")
            << texts({"http/panel/p.cpp=#include \"data/d.h\"\n#include \"http/h.h\"",
                      "ui/mainwindow.cpp=#include \"http/panel/p.h\"",
                      "data/d.cpp=#include \"http/panel/p.h\"",
                      "http/h.cpp=#include \"http/panel/p.h\""})
            << none
            << texts({"http/h.cpp:1: includes http/panel/p.h, a layer above",
                      "data/d.cpp:1: includes http/panel/p.h, a layer above"});
        QTest::addRow("another pane, but the group selection popup is for all")
            << texts({"ui/grouptree/t.cpp=#include \"ui/contactlist/l.h\"",
                      "ui/contactlist/l.cpp=#include \"ui/groupselect/p.h\""})
            << none << texts({"ui/grouptree/t.cpp:1: includes ui/contactlist/l.h, another pane"});
        QTest::addRow("links a layer above")
            << texts({"dialogs/CMakeLists.txt=# qcd_cli in a comment\n"
                      "target_link_libraries(qcd_dialogs PUBLIC qcd_shell qcd_panes)"})
            << none << texts({"dialogs/CMakeLists.txt: links qcd_panes, a layer above"});
        QTest::addRow("layer without CMakeLists.txt")
            << QStringList() << QStringLiteral("http") << texts({"http: no CMakeLists.txt"});
    }

    void faultsFound()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, withoutCMake);
        QFETCH(QStringList, faults);
        TestWorkDir tree;
        for (const QString &layer : layers) {
            if (layer != withoutCMake)
                QVERIFY(writeFile(tree.filePath(layer + QStringLiteral("/CMakeLists.txt")), ""));
            else
                tree.mkpath(layer);
        }
        for (const QString &entry : files) {
            const int eq = entry.indexOf(QLatin1Char('='));
            QVERIFY(writeFile(tree.filePath(entry.left(eq)), entry.mid(eq + 1).toUtf8()));
        }
        QCOMPARE(layeringFaults(tree.path()), faults);
    }
};

QTEST_GUILESS_MAIN(TestLayering)
#include "tst_layering.moc"
