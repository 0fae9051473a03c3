// The application style: marker text is translated when painted (so a language switch shows on
// the next repaint), single-line text that does not fit is cut with "...", menu and combo-box
// entries are translated, other views are left alone, check boxes never show a focus frame.

#include "cucstyle.h"
#include "langtranslater.h"
#include "testfiles.h"
#include "testworkdir.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPair>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QStyledItemDelegate>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

namespace {

using Entries = QList<QPair<QString, QString>>;

QString writeLanguage(const TestWorkDir &work, const QString &fileName, const Entries &entries)
{
    const QString folder = work.mkpath(QStringLiteral("app/language"));
    QByteArray lines;
    for (const auto &entry : entries)
        lines += QStringLiteral("\"%1\" = \"%2\"\n").arg(entry.first, entry.second).toUtf8();
    const QString path = folder + QLatin1Char('/') + fileName;
    return writeFile(path, lines) ? path : QString();
}

QImage shot(QWidget *widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

// Rightmost column holding a pixel that differs from the top-left (background) pixel; -1 if none.
int rightmostInk(const QImage &image)
{
    const QRgb background = image.pixel(0, 0);
    for (int x = image.width() - 1; x >= 0; --x) {
        for (int y = 0; y < image.height(); ++y) {
            if (image.pixel(x, y) != background)
                return x;
        }
    }
    return -1;
}

// A lone surrogate does not survive the trip through UTF-8.
bool hasLoneSurrogate(const QString &text)
{
    return QString::fromUtf8(text.toUtf8()) != text;
}

enum WidgetKind
{
    Label,
    PushButton,
    CheckBox,
    RadioButton,
    ComboBox
};

std::unique_ptr<QWidget> makeWidget(int kind, const QString &text)
{
    std::unique_ptr<QWidget> widget;
    if (kind == Label)
        widget = std::make_unique<QLabel>(text);
    else if (kind == PushButton)
        widget = std::make_unique<QPushButton>(text);
    else if (kind == CheckBox)
        widget = std::make_unique<QCheckBox>(text);
    else if (kind == RadioButton)
        widget = std::make_unique<QRadioButton>(text);
    else
        widget = std::make_unique<QComboBox>();
    if (auto *combo = qobject_cast<QComboBox *>(widget.get()))
        combo->addItem(text);
    widget->setFixedSize(220, 32);
    return widget;
}

} // namespace

class TestStyle : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void cjkFontInstalled();
    void elideText_data();
    void elideText();
    void elideKeepsSurrogatePairsWhole();
    void markerResolvedWhenPainted_data();
    void markerResolvedWhenPainted();
    void paintedTextElided_data();
    void paintedTextElided();
    void menuAndComboEntriesTranslated_data();
    void menuAndComboEntriesTranslated();
    void otherViewsDrawnUnchanged();
    void checkBoxHasNoFocusFrame();

private:
    QProxyStyle plainStyle; // the same platform style without translation or eliding
};

void TestStyle::initTestCase()
{
    QApplication::setStyle(new CUCStyle); // the application owns it
}

void TestStyle::cleanup()
{
    Langtranslater::setLanguage(QString()); // back to no translation
}

void TestStyle::cjkFontInstalled()
{
    // Without a CJK font both glyphs render as the same empty box and the Chinese rows prove
    // nothing.
    QLabel first(QStringLiteral("你"));
    QLabel second(QStringLiteral("好"));
    first.setFixedSize(40, 30);
    second.setFixedSize(40, 30);
    QVERIFY2(shot(&first) != shot(&second), "no CJK font: install fonts-wqy-microhei");
}

void TestStyle::elideText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("available");
    QTest::addColumn<bool>("cut");

    const QFontMetrics fm(QApplication::font());
    const QString sentence = QStringLiteral("The quick brown fox jumps over the lazy dog");
    const int full = fm.horizontalAdvance(sentence);
    const int dots = fm.horizontalAdvance(QStringLiteral("..."));

    QTest::addRow("empty text") << QString() << 0 << false;
    QTest::addRow("wider than needed") << sentence << full + 50 << false;
    QTest::addRow("exactly fits") << sentence << full << false;
    QTest::addRow("three pixels of slack") << sentence << full - 3 << false;
    QTest::addRow("one pixel beyond the slack") << sentence << full - 4 << true;
    QTest::addRow("half the width") << sentence << full / 2 << true;
    QTest::addRow("room for dots and one letter")
        << sentence << dots + fm.horizontalAdvance(QLatin1Char('T')) + 1 << true;
    QTest::addRow("no room for the dots") << sentence << dots << false;
    QTest::addRow("negative room") << sentence << -10 << false;
    QTest::addRow("single wide character") << QStringLiteral("W") << 0 << false;
    QTest::addRow("Chinese") << QStringLiteral("是否保存对当前电话簿所做的更改")
                             << fm.horizontalAdvance(QStringLiteral("是否保存对当前")) << true;
}

