#pragma once

#include <QString>

// What a file holds, asked the way the editor's import asks: a remote menu or directory file
// first, then a local XML or CSV phonebook. Probing reads the file but never touches a store.
class PhonebookFileKind
{
public:
    enum Kind
    {
        NotAPhonebook,
        LocalXml,
        LocalCsv,
        // A menu or directory file of the remote phonebook.
        Remote
    };

    PhonebookFileKind() = delete;

    static Kind probe(const QString &path);
    // The local kinds only: LocalXml or LocalCsv when the file looks like a local phonebook.
    static Kind probeLocal(const QString &path);
    // The local format the path names: ".xml" or ".XML" anywhere in it wins over ".csv" or
    // ".CSV" (a case-sensitive substring test); NotAPhonebook when it has neither.
    static Kind localFormat(const QString &path);
    static bool isLocal(Kind kind) { return kind == LocalXml || kind == LocalCsv; }
};
