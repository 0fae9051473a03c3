#include "ui/mainwindow.h"

#include "dialogs/cmessagedialoglistmanager.h"
#include "dialogs/tipwidget.h"
#include "http/httpserver.h"
#include "shell/qvthememan.h"

#include <QApplication>
#include <QDebug>
#include <QWidget>

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    setupForm();
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
}

MainWindow::~MainWindow()
{
    // Dialogs still open die with this window's children, after this object stopped being a
    // MainWindow: their "gone" signal must not reach it any more.
    disconnect(CMessageDialogListManager::instance(), nullptr, this, nullptr);
}

void MainWindow::setupForm()
{
    setObjectName(QStringLiteral("MainWindow"));
    setFixedSize(1280, 720);
    setWindowTitle(QStringLiteral("Quelvox Contact Desk"));
    setStyleSheet(QStringLiteral("QMainWindow\n{\nborder:none;\n}"));

    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    central->setStyleSheet(QStringLiteral(
        "#centralWidget { background-image: url(:/image/background.png); border: none; }"));
    setCentralWidget(central);
}

void MainWindow::init()
{
    qDebug() << "Start editor tool.";
    qApp->setStyleSheet(qvThemeMan::loadStyleSheet(QStringLiteral(":/qss/"), false));
    buildPanes();
}

void MainWindow::buildPanes()
{
    setFocusPolicy(Qt::ClickFocus);

    overlay = new QWidget(this);
    overlay->setObjectName(QStringLiteral("wgtOverlay"));
    overlay->setGeometry(0, 0, width(), height());
    overlay->setStyleSheet(QStringLiteral("background: rgba(51,51,51,0.30);"));
    overlay->hide();

    TipWidget::create(this);

    connect(CMessageDialogListManager::instance(), &CMessageDialogListManager::sigShowMessagebox,
            this, &MainWindow::slotShowMessagebox);
    connect(HttpServer::instance(), &HttpServer::sigListenFailed, this,
            [] { TipWidget::showTip(HttpServer::listenFailedText(), TipWidget::Warning); });
}

void MainWindow::slotShowMessagebox(bool bShow)
{
    if (overlay)
        overlay->setVisible(bShow);
}
