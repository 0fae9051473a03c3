#pragma once

#include <QByteArray>
#include <QString>

// Reading phonebook files safely: what is not a regular file (a FIFO, a device, a folder) or is
// larger than MaxFileBytes is refused before a byte is read, so that no input hangs the editor or
// exhausts its memory; text is decoded without ever dropping the rest of a file at a bad byte.
class InputFile
{
public:
    // The largest phonebook file read: far above any phone's phonebook (100 000 local contacts
    // take about 30 MiB of XML), far below what would exhaust the memory of the reader.
    static constexpr qint64 MaxFileBytes = 64 * 1024 * 1024;
    // Attributes one XML element may carry; Qt's reader needs time quadratic in their number.
    static constexpr int MaxAttributes = 256;

    // Why the path cannot be read as a phonebook file ("no such file", "is not a regular file",
    // "is larger than ..."); empty when it may be read. Does not open the file.
    static QString refusal(const QString &path);
    // Reads at most maxBytes of the file into *content after refusal() allowed it; with
    // wholeFile, a file that turns out longer is refused. On false *problem says why.
    static bool read(const QString &path, QByteArray *content, QString *problem,
                     qint64 maxBytes = MaxFileBytes, bool wholeFile = true);

    // Plain text: a UTF-8, UTF-16 or UTF-32 byte-order mark chooses the encoding, otherwise
    // UTF-8. Invalid bytes become U+FFFD; NUL bytes and what follows them are kept; the
    // byte-order mark is not part of the result.
    static QString decodeText(const QByteArray &bytes);
    // An XML file as UTF-8 without a byte-order mark: the encoding comes from the byte-order mark,
    // else from the declaration when Qt knows it, else UTF-8; invalid bytes become U+FFFD.
    // *converted is false when the bytes were valid UTF-8 to begin with and are returned as they
    // are; when true, the declaration may still name the old encoding, so the caller drops it or
    // reads the text as a QString (which makes Qt's reader ignore it).
    static QByteArray xmlAsUtf8(const QByteArray &bytes, bool *converted = nullptr);

    // Byte offset of the first start tag with more than MaxAttributes attributes, or -1; one
    // linear pass that skips comments, CDATA sections, processing instructions and quoted values.
    static int overfullTag(const QByteArray &utf8, int maxAttributes = MaxAttributes);
    // 1-based line of the byte offset.
    static qint64 lineAt(const QByteArray &bytes, int offset);
};
