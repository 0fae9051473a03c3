// The toast: its width follows the text (clipped to the window), it is centred at a fixed height,
// its icon follows the kind, it hides two seconds after the last non-empty show, and calls before
// it exists or after its window went are harmless.

#include "dialogs/tipwidget.h"
#include "shell/cucstyle.h"
#include "shell/qvthememan.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

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
    void initTestCase()
    {
        QApplication::setStyle(new CUCStyle); // the application owns it
        qApp->setStyleSheet(qvThemeMan::loadStyleSheet(QStringLiteral(":/qss/"), false));
    }

    void init()
    {
        window = std::make_unique<QWidget>();
        window->setFixedSize(1280, 720);
    }

    void cleanup() { window.reset(); }

    void ignoredBeforeCreateAndAfterWindowGone()
    {
        QCOMPARE(TipWidget::current(), nullptr);
        TipWidget::showTip(QStringLiteral("Saved successfully!"), TipWidget::Success);
        QVERIFY(window->findChildren<TipWidget *>().isEmpty());

        TipWidget::create(window.get());
        window.reset();
        QCOMPARE(TipWidget::current(), nullptr);
        TipWidget::showTip(QStringLiteral("Saved successfully!"), TipWidget::Success); // no crash
    }

    void widthAndPosition_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("windowWidth");
        QTest::addColumn<bool>("windowShownFirst");
        QTest::addRow("short text") << QStringLiteral("Saved successfully!") << 1280 << true;
        QTest::addRow("Chinese text") << QStringLiteral("保存成功！") << 1280 << true;
        QTest::addRow("text clipped to a narrow window")
            << QStringLiteral("The phonebook was imported successfully!") << 260 << true;
        QTest::addRow("shown before the window is")
            << QStringLiteral("Saved successfully!") << 1280 << false;
    }

    void widthAndPosition()
    {
        QFETCH(QString, text);
        QFETCH(int, windowWidth);
        QFETCH(bool, windowShownFirst);

        window->setFixedSize(windowWidth, 720);
        TipWidget *tip = TipWidget::create(window.get());
        if (windowShownFirst)
            window->show();
        TipWidget::showTip(text, TipWidget::Success);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QVERIFY(tip->isVisible());
        QCOMPARE(textLabel(tip)->text(), text);
        QCOMPARE(tip->x(), (windowWidth - tip->width()) / 2);
        QCOMPARE(window->children().last(), tip); // raised above its siblings
        // The toast keeps inside a narrow window; otherwise the text shows whole, measured with
        // the style sheet's font even before anything was shown, so every text gets the same room.
        const bool wide = windowWidth > 1000; // room for any of the texts
        const QFontMetrics metrics = textLabel(tip)->fontMetrics();
        const int room = tip->width() - metrics.horizontalAdvance(text);
        QVERIFY(tip->x() > 0);
        if (wide)
            QVERIFY(textLabel(tip)->contentsRect().width() >= metrics.horizontalAdvance(text));

        // Shown again with another text: still centred, same height on the window.
        const int y = tip->y();
        TipWidget::showTip(QStringLiteral("OK"), TipWidget::Warning);
        QCOMPARE(tip->y(), y);
        QCOMPARE(tip->x(), (windowWidth - tip->width()) / 2);
        if (wide)
            QCOMPARE(tip->width() - metrics.horizontalAdvance(QStringLiteral("OK")), room);
    }

    void iconFollowsKind()
    {
        TipWidget *tip = TipWidget::create(window.get());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));

        // Unknown kinds keep the icon shown; the style sheet really swaps the pictures.
        QStringList types;
        QList<QImage> images;
        for (int kind :
             {int(TipWidget::Warning), int(TipWidget::Success), 7, int(TipWidget::Failure), -1}) {
            TipWidget::showTip(QStringLiteral("Copy successfully!"), kind);
            types << iconLabel(tip)->property("icontype").toString();
            images << iconLabel(tip)->grab().toImage();
        }
        QCOMPARE(types.join(QLatin1Char(' ')), QStringLiteral("warn success success fail fail"));
        QVERIFY(images[0] != images[1] && images[1] != images[3] && images[0] != images[3]);
        QCOMPARE(images[2], images[1]);
    }

    void hidesTwoSecondsAfterLastShow()
    {
        TipWidget *tip = TipWidget::create(window.get());
        window->show();
        QSignalSpy hidden(tip, &TipWidget::SignalTipWidgetHide);
        QTimer *timer = hideTimer(tip);
        TipWidget::showTip(QStringLiteral("File name cannot be empty!"), TipWidget::Warning);
        QCOMPARE(timer->interval(), 2000);
        const int width = tip->width();
        QTRY_VERIFY(timer->remainingTime() < 1900);
        // An empty text changes nothing and does not restart the timer; the next toast does.
        const int left = timer->remainingTime();
        TipWidget::showTip(QString(), TipWidget::Failure);
        QVERIFY(timer->remainingTime() <= left);
        QCOMPARE(textLabel(tip)->text(), QStringLiteral("File name cannot be empty!"));
        QCOMPARE(iconLabel(tip)->property("icontype").toString(), QStringLiteral("warn"));
        QCOMPARE(tip->width(), width);
        TipWidget::showTip(QStringLiteral("Saved successfully!"), TipWidget::Success);
        QVERIFY(timer->remainingTime() > left);

        QVERIFY(hidden.wait(3000));
        QVERIFY(!tip->isVisible());
        QCOMPARE(hidden.count(), 1);
        QVERIFY(!timer->isActive());
    }

private:
    std::unique_ptr<QWidget> window;
};

QTEST_MAIN(TestTipWidget)
#include "tst_tipwidget.moc"
