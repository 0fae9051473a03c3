#include "shell/config.h"

#include <QDebug>
#include <QDir>
#include <QSettings>

Config *Config::instance()
{
    static Config config;
    return &config;
}

QString Config::defaultFilePath()
{
    return QDir::currentPath() + QStringLiteral("/app/config") + QStringLiteral("/Config.ini");
}

Config::Config(const QString &path) : m_fixedPath(path) {}

QString Config::filePath() const
{
    return m_fixedPath.isEmpty() ? defaultFilePath() : m_fixedPath;
}

QSettings &Config::settings() const
{
    const QString path = filePath();
    if (!m_settings || path != m_openPath) {
        m_settings.reset(); // writes what is pending to the file it belongs to
        m_openPath = path;
        m_settings = std::make_unique<QSettings>(m_openPath, QSettings::IniFormat);
        qDebug() << "Open config:" << m_openPath;
    }
    return *m_settings;
}

Config::~Config()
{
    m_settings.reset();
    currentFile.clear();
    lastSaveFolder.clear();
    lastImportFolder.clear();
}

static QString settingsKey(const QString &group, const QString &key)
{
    return QStringLiteral("/%1/%2").arg(group, key);
}

QVariant Config::value(const QString &group, const QString &key) const
{
    return settings().value(settingsKey(group, key));
}

void Config::setValue(const QString &group, const QString &key, const QVariant &value)
{
    settings().setValue(settingsKey(group, key), value);
}

void Config::sync()
{
    settings().sync();
}
