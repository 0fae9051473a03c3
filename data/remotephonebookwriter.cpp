#include "data/remotephonebookwriter.h"

#include "data/atomicfileset.h"
#include "data/remotedirectory.h"

#include <QDebug>
#include <QFileInfo>
#include <QSet>
#include <QUrl>

namespace {
// The longest file-name part in UTF-8 bytes: with prefix, suffix "_N" and ".xml" it stays
// well below 255.
const int maxPartBytes = 200;

// XML text as Qt's stream writer escapes it; carriage returns become references so that they
// survive a read, and characters XML 1.0 cannot carry are left out rather than making the
// whole file unreadable.
void appendEscaped(QByteArray &out, const QString &text, bool attribute)
{
    QString escaped;
    escaped.reserve(text.size() + 8);
    for (const QChar c : text) {
        const ushort u = c.unicode();
        switch (u) {
        case '<':
            escaped += QLatin1String("&lt;");
            break;
        case '>':
            escaped += QLatin1String("&gt;");
            break;
        case '&':
            escaped += QLatin1String("&amp;");
            break;
        case '"':
            escaped += QLatin1String("&quot;");
            break;
        case '\r':
            escaped += QLatin1String("&#13;");
            break;
        case '\t':
        case '\n':
            if (attribute)
                escaped += u == '\t' ? QLatin1String("&#9;") : QLatin1String("&#10;");
            else
                escaped += c;
            break;
        default:
            if (u < 0x20 || u == 0xFFFE || u == 0xFFFF)
                break;
            escaped += c;
        }
    }
    out += escaped.toUtf8();
}

void appendTextElement(QByteArray &out, const char *tag, const QString &text)
{
    out += '<';
    out += tag;
    out += '>';
    appendEscaped(out, text, false);
    out += "</";
    out += tag;
    out += ">\n";
}

void appendLabeled(QByteArray &out, const char *tag, const QString &label, const QString &value)
{
    out += '<';
    out += tag;
    if (!label.isEmpty()) {
        out += " label=\"";
        appendEscaped(out, label, true);
        out += '"';
    }
    out += '>';
    appendEscaped(out, value, false);
    out += "</";
    out += tag;
    out += ">\n";
}

bool isUnsafeFileNameChar(QChar c)
{
    const ushort u = c.unicode();
    if (u < 0x20 || u == 0x7F)
        return true;
    switch (u) {
    case '/':
    case '\\':
    case ':':
    case '*':
    case '?':
    case '"':
    case '<':
    case '>':
    case '|':
        return true;
    default:
        return false;
    }
}
} // namespace

RemotePhonebookWriter::RemotePhonebookWriter(const RemoteDirectory &directory,
                                             const QString &baseUrl)
    : m_directory(directory), m_baseUrl(baseUrl)
{
    directory.getNumberLabels(m_numberLabels[0], m_numberLabels[1], m_numberLabels[2]);
}

QString RemotePhonebookWriter::safeFileNamePart(const QString &name)
{
    QString part;
    part.reserve(name.size());
    int bytes = 0;
    for (int i = 0; i < name.size(); ++i) {
        QChar c = name.at(i);
        int width = c.unicode() < 0x80 ? 1 : c.unicode() < 0x800 ? 2 : 3;
        const bool pair =
            c.isHighSurrogate() && i + 1 < name.size() && name.at(i + 1).isLowSurrogate();
        if (pair) {
            width = 4;
        } else if (c.isSurrogate() || isUnsafeFileNameChar(c)) {
            c = QLatin1Char('_');
            width = 1;
        }
        if (bytes + width > maxPartBytes)
            break;
        bytes += width;
        part += c;
        if (pair)
            part += name.at(++i);
    }
    return part;
}

QString RemotePhonebookWriter::groupFileName(const QString &part)
{
    return QStringLiteral("RemotePhoneBook_") + part + QStringLiteral(".xml");
}

QString RemotePhonebookWriter::urlEncodedFileName(const QString &fileName)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(fileName));
}

