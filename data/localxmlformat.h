#pragma once

#include <QByteArray>
#include <QString>

class LocalDirectory;
class QIODevice;

// The local phonebook's XML file: a declaration, then two top-level elements, root_group and
// root_contact. Not one well-formed document, so the reader wraps the text in an outer element.
class LocalXmlFormat
{
public:
    // True when a group or contact element comes before any parse error.
    static bool probe(const QByteArray &content);
    // Adds every group and contact to the (freshly reset) store; stops at the first parse error
    // and keeps what came before it.
    static void read(const QByteArray &content, LocalDirectory &store);
    // Writes the editor's layout: declaration, four-space indentation, LF line ends.
    static bool write(const LocalDirectory &store, QIODevice *device);

    // The content inside one outer element, placed after the prolog, whatever the line layout.
    // The declaration is left out, so the text is always read as UTF-8.
    static QByteArray wrappedText(const QByteArray &content);
    // The first line, the outer start tag, then every other line run together: how earlier
    // versions read the file. Still asked by probe(), so no file they accepted is refused.
    static QString joinedText(const QByteArray &content);
};
