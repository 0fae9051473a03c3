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

    // English and Chinese as shipped.
    static void installLanguages()
    {
        for (const char *name : {"/1.GUI.English.lang", "/2.GUI.Chinese.lang"})
            QVERIFY(writeFile(
                Langtranslater::languageFolder() + QLatin1String(name),
                readAll(QStringLiteral(QCD_SOURCE_DIR "/app/language") + QLatin1String(name))));
        Langtranslater::scanLanguages();
    }
    static QString text(QWidget *dialog, const char *label)
    {
        return Langtranslater::resolve(
            dialog->findChild<QLabel *>(QString::fromLatin1(label))->text());
    }
    static QString setting(const char *key)
    {
        return Config::instance()->value(QStringLiteral("user"), QLatin1String(key)).toString();
    }

private slots:
    // The list is filled without announcing a change; picking a language stores and applies it.
    void languageList_data()
    {
        QTest::addColumn<QString>("configured");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("version"); // the setting; empty: none
        QTest::addColumn<QString>("shown");
        QTest::addRow("setting selected") << "Chinese" << 1 << "2.4.0.7"
                                          << "2.4.0.7";
        QTest::addRow("unknown setting: first") << "Klingon" << 0 << ""
                                                << "1.0.0.0";
    }
    void languageList()
    {
        QFETCH(QString, configured);
        QFETCH(int, selected);
        QFETCH(QString, version);
        QFETCH(QString, shown);
        FreshState state;
        installLanguages();
        for (const char *key : {"language", "version"}) {
            const QString value =
                QLatin1String(key) == QLatin1String("language") ? configured : version;
            if (!value.isEmpty())
                Config::instance()->setValue(QStringLiteral("user"), QLatin1String(key), value);
        }
        SettingDialog dialog;
        QSignalSpy changed(&dialog, &SettingDialog::sigLanguageChanged);
        auto *combo = dialog.findChild<QComboBox *>(QStringLiteral("comboBox"));
        QCOMPARE(combo->count(), 2);
        QCOMPARE(combo->itemText(0) + QLatin1Char('|') + combo->itemText(1),
                 QString::fromUtf8("English|中文"));
        QCOMPARE(combo->currentIndex(), selected);
        QVERIFY(Langtranslater::currentPath().isEmpty()); // nothing activated
        QCOMPARE(setting("language"), configured);
        QCOMPARE(text(&dialog, "labelVersion"), QStringLiteral("Version: ") + shown);
        if (selected == 1)
            return;

        combo->setCurrentIndex(1);
        QCOMPARE(changed, QList<QList<QVariant>>{{QString::fromUtf8("中文")}});
        QCOMPARE(setting("language"), QStringLiteral("Chinese"));
        QCOMPARE(text(&dialog, "labelVersion"), QString::fromUtf8("版本: ") + shown);
    }

    void supportOpensTheQuickGuide_data()
    {
        QTest::addColumn<bool>("shipped");
        QTest::addRow("guide shipped") << true;
        QTest::addRow("guide missing: warning") << false;
    }
    void supportOpensTheQuickGuide()
    {
        QFETCH(bool, shipped);
        FreshState state;
        QWidget window;
        TipWidget::create(&window);
        window.show(); // a toast shows only over a shown window
        const QString page = state.filePath(QStringLiteral("app/help/QuickGuide.html"));
        const QByteArray guide =
            readAll(QStringLiteral(QCD_SOURCE_DIR "/app/help/QuickGuide.html"));
        if (shipped)
            QVERIFY(writeFile(page, guide));

        UrlCatcher browser;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &browser, "open");
        SettingDialog dialog(&window);
        QSignalSpy dim(CMessageDialogListManager::instance(),
                       &CMessageDialogListManager::sigShowMessagebox);
        dialog.showDialog();
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("pushButton")),
                          Qt::LeftButton);
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QCOMPARE(browser.opened, shipped ? QList<QUrl>{QUrl::fromLocalFile(page)} : QList<QUrl>());
        QCOMPARE(TipWidget::current()->isVisible(), !shipped);

        // Closing lifts the dim, by the close button and by Escape alike.
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("btnClose")),
                          Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        dialog.showDialog();
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dim, (QList<QList<QVariant>>{{true}, {false}, {true}, {false}}));
    }
};

QTEST_MAIN(TestSettingDialog)
#include "tst_settingdialog.moc"
