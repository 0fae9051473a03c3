#pragma once

// What a person sees of the editor's toasts and popup menus, for the window and pane tests.

#include "dialogs/tipwidget.h"
#include "widgets/qvmenu.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QWidgetAction>

#include <functional>

// The text of the toast on screen; empty when none shows.
inline QString toastText()
{
    TipWidget *tip = TipWidget::current();
    const auto *label =
        tip ? tip->findChild<QLabel *>(QStringLiteral("mainwidowTipLabel")) : nullptr;
    return tip && tip->isVisible() && label ? label->text() : QString();
}

// The toast on screen as "<icontype>: <text>" (success, warn, fail); empty when none shows.
inline QString toastWithKind()
{
    const QString text = toastText();
    const auto *icon =
        text.isEmpty()
            ? nullptr
            : TipWidget::current()->findChild<QLabel *>(QStringLiteral("mainwidowTipIcon"));
    return icon ? icon->property("icontype").toString() + QStringLiteral(": ") + text : text;
}

// Runs open(); while a qvMenu is up, records its item texts and then clicks the item named
// choose (or closes the menu when choose is empty). Returns the texts; empty when no menu came.
inline QStringList runMenu(const std::function<void()> &open, const QString &choose = QString())
{
    QStringList items;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *menu = qobject_cast<qvMenu *>(QApplication::activePopupWidget());
        if (!menu || !menu->isVisible())
            return;
        poll.stop();
        QLabel *chosen = nullptr;
        for (QAction *action : menu->actions()) {
            auto *label =
                qobject_cast<QLabel *>(static_cast<QWidgetAction *>(action)->defaultWidget());
            items.append(label->text());
            if (label->text() == choose)
                chosen = label;
        }
        if (chosen)
            QTest::mouseClick(chosen, Qt::LeftButton, {}, QPoint(20, 10));
        else
            menu->close();
    });
    poll.start();
    open();
    poll.stop();
    return items;
}
