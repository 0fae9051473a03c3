#include "http/httpbodyfilter.h"
#include "http/httpfilecache.h"
#include "testfiles.h"
#include "testworkdir.h"

#include <QSaveFile>
#include <QtTest>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Replaces the file through a new inode, as an atomic save does.
void replaceFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    QVERIFY(file.commit());
}

QByteArray bodyOf(const QByteArray &response)
{
    return response.mid(response.indexOf("\r\n\r\n") + 4);
}

} // namespace

class TestHttpFileCache : public QObject
{
    Q_OBJECT

private slots:
    void body_data();
    void body();
    void unservable_data();
    void unservable();
    void changesSeen_data();
    void changesSeen();
    void freshFilesNotKept();
    void streamedLikeWhole_data();
    void streamedLikeWhole();
    void changeWhileStreamed_data();
    void changeWhileStreamed();
    void sparseFileBeyondFourGigabytes();
    void spellingsShareOneEntry();
    void keysCountAgainstTheLimit();
    void leastRecentlyUsedGoesFirst();
};

void TestHttpFileCache::body_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("served");

    QTest::addRow("ascii unchanged") << QByteArray("<a>\n</a>\n") << QByteArray("<a>\n</a>\n");
    QTest::addRow("crlf to lf") << QByteArray("a\r\nb\r\n") << QByteArray("a\nb\n");
    QTest::addRow("lone cr kept") << QByteArray("a\rb\r\r\nc") << QByteArray("a\rb\r\nc");
    QTest::addRow("cr at the end") << QByteArray("a\r") << QByteArray("a\r");
    QTest::addRow("utf-8 unchanged") << QByteArray("Zoë 张三\r\n") << QByteArray("Zoë 张三\n");
    QTest::addRow("leading bom dropped")
        << QByteArray("\xEF\xBB\xBF<a/>\r\n") << QByteArray("<a/>\n");
    QTest::addRow("invalid utf-8 replaced") << QByteArray("a\xFF"
                                                          "b")
                                            << QByteArray("a\xEF\xBF\xBD"
                                                          "b");
    QTest::addRow("nul bytes kept") << QByteArray("a\0b\r\n", 5) << QByteArray("a\0b\n", 4);
    QTest::addRow("empty") << QByteArray() << QByteArray();
    QTest::addRow("utf-8 cut at the end dropped") << QByteArray("ab\xE5\xBC") << QByteArray("ab");
    QTest::addRow("second bom kept")
        << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFx") << QByteArray("\xEF\xBB\xBFx");
    QTest::addRow("mixed") << QByteArray("\xEF\xBB\xBFZo\xC3\xAB\r\n\xFF\r\r\n\xE5\xBC\xA0\r")
                           << QByteArray("Zo\xC3\xAB\n\xEF\xBF\xBD\r\n\xE5\xBC\xA0\r");
}

void TestHttpFileCache::body()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, served);
    QCOMPARE(HttpFileCache::body(file), served);
    // A streamed file is cut anywhere: the pieces together give the same body.
    for (int cut = 1; cut < file.size(); ++cut) {
        for (int second = cut; second <= file.size(); ++second) {
            HttpBodyFilter filter;
            QByteArray pieces = filter.feed(file.left(cut));
            pieces += filter.feed(file.mid(cut, second - cut));
            pieces += filter.feed(file.mid(second));
            pieces += filter.finish();
            QVERIFY2(pieces == served,
                     qPrintable(QStringLiteral("cut at %1 and %2").arg(cut).arg(second)));
        }
    }
}

void TestHttpFileCache::unservable_data()
{
    QTest::addColumn<QString>("relativePath");

    QTest::addRow("missing") << QStringLiteral("missing.xml");
    QTest::addRow("folder") << QStringLiteral("sub");
    QTest::addRow("link out of the folder") << QStringLiteral("out.xml");
    QTest::addRow("dangling link") << QStringLiteral("dangling.xml");
    QTest::addRow("link to the folder itself") << QStringLiteral("self");
    QTest::addRow("link chain leaving the folder") << QStringLiteral("chain.xml");
}

