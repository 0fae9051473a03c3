#include "data/atomicfileset.h"
#include "data/localdirectory.h"
#include "data/remotedirectory.h"
#include "testfiles.h"
#include "testworkdir.h"

#include <QtTest>

#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

// Saves that cannot finish: a real, small, nearly full file system where the test may mount one,
// and writes or renames made to fail on demand. Every failed save says why, leaves every old file
// byte for byte as it was, leaves no temporary file behind and keeps the phonebook marked changed.
class TestSaveFaults : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { AtomicFileSet::setFaultsForTesting(-1, -1); }
    void failedSaveChangesNothing_data();
    void failedSaveChangesNothing();
    void savedFilesKeepTheirPermissions();
};

namespace {
// A 64 KiB tmpfs mounted over a folder while the object lives (needs the right to mount).
class SmallTmpfs
{
public:
    explicit SmallTmpfs(const QString &path) : m_path(QFile::encodeName(path))
    {
        m_mounted = ::mount("tmpfs", m_path.constData(), "tmpfs", 0, "size=64k") == 0;
    }
    ~SmallTmpfs()
    {
        if (m_mounted)
            ::umount2(m_path.constData(), MNT_DETACH);
    }
    bool isMounted() const { return m_mounted; }
    // Fills the file system until about `left` bytes are free.
    bool fill(qint64 left) const
    {
        struct statvfs info;
        if (::statvfs(m_path.constData(), &info) != 0)
            return false;
        const qint64 free = qint64(info.f_bavail) * qint64(info.f_bsize);
        QFile filler(QFile::decodeName(m_path) + QStringLiteral("/filler"));
        if (!filler.open(QIODevice::WriteOnly))
            return false;
        filler.write(QByteArray(int(qMax<qint64>(free - left, 0)), 'x'));
        return filler.flush() || left == 0;
    }

private:
    QByteArray m_path;
    bool m_mounted = false;
};

QStringList filesIn(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    names.removeAll(QStringLiteral("filler"));
    names.sort();
    return names;
}

// 60 contacts with names long enough that the file takes several KiB.
void fillLocal(LocalDirectory &store)
{
    store.initDefaultGroup();
    for (int i = 0; i < 60; ++i) {
        LocalContact *contact = nullptr;
        store.addContact(0, &contact);
        contact->display_name = QStringLiteral("Contact number %1 with a fairly long name").arg(i);
        contact->office_number = QString::number(100000 + i);
    }
}

// Root menu with "Sales" (60 contacts) and "Support" (empty): book.xml plus two group files.
void fillRemote(RemoteDirectory &dir)
{
    dir.resetToRoot();
    RemoteGroup *sales = dir.addGroup(0);
    sales->name = QStringLiteral("Sales");
    dir.addGroup(0)->name = QStringLiteral("Support");
    for (int i = 0; i < 60; ++i) {
        RemoteContact *contact = nullptr;
        dir.addContact(sales->id, &contact);
        contact->name = QStringLiteral("Contact number %1 with a fairly long name").arg(i);
        contact->numbers[0].value = QString::number(100000 + i);
    }
}
} // namespace

void TestSaveFaults::failedSaveChangesNothing_data()
{
    QTest::addColumn<QString>("kind");       // "xml" or "remote"
    QTest::addColumn<bool>("tmpfs");         // a real small file system
    QTest::addColumn<qint64>("spaceLeft");   // bytes free on it, or the injected limit
    QTest::addColumn<int>("failRenameAt");   // injected rename failure, -1: none
    QTest::addColumn<QStringList>("before"); // files there before the save
    QTest::addColumn<QString>("reason");

    const QString noSpace = QStringLiteral("No space left on device");
    const QStringList remoteFiles =
        texts({"RemotePhoneBook_Sales.xml", "RemotePhoneBook_Support.xml", "book.xml"});
    QTest::addRow("xml on a tmpfs with 4 KiB free")
        << "xml" << true << qint64(4096) << -1 << texts({"book.xml"}) << noSpace;
    QTest::addRow("xml on a full tmpfs")
        << "xml" << true << qint64(0) << -1 << texts({"book.xml"}) << noSpace;
    QTest::addRow("remote on a tmpfs with 4 KiB free")
        << "remote" << true << qint64(4096) << -1 << remoteFiles << noSpace;
    QTest::addRow("xml, disk full after 100 bytes")
        << "xml" << false << qint64(100) << -1 << texts({"book.xml"}) << noSpace;
    QTest::addRow("remote, disk full in the second file")
        << "remote" << false << qint64(1000) << -1 << remoteFiles << noSpace;
    QTest::addRow("remote, second rename fails")
        << "remote" << false << qint64(-1) << 1 << remoteFiles << "Input/output error";
    QTest::addRow("remote, last rename fails: a file new to the folder goes again")
        << "remote" << false << qint64(-1) << 2
        << texts({"RemotePhoneBook_Support.xml", "book.xml"}) << "Input/output error";
}

