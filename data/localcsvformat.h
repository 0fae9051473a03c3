#pragma once

#include "data/readresult.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class LocalDirectory;
class QIODevice;

// The local phonebook's CSV file: UTF-8 with a byte-order mark, CR LF line ends, a header line
// naming LocalContactFields::csvColumns(), one line per contact and an empty last line. Fields
// holding a comma, a double quote or a line break are quoted as in RFC 4180; every other field is
// written as it is.
class LocalCsvFormat
{
public:
    // True when the first line is a header, i.e. has a "display_name" column.
    static bool probe(const QByteArray &head);
    // Adds one contact per non-blank line to the (freshly reset) store. With a header the columns
    // are taken by name, without one by the writer's order. UTF-8 unless a byte-order mark says
    // otherwise; invalid bytes read as U+FFFD and NUL bytes are dropped, so every line is read
    // and the result is always Complete.
    static ReadResult read(const QByteArray &content, LocalDirectory &store);
    static bool write(const LocalDirectory &store, QIODevice *device);

    // Splits the record that starts at *pos and moves *pos past its line end; quoted fields may
    // span lines. A field that starts with a quote is quoted only when its closing quote is
    // followed by a comma, a line end or the end of the text; otherwise it is plain text, quotes
    // included. False when *pos is already at the end of the text.
    static bool nextRecord(const QString &text, int *pos, QStringList *fields);
    // The field as the writer puts it into a line.
    static QString quoted(const QString &field);
};
