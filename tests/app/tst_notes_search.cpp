// zentavo-notes search as a program: what it prints and its exit status. The matching rules
// themselves are tested on the store (tests/store/tst_search.cpp).

#include "NotesToolRun.h"
#include "TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class NotesSearchTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void search_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<int>("status");
        QTest::newRow("one found") << QStringList{"search", "ÖSTER"}
                                   << QByteArray("1\tKapacitet\tResa till Östersund i maj.\n") << 0;
        QTest::newRow("every word, in ID order")
            << QStringList{"search", "lista", "mj"}
            << QByteArray("2\tInköp\\tlista\tmjölk\\tbröd\n3\tLista\toch mjölk\n") << 0;
        QTest::newRow("the first line when only the title holds it")
            << QStringList{"search", "inköp"} << QByteArray("2\tInköp\\tlista\tmjölk\\tbröd\n")
            << 0;
        QTest::newRow("nothing found") << QStringList{"search", "xyz"} << QByteArray() << 0;
        QTest::newRow("no word in it")
            << QStringList{"search", "--", "-", "\"", "("} << QByteArray() << 0;
        QTest::newRow("no words at all") << QStringList{"search"} << QByteArray() << 1;
    }
    void search()
    {
        QFETCH(QStringList, words);
        QFETCH(QByteArray, out);
        QFETCH(int, status);
        testsupport::TestDatabase db;
        db.addNote(QStringLiteral("Kapacitet"), QStringLiteral("Resa till Östersund i maj."));
        db.addNote(QStringLiteral("Inköp\tlista"), QStringLiteral("mjölk\tbröd"));
        db.addNote(QStringLiteral("Lista"), QStringLiteral("två rader…\n och mjölk"));
        // Twice: reading every note, then the index made by the first run.
        for (int round = 0; round < 2; ++round) {
            const Run result = run(QStringList{"--db", db.path()} + words);
            QCOMPARE(result.status, status);
            QCOMPARE(result.out, out);
            QCOMPARE(result.err.isEmpty(), status == 0);
        }
    }

    // A file that is not a note database is refused, and nothing is left of it: neither beside
    // it nor an index in the cache.
    void notADatabase_data()
    {
        QTest::addColumn<QByteArray>("made");
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("a folder") << QByteArray("folder");
        QTest::newRow("other bytes") << QByteArray("inte en databas\n");
    }
    void notADatabase()
    {
        QFETCH(QByteArray, made);
        QTemporaryDir work;
        const QString path = work.filePath(QStringLiteral("fel.mdb"));
        if (made == "folder") {
            QVERIFY(QDir(work.path()).mkdir(QStringLiteral("fel.mdb")));
        } else if (!made.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(made) == made.size());
        }
        const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
                              + QStringLiteral("/zentavo/search");
        const QMap<QString, QByteArray> cached = snapshot(cache);
        const QMap<QString, QByteArray> before = snapshot(work.path());
        const Run result = run({"--db", path, "search", "ord"});
        QCOMPARE(result.status, 2);
        QVERIFY2(result.err.contains(path), qPrintable(result.err));
        QCOMPARE(snapshot(work.path()), before);
        QCOMPARE(snapshot(cache).keys(), cached.keys());
    }
};

QTEST_GUILESS_MAIN(NotesSearchTest)
#include "tst_notes_search.moc"
