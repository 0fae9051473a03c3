#pragma once

#include <QString>

#include <functional>

class QWidget;

// How the detail editor asks the user for a text: the name of a new custom label and the link
// of a contact's avatar. The editor knows no dialog itself, since panes never include each
// other; the window that composes the panes installs the contact dialogs here. A prompt runs
// modally over parent, starts from current, and calls onInput only with a non-empty answer.
struct ContactDetailPrompts
{
    using OnInput = std::function<void(const QString &)>;
    using Prompt =
        std::function<void(QWidget *parent, const QString &current, const OnInput &onInput)>;

    Prompt customLabel; // unset: "Add custom label" does nothing
    Prompt photoLink;   // unset: the photo button does nothing
};
