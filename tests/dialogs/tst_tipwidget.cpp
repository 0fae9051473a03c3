// The toast: its width follows the text (clipped to the window), it is centred at a fixed height,
// its icon follows the kind, it hides two seconds after the last show, and calls before it
// exists or after its window went are harmless.

#include "cucstyle.h"
#include "qvthememan.h"
#include "tipwidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <memory>

namespace {

QLabel *textLabel(TipWidget *tip)
{
    return tip->findChild<QLabel *>(QStringLiteral("mainwidowTipLabel"));
}

QLabel *iconLabel(TipWidget *tip)
{
    return tip->findChild<QLabel *>(QStringLiteral("mainwidowTipIcon"));
}

QTimer *hideTimer(TipWidget *tip)
{
    return tip->findChild<QTimer *>();
}

} // namespace

class TestTipWidget : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void ignoredBeforeCreateAndAfterWindowGone();
    void widthAndPosition_data();
    void widthAndPosition();
    void iconFollowsKind();
    void emptyTextIgnored();
    void hidesTwoSecondsAfterLastShow();

private:
    std::unique_ptr<QWidget> window;
};

void TestTipWidget::initTestCase()
{
    QApplication::setStyle(new CUCStyle); // the application owns it
    qApp->setStyleSheet(qvThemeMan::loadStyleSheet(QStringLiteral(":/qss/"), false));
}

void TestTipWidget::init()
{
    window = std::make_unique<QWidget>();
    window->setFixedSize(1280, 720);
}

void TestTipWidget::cleanup()
{
    window.reset();
}

void TestTipWidget::ignoredBeforeCreateAndAfterWindowGone()
{
    QCOMPARE(TipWidget::current(), nullptr);
    TipWidget::showTip(QStringLiteral("Saved successfully!"), TipWidget::Success);
    QVERIFY(window->findChildren<TipWidget *>().isEmpty());

    TipWidget::create(window.get());
    window.reset();
    QCOMPARE(TipWidget::current(), nullptr);
    TipWidget::showTip(QStringLiteral("Saved successfully!"), TipWidget::Success); // no crash
}

void TestTipWidget::widthAndPosition_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("windowWidth");
    QTest::addColumn<bool>("clipped");
    QTest::addColumn<bool>("windowShownFirst");

    QString longText;
    while (longText.size() < 400)
        longText += QStringLiteral("The file could not be saved. ");
    QTest::addRow("short text") << QStringLiteral("Saved successfully!") << 1280 << false << true;
    QTest::addRow("Chinese text") << QStringLiteral("保存成功！") << 1280 << false << true;
    QTest::addRow("long text in a 1280 px window") << longText << 1280 << true << true;
    QTest::addRow("medium text in a narrow window")
        << QStringLiteral("The phonebook was imported successfully!") << 260 << true << true;
    QTest::addRow("shown before the window is")
        << QStringLiteral("Saved successfully!") << 1280 << false << false;
}

