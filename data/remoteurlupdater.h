#pragma once

#include <QString>

// Re-points the URLs of saved remote menu files at a new server address. Directory files and
// files whose URLs already name the address are never rewritten.
class RemoteUrlUpdater
{
public:
    // Every readable "*.xml" (any case) in folder, in name order; returns how many were rewritten.
    static int updateFolder(const QString &folder, const QString &ip, int port);
    // Rewrites the menu file when one of its URLs changes: atomically, UTF-8, with the XML
    // declaration and four-space indentation. False when it was left untouched.
    static bool updateFile(const QString &path, const QString &newHost);
    // The URL with the host part after "http://" replaced by newHost; other URLs unchanged.
    static QString repointedUrl(const QString &url, const QString &newHost);
};
