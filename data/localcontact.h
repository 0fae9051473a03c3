#pragma once

#include <QString>

// One contact of the local phonebook. Text fields are named after the XML attribute or CSV column
// that carries them, so the file formats map onto the record one to one.
struct LocalContact
{
    int id = -1;
    // Own group; 0 when the contact belongs to no named group.
    int groupId = -1;
    QString display_name;
    QString office_number;
    QString mobile_number;
    QString other_number;
    // "-1" dials automatically, otherwise the zero-based account index.
    QString line = QStringLiteral("-1");
    QString ring = QStringLiteral("Auto");
    QString default_photo;
    QString selected_photo = QStringLiteral("0");
    QString photo_data;
    // Name of the own group: what links a contact to its group in the files.
    QString group_id_name;
    QString auto_divert;
    QString eyepea_contact_id;
    QString priority;
};
