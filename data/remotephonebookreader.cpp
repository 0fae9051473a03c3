#include "data/remotephonebookreader.h"

#include "data/remotedirectory.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

namespace {
bool hasXmlExtension(const QString &path)
{
    return path.contains(QLatin1String(".xml")) || path.contains(QLatin1String(".XML"));
}

int hexValue(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// Decodes %XX escapes as UTF-8; a "%" not followed by two hex digits stays as it is.
QString percentDecoded(const QString &text)
{
    if (!text.contains(QLatin1Char('%')))
        return text;
    QByteArray bytes;
    bytes.reserve(text.size());
    int plainStart = 0;
    for (int i = 0; i < text.size();) {
        if (text.at(i) == QLatin1Char('%') && i + 2 < text.size()) {
            const int high = hexValue(text.at(i + 1));
            const int low = hexValue(text.at(i + 2));
            if (high >= 0 && low >= 0) {
                bytes += text.midRef(plainStart, i - plainStart).toUtf8();
                bytes += char(high * 16 + low);
                i += 3;
                plainStart = i;
                continue;
            }
        }
        ++i;
    }
    bytes += text.midRef(plainStart).toUtf8();
    return QString::fromUtf8(bytes);
}

QString elementText(QXmlStreamReader &xml)
{
    return xml.readElementText(QXmlStreamReader::SkipChildElements);
}

QString canonicalKey(const QString &path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}
} // namespace

RemotePhonebookReader::RemotePhonebookReader(RemoteDirectory &directory) : m_directory(directory) {}

bool RemotePhonebookReader::isRemoteFile(const QString &path)
{
    if (!hasXmlExtension(path))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("QuelvoxIPPhoneMenu") ||
            xml.name() == QLatin1String("QuelvoxIPPhoneDirectory"))
            return true;
    }
    return false;
}

bool RemotePhonebookReader::importFile(const QString &path)
{
    if (!hasXmlExtension(path))
        return false;
    {
        // Checked before the reset, so a file that cannot be read costs the user nothing.
        QFile probe(path);
        if (!probe.open(QIODevice::ReadOnly)) {
            qDebug() << "Read Remote file failed:" << path;
            return false;
        }
    }
    m_baseDir = QFileInfo(path).absolutePath();
    m_directory.m_baseDir = m_baseDir;
    m_directory.resetToRoot();
    readFile(path, m_directory.findGroup(0), true);
    deriveNumberLabels();
    return true;
}

QString RemotePhonebookReader::urlFileName(const QString &url)
{
    const QString segment = url.mid(url.lastIndexOf(QLatin1Char('/')) + 1);
    const QString decoded = percentDecoded(segment);
    // An escaped slash or a bare ".." must not lead out of the phonebook's folder.
    if (decoded.contains(QLatin1Char('/')) || decoded.contains(QLatin1Char('\\')) ||
        decoded.contains(QChar(0)) || decoded == QLatin1String("..") ||
        decoded == QLatin1String("."))
        return segment;
    return decoded;
}

QString RemotePhonebookReader::itemPath(const QString &url) const
{
    const QString decoded = m_baseDir + QLatin1Char('/') + urlFileName(url);
    if (QFileInfo::exists(decoded))
        return decoded;
    // Files named with a literal "%" by other tools keep working.
    const QString raw =
        m_baseDir + QLatin1Char('/') + url.mid(url.lastIndexOf(QLatin1Char('/')) + 1);
    return QFileInfo::exists(raw) ? raw : decoded;
}