void TestHttpFileCache::unservable()
{
    QFETCH(QString, relativePath);
    TestWorkDir dir;
    QVERIFY(writeFile(dir.filePath(QStringLiteral("secret.xml")), "<secret/>"));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("target/sub/a.xml")), "<a/>"));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("secret.xml")),
                        dir.filePath(QStringLiteral("target/out.xml"))));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("gone.xml")),
                        dir.filePath(QStringLiteral("target/dangling.xml"))));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("target")),
                        dir.filePath(QStringLiteral("target/self"))));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("target/out.xml")),
                        dir.filePath(QStringLiteral("target/chain.xml"))));

    HttpFileCache cache(dir.filePath(QStringLiteral("target/")));
    QCOMPARE(cache.response(relativePath), QByteArray());
    QCOMPARE(cache.entryCount(), 0);
}

void TestHttpFileCache::changesSeen_data()
{
    QTest::addColumn<QString>("change");

    QTest::addRow("rewritten, other size") << QStringLiteral("resize");
    QTest::addRow("replaced, same size") << QStringLiteral("replace");
    QTest::addRow("deleted") << QStringLiteral("delete");
    QTest::addRow("became a link out of the folder") << QStringLiteral("link out");
    QTest::addRow("became a link inside") << QStringLiteral("link in");
}

void TestHttpFileCache::changesSeen()
{
    QFETCH(QString, change);
    TestWorkDir dir;
    const QString path = dir.filePath(QStringLiteral("target/book.xml"));
    QVERIFY(writeFile(path, "<first/>"));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("target/other.xml")), "<inner/>"));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("secret.xml")), "<secret/>"));

    HttpFileCache cache(dir.filePath(QStringLiteral("target/")));
    // Keep files at once, however fresh, to see that a kept response is dropped on change.
    cache.setSettleMs(-3600 * 1000);
    QCOMPARE(bodyOf(cache.response(QStringLiteral("book.xml"))), QByteArray("<first/>"));
    QCOMPARE(cache.entryCount(), 1);
    QCOMPARE(bodyOf(cache.response(QStringLiteral("book.xml"))), QByteArray("<first/>"));

    QByteArray expected;
    if (change == QLatin1String("resize")) {
        QVERIFY(writeFile(path, "<second one/>"));
        expected = "<second one/>";
    } else if (change == QLatin1String("replace")) {
        replaceFile(path, "<other/>");
        expected = "<other/>";
    } else if (change == QLatin1String("delete")) {
        QVERIFY(QFile::remove(path));
    } else if (change == QLatin1String("link out")) {
        QVERIFY(QFile::remove(path));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("secret.xml")), path));
    } else {
        QVERIFY(QFile::remove(path));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("target/other.xml")), path));
        expected = "<inner/>";
    }
    const QByteArray response = cache.response(QStringLiteral("book.xml"));
    QCOMPARE(bodyOf(response), expected);
    QCOMPARE(response.isEmpty(), expected.isNull());
}

void TestHttpFileCache::freshFilesNotKept()
{
    TestWorkDir dir;
    const QString path = dir.filePath(QStringLiteral("target/book.xml"));
    QVERIFY(writeFile(path, "<first/>"));
    HttpFileCache cache(dir.filePath(QStringLiteral("target/")));

    QCOMPARE(bodyOf(cache.response(QStringLiteral("book.xml"))), QByteArray("<first/>"));
    // A file changed moments ago could change again without its times showing it.
    QCOMPARE(cache.entryCount(), 0);
    QVERIFY(writeFile(path, "<other/>"));
    QCOMPARE(bodyOf(cache.response(QStringLiteral("book.xml"))), QByteArray("<other/>"));
}

void TestHttpFileCache::streamedLikeWhole_data()
{
    QTest::addColumn<QByteArray>("file");

    const int piece = HttpFileStream::PieceSize;
    QByteArray text;
    text.reserve(3 * piece + 64); // appending without room copies the whole text each time
    for (int i = 0; text.size() < 3 * piece; ++i)
        text += "<Name>Contact " + QByteArray::number(i) + "</Name>\n";
    QTest::addRow("plain, several pieces") << text;
    QTest::addRow("exactly one piece") << QByteArray(piece, 'p');
    QTest::addRow("exactly two pieces") << QByteArray(2 * piece, 'p');
    QByteArray crlf = text;
    crlf.replace("\n", "\r\n");
    QTest::addRow("crlf across piece ends") << crlf;
    QByteArray cut(piece - 1, 'u');
    cut += "\xE5\xBC\xA0\r\n" + text;
    QTest::addRow("utf-8 and line end cut by a piece end") << cut;
    QTest::addRow("bom and invalid bytes") << "\xEF\xBB\xBF" + text + "\xFF\xFE" + text;
}

