// Crash safety: a driver process saves notes in a loop and is killed with SIGKILL at random
// moments, over and over, on one memo.mdb. After every kill the file passes SQLite's integrity
// check, every note the driver was told had been saved is there with its exact text, and every
// row is a whole note: nothing half-written ever shows.

#include "ReliabilitySupport.h"
#include "TestDatabase.h"
#include "store/Session.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QSqlQuery>
#include <QTest>
#include <chrono>
#include <thread>

using namespace reliability;

class TestKill9 : public QObject
{
    Q_OBJECT

private:
    struct Record
    {
        int run;
        int sequence;
        qlonglong id;
        QByteArray sum;
    };

    // The complete lines of the side file; a line cut short by the kill is removed, so that the
    // next run appends after a whole line. Its save did return, but the driver never got to
    // record it: such a note may be present or not.
    static QList<Record> readSideFile(const QString &path)
    {
        QByteArray bytes = fileBytes(path);
        const qsizetype end = bytes.lastIndexOf('\n') + 1;
        if (end != bytes.size()) {
            bytes.truncate(end);
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
                || file.write(bytes) != bytes.size())
                qFatal("cannot rewrite the side file");
        }
        QList<Record> records;
        for (const QByteArray &line : bytes.split('\n')) {
            const QList<QByteArray> parts = line.split(' ');
            if (parts.size() == 4)
                records.append(
                    {parts[0].toInt(), parts[1].toInt(), parts[2].toLongLong(), parts[3]});
        }
        return records;
    }

    static qsizetype recordCount(const QString &path) { return fileBytes(path).count('\n'); }

private Q_SLOTS:
    void durableCommits()
    {
        // Every save is one rollback-journal transaction that is fsynced before it returns.
        testsupport::TestDatabase db;
        const store::Session session(db.path(), QStringLiteral("test"));
        QVERIFY(!session.failure());
        QSqlQuery q(session.database());
        QVERIFY(q.exec(QStringLiteral("PRAGMA synchronous")) && q.next());
        QCOMPARE(q.value(0).toInt(), 2); // FULL
        QVERIFY(q.exec(QStringLiteral("PRAGMA journal_mode")) && q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("delete"));
        q.clear();
    }

    void killedSaversLoseNothing()
    {
        const int kills = runCount(40, 15, 200);
        const quint64 seed = seedFromEnvironment();
        qInfo("kill-9 seed %llu", seed);
        testsupport::TestDatabase db;
        const QString side = db.folder() + QStringLiteral("/saved.txt");
        Rng rng(seed);

        // What each row must hold, by ID, once its text has been checked in full.
        QHash<qlonglong, QByteArray> verified;
        QHash<int, int> lastRecorded; // run -> last recorded sequence
        int corrupt = 0, lost = 0, partial = 0, midTransaction = 0, unrecorded = 0;

        for (int run = 1; run <= kills; ++run) {
            QProcess driver;
            driver.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            const qsizetype before = recordCount(side);
            driver.start(QStringLiteral(ZENTAVO_DRIVER),
                         {QStringLiteral("save"), db.folder(), side, QString::number(seed),
                          QString::number(run)});
            QVERIFY2(driver.waitForStarted(), qPrintable(driver.errorString()));
            // Let it record a few saves, then kill it at a random moment of the next ones.
            const qsizetype target = before + qsizetype(below(rng, 4));
            QTRY_VERIFY2_WITH_TIMEOUT(recordCount(side) >= target
                                          || driver.state() != QProcess::Running,
                                      "the driver records no saves", 120000);
            QVERIFY2(driver.state() == QProcess::Running,
                     qPrintable(QString::fromUtf8(driver.readAllStandardOutput())));
            std::this_thread::sleep_for(std::chrono::microseconds(below(rng, 40000)));
            driver.kill(); // SIGKILL
            QVERIFY(driver.waitForFinished(30000));
            QCOMPARE(driver.exitStatus(), QProcess::CrashExit);
            if (QFileInfo(db.path() + QStringLiteral("-journal")).size() > 0)
                ++midTransaction;

            const QString integrity = integrityCheck(db.path());
            if (integrity != QStringLiteral("ok")) {
                ++corrupt;
                qWarning("run %d: integrity_check: %s", run, qPrintable(integrity));
            }
            const QList<Record> records = readSideFile(side);
            for (const Record &r : records)
                lastRecorded[r.run] = qMax(lastRecorded.value(r.run), r.sequence);

            // Every row must be a whole note that some save wrote.
            QHash<qlonglong, QByteArray> present;
            QHash<int, int> extraPerRun;
            for (const RawRow &row : rawRows(db.path())) {
                const QByteArray sum = checksum(row.text);
                present.insert(row.id, sum);
                if (verified.contains(row.id)) {
                    if (verified.value(row.id) != sum)
                        ++partial;
                    continue;
                }
                const QStringList title = row.title.split(QLatin1Char(' '));
                const int rowRun = title.value(1).toInt();
                const int sequence = title.value(2).toInt();
                if (title.size() != 3 || title[0] != QStringLiteral("kill")
                    || checksum(killNoteText(seed, rowRun, sequence)) != sum) {
                    ++partial;
                    qWarning("run %d: row %lld is not a whole note", run, row.id);
                    continue;
                }
                verified.insert(row.id, sum);
                if (sequence > lastRecorded.value(rowRun))
                    ++extraPerRun[rowRun];
            }
            // A committed but unrecorded save can only be the one that was running when the
            // driver died, just after its last recorded one.
            for (auto it = extraPerRun.cbegin(); it != extraPerRun.cend(); ++it) {
                if (it.key() != run || it.value() > 1) {
                    ++partial;
                    qWarning("run %d: %d unexpected rows of run %d", run, it.value(), it.key());
                }
            }
            unrecorded += extraPerRun.value(run);
            for (const Record &r : records) {
                if (present.value(r.id) != r.sum) {
                    ++lost;
                    qWarning("run %d: recorded note %lld (run %d, save %d) is %s", run, r.id, r.run,
                             r.sequence, present.contains(r.id) ? "changed" : "missing");
                }
            }
        }
        const qsizetype committed = readSideFile(side).size();
        qInfo("kill-9: %d runs, %d corrupt, %d committed notes lost, %d partial rows "
              "(%lld recorded saves, %d kills mid-transaction, %d saves committed but "
              "unrecorded), seed %llu",
              kills, corrupt, lost, partial, qlonglong(committed), midTransaction, unrecorded,
              seed);
        QCOMPARE(corrupt, 0);
        QCOMPARE(lost, 0);
        QCOMPARE(partial, 0);
        QVERIFY(committed > 0);
    }
};

QTEST_MAIN(TestKill9)
#include "tst_reliability_kill9.moc"
