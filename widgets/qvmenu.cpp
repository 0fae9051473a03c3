#include "widgets/qvmenu.h"

#include <QColor>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRectF>
#include <QWidgetAction>

qvMenu::qvMenu(QWidget *parent, const QString &objectName) : QMenu(parent)
{
    setObjectName(objectName);
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
}

QWidgetAction *qvMenu::AddTextAction(const QString &text)
{
    auto *action = new QWidgetAction(this);
    action->setDefaultWidget(new QLabel(text, this));
    addAction(action);
    return action;
}

void qvMenu::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    static constexpr qreal Radius = 8.0;
    static constexpr int ShadowAlpha[10] = {25, 20, 15, 12, 10, 8, 5, 3, 2, 1};
    const int w = width();
    const int h = height();

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);

    QPainterPath panel;
    panel.setFillRule(Qt::WindingFill);
    panel.addRoundedRect(QRectF(10, 10, w - 20, h - 20), Radius, Radius);
    painter.fillPath(panel, QBrush(Qt::white));

    // Outlines growing outwards, innermost darkest, fill the transparent margin as a shadow.
    QColor shadow(61, 66, 92);
    for (int k = 0; k < 10; ++k) {
        QPainterPath outline;
        outline.setFillRule(Qt::WindingFill);
        outline.addRoundedRect(QRectF(9 - k, 9 - k, w - 20 + 2 * k, h - 20 + 2 * k), Radius,
                               Radius);
        shadow.setAlpha(ShadowAlpha[k]);
        painter.setPen(QPen(shadow, 1));
        painter.drawPath(outline);
    }
}
