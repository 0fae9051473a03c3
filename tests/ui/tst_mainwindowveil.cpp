// The main window's frame and its auxiliary overlays: the grey veil that covers the window
// exactly while a message dialog exists, and the toast centred over the window and the veil.

#include "../dialogs/dialogdriver.h"
#include "dialogs/messageboxdialog.h"
#include "dialogs/tipwidget.h"
#include "shell/cucstyle.h"
#include "shell/qvthememan.h"
#include "ui/mainwindow.h"

#include <QPointer>
#include <QTest>

#include <memory>

namespace {

QWidget *veilOf(MainWindow *window)
{
    return window->findChild<QWidget *>(QStringLiteral("wgtOverlay"));
}

} // namespace

class TestMainWindowVeil : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QApplication::setStyle(new CUCStyle); // the application owns it
    }

    void frameAndStart() // the start-up log line is checked across processes in tst_startup
    {
        MainWindow window;
        window.init();

        QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(window.minimumSize(), window.maximumSize());
        // The compiled-in sheets are installed application-wide.
        QCOMPARE(qApp->styleSheet(), qvThemeMan::loadStyleSheet(QStringLiteral(":/qss/"), false));
        QVERIFY(veilOf(&window) && veilOf(&window)->isHidden());
        TipWidget *tip = TipWidget::current();
        QVERIFY(tip);
        QCOMPARE(tip->parentWidget(), &window);
        QVERIFY(tip->isHidden());
    }

    void veilCoversWindowWhileDialogOpen()
    {
        MainWindow window;
        window.init();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QWidget *veil = veilOf(&window);
        TipWidget *tip = TipWidget::current();
        const QImage clear = window.grab().toImage();

        TipWidget::showTip(QStringLiteral("Saved successfully!"), TipWidget::Success);

        bool shownDuring = false;
        bool toastOverVeil = false;
        QRect covered;
        QImage dimmed;
        whenDialogShown(QStringLiteral("Note"), [&](MessageboxDialog *dialog) {
            shownDuring = veil->isVisible();
            covered = veil->geometry();
            dimmed = window.grab().toImage();
            const QObjectList siblings = window.children();
            toastOverVeil = tip->isVisible() && siblings.indexOf(tip) > siblings.indexOf(veil);
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        MessageboxDialog::showMessage(&window, QStringLiteral("Note"),
                                      QStringLiteral("Delete the contact?"),
                                      QDialogButtonBox::Ok | QDialogButtonBox::Cancel);

        QVERIFY(shownDuring);
        QVERIFY(toastOverVeil);
        QCOMPARE(covered, window.rect());
        for (const QPoint &at : {QPoint(5, 5), QPoint(640, 360), QPoint(1275, 715)})
            QVERIFY2(QColor(dimmed.pixel(at)).lightness() < QColor(clear.pixel(at)).lightness(),
                     qPrintable(QStringLiteral("not dimmed at %1,%2").arg(at.x()).arg(at.y())));
        QVERIFY(veil->isHidden());
        tip->hide();
        QCOMPARE(window.grab().toImage(), clear);
    }

    void destroyedWithDialogStillOpen()
    {
        // A dialog that outlives the window's own destructor still says it is going; that must not
        // reach the half-destroyed window.
        auto window = std::make_unique<MainWindow>();
        window->init();
        window->show();
        QPointer<MessageboxDialog> dialog =
            new MessageboxDialog(window.get()); // owned by the window
        dialog->show();
        QVERIFY(veilOf(window.get())->isVisible());
        window.reset();
        QVERIFY(dialog.isNull());
    }
};

QTEST_MAIN(TestMainWindowVeil)
#include "tst_mainwindowveil.moc"
