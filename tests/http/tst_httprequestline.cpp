#include "http/httprequestline.h"

#include <QtTest>

class TestHttpRequestLine : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void relativePath_data();
    void relativePath();
};

void TestHttpRequestLine::parse_data()
{
    QTest::addColumn<QByteArray>("received");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("target");

    const int complete = HttpRequestLine::Complete;
    const int incomplete = HttpRequestLine::Incomplete;
    const int bad = HttpRequestLine::Bad;

    QTest::addRow("get with headers") << QByteArray("GET /a.xml HTTP/1.1\r\nHost: x y\r\n\r\n")
                                      << complete << QByteArray("/a.xml");
    QTest::addRow("bare line feed")
        << QByteArray("GET /a.xml HTTP/1.0\n") << complete << QByteArray("/a.xml");
    QTest::addRow("any method") << QByteArray("BREW /pot.xml HTTP/1.1\r\n") << complete
                                << QByteArray("/pot.xml");
    QTest::addRow("empty method") << QByteArray(" /a.xml HTTP/1.1\r\n") << complete
                                  << QByteArray("/a.xml");
    QTest::addRow("trailing space")
        << QByteArray("GET /a.xml \r\n") << complete << QByteArray("/a.xml");
    QTest::addRow("extra pieces") << QByteArray("GET /a.xml HTTP/1.1 more\r\n") << complete
                                  << QByteArray("/a.xml");
    QTest::addRow("root") << QByteArray("GET / HTTP/1.1\r\n") << complete << QByteArray("/");
    QTest::addRow("nothing yet") << QByteArray() << incomplete << QByteArray();
    QTest::addRow("line not ended")
        << QByteArray("GET /a.xml HTTP/1.1") << incomplete << QByteArray();
    QTest::addRow("only the carriage return")
        << QByteArray("GET /a.xml HTTP/1.1\r") << incomplete << QByteArray();
    QTest::addRow("two pieces") << QByteArray("GET /a.xml\r\n") << bad << QByteArray();
    QTest::addRow("two pieces, spaces in headers")
        << QByteArray("GET /a.xml\r\nUser-Agent: a b c\r\n\r\n") << bad << QByteArray();
    QTest::addRow("double space") << QByteArray("GET  /a.xml HTTP/1.1\r\n") << bad << QByteArray();
    QTest::addRow("tabs are no separators")
        << QByteArray("GET\t/a.xml\tHTTP/1.1\r\n") << bad << QByteArray();
    QTest::addRow("empty line") << QByteArray("\r\n") << bad << QByteArray();

    const QByteArray prefix("GET /");
    const QByteArray suffix(" HTTP/1.1\r\n");
    const int longest = HttpRequestLine::MaxLength - prefix.size() - suffix.size();
    QTest::addRow("longest line") << prefix + QByteArray(longest, 'a') + suffix << complete
                                  << QByteArray("/") + QByteArray(longest, 'a');
    QTest::addRow("one byte too long")
        << prefix + QByteArray(longest + 1, 'a') + suffix << bad << QByteArray();
    QTest::addRow("limit reached without line end")
        << QByteArray(HttpRequestLine::MaxLength, 'a') << bad << QByteArray();
    QTest::addRow("just below the limit")
        << QByteArray(HttpRequestLine::MaxLength - 1, 'a') << incomplete << QByteArray();
}

void TestHttpRequestLine::parse()
{
    QFETCH(QByteArray, received);
    QFETCH(int, status);
    QFETCH(QByteArray, target);

    QByteArray parsed;
    QCOMPARE(int(HttpRequestLine::parse(received, &parsed)), status);
    if (status == HttpRequestLine::Complete)
        QCOMPARE(parsed, target);
}

