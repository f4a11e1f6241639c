// zentavo-notes sync-folder and sync as a program: the command lines, what they print and their
// exit status. What a round does is tested on the store (tests/store/tst_sync.cpp).

#include "NotesToolRun.h"
#include "TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class NotesSyncTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void commandLines_data()
    {
        QTest::addColumn<QStringList>("arguments"); // after --db DATABASE; @ is the sync folder
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said"); // in the output or the error
        QTest::newRow("none set") << QStringList{"sync-folder"} << 0 << "Ingen synkmapp";
        QTest::newRow("set") << QStringList{"sync-folder", "@"} << 0 << "";
        QTest::newRow("sync without a folder") << QStringList{"sync"} << 2 << "ingen synkmapp";
        QTest::newRow("its own folder") << QStringList{"sync-folder", "."} << 2 << "egen mapp";
        QTest::newRow("two folders") << QStringList{"sync-folder", "@", "@"} << 1 << "en MAPP";
        QTest::newRow("--off with a folder")
            << QStringList{"sync-folder", "--off", "@"} << 1 << "--off";
        QTest::newRow("--off elsewhere") << QStringList{"list", "--off"} << 1 << "--off";
        QTest::newRow("sync with an argument") << QStringList{"sync", "@"} << 1 << "inga argument";
    }
    void commandLines()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, said);
        const testsupport::TestDatabase db;
        const QTemporaryDir folder;
        for (QString &argument : arguments) {
            if (argument == QLatin1String("@"))
                argument = folder.path();
            else if (argument == QLatin1String("."))
                argument = db.folder();
        }
        const Run done = run(QStringList{"--db", db.path()} + arguments);
        QCOMPARE(done.status, status);
        QVERIFY2(QString::fromUtf8(done.out).contains(said) || done.err.contains(said),
                 qPrintable(done.err));
    }

    // Set, shown, synced both ways, a file not taken told once, ended.
    void syncsThroughTheFolder()
    {
        testsupport::TestDatabase a;
        testsupport::TestDatabase b;
        const QTemporaryDir folder;
        a.addNote(QStringLiteral("Från A"), QStringLiteral("rad 1\r\nrad 2\n"));
        for (const QString &db : {a.path(), b.path()})
            QCOMPARE(run({"--db", db, "sync-folder", folder.path()}).status, 0);
        QCOMPARE(run({"--db", b.path(), "sync-folder"}).out, folder.path().toUtf8() + '\n');
        QCOMPARE(run({"--db", a.path(), "sync"}).out,
                 QByteArray("Tillagda: 0, raderade: 0, skrivna filer: 1\n"));
        QFile foreign(folder.filePath(QStringLiteral("annat.txt")));
        QVERIFY(foreign.open(QIODevice::WriteOnly));
        foreign.close();
        const Run first = run({"--db", b.path(), "sync"});
        QCOMPARE(first.status, 2);
        QCOMPARE(first.out, QByteArray("Tillagda: 1, raderade: 0, skrivna filer: 0\n"));
        QVERIFY2(first.err.contains(foreign.fileName()), qPrintable(first.err));
        QCOMPARE(run({"--db", b.path(), "sync"}).status, 0);
        QCOMPARE(run({"--db", b.path(), "show", "1"}).out, QByteArray("rad 1\r\nrad 2\n"));
        QCOMPARE(run({"--db", b.path(), "sync-folder", "--off"}).status, 0);
        QCOMPARE(run({"--db", b.path(), "sync"}).status, 2);
    }

    void helpNamesTheCommands()
    {
        const Run help = run({"--help"});
        QCOMPARE(help.status, 0);
        for (const char *line : {"  sync-folder [MAPP]  visar eller väljer", "  sync       "})
            QVERIFY2(help.out.contains(line), line);
    }
};

QTEST_GUILESS_MAIN(NotesSyncTest)
#include "tst_notes_sync.moc"
