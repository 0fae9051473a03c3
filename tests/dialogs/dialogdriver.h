#pragma once

#include "dialogs/messageboxdialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <functional>

// Acts on a message dialog from inside its modal loop: once the dialog titled title is the
// visible modal widget, runs action on it. After five seconds it gives up with a warning and
// rejects whatever modal dialog is open, so the test cannot hang.
inline void whenDialogShown(const QString &title, std::function<void(MessageboxDialog *)> action)
{
    auto *poll = new QTimer(qApp); // deletes itself once done
    poll->setInterval(5);
    QElapsedTimer waited;
    waited.start();
    QObject::connect(poll, &QTimer::timeout, poll, [poll, title, action, waited] {
        auto *dialog = qobject_cast<MessageboxDialog *>(QApplication::activeModalWidget());
        const auto *label =
            dialog ? dialog->findChild<QLabel *>(QStringLiteral("labTitle")) : nullptr;
        const bool found = dialog && dialog->isVisible() && label && label->text() == title;
        if (!found && !waited.hasExpired(5000))
            return;
        poll->stop();
        poll->deleteLater();
        if (found) {
            action(dialog);
        } else {
            qWarning("no message dialog titled %s appeared", qPrintable(title));
            if (auto *modal = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
                modal->reject();
        }
    });
    poll->start();
}

inline QDialogButtonBox *buttonBoxOf(MessageboxDialog *dialog)
{
    return dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
}

inline QPushButton *buttonOf(MessageboxDialog *dialog, QDialogButtonBox::StandardButton which)
{
    QDialogButtonBox *box = buttonBoxOf(dialog);
    return box ? box->button(which) : nullptr;
}