void TestHttpFileCache::streamedLikeWhole()
{
    QFETCH(QByteArray, file);
    TestWorkDir dir;
    QVERIFY(writeFile(dir.filePath(QStringLiteral("target/big.xml")), file));
    HttpFileCache cache(dir.filePath(QStringLiteral("target/")));
    cache.setSizeLimits(0, 0);
    HttpFileCache::Answer answer = cache.lookup(QStringLiteral("big.xml"));
    QVERIFY(answer.stream);
    QVERIFY(answer.response.isEmpty());
    const QByteArray body = HttpFileCache::body(file);
    const QByteArray streamed = answer.stream->readAll();
    QCOMPARE(streamed.size(), HttpFileCache::head(body.size()).size() + body.size());
    QVERIFY(streamed == HttpFileCache::head(body.size()) + body);
    // A second response of the same version shares the length pass.
    QVERIFY(cache.response(QStringLiteral("big.xml")) == streamed);
}

void TestHttpFileCache::changeWhileStreamed_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("completes"); // else broken off, never longer than announced

    QTest::addRow("truncated in place") << QStringLiteral("truncate") << false;
    QTest::addRow("rewritten in place, same size") << QStringLiteral("rewrite") << false;
    QTest::addRow("appended to") << QStringLiteral("append") << false;
    QTest::addRow("replaced by a save: old version sent whole")
        << QStringLiteral("replace") << true;
}

void TestHttpFileCache::changeWhileStreamed()
{
    QFETCH(QString, change);
    QFETCH(bool, completes);
    TestWorkDir dir;
    const QString path = dir.filePath(QStringLiteral("target/big.xml"));
    const QByteArray old(4 * HttpFileStream::PieceSize, 'o');
    QVERIFY(writeFile(path, old));
    HttpFileCache cache(dir.filePath(QStringLiteral("target/")));
    cache.setSizeLimits(0, 0);
    HttpFileCache::Answer answer = cache.lookup(QStringLiteral("big.xml"));
    QVERIFY(answer.stream);

    QByteArray sent;
    QByteArray piece;
    while (sent.size() <= HttpFileStream::PieceSize) {
        const HttpFileStream::Result result = answer.stream->next(&piece);
        QVERIFY(result == HttpFileStream::Piece || result == HttpFileStream::Pending);
        if (result == HttpFileStream::Piece)
            sent += piece;
    }

    QFile file(path);
    if (change == QLatin1String("truncate")) {
        QVERIFY(file.resize(HttpFileStream::PieceSize + 10));
    } else if (change == QLatin1String("rewrite")) {
        QVERIFY(file.open(QIODevice::ReadWrite));
        QCOMPARE(file.write(QByteArray(old.size(), 'n')), qint64(old.size()));
        file.close();
    } else if (change == QLatin1String("append")) {
        QVERIFY(file.open(QIODevice::Append));
        QCOMPARE(file.write("more"), qint64(4));
        file.close();
    } else {
        replaceFile(path, QByteArray(old.size(), 'n'));
    }

    HttpFileStream::Result result;
    while ((result = answer.stream->next(&piece)) == HttpFileStream::Piece)
        sent += piece;
    const QByteArray whole = HttpFileCache::head(old.size()) + old;
    QCOMPARE(result, completes ? HttpFileStream::Done : HttpFileStream::Changed);
    QVERIFY(whole.startsWith(sent)); // old bytes only, never mixed with new ones
    QCOMPARE(sent.size() == whole.size(), completes);
}

