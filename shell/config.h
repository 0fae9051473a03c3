#pragma once

#include <QString>
#include <QVariant>

#include <memory>

class QSettings;

// The editor's settings: a few persistent keys in app/config/Config.ini (all in group "user")
// plus three values that live for one run only.
class Config
{
public:
    // The one object, on the default path.
    static Config *instance();

    // An empty path means <working directory>/app/config/Config.ini, resolved at every use, so
    // the settings follow the working directory (tests give each case a folder of its own).
    explicit Config(const QString &path = QString());
    virtual ~Config();

    Config(const Config &) = delete;
    Config &operator=(const Config &) = delete;

    // Invalid variant when nothing is stored under group/key.
    QVariant value(const QString &group, const QString &key) const;
    void setValue(const QString &group, const QString &key, const QVariant &value);
    // Writes pending changes to disk now.
    void sync();

    QString filePath() const;

    static QString defaultFilePath();

    // Run-time only, never written to the file.
    QString currentFile;
    QString lastSaveFolder;
    QString lastImportFolder;

private:
    // The settings of filePath(), opened again when that moved; the old ones are written first.
    QSettings &settings() const;

    QString m_fixedPath; // empty: the default path
    mutable QString m_openPath;
    mutable std::unique_ptr<QSettings> m_settings; // owned
};
