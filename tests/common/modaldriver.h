#pragma once

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

#include <functional>

// Acts on the modal dialog of type T from inside its modal loop, once it is the visible modal
// widget (and match accepts it). After five seconds it gives up with a warning and rejects
// whatever modal dialog is open, so a test cannot hang on a dialog that never came. Delete the
// returned timer to withdraw a handler whose dialog must not come.
template <typename T>
QTimer *whenModalShown(std::function<void(T *)> action, std::function<bool(T *)> match = {})
{
    auto *poll = new QTimer(qApp); // deletes itself once done
    poll->setInterval(5);
    QElapsedTimer waited;
    waited.start();
    QObject::connect(poll, &QTimer::timeout, poll, [poll, action, match, waited] {
        T *dialog = qobject_cast<T *>(QApplication::activeModalWidget());
        const bool found = dialog && dialog->isVisible() && (!match || match(dialog));
        if (!found && !waited.hasExpired(5000))
            return;
        poll->stop();
        poll->deleteLater();
        if (found) {
            action(dialog);
        } else {
            qWarning("the expected modal dialog (%s) did not appear",
                     T::staticMetaObject.className());
            if (auto *modal = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
                modal->reject();
        }
    });
    poll->start();
    return poll;
}
