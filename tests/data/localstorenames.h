#pragma once

#include "data/localdirectory.h"
#include "testfiles.h"
#include "testworkdir.h"

#include <QStringList>
#include <QTest>

// Shared helpers of the local store tests.

// The names of a local phonebook's groups and contacts, in store order.
inline QStringList groupNames(const LocalDirectory &store)
{
    QStringList names;
    for (const LocalGroup *group : store.groups())
        names << group->name;
    return names;
}

inline QStringList contactNames(const LocalDirectory &store)
{
    QStringList names;
    for (const LocalContact *contact : store.contacts())
        names << contact->display_name;
    return names;
}

// A store holding Ann Example (office 1001, in "Sales") and Bob Example (mobile 2002, line 0,
// auto divert 3003, in All Contacts), built through the store's own operations.
inline void fillExample(LocalDirectory &store)
{
    store.initDefaultGroup();
    store.renameGroup(store.addGroup()->id, QStringLiteral("Sales"));
    LocalContact *ann = nullptr;
    store.addContact(2, &ann);
    LocalContact *bob = nullptr;
    store.addContact(0, &bob);
    LocalContact fields;
    fields.display_name = QStringLiteral("Ann Example");
    fields.office_number = QStringLiteral("1001");
    store.updateContact(ann->id, fields);
    fields = LocalContact();
    fields.display_name = QStringLiteral("Bob Example");
    fields.mobile_number = QStringLiteral("2002");
    fields.line = QStringLiteral("0");
    fields.auto_divert = QStringLiteral("3003");
    store.updateContact(bob->id, fields);
}

// Gives every field of the contact a value of its own: the text itself as its name, the text and
// a number in the other texts, and the line number given.
inline void setEveryField(LocalContact &c, const QString &text, int line)
{
    c.display_name = text;
    c.line = QString::number(line);
    QString *const fields[] = {
        &c.office_number,  &c.mobile_number, &c.other_number,      &c.ring,     &c.default_photo,
        &c.selected_photo, &c.auto_divert,   &c.eyepea_contact_id, &c.priority, &c.photo_data};
    int n = 0;
    for (QString *field : fields)
        *field = text + QString::number(++n);
}

// Imports the bytes as a file of the given name (its extension picks the format).
inline void importBytes(const QByteArray &bytes, LocalDirectory &store,
                        const QString &name = QStringLiteral("in.csv"))
{
    TestWorkDir dir;
    const QString path = dir.filePath(name);
    QVERIFY(writeFile(path, bytes));
    QVERIFY(store.importFile(path));
}
