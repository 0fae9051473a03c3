#include "mainwindow.h"

#include <QDebug>

MainWindow::MainWindow(QWidget *parent) : QWidget(parent)
{
    setWindowFlags(Qt::FramelessWindowHint | Qt::Window);
    setFixedSize(1280, 720);
    setWindowTitle(QStringLiteral("Quelvox Contact Desk"));
}

MainWindow::~MainWindow() = default;

void MainWindow::init()
{
    qDebug() << "Start editor tool.";
}
