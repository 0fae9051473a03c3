#pragma once

#include <QMetaType>

// What adding a contact or renaming a group came to, in both stores and in PhonebookManager.
// The numbers are fixed, so a code that was logged or compared by number keeps its meaning.
enum class PhonebookResult
{
    Done = 0,
    // PhonebookManager::updateGroup only: a group needs a name.
    EmptyName = 1,
    // Another local group already has that name.
    NameTaken = 2,
    // No group with that id (remote: or the group cannot take contacts).
    NoSuchGroup = 3,
    // The local phonebook already holds LocalDirectory::MaxContacts contacts.
    LimitReached = 5
};

// Carried in variants: signals between panes and test tables.
Q_DECLARE_METATYPE(PhonebookResult)
