// The main window's frame, start-up and its auxiliary overlays: the grey veil that covers the
// window exactly while a message dialog exists, and the toast centred over the window.

#include "cucstyle.h"
#include "dialogdriver.h"
#include "mainwindow.h"
#include "messageboxdialog.h"
#include "tipwidget.h"

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include <memory>

namespace {

QStringList capturedDebug;

void captureDebug(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg)
        capturedDebug.append(message);
}

QWidget *veilOf(MainWindow *window)
{
    return window->findChild<QWidget *>(QStringLiteral("wgtOverlay"));
}

int brightness(const QImage &image, const QPoint &at)
{
    return QColor(image.pixel(at)).lightness();
}

} // namespace

class TestMainWindowVeil : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void frameAndStart();
    void veilCoversWindowWhileDialogOpen();
    void toastCentredAboveVeil();
    void destroyedWithDialogStillOpen();
};

void TestMainWindowVeil::initTestCase()
{
    QApplication::setStyle(new CUCStyle); // the application owns it
}

void TestMainWindowVeil::frameAndStart()
{
    MainWindow window;
    capturedDebug.clear();
    const QtMessageHandler previous = qInstallMessageHandler(captureDebug);
    window.init();
    qInstallMessageHandler(previous);

    QVERIFY(qobject_cast<QMainWindow *>(&window));
    QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(window.minimumSize(), QSize(1280, 720));
    QCOMPARE(window.maximumSize(), QSize(1280, 720));
    QCOMPARE(window.windowTitle(), QStringLiteral("Quelvox Contact Desk"));
    QVERIFY(capturedDebug.contains(QStringLiteral("Start editor tool.")));
    // The compiled-in sheets are installed application-wide.
    QVERIFY(qApp->styleSheet().contains(QStringLiteral("#popupTipWidget")));
    QVERIFY(qApp->styleSheet().contains(QStringLiteral("QScrollBar")));

    QWidget *veil = veilOf(&window);
    QVERIFY(veil);
    QVERIFY(veil->isHidden());
    TipWidget *tip = TipWidget::current();
    QVERIFY(tip);
    QCOMPARE(tip->parentWidget(), &window);
    QVERIFY(tip->isHidden());
}

void TestMainWindowVeil::veilCoversWindowWhileDialogOpen()
{
    MainWindow window;
    window.init();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QWidget *veil = veilOf(&window);
    const QImage clear = window.grab().toImage();

    bool shownDuring = false;
    QRect covered;
    QImage dimmed;
    whenDialogShown(QStringLiteral("Note"), [&](MessageboxDialog *dialog) {
        shownDuring = veil->isVisible();
        covered = veil->geometry();
        dimmed = window.grab().toImage();
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    MessageboxDialog::showMessage(&window, QStringLiteral("Note"),
                                  QStringLiteral("Delete the contact?"),
                                  QDialogButtonBox::Ok | QDialogButtonBox::Cancel);

    QVERIFY(shownDuring);
    QCOMPARE(covered, window.rect());
    for (const QPoint &at : {QPoint(5, 5), QPoint(640, 360), QPoint(1275, 715)})
        QVERIFY2(brightness(dimmed, at) < brightness(clear, at),
                 qPrintable(QStringLiteral("not dimmed at %1,%2").arg(at.x()).arg(at.y())));
    QVERIFY(veil->isHidden());
    QCOMPARE(window.grab().toImage(), clear);
}

void TestMainWindowVeil::toastCentredAboveVeil()
{
    MainWindow window;
    window.init();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QWidget *veil = veilOf(&window);
    TipWidget *tip = TipWidget::current();

    TipWidget::showTip(QStringLiteral("Saved successfully!"), TipWidget::Success);
    QVERIFY(tip->isVisible());
    QCOMPARE(tip->x(), (1280 - tip->width()) / 2);
    QCOMPARE(tip->y(), 0); // its box sits 40 px down, inside its own margin

    bool toastOverVeil = false;
    whenDialogShown(QStringLiteral("Note"), [&](MessageboxDialog *dialog) {
        const QObjectList siblings = window.children();
        toastOverVeil = veil->isVisible() && siblings.indexOf(tip) > siblings.indexOf(veil);
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    MessageboxDialog::showMessage(&window, QStringLiteral("Note"), QStringLiteral("?"),
                                  QDialogButtonBox::Ok);
    QVERIFY(toastOverVeil);
}

void TestMainWindowVeil::destroyedWithDialogStillOpen()
{
    // A dialog that outlives the window's own destructor still says it is going; that must not
    // reach the half-destroyed window.
    auto window = std::make_unique<MainWindow>();
    window->init();
    window->show();
    QPointer<MessageboxDialog> dialog = new MessageboxDialog(window.get()); // owned by the window
    dialog->show();
    QVERIFY(veilOf(window.get())->isVisible());
    window.reset();
    QVERIFY(dialog.isNull());
    QCOMPARE(TipWidget::current(), nullptr);
    TipWidget::showTip(QStringLiteral("Saved successfully!"), TipWidget::Success);
}

QTEST_MAIN(TestMainWindowVeil)
#include "tst_mainwindowveil.moc"
