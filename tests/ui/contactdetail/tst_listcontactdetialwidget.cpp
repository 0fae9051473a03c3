// The contact detail editor through its real widgets: which rows a local or remote contact gets
// and how they are labelled, the account values, edit mode and commits (including an empty name
// and a contact that vanished meanwhile), and custom-labelled rows.

#include "data/localdirectory.h"
#include "data/remotedirectory.h"
#include "dialogs/tipwidget.h"
#include "menuandtoast.h"
#include "shell/cucstyle.h"
#include "shell/langtranslater.h"
#include "testfiles.h"
#include "ui/contactdetail/listcontactdetailitembase.h"
#include "ui/contactdetail/listcontactdetialwidget.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <memory>

Q_DECLARE_METATYPE(QList<int>)

namespace {
using Row = ListContactDetailItemBase;

QString languageFile(const char *name)
{
    return QStringLiteral(QCD_SOURCE_DIR "/app/language/") + QString::fromLatin1(name);
}

// What a child label of a row shows on screen (marker text resolved).
QString shown(const QWidget *row, const char *label)
{
    const auto *child = row->findChild<QLabel *>(QString::fromLatin1(label));
    return child ? Langtranslater::resolve(child->text()) : QStringLiteral("<none>");
}

LocalContact *addLocal(int groupId, const QString &name)
{
    LocalContact *contact = nullptr;
    LocalDirectory::instance().addContact(groupId, &contact);
    contact->display_name = name;
    return contact;
}

// Stand-ins for the contact dialogs (tested on their own): each prompt records the text it
// was opened with and, from a modal dialog as the real ones do, answers with the next queued
// text; none left: the user cancelled.
struct Prompts
{
    QStringList answers;
    QStringList opened;
    ContactDetailPrompts install()
    {
        const auto answer = [this](QWidget *parent, const QString &current,
                                   const ContactDetailPrompts::OnInput &onInput) {
            opened << current;
            QDialog dialog(parent);
            QTimer::singleShot(0, &dialog, [&] {
                if (!answers.isEmpty())
                    onInput(answers.takeFirst());
                dialog.accept();
            });
            dialog.exec();
        };
        return {answer, answer};
    }
};

RemoteContact *addRemote(const QStringList &numberLabels, const QStringList &extraLabels)
{
    RemoteContact *contact = nullptr;
    RemoteDirectory::instance().addContact(1, &contact);
    contact->numbers.clear();
    for (const QString &label : numberLabels)
        contact->numbers.append({QStringLiteral("100"), label});
    for (const QString &label : extraLabels)
        contact->extras.append({QStringLiteral("x"), label});
    return contact;
}
} // namespace