void TestHttpRequestLine::relativePath_data()
{
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<bool>("safe");
    QTest::addColumn<QString>("path");

    QTest::addRow("plain") << QByteArray("/contacts.xml") << true << QStringLiteral("contacts.xml");
    QTest::addRow("escaped space")
        << QByteArray("/My%20Book.xml") << true << QStringLiteral("My Book.xml");
    QTest::addRow("escaped utf-8")
        << QByteArray("/%E4%BD%A0%E5%A5%BD.xml") << true << QStringLiteral("你好.xml");
    QTest::addRow("raw utf-8") << QByteArray("/\xE4\xBD\xA0.xml") << true
                               << QStringLiteral("你.xml");
    QTest::addRow("lower-case escapes")
        << QByteArray("/%c3%a4.xml") << true << QStringLiteral("ä.xml");
    QTest::addRow("sub-folder") << QByteArray("/sub/a.xml") << true << QStringLiteral("sub/a.xml");
    QTest::addRow("query stays in the name")
        << QByteArray("/contacts.xml?x=1") << true << QStringLiteral("contacts.xml?x=1");
    QTest::addRow("escaped percent")
        << QByteArray("/100%25.xml") << true << QStringLiteral("100%.xml");
    QTest::addRow("stray percent") << QByteArray("/100%.xml") << true << QStringLiteral("100%.xml");
    QTest::addRow("percent at the end") << QByteArray("/a%2") << true << QStringLiteral("a%2");
    QTest::addRow("dot segment") << QByteArray("/./a.xml") << true << QStringLiteral("./a.xml");
    QTest::addRow("three dots") << QByteArray("/.../a.xml") << true << QStringLiteral(".../a.xml");
    QTest::addRow("dots inside a name")
        << QByteArray("/a..b.xml") << true << QStringLiteral("a..b.xml");
    QTest::addRow("no leading slash") << QByteArray("a.xml") << true << QStringLiteral("a.xml");

    // The forms a phone could use to leave the folder are tried on a real socket as well.
    QTest::addRow("parent at the end") << QByteArray("/sub/..") << false << QString();
    // Each spelling a client on the network tried to leave the served folder with.
    QTest::addRow("parent") << QByteArray("/../secret.xml") << false << QString();
    QTest::addRow("parent from a sub-folder")
        << QByteArray("/sub/../../secret.xml") << false << QString();
    QTest::addRow("escaped dots") << QByteArray("/%2e%2e/secret.xml") << false << QString();
    QTest::addRow("escaped slashes from a sub-folder")
        << QByteArray("/sub%2f..%2f..%2fsecret.xml") << false << QString();
    QTest::addRow("raw backslash") << QByteArray("/..\\secret.xml") << false << QString();
    QTest::addRow("absolute") << QByteArray("//etc/passwd") << false << QString();
    QTest::addRow("escaped absolute") << QByteArray("/%2Fetc/passwd") << false << QString();
    QTest::addRow("escaped nul") << QByteArray("/inside.xml%00.txt") << false << QString();
    QTest::addRow("half-escaped parent") << QByteArray("/.%2e/secret.xml") << false << QString();
    QTest::addRow("upper-case escaped slash") << QByteArray("/sub%2Fa.xml") << false << QString();
    QTest::addRow("upper-case escaped backslash")
        << QByteArray("/..%5Csecret.xml") << false << QString();
    QTest::addRow("raw nul") << QByteArray("/a.xml\0.txt", 11) << false << QString();
    QTest::addRow("drive letter") << QByteArray("/C:/secret.xml") << false << QString();
    QTest::addRow("invalid utf-8") << QByteArray("/%FF.xml") << false << QString();
    QTest::addRow("overlong utf-8 slash")
        << QByteArray("/..%C0%AFsecret.xml") << false << QString();
}

void TestHttpRequestLine::relativePath()
{
    QFETCH(QByteArray, target);
    QFETCH(bool, safe);
    QFETCH(QString, path);

    QString relative;
    QCOMPARE(HttpRequestLine::toRelativePath(target, &relative), safe);
    if (safe)
        QCOMPARE(relative, path);
}

QTEST_GUILESS_MAIN(TestHttpRequestLine)
#include "tst_httprequestline.moc"
