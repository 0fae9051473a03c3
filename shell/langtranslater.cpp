#include "shell/langtranslater.h"

#include "shell/config.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

namespace {
const QString openingPair = QStringLiteral("?`");
const QString reversedPair = QStringLiteral("`?");
// Keys of 100 to 255 characters do not fit the two length digits: their marker writes "00"
// and then a three-digit length. mark() never produces "00" otherwise (empty keys are not marked).
const QString longKeyTag = QStringLiteral("00");

// Splits a language-file line at every '=' and returns the first two parts trimmed.
bool splitLine(const QString &line, QString *first, QString *second)
{
    const QStringList parts = line.split(QLatin1Char('='));
    if (parts.size() < 2)
        return false;
    *first = parts.at(0).trimmed();
    *second = parts.at(1).trimmed();
    return true;
}

// A quoted field loses its first and last character; an unquoted one does not count.
QString quotedField(const QString &field)
{
    if (!field.startsWith(QLatin1Char('"')))
        return QString();
    return field.mid(1, field.size() - 2);
}

// Calls visit(first, second) for every line of a UTF-8 file that has an '='; stops early when
// visit returns false. An empty path or a file that cannot be opened visits nothing.
template <typename Visit> void forEachSplitLine(const QString &path, Visit visit)
{
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    QTextStream in(&file);
    in.setCodec("UTF-8");
    in.setAutoDetectUnicode(false); // always UTF-8, even when the bytes look like a UTF-16 mark
    QString line;
    QString first, second;
    while (in.readLineInto(&line)) {
        if (splitLine(line, &first, &second) && !visit(first, second))
            return;
    }
}

bool readNumber(const QString &text, int from, int digits, int *value)
{
    if (from + digits > text.size())
        return false;
    int n = 0;
    for (int i = from; i < from + digits; ++i) {
        const QChar c = text.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        n = n * 10 + (c.unicode() - '0');
    }
    *value = n;
    return true;
}
} // namespace

Langtranslater::Langtranslater() : m_buckets(BucketCount) {}

Langtranslater *Langtranslater::instance()
{
    static Langtranslater translater;
    return &translater;
}

QString Langtranslater::languageFolder()
{
    return QDir::currentPath() + QStringLiteral("/app/language");
}

void Langtranslater::loadConfiguredLanguage()
{
    scanLanguages();
    const QString wanted =
        Config::instance()->value(QStringLiteral("user"), QStringLiteral("language")).toString();
    if (wanted.isEmpty())
        return;
    for (const LangInfo &info : instance()->m_languages) {
        if (info.name == wanted) {
            setLanguage(info.path);
            return;
        }
    }
}

void Langtranslater::scanLanguages()
{
    scanLanguages(languageFolder());
}

void Langtranslater::scanLanguages(const QString &folder)
{
    Langtranslater *self = instance();
    self->m_languages.clear();
    QDir dir(folder);
    const QStringList files =
        dir.entryList({QStringLiteral("*.lang")}, QDir::Files | QDir::Readable, QDir::Name);
    qDebug() << "Init Lang:" << folder << files;

    // sscanf-like "%d.GUI.%[^.]": a number, ".GUI.", then a tag up to the next dot.
    static const QRegularExpression pattern(QStringLiteral("^\\s*[+-]?\\d+\\.GUI\\.([^.]+)"));
    for (const QString &name : files) {
        if (!name.contains(QStringLiteral(".GUI.")))
            continue;
        const QRegularExpressionMatch match = pattern.match(name);
        if (!match.hasMatch())
            continue;
        const QString tag = match.captured(1);
        if (tag.toUtf8().size() > 511)
            continue;
        self->m_languages.append({tag, QString(), dir.absoluteFilePath(name)});
    }

    for (LangInfo &info : self->m_languages) {
        forEachSplitLine(info.path, [&info](const QString &first, const QString &second) {
            if (first != QLatin1String("[Name]"))
                return true;
            info.displayName = second;
            return false;
        });
    }
}

QList<LangInfo> Langtranslater::languages()
{
    return instance()->m_languages;
}

QString Langtranslater::currentPath()
{
    return instance()->m_currentPath;
}

void Langtranslater::setLanguage(const QString &path)
{
    Langtranslater *self = instance();
    if (path == self->m_currentPath)
        return;
    self->m_currentPath = path;
    for (QVector<LangEntry> &bucket : self->m_buckets)
        bucket.clear();
    self->loadFile(path);
}

void Langtranslater::loadFile(const QString &path)
{
    qDebug() << "Load Lang:" << path;
    forEachSplitLine(path, [this](const QString &first, const QString &second) {
        const QString key = quotedField(first);
        const QString value = quotedField(second);
        if (!key.isEmpty() && !value.isEmpty()) {
            const int bucket = bucketOf(key);
            m_buckets[bucket].append({key, value, bucket});
        }
        return true;
    });
}

int Langtranslater::bucketOf(const QString &key)
{
    const QByteArray bytes = key.toLatin1();
    quint32 h = 0;
    for (const char byte : bytes) {
        const qint32 c = static_cast<signed char>(byte);
        h = h * 33u + static_cast<quint32>(c);
    }
    return static_cast<int>(h % BucketCount);
}

QString Langtranslater::lookupKey(const QString &key) const
{
    for (const LangEntry &entry : m_buckets[bucketOf(key)]) {
        if (entry.key == key)
            return entry.value;
    }
    return key;
}

QString Langtranslater::lookup(const QString &key)
{
    return instance()->lookupKey(key);
}

QString Langtranslater::mark(const QString &key)
{
    if (key.isEmpty() || key == openingPair || key.size() > MaxKeyLength)
        return key;
    if (key.size() >= 100)
        return openingPair + longKeyTag + QString::number(key.size()) + key;
    return openingPair + QStringLiteral("%1").arg(key.size(), 2, 10, QLatin1Char('0')) + key;
}

QString Langtranslater::resolve(const QString &text)
{
    if (text.isEmpty())
        return text;
    const Langtranslater *self = instance();
    if (text.startsWith(reversedPair))
        return self->lookupKey(text.mid(reversedPair.size()));

    QString result;
    int pos = 0;
    for (;;) {
        const int marker = text.indexOf(openingPair, pos);
        if (marker < 0)
            break;
        result += QStringView(text).mid(pos, marker - pos);
        int at = marker + openingPair.size();
        int length = 0;
        if (!readNumber(text, at, 2, &length))
            return self->lookupKey(text); // malformed: the whole text is one key
        at += 2;
        if (length == 0) {
            if (!readNumber(text, at, 3, &length) || length < 100 || length > MaxKeyLength)
                return self->lookupKey(text);
            at += 3;
        }
        if (at + length > text.size())
            return self->lookupKey(text);
        result += self->lookupKey(text.mid(at, length));
        pos = at + length;
    }
    if (pos == 0)
        return text;
    result += QStringView(text).mid(pos);
    return result;
}
