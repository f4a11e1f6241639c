// Two instances on one file: two driver processes each run random operations on their own notes
// (save, list, show, delete) on the same memo.mdb at the same time. No operation fails, not even
// with "database is locked", no row is lost, no ID is handed out twice, and both end with the
// same list.

#include "ReliabilitySupport.h"
#include "TestDatabase.h"

#include <QProcess>
#include <QSet>
#include <QTest>

using namespace reliability;

class TestTwoInstances : public QObject
{
    Q_OBJECT

private:
    struct Outcome
    {
        QList<qlonglong> inserted;
        QSet<qlonglong> alive;
        QStringList list;
    };

    static Outcome parse(const QString &output)
    {
        Outcome outcome;
        for (const QString &line : output.split(QLatin1Char('\n'))) {
            if (line.startsWith(QStringLiteral("inserted ")))
                outcome.inserted << line.mid(9).toLongLong();
            else if (line.startsWith(QStringLiteral("alive ")))
                outcome.alive << line.mid(6).toLongLong();
            else if (line.startsWith(QStringLiteral("list ")))
                outcome.list << line.mid(5);
        }
        return outcome;
    }

private Q_SLOTS:
    void twoProcessesShareOneFile()
    {
        const int operations = 200;
        const int rounds = runCount(3, 1, 20);
        const quint64 seed = seedFromEnvironment();
        int failures = 0, lost = 0, duplicateIds = 0, differentLists = 0, totalInserts = 0;
        for (int round = 0; round < rounds; ++round) {
            testsupport::TestDatabase db;
            db.addNote(QStringLiteral("före"), QStringLiteral("fanns redan"));
            QProcess a, b;
            QProcess *drivers[] = {&a, &b};
            const QString names[] = {QStringLiteral("A"), QStringLiteral("B")};
            for (int i = 0; i < 2; ++i) {
                drivers[i]->setProcessChannelMode(QProcess::ForwardedErrorChannel);
                drivers[i]->start(QStringLiteral(ZENTAVO_DRIVER),
                                  {QStringLiteral("ops"), db.folder(), names[i],
                                   QString::number(operations),
                                   QString::number(seed + quint64(round) * 2 + quint64(i))});
            }
            QString out[2];
            auto collect = [&] {
                for (int i = 0; i < 2; ++i)
                    out[i] += QString::fromUtf8(drivers[i]->readAllStandardOutput());
            };
            auto done = [&](int i) {
                return out[i].contains(QStringLiteral("ops-done"))
                       || drivers[i]->state() == QProcess::NotRunning;
            };
            QTRY_VERIFY_WITH_TIMEOUT((collect(), done(0) && done(1)), 240000);
            // Both have finished their operations; now each reads the list once more.
            for (QProcess *driver : drivers)
                driver->write("list\n");
            for (int i = 0; i < 2; ++i) {
                QVERIFY(drivers[i]->waitForFinished(60000));
                collect();
                if (drivers[i]->exitCode() != 0 || !out[i].contains(QStringLiteral("\nend"))) {
                    ++failures;
                    qWarning("driver %s: %s", qPrintable(names[i]), qPrintable(out[i]));
                }
                QVERIFY2(!out[i].contains(QStringLiteral("locked")), qPrintable(out[i]));
            }
            const Outcome oa = parse(out[0]);
            const Outcome ob = parse(out[1]);
            QSet<qlonglong> ids;
            for (const qlonglong id : oa.inserted + ob.inserted) {
                if (ids.contains(id))
                    ++duplicateIds;
                ids.insert(id);
            }
            totalInserts += int(oa.inserted.size() + ob.inserted.size());
            if (oa.list != ob.list)
                ++differentLists;
            // The final list is the note that was there before plus every note either kept.
            QSet<qlonglong> listed;
            for (const QString &item : oa.list)
                listed.insert(item.section(QLatin1Char(' '), 0, 0).mid(3).toLongLong());
            const QSet<qlonglong> expected = oa.alive + ob.alive;
            for (const qlonglong id : expected) {
                if (!listed.contains(id))
                    ++lost;
            }
            QCOMPARE(qsizetype(listed.size()), expected.size() + 1);
            QCOMPARE(rawRows(db.path()).size(), expected.size() + 1);
            QCOMPARE(integrityCheck(db.path()), QStringLiteral("ok"));
        }
        qInfo("two-instances: %d rounds of 2 x %d operations, %d inserts, %d failed "
              "operations, %d rows lost, %d IDs handed out twice, %d differing lists, seed %llu",
              rounds, operations, totalInserts, failures, lost, duplicateIds, differentLists, seed);
        QCOMPARE(failures, 0);
        QCOMPARE(lost, 0);
        QCOMPARE(duplicateIds, 0);
        QCOMPARE(differentLists, 0);
    }
};

QTEST_MAIN(TestTwoInstances)
#include "tst_reliability_twoinstances.moc"
