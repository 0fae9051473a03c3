#include "data/remotedirectory.h"
#include "ui/contactdialogs/inputmessageboxdialog.h"
#include "ui/contactdialogs/messageboxdialogcontactsetting.h"
#include "ui/contactdialogs/messagedialoginputphoto.h"

#include "freshstate.h"

#include <QDialogButtonBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

namespace {

enum DialogKind
{
    LabelInput,
    PhotoInput,
    NumberLabels
};

QPushButton *button(QDialog *dialog, QDialogButtonBox::StandardButton which)
{
    auto *box = dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
    return box ? box->button(which) : nullptr;
}

// Both input dialogs behave alike; the tests run each through the same table.
QDialog *makeDialog(int kind, QWidget *parent = nullptr)
{
    if (kind == LabelInput)
        return new InputMessageboxdialog(parent);
    if (kind == PhotoInput)
        return new MessageDialogInputPhoto(parent);
    return new MessageboxDialogContactSetting(parent);
}

QLineEdit *edit(QDialog *dialog, const QString &name)
{
    return dialog->findChild<QLineEdit *>(name);
}

void setLabels(const QString &l1, const QString &l2, const QString &l3)
{
    RemoteDirectory &store = RemoteDirectory::instance();
    store.setNumberLabels(l1, l2, l3);
    store.resetToRoot(); // keeps the labels, clears the changed flag
}

QStringList storedLabels()
{
    QString l1;
    QString l2;
    QString l3;
    RemoteDirectory::instance().getNumberLabels(l1, l2, l3);
    return {l1, l2, l3};
}

// Pixels of the dialogs' blue inside area of image.
int bluePixels(const QImage &image, const QRect &area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixelColor(x, y).rgb() == QColor(0x27, 0x8C, 0xF8).rgb();
    }
    return count;
}

} // namespace

class TestContactDialogs : public QObject
{
    Q_OBJECT
private slots:
    void inputDialogs_data();
    void inputDialogs();
    void labelDialog_data();
    void labelDialog();
    void buttonsKeepTheirLookUnderAStyledWindow_data();
    void buttonsKeepTheirLookUnderAStyledWindow();
};

void TestContactDialogs::inputDialogs_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("current"); // the avatar link the opener puts in
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("press");
    QTest::addColumn<QStringList>("emitted");

    const QString link = QStringLiteral("http://192.168.1.5/photo/anna.png");
    QTest::newRow("photo: Save keeps the current link")
        << int(PhotoInput) << link << QString() << int(QDialogButtonBox::Ok) << QStringList{link};
    for (int kind : {int(LabelInput), int(PhotoInput)}) {
        const char *name = kind == LabelInput ? "label" : "photo";
        QTest::addRow("%s: Ok with text", name)
            << kind << QString() << QStringLiteral("Fax") << int(QDialogButtonBox::Ok)
            << QStringList{QStringLiteral("Fax")};
        QTest::addRow("%s: Ok with blanks", name)
            << kind << QString() << QStringLiteral("  ") << int(QDialogButtonBox::Ok)
            << QStringList{QStringLiteral("  ")};
        QTest::addRow("%s: Ok with nothing", name)
            << kind << QString() << QString() << int(QDialogButtonBox::Ok) << QStringList();
        QTest::addRow("%s: the 129th character is not taken", name)
            << kind << QString() << QString(129, QLatin1Char('x')) << int(QDialogButtonBox::Ok)
            << QStringList{QString(128, QLatin1Char('x'))};
        QTest::addRow("%s: Cancel with text", name)
            << kind << QString() << QStringLiteral("Fax") << int(QDialogButtonBox::Cancel)
            << QStringList();
    }
}

void TestContactDialogs::inputDialogs()
{
    FreshState fresh;
    QFETCH(int, kind);
    QFETCH(QString, current);
    QFETCH(QString, typed);
    QFETCH(int, press);
    QFETCH(QStringList, emitted);

    QPointer<QDialog> dialog = makeDialog(kind);
    if (!current.isNull())
        static_cast<MessageDialogInputPhoto *>(dialog.data())->setInputText(current);
    QSignalSpy input(dialog.data(), SIGNAL(sigMessageboxInput(QString)));
    dialog->show();
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    QLineEdit *line = edit(dialog, QStringLiteral("lineEditInput"));
    QCOMPARE(line->text(), current);
    QTRY_VERIFY(line->hasFocus());
    QTest::keyClicks(line, typed);
    QTest::mouseClick(button(dialog, QDialogButtonBox::StandardButton(press)), Qt::LeftButton);

    QStringList got;
    for (const QList<QVariant> &args : qAsConst(input))
        got << args.first().toString();
    QCOMPARE(got, emitted);
    QTRY_VERIFY(dialog.isNull()); // closed and gone either way
}

