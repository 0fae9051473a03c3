#include "shell/cucstyle.h"

#include "shell/langtranslater.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRect>
#include <QStyleOption>
#include <QWidget>

namespace {
const QString ellipsis = QStringLiteral("...");

int prefixWidth(const QFontMetrics &metrics, const QString &text, int length)
{
    return metrics.horizontalAdvance(text, length);
}
} // namespace

CUCStyle::CUCStyle() : QProxyStyle() {}

void CUCStyle::drawItemText(QPainter *painter, const QRect &rect, int flags, const QPalette &pal,
                            bool enabled, const QString &text, QPalette::ColorRole textRole) const
{
    QString display = Langtranslater::resolve(text);
    if (!(flags & Qt::TextWordWrap) && painter)
        display = elideText(display, painter->fontMetrics(), rect.width() - 3);
    QProxyStyle::drawItemText(painter, rect, flags, pal, enabled, display, textRole);
}

void CUCStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                           const QWidget *widget) const
{
    if (!option || !painter)
        return;

    switch (element) {
    case CE_CheckBox:
        if (const auto *button = qstyleoption_cast<const QStyleOptionButton *>(option)) {
            // Indicator and label only: the check box never shows a focus frame.
            painter->save();
            QStyleOptionButton part = *button;
            part.rect = proxy()->subElementRect(SE_CheckBoxIndicator, button, widget);
            proxy()->drawPrimitive(PE_IndicatorCheckBox, &part, painter, widget);
            part.rect = proxy()->subElementRect(SE_CheckBoxContents, button, widget);
            proxy()->drawControl(CE_CheckBoxLabel, &part, painter, widget);
            painter->restore();
            return;
        }
        break;
    case CE_MenuItem:
        // A combo box's popup entries come here too where the style pops the list up as a menu.
        if (widget && (widget->inherits("QMenu") || widget->inherits("QComboBox"))) {
            if (const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option)) {
                QStyleOptionMenuItem resolved = *item;
                resolved.text = Langtranslater::resolve(item->text);
                QProxyStyle::drawControl(element, &resolved, painter, widget);
                return;
            }
        }
        break;
    case CE_ItemViewItem:
        if (widget && (widget->inherits("QComboBoxListView") || widget->inherits("QComboBox"))) {
            const auto *item = qstyleoption_cast<const QStyleOptionViewItem *>(option);
            if (item && item->version >= 4) {
                QStyleOptionViewItem resolved = *item;
                resolved.text = Langtranslater::resolve(item->text);
                QProxyStyle::drawControl(element, &resolved, painter, widget);
                return;
            }
        }
        break;
    default:
        break;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

QString CUCStyle::elideText(const QString &text, const QFontMetrics &metrics, int width)
{
    if (text.isEmpty() || width >= metrics.horizontalAdvance(text) - 3)
        return text;
    const int room = width - metrics.horizontalAdvance(ellipsis);
    if (room <= 0)
        return text;

    // Halving search for the longest prefix that fits, then a short walk down to it.
    int low = 0;
    int high = text.size() - 1;
    int mid = high / 2;
    while (high > mid + 2) {
        if (prefixWidth(metrics, text, mid) <= room)
            low = mid;
        else
            high = mid - 1;
        mid = (low + high) / 2;
    }
    while (high >= low && prefixWidth(metrics, text, high) >= room)
        --high;
    int keep = qMax(high, 0);
    // Never cut between the two halves of a surrogate pair.
    if (keep > 0 && text.at(keep - 1).isHighSurrogate())
        --keep;
    return text.left(keep) + ellipsis;
}
