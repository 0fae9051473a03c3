#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

class AtomicFileSet;
class RemoteDirectory;
struct RemoteGroup;

// Writes a remote phonebook as files a phone can fetch: the top of the tree to the chosen path,
// every other group to "RemotePhoneBook_<name>.xml" beside it, menu items pointing at
// baseUrl + that file name. Files carry no declaration and no indentation, one element a line.
class RemotePhonebookWriter
{
public:
    RemotePhonebookWriter(const RemoteDirectory &directory, const QString &baseUrl);

    // Writes every group, all files or none: on false every file is as it was before, except
    // those error() lists as not restored (only when the system refuses to put them back).
    bool save(const QString &path);

    QString baseDir() const { return m_baseDir; }
    // The first file that could not be written and why ("RemotePhoneBook_Sales.xml: No space
    // left on device; no file was changed"); empty after a complete save.
    QString error() const { return m_error; }
    // File-name part of every group but the root, as assigned by the last save().
    QMap<int, QString> fileNames() const { return m_fileNames; }

    // The group's name with the characters no common file system takes replaced by "_",
    // shortened so that the whole file name stays within the usual 255-byte limit.
    static QString safeFileNamePart(const QString &name);
    // "RemotePhoneBook_" + part + ".xml"
    static QString groupFileName(const QString &part);
    // The file name as it goes into a URL: UTF-8, percent-encoded except letters, digits, "-",
    // "_", "." and "~".
    static QString urlEncodedFileName(const QString &fileName);

    // The content of the group's file (menu or directory), as written by save().
    QByteArray groupDocument(const RemoteGroup &group) const;

private:
    void assignFileNames(const QString &reservedFileName);
    QString fileNamePart(const RemoteGroup &group) const;
    bool writeGroupFile(const RemoteGroup &group, const QString &path, AtomicFileSet *files);

    const RemoteDirectory &m_directory; // not owned
    QString m_baseUrl;
    QString m_baseDir;
    QString m_numberLabels[3];
    QMap<int, QString> m_fileNames;
    QString m_error;
};
