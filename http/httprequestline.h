#pragma once

#include <QByteArray>
#include <QString>

// Reads the request line of an HTTP request from the bytes a connection has received so far, and
// turns its target into a path inside the served folder. Knows nothing of sockets.
class HttpRequestLine
{
public:
    enum Status
    {
        Incomplete,
        Complete,
        Bad
    };

    // Longest request line accepted, line end included.
    static constexpr int MaxLength = 8192;

    // Complete when a line feed ends the first line within MaxLength bytes; *target is then the
    // second space-separated piece of that line. Bad when the line is too long, has fewer than
    // three pieces or an empty target.
    static Status parse(const QByteArray &received, QByteArray *target);

    // Decodes percent-escapes and returns the path relative to the served folder, without a
    // leading slash. False for anything that could leave the folder or is not a plain UTF-8 name:
    // ".." segments, escaped slashes or backslashes, backslashes, NUL bytes, absolute paths.
    static bool toRelativePath(const QByteArray &target, QString *path);
};
