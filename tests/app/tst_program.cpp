// The zentavo program itself, started from a terminal without any display: help and the
// version are answered there, and a start that cannot show its window says why and ends with
// status 1 instead of aborting. And the database the three programs use.

#include "ProgramRun.h"
#include "store/NewDatabase.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

namespace {

using Run = testsupport::ProgramRun;

// Runs a copy of a program (zentavo unless named) in its own folder, so that nothing beside the
// build's is touched, with no display of any kind in the environment, or on Qt's offscreen
// platform.
Run runCopy(const QTemporaryDir &folder, const QStringList &arguments, const QString &platform = {},
            const QString &built = QStringLiteral(ZENTAVO),
            const QProcessEnvironment &extra = QProcessEnvironment())
{
    const QString program = folder.filePath(QFileInfo(built).fileName());
    if (!QFile::exists(program))
        QFile::copy(built, program);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString &name : {QStringLiteral("DISPLAY"), QStringLiteral("WAYLAND_DISPLAY"),
                                QStringLiteral("QT_QPA_PLATFORM")})
        environment.remove(name);
    if (!platform.isEmpty())
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    environment.insert(extra);
    QProcess process;
    process.setProcessEnvironment(environment);
    return testsupport::runToEnd(process, program, arguments, 30000);
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A database of a few notes whose table's first page is then damaged; the schema on the file's
// first page stays whole.
void makeDamagedDatabase(const QString &path)
{
    QVERIFY(store::createEmptyDatabase(path));
    qint64 page = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "damage");
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery query(db);
        for (int i = 0; i < 3; ++i)
            QVERIFY(query.exec(
                QStringLiteral("INSERT INTO Memo (Titel, Text) VALUES ('t%1', 'x')").arg(i)));
        QVERIFY(query.exec("SELECT rootpage, (SELECT page_size FROM pragma_page_size) "
                           "FROM sqlite_master WHERE name = 'Memo'"));
        QVERIFY(query.next());
        page = (query.value(0).toLongLong() - 1) * query.value(1).toLongLong();
        db.close();
    }
    QSqlDatabase::removeDatabase("damage");
    QFile file(path);
    QVERIFY(page > 0 && file.open(QIODevice::ReadWrite) && file.seek(page));
    QCOMPARE(file.write(QByteArray(16, '\xff')), 16);
}

Run runWithoutDisplay(const QTemporaryDir &folder, const QStringList &arguments)
{
    return runCopy(folder, arguments);
}

} // namespace