bool RemotePhonebookReader::readFile(const QString &path, RemoteGroup *group, bool topLevel)
{
    if (!group)
        return false;
    const QString key = canonicalKey(path);
    if (m_openFiles.contains(key)) {
        qDebug() << "Skip Remote file already being read:" << path;
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qDebug() << "Read Remote file failed:" << path;
        return false;
    }
    m_openFiles.append(key);
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("QuelvoxIPPhoneMenu")) {
            readMenu(xml, group);
        } else if (xml.name() == QLatin1String("QuelvoxIPPhoneDirectory")) {
            if (topLevel) {
                RemoteGroup *directory = m_directory.createGroup();
                directory->parentId = group->id;
                group->childIds.append(directory->id);
                readDirectory(xml, directory);
            } else {
                readDirectory(xml, group);
            }
        }
    }
    m_openFiles.removeLast();
    return true;
}

void RemotePhonebookReader::readMenu(QXmlStreamReader &xml, RemoteGroup *group)
{
    group->isMenu = true;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("Title")) {
            group->name = elementText(xml);
        } else if (xml.name() == QLatin1String("MenuItem")) {
            RemoteGroup *item = m_directory.createGroup();
            readMenuItem(xml, item);
            item->parentId = group->id;
            group->childIds.append(item->id);
        } else {
            xml.skipCurrentElement();
        }
    }
}

void RemotePhonebookReader::readMenuItem(QXmlStreamReader &xml, RemoteGroup *item)
{
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement && xml.name() == QLatin1String("MenuItem"))
            return;
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("Name")) {
            item->name = elementText(xml);
        } else if (xml.name() == QLatin1String("URL")) {
            item->url = elementText(xml);
            readFile(itemPath(item->url), item, false);
        } else {
            xml.skipCurrentElement();
        }
    }
}

void RemotePhonebookReader::readDirectory(QXmlStreamReader &xml, RemoteGroup *group)
{
    group->isMenu = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("Title")) {
            group->name = elementText(xml);
        } else if (xml.name() == QLatin1String("DirectoryEntry")) {
            RemoteContact *contact = m_directory.createContact();
            readDirectoryEntry(xml, contact);
            group->childIds.append(contact->id);
        } else {
            xml.skipCurrentElement();
        }
    }
}

void RemotePhonebookReader::readDirectoryEntry(QXmlStreamReader &xml, RemoteContact *contact)
{
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement && xml.name() == QLatin1String("DirectoryEntry"))
            return;
        if (token != QXmlStreamReader::StartElement)
            continue;
        const QStringRef name = xml.name();
        if (name == QLatin1String("Name")) {
            contact->name = elementText(xml);
        } else if (name == QLatin1String("Telephone") || name == QLatin1String("Extra")) {
            LabeledValue entry;
            entry.label = xml.attributes().value(QLatin1String("label")).toString();
            const bool isNumber = name == QLatin1String("Telephone");
            entry.value = elementText(xml);
            (isNumber ? contact->numbers : contact->extras).append(entry);
        } else if (name == QLatin1String("Custom_photo")) {
            contact->customPhoto = elementText(xml);
        } else {
            xml.skipCurrentElement();
        }
    }
}

void RemotePhonebookReader::deriveNumberLabels()
{
    // Once over the whole phonebook, from the defaults: a label becomes phonebook-wide only when
    // every contact that has that position carries it, so a save writes each number's own label.
    bool present[3] = {false, false, false};
    bool shared[3] = {false, false, false};
    QString first[3];
    bool firstSeen = false;
    for (const auto &entry : m_directory.m_contacts) {
        const QVector<LabeledValue> &numbers = entry.second->numbers;
        const int count = std::min(3, numbers.size());
        if (!firstSeen) {
            firstSeen = true;
            for (int p = 0; p < count; ++p) {
                present[p] = true;
                shared[p] = true;
                first[p] = numbers.at(p).label;
            }
            continue;
        }
        for (int p = 0; p < count; ++p) {
            if (shared[p] && numbers.at(p).label != first[p])
                shared[p] = false;
        }
    }
    for (int p = 0; p < 3; ++p) {
        m_directory.m_numberLabels[p] = present[p] && shared[p] && !first[p].isEmpty()
                                            ? first[p]
                                            : RemoteDirectory::defaultNumberLabel(p);
    }
}
