#include "data/remoteurlupdater.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QSaveFile>

int RemoteUrlUpdater::updateFolder(const QString &folder, const QString &ip, int port)
{
    const QString newHost = ip + QLatin1Char(':') + QString::number(port);
    const QFileInfoList files = QDir(folder).entryInfoList(
        {QStringLiteral("*.xml")}, QDir::Files | QDir::Readable, QDir::Name);
    int rewritten = 0;
    for (const QFileInfo &info : files) {
        if (updateFile(info.absoluteFilePath(), newHost))
            ++rewritten;
    }
    return rewritten;
}

QString RemoteUrlUpdater::repointedUrl(const QString &url, const QString &newHost)
{
    const QLatin1String scheme("http://");
    if (!url.startsWith(scheme))
        return url;
    const int hostStart = scheme.size();
    int hostEnd = url.indexOf(QLatin1Char('/'), hostStart);
    if (hostEnd < 0)
        hostEnd = url.size();
    if (url.midRef(hostStart, hostEnd - hostStart) == newHost)
        return url;
    // Only the host part changes: a file name that happens to contain the old host stays.
    return url.left(hostStart) + newHost + url.mid(hostEnd);
}

bool RemoteUrlUpdater::updateFile(const QString &path, const QString &newHost)
{
    QDomDocument document;
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        if (!document.setContent(&file))
            return false;
    }
    if (document.documentElement().tagName() != QLatin1String("QuelvoxIPPhoneMenu"))
        return false;

    bool changed = false;
    const QDomNodeList urls = document.elementsByTagName(QStringLiteral("URL"));
    for (int i = 0; i < urls.size(); ++i) {
        QDomElement element = urls.at(i).toElement();
        const QString text = element.text();
        const QString repointed = repointedUrl(text, newHost);
        if (repointed == text)
            continue;
        while (element.hasChildNodes())
            element.removeChild(element.firstChild());
        element.appendChild(document.createTextNode(repointed));
        changed = true;
    }
    if (!changed)
        return false;

    // The declaration is written afresh: whatever encoding the old one named, the file is UTF-8
    // now.
    for (QDomNode node = document.firstChild(); !node.isNull();) {
        const QDomNode next = node.nextSibling();
        if (node.isProcessingInstruction() &&
            node.toProcessingInstruction().target() == QLatin1String("xml"))
            document.removeChild(node);
        node = next;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    file.write(document.toByteArray(4));
    return file.commit();
}