class TestProgram : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void helpAndVersionNeedNoDisplay_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("expected");
        QTest::newRow("--help") << QStringLiteral("--help") << QStringLiteral("memo.mdb");
        QTest::newRow("-h") << QStringLiteral("-h") << QStringLiteral("--version");
        QTest::newRow("--version") << QStringLiteral("--version") << QStringLiteral("Zentavo 1.0");
        QTest::newRow("--help, the keys")
            << QStringLiteral("--help") << QStringLiteral("  Ctrl+Delete       Radera\n");
    }
    void helpAndVersionNeedNoDisplay()
    {
        QFETCH(QString, argument);
        QFETCH(QString, expected);
        QTemporaryDir folder;
        const Run run = runWithoutDisplay(folder, {argument});
        QCOMPARE(run.status, 0);
        QVERIFY2(QString::fromUtf8(run.out).contains(expected), run.out.constData());
        // The measuring option is not for a person.
        QVERIFY(!run.out.contains("report-first-frame"));
    }

    void startWithoutDisplaySaysWhyAndEnds()
    {
        QTemporaryDir folder;
        const Run run = runWithoutDisplay(folder, {});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains(QStringLiteral("DISPLAY")), qPrintable(run.err));
        QVERIFY2(run.err.contains(QStringLiteral("ingen bildskärm")), qPrintable(run.err));
        // It ends before looking for its database, and creates none.
        QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("memo.mdb"))));
    }

    // The three programs of a portable copy agree on its database, memo.mdb beside them; the
    // help of zentavo and zentavo-notes names it, and the one --db names instead.
    void programsAgreeOnTheDatabase()
    {
        QTemporaryDir folder;
        const QString beside = folder.filePath(QStringLiteral("memo.mdb"));
        const QString other = folder.filePath(QStringLiteral("annan/memo.mdb"));
        const QString notes = QStringLiteral(ZENTAVO_NOTES);
        const auto help = [&](const QStringList &arguments, const QString &program) {
            const Run run = runCopy(folder, arguments, {}, program);
            return run.status == 0 ? QString::fromUtf8(run.out) : QString();
        };
        for (const QString &program : {QStringLiteral(ZENTAVO), notes}) {
            const QString text = help({"--help"}, program);
            QVERIFY2(
                text.contains(QStringLiteral("Anteckningsdatabasen: %1 (finns inte").arg(beside)),
                qPrintable(text));
            const QString chosen = help({"--db", other, "--help"}, program);
            QVERIFY2(chosen.contains(QStringLiteral("Anteckningsdatabasen: %1 ").arg(other)),
                     qPrintable(chosen));
        }
        QVERIFY(help({"--help"}, notes)
                    .contains(QStringLiteral("Slutstatus: 0 klart, 1 fel i kommandoraden, 2 "
                                             "databasen eller en fil\nkan inte användas")));
        // Help makes nothing; zentavo-newdb without a path makes the database the others use.
        QVERIFY(!QFile::exists(beside));
        QCOMPARE(runCopy(folder, {}, {}, QStringLiteral(ZENTAVO_NEWDB)).status, 0);
        QVERIFY(QFile::exists(beside));
        QVERIFY(help({"--help"}, QStringLiteral(ZENTAVO))
                    .split('\n')
                    .contains(QStringLiteral("Anteckningsdatabasen: %1").arg(beside)));
        const Run listed = runCopy(folder, {"list"}, {}, notes);
        QCOMPARE(listed.status, 0);
        QVERIFY(listed.out.isEmpty());
        QVERIFY(listed.err.isEmpty());
    }

    // zentavo --db opens the database named: one that is missing is reported by its path, the
    // program ends with status 1, and nothing is made there or beside the program.
    void dbOpensAnotherDatabase()
    {
        QTemporaryDir folder;
        QVERIFY(store::createEmptyDatabase(folder.filePath(QStringLiteral("memo.mdb"))));
        const QString missing = folder.filePath(QStringLiteral("saknas.mdb"));
        const Run run = runCopy(folder, {"--db", missing}, QStringLiteral("offscreen"));
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains(missing), qPrintable(run.err));
        QVERIFY(run.err.contains(QStringLiteral("filen finns inte")));
        QVERIFY(!QFile::exists(missing));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files),
                 QStringList({QStringLiteral("memo.mdb"), QStringLiteral("zentavo")}));
    }

    // A command line the program cannot act on ends it before any window, with status 1: --db
    // that names no database it could open (empty, as a usage error; a special file named for
    // what it is) or two commands at once. Nothing is made.
    void refusedCommandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << QStringList{"--db", ""} << "--db behöver en SÖKVÄG";
        QTest::newRow("empty, =") << QStringList{"--db="} << "--db behöver en SÖKVÄG";
        QTest::newRow("FIFO") << QStringList{"--db", "fifo"} << "namngiven pipe (FIFO)";
        QTest::newRow("/dev/null") << QStringList{"--db", "/dev/null"} << "teckenenhet";
        QTest::newRow("two commands")
            << QStringList{"--find", "--toggle"} << "Ange bara ett av --toggle, --new och --find.";
    }
    void refusedCommandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, expected);
        QTemporaryDir folder;
        const QString beside = folder.filePath(QStringLiteral("memo.mdb"));
        QVERIFY(store::createEmptyDatabase(beside));
        const QByteArray before = contents(beside);
        const QString fifo = folder.filePath(QStringLiteral("fifo"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        arguments.replaceInStrings(QStringLiteral("fifo"), fifo);
        const Run run = runCopy(folder, arguments, QStringLiteral("offscreen"));
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains(expected), qPrintable(run.err));
        QVERIFY2(!run.err.contains(QStringLiteral("mapp")), qPrintable(run.err));
        QCOMPARE(contents(beside), before);
        QCOMPARE(
            QDir(folder.path())
                .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList(
                {QStringLiteral("fifo"), QStringLiteral("memo.mdb"), QStringLiteral("zentavo")}));
    }

    // A file whose notes cannot be read, though its schema can, ends the start with status 1
    // and a report that names the file; nothing is written, neither the file nor a draft.
    void damagedNotesEndTheStart()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("skadad.mdb"));
        makeDamagedDatabase(path);
        const QByteArray before = contents(path);
        QTemporaryDir state;
        QProcessEnvironment extra;
        extra.insert(QStringLiteral("XDG_STATE_HOME"), state.path());
        const Run run = runCopy(folder, {"--db", path}, QStringLiteral("offscreen"),
                                QStringLiteral(ZENTAVO), extra);
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains(path), qPrintable(run.err));
        QVERIFY2(run.err.contains(QStringLiteral("säkerhetskopia")), qPrintable(run.err));
        QCOMPARE(contents(path), before);
        QVERIFY(QDir(state.path()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
