#include "data/localxmlformat.h"

#include "data/inputfile.h"
#include "data/localcontact.h"
#include "data/localcontactfields.h"
#include "data/localdirectory.h"
#include "data/localgroup.h"

#include <QDebug>
#include <QIODevice>
#include <QLatin1String>
#include <QStringList>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <memory>

namespace {

bool isPhonebookElement(const QStringRef &name)
{
    return name == QLatin1String("group") || name == QLatin1String("contact");
}

bool scanForPhonebookElement(QXmlStreamReader &reader)
{
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement &&
            isPhonebookElement(reader.name()))
            return true;
    }
    return false;
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Index just past the end marker searched from `from`, or -1.
int skipPast(const QByteArray &text, int from, const char *end)
{
    const int at = text.indexOf(end, from);
    return at < 0 ? -1 : at + static_cast<int>(qstrlen(end));
}

// A DOCTYPE may carry an internal subset in brackets, which may itself hold '>'.
int skipDoctype(const QByteArray &text, int from)
{
    bool inSubset = false;
    for (int i = from; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c == '[')
            inSubset = true;
        else if (c == ']')
            inSubset = false;
        else if (c == '>' && !inSubset)
            return i + 1;
    }
    return -1;
}
// XML 1.0 cannot carry C0 controls other than tab, LF and CR, nor U+FFFE/U+FFFF or unpaired
// surrogates; the stream writer refuses them. Dropping them keeps the rest of the phonebook.
QString xmlSafe(const QString &value)
{
    const auto bad = [&value](int i) {
        const ushort c = value.at(i).unicode();
        if (c < 0x20)
            return c != 0x09 && c != 0x0A && c != 0x0D;
        if (c == 0xFFFE || c == 0xFFFF)
            return true;
        if (QChar::isHighSurrogate(c))
            return i + 1 >= value.size() || !value.at(i + 1).isLowSurrogate();
        if (QChar::isLowSurrogate(c))
            return i == 0 || !value.at(i - 1).isHighSurrogate();
        return false;
    };
    int i = 0;
    while (i < value.size() && !bad(i))
        ++i;
    if (i == value.size())
        return value;
    QString result = value.left(i);
    for (; i < value.size(); ++i) {
        if (!bad(i))
            result.append(value.at(i));
    }
    return result;
}
} // namespace

QByteArray LocalXmlFormat::wrappedText(const QByteArray &content)
{
    // Works on the bytes: the markers are ASCII, which never occurs inside a UTF-8 sequence,
    // and the reader then decodes the text once.
    int pos = content.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    QByteArray wrapped;
    wrapped.reserve(content.size() + 16);
    // The prolog (declaration, comments, processing instructions, document type) may not stand
    // inside an element: it goes first, without the declaration, so that the text is always
    // read as UTF-8 whatever encoding the declaration names. Line ends stay where they were, so
    // that the reader's line numbers are the file's.
    for (;;) {
        int next = pos;
        while (next < content.size() && isSpace(content.at(next)))
            ++next;
        const char *at = content.constData() + next;
        int end = -1;
        if (qstrncmp(at, "<?xml", 5) == 0 &&
            (next + 5 >= content.size() || isSpace(at[5]) || at[5] == '?')) {
            end = skipPast(content, next + 5, "?>");
            if (end >= 0) {
                wrapped.append(QByteArray(content.mid(pos, end - pos).count('\n'), '\n'));
                pos = end; // dropped
                continue;
            }
        } else if (qstrncmp(at, "<!--", 4) == 0) {
            end = skipPast(content, next + 4, "-->");
        } else if (qstrncmp(at, "<?", 2) == 0) {
            end = skipPast(content, next + 2, "?>");
        } else if (qstrncmp(at, "<!DOCTYPE", 9) == 0) {
            end = skipDoctype(content, next);
        }
        if (end < 0)
            break;
        wrapped.append(content.constData() + pos, end - pos);
        pos = end;
    }
    wrapped += "<root>";
    wrapped.append(content.constData() + pos, content.size() - pos);
    wrapped += "</root>";
    return wrapped;
}

