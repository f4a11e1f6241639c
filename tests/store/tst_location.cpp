// Where the programs find their notes, on real folders in a temporary directory with the
// environment and the umask under the test's control: a database beside the executable wins,
// a portable copy without one is refused as before, a system-wide installation makes each
// user's own in their data folder, readable by the user alone, and --db names any other.

#include "ProcessSettings.h"
#include "store/DatabaseLocation.h"
#include "store/NewDatabase.h"
#include "store/NoteStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using store::DatabaseLocation;
using store::Installation;
using testsupport::EnvironmentVariable;
using testsupport::modeOf;
using testsupport::Umask;

namespace {

QString memoTableSql(const QString &path)
{
    QString sql;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "look");
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec("SELECT sql FROM sqlite_master WHERE name = 'Memo'") && query.next())
                sql = query.value(0).toString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase("look");
    return sql;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestLocation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Which file each kind of installation uses, with and without memo.mdb beside the program
    // and with a database named on the command line.
    void theRule_data()
    {
        QTest::addColumn<Installation>("installation");
        QTest::addColumn<QString>("besideProgram"); // "" none, "file", "link" to nothing
        QTest::addColumn<QString>("chosen");        // as given with --db
        QTest::addColumn<QString>("expected");      // "beside", "own", "chosen"

        const auto portable = Installation::Portable;
        const auto systemWide = Installation::SystemWide;
        QTest::newRow("portable, beside") << portable << "file"
                                          << ""
                                          << "beside";
        QTest::newRow("portable, none beside") << portable << ""
                                               << ""
                                               << "beside";
        QTest::newRow("system-wide, beside") << systemWide << "file"
                                             << ""
                                             << "beside";
        QTest::newRow("system-wide, broken link beside") << systemWide << "link"
                                                         << ""
                                                         << "beside";
        QTest::newRow("system-wide, none beside") << systemWide << ""
                                                  << ""
                                                  << "own";
        QTest::newRow("portable, --db") << portable << "file"
                                        << "other.mdb"
                                        << "chosen";
        QTest::newRow("system-wide, --db") << systemWide << ""
                                           << "other.mdb"
                                           << "chosen";
        QTest::newRow("system-wide, --db, beside") << systemWide << "file"
                                                   << "a/b.mdb"
                                                   << "chosen";
    }
    void theRule()
    {
        QFETCH(Installation, installation);
        QFETCH(QString, besideProgram);
        QFETCH(QString, chosen);
        QFETCH(QString, expected);

        QTemporaryDir root;
        const QString program = root.filePath("bin");
        QVERIFY(QDir().mkpath(program));
        const QString beside = program + "/memo.mdb";
        if (besideProgram == "file")
            QVERIFY(store::createEmptyDatabase(beside));
        else if (besideProgram == "link")
            QVERIFY(QFile::link(root.filePath("gone.mdb"), beside));
        const EnvironmentVariable dataHome("XDG_DATA_HOME", root.filePath("data").toUtf8());
        const QString own = root.filePath("data/zentavo/memo.mdb");
        const QString work = root.filePath("work");
        QVERIFY(QDir().mkpath(work));
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(work));

        const DatabaseLocation location = store::locateDatabase(chosen, program, installation);
        QVERIFY(QDir::setCurrent(before));

        if (expected == "beside")
            QCOMPARE(location, (DatabaseLocation{.path = beside}));
        else if (expected == "own")
            QCOMPARE(location, (DatabaseLocation{.path = own, .madeWhenMissing = true}));
        else
            QCOMPARE(location, (DatabaseLocation{.path = work + "/" + chosen}));
        // Finding the database makes nothing.
        QVERIFY(!QFileInfo::exists(root.filePath("data")));
        if (!chosen.isEmpty())
            QVERIFY(!QFileInfo::exists(work + "/" + chosen));
    }

    // The user's own database is made on first use: every missing folder 0700 and the file
    // 0600 whatever the umask, with the same table as a new database; made once, never again.
    void makesTheUsersOwnPrivately_data()
    {
        QTest::addColumn<int>("mask");
        QTest::newRow("umask 022") << 0022;
        QTest::newRow("umask 000") << 0000;
        QTest::newRow("umask 077") << 0077;
        QTest::newRow("umask 277") << 0277;
    }
    void makesTheUsersOwnPrivately()
    {
        QFETCH(int, mask);
        QTemporaryDir root;
        const QString home = root.filePath("home");
        QVERIFY(QDir().mkpath(home));
        const EnvironmentVariable homeVariable("HOME", home.toUtf8());
        const EnvironmentVariable dataHome("XDG_DATA_HOME", std::nullopt);
        QVERIFY(store::createEmptyDatabase(root.filePath("reference.mdb")));

        const DatabaseLocation location
            = store::locateDatabase({}, root.filePath("bin"), Installation::SystemWide);
        const QString path = home + "/.local/share/zentavo/memo.mdb";
        QCOMPARE(location.path, path);
        {
            const Umask umask{mode_t(mask)};
            const store::Result<store::Made> made = store::makeWhenMissing(location);
            QVERIFY2(made, made ? "" : qPrintable(made.error().message()));
            QCOMPARE(*made, store::Made::Now);
        }
        for (const char *folder : {"/.local", "/.local/share", "/.local/share/zentavo"})
            QCOMPARE(modeOf(home + folder), 0700);
        QCOMPARE(modeOf(path), 0600);
        QCOMPARE(memoTableSql(path), memoTableSql(root.filePath("reference.mdb")));
        QVERIFY(store::NoteStore(path).check());
        // Nothing else is left in the folder: the file appeared under its name whole.
        QCOMPARE(QDir(home + "/.local/share/zentavo")
                     .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"memo.mdb"});

        // Made once: a later start keeps the notes.
        QVERIFY(store::NoteStore(path).insertNote("behåll", "mig"));
        const QByteArray notes = contents(path);
        const store::Result<store::Made> again = store::makeWhenMissing(location);
        QVERIFY(again);
        QCOMPARE(*again, store::Made::AlreadyThere);
        QCOMPARE(contents(path), notes);
    }

    // Folders that are there already keep their rights; only the file is made.
    void keepsFoldersThatAreThere()
    {
        QTemporaryDir root;
        const QString folder = root.filePath("data/zentavo");
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                  | QFile::ReadGroup | QFile::ExeGroup));
        const EnvironmentVariable dataHome("XDG_DATA_HOME", root.filePath("data").toUtf8());
        const Umask umask{0022};
        const DatabaseLocation location
            = store::locateDatabase({}, root.filePath("bin"), Installation::SystemWide);
        QCOMPARE(*store::makeWhenMissing(location), store::Made::Now);
        QCOMPARE(modeOf(folder), 0750);
        QCOMPARE(modeOf(folder + "/memo.mdb"), 0600);
    }

    // Nothing is made where the rule does not call for it: beside a portable program, at a path
    // named with --db, or over anything at the path.
    void makesNothingElse_data()
    {
        QTest::addColumn<Installation>("installation");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("atPath"); // "", "folder", "text"
        QTest::newRow("portable, none beside") << Installation::Portable << ""
                                               << "";
        QTest::newRow("--db missing") << Installation::SystemWide << "other.mdb"
                                      << "";
        QTest::newRow("a folder at the path") << Installation::SystemWide << ""
                                              << "folder";
        QTest::newRow("a text file at the path") << Installation::SystemWide << ""
                                                 << "text";
    }
    void makesNothingElse()
    {
        QFETCH(Installation, installation);
        QFETCH(QString, chosen);
        QFETCH(QString, atPath);
        QTemporaryDir root;
        const EnvironmentVariable dataHome("XDG_DATA_HOME", root.filePath("data").toUtf8());
        const QString program = root.filePath("bin");
        QVERIFY(QDir().mkpath(program));
        const DatabaseLocation location = store::locateDatabase(
            chosen.isEmpty() ? chosen : root.filePath(chosen), program, installation);
        if (atPath == "folder") {
            QVERIFY(QDir().mkpath(location.path));
        } else if (atPath == "text") {
            QVERIFY(QDir().mkpath(QFileInfo(location.path).path()));
            QFile text(location.path);
            QVERIFY(text.open(QIODevice::WriteOnly));
            text.write("inte en databas");
        }
        const QStringList before = QDir(root.path()).entryList(QDir::AllEntries | QDir::Hidden);
        const QByteArray bytes = contents(location.path);

        const store::Result<store::Made> made = store::makeWhenMissing(location);
        QVERIFY(made);
        QCOMPARE(*made, store::Made::AlreadyThere);
        QCOMPARE(QDir(root.path()).entryList(QDir::AllEntries | QDir::Hidden), before);
        QCOMPARE(contents(location.path), bytes);
        // The store then says what is wrong with the file, as it always has.
        const store::Result<store::Done> checked = store::NoteStore(location.path).check();
        QVERIFY(!checked);
        QVERIFY2(checked.error().message().contains(location.path),
                 qPrintable(checked.error().message()));
        if (atPath.isEmpty())
            QVERIFY(checked.error().cause.contains("finns inte"));
    }

    // A data folder that cannot be made is reported with the file it was for, and leaves nothing.
    void reportsAFolderThatCannotBeMade()
    {
        QTemporaryDir root;
        // A file where the data folder should be: no user, not even root, can make folders in it.
        QFile blocker(root.filePath("data"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const EnvironmentVariable dataHome("XDG_DATA_HOME", root.filePath("data").toUtf8());
        const DatabaseLocation location
            = store::locateDatabase({}, root.filePath("bin"), Installation::SystemWide);
        const store::Result<store::Made> made = store::makeWhenMissing(location);
        QVERIFY(!made);
        QCOMPARE(made.error().path, location.path);
        QVERIFY2(made.error().cause.contains(root.filePath("data")),
                 qPrintable(made.error().message()));
        QCOMPARE(QFileInfo(root.filePath("data")).size(), 0);
        QVERIFY(QFileInfo(root.filePath("data")).isFile());
    }

    // A build is portable unless configured otherwise (the tests need a portable build; the
    // package's test checks the system-wide one as installed).
    void portableUnlessConfiguredOtherwise()
    {
        QCOMPARE(store::configuredInstallation(), Installation::Portable);
    }
};

QTEST_GUILESS_MAIN(TestLocation)
#include "tst_location.moc"