void TestSaveFaults::failedSaveChangesNothing()
{
    QFETCH(QString, kind);
    QFETCH(bool, tmpfs);
    QFETCH(qint64, spaceLeft);
    QFETCH(int, failRenameAt);
    QFETCH(QStringList, before);
    QFETCH(QString, reason);

    TestWorkDir work;
    const QString folder = work.mkpath(QStringLiteral("disk"));
    SmallTmpfs disk(folder);
    if (tmpfs && !disk.isMounted())
        QSKIP("cannot mount a tmpfs here (needs the right to mount); the injected rows cover it");
    QMap<QString, QByteArray> old;
    for (const QString &name : before) {
        old[name] = "old content of " + name.toUtf8() + '\n';
        QVERIFY(writeFile(folder + QLatin1Char('/') + name, old[name]));
    }
    if (tmpfs)
        QVERIFY(disk.fill(spaceLeft));
    else
        AtomicFileSet::setFaultsForTesting(spaceLeft, failRenameAt);

    const QString path = folder + QStringLiteral("/book.xml");
    QString error;
    if (kind == QLatin1String("remote")) {
        RemoteDirectory dir;
        fillRemote(dir);
        QVERIFY(!dir.saveFile(path, QStringLiteral("http://192.0.2.10:80/")));
        QVERIFY(dir.isChanged());
        error = dir.saveError();
        // The file that failed is named, and nothing was changed.
        QVERIFY2(error.contains(QLatin1String(".xml: ")), qPrintable(error));
        QVERIFY2(error.endsWith(QLatin1String("no file was changed")), qPrintable(error));
    } else {
        LocalDirectory store;
        fillLocal(store);
        QVERIFY(!store.saveFile(path));
        QVERIFY(store.isChanged());
        error = store.saveError();
    }
    QVERIFY2(error.contains(reason), qPrintable(error));
    QCOMPARE(filesIn(folder), before);
    for (const QString &name : before)
        QCOMPARE(readAll(folder + QLatin1Char('/') + name), old[name]);
}

// A save replaces the file whole (a second hard link to the old file keeps the old content) and
// keeps its permissions; a symbolic link stays a link; a new file gets the usual permissions.
void TestSaveFaults::savedFilesKeepTheirPermissions()
{
    TestWorkDir work;
    const QString path = work.filePath(QStringLiteral("book.xml"));
    const QString previous = work.filePath(QStringLiteral("previous.xml"));
    QVERIFY(writeFile(path, "old"));
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    QCOMPARE(::link(QFile::encodeName(path).constData(), QFile::encodeName(previous).constData()),
             0);
    LocalDirectory store;
    fillLocal(store);
    QVERIFY(store.saveFile(path));
    QVERIFY(!store.isChanged());
    struct stat status;
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &status), 0);
    QCOMPARE(int(status.st_mode & 0777), 0640);
    QVERIFY(readAll(path).contains("Contact number 59"));
    QCOMPARE(readAll(previous), QByteArray("old"));
    QVERIFY(QFile::remove(previous));

    const mode_t mask = ::umask(022);
    const QString fresh = work.filePath(QStringLiteral("fresh.csv"));
    QVERIFY(store.saveFile(fresh));
    ::umask(mask);
    QCOMPARE(::stat(QFile::encodeName(fresh).constData(), &status), 0);
    QCOMPARE(int(status.st_mode & 0777), 0644);
    QCOMPARE(filesIn(work.path()), texts({"book.xml", "fresh.csv"}));

    // Saving through a link writes the file it points at and keeps the link.
    const QString link = work.filePath(QStringLiteral("link.xml"));
    QVERIFY(QFile::link(path, link));
    store.addContact(0, nullptr);
    QVERIFY(store.saveFile(link));
    QCOMPARE(QFileInfo(link).symLinkTarget(), path);
    QVERIFY(readAll(path).contains("display_name=\"Name\""));
}

QTEST_GUILESS_MAIN(TestSaveFaults)
#include "tst_savefaults.moc"
