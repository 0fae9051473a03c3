#include "http/panel/httpserversettingwidget.h"

#include "data/phonebookmanager.h"
#include "dialogs/tipwidget.h"
#include "http/httpserver.h"
#include "shell/langtranslater.h"

#include <QColor>
#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace {
constexpr int lowestPort = 2;
constexpr int highestPort = 65535;

QString translated(const char *key)
{
    return Langtranslater::lookup(QString::fromLatin1(key));
}
} // namespace

HttpServerSettingWidget::HttpServerSettingWidget(QWidget *parent) : QWidget(parent)
{
    setupForm();
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowFlags(Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);

    lineEditHttpPort->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]+$")), lineEditHttpPort));

    auto *shadow = new QGraphicsDropShadowEffect(labelBackground);
    shadow->setOffset(0, 0);
    shadow->setColor(Qt::gray);
    shadow->setBlurRadius(20);
    labelBackground->setGraphicsEffect(shadow);

    QMetaObject::connectSlotsByName(this);
}

void HttpServerSettingWidget::setupForm()
{
    setObjectName(QStringLiteral("HttpServerSettingWidget"));
    setFixedSize(225, 170);
    setStyleSheet(QStringLiteral("background-color:#ffffff;"));

    labelBackground = new QLabel(this);
    labelBackground->setObjectName(QStringLiteral("labelBackground"));
    labelBackground->setGeometry(10, 10, 205, 150);
    labelBackground->setStyleSheet(QStringLiteral("border-radius: 4px;"));

    const QString textStyle = QStringLiteral("font-size: 14px;\ncolor: #333333;");
    labelHttpStatus = new QLabel(this);
    labelHttpStatus->setObjectName(QStringLiteral("labelHttpStatus"));
    labelHttpStatus->setGeometry(21, 13, 181, 38);
    labelHttpStatus->setStyleSheet(textStyle);

    labelHttpIP = new QLabel(this);
    labelHttpIP->setObjectName(QStringLiteral("labelHttpIP"));
    labelHttpIP->setGeometry(21, 51, 181, 38);
    labelHttpIP->setStyleSheet(textStyle);

    auto *portRow = new QWidget(this);
    portRow->setObjectName(QStringLiteral("widget"));
    portRow->setGeometry(15, 89, 193, 29);
    auto *layoutWidget = new QWidget(portRow);
    layoutWidget->setObjectName(QStringLiteral("horizontalLayoutWidget"));
    layoutWidget->setGeometry(7, 0, 248, 31);
    auto *layout = new QHBoxLayout(layoutWidget);
    layout->setObjectName(QStringLiteral("horizontalLayout"));
    layout->setContentsMargins(1, 0, 0, 0);
    // Tight, so the edit button stays inside the card with the wider Chinese label too.
    layout->setSpacing(2);

    labelPortLabel = new QLabel(layoutWidget);
    labelPortLabel->setObjectName(QStringLiteral("labelPortLabel"));
    labelPortLabel->setFixedHeight(28);
    labelPortLabel->setStyleSheet(textStyle);
    layout->addWidget(labelPortLabel);

    lineEditHttpPort = new QLineEdit(layoutWidget);
    lineEditHttpPort->setObjectName(QStringLiteral("lineEditHttpPort"));
    lineEditHttpPort->setFixedSize(110, 28);
    lineEditHttpPort->setMaxLength(5);
    lineEditHttpPort->setReadOnly(true);
    lineEditHttpPort->setStyleSheet(
        QStringLiteral("QLineEdit { border: 1px solid #278CF8; border-radius: 4px;"
                       " font-size: 14px; color: #333333; }"
                       "QLineEdit:read-only { border: none; }"));
    layout->addWidget(lineEditHttpPort);

    btnEdit = new QPushButton(layoutWidget);
    btnEdit->setObjectName(QStringLiteral("btnEdit"));
    btnEdit->setMinimumSize(19, 20);
    btnEdit->setMaximumSize(20, 20);
    btnEdit->setCursor(Qt::PointingHandCursor);
    btnEdit->setToolTip(translated("Edit port"));
    btnEdit->setAccessibleName(translated("Edit port"));
    btnEdit->setStyleSheet(
        QStringLiteral("QPushButton { border: none; background: transparent;"
                       " image: url(:/image/edit.png); }"
                       "QPushButton:hover { image: url(:/image/edit_click.png); }"));
    layout->addWidget(btnEdit);
    layout->addStretch();

    pushButton = new QPushButton(this);
    pushButton->setObjectName(QStringLiteral("pushButton"));
    pushButton->setGeometry(23, 125, 181, 21);
    pushButton->setCursor(Qt::PointingHandCursor);
    pushButton->setText(QStringLiteral("`?Http-Server File List"));
    pushButton->setStyleSheet(
        QStringLiteral("QPushButton { text-align: left; border: none; background: transparent;"
                       " font-size: 14px; color: #278CF8; }"
                       "QPushButton:hover { color: #3177D3; }"));
}

