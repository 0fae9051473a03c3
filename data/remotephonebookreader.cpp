#include "data/remotephonebookreader.h"

#include "data/inputfile.h"
#include "data/remotedirectory.h"

#include <QDebug>
#include <QFileInfo>
#include <QXmlStreamReader>

#include <memory>

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

// One file as parsed: what readers of a menu item need to build its groups again and again.
struct RemotePhonebookReader::ParsedFile
{
    enum Kind
    {
        Unreadable,
        NoPhonebook,
        Menu,
        Directory
    };
    // One menu item: its Name and URL elements in file order (a later Name overrides the title
    // of the file the URL led to).
    struct Item
    {
        QVector<QPair<bool, QString>> parts; // (is URL, text)
    };

    Kind kind = NoPhonebook;
    bool hasTitle = false;
    QString title;
    QVector<Item> items;
    QVector<RemoteContact> entries;
    ReadResult problem; // NotRead: unreadable; PartlyRead: parsing stopped early
};

// A menu item still to be turned into a group under parentId, at the given menu depth.
struct RemotePhonebookReader::Task
{
    int parentId;
    const ParsedFile::Item *item;
    int node;
    int depth;
};

namespace {
using ParsedFile = RemotePhonebookReader::ParsedFile;

void parseEntry(QXmlStreamReader &xml, RemoteContact *contact)
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

void parseItem(QXmlStreamReader &xml, ParsedFile::Item *item)
{
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement && xml.name() == QLatin1String("MenuItem"))
            return;
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("Name"))
            item->parts.append({false, elementText(xml)});
        else if (xml.name() == QLatin1String("URL"))
            item->parts.append({true, elementText(xml)});
        else
            xml.skipCurrentElement();
    }
}

// The rest of the file after the menu or directory element began.
void parseBody(QXmlStreamReader &xml, ParsedFile *file)
{
    const bool menu = file->kind == ParsedFile::Menu;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QStringRef name = xml.name();
        if (name == QLatin1String("Title")) {
            file->title = elementText(xml);
            file->hasTitle = true;
        } else if (menu && name == QLatin1String("MenuItem")) {
            file->items.append(ParsedFile::Item());
            parseItem(xml, &file->items.last());
        } else if (!menu && name == QLatin1String("DirectoryEntry")) {
            file->entries.append(RemoteContact());
            parseEntry(xml, &file->entries.last());
        } else {
            xml.skipCurrentElement();
        }
    }
}

void parseFile(const QString &path, ParsedFile *file)
{
    QByteArray bytes;
    QString problem;
    if (!InputFile::read(path, &bytes, &problem)) {
        file->kind = ParsedFile::Unreadable;
        file->problem = ReadResult::failed(ReadResult::NotRead, path, 0, problem);
        return;
    }
    bool converted = false;
    bytes = InputFile::xmlAsUtf8(bytes, &converted);
    const int overfull = InputFile::overfullTag(bytes);
    if (overfull >= 0) {
        file->problem = ReadResult::failed(
            ReadResult::PartlyRead, path, InputFile::lineAt(bytes, overfull),
            QStringLiteral("an element has more than %1 attributes").arg(InputFile::MaxAttributes));
        bytes.truncate(overfull);
    }
    // Text that had to be converted is handed over as text, so that the reader ignores the
    // encoding its declaration names.
    const std::unique_ptr<QXmlStreamReader> xml =
        converted ? std::make_unique<QXmlStreamReader>(QString::fromUtf8(bytes))
                  : std::make_unique<QXmlStreamReader>(bytes);
    bytes.clear();
    while (!xml->atEnd()) {
        if (xml->readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml->name() == QLatin1String("QuelvoxIPPhoneMenu"))
            file->kind = ParsedFile::Menu;
        else if (xml->name() == QLatin1String("QuelvoxIPPhoneDirectory"))
            file->kind = ParsedFile::Directory;
        else
            continue;
        parseBody(*xml, file);
    }
    if (xml->hasError() && file->problem.status == ReadResult::NotRead)
        file->problem =
            ReadResult::failed(ReadResult::PartlyRead, path, xml->lineNumber(), xml->errorString());
}
} // namespace

RemotePhonebookReader::RemotePhonebookReader(RemoteDirectory &directory) : m_directory(directory) {}

RemotePhonebookReader::~RemotePhonebookReader()
{
    qDeleteAll(m_files);
}

bool RemotePhonebookReader::isRemoteFile(const QString &path)
{
    if (!hasXmlExtension(path))
        return false;
    // The phonebook element comes first in any such file: its head decides.
    QByteArray head;
    QString problem;
    if (!InputFile::read(path, &head, &problem, 1024 * 1024, false))
        return false;
    bool converted = false;
    head = InputFile::xmlAsUtf8(head, &converted);
    const std::unique_ptr<QXmlStreamReader> xml =
        converted ? std::make_unique<QXmlStreamReader>(QString::fromUtf8(head))
                  : std::make_unique<QXmlStreamReader>(head);
    while (!xml->atEnd()) {
        if (xml->readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml->name() == QLatin1String("QuelvoxIPPhoneMenu") ||
            xml->name() == QLatin1String("QuelvoxIPPhoneDirectory"))
            return true;
    }
    return false;
}

