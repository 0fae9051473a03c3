#include "http/httpbodyfilter.h"

#include <QTextCodec>
#include <QTextDecoder>

#include <cstring>

namespace {

// No carriage return and no byte above 127: such text is its own body.
bool isPlain(const char *data, int size)
{
    if (std::memchr(data, '\r', size_t(size)))
        return false;
    int i = 0;
    for (; i + 8 <= size; i += 8) {
        quint64 word;
        std::memcpy(&word, data + i, 8);
        if (word & Q_UINT64_C(0x8080808080808080))
            return false;
    }
    for (; i < size; ++i) {
        if (uchar(data[i]) & 0x80)
            return false;
    }
    return true;
}

} // namespace

HttpBodyFilter::HttpBodyFilter() = default;
HttpBodyFilter::~HttpBodyFilter() = default;

QByteArray HttpBodyFilter::decode(const QByteArray &bytes)
{
    if (!m_decoder) {
        // A decoder that stayed clear of the text so far has nothing held back.
        if (isPlain(bytes.constData(), bytes.size()))
            return bytes;
        m_decoder.reset(QTextCodec::codecForMib(106)->makeDecoder(QTextCodec::IgnoreHeader));
    }
    // Valid UTF-8 survives the round trip unchanged; anything else gets replacement characters,
    // and a sequence cut at the end of the piece waits in the decoder for the rest.
    return m_decoder->toUnicode(bytes).toUtf8();
}

QByteArray HttpBodyFilter::feed(const QByteArray &input)
{
    if (input.isEmpty())
        return QByteArray();
    QByteArray piece = input;
    int start = 0;
    if (!m_started) {
        static const QByteArray mark("\xEF\xBB\xBF");
        piece.prepend(m_head);
        if (piece.size() < mark.size() && mark.startsWith(piece)) {
            m_head = piece; // too short to tell yet
            m_identity = false;
            return QByteArray();
        }
        m_head.clear();
        m_started = true;
        if (piece.startsWith(mark)) {
            start = mark.size();
            m_identity = false;
        }
    }
    const char *data = piece.constData();
    const int size = piece.size();
    if (start == 0 && !m_heldCarriageReturn && !m_decoder && isPlain(data, size))
        return piece;
    if (start == size)
        return QByteArray();

    QByteArray text;
    text.reserve(size - start + 1);
    if (m_heldCarriageReturn && data[start] != '\n')
        text += '\r';
    m_heldCarriageReturn = false;
    for (int i = start; i < size; ++i) {
        if (data[i] == '\r') {
            if (i + 1 == size) {
                m_heldCarriageReturn = true; // its line feed may start the next piece
                break;
            }
            if (data[i + 1] == '\n')
                continue;
        }
        text += data[i];
    }
    const QByteArray out = decode(text);
    if (out != input)
        m_identity = false;
    return out;
}

QByteArray HttpBodyFilter::finish()
{
    if (!m_started && !m_head.isEmpty()) {
        // A file shorter than a byte order mark that began like one.
        m_started = true;
        const QByteArray head = m_head;
        m_head.clear();
        return decode(head);
    }
    if (!m_heldCarriageReturn)
        return QByteArray();
    m_heldCarriageReturn = false;
    // A sequence cut by the end of the file is dropped, as a whole-file conversion drops it.
    return decode(QByteArray(1, '\r'));
}

QByteArray HttpBodyFilter::convert(const QByteArray &fileBytes)
{
    HttpBodyFilter filter;
    QByteArray out = filter.feed(fileBytes); // before finish(): operands have no set order
    out += filter.finish();
    return out;
}
