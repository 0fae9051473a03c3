#include "http/panel/httpserverurlfileitem.h"

#include "dialogs/tipwidget.h"
#include "http/panel/uiurlfileitemdata.h"
#include "shell/langtranslater.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>

HttpServerUrlFileItem::HttpServerUrlFileItem(QWidget *parent)
    : qvViewItemWidget(parent, QStringLiteral("qvViewItemWidget"))
{
    uiUrlFileItemData::registerMetaType();
    setFixedSize(510, 38);

    labelUrlFile = new QLabel(this);
    labelUrlFile->setObjectName(QStringLiteral("labelUrlFile"));
    // Ends short of the copy button, so a long URL shortened with "..." never runs under it.
    labelUrlFile->setGeometry(16, 0, 460, 38);
    labelUrlFile->setStyleSheet(QStringLiteral("font-size: 14px;\ncolor: #333333;"));

    btnCopyUrl = new QPushButton(this);
    btnCopyUrl->setObjectName(QStringLiteral("btnCopyUrl"));
    btnCopyUrl->setGeometry(480, 9, 20, 20);
    btnCopyUrl->setCursor(Qt::PointingHandCursor);
    btnCopyUrl->setFocusPolicy(Qt::NoFocus);
    btnCopyUrl->setToolTip(Langtranslater::lookup(QStringLiteral("Copy URL")));
    btnCopyUrl->setAccessibleName(Langtranslater::lookup(QStringLiteral("Copy URL")));
    btnCopyUrl->setStyleSheet(
        QStringLiteral("QPushButton { border: none; background: transparent;"
                       " image: url(:/image/copy.png); }"
                       "QPushButton:hover { image: url(:/image/copy_press.png); }"));

    QMetaObject::connectSlotsByName(this);
}

bool HttpServerUrlFileItem::SetData(const QVariant &data)
{
    if (data.userType() == qMetaTypeId<uiUrlFileItemData>()) {
        const QString url = data.value<uiUrlFileItemData>().strUrl;
        labelUrlFile->setText(url);
        labelUrlFile->setToolTip(url); // the whole URL when the label shortens it
    }
    return true;
}

void HttpServerUrlFileItem::on_btnCopyUrl_clicked()
{
    QGuiApplication::clipboard()->setText(labelUrlFile->text());
    TipWidget::showTip(Langtranslater::lookup(QStringLiteral("Copy successfully!")),
                       TipWidget::Success);
}
