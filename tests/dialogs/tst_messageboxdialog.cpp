// The message dialog as a user meets it: which button value comes back for each way of closing
// it, what its buttons read and how they look, the dimming signal around its life, and that a
// dialog on top of another or a parent that goes away leaves every answer sound.

#include "cmessagedialoglistmanager.h"
#include "cucstyle.h"
#include "dialogdriver.h"
#include "langtranslater.h"
#include "messageboxdialog.h"
#include "qvthememan.h"
#include "testfiles.h"
#include "testworkdir.h"

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QMap>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

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

void perform(MessageboxDialog *dialog, int action)
{
    if (action == PressEscape)
        QTest::keyClick(dialog, Qt::Key_Escape);
    else if (action == CloseWindow)
        dialog->close();
    else
        QTest::mouseClick(buttonOf(dialog, QDialogButtonBox::StandardButton(action)),
                          Qt::LeftButton);
}

QColor colourAt(QWidget *widget, int x, int y)
{
    return QColor(widget->grab().toImage().pixel(x, y));
}

} // namespace

class TestMessageboxDialog : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void result_data();
    void result();
    void buttonTexts_data();
    void buttonTexts();
    void okFilledOthersOutlined();
    void veilSignalAroundTheDialog();
    void dialogOnTopKeepsEachAnswer();
    void parentGoingAwayEndsTheDialog();
};

void TestMessageboxDialog::initTestCase()
{
    QApplication::setStyle(new CUCStyle); // the application owns it
    qApp->setStyleSheet(qvThemeMan::loadStyleSheet(QStringLiteral(":/qss/"), false));
}

void TestMessageboxDialog::cleanup()
{
    Langtranslater::setLanguage(QString());
}

void TestMessageboxDialog::result_data()
{
    QTest::addColumn<QDialogButtonBox::StandardButtons>("buttons");
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("expected");

    QTest::addRow("OK only, OK clicked") << okOnly << Ok << Ok;
    QTest::addRow("OK only, Escape") << okOnly << PressEscape << Cancel;
    QTest::addRow("OK only, closed") << okOnly << CloseWindow << Cancel;
    QTest::addRow("default buttons, OK clicked")
        << QDialogButtonBox::StandardButtons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel) << Ok
        << Ok;
    QTest::addRow("three buttons, OK clicked") << okNoCancel << Ok << Ok;
    QTest::addRow("three buttons, No clicked") << okNoCancel << No << No;
    QTest::addRow("three buttons, Cancel clicked") << okNoCancel << Cancel << Cancel;
    QTest::addRow("three buttons, Escape") << okNoCancel << PressEscape << Cancel;
}

void TestMessageboxDialog::result()
{
    QFETCH(QDialogButtonBox::StandardButtons, buttons);
    QFETCH(int, action);
    QFETCH(int, expected);

    QWidget window;
    window.resize(700, 500);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // The dialog is window-modal and deletes itself when its modal run ends.
    QPointer<MessageboxDialog> seen;
    Qt::WindowModality modality = Qt::NonModal;
    whenDialogShown(QStringLiteral("Note"), [&](MessageboxDialog *dialog) {
        seen = dialog;
        modality = dialog->windowModality();
        perform(dialog, action);
    });
    const int answer = MessageboxDialog::showMessage(&window, QStringLiteral("Note"),
                                                     QStringLiteral("Delete the group?"), buttons);
    QCOMPARE(modality, Qt::WindowModal);
    QVERIFY(seen.isNull());
    QCOMPARE(answer, expected);
}

void TestMessageboxDialog::buttonTexts_data()
{
    QTest::addColumn<QDialogButtonBox::StandardButtons>("buttons");
    QTest::addColumn<IntTextMap>("texts");
    QTest::addColumn<bool>("german");
    QTest::addColumn<IntTextMap>("expected"); // what each button shows, and nothing more

    QTest::addRow("default texts")
        << QDialogButtonBox::StandardButtons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel)
        << IntTextMap() << false
        << IntTextMap{{Ok, QStringLiteral("OK")}, {Cancel, QStringLiteral("Cancel")}};
    QTest::addRow("save prompt") << okNoCancel
                                 << IntTextMap{{Ok, QStringLiteral("Save")},
                                               {No, QStringLiteral("Don't Save")}}
                                 << false
                                 << IntTextMap{{Ok, QStringLiteral("Save")},
                                               {No, QStringLiteral("Don't Save")},
                                               {Cancel, QStringLiteral("Cancel")}};
    QTest::addRow("texts for absent buttons ignored")
        << okOnly
        << IntTextMap{{Cancel, QStringLiteral("Abort")},
                      {QDialogButtonBox::Yes, QStringLiteral("Yes please")},
                      {Ok | Cancel, QStringLiteral("Both")},
                      {0, QStringLiteral("None")}}
        << false << IntTextMap{{Ok, QStringLiteral("OK")}};
    QTest::addRow("marker texts translated")
        << okNoCancel
        << IntTextMap{{Ok, Langtranslater::mark(QStringLiteral("Save"))},
                      {No, Langtranslater::mark(QStringLiteral("Don't Save"))}}
        << true
        << IntTextMap{{Ok, QStringLiteral("Speichern")},
                      {No, QStringLiteral("Nicht speichern")},
                      {Cancel, QStringLiteral("Abbrechen")}};
}