void HttpServerSettingWidget::Refresh()
{
    HttpServer *server = HttpServer::instance();
    const QString ip = server->localIp();
    const bool on = server->isOpen() && server->isListening();
    labelHttpStatus->setText(translated("Http-Server Status:") + QLatin1Char(' ') +
                             (on ? translated("On") : translated("Off")));
    labelHttpIP->setText(translated("Server IP:") + QLatin1Char(' ') + ip);
    lineEditHttpPort->setText(QStringLiteral("%1").arg(server->port()));
    lineEditHttpPort->setReadOnly(true);
    labelPortLabel->setText(translated("Port:") + QLatin1Char(' '));
    btnEdit->show();
    editing = false;
}

void HttpServerSettingWidget::on_btnEdit_clicked()
{
    editing = true;
    lineEditHttpPort->setReadOnly(false);
    lineEditHttpPort->setFocus();
    btnEdit->hide();
}

void HttpServerSettingWidget::on_lineEditHttpPort_textChanged(const QString &arg1)
{
    // A number too long to read gives 0 and stays; the commit refuses it.
    if (arg1.toInt() > highestPort)
        lineEditHttpPort->setText(QString::number(highestPort));
}

void HttpServerSettingWidget::on_pushButton_clicked()
{
    emit sigShowUrlFileDialog(true);
}

void HttpServerSettingWidget::keyPressEvent(QKeyEvent *event)
{
    if (editing && event->key() == Qt::Key_Return) {
        commitPort();
        return;
    }
    QWidget::keyPressEvent(event);
}

void HttpServerSettingWidget::mousePressEvent(QMouseEvent *event)
{
    if (editing)
        commitPort();
    QWidget::mousePressEvent(event);
}

void HttpServerSettingWidget::restorePort(const QString &warning)
{
    lineEditHttpPort->setText(QString::number(HttpServer::instance()->port()));
    TipWidget::showTip(warning, TipWidget::Warning);
}

void HttpServerSettingWidget::commitPort()
{
    editing = false;
    lineEditHttpPort->setReadOnly(true);
    btnEdit->show();
    btnEdit->setFocus();

    HttpServer *server = HttpServer::instance();
    const QString text = lineEditHttpPort->text();
    if (text.isEmpty()) {
        restorePort(translated("Port value cannot be empty"));
        return;
    }
    const int port = text.toInt();
    if (port == server->port())
        return;
    if (port < lowestPort || port > highestPort) {
        restorePort(translated("Illegal port value! Please select one from 2 to 65535"));
        return;
    }

    server->setPort(port);
    PhonebookManager::updateTargetFileUrl(server->localIp(), port);
    if (server->isOpen()) {
        server->close();
        server->setOpen(true);
    }
    // A server that is on but could not listen on the new port is no success: the warning
    // tells so (the same toast a window shows on sigListenFailed) and the status reads Off.
    if (server->isOpen() && !server->isListening())
        TipWidget::showTip(HttpServer::listenFailedText(), TipWidget::Warning);
    else
        TipWidget::showTip(translated("Modified the port successfully!"), TipWidget::Success);
    Refresh();
}
