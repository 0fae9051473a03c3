// The message dialog as a user meets it: which button value comes back for each way of closing
// it, what its buttons read and how they look, the dimming signal around its life, and that a
// dialog on top of another or a parent that goes away leaves every answer sound.

#include "dialogdriver.h"
#include "dialogs/cmessagedialoglistmanager.h"
#include "dialogs/messageboxdialog.h"
#include "freshstate.h"
#include "shell/cucstyle.h"
#include "shell/langtranslater.h"
#include "shell/qvthememan.h"
#include "testfiles.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include <memory>

Q_DECLARE_METATYPE(QDialogButtonBox::StandardButtons)

using IntTextMap = QMap<int, QString>;
Q_DECLARE_METATYPE(IntTextMap)

namespace {

constexpr int Ok = QDialogButtonBox::Ok;
constexpr int No = QDialogButtonBox::No;
constexpr int Cancel = QDialogButtonBox::Cancel;
const QDialogButtonBox::StandardButtons okOnly = QDialogButtonBox::Ok;
const QDialogButtonBox::StandardButtons okNoCancel =
    QDialogButtonBox::Ok | QDialogButtonBox::No | QDialogButtonBox::Cancel;

// What the user does: click the button of that value, or one of these.
constexpr int PressEscape = -1;
constexpr int CloseWindow = -2;
constexpr int DeleteParent = -3;

QString colourAt(QWidget *widget, int x, int y)
{
    return QColor(widget->grab().toImage().pixel(x, y)).name();
}

} // namespace

