// The file layer on real folders in a temporary directory, with the environment and the umask
// under the test's control: the user's folders, private folders, files written whole and names
// given without replacing anything.

#include "ProcessSettings.h"
#include "runtime/files/Files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using files::FileError;
using files::UserFolder;
using testsupport::EnvironmentVariable;
using testsupport::modeOf;
using testsupport::Umask;
using Bytes = std::optional<QByteArray>;

Q_DECLARE_METATYPE(UserFolder)
Q_DECLARE_METATYPE(files::Replace)

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The variable when it is an absolute path, else its place in the home; the home is HOME,
    // or the password database's when HOME is no path. The runtime folder has no place.
    void userFolder_data()
    {
        QTest::addColumn<UserFolder>("which");
        QTest::addColumn<Bytes>("given");
        QTest::addColumn<Bytes>("home");
        QTest::addColumn<QString>("expected");
        const QString passwd = QFile::decodeName(::getpwuid(::getuid())->pw_dir);
        const Bytes none;
        QTest::newRow("data") << UserFolder::Data << Bytes("/x/data") << Bytes("/h") << "/x/data";
        QTest::newRow("trailing slash")
            << UserFolder::Data << Bytes("/x/data/") << Bytes("/h") << "/x/data";
        QTest::newRow("data unset") << UserFolder::Data << none << Bytes("/h") << "/h/.local/share";
        QTest::newRow("data empty")
            << UserFolder::Data << Bytes("") << Bytes("/h") << "/h/.local/share";
        QTest::newRow("data relative")
            << UserFolder::Data << Bytes("data") << Bytes("/h") << "/h/.local/share";
        QTest::newRow("no HOME") << UserFolder::Data << none << none
                                 << QDir::cleanPath(passwd + "/.local/share");
        QTest::newRow("relative HOME")
            << UserFolder::Data << none << Bytes("h") << QDir::cleanPath(passwd + "/.local/share");
        QTest::newRow("state") << UserFolder::State << Bytes("/s") << Bytes("/h") << "/s";
        QTest::newRow("state unset")
            << UserFolder::State << none << Bytes("/h") << "/h/.local/state";
        QTest::newRow("config") << UserFolder::Config << Bytes("/c") << Bytes("/h") << "/c";
        QTest::newRow("config relative")
            << UserFolder::Config << Bytes("c") << Bytes("/h") << "/h/.config";
        QTest::newRow("cache") << UserFolder::Cache << Bytes("/k") << Bytes("/h") << "/k";
        QTest::newRow("cache unset") << UserFolder::Cache << none << Bytes("/h") << "/h/.cache";
        QTest::newRow("runtime") << UserFolder::Runtime << Bytes("/r/") << Bytes("/h") << "/r";
        QTest::newRow("runtime unset") << UserFolder::Runtime << none << Bytes("/h") << QString();
        QTest::newRow("runtime relative")
            << UserFolder::Runtime << Bytes("r") << Bytes("/h") << QString();
    }
    void userFolder()
    {
        QFETCH(UserFolder, which);
        QFETCH(Bytes, given);
        QFETCH(Bytes, home);
        QFETCH(QString, expected);
        const char *const variables[] = {"XDG_DATA_HOME", "XDG_STATE_HOME", "XDG_CONFIG_HOME",
                                         "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"};
        const EnvironmentVariable variable(variables[int(which)], given);
        const EnvironmentVariable homeVariable("HOME", home);
        QCOMPARE(files::userFolder(which), expected);
    }

    // Every missing folder 0700 whatever the umask; one already there keeps its rights; what
    // is no folder in the way fails, naming where.
    void makePrivateFolder_data()
    {
        QTest::addColumn<int>("mask");
        QTest::addColumn<QString>("file");    // made as a file first, when not empty
        QTest::addColumn<QString>("failsAt"); // empty: made
        QTest::newRow("umask 022") << 0022 << QString() << QString();
        QTest::newRow("umask 000") << 0000 << QString() << QString();
        QTest::newRow("umask 277") << 0277 << QString() << QString();
        QTest::newRow("file in its place") << 0022 << "a/b/c"
                                           << "a/b/c";
        QTest::newRow("file above") << 0022 << "a"
                                    << "a/b";
    }
    void makePrivateFolder()
    {
        QFETCH(int, mask);
        QFETCH(QString, file);
        QFETCH(QString, failsAt);
        QTemporaryDir root;
        QVERIFY(QDir(root.path()).mkdir("kept"));
        QFile::setPermissions(root.filePath("kept"), QFile::Permissions(0x7755));
        if (!file.isEmpty()) {
            QDir(root.path()).mkpath(QFileInfo(file).path());
            write(root.filePath(file), "x");
        }
        const Umask umask(mode_t(mask & 0777));
        const QString wanted = root.filePath("kept/../a/b/c");
        const files::Result<files::Done> made = files::makePrivateFolder(wanted);
        if (!failsAt.isEmpty()) {
            QVERIFY(!made);
            QCOMPARE(made.error().path, root.filePath(failsAt));
            QCOMPARE(made.error().number, ENOTDIR);
            return;
        }
        QVERIFY(made);
        for (const char *folder : {"a", "a/b", "a/b/c"})
            QCOMPARE(modeOf(root.filePath(folder)), 0700);
        QVERIFY(files::makePrivateFolder(root.filePath("kept")));
        QCOMPARE(modeOf(root.filePath("kept")), 0755);
    }

    // A file written whole has exactly the rights asked and the bytes given, with nothing of
    // the attempt left; never replacing, a file already there is kept and the write refused.
    void writeWhole_data()
    {
        QTest::addColumn<Bytes>("before");
        QTest::addColumn<files::Replace>("replace");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<int>("error");
        const files::Replace allowed = files::Replace::Allowed;
        const files::Replace never = files::Replace::Never;
        QTest::newRow("new") << Bytes() << allowed << QByteArray("neu") << 0;
        QTest::newRow("replaced") << Bytes("alt") << allowed << QByteArray("neu") << 0;
        QTest::newRow("new, never replacing") << Bytes() << never << QByteArray("neu") << 0;
        QTest::newRow("kept") << Bytes("alt") << never << QByteArray("alt") << EEXIST;
        QTest::newRow("empty") << Bytes("alt") << allowed << QByteArray() << 0;
    }
    void writeWhole()
    {
        QFETCH(Bytes, before);
        QFETCH(files::Replace, replace);
        QFETCH(QByteArray, after);
        QFETCH(int, error);
        QTemporaryDir root;
        const QString path = root.filePath("anteckning.txt");
        if (before)
            write(path, *before);
        const Umask umask(0277);
        const QByteArray bytes = error ? QByteArray("neu") : after;
        const files::Result<files::Done> written = files::writeWhole(path, bytes, 0640, replace);
        QCOMPARE(written ? 0 : written.error().number, error);
        if (!written)
            QCOMPARE(written.error().path, path);
        QCOMPARE(contents(path), after);
        if (!error)
            QCOMPARE(modeOf(path), 0640);
        QCOMPARE(QDir(root.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"anteckning.txt"});
    }

    // Where nothing can be written, the failure names the path and leaves nothing behind.
    void failuresNameThePath()
    {
        QTemporaryDir root;
        const QString missing = root.filePath("saknas/fil");
        const files::Result<files::Done> written = files::writeWhole(missing, "x", 0600);
        QVERIFY(!written);
        QCOMPARE(written.error().operation, FileError::Operation::Open);
        QCOMPARE(written.error().path, missing + ".part");
        QCOMPARE(written.error().wording(), FileError::wordingOf(ENOENT));
        const files::Result<files::Done> synced = files::syncFolder(root.filePath("saknas"));
        QVERIFY(!synced);
        QCOMPARE(synced.error().path, root.filePath("saknas"));
        QCOMPARE(synced.error().number, ENOENT);
        QCOMPARE(QDir(root.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
    }

    // A file or a folder gets its new name only where nothing is.
    void moveWithoutReplacing_data()
    {
        QTest::addColumn<bool>("folder");
        QTest::addColumn<QString>("there"); // "", "file" or "folder" at the new name
        QTest::addColumn<bool>("moved");
        QTest::newRow("file") << false << QString() << true;
        QTest::newRow("file onto a file") << false << "file" << false;
        QTest::newRow("folder") << true << QString() << true;
        QTest::newRow("folder onto an empty folder") << true << "folder" << false;
    }
    void moveWithoutReplacing()
    {
        QFETCH(bool, folder);
        QFETCH(QString, there);
        QFETCH(bool, moved);
        QTemporaryDir root;
        const QString from = root.filePath("från");
        const QString to = root.filePath("till");
        folder ? void(QDir().mkdir(from)) : write(from, "från");
        if (there == "file")
            write(to, "till");
        else if (there == "folder")
            QDir().mkdir(to);
        const files::Result<files::Done> result = files::moveWithoutReplacing(from, to);
        QCOMPARE(bool(result), moved);
        QCOMPARE(QFileInfo::exists(from), !moved);
        if (!moved)
            QVERIFY(result.error().number == EEXIST || result.error().number == ENOTEMPTY);
        if (!folder)
            QCOMPARE(contents(to), moved ? QByteArray("från") : QByteArray("till"));
    }

    // A descriptor is closed when it goes, and only once when moved.
    // Another program sweeps the lock file whenever it can lock it, as a starting Zentavo sweeps
    // the locks of programs that ended: every lock taken is still on the file the path names.
    void lockIsOnTheFileThePathNames()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("slot.lock"));
        const QByteArray name = QFile::encodeName(path);
        std::atomic<bool> stop{false};
        std::atomic<int> swept{0};
        std::thread sweeper([&] {
            while (!stop) {
                const int found = ::open(name.constData(), O_RDWR | O_CLOEXEC);
                if (found < 0)
                    continue;
                if (::flock(found, LOCK_EX | LOCK_NB) == 0) {
                    ::unlink(name.constData());
                    ++swept;
                }
                ::close(found);
            }
        });
        int elsewhere = 0;
        for (int round = 0; round < 50000 && swept < 2000 && elsewhere == 0; ++round) {
            const files::Result<files::Descriptor> lock = files::lockExclusive(path, 0600);
            if (!lock)
                continue; // the sweeper holds it this instant
            struct stat held = {};
            struct stat named = {};
            if (::fstat(lock->get(), &held) != 0 || ::stat(name.constData(), &named) != 0
                || held.st_ino != named.st_ino || held.st_dev != named.st_dev)
                ++elsewhere;
        }
        stop = true;
        sweeper.join();
        QCOMPARE(elsewhere, 0);
        // Refused while another holds it.
        const files::Result<files::Descriptor> first = files::lockExclusive(path, 0600);
        QVERIFY(first);
        const files::Result<files::Descriptor> second = files::lockExclusive(path, 0600);
        QVERIFY(!second);
        QCOMPARE(second.error().number, EWOULDBLOCK);
    }

    // The same file however it is renamed; another file at the same path is another.
    void fingerprintFollowsTheFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("memo.mdb"));
        QCOMPARE(files::fileFingerprint(path), QByteArray());
        write(path, "a");
        const QByteArray first = files::fileFingerprint(path);
        QVERIFY(!first.isEmpty());
        write(path, "changed");
        QCOMPARE(files::fileFingerprint(path), first);
        QVERIFY(QFile::rename(path, dir.filePath(QStringLiteral("moved.mdb"))));
        QCOMPARE(files::fileFingerprint(dir.filePath(QStringLiteral("moved.mdb"))), first);
        write(path, "a");
        QVERIFY(files::fileFingerprint(path) != first);
    }

    void descriptorClosesWhenItGoes()
    {
        QTemporaryDir root;
        int number = -1;
        {
            files::Result<files::Descriptor> opened
                = files::Descriptor::open(root.filePath("f"), O_WRONLY | O_CREAT, 0600);
            QVERIFY(opened);
            files::Descriptor moved = std::move(*opened);
            number = moved.get();
            QVERIFY(moved.writeAll("abc"));
            QVERIFY(::fcntl(number, F_GETFD) & FD_CLOEXEC);
        }
        QCOMPARE(::fcntl(number, F_GETFD), -1);
        QCOMPARE(contents(root.filePath("f")), QByteArray("abc"));
    }
};

QTEST_GUILESS_MAIN(TestFiles)
#include "tst_files.moc"
