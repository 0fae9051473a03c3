// The settings dialog: the language list (filled without announcing a change), choosing a
// language, the version text, closing, and the quick guide behind the support button.

#include "dialogs/cmessagedialoglistmanager.h"
#include "dialogs/settingdialog.h"
#include "dialogs/tipwidget.h"
#include "freshstate.h"
#include "testfiles.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

// Stands in for the system's browser.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened.append(url); }
};

class TestSettingDialog : public QObject
{
    Q_OBJECT

    // English and Chinese from the repository, plus a second file that also calls itself English.
    static void installLanguages(bool duplicateName)
    {
        const QString source = QStringLiteral(QCD_SOURCE_DIR "/app/language/");
        const QString folder = Langtranslater::languageFolder() + QLatin1Char('/');
        for (const char *name : {"1.GUI.English.lang", "2.GUI.Chinese.lang"})
            QVERIFY(writeFile(folder + QLatin1String(name), readAll(source + QLatin1String(name))));
        if (duplicateName)
            QVERIFY(writeFile(folder + QStringLiteral("3.GUI.British.lang"),
                              "[Name] = English\n\"Version\" = \"Release\"\n"));
        Langtranslater::scanLanguages();
    }
    static QString labelText(QWidget *dialog, const char *name)
    {
        return dialog->findChild<QLabel *>(QString::fromLatin1(name))->text();
    }

private slots:
    void languageListWithoutChange_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<bool>("duplicateName");
        QTest::addColumn<int>("selected");
        QTest::addRow("setting selected") << "Chinese" << false << 1;
        QTest::addRow("no setting: first") << "" << false << 0;
        QTest::addRow("unknown setting: first") << "Klingon" << false << 0;
        QTest::addRow("shared display name") << "British" << true << 2;
    }
    void languageListWithoutChange()
    {
        QFETCH(QString, setting);
        QFETCH(bool, duplicateName);
        QFETCH(int, selected);
        FreshState state;
        installLanguages(duplicateName);
        if (!setting.isEmpty())
            Config::instance()->setValue(QStringLiteral("user"), QStringLiteral("language"),
                                         setting);
        Langtranslater::loadConfiguredLanguage();
        const QString activeBefore = Langtranslater::currentPath();

        SettingDialog dialog;
        auto *combo = dialog.findChild<QComboBox *>(QStringLiteral("comboBox"));
        QStringList shown;
        for (int i = 0; i < combo->count(); ++i)
            shown.append(combo->itemText(i));
        QStringList expected = texts({"English", "中文"});
        if (duplicateName)
            expected.append(QStringLiteral("English"));
        QCOMPARE(shown, expected);
        QCOMPARE(combo->currentIndex(), selected);
        QCOMPARE(Langtranslater::currentPath(), activeBefore);
        QCOMPARE(Config::instance()
                     ->value(QStringLiteral("user"), QStringLiteral("language"))
                     .toString(),
                 setting);
    }

    void choosingALanguage_data()
    {
        QTest::addColumn<QString>("version"); // the setting; empty: none
        QTest::addColumn<QString>("englishVersion");
        QTest::addColumn<QString>("chineseVersion");
        QTest::addRow("no version setting")
            << ""
            << "Version: 1.0.0.0" << QString::fromUtf8("版本: 1.0.0.0");
        QTest::addRow("version from the settings")
            << "2.4.0.7"
            << "Version: 2.4.0.7" << QString::fromUtf8("版本: 2.4.0.7");
    }
    void choosingALanguage()
    {
        QFETCH(QString, version);
        QFETCH(QString, englishVersion);
        QFETCH(QString, chineseVersion);
        FreshState state;
        installLanguages(false);
        if (!version.isEmpty())
            Config::instance()->setValue(QStringLiteral("user"), QStringLiteral("version"),
                                         version);
        SettingDialog dialog;
        QSignalSpy changed(&dialog, &SettingDialog::sigLanguageChanged);
        QCOMPARE(labelText(&dialog, "labelVersion"), englishVersion);

        auto *combo = dialog.findChild<QComboBox *>(QStringLiteral("comboBox"));
        combo->setCurrentIndex(1);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toString(), QString::fromUtf8("中文"));
        QCOMPARE(Config::instance()
                     ->value(QStringLiteral("user"), QStringLiteral("language"))
                     .toString(),
                 QStringLiteral("Chinese"));
        QCOMPARE(labelText(&dialog, "labelVersion"), chineseVersion);
        QCOMPARE(labelText(&dialog, "labelSupport"), QString::fromUtf8("如需更多帮助，请访问"));
        QCOMPARE(Langtranslater::resolve(labelText(&dialog, "labelCopyRight")),
                 QString::fromUtf8("版权所有 © 2026 Quelvox Contact Desk"));

        combo->setCurrentIndex(0);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(labelText(&dialog, "labelVersion"), englishVersion);
    }

    void closingLiftsTheDim()
    {
        FreshState state;
        QWidget window;
        SettingDialog dialog(&window);
        QSignalSpy dim(CMessageDialogListManager::instance(),
                       &CMessageDialogListManager::sigShowMessagebox);
        window.show();
        dialog.showDialog();
        QVERIFY(dialog.isVisible());
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("btnClose")),
                          Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        dialog.showDialog();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dim.count(), 4);
        for (int i = 0; i < dim.count(); ++i)
            QCOMPARE(dim.at(i).at(0).toBool(), i % 2 == 0);
    }

    void supportOpensTheQuickGuide_data()
    {
        QTest::addColumn<bool>("shipped");
        QTest::addRow("guide shipped") << true;
        QTest::addRow("guide missing") << false;
    }
    void supportOpensTheQuickGuide()
    {
        QFETCH(bool, shipped);
        FreshState state;
        QWidget window;
        window.setFixedSize(1280, 720);
        TipWidget::create(&window);
        window.show(); // a toast shows only over a shown window
        const QByteArray guide =
            readAll(QStringLiteral(QCD_SOURCE_DIR "/app/help/QuickGuide.html"));
        // What the guide must tell: the served folder, the URL form, the settings file.
        for (const char *needle : {"target/", "http://", "app/config/Config.ini", "Http-Server"})
            QVERIFY2(guide.contains(needle), needle);
        if (shipped)
            QVERIFY(writeFile(state.filePath(QStringLiteral("app/help/QuickGuide.html")), guide));

        UrlCatcher browser;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &browser, "open");
        SettingDialog dialog(&window);
        dialog.showDialog();
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("pushButton")),
                          Qt::LeftButton);
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));

        if (shipped) {
            QCOMPARE(browser.opened, QList<QUrl>{QUrl::fromLocalFile(state.filePath(
                                         QStringLiteral("app/help/QuickGuide.html")))});
            QVERIFY(!TipWidget::current()->isVisible());
        } else {
            QVERIFY(browser.opened.isEmpty());
            QVERIFY(TipWidget::current()->isVisible());
        }
    }
};

QTEST_MAIN(TestSettingDialog)
#include "tst_settingdialog.moc"