QString LocalXmlFormat::joinedText(const QByteArray &content)
{
    QStringList lines = InputFile::decodeText(content).split(QLatin1Char('\n'));
    QString joined;
    for (int i = 0; i < lines.size(); ++i) {
        QString &line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        joined += line;
        if (i == 0)
            joined += QLatin1String("<root>");
    }
    joined += QLatin1String("<root/>");
    return joined;
}

bool LocalXmlFormat::probe(const QByteArray &content)
{
    QXmlStreamReader wrapped(wrappedText(InputFile::xmlAsUtf8(content)));
    if (scanForPhonebookElement(wrapped))
        return true;
    QXmlStreamReader joined(joinedText(content));
    return scanForPhonebookElement(joined);
}

ReadResult LocalXmlFormat::read(const QByteArray &content, LocalDirectory &store)
{
    QByteArray text = InputFile::xmlAsUtf8(content);
    // Qt's reader takes time quadratic in the attributes of one element: stop before such a one.
    ReadResult result = ReadResult::complete(QString());
    const int overfull = InputFile::overfullTag(text);
    if (overfull >= 0) {
        result = ReadResult::failed(
            ReadResult::PartlyRead, QString(), InputFile::lineAt(text, overfull),
            QStringLiteral("an element has more than %1 attributes").arg(InputFile::MaxAttributes));
        text.truncate(overfull);
    }
    QXmlStreamReader reader(wrappedText(text));
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QStringRef name = reader.name();
        if (name == QLatin1String("group")) {
            const QString groupName =
                reader.attributes().value(QLatin1String("display_name")).toString();
            // A nameless group could never be told apart; its contacts go to "All Contacts".
            if (!groupName.isEmpty() && !store.hasGroupNamed(groupName))
                store.appendGroup(groupName);
        } else if (name == QLatin1String("contact")) {
            auto contact = std::make_unique<LocalContact>();
            // A missing attribute reads as empty text, not as the record's default.
            const QVector<LocalContactFields::Field> &known = LocalContactFields::xmlAttributes();
            for (const LocalContactFields::Field &field : known)
                ((*contact).*field.member).clear();
            const QXmlStreamAttributes attributes = reader.attributes();
            for (const QXmlStreamAttribute &attribute : attributes) {
                const QStringRef attributeName = attribute.name();
                for (const LocalContactFields::Field &field : known) {
                    if (attributeName == field.name) {
                        (*contact).*field.member = attribute.value().toString();
                        break;
                    }
                }
            }
            store.appendContact(std::move(contact));
        }
    }
    if (reader.hasError() && result.isComplete())
        result = ReadResult::failed(ReadResult::PartlyRead, QString(), reader.lineNumber(),
                                    reader.errorString());
    return result;
}

bool LocalXmlFormat::write(const LocalDirectory &store, QIODevice *device)
{
    QXmlStreamWriter writer(device);
    writer.setCodec("UTF-8");
    writer.setAutoFormatting(true);
    writer.setAutoFormattingIndent(4);
    writer.writeStartDocument();

    writer.writeStartElement(QStringLiteral("root_group"));
    for (const LocalGroup *group : store.groups()) {
        writer.writeEmptyElement(QStringLiteral("group"));
        writer.writeAttribute(QStringLiteral("display_name"), xmlSafe(group->name));
    }
    writer.writeEndElement();

    writer.writeStartElement(QStringLiteral("root_contact"));
    for (const LocalContact *contact : store.contacts()) {
        writer.writeEmptyElement(QStringLiteral("contact"));
        for (const LocalContactFields::Field &field : LocalContactFields::xmlAttributes()) {
            const QString &value = (*contact).*field.member;
            if (field.member == &LocalContact::auto_divert && value.isEmpty())
                continue;
            writer.writeAttribute(field.name, xmlSafe(value));
        }
    }
    writer.writeEndElement();
    writer.writeEndDocument();
    return !writer.hasError();
}
