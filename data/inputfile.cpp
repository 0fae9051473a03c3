#include "data/inputfile.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextCodec>

#include <sys/stat.h>

namespace {
bool isValidUtf8(const QByteArray &bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const unsigned char *const end = p + bytes.size();
    while (p < end) {
        // Eight ASCII bytes at a time: most phonebook text is ASCII.
        while (end - p >= 8) {
            quint64 word;
            memcpy(&word, p, 8);
            if (word & Q_UINT64_C(0x8080808080808080))
                break;
            p += 8;
        }
        if (p >= end)
            break;
        unsigned c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int length = 0;
        unsigned minimum = 0;
        if ((c & 0xE0) == 0xC0) {
            length = 2;
            minimum = 0x80;
            c &= 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            length = 3;
            minimum = 0x800;
            c &= 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            length = 4;
            minimum = 0x10000;
            c &= 0x07;
        } else {
            return false;
        }
        if (end - p < length)
            return false;
        for (int i = 1; i < length; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (p[i] & 0x3F);
        }
        if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        p += length;
    }
    return true;
}

// The codec a byte-order mark (or, without one, the first "<" in UTF-16) names; none for UTF-8.
QTextCodec *unicodeCodec(const QByteArray &bytes, int *markSize)
{
    *markSize = 0;
    const auto starts = [&bytes](const char *prefix, int size) {
        return bytes.size() >= size && memcmp(bytes.constData(), prefix, size) == 0;
    };
    struct Mark
    {
        const char *bytes;
        int size;
        const char *codec;
    };
    // UTF-32 first: its little-endian mark begins like UTF-16's.
    static const Mark marks[] = {
        {"\xFF\xFE\x00\x00", 4, "UTF-32LE"},
        {"\x00\x00\xFE\xFF", 4, "UTF-32BE"},
        {"\xFF\xFE", 2, "UTF-16LE"},
        {"\xFE\xFF", 2, "UTF-16BE"},
    };
    for (const Mark &mark : marks) {
        if (starts(mark.bytes, mark.size)) {
            *markSize = mark.size;
            return QTextCodec::codecForName(mark.codec);
        }
    }
    if (starts("<\0?\0", 4))
        return QTextCodec::codecForName("UTF-16LE");
    if (starts("\0<\0?", 4))
        return QTextCodec::codecForName("UTF-16BE");
    return nullptr;
}

QString decodeWith(QTextCodec *codec, const QByteArray &bytes, int skip)
{
    QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
    QString text = codec->toUnicode(bytes.constData() + skip, bytes.size() - skip, &state);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

QString decodeUtf8(const QByteArray &bytes)
{
    const int skip = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    return decodeWith(QTextCodec::codecForMib(106), bytes, skip);
}

// The encoding the XML declaration names, when it is one Qt knows that keeps ASCII as it is
// (a declaration readable as ASCII cannot truthfully name UTF-16 or UTF-32).
QTextCodec *declaredCodec(const QByteArray &bytes)
{
    const QByteArray head = bytes.left(512);
    if (!head.startsWith("<?xml") && !head.startsWith("\xEF\xBB\xBF<?xml"))
        return nullptr;
    const int end = head.indexOf("?>");
    if (end < 0)
        return nullptr;
    static const QRegularExpression encoding(
        QStringLiteral("encoding\\s*=\\s*[\"']([A-Za-z0-9._:-]+)[\"']"));
    const QRegularExpressionMatch match = encoding.match(QString::fromLatin1(head.left(end)));
    if (!match.hasMatch())
        return nullptr;
    QTextCodec *codec = QTextCodec::codecForName(match.captured(1).toLatin1());
    if (!codec)
        return nullptr;
    const int mib = codec->mibEnum();
    const bool wide = mib == 1013 || mib == 1014 || mib == 1015 || (mib >= 1017 && mib <= 1019);
    return wide || mib == 106 ? nullptr : codec;
}
} // namespace

QString InputFile::refusal(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return info.isSymLink() ? QStringLiteral("is a link to nothing")
                                : QStringLiteral("no such file");
    if (info.isDir())
        return QStringLiteral("is a folder, not a file");
    if (!info.isFile())
        return QStringLiteral("is not a regular file");
    if (info.size() > MaxFileBytes)
        return QStringLiteral("is larger than %1 MiB, the most a phonebook file may have")
            .arg(MaxFileBytes / (1024 * 1024));
    return QString();
}

bool InputFile::read(const QString &path, QByteArray *content, QString *problem, qint64 maxBytes,
                     bool wholeFile)
{
    content->clear();
    *problem = refusal(path);
    if (!problem->isEmpty())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *problem = QStringLiteral("cannot be read (%1)").arg(file.errorString());
        return false;
    }
    // The path may have been replaced between the look and the opening.
    struct stat status;
    if (fstat(file.handle(), &status) != 0 || !S_ISREG(status.st_mode)) {
        *problem = QStringLiteral("is not a regular file");
        return false;
    }
    // Read in pieces up to the limit: the file may have grown since it was looked at.
    const qint64 limit = wholeFile ? maxBytes + 1 : maxBytes;
    content->reserve(int(qMin<qint64>(status.st_size, maxBytes) + 1));
    constexpr qint64 piece = 1024 * 1024;
    while (content->size() < limit) {
        const int before = content->size();
        const qint64 want = qMin<qint64>(piece, limit - before);
        content->resize(before + int(want));
        const qint64 got = file.read(content->data() + before, want);
        content->resize(before + int(qMax<qint64>(got, 0)));
        if (got <= 0)
            break;
    }
    if (file.error() != QFileDevice::NoError) {
        *problem = QStringLiteral("cannot be read (%1)").arg(file.errorString());
        content->clear();
        return false;
    }
    if (wholeFile && content->size() > maxBytes) {
        *problem = QStringLiteral("is larger than %1 MiB, the most a phonebook file may have")
                       .arg(MaxFileBytes / (1024 * 1024));
        content->clear();
        return false;
    }
    return true;
}