void RemotePhonebookWriter::assignFileNames(const QString &reservedFileName)
{
    m_fileNames.clear();
    // Compared without case, so the files stay apart on case-insensitive file systems too; the
    // chosen path's name is reserved so that no group file overwrites the top file.
    QSet<QString> taken;
    if (!reservedFileName.isEmpty())
        taken.insert(reservedFileName.toCaseFolded());
    for (const int id : m_directory.groupIds()) {
        if (id == 0)
            continue;
        const QString base = safeFileNamePart(m_directory.findGroup(id)->name);
        QString part = base;
        for (int i = 1; taken.contains(groupFileName(part).toCaseFolded()); ++i)
            part = base + QLatin1Char('_') + QString::number(i);
        taken.insert(groupFileName(part).toCaseFolded());
        m_fileNames.insert(id, part);
    }
}

QString RemotePhonebookWriter::fileNamePart(const RemoteGroup &group) const
{
    const auto it = m_fileNames.constFind(group.id);
    return it != m_fileNames.constEnd() ? *it : safeFileNamePart(group.name);
}

QByteArray RemotePhonebookWriter::groupDocument(const RemoteGroup &group) const
{
    QByteArray out;
    if (group.isMenu) {
        out += "<QuelvoxIPPhoneMenu>\n";
        appendTextElement(out, "Title", group.name);
        for (const int childId : group.childIds) {
            const RemoteGroup *child = m_directory.findGroup(childId);
            if (!child)
                continue;
            out += "<MenuItem>\n";
            appendTextElement(out, "Name", child->name);
            appendTextElement(out, "URL",
                              m_baseUrl + urlEncodedFileName(groupFileName(fileNamePart(*child))));
            out += "</MenuItem>\n";
        }
        out += "</QuelvoxIPPhoneMenu>\n";
        return out;
    }
    out += "<QuelvoxIPPhoneDirectory>\n";
    appendTextElement(out, "Title", group.name);
    for (const int childId : group.childIds) {
        const RemoteContact *contact = m_directory.findContact(childId);
        if (!contact)
            continue;
        out += "<DirectoryEntry>\n";
        appendTextElement(out, "Name", contact->name);
        if (!contact->customPhoto.isEmpty())
            appendTextElement(out, "Custom_photo", contact->customPhoto);
        for (int i = 0; i < contact->numbers.size(); ++i) {
            const LabeledValue &number = contact->numbers.at(i);
            const bool shared =
                i < 3 && m_numberLabels[i] != RemoteDirectory::defaultNumberLabel(i);
            appendLabeled(out, "Telephone", shared ? m_numberLabels[i] : number.label,
                          number.value);
        }
        for (const LabeledValue &extra : contact->extras)
            appendLabeled(out, "Extra", extra.label, extra.value);
        out += "</DirectoryEntry>\n";
    }
    out += "</QuelvoxIPPhoneDirectory>\n";
    return out;
}

bool RemotePhonebookWriter::writeGroupFile(const RemoteGroup &group, const QString &path,
                                           AtomicFileSet *files)
{
    const QString target =
        path.isEmpty() ? m_baseDir + QLatin1Char('/') + groupFileName(fileNamePart(group)) : path;
    qDebug() << "Save Remote File:" << target;
    return files->addFile(target, groupDocument(group));
}

bool RemotePhonebookWriter::save(const QString &path)
{
    qDebug() << "Save RemoteContact File:" << path;
    m_error.clear();
    const QFileInfo chosen(path);
    m_baseDir = chosen.absolutePath();
    qDebug() << "Save RemoteContact Url:" << m_baseUrl;
    assignFileNames(chosen.fileName());

    const RemoteGroup *root = m_directory.findGroup(0);
    const int singleTopId = root && root->childIds.size() == 1 ? root->childIds.first() : -1;
    // Every file is staged first and all are put in place together, so that a phone never
    // fetches a menu whose directory files belong to another save, and a failed save changes
    // nothing.
    AtomicFileSet files;
    for (const int id : m_directory.groupIds()) {
        const RemoteGroup &group = *m_directory.findGroup(id);
        bool written = true;
        if (id == 0) {
            if (singleTopId == -1)
                written = writeGroupFile(group, path, &files);
        } else if (id == singleTopId) {
            written = writeGroupFile(group, path, &files);
        } else {
            written = writeGroupFile(group, QString(), &files);
        }
        if (!written)
            break;
    }
    if (files.commit())
        return true;
    m_error = files.errorString();
    const QStringList unrestored = files.unrestoredFiles();
    if (!unrestored.isEmpty())
        m_error += QStringLiteral("; not restored: ") + unrestored.join(QStringLiteral(", "));
    else
        m_error += QStringLiteral("; no file was changed");
    qDebug() << "Save remote phonebook failed:" << m_error;
    return false;
}
