// The style-sheet loader and the compiled-in sheets: which files are gathered and how, and that
// the shipped sheets parse. (That their rules reach real widgets is checked with the toast and
// the message dialog.)

#include "messagecapture.h"
#include "shell/qvthememan.h"
#include "testfiles.h"
#include "testworkdir.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <algorithm>

namespace {

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
    MessageCapture::clear();
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
    return MessageCapture::lines(QtWarningMsg).filter(QStringLiteral("parse"), Qt::CaseInsensitive);
}

} // namespace

class TestStyleSheets : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { qApp->setStyleSheet(QString()); }

    void loadStyleSheet_data()
    {
        // files: "relative/path=content" entries written below the folder "themes"
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("rewriteUrls");
        QTest::addColumn<QStringList>("expectedParts");

        const QString themes = QStringLiteral("themes");
        QTest::addRow("missing folder")
            << QStringList() << QStringLiteral("nowhere") << false << QStringList();
        QTest::addRow("sheets in sub-folders, others and empty ones skipped, urls kept")
            << texts({"a.qss=/* 联系人 */ QLabel{image:url(icon.png);}", "deep/er/b.qss=QMenu{}",
                      "c.css=QFrame{}", "d.qss.orig=QWidget{}", "e.qss="})
            << themes << false << texts({"/* 联系人 */ QLabel{image:url(icon.png);}", "QMenu{}"});
        QTest::addRow("urls rewritten")
            << texts({"a.qss=QLabel{image:url(icon.png);} QMenu{image:url(b.png);} "
                      "QFrame{image:URL(c.png);}"})
            << QStringLiteral("themes/") << true
            << texts({"QLabel{image:url(themes/icon.png);} QMenu{image:url(themes/b.png);} "
                      "QFrame{image:URL(c.png);}"});
    }

    void loadStyleSheet()
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
        QVERIFY2(isConcatenation(sheet, expectedParts), qPrintable(sheet));
    }

    void shippedSheetsParse()
    {
        // Qt only says that a sheet does not parse, as a warning while polishing; a broken sheet
        // first shows that the warning is caught here.
        QVERIFY(!parseWarnings(QStringLiteral("QLabel { color: red; ")).isEmpty());
        const QString sheet = qvThemeMan::loadStyleSheet(QStringLiteral(":/qss/"), false);
        QVERIFY(!sheet.isEmpty());
        const QStringList warnings = parseWarnings(sheet);
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(TestStyleSheets)
#include "tst_stylesheets.moc"