void TestTipWidget::widthAndPosition()
{
    QFETCH(QString, text);
    QFETCH(int, windowWidth);
    QFETCH(bool, clipped);
    QFETCH(bool, windowShownFirst);

    window->setFixedSize(windowWidth, 720);
    TipWidget *tip = TipWidget::create(window.get());
    if (windowShownFirst) {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    TipWidget::showTip(text, TipWidget::Success);
    if (!windowShownFirst) {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    QVERIFY(tip->isVisible());
    QCOMPARE(textLabel(tip)->text(), text);

    const int iconWidth = iconLabel(tip)->width();
    QCOMPARE(iconWidth, 22); // 20 px image after a 2 px margin
    QFont sheetFont = QApplication::font();
    sheetFont.setPixelSize(14);
    const int textWidth = QFontMetrics(sheetFont).horizontalAdvance(text);
    QCOMPARE(textLabel(tip)->fontMetrics().horizontalAdvance(text), textWidth);
    if (clipped) {
        QCOMPARE(tip->width(), windowWidth - 40 + iconWidth);
    } else {
        QCOMPARE(tip->width(), textWidth + 40 + iconWidth);
        // The box leaves the text its full width: nothing is cut.
        QVERIFY(textLabel(tip)->contentsRect().width() >= textWidth);
    }
    QCOMPARE(tip->height(), 82); // a 40 px box below a 40 px margin
    QCOMPARE(tip->x(), (windowWidth - tip->width()) / 2);
    QCOMPARE(window->children().last(), tip); // raised above its siblings

    // Shown again with another text: still centred, same height on the window.
    const int y = tip->y();
    TipWidget::showTip(QStringLiteral("OK"), TipWidget::Warning);
    QCOMPARE(tip->y(), y);
    QCOMPARE(tip->x(), (windowWidth - tip->width()) / 2);
}

void TestTipWidget::iconFollowsKind()
{
    TipWidget *tip = TipWidget::create(window.get());
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));

    const auto showKind = [tip](int kind) {
        TipWidget::showTip(QStringLiteral("Copy successfully!"), kind);
        return qMakePair(iconLabel(tip)->property("icontype").toString(),
                         iconLabel(tip)->grab().toImage());
    };
    const auto warn = showKind(TipWidget::Warning);
    const auto success = showKind(TipWidget::Success);
    const auto unknown = showKind(7);
    const auto fail = showKind(TipWidget::Failure);
    const auto negative = showKind(-1);

    QCOMPARE(warn.first, QStringLiteral("warn"));
    QCOMPARE(success.first, QStringLiteral("success"));
    QCOMPARE(unknown.first, QStringLiteral("success"));
    QCOMPARE(fail.first, QStringLiteral("fail"));
    QCOMPARE(negative.first, QStringLiteral("fail"));

    // The style sheet really swaps the pictures.
    QVERIFY(warn.second != success.second);
    QVERIFY(success.second != fail.second);
    QVERIFY(warn.second != fail.second);
    QCOMPARE(unknown.second, success.second);
}

void TestTipWidget::emptyTextIgnored()
{
    TipWidget *tip = TipWidget::create(window.get());
    window->show();
    TipWidget::showTip(QStringLiteral("Copy successfully!"), TipWidget::Success);
    const int width = tip->width();
    QTRY_VERIFY_WITH_TIMEOUT(hideTimer(tip)->remainingTime() < 1900, 1000);

    TipWidget::showTip(QString(), TipWidget::Failure);
    QVERIFY(tip->isVisible());
    QCOMPARE(textLabel(tip)->text(), QStringLiteral("Copy successfully!"));
    QCOMPARE(iconLabel(tip)->property("icontype").toString(), QStringLiteral("success"));
    QCOMPARE(tip->width(), width);
    QVERIFY(hideTimer(tip)->remainingTime() < 1900); // not restarted
}

void TestTipWidget::hidesTwoSecondsAfterLastShow()
{
    TipWidget *tip = TipWidget::create(window.get());
    window->show();
    QSignalSpy hidden(tip, &TipWidget::SignalTipWidgetHide);

    QElapsedTimer sinceFirst;
    sinceFirst.start();
    TipWidget::showTip(QStringLiteral("File name cannot be empty!"), TipWidget::Warning);
    // 1.5 s later a second toast replaces the first.
    QTRY_VERIFY_WITH_TIMEOUT(sinceFirst.elapsed() >= 1500, 2000);
    QVERIFY(tip->isVisible());
    QElapsedTimer sinceSecond;
    sinceSecond.start();
    TipWidget::showTip(QStringLiteral("Saved successfully!"), TipWidget::Success);

    QVERIFY(hidden.wait(3000));
    // Timers may fire up to 5 % early.
    QVERIFY2(sinceSecond.elapsed() >= 1900, qPrintable(QString::number(sinceSecond.elapsed())));
    QVERIFY(sinceSecond.elapsed() < 2500);
    QVERIFY(!tip->isVisible());
    QCOMPARE(textLabel(tip)->text(), QStringLiteral("Saved successfully!"));
    QCOMPARE(hidden.count(), 1);
    QVERIFY(!hideTimer(tip)->isActive());
}

QTEST_MAIN(TestTipWidget)
#include "tst_tipwidget.moc"
