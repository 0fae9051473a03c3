#pragma once

#include "data/localcontact.h"

#include <QLatin1String>
#include <QStringList>
#include <QVector>

// The text fields of a local contact under the one name each carries everywhere: the record's
// member, the XML attribute and the CSV column. Defined once for the file formats, the commands
// and the tests.
class LocalContactFields
{
public:
    struct Field
    {
        QLatin1String name;
        QString LocalContact::*member = nullptr;
    };

    LocalContactFields() = delete;

    // Every text field, in the record's order.
    static const QVector<Field> &all();
    // The attributes of a contact element, in the order the writer puts them; auto_divert is
    // written only when it is not empty.
    static const QVector<Field> &xmlAttributes();
    // The columns of a CSV line in the writer's order, which is also how a line of a file
    // without a header is read.
    static const QVector<Field> &csvColumns();
    static QStringList names(const QVector<Field> &fields);
};
