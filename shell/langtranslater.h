#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QVector>

#include <vector>

struct LangEntry
{
    QString key;
    QString value;
    int bucket = 0;
};

struct LangInfo
{
    QString name;        // tag from the file name: 1.GUI.<name>.lang
    QString displayName; // from the file's "[Name]" line
    QString path;
};

// Finds the language files of app/language, loads one into a hash table and translates keys.
// Texts travel as marker text (see mark()) so that they can be translated again at any time.
class Langtranslater : public QObject
{
    Q_OBJECT
public:
    static constexpr int BucketCount = 1459;
    static constexpr int MaxKeyLength = 255;

    static Langtranslater *instance();

    // Scans, then activates the language named by the setting user/language, if any.
    static void loadConfiguredLanguage();
    // Rebuilds the language list from <working directory>/app/language.
    static void scanLanguages();
    static void scanLanguages(const QString &folder);
    static QList<LangInfo> languages();
    static QString currentPath();
    // Loads the file unless it is already the active one.
    static void setLanguage(const QString &path);

    static QString lookup(const QString &key);
    static QString mark(const QString &key);
    static QString resolve(const QString &text);
    static int bucketOf(const QString &key);

    static QString languageFolder();

private:
    Langtranslater();
    void loadFile(const QString &path);
    QString lookupKey(const QString &key) const;

    QString m_currentPath;
    std::vector<QVector<LangEntry>> m_buckets;
    QList<LangInfo> m_languages;
};
