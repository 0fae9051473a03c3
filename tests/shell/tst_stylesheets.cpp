// The style-sheet loader and the compiled-in sheets: which files are gathered and how, that the
// shipped sheets parse, and that their rules really reach the widgets they are written for.

#include "qvthememan.h"
#include "testfiles.h"
#include "testworkdir.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSize>
#include <QStringList>
#include <QTest>

#include <algorithm>

namespace {

QStringList capturedWarnings;

void captureWarnings(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        capturedWarnings.append(message);
}

// True when text is the parts joined in some order, with nothing in between.
bool isConcatenation(const QString &text, QStringList parts)
{
    std::sort(parts.begin(), parts.end());
    do {
        if (parts.join(QString()) == text)
            return true;
    } while (std::next_permutation(parts.begin(), parts.end()));
    return false;
}

// The warnings about unparsable style sheets that polishing a few widgets under sheet gives.
QStringList parseWarnings(const QString &sheet)
{
    capturedWarnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(captureWarnings);
    qApp->setStyleSheet(sheet);
    {
        QWidget window;
        auto *layout = new QHBoxLayout(&window); // the window owns it
        layout->addWidget(new QLabel(QStringLiteral("x")));
        layout->addWidget(new QPushButton(QStringLiteral("y")));
        layout->addWidget(new QScrollBar(Qt::Vertical));
        QMenu menu;
        menu.addAction(QStringLiteral("z"));
        window.ensurePolished();
        menu.ensurePolished();
        window.grab();
    }
    qApp->setStyleSheet(QString());
    qInstallMessageHandler(previous);
    return capturedWarnings.filter(QStringLiteral("parse"), Qt::CaseInsensitive);
}

} // namespace

class TestStyleSheets : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();

    void loadStyleSheet_data();
    void loadStyleSheet();
    void shippedSheetsAllLoadedAndParse();
    void shippedRulesReachTheirWidgets_data();
    void shippedRulesReachTheirWidgets();
};

void TestStyleSheets::cleanup()
{
    qApp->setStyleSheet(QString());
}

void TestStyleSheets::loadStyleSheet_data()
{
    // files: "relative/path=content" entries written below the folder "themes"
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("rewriteUrls");
    QTest::addColumn<QStringList>("expectedParts");

    QTest::addRow("missing folder")
        << QStringList() << QStringLiteral("nowhere") << false << QStringList();
    QTest::addRow("folder without sheets") << texts({"readme.txt=QLabel{}", "old.qss.bak=x"})
                                           << QStringLiteral("themes") << false << QStringList();
    QTest::addRow("one sheet") << QStringList{QStringLiteral("a.qss=QLabel { color: red; }\n")}
                               << QStringLiteral("themes") << false
                               << QStringList{QStringLiteral("QLabel { color: red; }\n")};
    QTest::addRow("sheets in sub-folders, others skipped")
        << texts({"a.qss=QLabel{}", "deep/er/b.qss=QMenu{}", "c.css=QFrame{}",
                  "d.qss.orig=QWidget{}"})
        << QStringLiteral("themes") << false << texts({"QLabel{}", "QMenu{}"});
    QTest::addRow("UTF-8 text") << texts({"a.qss=/* 联系人 */ QLabel{}"})
                                << QStringLiteral("themes") << false
                                << texts({"/* 联系人 */ QLabel{}"});
    QTest::addRow("empty sheet") << texts({"a.qss=", "b.qss=QMenu{}"}) << QStringLiteral("themes")
                                 << false << texts({"QMenu{}"});
    QTest::addRow("urls kept") << texts({"a.qss=QLabel{image:url(icon.png);}"})
                               << QStringLiteral("themes") << false
                               << texts({"QLabel{image:url(icon.png);}"});
    QTest::addRow("urls rewritten")
        << QStringList{QStringLiteral("a.qss=QLabel{image:url(icon.png);} QMenu{image:url(b.png);} "
                                      "QFrame{image:URL(c.png);}")}
        << QStringLiteral("themes/") << true
        << QStringList{QStringLiteral("QLabel{image:url(themes/icon.png);} "
                                      "QMenu{image:url(themes/b.png);} QFrame{image:URL(c.png);}")};
}

