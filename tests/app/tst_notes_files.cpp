// zentavo-notes, run as a program, on the files it makes and the paths it is given: export into
// a folder that is there (its rights and identity kept, "." and a trailing slash), every file
// and folder on disk before success (watched with strace), a full disk named, copies no wider
// open than the notes whatever the umask, and each kind of path that cannot be a database
// named for what it is, its length measured as SQLite measures it.

#include "NotesToolRun.h"
#include "ProcessSettings.h"
#include "TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using testsupport::modeOf;
using testsupport::TestDatabase;
using testsupport::Umask;

namespace {

ino_t inodeOf(const QString &path)
{
    struct stat status = {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
}

// Two notes whose files are easy to tell by name.
void addTwoNotes(TestDatabase &db)
{
    db.addNote(QStringLiteral("inköp"), QStringLiteral("mjölk\nbröd"));
    db.addNote(QStringLiteral("brev"), QStringLiteral("Hej!"));
}

// The names and texts of the files of an export of addTwoNotes' notes.
QMap<QString, QByteArray> twoNotesExported()
{
    return {{QStringLiteral("1 - inköp.txt"), QByteArray("mjölk\nbröd")},
            {QStringLiteral("2 - brev.txt"), QByteArray("Hej!")}};
}

// A folder of one name component after another, each at most 200 bytes, making `folder` plus
// the components exactly `length` bytes long.
QString folderOfLength(const QString &folder, qsizetype length)
{
    QString path = folder;
    qsizetype left = length - folder.toUtf8().size();
    while (left > 0) {
        qsizetype part = std::min<qsizetype>(left - 1, 200);
        // Never leave a single byte, which no component can take.
        if (left - (part + 1) == 1)
            --part;
        path += QLatin1Char('/') + QString(part, QLatin1Char('d'));
        left -= part + 1;
    }
    return path;
}

// A path as strace writes it (with -x): bytes beyond ASCII as \xHH.
QString unescaped(const QString &traced)
{
    const QByteArray text = traced.toLatin1();
    QByteArray bytes;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
            bytes += char(text.mid(i + 2, 2).toInt(nullptr, 16));
            i += 3;
        } else if (text[i] == '\\' && i + 1 < text.size()) {
            bytes += text[++i];
        } else {
            bytes += text[i];
        }
    }
    return QFile::decodeName(bytes);
}

// A small tmpfs mounted at a folder for as long as the object lives; mounting needs root.
class SmallDisk
{
public:
    explicit SmallDisk(const QString &mountPoint)
        : m_mountPoint(QFile::encodeName(mountPoint))
    {
        QDir().mkpath(mountPoint);
        if (::mount("zentavo-small", m_mountPoint.constData(), "tmpfs", 0, "size=256k,mode=0751")
            == 0)
            m_mounted = true;
        else
            m_reason = QByteArray("cannot mount a small tmpfs (") + std::strerror(errno)
                       + "); mounting needs root or CAP_SYS_ADMIN";
    }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(m_mountPoint.constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;
    bool mounted() const { return m_mounted; }
    const QByteArray &reason() const { return m_reason; }

private:
    QByteArray m_mountPoint;
    QByteArray m_reason;
    bool m_mounted = false;
};

// What strace saw of a run: each path flushed to disk, and each rename, in order.
struct Flushes
{
    struct Event
    {
        enum Kind { Flush, Rename } kind;
        QString path;
        QString to;
    };
    QList<Event> events;

    // Where the path was flushed, in the order of events; -1 when never.
    int flushed(const QString &path) const
    {
        for (int i = 0; i < events.size(); ++i) {
            if (events[i].kind == Event::Flush && events[i].path == path)
                return i;
        }
        return -1;
    }
    int renamed(const QString &to) const
    {
        for (int i = 0; i < events.size(); ++i) {
            if (events[i].kind == Event::Rename && events[i].to == to)
                return i;
        }
        return -1;
    }
    QString renamedFrom(const QString &to) const
    {
        const int at = renamed(to);
        return at < 0 ? QString() : events[at].path;
    }
};

// Reads strace's log of opens, flushes and renames: a flushed descriptor is named by the path
// it was last opened on.
Flushes readTrace(const QString &log)
{
    const QRegularExpression open(
        QStringLiteral("openat\\(AT_FDCWD, \"([^\"]*)\", [^)]*\\)\\s*=\\s*(\\d+)"));
    const QRegularExpression flush(QStringLiteral("\\b(?:fsync|fdatasync)\\((\\d+)\\)\\s*=\\s*0"));
    const QRegularExpression rename(
        QStringLiteral("rename(?:at2?)?\\((?:AT_FDCWD, )?\"([^\"]*)\", (?:AT_FDCWD, "
                       ")?\"([^\"]*)\".*\\)\\s*=\\s*0"));
    QMap<int, QString> descriptors;
    Flushes flushes;
    for (const QString &line : QString::fromUtf8(contents(log)).split(QLatin1Char('\n'))) {
        if (const auto match = open.match(line); match.hasMatch())
            descriptors[match.captured(2).toInt()] = unescaped(match.captured(1));
        else if (const auto match = flush.match(line); match.hasMatch())
            flushes.events.append(
                {Flushes::Event::Flush, descriptors.value(match.captured(1).toInt()), QString()});
        else if (const auto match = rename.match(line); match.hasMatch())
            flushes.events.append({Flushes::Event::Rename, unescaped(match.captured(1)),
                                   unescaped(match.captured(2))});
    }
    return flushes;
}

} // namespace

class TestNotesFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // export into a folder that is there and empty writes into that folder: the same folder
    // (inode), its own rights; a trailing slash and "." name the folder; an absent folder is
    // made. The database is untouched.
    void exportWritesIntoTheFolderGiven_data()
    {
        QTest::addColumn<bool>("existing");
        QTest::addColumn<QString>("argument"); // the folder "ut" in the work folder, as given
        QTest::addColumn<QString>("runIn");    // the working folder, relative to the work folder
        QTest::newRow("empty folder") << true << "ut"
                                      << ".";
        QTest::newRow("empty folder, trailing slash") << true << "ut/"
                                                      << ".";
        QTest::newRow("empty folder as .") << true << "."
                                           << "ut";
        QTest::newRow("empty folder as ./") << true << "./"
                                            << "ut";
        QTest::newRow("absent folder") << false << "ut"
                                       << ".";
        QTest::newRow("absent folder, trailing slash") << false << "ut/"
                                                       << ".";
    }
    void exportWritesIntoTheFolderGiven()
    {
        QFETCH(bool, existing);
        QFETCH(QString, argument);
        QFETCH(QString, runIn);
        TestDatabase db;
        addTwoNotes(db);
        const QByteArray database = contents(db.path());
        QTemporaryDir work;
        const QString folder = work.filePath(QStringLiteral("ut"));
        ino_t inode = 0;
        if (existing) {
            QVERIFY(QDir().mkdir(folder));
            QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0751), 0);
            inode = inodeOf(folder);
        }
        const Run result
            = run({"--db", db.path(), "export", argument}, QDir(work.path()).filePath(runIn));
        QVERIFY2(result.status == 0, qPrintable(result.err));
        QVERIFY2(result.err.isEmpty(), qPrintable(result.err));
        QCOMPARE(snapshot(folder), twoNotesExported());
        if (existing) {
            QCOMPARE(inodeOf(folder), inode);
            QCOMPARE(modeOf(folder), 0751);
        }
        // Nothing beside it, and the notes as they were.
        QCOMPARE(
            QDir(work.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{QStringLiteral("ut")});
        QCOMPARE(contents(db.path()), database);
    }

    // Every exported file and the folder that holds it are flushed to disk before export ends
    // with success: a power cut afterwards cannot leave empty or torn files, nor lose the folder's
    // name. A new folder is flushed before it is named, and the folder it is named in after.
    void exportFlushesEveryFileAndTheFolder_data()
    {
        QTest::addColumn<bool>("existing");
        QTest::newRow("new folder") << false;
        QTest::newRow("empty folder") << true;
    }
    void exportFlushesEveryFileAndTheFolder()
    {
        QFETCH(bool, existing);
        if (QStringLiteral(ZENTAVO_STRACE).isEmpty())
            QSKIP("strace not found (Debian package strace)");
        TestDatabase db;
        addTwoNotes(db);
        QTemporaryDir work;
        const QString folder = work.filePath(QStringLiteral("ut"));
        if (existing)
            QVERIFY(QDir().mkdir(folder));
        const QString log = work.filePath(QStringLiteral("strace.log"));
        QProcess strace;
        // The leak checker of a sanitizer build cannot run under ptrace.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        const QString sanitizer = environment.value(QStringLiteral("ASAN_OPTIONS"));
        environment.insert(QStringLiteral("ASAN_OPTIONS"),
                           sanitizer + (sanitizer.isEmpty() ? "" : ":") + "detect_leaks=0");
        strace.setProcessEnvironment(environment);
        const Run result = testsupport::runToEnd(
            strace, QStringLiteral(ZENTAVO_STRACE),
            {"-f", "-x", "-s", "4096", "-o", log, "-e",
             "trace=openat,fsync,fdatasync,rename,renameat,renameat2",
             QStringLiteral(ZENTAVO_NOTES), "--db", db.path(), "export", folder});
        QVERIFY2(result.status == 0, qPrintable(result.err));
        QCOMPARE(snapshot(folder), twoNotesExported());
        const Flushes flushes = readTrace(log);

        // Where the files were written: in the folder itself, or in one named to it at the end.
        QString filled = folder;
        if (!existing) {
            filled = flushes.renamedFrom(folder);
            QVERIFY2(!filled.isEmpty(), "the new folder was not named by a rename");
            QVERIFY(flushes.flushed(filled) >= 0);
            QVERIFY(flushes.flushed(filled) < flushes.renamed(folder));
            // The new name is on disk: the folder holding it flushed after the rename.
            bool parentAfter = false;
            for (int i = flushes.renamed(folder) + 1; i < flushes.events.size(); ++i)
                parentAfter = parentAfter || flushes.events[i].path == work.path();
            QVERIFY2(parentAfter, "the folder holding the new folder was not flushed after it");
        } else {
            QVERIFY2(flushes.flushed(folder) >= 0, "the folder was not flushed");
        }
        for (const QString &name : twoNotesExported().keys()) {
            const int file = flushes.flushed(filled + QLatin1Char('/') + name);
            QVERIFY2(file >= 0, qPrintable(name + QStringLiteral(" was not flushed")));
            if (existing)
                QVERIFY(file < flushes.flushed(folder));
        }
    }

    // A disk that fills during an export is named as full, and nothing of the export is left:
    // neither a new folder, nor a file in an empty folder, nor a half-filled folder beside it.
    void exportOnAFullDiskSaysSo_data()
    {
        QTest::addColumn<bool>("existing");
        QTest::newRow("new folder") << false;
        QTest::newRow("empty folder") << true;
    }
    void exportOnAFullDiskSaysSo()
    {
        QFETCH(bool, existing);
        TestDatabase db;
        addTwoNotes(db);
        // Larger than the whole small disk.
        db.addNote(QStringLiteral("stor"), QString(1024 * 1024, QLatin1Char('x')));
        const QByteArray database = contents(db.path());
        QTemporaryDir work;
        const QString disk = work.filePath(QStringLiteral("liten"));
        const SmallDisk small(disk);
        if (!small.mounted())
            QSKIP(small.reason().constData());
        // The mounted disk itself is an empty folder there already.
        const QString folder = existing ? disk : disk + QStringLiteral("/ut");
        const Run result = run({"--db", db.path(), "export", folder});
        QCOMPARE(result.status, 2);
        QVERIFY2(result.err.contains(QStringLiteral("Disken är full")), qPrintable(result.err));
        QVERIFY2(result.err.contains(QStringLiteral("Ingenting exporterades")),
                 qPrintable(result.err));
        QCOMPARE(snapshot(disk), (QMap<QString, QByteArray>()));
        QCOMPARE(modeOf(disk), 0751);
        QCOMPARE(contents(db.path()), database);
    }

    // A backup and an export are never readable by anyone who may not read the database: the
    // backup has the database's own rights, the export's new folder and files a folder's and
    // a file's usual ones for the umask, less what the database keeps from the group and the
    // others. An empty folder exported into keeps its own rights.
    void copiesAreNoWiderThanTheNotes_data()
    {
        QTest::addColumn<int>("database");
        QTest::addColumn<int>("umask");
        QTest::addColumn<int>("backup");
        QTest::addColumn<int>("folder");
        QTest::addColumn<int>("files");
        QTest::newRow("private notes, usual umask") << 0600 << 022 << 0600 << 0700 << 0600;
        QTest::newRow("private notes, no umask") << 0600 << 0 << 0600 << 0700 << 0600;
        QTest::newRow("group may read, no umask") << 0640 << 0 << 0640 << 0770 << 0660;
        QTest::newRow("all may read, usual umask") << 0644 << 022 << 0644 << 0755 << 0644;
        QTest::newRow("all may read, private umask") << 0644 << 077 << 0644 << 0700 << 0600;
        QTest::newRow("read-only notes") << 0400 << 022 << 0400 << 0700 << 0600;
    }
    void copiesAreNoWiderThanTheNotes()
    {
        QFETCH(int, database);
        QFETCH(int, umask);
        QFETCH(int, backup);
        QFETCH(int, folder);
        QFETCH(int, files);
        TestDatabase db;
        addTwoNotes(db);
        QCOMPARE(::chmod(QFile::encodeName(db.path()).constData(), mode_t(database)), 0);
        const QByteArray before = contents(db.path());
        QTemporaryDir work;
        const Umask mask{mode_t(umask)};

        const QString copy = work.filePath(QStringLiteral("kopia.mdb"));
        const Run backedUp = run({"--db", db.path(), "backup", copy});
        QVERIFY2(backedUp.status == 0, qPrintable(backedUp.err));
        QCOMPARE(modeOf(copy), backup);

        const QString made = work.filePath(QStringLiteral("ny"));
        const Run exported = run({"--db", db.path(), "export", made});
        QVERIFY2(exported.status == 0, qPrintable(exported.err));
        QCOMPARE(modeOf(made), folder);
        const QString there = work.filePath(QStringLiteral("fanns"));
        QVERIFY(QDir().mkdir(there));
        QCOMPARE(::chmod(QFile::encodeName(there).constData(), 0755), 0);
        const Run into = run({"--db", db.path(), "export", there});
        QVERIFY2(into.status == 0, qPrintable(into.err));
        QCOMPARE(modeOf(there), 0755);
        for (const QString &name : twoNotesExported().keys()) {
            QCOMPARE(modeOf(QDir(made).filePath(name)), files);
            QCOMPARE(modeOf(QDir(there).filePath(name)), files);
        }
        QCOMPARE(contents(db.path()), before);
        QCOMPARE(modeOf(db.path()), database);
    }

    // A path that cannot be a database is named for what it is, and nothing is made or changed.
    void pathsThatAreNoDatabaseAreNamed_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("notExpected");
        QTest::newRow("FIFO") << "fifo"
                              << "namngiven pipe (FIFO)"
                              << "mapp";
        QTest::newRow("/dev/null") << "null"
                                   << "teckenenhet"
                                   << "mapp";
        QTest::newRow("link to /dev/null") << "link to null"
                                           << "teckenenhet"
                                           << "mapp";
        QTest::newRow("folder") << "folder"
                                << "ingen fil utan en mapp"
                                << "ingen vanlig fil";
        QTest::newRow("loop of links") << "loop"
                                       << "slinga"
                                       << "som inte finns";
        QTest::newRow("loop in the folders") << "folder loop"
                                             << "slinga"
                                             << "som inte finns";
        QTest::newRow("link to nothing") << "dangling"
                                         << "som inte finns"
                                         << "slinga";
    }
    void pathsThatAreNoDatabaseAreNamed()
    {
        QFETCH(QString, kind);
        QFETCH(QString, expected);
        QFETCH(QString, notExpected);
        QTemporaryDir work;
        QString path = work.filePath(QStringLiteral("memo.mdb"));
        const QByteArray name = QFile::encodeName(path);
        if (kind == QLatin1String("fifo")) {
            QCOMPARE(::mkfifo(name.constData(), 0600), 0);
        } else if (kind == QLatin1String("null")) {
            path = QStringLiteral("/dev/null");
        } else if (kind == QLatin1String("link to null")) {
            QVERIFY(QFile::link(QStringLiteral("/dev/null"), path));
        } else if (kind == QLatin1String("folder")) {
            QVERIFY(QDir().mkdir(path));
        } else if (kind == QLatin1String("loop")) {
            QVERIFY(QFile::link(work.filePath(QStringLiteral("andra")), path));
            QVERIFY(QFile::link(path, work.filePath(QStringLiteral("andra"))));
        } else if (kind == QLatin1String("folder loop")) {
            QVERIFY(QFile::link(QStringLiteral("b"), work.filePath(QStringLiteral("a"))));
            QVERIFY(QFile::link(QStringLiteral("a"), work.filePath(QStringLiteral("b"))));
            path = work.filePath(QStringLiteral("a/memo.mdb"));
        } else if (kind == QLatin1String("dangling")) {
            QVERIFY(QFile::link(work.filePath(QStringLiteral("borta.mdb")), path));
        }
        const auto before = snapshot(work.path());
        for (const QStringList &command : {QStringList{"list"}, QStringList{"show", "1"}}) {
            const Run result = run(QStringList{"--db", path} + command, work.path());
            QCOMPARE(result.status, 2);
            QVERIFY2(result.err.contains(path), qPrintable(result.err));
            QVERIFY2(result.err.contains(expected), qPrintable(result.err));
            QVERIFY2(!result.err.contains(notExpected), qPrintable(result.err));
        }
        QCOMPARE(snapshot(work.path()), before);
    }

    // The path is measured as SQLite measures it, with every link followed: a short link to a
    // path too long is refused as too long, saying how long it really is; a long path that
    // links make short opens; the longest path SQLite opens opens and one byte more is refused.
    void pathLengthIsMeasuredWithLinksFollowed_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("resolvedBytes");
        QTest::addColumn<bool>("opens");
        QTest::newRow("longest") << "plain" << 504 << true;
        QTest::newRow("one byte too long") << "plain" << 505 << false;
        QTest::newRow("short link to the longest") << "link" << 504 << true;
        QTest::newRow("short link to one byte too long") << "link" << 505 << false;
        QTest::newRow("long path made short by links") << "long typed" << 0 << true;
    }
    void pathLengthIsMeasuredWithLinksFollowed()
    {
        QFETCH(QString, kind);
        QFETCH(int, resolvedBytes);
        QFETCH(bool, opens);
        TestDatabase db;
        db.addNote(QStringLiteral("djup"), QStringLiteral("mapp"));
        QTemporaryDir work;
        const QString root = QFileInfo(work.path()).canonicalFilePath();
        QString real = db.path();
        if (resolvedBytes > 0) {
            const qsizetype fileName = QByteArray("/memo.mdb").size();
            const QString folder = folderOfLength(root, resolvedBytes - fileName);
            QVERIFY(QDir().mkpath(folder));
            real = folder + QStringLiteral("/memo.mdb");
            QCOMPARE(real.toUtf8().size(), resolvedBytes);
            QVERIFY(QFile::copy(db.path(), real));
        }
        QString path = real;
        if (kind == QLatin1String("link")) {
            path = root + QStringLiteral("/kort.mdb");
            QVERIFY(QFile::link(real, path));
        } else if (kind == QLatin1String("long typed")) {
            // Folders that are links to the folder they are in: twelve of them make a path of
            // over 600 bytes that leads back to where it began.
            const QString loop(50, QLatin1Char('l'));
            QVERIFY(QFile::link(QStringLiteral("."), root + QLatin1Char('/') + loop));
            path = root;
            for (int i = 0; i < 12; ++i)
                path += QLatin1Char('/') + loop;
            path += QStringLiteral("/memo.mdb");
            QVERIFY(path.toUtf8().size() > 600);
            real = root + QStringLiteral("/memo.mdb");
            QVERIFY(QFile::copy(db.path(), real));
        }
        const QByteArray before = contents(real);
        const Run result = run({"--db", path, "list"});
        if (opens) {
            QVERIFY2(result.status == 0, qPrintable(result.err));
            QCOMPARE(result.out, QByteArray("1\tdjup\n"));
        } else {
            QCOMPARE(result.status, 2);
            QVERIFY2(result.err.contains(QStringLiteral("för lång")), qPrintable(result.err));
            QVERIFY2(result.err.contains(
                         QStringLiteral("(%1 byte, högst 504 går att öppna)").arg(resolvedBytes)),
                     qPrintable(result.err));
            if (path != real)
                QVERIFY2(result.err.contains(real), qPrintable(result.err));
        }
        QCOMPARE(contents(real), before);
    }

    // An empty --db names no database: a usage error, not the usual database opened instead.
    void emptyDbIsAUsageError_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::newRow("list") << QStringList{"list"};
        QTest::newRow("export") << QStringList{"export", "ut"};
        QTest::newRow("backup") << QStringList{"backup", "kopia.mdb"};
    }
    void emptyDbIsAUsageError()
    {
        QFETCH(QStringList, command);
        QTemporaryDir work;
        for (const QString &option : {QStringLiteral("--db="), QStringLiteral("--db")}) {
            QStringList arguments{option};
            if (option == QLatin1String("--db"))
                arguments << QString();
            const Run result = run(arguments + command, work.path());
            QCOMPARE(result.status, 1);
            QVERIFY(result.out.isEmpty());
            QVERIFY2(result.err.contains(QStringLiteral("--db behöver en SÖKVÄG")),
                     qPrintable(result.err));
            QVERIFY2(!result.err.contains(QStringLiteral("zentavo-newdb")), qPrintable(result.err));
        }
        QVERIFY(QDir(work.path()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestNotesFiles)
#include "tst_notes_files.moc"