void TestStyle::elideText()
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
    const int next = kept.size() + 1;
    if (next < text.size())
        QVERIFY2(fm.horizontalAdvance(text.left(next)) >= room, qPrintable(text.left(next)));
    QVERIFY(fm.horizontalAdvance(result) <= available);
}

void TestStyle::elideKeepsSurrogatePairsWhole()
{
    QString text;
    for (int i = 0; i < 8; ++i)
        text += QString::fromUcs4(U"a\U0001F600\U00020000");
    const QFontMetrics fm(QApplication::font());
    const int full = fm.horizontalAdvance(text);
    int cuts = 0;
    for (int available = 0; available < full; ++available) {
        const QString result = CUCStyle::elideText(text, fm, available);
        QVERIFY2(!hasLoneSurrogate(result), qPrintable(QString::number(available)));
        cuts += result != text;
    }
    QVERIFY(cuts > 0);
}

void TestStyle::markerResolvedWhenPainted_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("translation");
    QTest::addColumn<QString>("nextTranslation");

    const QString de = QStringLiteral("Speichern");
    const QString fr = QStringLiteral("Enregistrer");
    QTest::addRow("label") << int(Label) << de << fr;
    QTest::addRow("push button") << int(PushButton) << de << fr;
    QTest::addRow("check box") << int(CheckBox) << de << fr;
    QTest::addRow("radio button") << int(RadioButton) << de << fr;
    QTest::addRow("combo box current text") << int(ComboBox) << de << fr;
    QTest::addRow("label in Chinese")
        << int(Label) << QStringLiteral("保存") << QStringLiteral("保存文件");
}

void TestStyle::markerResolvedWhenPainted()
{
    QFETCH(int, kind);
    QFETCH(QString, translation);
    QFETCH(QString, nextTranslation);

    TestWorkDir work;
    const QString first = writeLanguage(work, QStringLiteral("2.GUI.First.lang"),
                                        {{QStringLiteral("Save"), translation}});
    const QString second = writeLanguage(work, QStringLiteral("3.GUI.Second.lang"),
                                         {{QStringLiteral("Save"), nextTranslation}});

    const auto marked = makeWidget(kind, Langtranslater::mark(QStringLiteral("Save")));
    const auto firstReference = makeWidget(kind, translation);
    const auto secondReference = makeWidget(kind, nextTranslation);
    const auto untranslated = makeWidget(kind, QStringLiteral("Save"));

    QCOMPARE(shot(marked.get()), shot(untranslated.get()));

    Langtranslater::setLanguage(first);
    QCOMPARE(shot(marked.get()), shot(firstReference.get()));

    // The widget's text is not touched: the next paint shows the new language.
    Langtranslater::setLanguage(second);
    const QImage afterSwitch = shot(marked.get());
    QCOMPARE(afterSwitch, shot(secondReference.get()));
    QVERIFY(afterSwitch != shot(firstReference.get()));
}

void TestStyle::paintedTextElided_data()
{
    QTest::addColumn<bool>("wordWrap");
    QTest::addRow("single line") << false;
    QTest::addRow("word wrap") << true;
}

void TestStyle::paintedTextElided()
{
    QFETCH(bool, wordWrap);

    QLabel label;
    label.setFixedSize(200, 60);
    label.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label.setWordWrap(wordWrap);
    const QFontMetrics fm(label.font());
    QString text;
    while (fm.horizontalAdvance(text) < 300)
        text += QStringLiteral("Contact list ");
    text = text.trimmed();
    label.setText(text);

    // The same label under the plain platform style.
    QLabel reference(text);
    reference.setStyle(&plainStyle);
    reference.setFixedSize(label.size());
    reference.setAlignment(label.alignment());
    reference.setWordWrap(wordWrap);

    const QImage painted = shot(&label);
    if (wordWrap) {
        QCOMPARE(painted, shot(&reference));
        return;
    }
    const QString expected = CUCStyle::elideText(text, fm, 200 - 3);
    QVERIFY(expected.endsWith(QStringLiteral("...")));
    QVERIFY(fm.horizontalAdvance(expected) <= 197);
    reference.setText(expected);
    QCOMPARE(painted, shot(&reference));
    QVERIFY2(rightmostInk(painted) <= 197, qPrintable(QString::number(rightmostInk(painted))));
}

