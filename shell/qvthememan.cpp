#include "shell/qvthememan.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStringList>

qvThemeMan::~qvThemeMan() = default;

QString qvThemeMan::loadStyleSheet(const QString &folder, bool rewriteUrls)
{
    if (!QDir(folder).exists())
        return QString();

    QStringList paths;
    QDirIterator it(folder, {QStringLiteral("*.qss")}, QDir::Files | QDir::NoSymLinks,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        paths.append(it.fileInfo().absoluteFilePath());
    }
    if (paths.isEmpty())
        return QString();

    QString sheet;
    for (const QString &path : paths) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            continue;
        const QByteArray bytes = file.readAll();
        // A stray NUL ends the sheet's text, as it would for a C string.
        const int end = bytes.indexOf('\0');
        sheet += QString::fromUtf8(bytes.constData(), end < 0 ? bytes.size() : end);
    }

    if (rewriteUrls)
        sheet.replace(QStringLiteral("url("), QStringLiteral("url(") + folder);
    return sheet;
}
