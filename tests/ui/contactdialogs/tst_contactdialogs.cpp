#include "data/remotedirectory.h"
#include "ui/contactdialogs/inputmessageboxdialog.h"
#include "ui/contactdialogs/messageboxdialogcontactsetting.h"
#include "ui/contactdialogs/messagedialoginputphoto.h"

#include "freshstate.h"
#include "testfiles.h"

#include <QDialogButtonBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

enum DialogKind
{
    LabelInput,
    PhotoInput,
    NumberLabels
};

QPushButton *button(QDialog *dialog, int which)
{
    auto *box = dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
    return box ? box->button(QDialogButtonBox::StandardButton(which)) : nullptr;
}

QDialog *makeDialog(int kind, QWidget *parent = nullptr)
{
    if (kind == LabelInput)
        return new InputMessageboxdialog(parent);
    if (kind == PhotoInput)
        return new MessageDialogInputPhoto(parent);
    return new MessageboxDialogContactSetting(parent);
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

const int Ok = QDialogButtonBox::Ok;
const int Cancel = QDialogButtonBox::Cancel;

} // namespace

class TestContactDialogs : public QObject
{
    Q_OBJECT
private slots:
    // Both input dialogs behave alike; each runs through the same rows.
    void inputDialogs_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("current"); // the avatar link the opener puts in
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("press");
        QTest::addColumn<QStringList>("emitted");
        const QString link = QStringLiteral("http://192.168.1.5/photo/anna.png");
        const QString fax = QStringLiteral("Fax");
        QTest::newRow("photo: Save keeps the current link")
            << int(PhotoInput) << link << QString() << Ok << QStringList{link};
        for (int kind : {int(LabelInput), int(PhotoInput)}) {
            const char *name = kind == LabelInput ? "label" : "photo";
            QTest::addRow("%s: Ok with text", name)
                << kind << QString() << fax << Ok << QStringList{fax};
            QTest::addRow("%s: Ok with nothing", name)
                << kind << QString() << QString() << Ok << QStringList();
            QTest::addRow("%s: Cancel with text", name)
                << kind << QString() << fax << Cancel << QStringList();
        }
    }
    void inputDialogs()
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
        auto *line = dialog->findChild<QLineEdit *>(QStringLiteral("lineEditInput"));
        QCOMPARE(line->text(), current);
        QTRY_VERIFY(line->hasFocus());
        QTest::keyClicks(line, typed);
        QTest::mouseClick(button(dialog, press), Qt::LeftButton);

        QStringList got;
        for (const QList<QVariant> &args : qAsConst(input))
            got << args.first().toString();
        QCOMPARE(got, emitted);
        QTRY_VERIFY(dialog.isNull()); // closed and gone either way
    }

    // Each row edits some of the three labels (empty cell: left alone) and presses a button.
    void labelDialog_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<int>("press");
        QTest::addColumn<QStringList>("after");
        const QStringList defaults = texts({"Number1", "Number2", "Number3"});
        const QStringList own = texts({"Office", "Work", "Home"});
        const QString keep; // null: the label is left alone
        QTest::newRow("rename the second, Save")
            << defaults << QStringList{keep, QStringLiteral("Work"), keep} << Ok
            << texts({"Number1", "Work", "Number3"});
        QTest::newRow("rename all, Cancel")
            << defaults << texts({"A", "B", "C"}) << Cancel << defaults;
        QTest::newRow("back to the default, Save")
            << own << QStringList{keep, QStringLiteral("Number2"), keep} << Ok
            << texts({"Office", "Number2", "Home"});
        // An emptied label would drop every contact's own label from the saved files.
        QTest::newRow("emptied label falls back to its default")
            << own << QStringList{QStringLiteral(" "), keep, keep} << Ok
            << texts({"Number1", "Work", "Home"});
        QTest::newRow("Save without changes leaves the phonebook unchanged")
            << defaults << QStringList{keep, keep, keep} << Ok << defaults;
    }
    void labelDialog()
    {
        FreshState fresh;
        QFETCH(QStringList, before);
        QFETCH(QStringList, typed);
        QFETCH(int, press);
        QFETCH(QStringList, after);
        RemoteDirectory::instance().setNumberLabels(before.at(0), before.at(1), before.at(2));
        RemoteDirectory::instance().resetToRoot(); // keeps the labels, clears the changed flag

        QPointer<MessageboxDialogContactSetting> dialog = new MessageboxDialogContactSetting();
        QSignalSpy changed(dialog.data(),
                           &MessageboxDialogContactSetting::sigContactSettingChanged);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        const QStringList names = texts({"OfficeNumber", "MobileNumber", "OtherNumber"});
        for (int i = 0; i < 3; ++i) {
            auto *label = dialog->findChild<QLabel *>(QStringLiteral("label") + names.at(i));
            auto *line = dialog->findChild<QLineEdit *>(QStringLiteral("lineEdit") + names.at(i));
            QVERIFY(label->isVisible() && !line->isVisible());
            QCOMPARE(line->text(), before.at(i));
            if (typed.at(i).isNull())
                continue;
            QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("btn") + names.at(i)),
                              Qt::LeftButton);
            QVERIFY(line->isVisible() && !label->isVisible());
            QTRY_VERIFY(line->hasFocus());
            line->selectAll();
            QTest::keyClicks(line, typed.at(i));
        }
        // The screen still shows the Cancel button's blue frame: an edit shown over the card must
        // not wipe the widgets it does not cover.
        QPushButton *cancel = button(dialog, Cancel);
        QTRY_VERIFY(bluePixels(dialog->screen()->grabWindow(dialog->winId()).toImage(),
                               cancel->geometry().translated(cancel->parentWidget()->pos())) > 100);
        QTest::mouseClick(button(dialog, press), Qt::LeftButton);

        QCOMPARE(storedLabels(), after);
        const int changes = after == before ? 0 : 1;
        QCOMPARE(changed.count(), changes);
        QCOMPARE(RemoteDirectory::instance().isChanged(), changes > 0);
        QTRY_VERIFY(dialog.isNull());
    }

    // The main window styles itself; its dialogs' buttons must still get their own looks.
    void buttonsKeepTheirLookUnderAStyledWindow()
    {
        FreshState fresh;
        QWidget window;
        window.setObjectName(QStringLiteral("window"));
        window.setStyleSheet(QStringLiteral("#window { background: #F2F4F7; }"));
        window.show();
        for (int kind : {int(LabelInput), int(PhotoInput), int(NumberLabels)}) {
            std::unique_ptr<QDialog> dialog(makeDialog(kind, &window));
            dialog->show();
            QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
            for (int which : {Ok, Cancel})
                QCOMPARE(button(dialog.get(), which)->size(), QSize(80 + 16, 38)); // with margin
        }
    }
};

QTEST_MAIN(TestContactDialogs)
#include "tst_contactdialogs.moc"
