#include "data/remoteurlupdater.h"

#include "data/atomicfileset.h"
#include "data/inputfile.h"

#include <QDebug>
#include <QDir>
#include <QDomDocument>

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
        QByteArray content;
        QString problem;
        if (!InputFile::read(path, &content, &problem))
            return false;
        bool converted = false;
        content = InputFile::xmlAsUtf8(content, &converted);
        if (InputFile::overfullTag(content) >= 0)
            return false;
        const bool parsed = converted ? document.setContent(QString::fromUtf8(content))
                                      : document.setContent(content);
        if (!parsed)
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
    AtomicFileSet file;
    if (!file.addFile(path,
                      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + document.toByteArray(4)) ||
        !file.commit()) {
        qDebug() << "Update of" << path << "failed:" << file.errorString();
        return false;
    }
    return true;
}
