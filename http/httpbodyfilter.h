#pragma once

#include <QByteArray>

#include <memory>

class QTextDecoder;

// Turns a file's bytes into the body the phones receive, piece by piece: CR LF line ends become
// LF, a leading byte order mark is dropped and invalid UTF-8 is replaced, exactly as a whole-file
// conversion would do, wherever the pieces are cut. Plain ASCII without carriage returns passes
// unchanged and uncopied.
class HttpBodyFilter
{
public:
    HttpBodyFilter();
    ~HttpBodyFilter();
    HttpBodyFilter(const HttpBodyFilter &) = delete;
    HttpBodyFilter &operator=(const HttpBodyFilter &) = delete;

    // The body bytes for the next piece of the file.
    QByteArray feed(const QByteArray &piece);
    // The body bytes still held back at the end of the file.
    QByteArray finish();

    // True while every byte so far has passed unchanged.
    bool isIdentity() const { return m_identity; }

    // The body for a whole file at once.
    static QByteArray convert(const QByteArray &fileBytes);

private:
    QByteArray decode(const QByteArray &bytes);

    QByteArray m_head; // the first bytes, held while they may still be a byte order mark
    std::unique_ptr<QTextDecoder> m_decoder; // made at the first byte that is not plain
    bool m_started = false;
    bool m_heldCarriageReturn = false;
    bool m_identity = true;
};