class TestMessageboxDialog : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QApplication::setStyle(new CUCStyle); // the application owns it
        qApp->setStyleSheet(qvThemeMan::loadStyleSheet(QStringLiteral(":/qss/"), false));
    }

    void result_data()
    {
        QTest::addColumn<QDialogButtonBox::StandardButtons>("buttons");
        QTest::addColumn<int>("action");
        QTest::addColumn<int>("expected");
        QTest::addRow("OK only, OK clicked") << okOnly << Ok << Ok;
        QTest::addRow("OK only, closed") << okOnly << CloseWindow << Cancel;
        QTest::addRow("three buttons, No clicked") << okNoCancel << No << No;
        QTest::addRow("three buttons, Cancel clicked") << okNoCancel << Cancel << Cancel;
        QTest::addRow("three buttons, Escape") << okNoCancel << PressEscape << Cancel;
        QTest::addRow("parent going away") << okNoCancel << DeleteParent << Cancel;
    }

    // The answer, and the veil signal: true while the dialog is open, false once it is gone.
    void result()
    {
        QFETCH(QDialogButtonBox::StandardButtons, buttons);
        QFETCH(int, action);
        QFETCH(int, expected);

        auto window = std::make_unique<QWidget>();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QSignalSpy veil(CMessageDialogListManager::instance(),
                        &CMessageDialogListManager::sigShowMessagebox);

        // The dialog is window-modal and deletes itself when its modal run ends.
        QPointer<MessageboxDialog> seen;
        Qt::WindowModality modality = Qt::NonModal;
        QList<QList<QVariant>> veilWhileOpen;
        whenDialogShown(QStringLiteral("Note"), [&](MessageboxDialog *dialog) {
            seen = dialog;
            modality = dialog->windowModality();
            veilWhileOpen = veil;
            if (action == PressEscape)
                QTest::keyClick(dialog, Qt::Key_Escape);
            else if (action == CloseWindow)
                dialog->close();
            else if (action == DeleteParent)
                window.reset();
            else
                QTest::mouseClick(buttonOf(dialog, QDialogButtonBox::StandardButton(action)),
                                  Qt::LeftButton);
        });
        const int answer = MessageboxDialog::showMessage(
            window.get(), QStringLiteral("Note"), QStringLiteral("Delete the group?"), buttons);
        QCOMPARE(answer, expected);
        QCOMPARE(modality, Qt::WindowModal);
        QVERIFY(seen.isNull());
        QCOMPARE(veilWhileOpen, QList<QList<QVariant>>{{true}});
        QCOMPARE(veil.count(), 2);
        QCOMPARE(veil.at(1), QList<QVariant>{false});
    }

    void buttonTexts_data()
    {
        QTest::addColumn<QDialogButtonBox::StandardButtons>("buttons");
        QTest::addColumn<IntTextMap>("texts");
        QTest::addColumn<IntTextMap>("expected"); // what each button shows, and nothing more

        // Given texts are shown as markers are, translated; Cancel keeps its own text.
        QTest::addRow("marker texts translated")
            << okNoCancel
            << IntTextMap{{Ok, Langtranslater::mark(QStringLiteral("Save"))},
                          {No, Langtranslater::mark(QStringLiteral("Don't Save"))}}
            << IntTextMap{{Ok, QStringLiteral("Speichern")},
                          {No, QStringLiteral("Nicht speichern")},
                          {Cancel, QStringLiteral("Abbrechen")}};
    }

    void buttonTexts()
    {
        QFETCH(QDialogButtonBox::StandardButtons, buttons);
        QFETCH(IntTextMap, texts);
        QFETCH(IntTextMap, expected);

        FreshState state;
        const QString path = state.filePath(QStringLiteral("app/language/2.GUI.German.lang"));
        QVERIFY(writeFile(path, "\"Save\" = \"Speichern\"\n\"Don't Save\" = \"Nicht speichern\"\n"
                                "\"Cancel\" = \"Abbrechen\"\n\"OK\" = \"OK\"\n"));
        Langtranslater::setLanguage(path);

        IntTextMap shown;
        whenDialogShown(QStringLiteral("Save File"), [&](MessageboxDialog *dialog) {
            for (QAbstractButton *button : buttonBoxOf(dialog)->buttons()) {
                shown.insert(int(buttonBoxOf(dialog)->standardButton(button)),
                             Langtranslater::resolve(button->text()));
            }
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        MessageboxDialog::showMessage(nullptr, QStringLiteral("Save File"), QStringLiteral("Save?"),
                                      buttons, texts);
        QCOMPARE(shown, expected);
    }

    void okFilledOthersOutlined()
    {
        // A point inside each 80 x 38 button above its text, and one on Cancel's border.
        QStringList colours;
        whenDialogShown(QStringLiteral("Exit the program"), [&](MessageboxDialog *dialog) {
            colours << colourAt(buttonOf(dialog, QDialogButtonBox::Ok), 40, 4)
                    << colourAt(buttonOf(dialog, QDialogButtonBox::No), 40, 4)
                    << colourAt(buttonOf(dialog, QDialogButtonBox::Cancel), 40, 4)
                    << colourAt(buttonOf(dialog, QDialogButtonBox::Cancel), 40, 0);
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        MessageboxDialog::showMessage(nullptr, QStringLiteral("Exit the program"),
                                      QStringLiteral("?"), okNoCancel,
                                      {{Ok, QStringLiteral("Save")}});
        QCOMPARE(colours, texts({"#278cf8", "#ffffff", "#ffffff", "#278cf8"}));
    }

    void dialogOnTopKeepsEachAnswer()
    {
        // Escape on the lower dialog must answer Cancel even though the upper one was answered OK.
        int upper = -1;
        whenDialogShown(QStringLiteral("Lower"), [&](MessageboxDialog *lower) {
            whenDialogShown(QStringLiteral("Upper"), [](MessageboxDialog *dialog) {
                QTest::mouseClick(buttonOf(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
            });
            upper = MessageboxDialog::showMessage(lower, QStringLiteral("Upper"),
                                                  QStringLiteral("?"), okNoCancel);
            QTest::keyClick(lower, Qt::Key_Escape);
        });
        const int lowerAnswer = MessageboxDialog::showMessage(nullptr, QStringLiteral("Lower"),
                                                              QStringLiteral("?"), okNoCancel);
        QCOMPARE(upper, Ok);
        QCOMPARE(lowerAnswer, Cancel);
    }
};

QTEST_MAIN(TestMessageboxDialog)
#include "tst_messageboxdialog.moc"
