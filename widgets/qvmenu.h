#pragma once

#include <QMenu>
#include <QString>

class QPaintEvent;
class QWidgetAction;

// Popup menu with a painted white rounded panel and a soft ten-pixel shadow around it. Items are
// labels added with AddTextAction; the menu paints only its frame, the labels paint themselves.
class qvMenu : public QMenu
{
    Q_OBJECT
public:
    explicit qvMenu(QWidget *parent = nullptr, const QString &objectName = QString());

    // A widget action (owned by the menu) whose widget is a QLabel showing text.
    QWidgetAction *AddTextAction(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;
};