bool RemotePhonebookReader::importFile(const QString &path)
{
    if (!hasXmlExtension(path)) {
        m_result = ReadResult::failed(ReadResult::NotRead, path, 0,
                                      QStringLiteral("has no .xml extension"));
        return false;
    }
    const QString topKey = canonicalKey(path);
    // Read before the reset, so that a file that cannot be read costs the user nothing.
    const ParsedFile &top = parsed(path, topKey);
    if (top.kind == ParsedFile::Unreadable) {
        qDebug() << "Read Remote file failed:" << path;
        m_result = top.problem;
        return false;
    }
    m_baseDir = QFileInfo(path).absolutePath();
    m_directory.m_baseDir = m_baseDir;
    m_directory.resetToRoot();
    m_topPath = path;
    m_result = ReadResult::complete(path);
    note(top.problem);
    m_nodes.append({topKey, -1});

    QVector<Task> items;
    RemoteGroup *root = m_directory.findGroup(0);
    if (top.kind == ParsedFile::Directory) {
        if (RemoteGroup *directory = newGroup()) {
            directory->parentId = root->id;
            root->childIds.append(directory->id);
            apply(top, directory, 0, 0, &items);
        }
    } else {
        apply(top, root, 0, 0, &items);
    }
    // Depth first in file order, as the files are nested, with an explicit stack.
    QVector<Task> stack;
    for (int i = items.size() - 1; i >= 0; --i)
        stack.append(items.at(i));
    while (!stack.isEmpty() && !m_stopped) {
        const Task task = stack.takeLast();
        items.clear();
        runItem(task, &items);
        for (int i = items.size() - 1; i >= 0; --i)
            stack.append(items.at(i));
    }
    deriveNumberLabels();
    return true;
}

void RemotePhonebookReader::runItem(const Task &task, QVector<Task> *items)
{
    RemoteGroup *group = newGroup();
    if (!group)
        return;
    RemoteGroup *parent = m_directory.findGroup(task.parentId);
    group->parentId = parent->id;
    parent->childIds.append(group->id);
    for (const auto &part : task.item->parts) {
        if (m_stopped)
            return;
        if (!part.first) {
            group->name = part.second;
            continue;
        }
        group->url = part.second;
        const QString path = itemPath(part.second);
        const QString key = canonicalKey(path);
        if (isAncestor(task.node, key)) {
            qDebug() << "Skip Remote file already being read:" << path;
            continue;
        }
        if (task.depth >= MaxDepth) {
            note(ReadResult::failed(
                ReadResult::PartlyRead, path, 0,
                QStringLiteral("menus nested deeper than %1 levels").arg(MaxDepth)));
            continue;
        }
        const ParsedFile &file = parsed(path, key);
        if (file.kind == ParsedFile::Unreadable) {
            qDebug() << "Read Remote file failed:" << path;
            continue;
        }
        m_nodes.append({key, task.node});
        apply(file, group, m_nodes.size() - 1, task.depth + 1, items);
    }
}

void RemotePhonebookReader::apply(const ParsedFile &file, RemoteGroup *group, int node, int depth,
                                  QVector<Task> *items)
{
    if (file.kind == ParsedFile::NoPhonebook)
        return;
    if (file.hasTitle)
        group->name = file.title;
    if (file.kind == ParsedFile::Menu) {
        group->isMenu = true;
        for (const ParsedFile::Item &item : file.items)
            items->append({group->id, &item, node, depth});
        return;
    }
    group->isMenu = false;
    for (const RemoteContact &entry : file.entries) {
        if (m_contactCount >= MaxContacts) {
            note(ReadResult::failed(ReadResult::PartlyRead, QString(), 0,
                                    QStringLiteral("more than %1 contacts").arg(MaxContacts)));
            m_stopped = true;
            return;
        }
        ++m_contactCount;
        RemoteContact *contact = m_directory.createContact();
        const int id = contact->id;
        *contact = entry;
        contact->id = id;
        group->childIds.append(id);
    }
}

RemoteGroup *RemotePhonebookReader::newGroup()
{
    if (m_groupCount >= MaxGroups) {
        note(ReadResult::failed(ReadResult::PartlyRead, QString(), 0,
                                QStringLiteral("more than %1 groups").arg(MaxGroups)));
        m_stopped = true;
        return nullptr;
    }
    ++m_groupCount;
    return m_directory.createGroup();
}

const RemotePhonebookReader::ParsedFile &RemotePhonebookReader::parsed(const QString &path,
                                                                       const QString &key)
{
    const auto it = m_files.constFind(key);
    if (it != m_files.constEnd())
        return **it;
    auto *file = new ParsedFile;
    m_files.insert(key, file);
    parseFile(path, file);
    // Each problem counts once however often menus name the file. A file that is there but
    // cannot be read leaves part of the phonebook unread (and a save would replace it with an
    // empty group); one that does not exist holds nothing, and its group stays empty as before.
    if (file->kind != ParsedFile::Unreadable)
        note(file->problem);
    else if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        note(ReadResult::failed(ReadResult::PartlyRead, path, 0, file->problem.reason));
    return *file;
}

bool RemotePhonebookReader::isAncestor(int node, const QString &key) const
{
    for (int n = node; n >= 0; n = m_nodes.at(n).parent) {
        if (m_nodes.at(n).key == key)
            return true;
    }
    return false;
}

void RemotePhonebookReader::note(const ReadResult &problem)
{
    if (problem.status != ReadResult::PartlyRead || !m_result.isComplete())
        return;
    m_result = problem;
    if (m_result.file.isEmpty())
        m_result.file = m_topPath;
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