void TestMessageboxDialog::buttonTexts()
{
    QFETCH(QDialogButtonBox::StandardButtons, buttons);
    QFETCH(IntTextMap, texts);
    QFETCH(bool, german);
    QFETCH(IntTextMap, expected);

    TestWorkDir work;
    if (german) {
        const QString path =
            work.mkpath(QStringLiteral("app/language")) + QStringLiteral("/2.GUI.German.lang");
        QVERIFY(writeFile(path, "\"Save\" = \"Speichern\"\n\"Don't Save\" = \"Nicht speichern\"\n"
                                "\"Cancel\" = \"Abbrechen\"\n\"OK\" = \"OK\"\n"));
        Langtranslater::setLanguage(path);
    }

    IntTextMap shown;
    whenDialogShown(QStringLiteral("Save File"), [&](MessageboxDialog *dialog) {
        const QList<QAbstractButton *> all = buttonBoxOf(dialog)->buttons();
        for (QAbstractButton *button : all) {
            shown.insert(int(buttonBoxOf(dialog)->standardButton(button)),
                         Langtranslater::resolve(button->text()));
        }
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    MessageboxDialog::showMessage(nullptr, QStringLiteral("Save File"), QStringLiteral("Save?"),
                                  buttons, texts);
    QCOMPARE(shown, expected);
}

void TestMessageboxDialog::okFilledOthersOutlined()
{
    QColor ok, no, cancel, border;
    whenDialogShown(QStringLiteral("Exit the program"), [&](MessageboxDialog *dialog) {
        // A point inside the 80 x 38 button, above its text.
        ok = colourAt(buttonOf(dialog, QDialogButtonBox::Ok), 40, 4);
        no = colourAt(buttonOf(dialog, QDialogButtonBox::No), 40, 4);
        cancel = colourAt(buttonOf(dialog, QDialogButtonBox::Cancel), 40, 4);
        border = colourAt(buttonOf(dialog, QDialogButtonBox::Cancel), 40, 0);
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    MessageboxDialog::showMessage(nullptr, QStringLiteral("Exit the program"), QStringLiteral("?"),
                                  okNoCancel, {{Ok, QStringLiteral("Save")}});
    QCOMPARE(ok.name(), QStringLiteral("#278cf8"));
    QCOMPARE(no.name(), QStringLiteral("#ffffff"));
    QCOMPARE(cancel.name(), QStringLiteral("#ffffff"));
    QCOMPARE(border.name(), QStringLiteral("#278cf8"));
}

void TestMessageboxDialog::veilSignalAroundTheDialog()
{
    QSignalSpy spy(CMessageDialogListManager::instance(),
                   &CMessageDialogListManager::sigShowMessagebox);
    QList<QVariant> whileOpen;
    whenDialogShown(QStringLiteral("Note"), [&](MessageboxDialog *dialog) {
        whileOpen = spy.count() == 1 ? spy.first() : QList<QVariant>();
        QTest::mouseClick(buttonOf(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
    });
    MessageboxDialog::showMessage(nullptr, QStringLiteral("Note"), QStringLiteral("Done."), okOnly);
    QCOMPARE(whileOpen, QList<QVariant>{true});
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1), QList<QVariant>{false});
}

void TestMessageboxDialog::dialogOnTopKeepsEachAnswer()
{
    // Escape on the lower dialog must answer Cancel even though the upper one was answered OK.
    int upper = -1;
    whenDialogShown(QStringLiteral("Lower"), [&](MessageboxDialog *lower) {
        whenDialogShown(QStringLiteral("Upper"), [](MessageboxDialog *dialog) {
            QTest::mouseClick(buttonOf(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
        });
        upper = MessageboxDialog::showMessage(lower, QStringLiteral("Upper"), QStringLiteral("?"),
                                              okNoCancel);
        QTest::keyClick(lower, Qt::Key_Escape);
    });
    const int lowerAnswer = MessageboxDialog::showMessage(nullptr, QStringLiteral("Lower"),
                                                          QStringLiteral("?"), okNoCancel);
    QCOMPARE(upper, Ok);
    QCOMPARE(lowerAnswer, Cancel);
}

void TestMessageboxDialog::parentGoingAwayEndsTheDialog()
{
    auto window = std::make_unique<QWidget>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QSignalSpy spy(CMessageDialogListManager::instance(),
                   &CMessageDialogListManager::sigShowMessagebox);
    whenDialogShown(QStringLiteral("Note"), [&](MessageboxDialog *) { window.reset(); });
    const int answer = MessageboxDialog::showMessage(window.get(), QStringLiteral("Note"),
                                                     QStringLiteral("x"), okNoCancel);
    QCOMPARE(answer, Cancel);
    QCOMPARE(spy.count(), 2);
}

QTEST_MAIN(TestMessageboxDialog)
#include "tst_messageboxdialog.moc"
