#pragma once

#include "data/readresult.h"

#include <QByteArray>
#include <QString>

class LocalDirectory;
class QIODevice;

// The local phonebook's XML file: a declaration, then two top-level elements, root_group and
// root_contact. Not one well-formed document, so the reader wraps the text in an outer element.
class LocalXmlFormat
{
public:
    // True when a group or contact element comes before any parse error. The file's bytes are
    // decoded as read() decodes them.
    static bool probe(const QByteArray &content);
    // Adds every group and contact to the (freshly reset) store. The encoding comes from a
    // byte-order mark (UTF-8, UTF-16, UTF-32), else the declaration, else UTF-8; invalid bytes
    // read as U+FFFD. Stops at the first parse error, or before an element with more than
    // InputFile::MaxAttributes attributes, keeping what came before: the result is PartlyRead
    // with the line and the reason then (its file left empty for the caller), else Complete.
    static ReadResult read(const QByteArray &content, LocalDirectory &store);
    // Writes the editor's layout: declaration, four-space indentation, LF line ends.
    static bool write(const LocalDirectory &store, QIODevice *device);

    // The content inside one outer element, placed after the prolog, whatever the line layout.
    // The declaration is left out (its line ends kept), so the text is always read as UTF-8.
    static QByteArray wrappedText(const QByteArray &content);
    // The first line, the outer start tag, then every other line run together: how earlier
    // versions read the file. Still asked by probe(), so no file they accepted is refused.
    static QString joinedText(const QByteArray &content);
};
