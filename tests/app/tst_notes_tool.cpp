// zentavo-notes, run as a program on real databases and files in temporary folders: what each
// subcommand writes, that notes survive a round trip through export, import and backup, and
// that every refusal leaves the database and the target as they were.

#include "NotesToolRun.h"
#include "TestDatabase.h"
#include "app/NotesTool.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using testsupport::TestDatabase;

namespace {

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class TestNotesTool : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundTrips_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("swedish") << QStringLiteral("Åäö") << QStringLiteral("smörgåsbord\nöl");
        QTest::newRow("emoji") << QStringLiteral("🙂 anteckning")
                               << QStringLiteral("👩‍👩‍👧");
        QTest::newRow("CR LF and tabs")
            << QStringLiteral("rad\tbrytning\r\n") << QStringLiteral("a\tb\r\nc\r\n");
        QTest::newRow("leading mark")
            << QStringLiteral("\uFEFFmärkt") << QStringLiteral("\uFEFFtext");
        QTest::newRow("10 MB") << QStringLiteral("stor")
                               << QString(10 * 1024 * 1024, QLatin1Char('x'));
        QTest::newRow("empty title") << QString() << QStringLiteral("utan titel");
        QTest::newRow("empty text") << QStringLiteral("tom") << QString();
        QTest::newRow("dot dot") << QStringLiteral("..") << QStringLiteral("punkter");
        QTest::newRow("slash") << QStringLiteral("a/b") << QStringLiteral("snedstreck");
        QTest::newRow("device name") << QStringLiteral("CON") << QStringLiteral("con");
        QTest::newRow("backslash") << QStringLiteral("c:\\x\\y") << QStringLiteral("\\");
        QTest::newRow("300 characters") << QString(300, QChar(u'é')) << QStringLiteral("lång");
    }
    void roundTrips()
    {
        QFETCH(QString, title);
        QFETCH(QString, text);
        TestDatabase db;
        const qint64 id = *db.store().insertNote(title, text);
        const qint64 twin = *db.store().insertNote(title, QStringLiteral("tvilling"));

        // list: one line per note, the title on one line.
        const Run listed = run({"--db", db.path(), "list"});
        QCOMPARE(listed.status, 0);
        QString escaped = title;
        escaped.replace(QLatin1String("\\"), QLatin1String("\\\\"))
            .replace(QLatin1String("\t"), QLatin1String("\\t"))
            .replace(QLatin1String("\n"), QLatin1String("\\n"))
            .replace(QLatin1String("\r"), QLatin1String("\\r"));
        QCOMPARE(QString::fromUtf8(listed.out),
                 QStringLiteral("%1\t%3\n%2\t%3\n").arg(id).arg(twin).arg(escaped));

        // show: the text exactly, nothing added.
        const Run shown = run({"--db", db.path(), "show", QString::number(id)});
        QCOMPARE(shown.status, 0);
        QVERIFY(shown.out == text.toUtf8());

        // export: one file each, the ID leading a safe name; two notes of one title apart.
        QTemporaryDir work;
        const QString folder = work.filePath(QStringLiteral("ut"));
        QCOMPARE(run({"--db", db.path(), "export", folder}).status, 0);
        const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(names.size(), 2);
        for (const QString &name : names) {
            QVERIFY2(name.toUtf8().size() <= 255, qPrintable(name));
            QVERIFY(!name.startsWith(QLatin1Char('.')));
            QVERIFY(name.endsWith(QLatin1String(".txt")));
            for (const QChar c : name)
                QVERIFY2(c.unicode() >= 0x20 && !QStringView(u"/\\:*?\"<>|").contains(c),
                         qPrintable(name));
            // The title part is at most 100 characters.
            QVERIFY(name.section(QLatin1String(" - "), 1).chopped(4).size() <= 100);
        }
        const QString mine
            = names.filter(QRegularExpression(QStringLiteral("^%1 - ").arg(id))).value(0);
        QVERIFY(!mine.isEmpty());
        QVERIFY(contents(QDir(folder).filePath(mine)) == text.toUtf8());

        // import: the exported file back as a note, text intact, title its file name.
        TestDatabase other;
        const Run imported = run({"--db", other.path(), "import", QDir(folder).filePath(mine)});
        QCOMPARE(imported.status, 0);
        const auto rows = other.rows();
        QCOMPARE(rows.size(), 1);
        const store::Note back = *other.store().readNote(rows[0].id);
        QCOMPARE(back.text, text);
        QCOMPARE(back.title, mine.chopped(4));

        // backup: a database holding the same notes.
        const QString copy = work.filePath(QStringLiteral("kopia.mdb"));
        QCOMPARE(run({"--db", db.path(), "backup", copy}).status, 0);
        QCOMPARE(run({"--db", copy, "list"}).out, listed.out);
        QCOMPARE(run({"--db", copy, "show", QString::number(id)}).out, shown.out);
    }

    // An exported file's name, from the tool's own function: the title made safe and cut to 100
    // characters and to 255 bytes in all, never inside a surrogate pair.
    void exportFileName_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("expected");
        const QString smile = QStringLiteral("🙂");
        QTest::newRow("plain") << "Inköp"
                               << "7 - Inköp.txt";
        QTest::newRow("unsafe") << "a/b\\c:*?\"<>|\t"
                                << "7 - a_b_c________.txt";
        QTest::newRow("100 characters") << QString(300, 'x') << "7 - " + QString(100, 'x') + ".txt";
        QTest::newRow("pair at the cut")
            << QString(99, 'x') + smile << "7 - " + QString(99, 'x') + ".txt";
        QTest::newRow("255 bytes")
            << QString(100, QChar(u'€')) << "7 - " + QString(82, QChar(u'€')) + ".txt";
    }
    void exportFileName()
    {
        QFETCH(QString, title);
        QFETCH(QString, expected);
        QCOMPARE(notestool::exportFileName(7, title), expected);
    }

    void newMakesExactlyTheFileGiven()
    {
        QTemporaryDir work;
        QCOMPARE(run({"new", "file:annan.mdb"}, work.path()).status, 0);
        QVERIFY(QFile::exists(work.filePath(QStringLiteral("file:annan.mdb"))));
        QVERIFY(!QFile::exists(work.filePath(QStringLiteral("annan.mdb"))));
        QCOMPARE(run({"--db", work.filePath("file:annan.mdb"), "list"}).status, 0);
        const Run again = run({"new", "file:annan.mdb"}, work.path());
        QCOMPARE(again.status, 2);
        QVERIFY(again.err.contains(QStringLiteral("finns redan")));
    }

    void usageErrorsAndHelp_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::newRow("help") << QStringList{"--help"} << 0;
        QTest::newRow("version") << QStringList{"--version"} << 0;
        QTest::newRow("nothing") << QStringList{} << 1;
        QTest::newRow("unknown command") << QStringList{"radera"} << 1;
        QTest::newRow("unknown option") << QStringList{"--färg", "list"} << 1;
        QTest::newRow("show without ID") << QStringList{"show"} << 1;
        QTest::newRow("show with text") << QStringList{"show", "12a"} << 1;
        QTest::newRow("import nothing") << QStringList{"import"} << 1;
    }
    void usageErrorsAndHelp()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        const Run result = run(arguments);
        QCOMPARE(result.status, status);
        if (status != 0)
            QVERIFY(!result.err.isEmpty());
    }

    // Refusals: exit status 2, a message that names the file, nothing changed anywhere.
    void missingDatabaseIsNeverCreated()
    {
        QTemporaryDir work;
        const QString path = work.filePath(QStringLiteral("saknas.mdb"));
        for (const QStringList &command :
             {QStringList{"list"}, QStringList{"show", "1"}, QStringList{"export", "ut"},
              QStringList{"backup", "kopia.mdb"}}) {
            const Run result = run(QStringList{"--db", path} + command, work.path());
            QCOMPARE(result.status, 2);
            QVERIFY2(result.err.contains(path), qPrintable(result.err));
        }
        QVERIFY(QDir(work.path()).isEmpty());
    }

    // Printed into a full disk: the command fails and says so, whatever it printed.
    void outputThatCannotBeWrittenFails_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::newRow("list") << QStringList{"list"};
        QTest::newRow("show") << QStringList{"show", "1"};
        QTest::newRow("search") << QStringList{"search", "kort"};
    }
    void outputThatCannotBeWrittenFails()
    {
        QFETCH(QStringList, command);
        TestDatabase db;
        db.addNote(QStringLiteral("kort"), QStringLiteral("kort text"));
        QProcess tool;
        tool.setStandardOutputFile(QStringLiteral("/dev/full"));
        tool.start(QStringLiteral(ZENTAVO_NOTES), QStringList{"--db", db.path()} + command);
        QVERIFY(tool.waitForFinished());
        QCOMPARE(tool.exitCode(), 2);
        QVERIFY(tool.readAllStandardError().contains("standard ut"));
    }

    void showOfMissingNoteSaysSo()
    {
        TestDatabase db;
        const Run result = run({"--db", db.path(), "show", "42"});
        QCOMPARE(result.status, 2);
        QVERIFY2(result.err.contains(QStringLiteral("nummer 42")), qPrintable(result.err));
    }

    void exportRefusesFolderWithFiles()
    {
        TestDatabase db;
        db.addNote(QStringLiteral("a"), QStringLiteral("b"));
        QTemporaryDir work;
        write(work.filePath(QStringLiteral("egen.txt")), "min fil");
        const auto before = snapshot(work.path());
        const QByteArray database = contents(db.path());
        const Run result = run({"--db", db.path(), "export", work.path()});
        QCOMPARE(result.status, 2);
        QVERIFY(result.err.contains(work.path()));
        QCOMPARE(snapshot(work.path()), before);
        QCOMPARE(contents(db.path()), database);
    }

    void exportIntoEmptyFolderAndOfEmptyDatabase()
    {
        TestDatabase db;
        QTemporaryDir work;
        QCOMPARE(run({"--db", db.path(), "export", work.path()}).status, 0);
        QVERIFY(QDir(work.path()).isEmpty());
        db.addNote(QStringLiteral("a"), QStringLiteral("b"));
        QCOMPARE(run({"--db", db.path(), "export", work.path()}).status, 0);
        QCOMPARE(QDir(work.path()).entryList(QDir::Files).size(), 1);
        // Nothing is left behind beside it.
        QCOMPARE(QDir(QFileInfo(work.path()).absolutePath())
                     .entryList({".zentavo-export-*"}, QDir::Dirs | QDir::Hidden),
                 QStringList());
    }

    void importRefusesAllWhenOneFileIsBad_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("not UTF-8") << "latin1";
        QTest::newRow("over 64 MB") << "large";
        QTest::newRow("missing") << "missing";
    }
    void importRefusesAllWhenOneFileIsBad()
    {
        QFETCH(QString, kind);
        TestDatabase db;
        db.addNote(QStringLiteral("a"), QStringLiteral("b"));
        QTemporaryDir work;
        const QString good = work.filePath(QStringLiteral("bra.txt"));
        const QString bad = work.filePath(QStringLiteral("dålig.txt"));
        write(good, "hej");
        if (kind == QLatin1String("latin1")) {
            write(bad, "sm\xf6rg\xe5s");
        } else if (kind == QLatin1String("large")) {
            QFile file(bad);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(64 * 1024 * 1024 + 1)); // sparse: costs no disk
        }
        const QByteArray database = contents(db.path());
        const Run result = run({"--db", db.path(), "import", good, bad});
        QCOMPARE(result.status, 2);
        QVERIFY2(result.err.contains(bad), qPrintable(result.err));
        QCOMPARE(contents(db.path()), database);
    }

    // An import the table would not keep as written is refused whole: status 2, a message that
    // says what the table did, no ID printed, the database byte for byte as it was. The last
    // row guards the single transaction: the second of three files refused, none is imported.
    void importTheTableWouldAlterIsRefused_data()
    {
        QTest::addColumn<QStringList>("statements"); // run on the database before the import
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("said");
        const QString withTitel = QStringLiteral(
            "CREATE TABLE Ny (ID INTEGER PRIMARY KEY AUTOINCREMENT, Titel %1, Text TEXT);"
            "INSERT INTO Ny SELECT * FROM Memo; DROP TABLE Memo; ALTER TABLE Ny RENAME TO Memo");
        // Memo rebuilt with its notes, Titel of this type and clauses.
        const auto table = [&](const char *titel) {
            return withTitel.arg(QLatin1String(titel)).split(QLatin1Char(';'));
        };
        QTest::newRow("title ON CONFLICT REPLACE")
            << table("TEXT UNIQUE ON CONFLICT REPLACE") << QStringList{"Inköp.txt"}
            << QStringLiteral("ON CONFLICT REPLACE");
        QTest::newRow("title ON CONFLICT IGNORE")
            << table("TEXT UNIQUE ON CONFLICT IGNORE") << QStringList{"Inköp.txt"}
            << QStringLiteral("ON CONFLICT IGNORE");
        QTest::newRow("trigger RAISE(IGNORE)")
            << QStringList{"CREATE TRIGGER hoppa BEFORE INSERT ON Memo BEGIN SELECT "
                           "RAISE(IGNORE); END"}
            << QStringList{"a.txt"} << QStringLiteral("utlösare");
        QTest::newRow("NUMERIC title")
            << table("NUMERIC") << QStringList{"0042.txt"} << QStringLiteral("NUMERIC");
        QTest::newRow("IDs used up, the highest note deleted")
            << QStringList{"INSERT INTO Memo (ID, Titel, Text) VALUES (9223372036854775807, "
                           "'sist', '')",
                           "DELETE FROM Memo WHERE Titel = 'sist'"}
            << QStringList{"a.txt"} << QStringLiteral("anteckningsnumren är slut");
        QTest::newRow("second of three refused by a CHECK rule")
            << table("TEXT CHECK (Titel <> 'b')") << QStringList{"a.txt", "b.txt", "c.txt"}
            << QStringLiteral("CHECK");
    }
    void importTheTableWouldAlterIsRefused()
    {
        QFETCH(QStringList, statements);
        QFETCH(QStringList, files);
        QFETCH(QString, said);
        TestDatabase db;
        db.addNote(QStringLiteral("Inköp"), QStringLiteral("mjölk"));
        for (const QString &statement : statements)
            db.exec(statement.trimmed());
        QTemporaryDir work;
        QStringList paths;
        for (const QString &name : files) {
            paths << work.filePath(name);
            write(paths.last(), "importerad text");
        }
        const QByteArray database = contents(db.path());
        const Run result = run(QStringList{"--db", db.path(), "import"} + paths);
        QCOMPARE(result.status, 2);
        QVERIFY2(result.err.contains(said), qPrintable(result.err));
        QVERIFY2(result.err.contains(QStringLiteral("Ingen")), qPrintable(result.err));
        QCOMPARE(result.out, QByteArray());
        QCOMPARE(contents(db.path()), database);
    }

    void backupRefusesExistingTarget()
    {
        TestDatabase db;
        QTemporaryDir work;
        const QString target = work.filePath(QStringLiteral("kopia.mdb"));
        write(target, "finns");
        const Run result = run({"--db", db.path(), "backup", target});
        QCOMPARE(result.status, 2);
        QCOMPARE(contents(target), QByteArray("finns"));
    }

    // A copy taken while another process saves notes in a loop is a whole database holding
    // exactly the first notes that process saved, none half-written.
    void backupWhileAnotherProcessWrites()
    {
        TestDatabase db;
        QTemporaryDir work;
        QProcess writer;
        writer.start(QStringLiteral(ZENTAVO_DRIVER),
                     {QStringLiteral("save"), db.folder(), work.filePath(QStringLiteral("saved")),
                      QStringLiteral("7"), QStringLiteral("1")});
        QVERIFY(writer.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(db.count() >= 20, 60000);
        const QString copy = work.filePath(QStringLiteral("kopia.mdb"));
        const Run result = run({"--db", db.path(), "backup", copy});
        writer.kill();
        writer.waitForFinished();
        QCOMPARE(result.status, 0);

        const Run listed = run({"--db", copy, "list"});
        QCOMPARE(listed.status, 0);
        const QStringList lines = QString::fromUtf8(listed.out).split('\n', Qt::SkipEmptyParts);
        QVERIFY(lines.size() >= 20);
        const auto all = db.rows();
        for (int i = 0; i < lines.size(); ++i) {
            QCOMPARE(lines[i].section('\t', 0, 0).toLongLong(), all[i].id);
            QCOMPARE(run({"--db", copy, "show", QString::number(all[i].id)}).out,
                     db.store().readNote(all[i].id)->text.toUtf8());
        }
    }
};

QTEST_MAIN(TestNotesTool)
#include "tst_notes_tool.moc"
