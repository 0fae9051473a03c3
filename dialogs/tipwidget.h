#pragma once

#include <QFrame>
#include <QString>

class QLabel;
class QTimer;
class QWidget;

// The toast: a small white box with an icon and one line of text, centred at the top of the
// main window, hiding itself two seconds after it was last shown. One per process, created by
// the main window; anything shows a text in it with TipWidget::showTip.
class TipWidget : public QFrame
{
    Q_OBJECT
public:
    enum Kind
    {
        Warning = 0,
        Success = 1,
        Failure = 2
    };

    TipWidget(QWidget *parent, const QString &objectName);

    // Creates the one toast ("popupTipWidget") as a hidden child of the main window.
    static TipWidget *create(QWidget *mainWindow);
    // Shows display text with the icon of kind (0 warning, 1 success, 2 failure; other values
    // keep the previous icon) for two seconds. Ignored before create() and for empty text.
    static void showTip(const QString &text, int kind);
    // The toast create() made, or none (also after its main window is gone).
    static TipWidget *current();

signals:
    // Emitted each time the toast hides because its two seconds ran out.
    void SignalTipWidgetHide();

private slots:
    void slotHideTip();

private:
    void showText(const QString &text, int kind);

    QLabel *textLabel = nullptr; // owned via Qt parent
    QLabel *iconLabel = nullptr; // owned via Qt parent
    QTimer *hideTimer = nullptr; // owned via Qt parent
    int positionMode = 0;        // 0: centred horizontally, vertical position kept
    bool showIcon = true;        // the icon's width counts into the toast's width
};
