#pragma once

#include "data/readresult.h"

#include <QHash>
#include <QString>
#include <QVector>

class QXmlStreamReader;
struct RemoteContact;
class RemoteDirectory;
struct RemoteGroup;

// Reads a menu or directory file, and every file its menu items lead to, into a RemoteDirectory.
// The files a menu names are looked up beside the file first imported, whatever host the URLs
// name. One reader serves one import.
//
// Hostile trees are bounded: each file is parsed once per import however often menus name it
// (every reference still gets its own copy of the groups and contacts), the files are read one
// after the other with no file kept open and no recursion, a menu that leads back to a file above
// it is not followed, and an import stops at MaxGroups groups, MaxContacts contacts or menus
// nested MaxDepth deep. Stopping there, like a malformed file or one that exists but cannot be
// read, makes the import PartlyRead (see result()); a file that does not exist leaves its group
// empty without that.
class RemotePhonebookReader
{
public:
    static constexpr int MaxGroups = 20000;
    static constexpr int MaxContacts = 200000;
    // Menu files nested below the imported file.
    static constexpr int MaxDepth = 64;

    explicit RemotePhonebookReader(RemoteDirectory &directory);
    ~RemotePhonebookReader();

    // Whether the path has an XML extension and the file (refused as InputFile refuses) holds a
    // menu or directory element; its encoding is found as the import finds it.
    static bool isRemoteFile(const QString &path);
    // Replaces the directory's phonebook; false (phonebook untouched) when the path has no XML
    // extension or the file cannot be read or is refused (see InputFile).
    bool importFile(const QString &path);
    // NotRead after a false import; after a true one Complete, or PartlyRead naming the first
    // problem: the file, the line (0 when none) and the reason.
    ReadResult result() const { return m_result; }

    // The file name a menu item's URL points at: its last segment, percent-escapes decoded
    // unless that would leave the folder.
    static QString urlFileName(const QString &url);

    struct ParsedFile;

private:
    struct Task;

    // Where a menu item's file lies: beside the imported file.
    QString itemPath(const QString &url) const;
    // The file's content, parsed on first use and kept for the rest of the import.
    const ParsedFile &parsed(const QString &path, const QString &key);
    // Fills the group from the file; the menu items it lists are appended to *items.
    void apply(const ParsedFile &file, RemoteGroup *group, int node, int depth,
               QVector<Task> *items);
    void runItem(const Task &task, QVector<Task> *items);
    RemoteGroup *newGroup();
    bool isAncestor(int node, const QString &key) const;
    void note(const ReadResult &problem);
    void deriveNumberLabels();

    RemoteDirectory &m_directory; // not owned
    QString m_baseDir;
    QString m_topPath;
    QHash<QString, ParsedFile *> m_files; // owned
    // The chain of files that led to each task: a key and the index of the node above it.
    struct Node
    {
        QString key;
        int parent;
    };
    QVector<Node> m_nodes;
    int m_groupCount = 0;
    int m_contactCount = 0;
    bool m_stopped = false;
    ReadResult m_result;
};
