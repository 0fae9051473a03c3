#pragma once

#include "http/httpbodyfilter.h"

#include <QByteArray>

#include <memory>

// Sends one version of a file too large to hold in memory: the response head, then the body
// piece by piece, read on demand from a descriptor opened once for this response, so memory
// stays bounded whatever the file's size and however many clients fetch it. The head needs the
// body's length, which a Scan learns by one pass over the file; responses for the same version
// share that pass. After every read the descriptor's stamp is checked again: a file truncated or
// rewritten in place ends the response (Changed) instead of sending a body that disagrees with
// its head or mixes old and new bytes. An atomic save replaces the file, which an open
// descriptor never sees, so that case streams the old version to its end.
class HttpFileStream
{
public:
    // Input bytes read per piece and per scan step.
    static constexpr int PieceSize = 64 * 1024;
    static constexpr int ScanStepSize = 1024 * 1024;

    // What a stat of an open file says; any write, truncation or replacement changes it.
    struct Stamp
    {
        qint64 size = -1;
        qint64 modifiedNs = 0;
        qint64 changedNs = 0;
        quint64 device = 0;
        quint64 inode = 0;
        bool operator==(const Stamp &other) const
        {
            return size == other.size && modifiedNs == other.modifiedNs &&
                   changedNs == other.changedNs && device == other.device && inode == other.inode;
        }
        bool operator!=(const Stamp &other) const { return !(*this == other); }
        // The same bytes as far as an open descriptor can tell: its change time also moves when
        // a save replaces the file's name, which leaves the bytes alone.
        bool sameContent(const Stamp &other) const
        {
            return size == other.size && modifiedNs == other.modifiedNs && device == other.device &&
                   inode == other.inode;
        }
        // False when the descriptor is not a regular file.
        static bool of(int fd, Stamp *stamp);
        // The same by path, with one stat call (QFileInfo's times cost several system calls
        // per request and it has no inode).
        static bool of(const QByteArray &path, Stamp *stamp);
    };

    enum Result
    {
        Piece,   // *piece holds the next bytes to send
        Pending, // the body's length is still being learnt: ask again in the next round
        Done,    // everything has been given out
        Changed  // the file changed or could not be read: the response must be broken off
    };

    // The pass that learns the body's length of one version of a file. Shared between the
    // responses that send that version; each of them advances it a step per round.
    class Scan
    {
    public:
        // fd: owned (closed with the scan).
        Scan(int fd, const Stamp &stamp);
        ~Scan();
        Scan(const Scan &) = delete;
        Scan &operator=(const Scan &) = delete;

        // Reads up to ScanStepSize more bytes; Done once the length is known.
        Result step();
        const Stamp &stamp() const { return m_stamp; }
        bool isDone() const { return m_done; }
        qint64 bodyLength() const { return m_bodyLength; }
        // The body is the file's bytes unchanged.
        bool isIdentity() const { return m_identity; }

    private:
        int m_fd;
        Stamp m_stamp;
        HttpBodyFilter m_filter;
        qint64 m_offset = 0;
        qint64 m_bodyLength = 0;
        bool m_done = false;
        bool m_failed = false;
        bool m_identity = true;
    };

    // fd: owned (closed with the stream); stamp: what it said when it was opened; scan: the pass
    // for that same version, shared.
    HttpFileStream(int fd, const Stamp &stamp, std::shared_ptr<Scan> scan);
    ~HttpFileStream();
    HttpFileStream(const HttpFileStream &) = delete;
    HttpFileStream &operator=(const HttpFileStream &) = delete;

    // The next piece: the head first, then the body. Reads at most PieceSize bytes of the file.
    Result next(QByteArray *piece);

    // Reads the whole response at once; empty when the file changed meanwhile. For tools and
    // tests: it holds the whole file in memory.
    QByteArray readAll();

    // Reads length bytes at offset (fewer at the end of the file); false on a read error.
    static bool readAt(int fd, qint64 offset, qint64 length, QByteArray *bytes);

private:
    int m_fd;
    Stamp m_stamp;
    std::shared_ptr<Scan> m_scan;
    HttpBodyFilter m_filter;
    qint64 m_offset = 0;
    qint64 m_produced = 0;
    bool m_headSent = false;
    bool m_done = false;
};