void TestStyle::menuAndComboEntriesTranslated_data()
{
    QTest::addColumn<QString>("view");
    QTest::addRow("menu") << QStringLiteral("menu");
    QTest::addRow("combo box popped up as a menu") << QStringLiteral("combo menu delegate");
    QTest::addRow("combo box popped up as a list") << QStringLiteral("combo list delegate");
}

void TestStyle::menuAndComboEntriesTranslated()
{
    QFETCH(QString, view);

    TestWorkDir work;
    Langtranslater::setLanguage(
        writeLanguage(work, QStringLiteral("2.GUI.German.lang"),
                      {{QStringLiteral("Save"), QStringLiteral("Speichern")},
                       {QStringLiteral("Delete"), QStringLiteral("Löschen")}}));

    // Paints the entries "Save" and "Delete", given as marker or as display text.
    const auto render = [&view](const QString &save, const QString &remove) {
        if (view == QLatin1String("menu")) {
            QMenu menu;
            menu.addAction(save);
            menu.addAction(remove);
            menu.setFixedSize(200, 80);
            return shot(&menu);
        }
        QComboBox combo;
        if (view == QLatin1String("combo list delegate"))
            combo.setItemDelegate(new QStyledItemDelegate(&combo)); // the combo box owns it
        combo.addItems({save, remove});
        combo.view()->setFixedSize(200, 80);
        return shot(combo.view());
    };

    const QImage marked = render(Langtranslater::mark(QStringLiteral("Save")),
                                 Langtranslater::mark(QStringLiteral("Delete")));
    QCOMPARE(marked, render(QStringLiteral("Speichern"), QStringLiteral("Löschen")));
    QVERIFY(marked != render(QStringLiteral("Save"), QStringLiteral("Delete")));
}

void TestStyle::otherViewsDrawnUnchanged()
{
    TestWorkDir work;
    Langtranslater::setLanguage(
        writeLanguage(work, QStringLiteral("2.GUI.German.lang"),
                      {{QStringLiteral("Save"), QStringLiteral("Speichern")}}));

    const QString marker = Langtranslater::mark(QStringLiteral("Save"));
    QListWidget styled;
    styled.addItem(marker);
    styled.setFixedSize(200, 60);
    QListWidget plain;
    plain.setStyle(&plainStyle);
    plain.addItem(marker);
    plain.setFixedSize(200, 60);
    QListWidget translated;
    translated.addItem(QStringLiteral("Speichern"));
    translated.setFixedSize(200, 60);

    const QImage painted = shot(&styled);
    QCOMPARE(painted, shot(&plain));
    QVERIFY(painted != shot(&translated));
}

void TestStyle::checkBoxHasNoFocusFrame()
{
    // Keyboard focus (Tab) is what makes the platform style draw its focus frame.
    const auto focusedAndNot = [](QStyle *style, QImage *unfocused, QImage *focused,
                                  QRect *indicator) {
        QWidget window;
        auto *layout = new QVBoxLayout(&window); // the window owns it
        auto *edit = new QLineEdit(&window);
        auto *box = new QCheckBox(QStringLiteral("Remember the folder"), &window);
        if (style)
            box->setStyle(style);
        layout->addWidget(edit);
        layout->addWidget(box);
        window.show();
        if (!QTest::qWaitForWindowActive(&window))
            return false;
        edit->setFocus();
        if (!QTest::qWaitFor([edit] { return edit->hasFocus(); }))
            return false;
        *unfocused = shot(box);
        QTest::keyClick(edit, Qt::Key_Tab);
        if (!QTest::qWaitFor([box] { return box->hasFocus(); }))
            return false;
        *focused = shot(box);
        QStyleOptionButton option;
        option.initFrom(box);
        *indicator = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
        return true;
    };
    // The indicator itself may glow while focused; the frame would be around the label.
    const auto outsideIndicator = [](QImage image, const QRect &indicator) {
        QPainter painter(&image);
        painter.fillRect(indicator.adjusted(-1, -1, 1, 1), Qt::magenta);
        painter.end();
        return image;
    };

    QImage unfocused, focused;
    QRect indicator;
    QVERIFY(focusedAndNot(&plainStyle, &unfocused, &focused, &indicator));
    QVERIFY2(outsideIndicator(unfocused, indicator) != outsideIndicator(focused, indicator),
             "the platform style draws no focus frame here, so this test could not fail");

    QVERIFY(focusedAndNot(nullptr, &unfocused, &focused, &indicator));
    QCOMPARE(outsideIndicator(focused, indicator), outsideIndicator(unfocused, indicator));
}

QTEST_MAIN(TestStyle)
#include "tst_style.moc"
