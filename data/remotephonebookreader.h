#pragma once

#include <QString>
#include <QStringList>

class QXmlStreamReader;
struct RemoteContact;
class RemoteDirectory;
struct RemoteGroup;

// Reads a menu or directory file, and every file its menu items lead to, into a RemoteDirectory.
// The files a menu names are looked up beside the file first imported, whatever host the URLs
// name. One reader serves one import.
class RemotePhonebookReader
{
public:
    explicit RemotePhonebookReader(RemoteDirectory &directory);

    // Whether the path has an XML extension and the file holds a menu or directory element.
    static bool isRemoteFile(const QString &path);
    // Replaces the directory's phonebook; false (phonebook untouched) when the path has no XML
    // extension or the file cannot be opened.
    bool importFile(const QString &path);

    // The file name a menu item's URL points at: its last segment, percent-escapes decoded
    // unless that would leave the folder.
    static QString urlFileName(const QString &url);

private:
    // Where a menu item's file lies: beside the imported file.
    QString itemPath(const QString &url) const;
    bool readFile(const QString &path, RemoteGroup *group, bool topLevel);
    void readMenu(QXmlStreamReader &xml, RemoteGroup *group);
    void readMenuItem(QXmlStreamReader &xml, RemoteGroup *item);
    void readDirectory(QXmlStreamReader &xml, RemoteGroup *group);
    void readDirectoryEntry(QXmlStreamReader &xml, RemoteContact *contact);
    void deriveNumberLabels();

    RemoteDirectory &m_directory; // not owned
    QString m_baseDir;
    // Files being read right now, outermost first: a menu that leads back to one of them is
    // not followed, so every import ends.
    QStringList m_openFiles;
};