class TestListContactDetialWidget : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QApplication::setStyle(new CUCStyle); // the application owns it
        Langtranslater::setLanguage(languageFile("1.GUI.English.lang"));
    }

    void init()
    {
        LocalDirectory::instance().initDefaultGroup();
        RemoteDirectory::instance().initDefaultGroup();
        RemoteDirectory::instance().setNumberLabels(
            QStringLiteral("Number1"), QStringLiteral("Number2"), QStringLiteral("Number3"));
        host = std::make_unique<QWidget>();
        host->resize(608, 598);
        list = new QListWidget(host.get());
        list->setGeometry(100, 55, 491, 531);
        button = new QPushButton(host.get());
        button->setGeometry(480, 10, 110, 38);
        TipWidget::create(host.get());
        editor = new ListContactDetialWidget(host.get());
        editor->bindWidgets(list, button);
        prompts = Prompts();
        editor->setPrompts(prompts.install());
        host->show();
        QVERIFY(QTest::qWaitForWindowExposed(host.get()));
    }

    void cleanup() { host.reset(); }

    void localRows_data()
    {
        QTest::addColumn<int>("viewGroup");
        QTest::addColumn<bool>("namedGroup");
        QTest::addColumn<QList<int>>("types");
        QTest::addColumn<QString>("groupShown");
        const QList<int> fixed{Row::NameRow,        Row::OfficeNumberRow, Row::MobileNumberRow,
                               Row::OtherNumberRow, Row::AutoDivertRow,   Row::AccountRow};
        QTest::addRow("named group seen from All Contacts")
            << 0 << true << (fixed + QList<int>{Row::GroupRow}) << "Friends";
        QTest::addRow("no named group, from All Contacts")
            << 0 << false << (fixed + QList<int>{Row::GroupRow}) << "All Contacts";
        QTest::addRow("seen from its own group") << 2 << true << fixed << QString();
    }
    void localRows()
    {
        QFETCH(int, viewGroup);
        QFETCH(bool, namedGroup);
        QFETCH(QList<int>, types);
        QFETCH(QString, groupShown);
        LocalDirectory &store = LocalDirectory::instance();
        store.renameGroup(store.addGroup()->id, QStringLiteral("Friends"));
        LocalContact *contact = addLocal(namedGroup ? 2 : 0, QStringLiteral("Ann"));
        contact->office_number = QStringLiteral("101");
        contact->auto_divert = QStringLiteral("555");

        editor->showContact(1, contact->id, viewGroup, false);
        QCOMPARE(rowTypes(), types);
        QVERIFY(button->isVisible());
        QCOMPARE(shown(rowAt(1), "labelAttribtute"), QStringLiteral("Office Number"));
        QCOMPARE(shown(rowAt(1), "labelName"), QStringLiteral("101"));
        QCOMPARE(shown(rowAt(4), "labelName"), QStringLiteral("555"));
        QVERIFY(!rowAt(0)->findChild<QPushButton *>(QStringLiteral("btnImage"))->isEnabled());
        if (!groupShown.isEmpty())
            QCOMPARE(shown(rowAt(6), "labelName"), groupShown);

        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(editor->isEditing());
        for (int i = 1; i < list->count(); ++i) { // only the group row stays as text
            const auto *edit = rowAt(i)->findChild<QWidget *>(
                i == 5 ? QStringLiteral("comboBox") : QStringLiteral("lineEditNumber"));
            QCOMPARE(edit->isVisible(), rowAt(i)->type() != Row::GroupRow);
        }
    }

    void account_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shownText");
        QTest::addColumn<int>("pick"); // -1: leave the combo box alone
        QTest::addColumn<QString>("committed");
        QTest::addRow("Auto is -1") << QStringLiteral("-1") << "Auto" << 16 << "15";
        QTest::addRow("first line is 0") << QStringLiteral("0") << "Line 1" << 0 << "-1";
        QTest::addRow("sixteenth line is 15") << QStringLiteral("15") << "Line 16" << 1 << "0";
        QTest::addRow("unknown value kept") << QStringLiteral("16") << "" << -1 << "16";
        QTest::addRow("malformed value kept") << QStringLiteral("x") << "" << -1 << "x";
    }
    void account()
    {
        QFETCH(QString, stored);
        QFETCH(QString, shownText);
        QFETCH(int, pick);
        QFETCH(QString, committed);
        LocalContact *contact = addLocal(0, QStringLiteral("Ann"));
        contact->line = stored;
        editor->showContact(1, contact->id, 2, false);
        QCOMPARE(shown(rowAt(5), "labelName"), shownText);

        QTest::mouseClick(button, Qt::LeftButton);
        auto *combo = rowAt(5)->findChild<QComboBox *>();
        QCOMPARE(combo->count(), 17);
        if (pick >= 0)
            combo->setCurrentIndex(pick);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(contact->line, committed);
        QVERIFY(!editor->isEditing());
    }

    void remoteLabels_data()
    {
        QTest::addColumn<QStringList>("numberLabels");
        QTest::addColumn<QStringList>("ownLabels");
        QTest::addColumn<QStringList>("extraLabels");
        QTest::addColumn<QStringList>("expected");
        const QStringList defaults = texts({"Number1", "Number2", "Number3"});
        QTest::addRow("first entry's own label")
            << defaults << texts({"Work", "", ""}) << texts({""})
            << texts({"Work", "Number1", "Number2", "Extra1"});
        QTest::addRow("customised label 1 wins")
            << texts({"Desk", "Number2", "Number3"}) << texts({"Work", "", ""}) << texts({})
            << texts({"Desk", "Number1", "Number2"});
        QTest::addRow("counters advance only on fallback")
            << defaults << texts({"", "", "Home"}) << texts({"", "Fax", ""})
            << texts({"Number1", "Number2", "Home", "Extra1", "Fax", "Extra2"});
    }
    void remoteLabels()
    {
        QFETCH(QStringList, numberLabels);
        QFETCH(QStringList, ownLabels);
        QFETCH(QStringList, extraLabels);
        QFETCH(QStringList, expected);
        RemoteDirectory::instance().setNumberLabels(numberLabels[0], numberLabels[1],
                                                    numberLabels[2]);
        const RemoteContact *contact = addRemote(ownLabels, extraLabels);
        editor->showContact(2, contact->id, 1, false);
        QStringList labels;
        for (int i = 1; i < list->count(); ++i)
            labels << shown(rowAt(i), "labelAttribtute");
        QCOMPARE(labels, expected);
    }

    void commitLocalEdits()
    {
        LocalContact *contact = addLocal(0, QStringLiteral("Ann"));
        contact->ring = QStringLiteral("Ring3");
        const QSignalSpy success(editor, &ListContactDetialWidget::sigEditContactSuccess);
        editor->showContact(1, contact->id, 0, true); // a new contact opens for editing
        auto *name = rowAt(0)->findChild<QLineEdit *>();
        QTRY_COMPARE(host->focusWidget(), name);
        QCOMPARE(name->selectedText(), QStringLiteral("Ann"));
        QTest::keyClicks(name, QStringLiteral("Bob"));
        QTest::keyClicks(rowAt(1)->findChild<QLineEdit *>(), QStringLiteral("12a+3-x 4"));

        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(success.count(), 1);
        QCOMPARE(success.at(0).at(0).toInt(), contact->id);
        QCOMPARE(contact->display_name, QStringLiteral("Bob"));
        QCOMPARE(contact->office_number, QStringLiteral("12+3-4"));
        QCOMPARE(contact->ring, QStringLiteral("Ring3"));
        QCOMPARE(shown(rowAt(0), "labelName"), QStringLiteral("Bob")); // back in view mode
        QCOMPARE(button->text(), QStringLiteral("Edit"));
    }

    void failedCommit_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("deleteFirst");
        QTest::addColumn<QString>("toast");
        QTest::addRow("local empty name") << 1 << false << "Name cannot be empty!";
        QTest::addRow("remote empty name") << 2 << false << "Name cannot be empty!";
        QTest::addRow("local contact gone") << 1 << true << "The contact no longer exists!";
        QTest::addRow("remote contact gone") << 2 << true << "The contact no longer exists!";
    }
    void failedCommit()
    {
        QFETCH(int, kind);
        QFETCH(bool, deleteFirst);
        QFETCH(QString, toast);
        const int id =
            kind == 1 ? addLocal(0, QStringLiteral("Ann"))->id : addRemote(texts({"", ""}), {})->id;
        const QSignalSpy success(editor, &ListContactDetialWidget::sigEditContactSuccess);
        editor->showContact(kind, id, kind == 1 ? 0 : 1, false);
        QTest::mouseClick(button, Qt::LeftButton);
        QTest::keyClicks(rowAt(1)->findChild<QLineEdit *>(), QStringLiteral("77"));
        if (deleteFirst && kind == 1)
            LocalDirectory::instance().deleteContact(0, id);
        else if (deleteFirst)
            RemoteDirectory::instance().deleteContact(1, id);
        else
            rowAt(0)->findChild<QLineEdit *>()->clear();

        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(success.count(), 0);
        QCOMPARE(toastWithKind(), QStringLiteral("warn: ") + toast);
        QCOMPARE(editor->isEditing(), !deleteFirst);
        QCOMPARE(button->isVisible(), !deleteFirst);
        if (deleteFirst) {
            QCOMPARE(list->count(), 0);
        } else { // the edits stay for another try, and nothing was stored
            QCOMPARE(rowAt(1)->valueText(),
                     kind == 1 ? QStringLiteral("77") : QStringLiteral("10077"));
            QCOMPARE(kind == 1 ? LocalDirectory::instance().findContact(id)->display_name
                               : RemoteDirectory::instance().findContact(id)->name,
                     QString::fromLatin1(kind == 1 ? "Ann" : "Name"));
        }
    }

    // Row removals, added labels and the avatar link reach the store only through a commit;
    // numbered stand-in labels never do.
    void remoteEdits()
    {
        RemoteContact *contact = addRemote(texts({"", ""}), texts({"Fax", "", "Home"}));
        contact->customPhoto = QStringLiteral("http://host/a.png");
        const RemoteContact before = *contact;
        editor->showContact(2, contact->id, 1, false);
        QTest::mouseClick(button, Qt::LeftButton);
        QTest::mouseClick(deleteButton(3), Qt::LeftButton);
        QCOMPARE(rowTypes(), (QList<int>{0, 8, 8, 9, 9, -2})); // "Fax" went
        editor->showContact(2, addRemote(texts({""}), {})->id, 1, false);
        QCOMPARE(contact->extras, before.extras);

        editor->showContact(2, contact->id, 1, false);
        QTest::mouseClick(button, Qt::LeftButton);
        QTest::mouseClick(deleteButton(5), Qt::LeftButton);
        QTest::keyClicks(rowAt(4)->findChild<QLineEdit *>(), QStringLiteral(" ext 9"));
        prompts.answers = texts({"http://host/b.png", "Pager"});
        QTest::mouseClick(rowAt(0)->findChild<QPushButton *>(QStringLiteral("btnImage")),
                          Qt::LeftButton);
        QWidget *add = list->itemWidget(list->item(5));
        // The view places new rows on its next layout pass.
        QTRY_COMPARE(add->geometry(), list->visualItemRect(list->item(5)));
        QTest::mouseClick(add, Qt::LeftButton, {}, QPoint(90, 40));
        QCOMPARE(prompts.opened.value(0), before.customPhoto); // the link shown for editing
        QCOMPARE(shown(rowAt(5), "labelAttribtute"), QStringLiteral("Pager"));
        auto *value = rowAt(5)->findChild<QLineEdit *>();
        QTRY_COMPARE(host->focusWidget(), value); // the window's focus, once it is active again
        QTest::keyClicks(value, QStringLiteral("ext 5a")); // custom rows take any text
        QCOMPARE(contact->customPhoto, before.customPhoto);

        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(contact->customPhoto, QStringLiteral("http://host/b.png"));
        const QStringList stored = texts({"x", "Fax", "x ext 9", "", "ext 5a", "Pager"});
        QCOMPARE(contact->extras,
                 (QVector<LabeledValue>{
                     {stored[0], stored[1]}, {stored[2], stored[3]}, {stored[4], stored[5]}}));
        QCOMPARE(contact->numbers, before.numbers);
    }

    void noContact() // an empty group, then an id without a contact
    {
        editor->showContact(1, addLocal(0, QStringLiteral("Ann"))->id, 0, false);
        for (const int id : {-1, 999}) {
            editor->showContact(2, id, 0, true);
            QCOMPARE(list->count(), 0);
            QVERIFY(!button->isVisible());
            QVERIFY(!editor->isEditing());
        }
    }

private:
    ListContactDetailItemBase *rowAt(int row) const
    {
        return qobject_cast<ListContactDetailItemBase *>(list->itemWidget(list->item(row)));
    }
    QPushButton *deleteButton(int row) const
    {
        return rowAt(row)->findChild<QPushButton *>(QStringLiteral("btnDelete"));
    }
    QList<int> rowTypes() const
    {
        QList<int> types;
        for (int i = 0; i < list->count(); ++i)
            types << (rowAt(i) ? rowAt(i)->type() : -2);
        return types;
    }

    std::unique_ptr<QWidget> host;
    QListWidget *list = nullptr;               // owned by host
    QPushButton *button = nullptr;             // owned by host
    ListContactDetialWidget *editor = nullptr; // owned by host
    Prompts prompts;
};

QTEST_MAIN(TestListContactDetialWidget)
#include "tst_listcontactdetialwidget.moc"
