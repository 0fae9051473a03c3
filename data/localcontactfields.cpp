#include "data/localcontactfields.h"

namespace {
using C = LocalContact;
using F = LocalContactFields::Field;

const F displayName{QLatin1String("display_name"), &C::display_name};
const F officeNumber{QLatin1String("office_number"), &C::office_number};
const F mobileNumber{QLatin1String("mobile_number"), &C::mobile_number};
const F otherNumber{QLatin1String("other_number"), &C::other_number};
const F line{QLatin1String("line"), &C::line};
const F ring{QLatin1String("ring"), &C::ring};
const F defaultPhoto{QLatin1String("default_photo"), &C::default_photo};
const F selectedPhoto{QLatin1String("selected_photo"), &C::selected_photo};
const F photoData{QLatin1String("photo_data"), &C::photo_data};
const F groupIdName{QLatin1String("group_id_name"), &C::group_id_name};
const F autoDivert{QLatin1String("auto_divert"), &C::auto_divert};
const F eyepeaContactId{QLatin1String("eyepea_contact_id"), &C::eyepea_contact_id};
const F priority{QLatin1String("priority"), &C::priority};
} // namespace

const QVector<LocalContactFields::Field> &LocalContactFields::all()
{
    static const QVector<Field> fields{displayName, officeNumber, mobileNumber, otherNumber,
                                       line,        ring,         defaultPhoto, selectedPhoto,
                                       photoData,   groupIdName,  autoDivert,   eyepeaContactId,
                                       priority};
    return fields;
}

const QVector<LocalContactFields::Field> &LocalContactFields::xmlAttributes()
{
    static const QVector<Field> fields{displayName,   officeNumber, mobileNumber,   otherNumber,
                                       line,          ring,         groupIdName,    defaultPhoto,
                                       selectedPhoto, autoDivert,   eyepeaContactId};
    return fields;
}

const QVector<LocalContactFields::Field> &LocalContactFields::csvColumns()
{
    static const QVector<Field> fields{displayName, officeNumber, mobileNumber, otherNumber,
                                       line,        ring,         autoDivert,   priority,
                                       groupIdName, defaultPhoto, photoData};
    return fields;
}

QStringList LocalContactFields::names(const QVector<Field> &fields)
{
    QStringList result;
    result.reserve(fields.size());
    for (const Field &field : fields)
        result.append(field.name);
    return result;
}
