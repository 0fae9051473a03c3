#pragma once

#include <QString>

// How completely the last import of a store read its file (a remote import: its files). Kept by
// LocalDirectory::readResult() and RemoteDirectory::readResult() (also reachable through
// PhonebookManager::readResult) so that the editor and the commands can warn about a file that
// was only partly read and not take it as the current file.
struct ReadResult
{
    enum Status
    {
        NotRead,   // nothing imported: the phonebook is as it was before the import
        Complete,  // everything the file holds was read
        PartlyRead // reading stopped early; what came before the problem was kept
    };

    Status status = NotRead;
    QString file;    // the file the problem lies in; a remote import reads several
    qint64 line = 0; // line of the problem, 0 when it is not tied to a line
    QString reason;  // what stopped the reading, in English (empty when Complete)

    bool isComplete() const { return status == Complete; }
    bool isPartlyRead() const { return status == PartlyRead; }

    // "file: line N: reason", leaving out what is unknown.
    QString describe() const
    {
        QString text = file;
        if (line > 0)
            text += (text.isEmpty() ? QString() : QStringLiteral(": ")) +
                    QStringLiteral("line %1").arg(line);
        if (!reason.isEmpty())
            text += (text.isEmpty() ? QString() : QStringLiteral(": ")) + reason;
        return text;
    }

    static ReadResult complete(const QString &file)
    {
        ReadResult result;
        result.status = Complete;
        result.file = file;
        return result;
    }
    static ReadResult failed(Status status, const QString &file, qint64 line, const QString &reason)
    {
        ReadResult result;
        result.status = status;
        result.file = file;
        result.line = line;
        result.reason = reason;
        return result;
    }
};
