// The application style: marker text is translated when painted (so a language switch shows on
// the next repaint), single-line text that does not fit is cut with "...", menu and combo-box
// entries are translated, other views are left alone, check boxes never show a focus frame.

#include "freshstate.h"
#include "shell/cucstyle.h"
#include "shell/langtranslater.h"
#include "testfiles.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStyledItemDelegate>
#include <QTest>

#include <memory>

namespace {

// Writes a language file of "key" = "value" lines and returns its path.
QString writeLanguage(const FreshState &state, const QString &name, const QByteArray &lines)
{
    const QString path = state.filePath(QStringLiteral("app/language/") + name);
    return writeFile(path, lines) ? path : QString();
}

QImage shot(QWidget *widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

enum WidgetKind
{
    Label,
    WrappedLabel,
    PushButton,
    ComboBox,
    Menu,
    ComboMenu, // a combo box's pop-up list drawn as a menu
    ComboList, // ... and as a plain list
    List
};

// A 220 x 32 widget of the kind showing text, under style when one is given.
std::unique_ptr<QWidget> makeWidget(int kind, const QString &text, QStyle *style = nullptr)
{
    std::unique_ptr<QWidget> widget;
    if (kind == PushButton) {
        widget = std::make_unique<QPushButton>(text);
    } else if (kind == Menu) {
        auto menu = std::make_unique<QMenu>();
        menu->addAction(text);
        widget = std::move(menu);
    } else if (kind == List) {
        auto list = std::make_unique<QListWidget>();
        list->addItem(text);
        widget = std::move(list);
    } else if (kind == ComboBox || kind == ComboMenu || kind == ComboList) {
        auto combo = std::make_unique<QComboBox>();
        if (kind == ComboList)
            combo->setItemDelegate(new QStyledItemDelegate(combo.get())); // the combo box owns it
        combo->addItem(text);
        combo->view()->setFixedSize(220, 32);
        widget = std::move(combo);
    } else {
        auto label = std::make_unique<QLabel>(text);
        label->setWordWrap(kind == WrappedLabel);
        widget = std::move(label);
    }
    if (style)
        widget->setStyle(style);
    widget->setFixedSize(220, 32);
    return widget;
}

// What the widget of the kind paints; of a combo box's pop-up list for those kinds.
QImage shot(int kind, QWidget *widget)
{
    if (kind == ComboMenu || kind == ComboList)
        widget = static_cast<QComboBox *>(widget)->view();
    return shot(widget);
}

} // namespace

class TestStyle : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QApplication::setStyle(new CUCStyle); // the application owns it
        // Without a CJK font Chinese glyphs all render as the same box and the Chinese rows prove
        // nothing.
        QLabel first(QStringLiteral("你")), second(QStringLiteral("好"));
        first.setFixedSize(40, 30);
        second.setFixedSize(40, 30);
        QVERIFY2(shot(&first) != shot(&second), "no CJK font: install fonts-wqy-microhei");
    }

    void elideText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("available");
        QTest::addColumn<bool>("cut");

        const QFontMetrics fm(QApplication::font());
        const QString sentence = QStringLiteral("The quick brown fox jumps over the lazy dog");
        const int full = fm.horizontalAdvance(sentence);
        const int dots = fm.horizontalAdvance(QStringLiteral("..."));
        QTest::addRow("three pixels of slack") << sentence << full - 3 << false;
        QTest::addRow("one pixel beyond the slack") << sentence << full - 4 << true;
        QTest::addRow("room for dots and one letter")
            << sentence << dots + fm.horizontalAdvance(QLatin1Char('T')) + 1 << true;
        QTest::addRow("no room for the dots") << sentence << dots << false;
        QTest::addRow("negative room") << sentence << -10 << false;
        QTest::addRow("Chinese") << QStringLiteral("是否保存对当前电话簿所做的更改")
                                 << fm.horizontalAdvance(QStringLiteral("是否保存对当前")) << true;
    }

    void elideText()
    {
        QFETCH(QString, text);
        QFETCH(int, available);
        QFETCH(bool, cut);

        const QFontMetrics fm(QApplication::font());
        const QString result = CUCStyle::elideText(text, fm, available);
        if (!cut) {
            QCOMPARE(result, text);
            return;
        }
        QVERIFY2(result.endsWith(QStringLiteral("...")), qPrintable(result));
        const QString kept = result.chopped(3);
        QVERIFY(text.startsWith(kept));
        // The kept part is the longest prefix strictly narrower than the room left beside "...".
        const int room = available - fm.horizontalAdvance(QStringLiteral("..."));
        QVERIFY(fm.horizontalAdvance(kept) < room);
        QVERIFY(fm.horizontalAdvance(text.left(kept.size() + 1)) >= room);
        QVERIFY(fm.horizontalAdvance(result) <= available);
    }

    void elideKeepsSurrogatePairsWhole()
    {
        QString text;
        for (int i = 0; i < 8; ++i)
            text += QString::fromUcs4(U"a\U0001F600\U00020000");
        const QFontMetrics fm(QApplication::font());
        int cuts = 0;
        for (int available = 0; available < fm.horizontalAdvance(text); ++available) {
            const QString result = CUCStyle::elideText(text, fm, available);
            // A lone surrogate does not survive the trip through UTF-8.
            QVERIFY2(QString::fromUtf8(result.toUtf8()) == result,
                     qPrintable(QString::number(available)));
            cuts += result != text;
        }
        QVERIFY(cuts > 0);
    }

    // What the widgets paint, against the same widget under the plain style showing the text
    // expected: markers in the current language, resolved anew at every paint, and single-line
    // text cut to the room left. Menus and combo-box pop-ups translate their entries; other item
    // views are left alone, so a contact's text is shown as it is.
    void paintedText_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");     // in the first language; empty: cut to fit
        QTest::addColumn<QString>("shownNext"); // after a switch to the second

        const QString save = Langtranslater::mark(QStringLiteral("Save"));
        const QString de = QStringLiteral("Speichern");
        const QString fr = QStringLiteral("Enregistrer");
        QTest::addRow("push button") << int(PushButton) << save << de << fr;
        QTest::addRow("combo box current text") << int(ComboBox) << save << de << fr;
        QTest::addRow("label in Chinese")
            << int(Label) << Langtranslater::mark(QStringLiteral("Open")) << QStringLiteral("保存")
            << QStringLiteral("保存文件");
        QTest::addRow("menu") << int(Menu) << save << de << fr;
        QTest::addRow("combo box popped up as a menu") << int(ComboMenu) << save << de << fr;
        QTest::addRow("combo box popped up as a list") << int(ComboList) << save << de << fr;
        QTest::addRow("list view left alone") << int(List) << save << save << save;

        const QFontMetrics fm(QApplication::font());
        QString text;
        while (fm.horizontalAdvance(text) < 300)
            text += QStringLiteral("Contact list ");
        text = text.trimmed();
        QTest::addRow("long line cut") << int(Label) << text << QString() << QString();
        QTest::addRow("word wrap not cut") << int(WrappedLabel) << text << text << text;
    }

    void paintedText()
    {
        QFETCH(int, kind);
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QFETCH(QString, shownNext);
        FreshState state;
        Langtranslater::setLanguage(writeLanguage(state, QStringLiteral("2.GUI.First.lang"),
                                                  "\"Save\" = \"Speichern\"\n"
                                                  "\"Open\" = \"\xe4\xbf\x9d\xe5\xad\x98\"\n"));
        const auto widget = makeWidget(kind, text);
        if (shown.isEmpty()) { // cut to the room left beside the edge
            shown = shownNext = CUCStyle::elideText(text, widget->fontMetrics(), 220 - 3);
            QVERIFY(shown.endsWith(QStringLiteral("...")));
        }
        QCOMPARE(shot(kind, widget.get()), shot(kind, makeWidget(kind, shown, &plainStyle).get()));
        Langtranslater::setLanguage(writeLanguage(state, QStringLiteral("3.GUI.Second.lang"),
                                                  "\"Save\" = \"Enregistrer\"\n\"Open\" = \"" +
                                                      shownNext.toUtf8() + "\"\n"));
        QCOMPARE(shot(kind, widget.get()),
                 shot(kind, makeWidget(kind, shownNext, &plainStyle).get()));
    }

    void checkBoxHasNoFocusFrame()
    {
        // Keyboard focus is what makes the platform style draw its frame around the label; the
        // indicator itself may glow, so it is painted over.
        QCheckBox box(QStringLiteral("Remember the folder"));
        box.resize(200, 30);
        const auto paint = [&box](QStyle *style, bool focused) {
            QStyleOptionButton option;
            option.initFrom(&box);
            option.text = box.text();
            if (focused)
                option.state |= QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange;
            QImage image(box.size(), QImage::Format_ARGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            style->drawControl(QStyle::CE_CheckBox, &option, &painter, &box);
            painter.fillRect(style->subElementRect(QStyle::SE_CheckBoxIndicator, &option, &box)
                                 .adjusted(-1, -1, 1, 1),
                             Qt::magenta);
            return image;
        };
        QVERIFY2(paint(&plainStyle, true) != paint(&plainStyle, false),
                 "the platform style draws no focus frame here, so this test could not fail");
        QCOMPARE(paint(QApplication::style(), true), paint(QApplication::style(), false));
    }

private:
    QProxyStyle plainStyle; // the same platform style without translation or eliding
};

QTEST_MAIN(TestStyle)
#include "tst_style.moc"