void TestStyleSheets::loadStyleSheet()
{
    QFETCH(QStringList, files);
    QFETCH(QString, folder);
    QFETCH(bool, rewriteUrls);
    QFETCH(QStringList, expectedParts);

    TestWorkDir work;
    work.mkpath(QStringLiteral("themes"));
    for (const QString &entry : files) {
        const int eq = entry.indexOf(QLatin1Char('='));
        QVERIFY(writeFile(work.filePath(QStringLiteral("themes/") + entry.left(eq)),
                          entry.mid(eq + 1).toUtf8()));
    }

    const QString sheet = qvThemeMan::loadStyleSheet(folder, rewriteUrls);
    if (expectedParts.isEmpty())
        QVERIFY2(sheet.isEmpty(), qPrintable(sheet));
    else
        QVERIFY2(isConcatenation(sheet, expectedParts), qPrintable(sheet));
}

void TestStyleSheets::shippedSheetsAllLoadedAndParse()
{
    const QString sheet = qvThemeMan::loadStyleSheet(QStringLiteral(":/qss/"), false);
    QVERIFY(!sheet.isEmpty());

    // Every compiled-in sheet is part of the result, whole.
    QStringList parts;
    QDirIterator it(QStringLiteral(":/qss/"), {QStringLiteral("*.qss")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        QVERIFY(file.open(QIODevice::ReadOnly));
        parts.append(QString::fromUtf8(file.readAll()));
    }
    QCOMPARE(parts.size(), 10);
    int total = 0;
    for (const QString &part : qAsConst(parts)) {
        QVERIFY(sheet.contains(part));
        total += part.size();
    }
    QCOMPARE(sheet.size(), total);

    // Qt only says that a sheet does not parse, as a warning while polishing; a broken sheet
    // first shows that the warning is caught here.
    QVERIFY(!parseWarnings(QStringLiteral("QLabel { color: red; ")).isEmpty());
    const QStringList warnings = parseWarnings(sheet);
    QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join(QLatin1Char('\n'))));
}

void TestStyleSheets::shippedRulesReachTheirWidgets_data()
{
    QTest::addColumn<QString>("widget");
    QTest::addColumn<QSize>("minimum");
    QTest::addColumn<QSize>("maximum");

    const int any = QWIDGETSIZE_MAX;
    // Sizes include what the sheets put around the contents: border, padding and margin.
    QTest::addRow("vertical scroll bar is 10 px wide")
        << QStringLiteral("scrollbar") << QSize(10, 0) << QSize(10, any);
    QTest::addRow("blue button is 80 x 38")
        << QStringLiteral("BtnBlue") << QSize(80, 38) << QSize(80, 38);
    QTest::addRow("outlined add button is 38 to 180 px plus margins")
        << QStringLiteral("BtnAddRemoteItem") << QSize(38 + 2 + 20, 38 + 2 + 24)
        << QSize(180 + 2 + 20, 180 + 2 + 24);
    QTest::addRow("toast is 40 px high below a 40 px margin")
        << QStringLiteral("popupTipWidget") << QSize(0, 40 + 2 + 40) << QSize(any, 40 + 2 + 40);
    QTest::addRow("toast icon is 20 x 20 after a 2 px margin")
        << QStringLiteral("mainwidowTipIcon") << QSize(22, 20) << QSize(22, 20);
    QTest::addRow("label inside a menu")
        << QStringLiteral("menulabel") << QSize(160 + 16, 46) << QSize(160 + 16, 46);
}

void TestStyleSheets::shippedRulesReachTheirWidgets()
{
    QFETCH(QString, widget);
    QFETCH(QSize, minimum);
    QFETCH(QSize, maximum);

    qApp->setStyleSheet(qvThemeMan::loadStyleSheet(QStringLiteral(":/qss/"), false));

    QFrame toast;
    toast.setObjectName(QStringLiteral("popupTipWidget"));
    QMenu menu;
    QWidget *target = nullptr;
    if (widget == QLatin1String("scrollbar")) {
        target = new QScrollBar(Qt::Vertical, &toast);
    } else if (widget == QLatin1String("popupTipWidget")) {
        target = &toast;
    } else if (widget == QLatin1String("menulabel")) {
        target = new QLabel(QStringLiteral("Save"), &menu);
    } else if (widget == QLatin1String("mainwidowTipIcon")) {
        target = new QLabel(&toast);
        target->setObjectName(widget);
    } else {
        target = new QPushButton(QStringLiteral("Add"), &toast);
        target->setObjectName(widget);
    }
    target->ensurePolished();

    if (widget == QLatin1String("scrollbar")) {
        QCOMPARE(target->sizeHint().width(), minimum.width());
        return;
    }
    QCOMPARE(target->minimumSize(), minimum);
    QCOMPARE(target->maximumSize(), maximum);
}

QTEST_MAIN(TestStyleSheets)
#include "tst_stylesheets.moc"
