// Bad files at start: the real program, copied beside a memo.mdb that is missing, empty, text,
// truncated, without table Memo or one of its columns, read-only, in a read-only folder, or held
// by another program mid-transaction. Where start-up cannot go on, the program exits non-zero
// with a message naming the path and the cause; wherever it can, it starts. The file is never
// changed, and a missing file is never created.
//
// On the offscreen platform the program reports on stderr only. That it has started is seen from
// Qt's own accessibility log, which records the window when it is first shown.

#include "DamagedPages.h"
#include "ReliabilitySupport.h"
#include "store/NewDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

using namespace reliability;

namespace {

constexpr uid_t Nobody = 65534;

struct Outcome
{
    bool started = false;
    int exitCode = 0;
    QString err;
};

bool makeDatabase(const QString &path, const QString &statements)
{
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "make");
        db.setDatabaseName(path);
        ok = db.open();
        for (const QString &statement : statements.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            QSqlQuery q(db);
            ok = ok && q.exec(statement);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase("make");
    return ok;
}

QStringList asNobody(const QString &program)
{
    return {QStringLiteral("--reuid=%1").arg(Nobody), QStringLiteral("--regid=%1").arg(Nobody),
            QStringLiteral("--clear-groups"), program};
}

// Starts the program in folder and waits until it has either ended or shown its window; with
// `toItsEnd`, until it has ended (a start that fails once the window shows).
Outcome runProgram(const QString &folder, bool nobody, bool toItsEnd = false)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QT_LOGGING_RULES"),
               QStringLiteral("qt.accessibility.cache.debug=true"));
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(QDir::rootPath());
    const QString program = folder + QStringLiteral("/zentavo");
    if (nobody)
        p.start(QStringLiteral("setpriv"), asNobody(program));
    else
        p.start(program, {});
    Outcome outcome;
    if (!p.waitForStarted(30000))
        return outcome;
    auto shown = [&] {
        outcome.err += QString::fromUtf8(p.readAllStandardError());
        return outcome.err.contains(QStringLiteral("obj=window::NoteWindow"));
    };
    const bool settled = QTest::qWaitFor(
        [&] { return (!toItsEnd && shown()) || p.state() == QProcess::NotRunning; }, 120000);
    Q_UNUSED(settled); // a program still starting after two minutes fails as "not started"
    outcome.started = shown() && p.state() != QProcess::NotRunning;
    if (outcome.started)
        p.terminate();
    p.waitForFinished(30000);
    outcome.err += QString::fromUtf8(p.readAllStandardError());
    outcome.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return outcome;
}

} // namespace

