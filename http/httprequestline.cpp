#include "http/httprequestline.h"

#include <QList>

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Slashes, backslashes and NUL only ever reach a name through an escape when someone is probing.
bool isForbiddenEscape(int byte)
{
    return byte == '/' || byte == '\\' || byte == 0;
}

} // namespace

HttpRequestLine::Status HttpRequestLine::parse(const QByteArray &received, QByteArray *target)
{
    const int searchLength = qMin(received.size(), int(MaxLength));
    const int lineFeed = received.indexOf('\n');
    if (lineFeed < 0 || lineFeed >= searchLength)
        return received.size() >= MaxLength ? Bad : Incomplete;

    int lineEnd = lineFeed;
    if (lineEnd > 0 && received.at(lineEnd - 1) == '\r')
        --lineEnd;

    // Single spaces separate the pieces; a doubled space leaves an empty target.
    const int firstSpace = received.indexOf(' ');
    if (firstSpace < 0 || firstSpace >= lineEnd)
        return Bad;
    const int secondSpace = received.indexOf(' ', firstSpace + 1);
    if (secondSpace < 0 || secondSpace >= lineEnd)
        return Bad;
    const int length = secondSpace - firstSpace - 1;
    if (length == 0)
        return Bad;
    if (target)
        *target = received.mid(firstSpace + 1, length);
    return Complete;
}

bool HttpRequestLine::toRelativePath(const QByteArray &target, QString *path)
{
    QByteArray decoded;
    decoded.reserve(target.size());
    for (int i = 0; i < target.size(); ++i) {
        const char c = target.at(i);
        if (c == '\\' || c == '\0')
            return false;
        if (c == '%' && i + 2 < target.size()) {
            const int high = hexValue(target.at(i + 1));
            const int low = hexValue(target.at(i + 2));
            if (high >= 0 && low >= 0) {
                const int byte = high * 16 + low;
                if (isForbiddenEscape(byte))
                    return false;
                decoded.append(char(byte));
                i += 2;
                continue;
            }
        }
        // A stray percent sign stands for itself.
        decoded.append(c);
    }

    // One leading slash belongs to the request form; a second one would make the rest absolute.
    if (decoded.startsWith('/'))
        decoded.remove(0, 1);
    if (decoded.startsWith('/'))
        return false;
    if (decoded.size() >= 2 && decoded.at(1) == ':' && isAsciiLetter(decoded.at(0)))
        return false; // a drive letter

    const QList<QByteArray> segments = decoded.split('/');
    for (const QByteArray &segment : segments) {
        if (segment == "..")
            return false;
    }

    const QString text = QString::fromUtf8(decoded);
    if (text.toUtf8() != decoded)
        return false;
    if (path)
        *path = text;
    return true;
}