QString InputFile::decodeText(const QByteArray &bytes)
{
    int markSize = 0;
    if (QTextCodec *codec = unicodeCodec(bytes, &markSize))
        return decodeWith(codec, bytes, markSize);
    return decodeUtf8(bytes);
}

QByteArray InputFile::xmlAsUtf8(const QByteArray &bytes, bool *converted)
{
    bool dummy = false;
    bool &changed = converted ? *converted : dummy;
    changed = true;
    int markSize = 0;
    if (QTextCodec *codec = unicodeCodec(bytes, &markSize))
        return decodeWith(codec, bytes, markSize).toUtf8();
    if (QTextCodec *codec = declaredCodec(bytes))
        return decodeWith(codec, bytes, 0).toUtf8();
    if (isValidUtf8(bytes)) {
        changed = false;
        return bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
    }
    return decodeUtf8(bytes).toUtf8();
}

int InputFile::overfullTag(const QByteArray &utf8, int maxAttributes)
{
    const char *const data = utf8.constData();
    const int size = utf8.size();
    const auto skipPast = [&utf8](int from, const char *marker) {
        const int at = utf8.indexOf(marker, from);
        return at < 0 ? -1 : at + int(qstrlen(marker));
    };
    int pos = 0;
    while (pos < size) {
        const char *lt = static_cast<const char *>(memchr(data + pos, '<', size_t(size - pos)));
        if (!lt)
            return -1;
        const int start = int(lt - data);
        const char next = start + 1 < size ? data[start + 1] : '\0';
        if (next == '!') {
            if (qstrncmp(lt, "<!--", 4) == 0)
                pos = skipPast(start + 4, "-->");
            else if (qstrncmp(lt, "<![CDATA[", 9) == 0)
                pos = skipPast(start + 9, "]]>");
            else
                pos = start + 2; // a declaration: its parts are scanned like text
        } else if (next == '?') {
            pos = skipPast(start + 2, "?>");
        } else if (next == '/') {
            pos = start + 2;
        } else {
            // A start tag: count the "=" outside quoted values up to its end.
            int attributes = 0;
            int i = start + 1;
            for (; i < size; ++i) {
                const char c = data[i];
                if (c == '"' || c == '\'') {
                    // Values are most of the bytes: jump to the closing quote.
                    const void *close = memchr(data + i + 1, c, size_t(size - i - 1));
                    if (!close)
                        return -1;
                    i = int(static_cast<const char *>(close) - data);
                } else if (c == '=') {
                    if (++attributes > maxAttributes)
                        return start;
                } else if (c == '>' || c == '<') {
                    break;
                }
            }
            pos = i;
        }
        if (pos < 0)
            return -1;
    }
    return -1;
}

qint64 InputFile::lineAt(const QByteArray &bytes, int offset)
{
    return 1 + bytes.left(offset).count('\n');
}
