// The note store against real SQLite files in temporary folders: reading the list, showing a
// note, adding and deleting notes, and the errors a user sees when the file is not usable.

#include "DamagedPages.h"
#include "TestDatabase.h"
#include "store/CheckAhead.h"
#include "store/NoteStore.h"
#include "store/TextEncoding.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <limits>

using testsupport::TestDatabase;
using Kind = store::StoreError::Kind;

class TestStore : public QObject
{
    Q_OBJECT

private:
    static QStringList titles(const store::NoteList &notes)
    {
        QStringList result;
        for (const store::NoteEntry &note : notes)
            result << note.title;
        return result;
    }
    static QByteArray contents(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static QStringList sessionsOpen()
    {
        return QSqlDatabase::connectionNames().filter(QStringLiteral("zentavo-"));
    }

private Q_SLOTS:
    void cleanup() { QVERIFY(sessionsOpen().isEmpty()); }

    void listInIdOrder()
    {
        TestDatabase db;
        QCOMPARE(db.store().listNotes()->size(), 0u);
        const qlonglong b = db.addNote(QStringLiteral("b"), QStringLiteral("1"));
        const qlonglong a = db.addNote(QStringLiteral("a"), QStringLiteral("2"));
        const qlonglong same1 = db.addNote(QStringLiteral("samma"), QStringLiteral("3"));
        const qlonglong same2 = db.addNote(QStringLiteral("samma"), QStringLiteral("4"));
        const store::Result<store::NoteList> notes = db.store().listNotes();
        QVERIFY(notes);
        QCOMPARE(titles(*notes), QStringList({"b", "a", "samma", "samma"}));
        QList<qint64> ids;
        for (const store::NoteEntry &note : *notes)
            ids << note.id;
        QCOMPARE(ids, QList<qint64>({b, a, same1, same2}));
    }

    // IDs are kept in 32 bits while they fit: the list must stay right past that.
    void listKeepsIdsOfAnySize_data()
    {
        QTest::addColumn<QList<qint64>>("ids");
        const qint64 narrowMax = std::numeric_limits<quint32>::max();
        QTest::newRow("largest narrow") << QList<qint64>{1, narrowMax};
        QTest::newRow("widened midway") << QList<qint64>{1, 2, narrowMax + 1, narrowMax + 2};
        QTest::newRow("negative first") << QList<qint64>{-7, 0, 5};
        QTest::newRow("largest") << QList<qint64>{1, std::numeric_limits<qint64>::max()};
    }
    void listKeepsIdsOfAnySize()
    {
        QFETCH(QList<qint64>, ids);
        TestDatabase db;
        for (const qint64 id : ids)
            db.exec(QStringLiteral("INSERT INTO Memo (ID, Titel, Text) VALUES (?, '', '')"), {id});
        const store::Result<store::NoteList> notes = db.store().listNotes();
        QVERIFY(notes);
        QList<qint64> listed;
        for (const store::NoteEntry &note : *notes)
            listed << note.id;
        QCOMPARE(listed, ids);
    }

    void nullColumnsReadAsEmptyText()
    {
        TestDatabase db;
        const qlonglong id = db.addNote(QVariant(), QVariant());
        QCOMPARE(titles(*db.store().listNotes()), QStringList({QString()}));
        const store::Result<store::Note> note = db.store().readNote(id);
        QVERIFY(note);
        QCOMPARE(note->text, QString());
    }

    void columnNamesInOtherLetterCase()
    {
        TestDatabase db(false);
        db.recreate({"CREATE TABLE memo (id integer primary key, TITEL TEXT, TEXT TEXT)",
                     "INSERT INTO memo (TITEL, TEXT) VALUES ('stor', 'BOKSTÄVER')"});
        QCOMPARE(titles(*db.store().listNotes()), QStringList({"stor"}));
        QCOMPARE(db.store().readNote(1)->text, QStringLiteral("BOKSTÄVER"));
    }

    void readNoteOfDeletedRowSaysItIsGone()
    {
        TestDatabase db;
        const qlonglong id = db.addNote(QStringLiteral("t"), QStringLiteral("x"));
        db.exec(QStringLiteral("DELETE FROM Memo WHERE ID = ?"), {id});
        const store::Result<store::Note> note = db.store().readNote(id);
        QVERIFY(!note);
        QCOMPARE(note.error().kind, Kind::NoteGone);
        QVERIFY(note.error().cause.contains(QStringLiteral("raderats")));
    }

    void missingFileIsReportedAndNotCreated()
    {
        TestDatabase db(false);
        const store::NoteStore notes = db.store();
        const store::Result<store::NoteList> list = notes.listNotes();
        QVERIFY(!list);
        QVERIFY(list.error().message().contains(db.path()));
        QVERIFY(list.error().message().contains(QStringLiteral("zentavo-newdb")));
        QVERIFY(!notes.check());
        QVERIFY(!notes.insertNote(QStringLiteral("t"), QStringLiteral("x")));
        QVERIFY(!notes.readNote(1));
        QVERIFY(!notes.deleteNote({1, QString(), QString()}));
        QVERIFY(!QFile::exists(db.path()));
    }

    // The program checks its file on a second thread while the first may already use the store:
    // each thread's sessions are its own, and every one of them is closed again.
    void checkOnAnotherThreadWhileThisOneReads()
    {
        TestDatabase db;
        db.addNote(QStringLiteral("A"), QStringLiteral("a"));
        TestDatabase missing(false);
        std::future<store::Result<store::Done>> good = store::checkAhead(db.store());
        std::future<store::Result<store::Done>> bad = store::checkAhead(missing.store());
        for (int i = 0; i < 20; ++i)
            QCOMPARE(db.store().listNotes()->size(), std::size_t(1));
        QVERIFY(good.get());
        const store::Result<store::Done> badOutcome = bad.get();
        QVERIFY(!badOutcome);
        QVERIFY(badOutcome.error().message().contains(missing.path()));
        QVERIFY(!QFile::exists(missing.path()));
    }

    void unusableFilesAreReportedAndLeftUntouched_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expectedInMessage");
        QTest::newRow("text file") << QByteArray("Det här är ingen databas.\n").repeated(40)
                                   << QStringLiteral("not a database");
        QTest::newRow("empty file") << QByteArray() << QStringLiteral("tom (0 byte)");
    }
    void unusableFilesAreReportedAndLeftUntouched()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expectedInMessage);
        TestDatabase db(false);
        {
            QFile file(db.path());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
        const store::Result<store::Done> checked = db.store().check();
        QVERIFY(!checked);
        const QString message = checked.error().message();
        QVERIFY2(message.contains(db.path()), qPrintable(message));
        QVERIFY2(message.contains(expectedInMessage), qPrintable(message));
        QCOMPARE(contents(db.path()), bytes);
    }

    // Each message's remedy must work when followed: say what is really wrong.
    void emptyFileRemedyIsToRemoveItFirst()
    {
        TestDatabase db(false);
        QFile(db.path()).open(QIODevice::WriteOnly);
        const store::StoreError error = db.store().check().error();
        QVERIFY2(error.remedy.contains(QStringLiteral("Ta bort")), qPrintable(error.remedy));
        QVERIFY(error.remedy.contains(QStringLiteral("zentavo-newdb")));
    }

    void danglingLinkIsNamedAsSuch()
    {
        TestDatabase db(false);
        const QString target = db.folder() + QStringLiteral("/borta.mdb");
        QVERIFY(QFile::link(target, db.path()));
        const store::StoreError error = db.store().check().error();
        QVERIFY2(error.cause.contains(QStringLiteral("länk")), qPrintable(error.cause));
        QVERIFY(error.cause.contains(target));
        QVERIFY(error.remedy.contains(QStringLiteral("ta bort länken")));
    }

    void tooLongPathIsNamedAsSuch()
    {
        TestDatabase db;
        // Three folders of 200 characters: far beyond what SQLite opens, well within Linux's.
        QString folder = db.folder();
        for (int i = 0; i < 3; ++i)
            folder += QLatin1Char('/') + QString(200, QLatin1Char('a' + i));
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + QStringLiteral("/memo.mdb");
        QVERIFY(QFile::copy(db.path(), path));
        const store::StoreError error = store::NoteStore(path).check().error();
        QVERIFY2(error.cause.contains(QStringLiteral("för lång")), qPrintable(error.cause));
        QVERIFY(error.remedy.contains(QStringLiteral("kortare")));
    }

    void pathJustShortEnoughOpens()
    {
        TestDatabase db;
        db.addNote(QStringLiteral("djup"), QStringLiteral("mapp"));
        // The longest path the store accepts must really open.
        const qsizetype base = db.folder().toUtf8().size() + 1;
        const qsizetype fileName = QByteArray("/memo.mdb").size();
        const qsizetype room = 503 - base - fileName;
        QVERIFY(room > 0);
        QString folder = db.folder() + QLatin1Char('/');
        qsizetype left = room;
        while (left > 0) {
            const qsizetype part = std::min<qsizetype>(left, 200);
            folder += QString(part, QLatin1Char('d'));
            left -= part;
            if (left > 0) {
                folder += QLatin1Char('/');
                --left;
            }
        }
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + QStringLiteral("/memo.mdb");
        QCOMPARE(path.toUtf8().size(), 503);
        QVERIFY(QFile::copy(db.path(), path));
        const store::Result<store::NoteList> notes = store::NoteStore(path).listNotes();
        QVERIFY2(notes, qPrintable(notes ? QString() : notes.error().message()));
        QCOMPARE(titles(*notes), QStringList({"djup"}));
    }

    void tableWithoutTitleColumnIsReported()
    {
        TestDatabase db(false);
        db.recreate({"CREATE TABLE Memo (ID INTEGER PRIMARY KEY, Text TEXT)"});
        const store::Result<store::NoteList> notes = db.store().listNotes();
        QVERIFY(!notes);
        QVERIFY(notes.error().message().contains(QStringLiteral("Titel")));
    }

    // Only a table's own integer key, handed out by the database, tells notes apart.
    void idThatIsNotTheIntegerKeyIsRefused_data()
    {
        QTest::addColumn<QString>("table");
        QTest::newRow("text key") << "CREATE TABLE Memo (ID TEXT PRIMARY KEY, Titel, Text)";
        QTest::newRow("INT key") << "CREATE TABLE Memo (ID INT PRIMARY KEY, Titel, Text)";
        QTest::newRow("plain integer") << "CREATE TABLE Memo (ID INTEGER, Titel, Text)";
        QTest::newRow("two-column key")
            << "CREATE TABLE Memo (ID INTEGER, Titel TEXT, Text, PRIMARY KEY (ID, Titel))";
        QTest::newRow("without rowid")
            << "CREATE TABLE Memo (ID INTEGER PRIMARY KEY, Titel, Text) WITHOUT ROWID";
        QTest::newRow("without rowid behind a comment")
            << "CREATE TABLE Memo (ID INTEGER PRIMARY KEY, Titel, Text) WITHOUT/**/ROWID";
        // DESC on the column makes it an ordinary key beside the rowid, so every ID is NULL.
        QTest::newRow("integer key DESC")
            << "CREATE TABLE Memo (ID INTEGER PRIMARY KEY DESC, Titel, Text)";
    }
    void idThatIsNotTheIntegerKeyIsRefused()
    {
        QFETCH(QString, table);
        TestDatabase db(false);
        db.recreate({table, "INSERT INTO Memo (ID, Titel, Text) VALUES ('2', 'x|2', 'a')"});
        const QByteArray before = contents(db.path());
        const store::Result<store::NoteList> notes = db.store().listNotes();
        QVERIFY(!notes);
        QVERIFY2(notes.error().cause.contains(QStringLiteral("INTEGER PRIMARY KEY")),
                 qPrintable(notes.error().cause));
        QVERIFY(!db.store().insertNote(QStringLiteral("t"), QStringLiteral("x")));
        QCOMPARE(contents(db.path()), before);
    }

    void integerKeyWithOrWithoutAutoincrementIsAccepted_data()
    {
        QTest::addColumn<QString>("table");
        QTest::newRow("plain") << "CREATE TABLE Memo (ID INTEGER PRIMARY KEY, Titel, Text)";
        QTest::newRow("autoincrement")
            << "CREATE TABLE Memo (id integer primary key autoincrement, Titel, Text)";
        // The words in a value are no clause of the table.
        QTest::newRow("default naming WITHOUT ROWID")
            << "CREATE TABLE Memo (ID INTEGER PRIMARY KEY, Titel TEXT DEFAULT 'WITHOUT ROWID', "
               "Text TEXT DEFAULT ') WITHOUT ROWID')";
        // As a table constraint, DESC still makes the rowid.
        QTest::newRow("key DESC as a table constraint")
            << "CREATE TABLE Memo (ID INTEGER, Titel, Text, PRIMARY KEY (ID DESC))";
    }
    void integerKeyWithOrWithoutAutoincrementIsAccepted()
    {
        QFETCH(QString, table);
        TestDatabase db(false);
        db.recreate({table});
        const store::Result<qint64> id = db.store().insertNote("t", "x");
        QVERIFY(id);
        QCOMPARE(db.rows().at(0).id, *id);
    }

    void insertRoundTripsExactText_data()
    {
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("body");
        for (const char *encoding : {"UTF-8", "UTF-16le", "UTF-16be"}) {
            const auto row = [&](const char *name) {
                QTestData &data
                    = QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(encoding, name)));
                data << QString::fromLatin1(encoding);
                return &data;
            };
            *row("quotes and bar") << QStringLiteral("\"O'Hara\" | x") << "a'b\"c|d";
            *row("CR LF") << QStringLiteral("rader") << "ett\r\ntvå\r\n";
            *row("swedish") << QStringLiteral("Åäö ÅÄÖ") << "smörgåsbord";
            *row("emoji") << QStringLiteral("🙂📝")
                          << QStringLiteral("𝄞 and 👩‍👩‍👧");
            *row("odd byte count") << QStringLiteral("å") << QStringLiteral("abc");
            *row("noncharacters and mark")
                << QStringLiteral("\uFEFFtitel") << QStringLiteral("\uFEFFa\uFFFEb\uFFFFc");
            *row("sql text") << QStringLiteral("'); DROP TABLE Memo; --") << "1 OR 1=1";
            *row("empty title") << QString() << "kropp";
            *row("empty body") << QStringLiteral("titel") << QString();
        }
        QTest::newRow("UTF-8 5 MB body")
            << "UTF-8" << QStringLiteral("stor") << QString(5 * 1024 * 1024, QLatin1Char('x'));
    }
    void insertRoundTripsExactText()
    {
        QFETCH(QString, encoding);
        QFETCH(QString, title);
        QFETCH(QString, body);
        TestDatabase db(false);
        db.recreate({QStringLiteral("PRAGMA encoding = '%1'").arg(encoding),
                     "CREATE TABLE Memo (ID INTEGER PRIMARY KEY AUTOINCREMENT, Titel, Text)"});
        const store::Result<qint64> id = db.store().insertNote(title, body);
        QVERIFY(id);
        const store::Result<store::NoteList> notes = db.store().listNotes();
        QCOMPARE(notes->size(), std::size_t(1));
        QCOMPARE(notes->front().id, *id);
        QCOMPARE(notes->front().title, title);
        const store::Result<store::Note> note = db.store().readNote(*id);
        QVERIFY(note);
        QCOMPARE(note->text, body);
        QCOMPARE(note->title, title);

        // Another program reading the file sees the same text, stored in the file's encoding.
        const auto rows = db.rows();
        QVERIFY(!rows[0].title.isNull());
        QVERIFY(!rows[0].text.isNull());
        if (!(title + body).contains(QChar(0xFEFF))) {
            QCOMPARE(rows[0].title.toString(), title);
            QCOMPARE(rows[0].text.toString(), body);
        }
    }

    void notesWrittenByAnotherProgramReadInAnyEncoding_data()
    {
        QTest::addColumn<QString>("encoding");
        QTest::newRow("UTF-8") << "UTF-8";
        QTest::newRow("UTF-16le") << "UTF-16le";
        QTest::newRow("UTF-16be") << "UTF-16be";
    }
    void notesWrittenByAnotherProgramReadInAnyEncoding()
    {
        QFETCH(QString, encoding);
        TestDatabase db(false);
        db.recreate({QStringLiteral("PRAGMA encoding = '%1'").arg(encoding),
                     "CREATE TABLE Memo (ID INTEGER PRIMARY KEY AUTOINCREMENT, Titel, Text)"});
        const QString title = QStringLiteral("Räksmörgås 🦐");
        const QString text = QStringLiteral("Ölkorv\nå\n👩‍👩‍👧");
        const qlonglong id = db.addNote(title, text);
        QCOMPARE(titles(*db.store().listNotes()), QStringList({title}));
        QCOMPARE(db.store().readNote(id)->text, text);
    }

    void idsAreNeverReused()
    {
        TestDatabase db;
        const qint64 first = *db.store().insertNote(QStringLiteral("a"), QStringLiteral("1"));
        const qint64 highest = *db.store().insertNote(QStringLiteral("a"), QStringLiteral("2"));
        QVERIFY(first != highest);
        QVERIFY(db.store().deleteNote(*db.store().readNote(highest)));
        QVERIFY(*db.store().insertNote(QStringLiteral("c"), QStringLiteral("3")) > highest);
    }

    void deleteRemovesOnlyThatNote()
    {
        TestDatabase db;
        const qlonglong keep1 = db.addNote(QStringLiteral("a"), QStringLiteral("1"));
        const qlonglong gone = db.addNote(QStringLiteral("b"), QStringLiteral("2"));
        const qlonglong keep2 = db.addNote(QStringLiteral("c"), QStringLiteral("3"));
        QVERIFY(db.store().deleteNote({gone, QStringLiteral("b"), QStringLiteral("2")}));
        const auto rows = db.rows();
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].id, keep1);
        QCOMPARE(rows[1].id, keep2);
    }

    void deleteOfGoneNoteDeletesNothingAndSaysSo()
    {
        TestDatabase db;
        db.addNote(QStringLiteral("a"), QStringLiteral("1"));
        const store::Result<store::Done> deleted
            = db.store().deleteNote({12345, QStringLiteral("a"), QStringLiteral("1")});
        QVERIFY(!deleted);
        QCOMPARE(deleted.error().kind, Kind::NoteGone);
        QVERIFY(deleted.error().remedy.contains(QStringLiteral("Ingenting raderades")));
        QCOMPARE(db.count(), 1);
    }

    // A table without AUTOINCREMENT hands the ID of a deleted note to the next one saved.
    void deleteNeverRemovesANoteThatTookTheShownNotesId()
    {
        TestDatabase db(false);
        db.recreate({"CREATE TABLE Memo (ID INTEGER PRIMARY KEY, Titel TEXT, Text TEXT)"});
        db.addNote(QStringLiteral("ett"), QStringLiteral("1"));
        const qlonglong id = db.addNote(QStringLiteral("två"), QStringLiteral("2"));
        const store::Note shown = *db.store().readNote(id);
        // Another instance deletes it and saves a new note, which gets the same ID.
        db.exec(QStringLiteral("DELETE FROM Memo WHERE ID = ?"), {id});
        QCOMPARE(db.addNote(QStringLiteral("ny"), QStringLiteral("annan")), id);
        const store::Result<store::Done> deleted = db.store().deleteNote(shown);
        QVERIFY(!deleted);
        QCOMPARE(deleted.error().kind, Kind::NoteChanged);
        QCOMPARE(db.count(), 2);
        QCOMPARE(db.rows().at(1).title.toString(), QStringLiteral("ny"));
    }

    void insertIntoLockedFileFailsAndWritesNothing()
    {
        TestDatabase db;
        db.addNote(QStringLiteral("a"), QStringLiteral("1"));
        // Another program holds a write transaction for longer than the busy timeout.
        {
            QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "other");
            other.setDatabaseName(db.path());
            QVERIFY(other.open());
            QSqlQuery lock(other);
            QVERIFY(lock.exec("BEGIN EXCLUSIVE"));
            const store::Result<qint64> saved
                = db.store().insertNote(QStringLiteral("b"), QStringLiteral("2"));
            QVERIFY(!saved);
            QVERIFY(saved.error().message().contains(db.path()));
            QVERIFY(saved.error().message().contains(QStringLiteral("sparas")));
            QVERIFY(lock.exec("ROLLBACK"));
            other.close();
        }
        QSqlDatabase::removeDatabase("other");
        QCOMPARE(db.count(), 1);
    }

    // The AUTOINCREMENT counter, not the highest ID left, says that no ID is left to give.
    void exhaustedIdsAreNamedAsSuch_data()
    {
        QTest::addColumn<bool>("highestDeleted");
        QTest::newRow("highest note kept") << false;
        QTest::newRow("highest note deleted") << true;
    }
    void exhaustedIdsAreNamedAsSuch()
    {
        QFETCH(bool, highestDeleted);
        TestDatabase db;
        db.addNote(QStringLiteral("först"), QStringLiteral("kvar"));
        db.exec(QStringLiteral("INSERT INTO Memo (ID, Titel, Text) VALUES (?, 'sist', '')"),
                {std::numeric_limits<qint64>::max()});
        if (highestDeleted)
            db.exec(QStringLiteral("DELETE FROM Memo WHERE Titel = 'sist'"));
        const QByteArray before = contents(db.path());
        const store::Result<qint64> saved = db.store().insertNote("t", "x");
        QVERIFY(!saved);
        QVERIFY2(saved.error().cause.contains(QStringLiteral("slut")),
                 qPrintable(saved.error().cause));
        QVERIFY(!saved.error().remedy.contains(QStringLiteral("Disken")));
        const store::Result<std::vector<qint64>> imported
            = db.store().insertNotes({{QStringLiteral("a"), QStringLiteral("b")}});
        QVERIFY(!imported);
        QVERIFY2(imported.error().cause.contains(QStringLiteral("slut")),
                 qPrintable(imported.error().cause));
        QCOMPARE(contents(db.path()), before);
    }

    void columnTheProgramCannotFillIsNamed()
    {
        TestDatabase db(false);
        db.recreate({"CREATE TABLE Memo (ID INTEGER PRIMARY KEY, Titel TEXT, Text TEXT, "
                     "Kategori TEXT NOT NULL)"});
        const store::Result<qint64> saved = db.store().insertNote("t", "x");
        QVERIFY(!saved);
        QVERIFY2(saved.error().cause.contains(QStringLiteral("Kategori")),
                 qPrintable(saved.error().cause));
        QVERIFY(saved.error().remedy.contains(QStringLiteral("NOT NULL")));
    }

    // A table whose clauses, triggers or column types would not keep a note as written, or
    // would change other notes to take it: the write is refused, says what the table did, and
    // leaves the file byte for byte as it was.
    void writesTheTableWouldAlterAreRefused_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("extra");     // a trigger, or nothing
        QTest::addColumn<QString>("operation"); // save, import or delete
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("said");
        const QString plain = QStringLiteral(
            "CREATE TABLE Memo (ID INTEGER PRIMARY KEY AUTOINCREMENT, Titel TEXT, Text TEXT)");
        const QString replace
            = QStringLiteral("CREATE TABLE Memo (ID INTEGER PRIMARY KEY AUTOINCREMENT, "
                             "Titel TEXT UNIQUE ON CONFLICT REPLACE, Text TEXT)");
        const QString ignore
            = QStringLiteral("CREATE TABLE Memo (ID INTEGER PRIMARY KEY AUTOINCREMENT, "
                             "Titel TEXT UNIQUE ON CONFLICT IGNORE, Text TEXT)");
        const QString numeric = QStringLiteral(
            "CREATE TABLE Memo (ID INTEGER PRIMARY KEY AUTOINCREMENT, Titel NUMERIC, Text REAL)");
        const QString skipInsert = QStringLiteral(
            "CREATE TRIGGER hoppa BEFORE INSERT ON Memo BEGIN SELECT RAISE(IGNORE); END");
        const QString touchOthers
            = QStringLiteral("CREATE TRIGGER andra AFTER INSERT ON Memo BEGIN UPDATE Memo SET "
                             "Text = 'ändrad' WHERE ID <> new.ID; END");
        const QString rewriteNew
            = QStringLiteral("CREATE TRIGGER versaler AFTER INSERT ON Memo BEGIN UPDATE Memo "
                             "SET Titel = upper(Titel) WHERE ID = new.ID; END");
        const QString skipDelete = QStringLiteral(
            "CREATE TRIGGER kvar BEFORE DELETE ON Memo BEGIN SELECT RAISE(IGNORE); END");
        const QString deleteAll = QStringLiteral(
            "CREATE TRIGGER alla AFTER DELETE ON Memo BEGIN DELETE FROM Memo; END");
        for (const char *operation : {"save", "import"}) {
            QTest::addRow("%s, unique title ON CONFLICT REPLACE", operation)
                << replace << QString() << QString::fromLatin1(operation) << QStringLiteral("Inköp")
                << QStringLiteral("ON CONFLICT REPLACE");
            QTest::addRow("%s, unique title ON CONFLICT IGNORE", operation)
                << ignore << QString() << QString::fromLatin1(operation) << QStringLiteral("Inköp")
                << QStringLiteral("ON CONFLICT IGNORE");
            QTest::addRow("%s, trigger RAISE(IGNORE)", operation)
                << plain << skipInsert << QString::fromLatin1(operation) << QStringLiteral("Ny")
                << QStringLiteral("utlösare");
            QTest::addRow("%s, trigger changing other notes", operation)
                << plain << touchOthers << QString::fromLatin1(operation) << QStringLiteral("Ny")
                << QStringLiteral("ändrade 3 rader till");
            QTest::addRow("%s, trigger rewriting the new note", operation)
                << plain << rewriteNew << QString::fromLatin1(operation) << QStringLiteral("Ny")
                << QStringLiteral("utlösare");
            QTest::addRow("%s, NUMERIC title 0042", operation)
                << numeric << QString() << QString::fromLatin1(operation) << QStringLiteral("0042")
                << QStringLiteral("typen NUMERIC");
            QTest::addRow("%s, CHECK constraint", operation)
                << QStringLiteral("CREATE TABLE Memo (ID INTEGER PRIMARY KEY AUTOINCREMENT, "
                                  "Titel TEXT CHECK (Titel <> 'Ny'), Text TEXT)")
                << QString() << QString::fromLatin1(operation) << QStringLiteral("Ny")
                << QStringLiteral("CHECK");
        }
        QTest::newRow("delete, trigger RAISE(IGNORE)")
            << plain << skipDelete << QStringLiteral("delete") << QString()
            << QStringLiteral("hoppade över raderingen");
        QTest::newRow("delete, trigger deleting every note")
            << plain << deleteAll << QStringLiteral("delete") << QString()
            << QStringLiteral("ändrade 2 rader till");
    }
    void writesTheTableWouldAlterAreRefused()
    {
        QFETCH(QString, table);
        QFETCH(QString, extra);
        QFETCH(QString, operation);
        QFETCH(QString, title);
        QFETCH(QString, said);
        TestDatabase db(false);
        QStringList statements{table, "INSERT INTO Memo (Titel, Text) VALUES ('Inköp', 'mjölk'), "
                                      "('Att göra', 'tvätta'), ('Sist', 'kvar')"};
        if (!extra.isEmpty())
            statements << extra;
        db.recreate(statements);
        const QByteArray before = contents(db.path());
        const QString text = QStringLiteral("1.50");
        store::StoreError error;
        if (operation == QLatin1String("save")) {
            const store::Result<qint64> saved = db.store().insertNote(title, text);
            QVERIFY(!saved);
            error = saved.error();
        } else if (operation == QLatin1String("import")) {
            const store::Result<std::vector<qint64>> saved = db.store().insertNotes(
                {{QStringLiteral("Först"), QStringLiteral("a")}, {title, text}});
            QVERIFY(!saved);
            error = saved.error();
        } else {
            const store::Result<store::Done> deleted
                = db.store().deleteNote({2, QStringLiteral("Att göra"), QStringLiteral("tvätta")});
            QVERIFY(!deleted);
            error = deleted.error();
        }
        QVERIFY2(error.cause.contains(said), qPrintable(error.message()));
        QVERIFY2(error.remedy.startsWith(QStringLiteral("Ingen")), qPrintable(error.message()));
        QCOMPARE(error.kind, Kind::Failure);
        QCOMPARE(contents(db.path()), before);
        QVERIFY(!QFile::exists(db.path() + QStringLiteral("-journal")));
    }

    // The same tables take every note they keep as written.
    void writesTheTableKeepsAreDone_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("title");
        QTest::newRow("unique title REPLACE, new title")
            << "CREATE TABLE Memo (ID INTEGER PRIMARY KEY AUTOINCREMENT, "
               "Titel TEXT UNIQUE ON CONFLICT REPLACE, Text TEXT)"
            << QStringLiteral("Annat");
        QTest::newRow("NUMERIC columns, title of words")
            << "CREATE TABLE Memo (ID INTEGER PRIMARY KEY AUTOINCREMENT, Titel NUMERIC, "
               "Text NUMERIC)"
            << QStringLiteral("Inköp 0042");
        QTest::newRow("no types") << "CREATE TABLE Memo (ID INTEGER PRIMARY KEY, Titel, Text)"
                                  << QStringLiteral("0042");
    }
    void writesTheTableKeepsAreDone()
    {
        QFETCH(QString, table);
        QFETCH(QString, title);
        TestDatabase db(false);
        db.recreate({table, "INSERT INTO Memo (Titel, Text) VALUES ('Inköp', 'mjölk')"});
        const store::Result<qint64> id = db.store().insertNote(title, QStringLiteral("hej"));
        QVERIFY2(id, qPrintable(id ? QString() : id.error().message()));
        const store::Result<std::vector<qint64>> more
            = db.store().insertNotes({{title + QLatin1Char('2'), QStringLiteral("då")}});
        QVERIFY2(more, qPrintable(more ? QString() : more.error().message()));
        QCOMPARE(db.count(), 3);
        QCOMPARE(db.store().readNote(*id)->title, title);
        QVERIFY(db.store().deleteNote(*db.store().readNote(*id)));
        QCOMPARE(db.count(), 2);
    }

    // A note changed under its ID between showing and deleting: in an AUTOINCREMENT table the
    // ID is never handed out again, so the note was edited elsewhere; without one, the ID may
    // also have gone to a new note. Either way nothing is deleted and the note as it now is
    // comes back with the error.
    void deleteOfNoteChangedElsewhereSaysHowAndGivesItBack_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<bool>("reused");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("said");
        const QString autoincrement = QStringLiteral(
            "CREATE TABLE Memo (ID INTEGER PRIMARY KEY AUTOINCREMENT, Titel TEXT, Text TEXT)");
        const QString plain
            = QStringLiteral("CREATE TABLE Memo (ID INTEGER PRIMARY KEY, Titel TEXT, Text TEXT)");
        QTest::newRow("edited, AUTOINCREMENT") << autoincrement << false << int(Kind::NoteEdited)
                                               << QStringLiteral("har ändrats någon annanstans");
        QTest::newRow("edited, no AUTOINCREMENT")
            << plain << false << int(Kind::NoteChanged) << QStringLiteral("numret getts till");
        QTest::newRow("ID reused, no AUTOINCREMENT")
            << plain << true << int(Kind::NoteChanged) << QStringLiteral("numret getts till");
    }
    void deleteOfNoteChangedElsewhereSaysHowAndGivesItBack()
    {
        QFETCH(QString, table);
        QFETCH(bool, reused);
        QFETCH(int, kind);
        QFETCH(QString, said);
        TestDatabase db(false);
        db.recreate({table});
        db.addNote(QStringLiteral("ett"), QStringLiteral("1"));
        const qlonglong id = db.addNote(QStringLiteral("två"), QStringLiteral("2"));
        const store::Note shown = *db.store().readNote(id);
        if (reused) {
            db.exec(QStringLiteral("DELETE FROM Memo WHERE ID = ?"), {id});
            QCOMPARE(db.addNote(QStringLiteral("ny"), QStringLiteral("annan")), id);
        } else {
            db.exec(QStringLiteral("UPDATE Memo SET Text = 'ändrad' WHERE ID = ?"), {id});
        }
        const store::Note now = *db.store().readNote(id);
        const QByteArray before = contents(db.path());
        const store::Result<store::Done> deleted = db.store().deleteNote(shown);
        QVERIFY(!deleted);
        QCOMPARE(int(deleted.error().kind), kind);
        QVERIFY2(deleted.error().cause.contains(said), qPrintable(deleted.error().cause));
        QVERIFY(deleted.error().current);
        QCOMPARE(*deleted.error().current, now);
        QCOMPARE(contents(db.path()), before);
        QVERIFY(db.store().deleteNote(*deleted.error().current));
        QCOMPARE(db.count(), 1);
    }

    // A file whose schema reads but one of whose note pages is damaged is refused by the check of
    // its pages, named as damaged, with a remedy the tools offer; it is not written.
    void damagedNotePagesAreRefusedByThePageCheck()
    {
        TestDatabase db;
        for (int i = 0; i < 300; ++i)
            db.addNote(QStringLiteral("titel %1").arg(i), QString(900, QLatin1Char('x')));
        QVERIFY(db.store().checkPages());
        QVERIFY(testsupport::damagePageHolding(db.path(), "titel 150") > 0);
        const QByteArray before = contents(db.path());
        const store::Result<store::Done> checked = db.store().checkPages();
        QVERIFY(!checked);
        const QString message = checked.error().message();
        QVERIFY2(checked.error().cause.contains(QStringLiteral("skadad")), qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("zentavo-notes backup")), qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("zentavo-newdb")), qPrintable(message));
        QCOMPARE(contents(db.path()), before);
    }

    // Stored text that ends inside a character (another program cut it at a byte count) reads
    // with U+FFFD there, in the list and the note alike, never silently shorter.
    void incompleteSequenceAtTheEndReadsAsReplacement_data()
    {
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QByteArray>("bytes"); // as the file holds them
        QTest::addColumn<QString>("expected");
        const QString replacement(QChar(0xFFFD));
        QTest::newRow("UTF-8, half of ö")
            << "UTF-8" << QByteArray("sm\xc3") << QStringLiteral("sm") + replacement;
        // The decoder replaces each byte of the cut character.
        QTest::newRow("UTF-8, three of four bytes of an emoji")
            << "UTF-8" << QByteArray("ok\xf0\x9f\x99")
            << QStringLiteral("ok") + replacement.repeated(3);
        QTest::newRow("UTF-16le, first half of a surrogate pair")
            << "UTF-16le" << QByteArray("o\0k\0\x3d\xd8", 6) << QStringLiteral("ok") + replacement;
        QTest::newRow("UTF-16be, first half of a surrogate pair")
            << "UTF-16be" << QByteArray("\0o\0k\xd8\x3d", 6) << QStringLiteral("ok") + replacement;
    }
    void incompleteSequenceAtTheEndReadsAsReplacement()
    {
        QFETCH(QString, encoding);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        TestDatabase db(false);
        db.recreate({QStringLiteral("PRAGMA encoding = '%1'").arg(encoding),
                     "CREATE TABLE Memo (ID INTEGER PRIMARY KEY AUTOINCREMENT, Titel, Text)"});
        // A blob literal cast to text keeps its bytes as the file's encoding; a bound value
        // would be converted on the way in.
        const QString value
            = QStringLiteral("CAST(X'%1' AS TEXT)").arg(QString::fromLatin1(bytes.toHex()));
        db.exec(QStringLiteral("INSERT INTO Memo (Titel, Text) VALUES (%1, %1)").arg(value));
        const store::Result<store::NoteList> notes = db.store().listNotes();
        QVERIFY(notes);
        QCOMPARE(notes->front().title, expected);
        const store::Result<store::Note> note = db.store().readNote(notes->front().id);
        QVERIFY(note);
        QCOMPARE(note->title, expected);
        QCOMPARE(note->text, expected);
        QString seen;
        QVERIFY(db.store().forEachNote([&seen](const store::Note &each) {
            seen = each.text;
            return true;
        }));
        QCOMPARE(seen, expected);
        QCOMPARE(store::decodeText(store::encodingNamed(encoding), bytes), expected);
    }

    // SQLite drops an odd last byte of UTF-16 text before storing it; bytes read some other
    // way (from a damaged or hand-made file) still read with U+FFFD, never shortened.
    void oddLastByteOfUtf16ReadsAsReplacement()
    {
        QCOMPARE(store::decodeText(store::TextEncoding::Utf16le, QByteArray("o\0k\0A", 5)),
                 QStringLiteral("ok\uFFFD"));
        QCOMPARE(store::decodeText(store::TextEncoding::Utf16be, QByteArray("\0o\0kA", 5)),
                 QStringLiteral("ok\uFFFD"));
    }

    void pathWithUriCharacters()
    {
        TestDatabase db;
        const QString odd = db.folder() + QStringLiteral("/a #b?c%d:e");
        QVERIFY(QDir().mkpath(odd));
        QVERIFY(QFile::copy(db.path(), odd + QStringLiteral("/memo.mdb")));
        const store::NoteStore notes(odd + QStringLiteral("/memo.mdb"));
        QVERIFY(notes.insertNote(QStringLiteral("udda"), QStringLiteral("sökväg")));
        QCOMPARE(titles(*notes.listNotes()), QStringList({"udda"}));
        QCOMPARE(db.count(), 0); // the original file was not the one written
    }
};

QTEST_MAIN(TestStore)
#include "tst_store.moc"
