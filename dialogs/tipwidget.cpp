#include "dialogs/tipwidget.h"

#include <QFontMetrics>
#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QStyle>
#include <QTimer>
#include <QVariant>
#include <QWidget>

namespace {
// Guarded, so that a toast call after the main window went is ignored instead of crashing.
QPointer<TipWidget> theTip;

constexpr int hideAfterMs = 2000;
constexpr int sideRoom = 40;
} // namespace

TipWidget::TipWidget(QWidget *parent, const QString &objectName) : QFrame(parent)
{
    setObjectName(objectName);
    setAttribute(Qt::WA_QuitOnClose, false);

    iconLabel = new QLabel(this);
    iconLabel->setObjectName(QStringLiteral("mainwidowTipIcon"));
    iconLabel->setFixedSize(20, 20); // the style sheet refines this
    textLabel = new QLabel(this);
    textLabel->setObjectName(QStringLiteral("mainwidowTipLabel"));
    textLabel->setAlignment(Qt::AlignCenter);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(iconLabel);
    layout->addWidget(textLabel);
    layout->setAlignment(Qt::AlignCenter);

    hideTimer = new QTimer(this);
    hideTimer->setInterval(hideAfterMs);
    connect(hideTimer, &QTimer::timeout, this, &TipWidget::slotHideTip);

    auto *shadow = new QGraphicsDropShadowEffect(this); // the toast takes ownership
    shadow->setOffset(0, 0);
    shadow->setColor(Qt::gray);
    shadow->setBlurRadius(20);
    setGraphicsEffect(shadow);

    hide();
}

TipWidget *TipWidget::create(QWidget *mainWindow)
{
    theTip = new TipWidget(mainWindow, QStringLiteral("popupTipWidget")); // owned by mainWindow
    theTip->hide();
    return theTip;
}

TipWidget *TipWidget::current()
{
    return theTip;
}

void TipWidget::showTip(const QString &text, int kind)
{
    if (!theTip || text.isEmpty())
        return;
    theTip->showText(text, kind);
}

void TipWidget::showText(const QString &text, int kind)
{
    static const char *const iconTypes[] = {"warn", "success", "fail"};
    if (kind >= Warning && kind <= Failure) {
        iconLabel->setProperty("icontype", QString::fromLatin1(iconTypes[kind]));
        iconLabel->style()->unpolish(iconLabel);
        iconLabel->style()->polish(iconLabel);
        iconLabel->update();
    }

    textLabel->setText(text);

    // Measure with the style sheet's font and sizes, even while the toast was never shown.
    ensurePolished();
    textLabel->ensurePolished();
    iconLabel->ensurePolished();
    int width = textLabel->fontMetrics().horizontalAdvance(text) + sideRoom;
    QWidget *owner = parentWidget();
    if (owner && owner->width() != 0 && owner->width() - width < sideRoom)
        width = owner->width() - sideRoom;
    if (showIcon)
        width += iconLabel->width();
    setFixedWidth(width);

    show();
    if (positionMode == 0 && owner)
        move((owner->width() - this->width()) / 2, y());
    raise();

    hideTimer->stop();
    hideTimer->start();
}

void TipWidget::slotHideTip()
{
    hideTimer->stop();
    hide();
    emit SignalTipWidgetHide();
}
