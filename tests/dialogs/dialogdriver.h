#pragma once

#include "dialogs/messageboxdialog.h"
#include "modaldriver.h"
#include "shell/langtranslater.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>

#include <functional>

// Acts on a message dialog from inside its modal loop: once the dialog titled title is the
// visible modal widget, runs action on it (gives up after five seconds, as whenModalShown does).
inline void whenDialogShown(const QString &title, std::function<void(MessageboxDialog *)> action)
{
    whenModalShown<MessageboxDialog>(std::move(action), [title](MessageboxDialog *dialog) {
        const auto *label = dialog->findChild<QLabel *>(QStringLiteral("labTitle"));
        return label && label->text() == title;
    });
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

// Answers the next "Note" question with button; text (when given) gets its question, resolved.
inline void answerNote(QDialogButtonBox::StandardButton button, QString *text = nullptr)
{
    whenDialogShown(Langtranslater::mark(QStringLiteral("Note")),
                    [button, text](MessageboxDialog *dialog) {
                        if (text)
                            *text = Langtranslater::resolve(
                                dialog->findChild<QLabel *>(QStringLiteral("labNote"))->text());
                        buttonOf(dialog, button)->click();
                    });
}
