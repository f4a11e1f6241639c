// The note store against real SQLite files in temporary folders: reading the list, showing a
// note, adding and deleting notes, and the errors a user sees when the file is not usable.

#include "TestDatabase.h"
#include "store/CheckAhead.h"
#include "store/NoteStore.h"

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
        QVERIFY(db.store().listNotes()->empty());
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

    void exhaustedIdsAreNamedAsSuch()
    {
        TestDatabase db;
        db.exec(QStringLiteral("INSERT INTO Memo (ID, Titel, Text) VALUES (?, 'sist', '')"),
                {std::numeric_limits<qint64>::max()});
        const store::Result<qint64> saved = db.store().insertNote("t", "x");
        QVERIFY(!saved);
        QVERIFY2(saved.error().cause.contains(QStringLiteral("slut")),
                 qPrintable(saved.error().cause));
        QVERIFY(!saved.error().remedy.contains(QStringLiteral("Disken")));
        QCOMPARE(db.count(), 1);
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
