#include "data/localcsvformat.h"

#include "data/inputfile.h"
#include "data/localcontact.h"
#include "data/localcontactfields.h"
#include "data/localdirectory.h"

#include <QIODevice>
#include <QVector>

#include <memory>

namespace {
using Field = QString LocalContact::*;

// Flushes the output in pieces of about this size, so a large phonebook needs no second copy.
constexpr int writeChunk = 256 * 1024;

// NUL bytes (left by broken exports) carry nothing and are dropped; the text after them stays.
QString decoded(const QByteArray &content)
{
    QString text = InputFile::decodeText(content);
    if (text.contains(QChar(0)))
        text.remove(QChar(0));
    return text;
}

// A header names the name column somewhere.
bool isHeader(const QStringList &fields)
{
    const QLatin1String nameColumn = LocalContactFields::csvColumns().constFirst().name;
    for (const QString &field : fields) {
        if (field.trimmed() == nameColumn)
            return true;
    }
    return false;
}

bool isBlank(const QStringList &fields)
{
    return fields.size() == 1 && fields.first().trimmed().isEmpty();
}

// True at a line end: LF, or CR directly followed by LF. A lone CR is data.
bool atLineEnd(const QString &text, int pos)
{
    const QChar c = text.at(pos);
    return c == QLatin1Char('\n') || (c == QLatin1Char('\r') && pos + 1 < text.size() &&
                                      text.at(pos + 1) == QLatin1Char('\n'));
}

// True when a quoted field may close at pos: a separator, a line end or the end follows.
bool closesField(const QString &text, int pos)
{
    return pos >= text.size() || text.at(pos) == QLatin1Char(',') || atLineEnd(text, pos);
}

bool writeAll(QIODevice *device, const QByteArray &bytes)
{
    return device->write(bytes) == bytes.size();
}
} // namespace

bool LocalCsvFormat::nextRecord(const QString &text, int *pos, QStringList *fields)
{
    fields->clear();
    int p = *pos;
    const int size = text.size();
    if (p >= size)
        return false;
    for (;;) {
        QString field;
        bool done = false;
        if (p < size && text.at(p) == QLatin1Char('"')) {
            int q = p + 1;
            while (q < size) {
                if (text.at(q) == QLatin1Char('"')) {
                    if (q + 1 < size && text.at(q + 1) == QLatin1Char('"')) {
                        field += QLatin1Char('"');
                        q += 2;
                        continue;
                    }
                    done = true;
                    ++q;
                    break;
                }
                field += text.at(q);
                ++q;
            }
            // A field is quoted only when its closing quote ends it. Otherwise the quote is a
            // stray one (older files wrote values as they were): the field is plain text, so
            // that it neither swallows the lines after it nor loses its quotes.
            if (done && closesField(text, q))
                p = q;
            else
                done = false;
        }
        if (!done) {
            const int start = p;
            while (p < size && text.at(p) != QLatin1Char(',') && !atLineEnd(text, p))
                ++p;
            field = text.mid(start, p - start);
        }
        fields->append(field);
        if (p < size && text.at(p) == QLatin1Char(',')) {
            ++p;
            continue;
        }
        if (p < size)
            p += text.at(p) == QLatin1Char('\r') ? 2 : 1;
        break;
    }
    *pos = p;
    return true;
}

QString LocalCsvFormat::quoted(const QString &field)
{
    for (const QChar c : field) {
        if (c == QLatin1Char(',') || c == QLatin1Char('"') || c == QLatin1Char('\r') ||
            c == QLatin1Char('\n')) {
            QString escaped = field;
            escaped.replace(QLatin1Char('"'), QLatin1String("\"\""));
            return QLatin1Char('"') + escaped + QLatin1Char('"');
        }
    }
    return field;
}

bool LocalCsvFormat::probe(const QByteArray &head)
{
    const QString text = decoded(head);
    int pos = 0;
    QStringList fields;
    return nextRecord(text, &pos, &fields) && isHeader(fields);
}

ReadResult LocalCsvFormat::read(const QByteArray &content, LocalDirectory &store)
{
    const QString text = decoded(content);
    int pos = 0;
    QStringList fields;
    const QVector<LocalContactFields::Field> &csvColumns = LocalContactFields::csvColumns();
    QVector<Field> columns;
    for (const LocalContactFields::Field &field : csvColumns)
        columns.append(field.member);
    bool first = true;
    while (nextRecord(text, &pos, &fields)) {
        if (first) {
            first = false;
            if (isHeader(fields)) {
                // Other tools order and choose columns freely: map them by name, ignoring
                // unknown ones and keeping the first of a repeated name.
                const QStringList names = LocalContactFields::names(csvColumns);
                columns.fill(nullptr, fields.size());
                QVector<bool> taken(csvColumns.size(), false);
                for (int i = 0; i < fields.size(); ++i) {
                    const int known = names.indexOf(fields.at(i).trimmed());
                    if (known >= 0 && !taken[known]) {
                        taken[known] = true;
                        columns[i] = csvColumns.at(known).member;
                    }
                }
                continue;
            }
        }
        if (isBlank(fields))
            continue;
        auto contact = std::make_unique<LocalContact>();
        const int used = qMin(fields.size(), columns.size());
        for (int i = 0; i < used; ++i) {
            if (columns.at(i))
                (*contact).*columns.at(i) = fields.at(i);
        }
        store.appendContact(std::move(contact));
    }
    return ReadResult::complete(QString());
}

bool LocalCsvFormat::write(const LocalDirectory &store, QIODevice *device)
{
    QString chunk;
    chunk.reserve(writeChunk + 4096);
    chunk += QChar(0xFEFF);
    const QVector<LocalContactFields::Field> &csvColumns = LocalContactFields::csvColumns();
    chunk += LocalContactFields::names(csvColumns).join(QLatin1Char(','));
    chunk += QLatin1String("\r\n");
    for (const LocalContact *contact : store.contacts()) {
        for (int i = 0; i < csvColumns.size(); ++i) {
            if (i > 0)
                chunk += QLatin1Char(',');
            chunk += quoted((*contact).*csvColumns.at(i).member);
        }
        chunk += QLatin1String("\r\n");
        if (chunk.size() >= writeChunk) {
            if (!writeAll(device, chunk.toUtf8()))
                return false;
            chunk.clear();
        }
    }
    chunk += QLatin1String("\r\n");
    return writeAll(device, chunk.toUtf8());
}
