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

Config::Config(const QString &path) : m_filePath(path.isEmpty() ? defaultFilePath() : path)
{
    m_settings = std::make_unique<QSettings>(m_filePath, QSettings::IniFormat);
    qDebug() << "Open config:" << m_filePath;
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
    return m_settings->value(settingsKey(group, key));
}

void Config::setValue(const QString &group, const QString &key, const QVariant &value)
{
    m_settings->setValue(settingsKey(group, key), value);
}

void Config::sync()
{
    m_settings->sync();
}