class TestBadFiles : public QObject
{
    Q_OBJECT

private:
    int m_refused = 0, m_started = 0, m_changed = 0, m_created = 0, m_cases = 0;

private Q_SLOTS:
    void badFileAtStart_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("mustStart");
        QTest::addColumn<QString>("cause");
        QTest::newRow("missing file") << "missing" << false << "filen finns inte";
        QTest::newRow("zero-length file") << "zero" << false << "tom (0 byte)";
        QTest::newRow("text file") << "text" << false << "file is not a database";
        QTest::newRow("truncated database") << "truncated" << false << "malformed";
        QTest::newRow("no table Memo") << "nomemo" << false << "saknar tabellen Memo";
        QTest::newRow("Memo without Titel") << "notitel" << false << "saknar kolumnen Titel";
        QTest::newRow("Memo without Text") << "notext" << false << "saknar kolumnen Text";
        // The schema reads; a page of notes does not. Refused as the window first shows (its
        // pages are read right after the first frame), with a remedy: the program ends by itself.
        QTest::newRow("damaged note pages") << "damaged" << false << "zentavo-notes backup";
        QTest::newRow("ID INTEGER PRIMARY KEY DESC") << "desc" << false << "INTEGER PRIMARY KEY";
        QTest::newRow("exclusive lock held") << "exclusive" << false << "database is locked";
        // Reading needs neither write access nor a journal, and a RESERVED lock lets readers in:
        // the notes can be read, so the program starts; a save then says why it cannot write.
        QTest::newRow("reserved lock held") << "reserved" << true << "";
        QTest::newRow("read-only file") << "rofile" << true << "readonly database";
        QTest::newRow("read-only folder") << "rofolder" << true << "readonly database";
    }

    void badFileAtStart()
    {
        QFETCH(QString, kind);
        QFETCH(bool, mustStart);
        QFETCH(QString, cause);
        const bool nobody = kind == QStringLiteral("rofile") || kind == QStringLiteral("rofolder");
        if (nobody && ::geteuid() != 0)
            QSKIP("making a file read-only to the program needs root, to run it as nobody");
        if (nobody && QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
            QSKIP("setpriv (util-linux) is not installed; cannot run the program as nobody");

        QTemporaryDir top;
        QVERIFY(top.isValid());
        QVERIFY(QFile::setPermissions(top.path(), QFile::ReadOwner | QFile::WriteOwner
                                                      | QFile::ExeOwner | QFile::ReadOther
                                                      | QFile::ExeOther));
        const QString folder = top.filePath(QStringLiteral("prog"));
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + QStringLiteral("/memo.mdb");
        QVERIFY(QFile::copy(QStringLiteral(ZENTAVO_PROGRAM), folder + QStringLiteral("/zentavo")));
        QVERIFY(QFile::copy(QStringLiteral(ZENTAVO_DRIVER), folder + QStringLiteral("/driver")));

        const QString notes = QStringLiteral(
            "CREATE TABLE Memo (ID INTEGER PRIMARY KEY AUTOINCREMENT, Titel TEXT, Text TEXT);"
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300) "
            "INSERT INTO Memo (Titel, Text) SELECT 'titel ' || i, printf('%.*c', 900, 'x') "
            "FROM n");
        if (kind == QStringLiteral("zero")) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
        } else if (kind == QStringLiteral("text")) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray("Inköpslista: mjölk, bröd, smör.\n").repeated(100));
        } else if (kind == QStringLiteral("truncated")) {
            QVERIFY(makeDatabase(path, notes));
            QFile f(path);
            QVERIFY(f.resize(f.size() / 2));
        } else if (kind == QStringLiteral("nomemo")) {
            QVERIFY(makeDatabase(path, QStringLiteral("CREATE TABLE Annat (ID INTEGER)")));
        } else if (kind == QStringLiteral("notitel")) {
            QVERIFY(makeDatabase(path, QStringLiteral("CREATE TABLE Memo (ID INTEGER PRIMARY KEY, "
                                                      "Text TEXT)")));
        } else if (kind == QStringLiteral("notext")) {
            QVERIFY(makeDatabase(path, QStringLiteral("CREATE TABLE Memo (ID INTEGER PRIMARY KEY, "
                                                      "Titel TEXT)")));
        } else if (kind == QStringLiteral("damaged")) {
            QVERIFY(makeDatabase(path, notes));
            QVERIFY(testsupport::damagePageHolding(path, "titel 150") > 0);
        } else if (kind == QStringLiteral("desc")) {
            QVERIFY(makeDatabase(path, QString(notes).replace(QStringLiteral("PRIMARY KEY "
                                                                             "AUTOINCREMENT"),
                                                              QStringLiteral("PRIMARY KEY DESC"))));
        } else if (kind != QStringLiteral("missing")) {
            QVERIFY(makeDatabase(path, notes));
        }
        if (nobody) {
            QVERIFY(::chown(path.toLocal8Bit().constData(), Nobody, Nobody) == 0);
            QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner
                                                      | QFile::ExeOwner | QFile::ReadOther
                                                      | QFile::ExeOther));
            if (kind == QStringLiteral("rofile")) {
                QVERIFY(::chown(folder.toLocal8Bit().constData(), Nobody, Nobody) == 0);
                QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadOther));
            }
        }
        const bool existed = QFileInfo::exists(path);
        const QByteArray before = fileBytes(path);

        QProcess holder;
        if (kind == QStringLiteral("exclusive") || kind == QStringLiteral("reserved")) {
            holder.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            holder.start(QStringLiteral(ZENTAVO_DRIVER),
                         {QStringLiteral("hold"), folder, kind, QStringLiteral("600000")});
            QString said;
            QTRY_VERIFY_WITH_TIMEOUT(
                (said += QString::fromUtf8(holder.readAllStandardOutput())).contains("locked"),
                30000);
        }

        const Outcome outcome = runProgram(folder, nobody, kind == QStringLiteral("damaged"));
        if (holder.state() != QProcess::NotRunning) {
            holder.write("release\n");
            QVERIFY(holder.waitForFinished(30000));
            QCOMPARE(holder.exitCode(), 0);
        }
        ++m_cases;
        QCOMPARE(outcome.started, mustStart);
        if (!mustStart) {
            QVERIFY2(outcome.exitCode != 0, qPrintable(outcome.err));
            QVERIFY2(outcome.err.contains(path), qPrintable(outcome.err));
            QVERIFY2(outcome.err.contains(cause), qPrintable(outcome.err));
            ++m_refused;
        } else {
            ++m_started;
        }
        if (nobody) {
            // Started, it can read; a save says why it cannot write, and writes nothing.
            QProcess save;
            save.start(QStringLiteral("setpriv"),
                       asNobody(folder + QStringLiteral("/driver"))
                           + QStringList{QStringLiteral("insert"), folder, QStringLiteral("t"),
                                         QStringLiteral("x")});
            QVERIFY(save.waitForFinished(60000));
            const QString err = QString::fromUtf8(save.readAllStandardError());
            QCOMPARE(save.exitCode(), 1);
            QVERIFY2(err.contains(path) && err.contains(cause), qPrintable(err));
        }
        if (QFileInfo::exists(path) != existed)
            ++m_created;
        if (fileBytes(path) != before)
            ++m_changed;
        QCOMPARE(QFileInfo::exists(path), existed);
        QVERIFY(!QFileInfo::exists(path + QStringLiteral("-journal")));
        QVERIFY(fileBytes(path) == before);
    }

    // A journal left by an interrupted write must be rolled back before the notes can be read,
    // which needs write access to the folder. The message must say so, and following it must
    // work: with write access the program starts and the notes are as before the write.
    void leftoverJournalInReadOnlyFolder()
    {
        if (::geteuid() != 0)
            QSKIP("making a folder read-only to the program needs root, to run it as nobody");
        if (QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
            QSKIP("setpriv (util-linux) is not installed; cannot run the program as nobody");
        QTemporaryDir top;
        QVERIFY(QFile::setPermissions(top.path(), QFile::ReadOwner | QFile::WriteOwner
                                                      | QFile::ExeOwner | QFile::ReadOther
                                                      | QFile::ExeOther));
        const QString folder = top.filePath(QStringLiteral("prog"));
        const QString work = top.filePath(QStringLiteral("work"));
        QVERIFY(QDir().mkpath(folder) && QDir().mkpath(work));
        QVERIFY(QFile::copy(QStringLiteral(ZENTAVO_PROGRAM), folder + QStringLiteral("/zentavo")));
        const QString path = folder + QStringLiteral("/memo.mdb");
        const QString journal = path + QStringLiteral("-journal");

        // Copy the file and its journal in the middle of a write that has reached the file.
        const QString original = work + QStringLiteral("/memo.mdb");
        QVERIFY(makeDatabase(original, QStringLiteral("CREATE TABLE Memo (ID INTEGER PRIMARY KEY "
                                                      "AUTOINCREMENT, Titel TEXT, Text TEXT);"
                                                      "INSERT INTO Memo (Titel, Text) VALUES "
                                                      "('a', 'före'), ('b', 'före')")));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "writer");
            db.setDatabaseName(original);
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec("PRAGMA cache_size = 1"));
            QVERIFY(q.exec("BEGIN"));
            QVERIFY(q.exec("UPDATE Memo SET Text = hex(randomblob(3000))"));
            QVERIFY(QFile::copy(original, path));
            QVERIFY(QFile::copy(original + QStringLiteral("-journal"), journal));
            QVERIFY(q.exec("ROLLBACK"));
            q.clear();
            db.close();
        }
        QSqlDatabase::removeDatabase("writer");
        for (const QString &file : {path, journal})
            QVERIFY(::chown(file.toLocal8Bit().constData(), Nobody, Nobody) == 0);

        const Outcome refused = runProgram(folder, true);
        QVERIFY(!refused.started);
        QVERIFY(refused.exitCode != 0);
        QVERIFY2(refused.err.contains(QStringLiteral("journalfil"))
                     && refused.err.contains(QStringLiteral("skrivrätt till mappen")),
                 qPrintable(refused.err));
        QVERIFY(QFileInfo::exists(journal));

        QVERIFY(::chown(folder.toLocal8Bit().constData(), Nobody, Nobody) == 0);
        const Outcome started = runProgram(folder, true);
        QVERIFY2(started.started, qPrintable(started.err));
        QVERIFY(!QFileInfo::exists(journal));
        QList<QString> texts;
        for (const RawRow &row : rawRows(path))
            texts << row.text;
        QCOMPARE(texts, QList<QString>({QStringLiteral("före"), QStringLiteral("före")}));
    }

    void cleanupTestCase()
    {
        qInfo("bad-files: %d cases; %d refused to start with exit code != 0 and a message naming "
              "path and cause, %d started (reserved lock, read-only file or folder: saving then "
              "reports why), %d files changed, %d files created",
              m_cases, m_refused, m_started, m_changed, m_created);
    }
};

QTEST_MAIN(TestBadFiles)
#include "tst_reliability_badfiles.moc"
