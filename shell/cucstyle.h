#pragma once

#include <QPalette>
#include <QProxyStyle>
#include <QString>

class QFontMetrics;
class QPainter;
class QRect;
class QStyleOption;
class QWidget;

// The application style: a proxy over the platform's default style that turns marker text into
// the current language when it is painted, cuts single-line texts that do not fit with "...",
// and draws check boxes without a focus frame. Widgets can therefore keep language-neutral
// marker text and still show the active language after every switch.
class CUCStyle : public QProxyStyle
{
    Q_OBJECT
public:
    CUCStyle();

    // Resolves the text and, unless the flags ask for word wrap, elides it to rect's width - 3.
    void drawItemText(QPainter *painter, const QRect &rect, int flags, const QPalette &pal,
                      bool enabled, const QString &text,
                      QPalette::ColorRole textRole = QPalette::NoRole) const override;

    // Check boxes without focus frame; menu items and combo-box entries with resolved text.
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;

    // The text, or its longest prefix narrower than (width - width of "...") followed by "...".
    // Unchanged when it fits (width >= text width - 3) or when not even "..." fits.
    static QString elideText(const QString &text, const QFontMetrics &metrics, int width);
};
