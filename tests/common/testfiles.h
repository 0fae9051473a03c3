#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QStringList>

#include <initializer_list>

// Small file and text helpers shared by the tests.

// The file's bytes, or "<unreadable>" when it cannot be read (never equal to real content).
inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Writes the bytes, creating missing parent folders; true when all were written.
inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// A local XML file in the editor's layout: contact i (from 1) stands on line 6 + i and is named
// "C<i>" unless `names` gives it another (raw) name.
inline QByteArray
localXml(int count, const QMap<int, QByteArray> &names = {},
         const QByteArray &declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>")
{
    QByteArray xml = declaration + "\n<root_group>\n<group display_name=\"All Contacts\"/>\n"
                                   "<group display_name=\"Blocklist\"/>\n</root_group>\n"
                                   "<root_contact>\n";
    for (int i = 1; i <= count; ++i)
        xml += "<contact display_name=\"" + names.value(i, "C" + QByteArray::number(i)) + "\"/>\n";
    return xml + "</root_contact>\n";
}

// A list of texts from UTF-8 literals.
inline QStringList texts(std::initializer_list<const char *> items)
{
    QStringList list;
    for (const char *item : items)
        list.append(QString::fromUtf8(item));
    return list;
}