void TestContactDialogs::labelDialog_data()
{
    // Each row edits some of the three labels (empty cell: left alone) and presses a button.
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<int>("press");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<int>("changes");

    const QStringList defaults{QStringLiteral("Number1"), QStringLiteral("Number2"),
                               QStringLiteral("Number3")};
    QTest::newRow("rename the second, Save")
        << defaults << QStringList{QString(), QStringLiteral("Work"), QString()}
        << int(QDialogButtonBox::Ok)
        << QStringList{QStringLiteral("Number1"), QStringLiteral("Work"), QStringLiteral("Number3")}
        << 1;
    QTest::newRow("rename all, Cancel")
        << defaults << QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}
        << int(QDialogButtonBox::Cancel) << defaults << 0;
    QTest::newRow("back to the default, Save")
        << QStringList{QStringLiteral("Office"), QStringLiteral("Work"), QStringLiteral("Home")}
        << QStringList{QString(), QStringLiteral("Number2"), QString()} << int(QDialogButtonBox::Ok)
        << QStringList{QStringLiteral("Office"), QStringLiteral("Number2"), QStringLiteral("Home")}
        << 1;
    // An emptied label would drop every contact's own label from the saved files.
    QTest::newRow("emptied label falls back to its default")
        << QStringList{QStringLiteral("Office"), QStringLiteral("Work"), QStringLiteral("Home")}
        << QStringList{QStringLiteral(" "), QString(), QString()} << int(QDialogButtonBox::Ok)
        << QStringList{QStringLiteral("Number1"), QStringLiteral("Work"), QStringLiteral("Home")}
        << 1;
    QTest::newRow("Save without changes leaves the phonebook unchanged")
        << defaults << QStringList{QString(), QString(), QString()} << int(QDialogButtonBox::Ok)
        << defaults << 0;
}

void TestContactDialogs::labelDialog()
{
    FreshState fresh;
    QFETCH(QStringList, before);
    QFETCH(QStringList, typed);
    QFETCH(int, press);
    QFETCH(QStringList, after);
    QFETCH(int, changes);
    setLabels(before.at(0), before.at(1), before.at(2));

    QPointer<MessageboxDialogContactSetting> dialog = new MessageboxDialogContactSetting();
    QSignalSpy changed(dialog.data(), &MessageboxDialogContactSetting::sigContactSettingChanged);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowActive(dialog));

    const QStringList names{QStringLiteral("OfficeNumber"), QStringLiteral("MobileNumber"),
                            QStringLiteral("OtherNumber")};
    for (int i = 0; i < 3; ++i) {
        auto *label = dialog->findChild<QLabel *>(QStringLiteral("label") + names.at(i));
        QLineEdit *line = edit(dialog, QStringLiteral("lineEdit") + names.at(i));
        QVERIFY(label->isVisible());
        QVERIFY(!line->isVisible());
        QCOMPARE(line->text(), before.at(i));
        if (typed.at(i).isNull())
            continue;
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("btn") + names.at(i)),
                          Qt::LeftButton);
        QVERIFY(line->isVisible());
        QVERIFY(!label->isVisible());
        QTRY_VERIFY(line->hasFocus());
        line->selectAll();
        QTest::keyClicks(line, typed.at(i));
    }
    // The screen still shows the Cancel button's blue frame: an edit shown over the card must
    // not wipe the widgets it does not cover.
    QPushButton *cancel = button(dialog, QDialogButtonBox::Cancel);
    QTRY_VERIFY(bluePixels(dialog->screen()->grabWindow(dialog->winId()).toImage(),
                           cancel->geometry().translated(cancel->parentWidget()->pos())) > 100);
    QTest::mouseClick(button(dialog, QDialogButtonBox::StandardButton(press)), Qt::LeftButton);

    QCOMPARE(storedLabels(), after);
    QCOMPARE(changed.count(), changes);
    QCOMPARE(RemoteDirectory::instance().isChanged(), changes > 0);
    QTRY_VERIFY(dialog.isNull());
}

void TestContactDialogs::buttonsKeepTheirLookUnderAStyledWindow_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("custom label") << int(LabelInput);
    QTest::newRow("avatar link") << int(PhotoInput);
    QTest::newRow("number labels") << int(NumberLabels);
}

void TestContactDialogs::buttonsKeepTheirLookUnderAStyledWindow()
{
    FreshState fresh;
    QFETCH(int, kind);
    // The main window styles itself; its dialogs' buttons must still get their own looks.
    QWidget window;
    window.setObjectName(QStringLiteral("window"));
    window.setStyleSheet(QStringLiteral("#window { background: #F2F4F7; }"));
    window.show();
    QPointer<QDialog> dialog = makeDialog(kind, &window);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    for (auto which : {QDialogButtonBox::Ok, QDialogButtonBox::Cancel}) {
        QPushButton *pushButton = button(dialog, which);
        QCOMPARE(pushButton->size(), QSize(80 + 16, 38)); // with its right margin
        QCOMPARE(pushButton->font().pixelSize(), 16);
    }
    delete dialog;
}

QTEST_MAIN(TestContactDialogs)
#include "tst_contactdialogs.moc"