void TestHttpFileCache::sparseFileBeyondFourGigabytes()
{
    TestWorkDir dir;
    const QString path = dir.filePath(QStringLiteral("target/huge.xml"));
    const qint64 hole = Q_INT64_C(5) * 1024 * 1024 * 1024;
    {
        QVERIFY(writeFile(path, QByteArray()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.seek(hole));
        QCOMPARE(file.write("<a/>\r\n"), qint64(6));
    }
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    const off_t firstData = ::lseek(fd, 0, SEEK_DATA);
    ::close(fd);
    if (firstData < 4096)
        QSKIP("the file system does not report holes");

    HttpFileCache cache(dir.filePath(QStringLiteral("target/")));
    HttpFileCache::Answer answer = cache.lookup(QStringLiteral("huge.xml"));
    QVERIFY(answer.stream);
    QByteArray head;
    HttpFileStream::Result result;
    for (int step = 0; (result = answer.stream->next(&head)) == HttpFileStream::Pending; ++step)
        QVERIFY(step < 100);
    QCOMPARE(result, HttpFileStream::Piece);
    QCOMPARE(head, HttpFileCache::head(hole + 5)); // the line end loses its carriage return
}

void TestHttpFileCache::spellingsShareOneEntry()
{
    TestWorkDir dir;
    QVERIFY(writeFile(dir.filePath(QStringLiteral("target/sub/a.xml")), "<a/>"));
    HttpFileCache cache(dir.filePath(QStringLiteral("target/")));
    cache.setSettleMs(-3600 * 1000);
    const QStringList spellings =
        texts({"sub/a.xml", "./sub/a.xml", "sub//a.xml", "./sub/./a.xml", ".//sub/.//./a.xml/"});
    for (const QString &spelling : spellings)
        QCOMPARE(bodyOf(cache.response(spelling)), QByteArray("<a/>"));
    QCOMPARE(cache.entryCount(), 1);
    QVERIFY(cache.holds(QStringLiteral("sub/a.xml")));
    QCOMPARE(cache.response(QStringLiteral("./.")), QByteArray());
}

void TestHttpFileCache::keysCountAgainstTheLimit()
{
    // Long names of empty files: their keys, not their bodies, would fill the memory.
    TestWorkDir dir;
    HttpFileCache cache(dir.filePath(QStringLiteral("target/")));
    cache.setSettleMs(-3600 * 1000);
    cache.setMaxTotalSize(64 * 1024);
    const int files = 200;
    for (int i = 0; i < files; ++i) {
        const QString name = QString::number(i) + QString(200, QLatin1Char('n'));
        QVERIFY(writeFile(dir.filePath(QStringLiteral("target/") + name), QByteArray()));
        QVERIFY(!cache.response(name).isEmpty());
        QVERIFY(cache.totalSize() <= cache.maxTotalSize());
    }
    QVERIFY2(cache.entryCount() < files / 2, qPrintable(QString::number(cache.entryCount())));
    QVERIFY(cache.entryCount() > 0);
}

void TestHttpFileCache::leastRecentlyUsedGoesFirst()
{
    TestWorkDir dir;
    const QByteArray body(1000, 'b');
    for (const char *name : {"a.xml", "b.xml", "c.xml"})
        QVERIFY(writeFile(dir.filePath(QStringLiteral("target/") + QLatin1String(name)), body));
    HttpFileCache cache(dir.filePath(QStringLiteral("target/")));
    cache.setSettleMs(-3600 * 1000);
    QVERIFY(!cache.response(QStringLiteral("a.xml")).isEmpty());
    // Room for two entries, not three.
    cache.setMaxTotalSize(cache.totalSize() * 5 / 2);
    QVERIFY(!cache.response(QStringLiteral("b.xml")).isEmpty());
    QVERIFY(!cache.response(QStringLiteral("a.xml")).isEmpty()); // a is now the more recent
    QVERIFY(!cache.response(QStringLiteral("c.xml")).isEmpty());
    QVERIFY(cache.holds(QStringLiteral("a.xml")));
    QVERIFY(!cache.holds(QStringLiteral("b.xml")));
    QVERIFY(cache.holds(QStringLiteral("c.xml")));
}

QTEST_GUILESS_MAIN(TestHttpFileCache)
#include "tst_httpfilecache.moc"
